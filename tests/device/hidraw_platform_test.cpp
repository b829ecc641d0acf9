// The hidraw backend over a scripted Linux: which nodes are listed and opened, how they are
// grouped, what a user without permission is told, and the transfers' result checks.
#include "platform/linux/hidraw_platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <optional>

#include "dev_internal.h"
#include "emulated_keypad/keypad_protocol.h"

namespace quillpad {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Keypad configuration collection: 8-byte output reports, 256-byte feature reports.
const Bytes kKeypadDescriptor = {0x05, 0x01, 0x09, 0x03, 0xA1, 0x01, 0x15, 0x00, 0x26,
                                 0xFF, 0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x00, 0x91,
                                 0x02, 0x96, 0x00, 0x01, 0x09, 0x00, 0xB1, 0x02, 0xC0};
// The keypad's keyboard interface.
const Bytes kKeyboardDescriptor = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07,
                                   0x75, 0x08, 0x95, 0x08, 0x81, 0x02, 0xC0};

struct ScriptedNode {
    HidrawNode node;
    Bytes descriptor;
    int openError = 0;  // errno Open answers with
};

class ScriptedLinux : public HidrawSystem {
  public:
    std::vector<ScriptedNode> nodes;
    std::vector<std::string> opened;  // devnodes, in order
    int openFds = 0;
    std::optional<long> featureAnswer;  // none: the keypad model answers
    bool scanFails = false;
    std::map<std::string, KeypadProtocol> keypads;

    // The keypad behind a node: 9-byte output reports (report number and 8 bytes).
    KeypadProtocol& Keypad(const std::string& devnode) {
        return keypads.try_emplace(devnode, FactoryMemory(), 9, MemoryEnd::kWrap).first->second;
    }

    bool Scan(std::vector<HidrawNode>& out, std::string& error) override {
        if (scanFails) {
            error = "cannot list hidraw devices";
            return false;
        }
        out.clear();
        for (const ScriptedNode& n : nodes) {
            out.push_back(n.node);
        }
        return true;
    }
    bool ReadDescriptor(const std::string& hidSyspath, Bytes& bytes, std::string&) override {
        for (const ScriptedNode& n : nodes) {
            if (n.node.hidSyspath == hidSyspath) {
                bytes = n.descriptor;
                return true;
            }
        }
        return false;
    }
    int Open(const std::string& devnode) override {
        opened.push_back(devnode);
        for (const ScriptedNode& n : nodes) {
            if (n.node.devnode == devnode) {
                if (n.openError != 0) {
                    return -n.openError;
                }
                fds_[nextFd_] = devnode;
                ++openFds;
                return nextFd_++;
            }
        }
        return -ENOENT;
    }
    void Close(int fd) override { openFds -= static_cast<int>(fds_.erase(fd)); }
    long Write(int fd, const std::uint8_t* bytes, std::size_t length) override {
        if (length < 2) {
            return -EIO;
        }
        Keypad(fds_.at(fd)).OnOutputReport({bytes, length});
        return static_cast<long>(length);
    }
    long GetFeature(int fd, std::uint8_t* buffer, std::size_t length) override {
        if (featureAnswer) {
            return *featureAnswer;
        }
        return Keypad(fds_.at(fd)).AnswerFeature(buffer, length) ? static_cast<long>(length) : -EIO;
    }

  private:
    std::map<int, std::string> fds_;
    int nextFd_ = 10;
};

ScriptedNode Node(const std::string& name, const std::string& usb, std::uint16_t vendor,
                  std::uint16_t product, const Bytes& descriptor) {
    ScriptedNode n;
    n.node.devnode = "/dev/" + name;
    n.node.syspath = "/sys/devices/" + usb + "/hid-" + name + "/hidraw/" + name;
    n.node.hidSyspath = "/sys/devices/" + usb + "/hid-" + name;
    n.node.groupSyspath = "/sys/devices/" + usb;
    n.node.bus = 3;
    n.node.vendorId = vendor;
    n.node.productId = product;
    n.descriptor = descriptor;
    return n;
}

class HidrawPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<ScriptedLinux>();
        linux_ = owned.get();
        platform_ = std::make_unique<HidrawPlatform>(std::move(owned));
        DevSetPlatform(platform_.get());
        DevSelect(-1);
    }
    void TearDown() override {
        DevCloseAll();
        EXPECT_EQ(linux_->openFds, 0);
        DevSetPlatform(nullptr);
    }

    ScriptedLinux* linux_ = nullptr;
    std::unique_ptr<HidrawPlatform> platform_;
};

TEST_F(HidrawPlatformTest, OtherHidDevicesAreNeverOpened) {
    linux_->nodes = {Node("hidraw0", "usb1/1-1", 0x046D, 0xC077, kKeyboardDescriptor),
                     Node("hidraw1", "usb1/1-2", 0x1130, 0x660C, kKeypadDescriptor),
                     Node("hidraw2", "usb1/1-3", 0x1130, 0x660D, kKeypadDescriptor)};
    EXPECT_EQ(DevEnumerate(nullptr), 1);
    EXPECT_EQ(linux_->opened, std::vector<std::string>{"/dev/hidraw1"});
    EXPECT_STREQ(GetDeviceTable().slots[0].iface.path.get(), "/dev/hidraw1");
    EXPECT_EQ(GetDeviceTable().slots[0].iface.caps.OutputReportByteLength(), 9);
}

