// What the keys of an XKB keyboard layout type, for naming keys after the user's layout.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct xkb_context;
struct xkb_keymap;

namespace quillpad {

// The character a key of keymap types in layout group group, without modifiers, with Shift,
// with AltGr (the third level) or with both. A dead key gives its spacing accent. 0 when it
// types nothing printable (control characters, keys without a character, codes the keymap
// lacks).
char32_t KeyCharacter(xkb_keymap* keymap, int evdev, std::uint32_t group, bool shifted,
                      bool altGr = false);

// The keymap's name of what the key gives without modifiers ("Zenkaku_Hankaku", "Henkan_Mode",
// "a"); empty when it gives nothing.
std::string KeySymName(xkb_keymap* keymap, int evdev, std::uint32_t group);

// A layout compiled from its XKB names, such as "de", or "us" with the variant "dvorak".
class XkbLayout {
  public:
    // Nothing when xkbcommon cannot compile it: an unknown layout or variant, or no xkb-data.
    static std::unique_ptr<XkbLayout> FromNames(const std::string& layout,
                                                const std::string& variant);
    ~XkbLayout();
    XkbLayout(const XkbLayout&) = delete;
    XkbLayout& operator=(const XkbLayout&) = delete;

    char32_t Character(int evdev, bool shifted, bool altGr = false) const;
    std::string KeyName(int evdev) const;

  private:
    XkbLayout(xkb_context* context, xkb_keymap* keymap) : context_(context), keymap_(keymap) {}
    xkb_context* context_;
    xkb_keymap* keymap_;
};

// Splits a layout name as XKB writes it, "de" or "us(dvorak)", into layout and variant. False
// for anything else: names hold only letters, digits, '_' and '-'.
bool SplitLayoutName(const std::string& name, std::string& layout, std::string& variant);

}  // namespace quillpad
