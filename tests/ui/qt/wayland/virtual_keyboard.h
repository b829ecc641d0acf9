// A keyboard of the virtual-keyboard protocol (zwp_virtual_keyboard_v1), for tests under a
// Wayland compositor: it uploads a keymap and sends physical keys (evdev codes), as a keyboard
// with that layout does.
#pragma once

#include <memory>
#include <string>

namespace quillpad::testing {

class VirtualKeyboard {
  public:
    // Connects to WAYLAND_DISPLAY and makes a keyboard with the keymap XKB compiles for layout
    // ("de"); nothing, with error set, when any step fails.
    static std::unique_ptr<VirtualKeyboard> Create(const std::string& layout, std::string& error);
    ~VirtualKeyboard();
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    // Presses and releases the key with this evdev code; false when the connection failed.
    bool Tap(int evdev);

  private:
    struct Connection;
    explicit VirtualKeyboard(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> connection_;
};

}  // namespace quillpad::testing
