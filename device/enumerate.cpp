// Finding the attached keypads: walks the present HID interfaces, groups them by the device
// node two levels above each interface, and opens one configuration interface per keypad.
#include <string>

#include "dev_internal.h"

namespace quillpad {

namespace {

// The first slot that is empty or already holds key; kMaxDevices when every slot holds
// another device.
int FindSlot(const DeviceTable& table, DevNode key) {
    for (int i = 0; i < kMaxDevices; ++i) {
        const DeviceSlot& slot = table.slots[i];
        if (slot.deviceNode == kNoDevNode || slot.deviceNode == key) {
            return i;
        }
    }
    return kMaxDevices;
}

}  // namespace

int DevEnumerate(void* window) {
    DevCloseAll();
    DeviceTable& table = GetDeviceTable();
    HidPlatform& platform = DevGetPlatform();

    InterfaceList list = platform.OpenInterfaceList();
    if (list == nullptr) {
        return 0;
    }
    std::string path;
    for (int i = 0; platform.InterfaceExists(list, i); ++i) {
        DevNode node = kNoDevNode;
        // An interface whose detail cannot be had is passed over; the walk goes on.
        if (!platform.GetInterfaceDetail(list, i, path, node)) {
            continue;
        }
        const DevNode key = platform.GetParent(platform.GetParent(node));
        // Without a grouping node the interface cannot be told apart from an empty slot.
        if (key == kNoDevNode) {
            continue;
        }
        const int index = FindSlot(table, key);
        if (index == kMaxDevices) {
            continue;  // the table is full: a further device is neither opened nor counted
        }
        DeviceSlot& slot = table.slots[index];
        if (slot.deviceNode == kNoDevNode) {
            if (DevOpenInterface(path.c_str(), true, true, false, false, true, slot.iface, window,
                                 kKeypadUsagePage, kKeypadUsage)) {
                slot.deviceNode = key;
                slot.inUse = 1;
                ++table.deviceCount;
            }
        } else if (slot.iface.open != 0) {
            // A further HID interface of a keypad already held: counted, not opened.
            slot.inUse = 1;
            ++table.deviceCount;
        }
    }
    platform.CloseInterfaceList(list);
    return table.deviceCount;
}

}  // namespace quillpad
