#include "wayland_keymap.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QGuiApplication>
#include <cstdint>
#include <cstring>
#include <string>

namespace quillpad {
namespace {

// A connection of our own that listens to the seat's keyboard. The compositor sends every
// client's keyboard the seat's keymap, when the keyboard is made and whenever it changes.
class CompositorKeyboard {
  public:
    ~CompositorKeyboard() { Disconnect(); }

    // The text of the last keymap received, after taking in what the compositor sent.
    const std::string* Keymap() {
        if (!tried_) {
            tried_ = true;
            Connect();
        }
        if (display_ == nullptr)
            return nullptr;
        // A round trip: everything the compositor sent before it has been handled.
        if (wl_display_roundtrip(display_) < 0) {
            Disconnect();
            return nullptr;
        }
        return keymap_.empty() ? nullptr : &keymap_;
    }

  private:
    void Connect() {
        display_ = wl_display_connect(nullptr);
        if (display_ == nullptr)
            return;
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kRegistryListener, this);
        // The globals, then the seat's capabilities, then the keymap.
        for (int i = 0; i < 3; ++i) {
            if (wl_display_roundtrip(display_) < 0) {
                Disconnect();
                return;
            }
        }
    }

    void Disconnect() {
        if (keyboard_ != nullptr)
            wl_keyboard_destroy(keyboard_);
        if (seat_ != nullptr)
            wl_seat_destroy(seat_);
        if (registry_ != nullptr)
            wl_registry_destroy(registry_);
        if (display_ != nullptr)
            wl_display_disconnect(display_);
        keyboard_ = nullptr;
        seat_ = nullptr;
        registry_ = nullptr;
        display_ = nullptr;
    }

    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t /*version*/) {
        auto* self = static_cast<CompositorKeyboard*>(data);
        if (self->seat_ != nullptr || std::strcmp(interface, wl_seat_interface.name) != 0)
            return;
        // The first seat; version 1 has the keymap event.
        self->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(self->seat_, &kSeatListener, self);
    }
    static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

    static void Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
        auto* self = static_cast<CompositorKeyboard*>(data);
        const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
        if (keyboard && self->keyboard_ == nullptr) {
            self->keyboard_ = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(self->keyboard_, &kKeyboardListener, self);
        } else if (!keyboard && self->keyboard_ != nullptr) {
            wl_keyboard_destroy(self->keyboard_);
            self->keyboard_ = nullptr;
        }
    }

    // Takes the keymap's text from the shared memory the compositor passes; keeps the last one
    // when this one cannot be read.
    static void KeymapEvent(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd,
                            std::uint32_t size) {
        auto* self = static_cast<CompositorKeyboard*>(data);
        constexpr std::uint32_t kMaxKeymapBytes = 4u << 20;
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0 && size <= kMaxKeymapBytes) {
            void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (map != MAP_FAILED) {
                const char* text = static_cast<const char*>(map);
                self->keymap_.assign(text, strnlen(text, size));
                munmap(map, size);
            }
        }
        close(fd);
    }
    static void Enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
    static void Leave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
    static void Key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t) {}
    static void Modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                          std::uint32_t, std::uint32_t) {}

    static constexpr wl_registry_listener kRegistryListener = {Global, GlobalRemove};
    static constexpr wl_seat_listener kSeatListener = {Capabilities, nullptr};
    static constexpr wl_keyboard_listener kKeyboardListener = {KeymapEvent, Enter,     Leave,
                                                               Key,         Modifiers, nullptr};

    bool tried_ = false;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    std::string keymap_;
};

}  // namespace

bool QtRunsOnWayland() {
    return qGuiApp != nullptr &&
           QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WaylandKeymapText(std::string& text) {
    if (!QtRunsOnWayland())
        return false;
    static CompositorKeyboard keyboard;
    const std::string* keymap = keyboard.Keymap();
    if (keymap == nullptr)
        return false;
    text = *keymap;
    return true;
}

}  // namespace quillpad
