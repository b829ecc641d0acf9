#include "dev_allocator.h"

#include <cstring>
#include <new>

namespace quillpad {
namespace {

DevAllocator gHeap;
DevAllocator* gAllocator = &gHeap;

}  // namespace

std::unique_ptr<std::uint8_t[]> DevAllocator::Bytes(std::size_t size) {
    // Value-initialised: zero-filled.
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]());
}

std::unique_ptr<char[]> DevAllocator::Copy(const char* text) {
    const std::size_t length = std::strlen(text);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (copy)
        std::memcpy(copy.get(), text, length + 1);
    return copy;
}

void DevSetAllocator(DevAllocator* allocator) {
    gAllocator = allocator != nullptr ? allocator : &gHeap;
}

DevAllocator& DevGetAllocator() {
    return *gAllocator;
}

}  // namespace quillpad