TEST_F(HidrawPlatformTest, NodesOfOneUsbDeviceShareASlot) {
    linux_->nodes = {Node("hidraw0", "usb1/1-2", 0x1130, 0x660C, kKeyboardDescriptor),
                     Node("hidraw1", "usb1/1-2", 0x1130, 0x660C, kKeypadDescriptor),
                     Node("hidraw2", "usb1/1-4", 0x1130, 0x660C, kKeypadDescriptor)};
    EXPECT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_STREQ(GetDeviceTable().slots[0].iface.path.get(), "/dev/hidraw1");
    EXPECT_STREQ(GetDeviceTable().slots[1].iface.path.get(), "/dev/hidraw2");
    EXPECT_EQ(linux_->openFds, 2);  // the keyboard interface was opened, checked and closed
}

TEST_F(HidrawPlatformTest, VirtualDevicesAreGroupedByTheirOwnHidDevice) {
    ScriptedNode a = Node("hidraw0", "virtual/misc/uhid", 0x1130, 0x660C, kKeypadDescriptor);
    ScriptedNode b = Node("hidraw1", "virtual/misc/uhid", 0x1130, 0x660C, kKeypadDescriptor);
    a.node.groupSyspath = a.node.hidSyspath;
    b.node.groupSyspath = b.node.hidSyspath;
    linux_->nodes = {a, b};
    EXPECT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_EQ(DevIsReady(1), 1);
}

TEST_F(HidrawPlatformTest, KeypadWithoutPermissionIsReportedWithTheReason) {
    linux_->nodes = {Node("hidraw3", "usb1/1-2", 0x1130, 0x660C, kKeypadDescriptor),
                     Node("hidraw4", "usb1/1-5", 0x1130, 0x660C, kKeypadDescriptor)};
    linux_->nodes[0].openError = EACCES;
    linux_->nodes[1].openError = ENODEV;
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    const std::vector<DeviceProblem> problems = DevLastProblems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].path, "/dev/hidraw3");
    EXPECT_EQ(problems[0].error, EACCES);
    EXPECT_NE(problems[0].reason.find("permission denied"), std::string::npos);
    EXPECT_NE(problems[0].reason.find("70-quillpad.rules"), std::string::npos);
    EXPECT_EQ(problems[1].error, ENODEV);
    // Fixed permissions: the next walk forgets the old problems.
    linux_->nodes[0].openError = 0;
    linux_->nodes[1].openError = 0;
    EXPECT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_TRUE(DevLastProblems().empty());
}

TEST_F(HidrawPlatformTest, RejectedDescriptorFailsTheOpenAndSaysWhy) {
    linux_->nodes = {Node("hidraw0", "usb1/1-2", 0x1130, 0x660C, {0x05, 0x01, 0xA1})};
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    ASSERT_EQ(DevLastProblems().size(), 1u);
    EXPECT_NE(DevLastProblems()[0].reason.find("report descriptor"), std::string::npos);
    EXPECT_EQ(linux_->openFds, 0);
}

TEST_F(HidrawPlatformTest, UnlistableDevicesGiveZeroAndAReason) {
    linux_->scanFails = true;
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    ASSERT_EQ(DevLastProblems().size(), 1u);
    EXPECT_NE(DevLastProblems()[0].reason.find("cannot list"), std::string::npos);
}

TEST_F(HidrawPlatformTest, BlockRoundTripsThroughWriteAndFeatureRequest) {
    linux_->nodes = {Node("hidraw0", "usb1/1-2", 0x1130, 0x660C, kKeypadDescriptor)};
    ASSERT_EQ(DevEnumerate(nullptr), 1);
    DevSelect(0);
    Bytes block(256);
    for (int i = 0; i < 256; ++i) {
        block[i] = static_cast<std::uint8_t>(i * 3);
    }
    ASSERT_EQ(DevWriteBlock(block.data(), 0, 256), 1);
    Bytes back(256, 0);
    ASSERT_EQ(DevReadBlock(back.data(), 0, 256), 1);
    EXPECT_EQ(back, block);
}

TEST_F(HidrawPlatformTest, FeatureAnswerOfTheWrongLengthFailsTheRead) {
    linux_->nodes = {Node("hidraw0", "usb1/1-2", 0x1130, 0x660C, kKeypadDescriptor)};
    ASSERT_EQ(DevEnumerate(nullptr), 1);
    DevSelect(0);
    Bytes buffer(256, 0xEE);
    for (long answer : {0L, 1L, 256L, 258L, static_cast<long>(-EIO)}) {
        linux_->featureAnswer = answer;
        EXPECT_EQ(DevReadBlock(buffer.data(), 0, 256), 0) << answer;
    }
    EXPECT_EQ(buffer, Bytes(256, 0xEE));
}

TEST(HidIdTest, ReadsBusVendorAndProduct) {
    std::uint16_t bus = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    ASSERT_TRUE(ParseHidId("0003:00001130:0000660C", bus, vendor, product));
    EXPECT_EQ(bus, 3);
    EXPECT_EQ(vendor, 0x1130);
    EXPECT_EQ(product, 0x660C);
    for (const char* bad :
         std::initializer_list<const char*>{"", "0003:00001130", "0003:00011130:0000660C", "x:y:z",
                                            "0003:00001130:0000660C:", nullptr}) {
        EXPECT_FALSE(ParseHidId(bad, bus, vendor, product)) << (bad ? bad : "null");
    }
}

}  // namespace
}  // namespace quillpad
