// An allocator for the device library that refuses one allocation on purpose.
#pragma once

#include "dev_allocator.h"

namespace quillpad {

class FailingAllocator : public DevAllocator {
  public:
    // The n-th allocation from now fails (0: the next one; -1: none).
    void FailAfter(int n) { before_ = n; }

    std::unique_ptr<std::uint8_t[]> Bytes(std::size_t size) override {
        return Allowed() ? DevAllocator::Bytes(size) : nullptr;
    }
    std::unique_ptr<char[]> Copy(const char* text) override {
        return Allowed() ? DevAllocator::Copy(text) : nullptr;
    }

  private:
    bool Allowed() {
        if (before_ < 0)
            return true;
        return before_-- != 0;
    }

    int before_ = -1;
};

}  // namespace quillpad
