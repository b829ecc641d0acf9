// What the slots of the device table hold after DevEnumerate: for listing keypads.
#pragma once

#include <string>
#include <vector>

#include "hid_platform.h"

namespace quillpad {

struct DevSlotInfo {
    int index = -1;
    std::string path;           // the configuration interface's device path
    DevNode node = kNoDevNode;  // the device node the keypad's interfaces are grouped by
};

// The slots that hold an opened keypad, in slot order.
std::vector<DevSlotInfo> DevOpenSlots();

}  // namespace quillpad
