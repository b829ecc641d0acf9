// Finding, grouping and counting keypads, and what every failed open leaves behind.
#include <string>

#include "fake_fixture.h"

namespace quillpad {
namespace {

using EnumerateTest = FakePlatformTest;

const DeviceSlot& Slot(int index) {
    return GetDeviceTable().slots[index];
}

std::string SlotPath(int index) {
    const DeviceSlot& slot = Slot(index);
    return slot.iface.path ? slot.iface.path.get() : "";
}

int EmptySlots() {
    int empty = 0;
    for (const DeviceSlot& slot : GetDeviceTable().slots) {
        if (slot.deviceNode == kNoDevNode && slot.inUse == 0 && slot.iface.open == 0 &&
            slot.iface.fileHandle == kInvalidHandle) {
            ++empty;
        }
    }
    return empty;
}

FakeInterface Foreign(const std::string& path, DevNode grandparent) {
    return FakePlatform::Interface(path, grandparent, 0x046D, 0xC077, 0x01, 0x02);
}

FakeInterface KeypadKeyboard(const std::string& path, DevNode grandparent) {
    return FakePlatform::Interface(path, grandparent, 0x1130, 0x660C, 0x01, 0x06);
}

TEST_F(EnumerateTest, NoInterfaceGivesZeroAndEmptySlots) {
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    EXPECT_EQ(EmptySlots(), kMaxDevices);
    EXPECT_EQ(fake.Count(FakeOp::kOpen), 0);
}

TEST_F(EnumerateTest, ForeignDevicesAreOpenedCheckedAndClosed) {
    fake.Add(Foreign("mouse", 10));
    fake.Add(Foreign("keyboard", 20));
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    EXPECT_EQ(fake.Count(FakeOp::kOpen), 2);
    EXPECT_EQ(fake.Count(FakeOp::kGetAttributes), 2);
    EXPECT_EQ(fake.Count(FakeOp::kClose), 2);
    EXPECT_EQ(fake.Count(FakeOp::kGetPreparsed), 0);
    EXPECT_EQ(fake.OpenHandles(), 0);
    EXPECT_EQ(EmptySlots(), kMaxDevices);
}

TEST_F(EnumerateTest, KeypadKeyboardInterfaceBeforeConfigurationInterfaceLeavesSlotForIt) {
    fake.Add(KeypadKeyboard("kbd", 7));
    fake.Add(FakePlatform::KeypadInterface("config", 7));
    EXPECT_EQ(DevEnumerate(nullptr), 1);
    EXPECT_EQ(SlotPath(0), "config");
    EXPECT_EQ(Slot(0).deviceNode, 7u);
    EXPECT_EQ(DevIsReady(0), 1);
    EXPECT_EQ(fake.OpenHandlesOn("kbd"), 0);
    EXPECT_EQ(fake.OpenHandlesOn("config"), 1);
    EXPECT_EQ(fake.HeldPreparsedData(), 1);  // the configuration interface's only
}

TEST_F(EnumerateTest, FurtherInterfacesOfAHeldKeypadAreCountedNotOpened) {
    fake.Add(FakePlatform::KeypadInterface("config", 7));
    fake.Add(KeypadKeyboard("kbd", 7));
    fake.Add(Foreign("same-node-other-vendor", 7));
    EXPECT_EQ(DevEnumerate(nullptr), 3);
    EXPECT_EQ(SlotPath(0), "config");
    EXPECT_EQ(EmptySlots(), kMaxDevices - 1);
    EXPECT_EQ(fake.Count(FakeOp::kOpen), 1);
}

TEST_F(EnumerateTest, TwoKeypadsFillSlotsInListingOrder) {
    fake.Add(Foreign("mouse", 3));
    fake.Add(FakePlatform::KeypadInterface("second-node", 9));
    fake.Add(FakePlatform::KeypadInterface("first-node", 5));
    EXPECT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_EQ(SlotPath(0), "second-node");
    EXPECT_EQ(SlotPath(1), "first-node");
    EXPECT_EQ(DevIsReady(0), 1);
    EXPECT_EQ(DevIsReady(1), 1);
    EXPECT_EQ(DevIsReady(2), 0);

    DevSelect(0);
    fake.ClearCalls();
    const std::uint8_t byte = 0x42;
    EXPECT_EQ(DevWriteBlock(&byte, 0, 1), 1);
    EXPECT_FALSE(fake.ReportsTo("second-node").empty());
    EXPECT_TRUE(fake.ReportsTo("first-node").empty());
}

TEST_F(EnumerateTest, KeypadWithOtherCollectionAloneTakesNoSlot) {
    fake.Add(KeypadKeyboard("kbd", 7));
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    EXPECT_EQ(fake.Count(FakeOp::kGetCaps), 1);
    EXPECT_EQ(fake.Count(FakeOp::kClose), 1);
    EXPECT_EQ(fake.Count(FakeOp::kFreePreparsed), 1);
    EXPECT_EQ(EmptySlots(), kMaxDevices);
}

TEST_F(EnumerateTest, SecondEnumerationClosesEverythingOnceBeforeOpeningAgain) {
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    fake.Add(FakePlatform::KeypadInterface("b", 2));
    ASSERT_EQ(DevEnumerate(nullptr), 2);
    fake.ClearCalls();
    ASSERT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_EQ(fake.Count(FakeOp::kClose), 2);
    EXPECT_EQ(fake.Count(FakeOp::kUnregisterNotification), 2);
    EXPECT_EQ(fake.Count(FakeOp::kFreePreparsed), 2);
    // Every close comes before the first open of the new walk.
    bool opened = false;
    for (const FakeCall& call : fake.calls()) {
        opened = opened || call.op == FakeOp::kOpen;
        EXPECT_FALSE(opened && call.op == FakeOp::kClose);
    }
    EXPECT_EQ(fake.OpenHandles(), 2);
    EXPECT_TRUE(fake.misuse().empty());
}

TEST_F(EnumerateTest, ReadinessNeedsAValidIndexAndAFilledSlot) {
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    ASSERT_EQ(DevEnumerate(nullptr), 1);
    fake.ClearCalls();
    for (int index : {-1, 1, 5, 31, 32, 1000}) {
        EXPECT_EQ(DevIsReady(index), 0) << index;
    }
    EXPECT_EQ(DevIsReady(0), 1);
    DevSelect(5);
    EXPECT_EQ(GetDeviceTable().currentIndex, 5);
    std::uint8_t block[4] = {};
    EXPECT_EQ(DevReadBlock(block, 0, 4), 0);
    EXPECT_EQ(DevWriteBlock(block, 0, 4), 0);
    EXPECT_EQ(fake.TotalCalls(), 0);
}

TEST_F(EnumerateTest, WindowReachesEveryNotificationAndClosingWithdrawsIt) {
    int window = 0;
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    fake.Add(FakePlatform::KeypadInterface("b", 2));
    ASSERT_EQ(DevEnumerate(&window), 2);
    int registered = 0;
    for (const FakeCall& call : fake.calls()) {
        if (call.op == FakeOp::kRegisterNotification) {
            EXPECT_EQ(call.window, &window);
            ++registered;
        }
    }
    EXPECT_EQ(registered, 2);
    EXPECT_EQ(fake.HeldNotifications(), 2);
    DevClose(1);
    EXPECT_EQ(fake.HeldNotifications(), 1);
    EXPECT_EQ(DevIsReady(1), 0);
    DevCloseAll();
    EXPECT_EQ(fake.HeldNotifications(), 0);
}

TEST_F(EnumerateTest, FailedNotificationDoesNotFailTheOpen) {
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    fake.Fail(FakeOp::kRegisterNotification);
    EXPECT_EQ(DevEnumerate(nullptr), 1);
    EXPECT_EQ(Slot(0).iface.open, 1);
    DevCloseAll();
    EXPECT_EQ(fake.Count(FakeOp::kUnregisterNotification), 0);
}

TEST_F(EnumerateTest, UnreadableInterfaceDetailIsSkippedAndTheWalkGoesOn) {
    fake.Add(FakePlatform::KeypadInterface("first", 1));
    fake.Add(FakePlatform::KeypadInterface("broken", 2));
    fake.Add(FakePlatform::KeypadInterface("third", 3));
    fake.FailDetail("broken");
    EXPECT_EQ(DevEnumerate(nullptr), 2);
    EXPECT_EQ(SlotPath(0), "first");
    EXPECT_EQ(SlotPath(1), "third");
    EXPECT_EQ(fake.OpenLists(), 0);
}

TEST_F(EnumerateTest, UnobtainableListWalksNothing) {
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    fake.Fail(FakeOp::kOpenList);
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    EXPECT_EQ(fake.Count(FakeOp::kInterfaceExists), 0);
    EXPECT_EQ(fake.Count(FakeOp::kCloseList), 0);
}

TEST_F(EnumerateTest, InterfaceWithoutGroupingNodeIsSkipped) {
    FakeInterface orphan = FakePlatform::KeypadInterface("orphan", kNoDevNode);
    fake.Add(orphan);
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    EXPECT_EQ(DevEnumerate(nullptr), 1);
    EXPECT_EQ(SlotPath(0), "a");
    EXPECT_EQ(fake.OpenHandlesOn("orphan"), 0);
}

TEST_F(EnumerateTest, DeviceBeyondThirtyTwoIsNeitherOpenedNorCounted) {
    for (int i = 0; i <= kMaxDevices; ++i) {
        fake.Add(
            FakePlatform::KeypadInterface(std::string("k").append(std::to_string(i)), 100 + i));
    }
    EXPECT_EQ(DevEnumerate(nullptr), kMaxDevices);
    EXPECT_EQ(SlotPath(kMaxDevices - 1), "k31");
    EXPECT_EQ(fake.OpenHandlesOn("k32"), 0);
    EXPECT_EQ(fake.OpenHandles(), kMaxDevices);
    // A further interface of a held keypad is still counted when the table is full.
    fake.Add(KeypadKeyboard("k0-kbd", 100));
    EXPECT_EQ(DevEnumerate(nullptr), kMaxDevices + 1);
}

TEST_F(EnumerateTest, InstallingAnotherPlatformClosesEverySlotFirst) {
    fake.Add(FakePlatform::KeypadInterface("a", 1));
    ASSERT_EQ(DevEnumerate(nullptr), 1);
    FakePlatform other;
    DevSetPlatform(&other);
    EXPECT_EQ(fake.OpenHandles(), 0);
    EXPECT_EQ(DevIsReady(0), 0);
    DevSetPlatform(&fake);
}

// What a failed open of the keypad's configuration interface releases.
struct OpenFailure {
    const char* name;
    FakeOp failing;  // kCount: a check fails, not a call
    HidAttributes attributes;
    std::uint16_t usagePage;
    std::uint16_t usage;
    bool closesHandle;
    bool freesPreparsed;
};

class OpenFailureTest : public FakePlatformTest,
                        public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, ReleasesWhatWasTakenAndLeavesTheSlotEmpty) {
    const OpenFailure& param = GetParam();
    FakeInterface iface = FakePlatform::KeypadInterface("config", 7);
    iface.attributes = param.attributes;
    iface.caps.usagePage = param.usagePage;
    iface.caps.usage = param.usage;
    fake.Add(iface);
    if (param.failing != FakeOp::kCount) {
        fake.Fail(param.failing);
    }
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    EXPECT_EQ(fake.Count(FakeOp::kClose), param.closesHandle ? 1 : 0);
    EXPECT_EQ(fake.Count(FakeOp::kFreePreparsed), param.freesPreparsed ? 1 : 0);
    EXPECT_EQ(fake.Count(FakeOp::kRegisterNotification), 0);
    EXPECT_EQ(EmptySlots(), kMaxDevices);
    const InterfaceHandle& record = Slot(0).iface;
    EXPECT_FALSE(record.path);
    EXPECT_EQ(record.preparsedData, nullptr);
}

constexpr HidAttributes kKeypad{0x1130, 0x660C, 0x100};
INSTANTIATE_TEST_SUITE_P(
    EveryCheck, OpenFailureTest,
    ::testing::Values(
        OpenFailure{"Open", FakeOp::kOpen, kKeypad, 1, 3, false, false},
        OpenFailure{"Attributes", FakeOp::kGetAttributes, kKeypad, 1, 3, true, false},
        OpenFailure{"VendorId", FakeOp::kCount, {0x1131, 0x660C, 0}, 1, 3, true, false},
        OpenFailure{"ProductId", FakeOp::kCount, {0x1130, 0x660D, 0}, 1, 3, true, false},
        OpenFailure{"PreparsedData", FakeOp::kGetPreparsed, kKeypad, 1, 3, true, false},
        OpenFailure{"Caps", FakeOp::kGetCaps, kKeypad, 1, 3, true, true},
        OpenFailure{"UsagePage", FakeOp::kCount, kKeypad, 0x0C, 3, true, true},
        OpenFailure{"Usage", FakeOp::kCount, kKeypad, 1, 6, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Allocations of the open: 0 = the path copy, 1..3 = the input, output and feature buffers.
class OpenAllocationTest : public FakePlatformTest, public ::testing::WithParamInterface<int> {};

TEST_P(OpenAllocationTest, FailedAllocationLeavesNothingOpen) {
    fake.Add(FakePlatform::KeypadInterface("config", 7));
    allocator.FailAfter(GetParam());
    EXPECT_EQ(DevEnumerate(nullptr), 0);
    EXPECT_EQ(EmptySlots(), kMaxDevices);
    EXPECT_EQ(fake.Count(FakeOp::kOpen), GetParam() == 0 ? 0 : 1);
    // A later walk opens it normally.
    EXPECT_EQ(DevEnumerate(nullptr), 1);
    EXPECT_TRUE(Slot(0).iface.Kind(ReportKind::kOutput).reportBuffer);
}

INSTANTIATE_TEST_SUITE_P(PathAndReportBuffers, OpenAllocationTest, ::testing::Values(0, 1, 2, 3));

TEST_F(EnumerateTest, OpenRecordsRequestAndBuildsTheCapabilityLists) {
    fake.Add(FakePlatform::KeypadInterface("config", 7));
    ASSERT_EQ(DevEnumerate(nullptr), 1);
    const InterfaceHandle& record = Slot(0).iface;
    EXPECT_EQ(record.openedForRead, 1);
    EXPECT_EQ(record.openedForWrite, 1);
    EXPECT_EQ(record.openedOverlapped, 0);
    EXPECT_EQ(record.openedExclusive, 0);
    EXPECT_EQ(record.Kind(ReportKind::kOutput).reportBufferLength, 9u);
    EXPECT_EQ(record.Kind(ReportKind::kFeature).reportBufferLength, 257u);
    // The fake gives one 3-usage button range and one 2-usage value range per input report.
    const ReportKindData& input = record.Kind(ReportKind::kInput);
    ASSERT_EQ(input.dataListLength, 3u);
    EXPECT_TRUE(input.dataList[0].isButton);
    EXPECT_EQ(input.dataList[0].usageList.size(), 3u);
    EXPECT_EQ(input.dataList[1].usageMin, 0x30);
    EXPECT_EQ(input.dataList[2].usageMin, 0x31);
}

TEST_F(EnumerateTest, OpenWithoutCapabilitiesKeepsOnlyHandleAndAttributes) {
    fake.Add(FakePlatform::KeypadInterface("config", 7));
    InterfaceHandle record;
    ASSERT_TRUE(DevOpenInterface("config", true, false, true, true, false, record, nullptr, 1, 3));
    EXPECT_NE(record.fileHandle, kInvalidHandle);
    EXPECT_EQ(record.attributes.productId, 0x660C);
    EXPECT_EQ(record.open, 0);
    EXPECT_EQ(record.openedOverlapped, 1);
    EXPECT_EQ(fake.Count(FakeOp::kGetPreparsed), 0);
    DevCloseInterface(record);
    EXPECT_EQ(fake.OpenHandles(), 0);
}

}  // namespace
}  // namespace quillpad
