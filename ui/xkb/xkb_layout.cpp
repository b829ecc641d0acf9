#include "xkb_layout.h"

#include <xkbcommon/xkbcommon.h>

#include <utility>

#include "scan_codes.h"

namespace quillpad {
namespace {

char32_t DeadKeyAccent(xkb_keysym_t sym) {
    struct Accent {
        xkb_keysym_t sym;
        char32_t accent;
    };
    static constexpr Accent kAccents[] = {
        {XKB_KEY_dead_grave, U'`'},          {XKB_KEY_dead_acute, U'\u00B4'},
        {XKB_KEY_dead_circumflex, U'^'},     {XKB_KEY_dead_tilde, U'~'},
        {XKB_KEY_dead_macron, U'\u00AF'},    {XKB_KEY_dead_breve, U'\u02D8'},
        {XKB_KEY_dead_abovedot, U'\u02D9'},  {XKB_KEY_dead_diaeresis, U'\u00A8'},
        {XKB_KEY_dead_abovering, U'\u02DA'}, {XKB_KEY_dead_doubleacute, U'\u02DD'},
        {XKB_KEY_dead_caron, U'\u02C7'},     {XKB_KEY_dead_cedilla, U'\u00B8'},
        {XKB_KEY_dead_ogonek, U'\u02DB'},
    };
    for (const auto& a : kAccents) {
        if (a.sym == sym) {
            return a.accent;
        }
    }
    return 0;
}

char32_t SymCharacter(xkb_keysym_t sym) {
    char32_t c = xkb_keysym_to_utf32(sym);
    if (c == 0) {
        c = DeadKeyAccent(sym);
    }
    // Control characters (Tab, Return, Escape ...) are no names.
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c > 0x10FFFF) {
        return 0;
    }
    return c;
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

bool IsName(const std::string& text) {
    if (text.empty())
        return false;
    for (const char c : text) {
        if (!IsNameCharacter(c))
            return false;
    }
    return true;
}

}  // namespace

namespace {

// The keycode of evdev in keymap, and the group to read (group 0 where the key has fewer).
bool KeyOf(xkb_keymap* keymap, int evdev, std::uint32_t& group, xkb_keycode_t& key) {
    key = static_cast<xkb_keycode_t>(evdev + kXKeycodeOffset);
    if (keymap == nullptr || key < xkb_keymap_min_keycode(keymap) ||
        key > xkb_keymap_max_keycode(keymap)) {
        return false;
    }
    if (group >= xkb_keymap_num_layouts_for_key(keymap, key)) {
        group = 0;
    }
    return true;
}

// The keysym the key gives with the modifiers named (Shift, and Mod5, where the layouts put
// AltGr), or XKB_KEY_NoSymbol.
xkb_keysym_t SymWithModifiers(xkb_keymap* keymap, xkb_keycode_t key, std::uint32_t group,
                              bool shifted, bool altGr) {
    xkb_mod_mask_t mask = 0;
    for (const auto& [wanted, name] : {std::pair{shifted, XKB_MOD_NAME_SHIFT}, {altGr, "Mod5"}}) {
        if (!wanted)
            continue;
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
        if (index == XKB_MOD_INVALID)
            return XKB_KEY_NoSymbol;
        mask |= xkb_mod_mask_t{1} << index;
    }
    xkb_state* state = xkb_state_new(keymap);
    if (state == nullptr)
        return XKB_KEY_NoSymbol;
    xkb_state_update_mask(state, mask, 0, 0, 0, 0, group);
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, key);
    xkb_state_unref(state);
    return sym;
}

}  // namespace

char32_t KeyCharacter(xkb_keymap* keymap, int evdev, std::uint32_t group, bool shifted,
                      bool altGr) {
    xkb_keycode_t key = 0;
    if (!KeyOf(keymap, evdev, group, key)) {
        return 0;
    }
    if (!shifted && !altGr) {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, key, group, 0, &syms) != 1) {
            return 0;
        }
        return SymCharacter(syms[0]);
    }
    return SymCharacter(SymWithModifiers(keymap, key, group, shifted, altGr));
}

std::string KeySymName(xkb_keymap* keymap, int evdev, std::uint32_t group) {
    xkb_keycode_t key = 0;
    const xkb_keysym_t* syms = nullptr;
    if (!KeyOf(keymap, evdev, group, key) ||
        xkb_keymap_key_get_syms_by_level(keymap, key, group, 0, &syms) != 1) {
        return {};
    }
    char name[64];
    const int length = xkb_keysym_get_name(syms[0], name, sizeof name);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof name) {
        return {};
    }
    return std::string(name, static_cast<std::size_t>(length));
}

std::unique_ptr<XkbLayout> XkbLayout::FromNames(const std::string& layout,
                                                const std::string& variant) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (context == nullptr) {
        return nullptr;
    }
    // An unknown layout is reported by the caller; xkbcommon's own messages would only repeat it.
    xkb_context_set_log_level(context, XKB_LOG_LEVEL_CRITICAL);
    xkb_rule_names names{};
    names.layout = layout.c_str();
    names.variant = variant.empty() ? nullptr : variant.c_str();
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        xkb_context_unref(context);
        return nullptr;
    }
    return std::unique_ptr<XkbLayout>(new XkbLayout(context, keymap));
}

XkbLayout::~XkbLayout() {
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

char32_t XkbLayout::Character(int evdev, bool shifted, bool altGr) const {
    return KeyCharacter(keymap_, evdev, 0, shifted, altGr);
}

std::string XkbLayout::KeyName(int evdev) const {
    return KeySymName(keymap_, evdev, 0);
}

bool SplitLayoutName(const std::string& name, std::string& layout, std::string& variant) {
    const std::size_t open = name.find('(');
    if (open == std::string::npos) {
        layout = name;
        variant.clear();
    } else {
        if (name.back() != ')')
            return false;
        layout = name.substr(0, open);
        variant = name.substr(open + 1, name.size() - open - 2);
        if (!IsName(variant))
            return false;
    }
    return IsName(layout);
}

}  // namespace quillpad
