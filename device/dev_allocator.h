// Where the device library's own buffers come from: the path copy and the report buffers of
// an open interface, and the feature report of a read. By default the heap; tests install an
// allocator that refuses on purpose, to reach the paths that handle a shortage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillpad {

class DevAllocator {
  public:
    virtual ~DevAllocator() = default;

    // size zero-filled bytes; nullptr when they cannot be had.
    virtual std::unique_ptr<std::uint8_t[]> Bytes(std::size_t size);
    // A NUL-terminated copy of text; nullptr when it cannot be had.
    virtual std::unique_ptr<char[]> Copy(const char* text);
};

// Installs the allocator of the library's buffers (the library does not own it); nullptr
// restores the heap.
void DevSetAllocator(DevAllocator* allocator);
DevAllocator& DevGetAllocator();

}  // namespace quillpad
