// Conversion between HID keyboard usage ids (usage page 0x07) and Windows virtual-key codes.
// 0 means no key in both directions; modifier keys never convert (they travel as bits).
#pragma once

#include <cstdint>

namespace quillpad {

std::uint8_t UsageToVk(std::uint8_t usage);
std::uint8_t VkToUsage(std::uint8_t vk);

}  // namespace quillpad
