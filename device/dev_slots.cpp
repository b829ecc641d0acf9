#include "dev_slots.h"

#include "dev_internal.h"

namespace quillpad {

std::vector<DevSlotInfo> DevOpenSlots() {
    std::vector<DevSlotInfo> open;
    const DeviceTable& table = GetDeviceTable();
    for (int index = 0; index < kMaxDevices; ++index) {
        if (!DevIsReady(index)) continue;
        const DeviceSlot& slot = table.slots[index];
        open.push_back({index, slot.iface.path ? slot.iface.path.get() : "", slot.deviceNode});
    }
    return open;
}

}  // namespace quillpad
