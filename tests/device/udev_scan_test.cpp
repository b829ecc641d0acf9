// The libudev enumeration against a recorded sysfs (run under umockdev-run with
// udev/keypads.umockdev): a USB keypad, a virtual keypad and a virtual mouse.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "dev_internal.h"
#include "platform/linux/hidraw_platform.h"

namespace quillpad {
namespace {

// The real system calls, with a record of which nodes were opened.
class RecordingSystem : public HidrawSystem {
  public:
    explicit RecordingSystem(std::vector<std::string>& opened)
        : real_(MakeUdevHidrawSystem()), opened_(opened) {}
    bool Scan(std::vector<HidrawNode>& nodes, std::string& error) override {
        return real_->Scan(nodes, error);
    }
    bool ReadDescriptor(const std::string& path, std::vector<std::uint8_t>& bytes,
                        std::string& error) override {
        return real_->ReadDescriptor(path, bytes, error);
    }
    int Open(const std::string& devnode) override {
        opened_.push_back(devnode);
        return real_->Open(devnode);
    }
    void Close(int fd) override { real_->Close(fd); }
    long Write(int fd, const std::uint8_t* bytes, std::size_t length) override {
        return real_->Write(fd, bytes, length);
    }
    long GetFeature(int fd, std::uint8_t* buffer, std::size_t length) override {
        return real_->GetFeature(fd, buffer, length);
    }

  private:
    std::unique_ptr<HidrawSystem> real_;
    std::vector<std::string>& opened_;
};

class UdevScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("UMOCKDEV_DIR"), nullptr)
            << "run this program under umockdev-run -d tests/device/udev/keypads.umockdev";
    }
};

TEST_F(UdevScanTest, ReadsIdentityAndGroupingFromSysfs) {
    std::vector<HidrawNode> nodes;
    std::string error;
    ASSERT_TRUE(MakeUdevHidrawSystem()->Scan(nodes, error)) << error;
    ASSERT_EQ(nodes.size(), 3u);
    std::map<std::string, HidrawNode> byNode;
    for (const HidrawNode& node : nodes) {
        byNode[node.devnode] = node;
    }
    const HidrawNode& usb = byNode.at("/dev/hidraw1");
    EXPECT_EQ(usb.vendorId, 0x1130);
    EXPECT_EQ(usb.productId, 0x660C);
    EXPECT_EQ(usb.bus, 3);
    EXPECT_EQ(usb.groupSyspath, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2");
    const HidrawNode& virtualPad = byNode.at("/dev/hidraw3");
    EXPECT_EQ(virtualPad.groupSyspath, virtualPad.hidSyspath);
    EXPECT_EQ(byNode.at("/dev/hidraw2").productId, 0xC077);
}

TEST_F(UdevScanTest, EnumerationOpensOnlyTheKeypads) {
    std::vector<std::string> opened;
    HidrawPlatform platform(std::make_unique<RecordingSystem>(opened));
    DevSetPlatform(&platform);
    EXPECT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_EQ(opened, (std::vector<std::string>{"/dev/hidraw1", "/dev/hidraw3"}));
    const DeviceTable& table = GetDeviceTable();
    EXPECT_NE(table.slots[0].deviceNode, table.slots[1].deviceNode);
    EXPECT_EQ(table.slots[0].iface.caps.OutputReportByteLength(), 9);
    EXPECT_EQ(table.slots[0].iface.caps.FeatureReportByteLength(), 257);
    DevSetPlatform(nullptr);
}

}  // namespace
}  // namespace quillpad
