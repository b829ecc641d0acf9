// Turns a Qt key event into the Windows virtual-key code and key-down lParam that the
// assignment editor stores (scan code set 1 in bits 16-23, extended flag in bit 24,
// repeat count 1 in bits 0-15).
#pragma once

#include <Qt>
#include <QtGlobal>
#include <cstdint>
#include <optional>

class QKeyEvent;

namespace quillpad {

struct WinKeyStroke {
    std::uint8_t vk;
    std::uint32_t lParam;

    friend bool operator==(const WinKeyStroke&, const WinKeyStroke&) = default;
};

// The key the user pressed, as the virtual key the US layout gives that physical key, whatever
// the active layout types on it. The position comes from the event's native scan code on X11
// and Wayland (there it is the XKB keycode); elsewhere (the offscreen platform, QTest) from
// key() and Qt::KeypadModifier, taken as a key of the US layout. Nothing for keys a Windows
// keyboard does not have.
std::optional<WinKeyStroke> TranslateKeyEvent(const QKeyEvent& e);

// The same from the event's parts. nativeScanCode counts only when scanIsXKeycode is true
// and it is not 0.
std::optional<WinKeyStroke> TranslateKeyEvent(int qtKey, Qt::KeyboardModifiers modifiers,
                                              quint32 nativeScanCode, bool scanIsXKeycode);

}  // namespace quillpad
