// The hidraw system calls and the libudev device list.
#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "hidraw_system.h"
#include "report_descriptor.h"

namespace quillpad {

bool ParseHidId(const char* text, std::uint16_t& bus, std::uint16_t& vendor,
                std::uint16_t& product) {
    if (text == nullptr) {
        return false;
    }
    unsigned int b = 0;
    unsigned int v = 0;
    unsigned int p = 0;
    char extra = 0;
    if (std::sscanf(text, "%x:%x:%x%c", &b, &v, &p, &extra) != 3 || b > 0xFFFF || v > 0xFFFF ||
        p > 0xFFFF) {
        return false;
    }
    bus = static_cast<std::uint16_t>(b);
    vendor = static_cast<std::uint16_t>(v);
    product = static_cast<std::uint16_t>(p);
    return true;
}

namespace {

class UdevHidrawSystem : public HidrawSystem {
  public:
    bool Scan(std::vector<HidrawNode>& nodes, std::string& error) override {
        nodes.clear();
        udev* context = udev_new();
        if (context == nullptr) {
            error = "cannot reach udev";
            return false;
        }
        udev_enumerate* enumerate = udev_enumerate_new(context);
        if (enumerate == nullptr || udev_enumerate_add_match_subsystem(enumerate, "hidraw") < 0 ||
            udev_enumerate_scan_devices(enumerate) < 0) {
            error = "cannot list hidraw devices";
            udev_enumerate_unref(enumerate);
            udev_unref(context);
            return false;
        }
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* device =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (device == nullptr) {
                continue;  // gone since the list was made
            }
            HidrawNode node;
            if (Describe(device, node)) {
                nodes.push_back(std::move(node));
            }
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
        udev_unref(context);
        return true;
    }

    bool ReadDescriptor(const std::string& hidSyspath, std::vector<std::uint8_t>& bytes,
                        std::string& error) override {
        const std::string path = hidSyspath + "/report_descriptor";
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot read " + path;
            return false;
        }
        bytes.assign(kMaxReportDescriptorSize + 1, 0);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return true;
    }

    int Open(const std::string& devnode) override {
        const int fd = ::open(devnode.c_str(), O_RDWR | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }

    void Close(int fd) override { ::close(fd); }

    long Write(int fd, const std::uint8_t* bytes, std::size_t length) override {
        ssize_t done;
        do {
            done = ::write(fd, bytes, length);
        } while (done < 0 && errno == EINTR);
        return done >= 0 ? static_cast<long>(done) : -errno;
    }

    long GetFeature(int fd, std::uint8_t* buffer, std::size_t length) override {
        // The ioctl number carries the length in 14 bits.
        if (length == 0 || length > 0x3FFF) {
            return -EINVAL;
        }
        int done;
        do {
            done = ::ioctl(fd, HIDIOCGFEATURE(length), buffer);
        } while (done < 0 && errno == EINTR);
        return done >= 0 ? done : -errno;
    }

  private:
    static bool Describe(udev_device* device, HidrawNode& node) {
        const char* devnode = udev_device_get_devnode(device);
        udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
        if (devnode == nullptr || hid == nullptr ||
            !ParseHidId(udev_device_get_property_value(hid, "HID_ID"), node.bus, node.vendorId,
                        node.productId)) {
            return false;
        }
        udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
        node.devnode = devnode;
        node.syspath = udev_device_get_syspath(device);
        node.hidSyspath = udev_device_get_syspath(hid);
        node.groupSyspath = udev_device_get_syspath(usb != nullptr ? usb : hid);
        return true;
    }
};

}  // namespace

std::unique_ptr<HidrawSystem> MakeUdevHidrawSystem() {
    return std::make_unique<UdevHidrawSystem>();
}

}  // namespace quillpad
