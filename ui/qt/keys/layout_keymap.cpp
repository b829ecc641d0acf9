#include "layout_keymap.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QChar>
#include <QGuiApplication>
#include <atomic>
#include <memory>
#include <mutex>

#include "key_names.h"
#include "utf8.h"
#include "wayland_keymap.h"
#include "xkb_layout.h"

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

// The user's keymap (named false) or one layout by name, compiled on first use and kept; the
// user's is compiled again when Qt's X server connection changes.
class CachedKeymap : public LayoutKeymap {
  public:
    CachedKeymap() = default;
    CachedKeymap(const std::string& layout, const std::string& variant)
        : named_(true), layout_(layout), variant_(variant) {}

    // The character at level 0 upper-cased, or (shifted) the one Shift gives, as it is. A
    // letter whose upper case does not lead back to it (Turkish dotless i) stays as it is.
    std::string Character(int evdev, bool shifted) override {
        std::lock_guard lock(mutex_);
        LoadIfNeeded();
        const char32_t c = KeyCharacter(keymap_.get(), evdev, ActiveGroup(), shifted);
        if (c == 0) {
            return {};
        }
        const char32_t upper = QChar::toUpper(c);
        return utf8::Encode(shifted || QChar::toLower(upper) != c ? c : upper);
    }

    std::string SymName(int evdev) override {
        std::lock_guard lock(mutex_);
        LoadIfNeeded();
        return KeySymName(keymap_.get(), evdev, ActiveGroup());
    }

  private:
    void LoadIfNeeded() {
        // On Wayland the keymap is the one the compositor sends, whenever it changes.
        std::string text;
        if (!named_ && WaylandKeymapText(text)) {
            if (!loaded_ || text != waylandKeymap_) {
                Reset();
                loaded_ = true;
                waylandKeymap_ = std::move(text);
                context_.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
                if (context_) {
                    xkb_context_set_log_level(context_.get(), XKB_LOG_LEVEL_CRITICAL);
                    keymap_.reset(xkb_keymap_new_from_buffer(
                        context_.get(), waylandKeymap_.data(), waylandKeymap_.size(),
                        XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
                }
            }
            return;
        }
        xcb_connection_t* connection = named_ ? nullptr : QtXcbConnection();
        if (!loaded_ || connection != connection_ || !waylandKeymap_.empty()) {
            Load(connection);
        }
    }

    void Reset() {
        waylandKeymap_.clear();
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
        if (!keymap_ || connection_ == nullptr || device_ < 0) {
            return 0;
        }
        StatePtr state(xkb_x11_state_new_from_device(keymap_.get(), connection_, device_));
        if (!state) {
            return 0;
        }
        return xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
    }

    std::mutex mutex_;
    const bool named_ = false;
    const std::string layout_;
    const std::string variant_;
    bool loaded_ = false;
    ContextPtr context_;
    KeymapPtr keymap_;
    xcb_connection_t* connection_ = nullptr;
    std::int32_t device_ = -1;
    std::string waylandKeymap_;  // the text keymap_ was compiled from, on Wayland
};

CachedKeymap& UsersKeymap() {
    static CachedKeymap keymap;
    return keymap;
}

std::atomic<LayoutKeymap*> gKeymap{nullptr};

}  // namespace

std::string LayoutKeyCharacter(int evdev) {
    return GetLayoutKeymap().Character(evdev, false);
}

std::string LayoutShiftedKeyCharacter(int evdev) {
    return GetLayoutKeymap().Character(evdev, true);
}

std::string LayoutKeySymName(int evdev) {
    return GetLayoutKeymap().SymName(evdev);
}

std::unique_ptr<LayoutKeymap> MakeNamedLayoutKeymap(const std::string& layout,
                                                    const std::string& variant) {
    return std::make_unique<CachedKeymap>(layout, variant);
}

void SetLayoutKeymap(LayoutKeymap* keymap) {
    gKeymap = keymap;
}

LayoutKeymap& GetLayoutKeymap() {
    LayoutKeymap* keymap = gKeymap;
    return keymap != nullptr ? *keymap : UsersKeymap();
}

}  // namespace quillpad
