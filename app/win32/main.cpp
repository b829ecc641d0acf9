// Start-up on Windows: one modal configuration window; the process ends when it closes.
#include <windows.h>

#include "win32_keypad_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Standard controls already have their three-dimensional look: nothing to switch on.
    quillpad::Win32KeypadWindow window(instance);
    window.RunModal();
    return 0;
}
