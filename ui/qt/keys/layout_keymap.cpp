#include "layout_keymap.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QChar>
#include <QGuiApplication>
#include <memory>
#include <mutex>

#include "key_names.h"
#include "scan_codes.h"
#include "utf8.h"

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#endif

namespace quillpad {
namespace {

struct ContextDeleter {
    void operator()(xkb_context* c) const { xkb_context_unref(c); }
};
struct KeymapDeleter {
    void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
};
struct StateDeleter {
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
using ContextPtr = std::unique_ptr<xkb_context, ContextDeleter>;
using KeymapPtr = std::unique_ptr<xkb_keymap, KeymapDeleter>;
using StatePtr = std::unique_ptr<xkb_state, StateDeleter>;

// Qt's connection to the X server, or null when Qt does not run on X11.
xcb_connection_t* QtXcbConnection() {
#if QT_CONFIG(xcb)
    if (qGuiApp != nullptr && QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            xcb_connection_t* c = x11->connection();
            if (c != nullptr && xcb_connection_has_error(c) == 0) {
                return c;
            }
        }
    }
#endif
    return nullptr;
}

class Keymaps {
  public:
    void UseSystem() {
        std::lock_guard lock(mutex_);
        Reset();
        named_ = false;
    }

    void UseNamed(const std::string& layout, const std::string& variant) {
        std::lock_guard lock(mutex_);
        Reset();
        named_ = true;
        layout_ = layout;
        variant_ = variant;
    }

    // The character at level 0 upper-cased, or (shifted) the one Shift gives, as it is.
    std::string Character(int evdev, bool shifted) {
        std::lock_guard lock(mutex_);
        xcb_connection_t* connection = named_ ? nullptr : QtXcbConnection();
        if (!loaded_ || connection != connection_) {
            Load(connection);
        }
        if (!keymap_) {
            return {};
        }
        const xkb_keycode_t key = static_cast<xkb_keycode_t>(evdev + kXKeycodeOffset);
        xkb_layout_index_t group = ActiveGroup();
        if (group >= xkb_keymap_num_layouts_for_key(keymap_.get(), key)) {
            group = 0;
        }
        if (shifted) {
            StatePtr state(xkb_state_new(keymap_.get()));
            const xkb_mod_index_t shift =
                xkb_keymap_mod_get_index(keymap_.get(), XKB_MOD_NAME_SHIFT);
            if (!state || shift == XKB_MOD_INVALID) {
                return {};
            }
            xkb_state_update_mask(state.get(), 1u << shift, 0, 0, 0, 0, group);
            return SymToText(xkb_state_key_get_one_sym(state.get(), key), false);
        }
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap_.get(), key, group, 0, &syms) != 1) {
            return {};
        }
        return SymToText(syms[0], true);
    }

  private:
    void Reset() {
        keymap_.reset();
        context_.reset();
        connection_ = nullptr;
        device_ = -1;
        loaded_ = false;
    }

    void Load(xcb_connection_t* connection) {
        Reset();
        loaded_ = true;
        connection_ = connection;
        const auto flags = named_ ? XKB_CONTEXT_NO_ENVIRONMENT_NAMES : XKB_CONTEXT_NO_FLAGS;
        context_.reset(xkb_context_new(flags));
        if (!context_) {
            return;
        }
        // A layout that cannot be compiled falls back on US names; no need to tell the user.
        xkb_context_set_log_level(context_.get(), XKB_LOG_LEVEL_CRITICAL);
        if (connection_ != nullptr &&
            xkb_x11_setup_xkb_extension(
                connection_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr) == 1) {
            device_ = xkb_x11_get_core_keyboard_device_id(connection_);
            if (device_ >= 0) {
                keymap_.reset(xkb_x11_keymap_new_from_device(context_.get(), connection_, device_,
                                                             XKB_KEYMAP_COMPILE_NO_FLAGS));
            }
        }
        if (!keymap_) {
            device_ = -1;
            xkb_rule_names names{};
            if (named_) {
                names.layout = layout_.empty() ? nullptr : layout_.c_str();
                names.variant = variant_.empty() ? nullptr : variant_.c_str();
            }
            keymap_.reset(
                xkb_keymap_new_from_names(context_.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        }
    }

    // The layout group the user has switched to; asked of the X server every time, since the
    // user may switch while the window is open.
    xkb_layout_index_t ActiveGroup() const {
        if (connection_ == nullptr || device_ < 0) {
            return 0;
        }
        StatePtr state(xkb_x11_state_new_from_device(keymap_.get(), connection_, device_));
        if (!state) {
            return 0;
        }
        return xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
    }

    static char32_t DeadKeyAccent(xkb_keysym_t sym) {
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

    static std::string SymToText(xkb_keysym_t sym, bool upper) {
        char32_t c = xkb_keysym_to_utf32(sym);
        if (c == 0) {
            c = DeadKeyAccent(sym);
        }
        // Control characters (Tab, Return, Escape ...) are no names.
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c > 0x10FFFF) {
            return {};
        }
        return utf8::Encode(upper ? QChar::toUpper(c) : c);
    }

    std::mutex mutex_;
    bool named_ = false;
    std::string layout_;
    std::string variant_;
    bool loaded_ = false;
    ContextPtr context_;
    KeymapPtr keymap_;
    xcb_connection_t* connection_ = nullptr;
    std::int32_t device_ = -1;
};

Keymaps& TheKeymaps() {
    static Keymaps keymaps;
    return keymaps;
}

}  // namespace

std::string LayoutKeyCharacter(int evdev) {
    return TheKeymaps().Character(evdev, false);
}

std::string LayoutShiftedKeyCharacter(int evdev) {
    return TheKeymaps().Character(evdev, true);
}

void UseSystemKeymap() {
    TheKeymaps().UseSystem();
}

void UseKeymapLayout(const std::string& layout, const std::string& variant) {
    TheKeymaps().UseNamed(layout, variant);
}

}  // namespace quillpad
