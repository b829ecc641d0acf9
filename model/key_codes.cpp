#include "key_codes.h"

#include <array>

namespace quillpad {
namespace {

struct CodePair {
    std::uint8_t usage;
    std::uint8_t vk;
};

// Keys with an entry of their own; both directions use them.
constexpr CodePair kSingleKeys[] = {
    {0x27, 0x30},  // 0 (main row)
    {0x28, 0x0D},  // Enter
    {0x29, 0x1B},  // Escape
    {0x2A, 0x08},  // Backspace
    {0x2B, 0x09},  // Tab
    {0x2C, 0x20},  // Space
    {0x2D, 0xBD},  // - _
    {0x2E, 0xBB},  // = +
    {0x2F, 0xDB},  // [ {
    {0x30, 0xDD},  // ] }
    {0x31, 0xDC},  // backslash |
    {0x33, 0xBA},  // ; :
    {0x34, 0xDE},  // ' "
    {0x35, 0xC0},  // ` ~
    {0x36, 0xBC},  // , <
    {0x37, 0xBE},  // . >
    {0x38, 0xBF},  // / ?
    {0x39, 0x14},  // Caps Lock
    {0x47, 0x91},  // Scroll Lock
    {0x48, 0x13},  // Pause
    {0x49, 0x2D},  // Insert
    {0x4A, 0x24},  // Home
    {0x4B, 0x21},  // Page Up
    {0x4C, 0x2E},  // Delete
    {0x4D, 0x23},  // End
    {0x4E, 0x22},  // Page Down
    {0x4F, 0x27},  // Right
    {0x50, 0x25},  // Left
    {0x51, 0x28},  // Down
    {0x52, 0x26},  // Up
    {0x53, 0x90},  // Num Lock
    {0x54, 0x6F},  // Keypad /
    {0x55, 0x6A},  // Keypad *
    {0x56, 0x6D},  // Keypad -
    {0x57, 0x6B},  // Keypad +
    {0x65, 0x5D},  // Application
    // Keys of ISO, Brazilian (ABNT2), Japanese and Korean keyboards, with the virtual keys the
    // US layout gives their positions; where it gives none, the key's own Windows code.
    {0x64, 0xE2},  // the key beside the left Shift (VK_OEM_102)
    {0x85, 0xC2},  // Keypad , of ABNT2 keyboards (VK_ABNT_C2)
    {0x87, 0xC1},  // Ro, ABNT2 / ? (VK_ABNT_C1)
    {0x88, 0xF2},  // Katakana/Hiragana (VK_DBE_HIRAGANA)
    {0x89, 0xDF},  // Yen (VK_OEM_8)
    {0x8A, 0x1C},  // Henkan (VK_CONVERT)
    {0x8B, 0xEB},  // Muhenkan (VK_OEM_PA1)
    {0x90, 0x15},  // Hangul (VK_HANGUL)
    {0x91, 0x19},  // Hanja (VK_HANJA)
};

struct Ranges {
    std::uint8_t firstUsage;
    std::uint8_t lastUsage;
    std::uint8_t firstVk;
};

// Runs of keys that map element by element.
constexpr Ranges kRanges[] = {
    {0x04, 0x1D, 0x41},  // A to Z
    {0x1E, 0x26, 0x31},  // 1 to 9 (main row)
    {0x3A, 0x45, 0x70},  // F1 to F12
};

using Table = std::array<std::uint8_t, 256>;

constexpr Table MakeVkToUsage() {
    Table t{};
    for (const auto& r : kRanges) {
        for (int u = r.firstUsage; u <= r.lastUsage; ++u) {
            t[r.firstVk + (u - r.firstUsage)] = static_cast<std::uint8_t>(u);
        }
    }
    for (const auto& p : kSingleKeys) {
        t[p.vk] = p.usage;
    }
    // The keypad digits and full stop are written with their own usages...
    for (int vk = 0x61; vk <= 0x69; ++vk) {
        t[vk] = static_cast<std::uint8_t>(vk - 0x08);  // Keypad 1 to 9
    }
    t[0x60] = 0x62;  // Keypad 0
    t[0x6E] = 0x63;  // Keypad full stop
    return t;
}

constexpr Table MakeUsageToVk() {
    Table t{};
    for (const auto& r : kRanges) {
        for (int u = r.firstUsage; u <= r.lastUsage; ++u) {
            t[u] = static_cast<std::uint8_t>(r.firstVk + (u - r.firstUsage));
        }
    }
    for (const auto& p : kSingleKeys) {
        t[p.usage] = p.vk;
    }
    // ...but read back as the keys of the main row, which the naming table can show.
    for (int u = 0x59; u <= 0x61; ++u) {
        t[u] = static_cast<std::uint8_t>(u - 0x28);  // Keypad 1 to 9 -> 1 to 9
    }
    t[0x62] = 0x30;  // Keypad 0 -> 0
    t[0x63] = 0xBE;  // Keypad full stop -> full stop
    return t;
}

constexpr Table kVkToUsage = MakeVkToUsage();
constexpr Table kUsageToVk = MakeUsageToVk();

}  // namespace

std::uint8_t UsageToVk(std::uint8_t usage) {
    return kUsageToVk[usage];
}
std::uint8_t VkToUsage(std::uint8_t vk) {
    return kVkToUsage[vk];
}

}  // namespace quillpad
