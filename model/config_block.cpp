#include "config_block.h"

#include <climits>
#include <cmath>

#include "key_codes.h"

namespace quillpad {

int BitsToByte(std::span<const std::uint8_t> digits) {
    double sum = 0;
    const auto count = static_cast<int>(digits.size());
    for (int i = 0; i < count; ++i) {
        sum += digits[i] * std::pow(2.0, count - 1 - i);
    }
    // A long run of digits could exceed an int; converting that would be undefined.
    if (sum >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    return static_cast<int>(sum);
}

EntryKind MakeEntryKind(const KeyAssignment& assignment) {
    const bool mousePart = (assignment.mouse & 0x07) != 0;
    const bool keyboardPart = assignment.vk != 0 || (assignment.modifiers & 0x15) != 0;
    const std::array<std::uint8_t, 8> digits = {0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                0,
                                                static_cast<std::uint8_t>(mousePart),
                                                static_cast<std::uint8_t>(keyboardPart)};
    return static_cast<EntryKind>(BitsToByte(digits));
}

ConfigBlock EncodeConfigBlock(const KeyAssignments& keys) {
    ConfigBlock block{};
    for (std::size_t slot = 0; slot < EntryKeyOrder.size(); ++slot) {
        const KeyAssignment& key = KeyByNumber(keys, EntryKeyOrder[slot]);
        std::uint8_t* entry = block.data() + slot * kKeyEntrySize;
        entry[KeyEntry::kKind] = MakeEntryKind(key);
        entry[KeyEntry::kModifiers] = key.modifiers;
        entry[KeyEntry::kUsage] = VkToUsage(key.vk);
        entry[KeyEntry::kMouse] = key.mouse;
    }
    block[kBlockMarkerOffset] = kBlockMarker;
    return block;
}

void DecodeConfigBlock(const ConfigBlock& block, KeyAssignments& keys) {
    for (std::size_t slot = 0; slot < EntryKeyOrder.size(); ++slot) {
        KeyAssignment& key = KeyByNumber(keys, EntryKeyOrder[slot]);
        const std::uint8_t* entry = block.data() + slot * kKeyEntrySize;
        key.modifiers = entry[KeyEntry::kModifiers];
        key.vk = UsageToVk(entry[KeyEntry::kUsage]);
        key.mouse = entry[KeyEntry::kMouse];
        key.lParam = 0;
    }
}

}  // namespace quillpad
