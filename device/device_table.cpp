// The process-wide device table: selection, readiness, closing, and the installed platform.
#include <memory>

#include "dev_internal.h"
#include "platforms.h"

namespace quillpad {

namespace {

HidPlatform* gInstalled = nullptr;

HidPlatform& DefaultPlatform() {
    static std::unique_ptr<HidPlatform> platform = MakeDefaultPlatform();
    return *platform;
}

bool ValidIndex(int index) {
    return index >= 0 && index < kMaxDevices;
}

}  // namespace

DeviceTable& GetDeviceTable() {
    static DeviceTable table;
    return table;
}

void DevSelect(int index) {
    GetDeviceTable().currentIndex = index;
}

int DevIsReady(int index) {
    if (!ValidIndex(index)) {
        return 0;
    }
    const DeviceSlot& slot = GetDeviceTable().slots[index];
    return slot.inUse != 0 && slot.deviceNode != kNoDevNode ? 1 : 0;
}

void DevClose(int index) {
    if (!ValidIndex(index)) {
        return;
    }
    DeviceSlot& slot = GetDeviceTable().slots[index];
    DevCloseInterface(slot.iface);
    slot.deviceNode = kNoDevNode;
    slot.inUse = 0;
}

void DevCloseAll() {
    GetDeviceTable().deviceCount = 0;
    for (int i = 0; i < kMaxDevices; ++i) {
        DevClose(i);
    }
}

void DevSetPlatform(HidPlatform* platform) {
    // The open handles belong to the platform that opened them.
    DevCloseAll();
    gInstalled = platform;
}

HidPlatform& DevGetPlatform() {
    return gInstalled != nullptr ? *gInstalled : DefaultPlatform();
}

std::unique_ptr<KeypadLock> DevLockKeypad(int index, std::string& reason,
                                          const std::function<bool()>& waiting) {
    if (!DevIsReady(index)) {
        reason = "no keypad in slot " + std::to_string(index);
        return nullptr;
    }
    const InterfaceHandle& iface = GetDeviceTable().slots[index].iface;
    return DevGetPlatform().LockKeypad(iface.path ? iface.path.get() : "", reason, waiting);
}

std::string DevLastTransferError() {
    return DevGetPlatform().LastTransferError();
}

std::vector<DeviceProblem> DevLastProblems() {
    return DevGetPlatform().LastProblems();
}

}  // namespace quillpad
