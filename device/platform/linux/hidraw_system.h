// What the hidraw backend needs from Linux, behind one seam so that tests can script it: the
// list of hidraw nodes with their identity from sysfs, and the system calls on a node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillpad {

// One hidraw node as sysfs describes it; nothing here needs the node to be opened.
struct HidrawNode {
    std::string devnode;     // /dev/hidrawN
    std::string syspath;     // the hidraw device in sysfs
    std::string hidSyspath;  // the HID device above it (holds HID_ID and report_descriptor)
    // The physical device: the nearest USB device above the HID device, or the HID device
    // itself when there is none (virtual devices).
    std::string groupSyspath;
    std::uint16_t bus = 0;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

class HidrawSystem {
  public:
    virtual ~HidrawSystem() = default;
    // Every hidraw node present whose identity could be read. False with a reason when the
    // device list itself cannot be had.
    virtual bool Scan(std::vector<HidrawNode>& nodes, std::string& error) = 0;
    // The report descriptor of a HID device (sysfs, readable without opening the node).
    virtual bool ReadDescriptor(const std::string& hidSyspath, std::vector<std::uint8_t>& bytes,
                                std::string& error) = 0;
    // System calls: a file descriptor or a byte count, or -errno on failure.
    virtual int Open(const std::string& devnode) = 0;
    virtual void Close(int fd) = 0;
    virtual long Write(int fd, const std::uint8_t* bytes, std::size_t length) = 0;
    // HIDIOCGFEATURE(length) on buffer, whose byte 0 holds the report number.
    virtual long GetFeature(int fd, std::uint8_t* buffer, std::size_t length) = 0;
};

// The real one: libudev and the hidraw system calls.
std::unique_ptr<HidrawSystem> MakeUdevHidrawSystem();

// Reads HID_ID=BBBB:VVVVVVVV:PPPPPPPP as found in a HID device's uevent.
bool ParseHidId(const char* text, std::uint16_t& bus, std::uint16_t& vendor,
                std::uint16_t& product);

}  // namespace quillpad
