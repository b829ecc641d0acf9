// Keys pressed on seven keyboard layouts, for the tests of every view that captures keys: the
// physical key (set-1 scan code), what each platform reports for it on that layout, the usage
// the keypad must store (the key's position, whatever it types) and how the window names it.
#pragma once

#include <cstdint>

namespace quillpad::test {

struct LayoutKeyCase {
    const char* layout;   // XKB layout name
    const char* variant;  // XKB variant, "" for none
    const char* what;
    std::uint8_t scan;      // the physical key
    int qtKey;              // the Qt key X11 reports for it on this layout (a Qt::Key value)
    std::uint8_t layoutVk;  // the virtual key Windows' layout of that name gives it
    std::uint8_t usage;     // what the keypad stores: the usage of the key at that position
    const char* name;       // the layout's name of the key
    const char* shown;      // the window's text for the key alone
    const char* shifted;    // the window's text with Shift
};

// Qt::Key values, so that the table needs no Qt header.
inline constexpr int kQtKey2 = 0x32, kQtKeyA = 0x41, kQtKeyM = 0x4d, kQtKeyQ = 0x51, kQtKeyS = 0x53,
                     kQtKeyZ = 0x5a, kQtKeyAmpersand = 0x26, kQtKeyApostrophe = 0x27,
                     kQtKeyComma = 0x2c, kQtKeySemicolon = 0x3b, kQtKeyBracketLeft = 0x5b,
                     kQtKeySsharp = 0xdf, kQtKeyOdiaeresis = 0xd6, kQtKeyLess = 0x3c,
                     kQtKeyBackslash = 0x5c, kQtKeyPlus = 0x2b, kQtKeyI = 0x49,
                     kQtKeyZenkakuHankaku = 0x01001128;

inline constexpr LayoutKeyCase kLayoutKeyCases[] = {
    {"us", "", "Q", 0x10, kQtKeyQ, 0x51, 0x14, "Q", "q", "Shift+Q"},
    {"us", "", "2", 0x03, kQtKey2, 0x32, 0x1F, "2", "2", "Shift+@"},
    {"us", "", ";", 0x27, kQtKeySemicolon, 0xBA, 0x33, ";", ";", "Shift+:"},
    {"us", "", "M", 0x32, kQtKeyM, 0x4D, 0x10, "M", "m", "Shift+M"},
    {"de", "", "Z on the US Y key", 0x15, kQtKeyZ, 0x5A, 0x1C, "Z", "z", "Shift+Z"},
    {"de", "", "2", 0x03, kQtKey2, 0x32, 0x1F, "2", "2", "Shift+\""},
    {"de", "", "\xC3\x9F on the US - key", 0x0C, kQtKeySsharp, 0xDB, 0x2D, "\xC3\x9F", "\xC3\x9F",
     "Shift+?"},
    {"de", "", "\xC3\x96 on the US ; key", 0x27, kQtKeyOdiaeresis, 0xC0, 0x33, "\xC3\x96",
     "\xC3\xB6", "Shift+\xC3\x96"},
    {"de", "", "< on the ISO key", 0x56, kQtKeyLess, 0xE2, 0x64, "<", "<", "Shift+>"},
    {"de", "", "+ on the US ] key", 0x1B, kQtKeyPlus, 0xBB, 0x30, "+", "+", "Shift+*"},
    {"fr", "", "A on the US Q key", 0x10, kQtKeyA, 0x41, 0x14, "A", "a", "Shift+A"},
    {"fr", "", "& on the US 1 key", 0x02, kQtKeyAmpersand, 0x31, 0x1E, "&", "&", "Shift+1"},
    {"fr", "", ", on the US M key", 0x32, kQtKeyComma, 0xBC, 0x10, ",", ",", "Shift+?"},
    {"fr", "", "M on the US ; key", 0x27, kQtKeyM, 0x4D, 0x33, "M", "m", "Shift+M"},
    {"fr", "", "< on the ISO key", 0x56, kQtKeyLess, 0xE2, 0x64, "<", "<", "Shift+>"},
    {"gb", "", "\\ on the ISO key", 0x56, kQtKeyBackslash, 0xDC, 0x64, "\\", "\\", "Shift+|"},
    {"jp", "", "\\ on the Ro key", 0x73, kQtKeyBackslash, 0xE2, 0x87, "\\", "\\", "Shift+_"},
    {"jp", "", "Zenkaku/Hankaku left of 1", 0x29, kQtKeyZenkakuHankaku, 0xF3, 0x35,
     "Zenkaku_Hankaku", "Zenkaku_Hankaku", "Shift+Zenkaku_Hankaku"},
    {"tr", "", "\xC4\xB1 on the US I key", 0x17, kQtKeyI, 0x49, 0x0C, "\xC4\xB1", "\xC4\xB1",
     "Shift+I"},
    {"tr", "", "i on the US ' key", 0x28, kQtKeyI, 0xDE, 0x34, "I", "i", "Shift+\xC4\xB0"},
    {"us", "dvorak", "' on the US Q key", 0x10, kQtKeyApostrophe, 0xDE, 0x14, "'", "'", "Shift+\""},
    {"us", "dvorak", "S on the US ; key", 0x27, kQtKeyS, 0x53, 0x33, "S", "s", "Shift+S"},
    {"us", "dvorak", "[ on the US - key", 0x0C, kQtKeyBracketLeft, 0xDB, 0x2D, "[", "[", "Shift+{"},
    {"us", "dvorak", "2", 0x03, kQtKey2, 0x32, 0x1F, "2", "2", "Shift+@"},
};

}  // namespace quillpad::test
