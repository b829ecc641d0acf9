// Layout names through xkbcommon: no display is needed, only the xkb-data files.
#include "layout_names.h"

#include "us_key_positions.h"
#include "utf8.h"
#include "xkb_layout.h"

namespace quillpad::ctl {

Status LoadLayoutNames(const std::string& name, std::shared_ptr<const KeyNameSet>& names) {
    std::string layout;
    std::string variant;
    if (!SplitLayoutName(name, layout, variant)) {
        return Fail(kExitUsage, "--layout needs a layout name such as de, fr or us(dvorak), not " +
                                    QuoteForMessage(name));
    }
    const auto keymap = XkbLayout::FromNames(layout, variant);
    if (!keymap) {
        return Fail(kExitUsage, "unknown keyboard layout " + QuoteForMessage(name) +
                                    " (the names are those of setxkbmap: de, fr, us(dvorak), ...)");
    }
    LayoutNames layoutNames;
    bool typesLetters = false;
    for (int vk = 1; vk < 256; ++vk) {
        const auto v = static_cast<std::uint8_t>(vk);
        const std::uint32_t position = KeyLParamOfUsVk(v);
        if (!IsLayoutNamedVk(v) || position == 0) {
            continue;
        }
        const int evdev = ScanCodeToEvdev(ScanCodeFromLParam(position)).value_or(0);
        if (const char32_t c = keymap->Character(evdev, false)) {
            layoutNames.plain[v] = utf8::Encode(c);
            typesLetters = typesLetters || (v >= 'A' && v <= 'Z');
        } else {
            // A key that types nothing (Zenkaku_Hankaku, Henkan_Mode) by the layout's word.
            layoutNames.plain[v] = keymap->KeyName(evdev);
        }
        if (const char32_t c = keymap->Character(evdev, true)) {
            layoutNames.shifted[v] = utf8::Encode(c);
        }
        if (const char32_t c = keymap->Character(evdev, false, true)) {
            layoutNames.altGr[v] = utf8::Encode(c);
        }
        if (const char32_t c = keymap->Character(evdev, true, true)) {
            layoutNames.altGrShifted[v] = utf8::Encode(c);
        }
    }
    // xkb-data also holds option files (pc, inet, level3, ...) that compile as a layout of their
    // own but type nothing on the letter keys: they are no layout to name keys after.
    if (!typesLetters) {
        return Fail(kExitUsage, QuoteForMessage(name) +
                                    " is no keyboard layout that types letters (the names are "
                                    "those of setxkbmap: de, fr, us(dvorak), ...)");
    }
    names = MakeKeyNameSet(layoutNames);
    return Ok();
}

}  // namespace quillpad::ctl
