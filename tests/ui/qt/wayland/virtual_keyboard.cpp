#include "virtual_keyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <cstring>

namespace quillpad::testing {
namespace {

// The two interfaces of virtual-keyboard-unstable-v1 that the client uses, written out as the
// protocol defines them (requests in order; neither sends events).
extern const wl_interface kKeyboardInterface;

const wl_interface* kCreateTypes[] = {&wl_seat_interface, &kKeyboardInterface};
const wl_message kManagerRequests[] = {{"create_virtual_keyboard", "on", kCreateTypes}};
const wl_interface kManagerInterface = {
    "zwp_virtual_keyboard_manager_v1", 1, 1, kManagerRequests, 0, nullptr};

const wl_interface* kNoTypes[] = {nullptr, nullptr, nullptr, nullptr};
const wl_message kKeyboardRequests[] = {
    {"keymap", "uhu", kNoTypes},
    {"key", "uuu", kNoTypes},
    {"modifiers", "uuuu", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kKeyboardInterface = {"zwp_virtual_keyboard_v1", 1, 4,
                                         kKeyboardRequests,         0, nullptr};

enum : std::uint32_t { kCreateKeyboard = 0, kKeymap = 0, kKey = 1, kDestroy = 3 };

}  // namespace

struct VirtualKeyboard::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    wl_proxy* manager = nullptr;
    wl_proxy* keyboard = nullptr;
    std::uint32_t time = 0;

    ~Connection() {
        if (keyboard != nullptr) {
            wl_proxy_marshal(keyboard, kDestroy);
            wl_proxy_destroy(keyboard);
        }
        if (manager != nullptr)
            wl_proxy_destroy(manager);
        if (seat != nullptr)
            wl_seat_destroy(seat);
        if (registry != nullptr)
            wl_registry_destroy(registry);
        if (display != nullptr) {
            wl_display_roundtrip(display);
            wl_display_disconnect(display);
        }
    }

    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t /*version*/) {
        auto* c = static_cast<Connection*>(data);
        if (c->seat == nullptr && std::strcmp(interface, wl_seat_interface.name) == 0) {
            c->seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        } else if (c->manager == nullptr && std::strcmp(interface, kManagerInterface.name) == 0) {
            c->manager =
                static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
        }
    }
    static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
    static constexpr wl_registry_listener kListener = {Global, GlobalRemove};
};

namespace {

// The keymap of layout as text, in a sealed-size shared memory file; -1 on failure.
int KeymapFile(const std::string& layout, std::uint32_t& size) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (context == nullptr)
        return -1;
    xkb_rule_names names{};
    names.layout = layout.c_str();
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text =
        keymap != nullptr ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    if (text == nullptr)
        return -1;
    size = static_cast<std::uint32_t>(std::strlen(text) + 1);
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size);
    std::free(text);
    if (!written) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

VirtualKeyboard::VirtualKeyboard(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}
VirtualKeyboard::~VirtualKeyboard() = default;

std::unique_ptr<VirtualKeyboard> VirtualKeyboard::Create(const std::string& layout,
                                                         std::string& error) {
    auto c = std::make_unique<Connection>();
    c->display = wl_display_connect(nullptr);
    if (c->display == nullptr) {
        error = "no Wayland compositor at WAYLAND_DISPLAY";
        return nullptr;
    }
    c->registry = wl_display_get_registry(c->display);
    wl_registry_add_listener(c->registry, &Connection::kListener, c.get());
    if (wl_display_roundtrip(c->display) < 0 || c->seat == nullptr || c->manager == nullptr) {
        error = "the compositor offers no seat or no virtual keyboards";
        return nullptr;
    }
    c->keyboard = wl_proxy_marshal_constructor(c->manager, kCreateKeyboard, &kKeyboardInterface,
                                               c->seat, nullptr);
    std::uint32_t size = 0;
    const int fd = KeymapFile(layout, size);
    if (fd < 0) {
        error = "no keymap for layout " + layout;
        return nullptr;
    }
    wl_proxy_marshal(c->keyboard, kKeymap, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    close(fd);
    if (wl_display_roundtrip(c->display) < 0) {
        error = "the compositor refused the virtual keyboard";
        return nullptr;
    }
    return std::unique_ptr<VirtualKeyboard>(new VirtualKeyboard(std::move(c)));
}

bool VirtualKeyboard::Tap(int evdev) {
    Connection& c = *connection_;
    for (const std::uint32_t state :
         {WL_KEYBOARD_KEY_STATE_PRESSED, WL_KEYBOARD_KEY_STATE_RELEASED}) {
        wl_proxy_marshal(c.keyboard, kKey, c.time += 10, static_cast<std::uint32_t>(evdev), state);
    }
    return wl_display_roundtrip(c.display) >= 0;
}

}  // namespace quillpad::testing
