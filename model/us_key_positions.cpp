#include "us_key_positions.h"

#include <array>
#include <iterator>
#include <string_view>
#include <vector>

namespace quillpad {
namespace {

struct Position {
    ScanCode scan;
    std::uint8_t vk;
    std::uint8_t numLockOffVk = 0;  // keypad digit keys: the key Num Lock off gives
};

// Every key of a PC keyboard but the character keys (kCharacterRows) and the function keys
// (kFunctionRows). Where a virtual key sits at two positions (Enter, Shift, Ctrl, Alt) the
// main one comes first. The last eight are keys only Japanese, Brazilian and Korean keyboards
// have, with the virtual key the US layout gives each position, or the key's own Windows code
// where it gives none.
constexpr Position kKeys[] = {
    {Std(0x01), 0x1B},       {Std(0x0E), 0x08},       {Std(0x0F), 0x09},
    {Std(0x1C), 0x0D},       {Std(0x1D), 0x11},       {Std(0x2A), 0x10},
    {Std(0x36), 0x10},       {Std(0x37), 0x6A},       {Std(0x38), 0x12},
    {Std(0x39), 0x20},       {Std(0x3A), 0x14},       {Std(0x45), 0x13},
    {Std(0x46), 0x91},       {Std(0x47), 0x67, 0x24}, {Std(0x48), 0x68, 0x26},
    {Std(0x49), 0x69, 0x21}, {Std(0x4A), 0x6D},       {Std(0x4B), 0x64, 0x25},
    {Std(0x4C), 0x65, 0x0C}, {Std(0x4D), 0x66, 0x27}, {Std(0x4E), 0x6B},
    {Std(0x4F), 0x61, 0x23}, {Std(0x50), 0x62, 0x28}, {Std(0x51), 0x63, 0x22},
    {Std(0x52), 0x60, 0x2D}, {Std(0x53), 0x6E, 0x2E}, {Ext(0x1C), 0x0D},
    {Ext(0x1D), 0x11},       {Ext(0x35), 0x6F},       {Ext(0x37), 0x2C},
    {Ext(0x38), 0x12},       {Ext(0x45), 0x90},       {Ext(0x47), 0x24},
    {Ext(0x48), 0x26},       {Ext(0x49), 0x21},       {Ext(0x4B), 0x25},
    {Ext(0x4D), 0x27},       {Ext(0x4F), 0x23},       {Ext(0x50), 0x28},
    {Ext(0x51), 0x22},       {Ext(0x52), 0x2D},       {Ext(0x53), 0x2E},
    {Ext(0x5B), 0x5B},       {Ext(0x5C), 0x5C},       {Ext(0x5D), 0x5D},
    {Std(0x70), 0xF2},       {Std(0x71), 0x19},       {Std(0x72), 0x15},
    {Std(0x73), 0xC1},       {Std(0x79), 0x1C},       {Std(0x7B), 0xEB},
    {Std(0x7D), 0xDF},       {Std(0x7E), 0xC2},
};

// Runs of character keys from firstScan on: their virtual keys, the characters on their caps
// and what they type with Shift, on the US layout.
struct CharacterRow {
    std::uint8_t firstScan;
    std::string_view vks;
    std::string_view characters;
    std::string_view shifted;
};

constexpr CharacterRow kCharacterRows[] = {
    {0x02, "1234567890\xBD\xBB", "1234567890-=", "!@#$%^&*()_+"},
    {0x10, "QWERTYUIOP\xDB\xDD", "QWERTYUIOP[]", "QWERTYUIOP{}"},
    {0x1E, "ASDFGHJKL\xBA\xDE\xC0", "ASDFGHJKL;'`", "ASDFGHJKL:\"~"},
    {0x2B, "\xDCZXCVBNM\xBC\xBE\xBF", "\\ZXCVBNM,./", "|ZXCVBNM<>?"},
    {0x56, "\xE2", "\\", "|"},
};

constexpr bool RowsAreWhole() {
    for (const CharacterRow& row : kCharacterRows) {
        if (row.vks.size() != row.characters.size() || row.shifted.size() != row.characters.size())
            return false;
    }
    return true;
}
static_assert(RowsAreWhole(), "a character row names each key's vk, character and shifted one");

// Runs of function keys from firstScan on, with consecutive virtual keys.
struct FunctionRow {
    std::uint8_t firstScan;
    std::uint8_t firstVk;
    int count;
};

constexpr FunctionRow kFunctionRows[] = {
    {0x3B, 0x70, 10},  // F1 to F10
    {0x57, 0x7A, 2},   // F11, F12
    {0x64, 0x7C, 11},  // F13 to F23
    {0x76, 0x87, 1},   // F24
};

// Index: scan code, plus 256 for the extended ones.
using ByScan = std::array<const Position*, 512>;

struct Tables {
    std::vector<UsCharacterKey> characters;
    std::vector<Position> positions;
    ByScan byScan{};
    std::array<std::optional<ScanCode>, 256> byVk{};
};

const Tables& GetTables() {
    static const Tables tables = [] {
        Tables t;
        for (const CharacterRow& row : kCharacterRows) {
            for (std::size_t i = 0; i < row.vks.size(); ++i) {
                t.characters.push_back({Std(static_cast<std::uint8_t>(row.firstScan + i)),
                                        static_cast<std::uint8_t>(row.vks[i]), row.characters[i],
                                        row.shifted[i]});
            }
        }
        t.positions.assign(std::begin(kKeys), std::end(kKeys));
        for (const UsCharacterKey& c : t.characters) {
            t.positions.push_back({c.scan, c.vk});
        }
        for (const FunctionRow& row : kFunctionRows) {
            for (int i = 0; i < row.count; ++i) {
                t.positions.push_back({Std(static_cast<std::uint8_t>(row.firstScan + i)),
                                       static_cast<std::uint8_t>(row.firstVk + i)});
            }
        }
        for (const Position& p : t.positions) {
            t.byScan[p.scan.code + (p.scan.extended ? 256 : 0)] = &p;
            if (!t.byVk[p.vk])
                t.byVk[p.vk] = p.scan;
        }
        return t;
    }();
    return tables;
}

const Position* FindPosition(ScanCode scan) {
    return GetTables().byScan[scan.code + (scan.extended ? 256 : 0)];
}

// Windows' virtual key for input that arrives as a character rather than a key.
constexpr std::uint32_t kVkPacket = 0xE7;

}  // namespace

std::optional<std::uint8_t> UsVkAtScanCode(ScanCode scan) {
    if (const Position* p = FindPosition(scan))
        return p->vk;
    return std::nullopt;
}

std::optional<std::uint8_t> UsNumLockOffVkAtScanCode(ScanCode scan) {
    const Position* p = FindPosition(scan);
    if (p == nullptr || p->numLockOffVk == 0)
        return std::nullopt;
    return p->numLockOffVk;
}

std::span<const UsCharacterKey> UsCharacterKeys() {
    return GetTables().characters;
}

const UsCharacterKey* UsCharacterKeyAt(ScanCode scan) {
    for (const UsCharacterKey& c : UsCharacterKeys()) {
        if (c.scan == scan)
            return &c;
    }
    return nullptr;
}

const UsCharacterKey* UsCharacterKeyOfVk(std::uint8_t vk) {
    for (const UsCharacterKey& c : UsCharacterKeys()) {
        if (c.vk == vk)
            return &c;
    }
    return nullptr;
}

std::optional<ScanCode> ScanCodeOfUsVk(std::uint8_t vk) {
    return GetTables().byVk[vk];
}

std::uint32_t KeyLParamOfUsVk(std::uint8_t vk) {
    const auto scan = ScanCodeOfUsVk(vk);
    return scan ? MakeKeyLParam(*scan) : 0;
}

std::uint8_t UsVkOfKeyDown(std::uint32_t platformVk, std::uint32_t lParam) {
    const auto own = static_cast<std::uint8_t>(platformVk & 0xFF);
    const Position* p = FindPosition(ScanCodeFromLParam(lParam));
    if (p == nullptr || own == kVkPacket)
        return own;
    if (p->numLockOffVk != 0 && own == p->numLockOffVk)
        return own;
    return p->vk;
}

bool IsCharacterKeyVk(std::uint8_t vk) {
    return (vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A) || (vk >= 0xBA && vk <= 0xC0) ||
           (vk >= 0xDB && vk <= 0xDE);
}

bool IsLayoutNamedVk(std::uint8_t vk) {
    switch (vk) {
        case 0xE2:  // the key beside the left Shift
        case 0xC1:  // Ro
        case 0xC2:  // Keypad , (ABNT2)
        case 0xDF:  // Yen
        case 0xF2:  // Katakana/Hiragana
        case 0x1C:  // Henkan
        case 0xEB:  // Muhenkan
        case 0x15:  // Hangul
        case 0x19:  // Hanja
            return true;
        default:
            return IsCharacterKeyVk(vk);
    }
}

}  // namespace quillpad
