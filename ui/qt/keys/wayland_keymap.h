// The keymap a Wayland compositor gives its clients (wl_keyboard.keymap), for naming keys as
// the user's layout types them when Qt runs on Wayland.
#pragma once

#include <string>

namespace quillpad {

// The text (XKB format) of the compositor's current keymap; false when Qt does not run on
// Wayland, the compositor has sent no keymap (no keyboard yet) or it could not be read. Every
// call first takes in what the compositor sent since the last one, so a changed layout is
// followed. Its own connection to the compositor is opened on first use, from WAYLAND_DISPLAY
// as Qt's.
bool WaylandKeymapText(std::string& text);

// True when Qt runs on Wayland.
bool QtRunsOnWayland();

}  // namespace quillpad
