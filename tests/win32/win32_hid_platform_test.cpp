// The Windows HID backend against the HID stack wine emulates: its own virtual HID devices
// (if it lists any) and no keypad.
#include "win32_hid_platform.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "dev.h"

namespace quillpad {
namespace {

TEST(Win32HidPlatform, WalksThePresentInterfaces) {
    Win32HidPlatform platform;
    InterfaceList list = platform.OpenInterfaceList();
    ASSERT_NE(list, nullptr);
    int count = 0;
    for (; platform.InterfaceExists(list, count); ++count) {
        std::string path;
        DevNode node = kNoDevNode;
        ASSERT_TRUE(platform.GetInterfaceDetail(list, count, path, node)) << "interface " << count;
        EXPECT_FALSE(path.empty());
        EXPECT_EQ(path.find('\0'), std::string::npos);
        EXPECT_NE(node, kNoDevNode);
        // Every real node has a grouping node, even where the configuration manager cannot
        // name a parent.
        EXPECT_NE(platform.GetParent(platform.GetParent(node)), kNoDevNode) << path;
    }
    EXPECT_FALSE(platform.InterfaceExists(list, count));
    std::string path;
    DevNode node = kNoDevNode;
    EXPECT_FALSE(platform.GetInterfaceDetail(list, count, path, node));
    EXPECT_FALSE(platform.GetInterfaceDetail(list, -1, path, node));
    platform.CloseInterfaceList(list);
    std::printf("HID interfaces listed: %d\n", count);
}

TEST(Win32HidPlatform, NoNodeHasNoParent) {
    Win32HidPlatform platform;
    EXPECT_EQ(platform.GetParent(kNoDevNode), kNoDevNode);
}

TEST(Win32HidPlatform, MissingDeviceCannotBeOpened) {
    Win32HidPlatform platform;
    EXPECT_EQ(platform.Open("\\\\?\\hid#vid_1130&pid_660c#none#{4d1e55b2-f16f-11cf-88cb-"
                            "001111000030}",
                            true, true, false, false),
              kInvalidHandle);
    HidAttributes attributes;
    EXPECT_FALSE(platform.GetAttributes(kInvalidHandle, attributes));
    std::size_t written = 99;
    const std::uint8_t report[9] = {};
    EXPECT_FALSE(platform.WriteReport(kInvalidHandle, report, sizeof(report), written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(platform.RegisterNotification(nullptr, kInvalidHandle), nullptr);
    platform.UnregisterNotification(nullptr);
    platform.Close(kInvalidHandle);
}

// The default platform of the Windows build is this backend: under wine it finds no keypad,
// however often it looks, and transfers then fail without touching anything.
TEST(Win32HidPlatform, DefaultPlatformFindsNoKeypadUnderWine) {
    DevSetPlatform(nullptr);
    EXPECT_NE(dynamic_cast<Win32HidPlatform*>(&DevGetPlatform()), nullptr);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(DevEnumerate(nullptr), 0);
    }
    DevSelect(0);
    EXPECT_EQ(DevIsReady(0), 0);
    std::uint8_t block[256] = {};
    EXPECT_EQ(DevReadBlock(block, 0, 256), 0);
    EXPECT_EQ(DevWriteBlock(block, 0, 256), 0);
    DevSelect(-1);
    DevCloseAll();
}

}  // namespace
}  // namespace quillpad
