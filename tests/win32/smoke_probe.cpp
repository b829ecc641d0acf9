// quillpad-probe: looks at a running configuration window from outside, for the smoke run
// under wine. The X tools move the pointer and type; this reads what the window shows.
//   quillpad-probe wait <title> <ms>        exit 0 once a top-level window has that title
//   quillpad-probe gone <title> <ms>        exit 0 once no window has that title
//   quillpad-probe centre <title> <id>      screen point at the middle of control id
//   quillpad-probe text <title> <id>        the control's text (UTF-8); id 0: the title
//   quillpad-probe closebox <title>         screen point on the close box
//   quillpad-probe count <title> <id>       entries of the combo box id
//   quillpad-probe accessible <title> <id>  what a screen reader reads of control id through
//                                           Windows' accessibility layer: name, role number,
//                                           "selected" when so, on one line, tab-separated
#include <windows.h>
// windows.h first
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "wide_text.h"

namespace {

using quillpad::Utf8ToWide;
using quillpad::WideToUtf8;

HWND FindTopLevel(const std::wstring& title) {
    return FindWindowW(nullptr, title.c_str());
}

bool WaitFor(const std::wstring& title, int ms, bool present) {
    for (int waited = 0;; waited += 100) {
        if ((FindTopLevel(title) != nullptr) == present)
            return true;
        if (waited >= ms)
            return false;
        Sleep(100);
    }
}

int Usage() {
    std::fputs(
        "usage: quillpad-probe wait|gone|centre|text|closebox|count|accessible <title> ...\n",
        stderr);
    return 2;
}

// The point of the close box: the first point of the caption, scanned from the right, that
// the window itself calls its close box.
bool CloseBoxPoint(HWND window, POINT& point) {
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    for (int y = rect.top + 2; y < rect.top + 40 && y < rect.bottom; y += 2) {
        for (int x = rect.right - 2; x > rect.right - 80 && x > rect.left; x -= 2) {
            const LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y));
            if (hit == HTCLOSE) {
                // Aim at the middle of the box's run along this row.
                int left = x;
                while (left > rect.left &&
                       SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(left - 1, y)) == HTCLOSE) {
                    --left;
                }
                point = {(left + x) / 2, y + 3};
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    const std::wstring title = Utf8ToWide(argv[2]);
    const int number = argc > 3 ? std::atoi(argv[3]) : 0;

    if (command == "wait")
        return WaitFor(title, number, true) ? 0 : 1;
    if (command == "gone")
        return WaitFor(title, number, false) ? 0 : 1;

    HWND window = FindTopLevel(title);
    if (window == nullptr) {
        std::fprintf(stderr, "quillpad-probe: no window \"%s\"\n", argv[2]);
        return 1;
    }
    if (command == "closebox") {
        POINT point;
        if (!CloseBoxPoint(window, point))
            return 1;
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    HWND control = number == 0 ? window : GetDlgItem(window, number);
    if (control == nullptr) {
        std::fprintf(stderr, "quillpad-probe: no control %d\n", number);
        return 1;
    }
    if (command == "centre") {
        RECT rect;
        if (!GetWindowRect(control, &rect))
            return 1;
        std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return 0;
    }
    if (command == "text") {
        wchar_t text[512] = {};
        SendMessageW(control, WM_GETTEXT, sizeof(text) / sizeof(text[0]),
                     reinterpret_cast<LPARAM>(text));
        std::printf("%s\n", WideToUtf8(text).c_str());
        return 0;
    }
    if (command == "accessible") {
        CoInitialize(nullptr);
        IAccessible* object = nullptr;
        const HRESULT hr = AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                      reinterpret_cast<void**>(&object));
        if (FAILED(hr)) {
            std::fprintf(stderr, "quillpad-probe: control %d has no accessible object (0x%08lx)\n",
                         number, static_cast<unsigned long>(hr));
            return 1;
        }
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        VARIANT role, state;
        VariantInit(&role);
        VariantInit(&state);
        object->get_accName(self, &name);
        object->get_accRole(self, &role);
        object->get_accState(self, &state);
        const bool selected = state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_SELECTED) != 0;
        std::printf("%s\t%ld\t%s\n", name != nullptr ? WideToUtf8(name).c_str() : "",
                    role.vt == VT_I4 ? static_cast<long>(role.lVal) : -1L,
                    selected ? "selected" : "");
        SysFreeString(name);
        object->Release();
        CoUninitialize();
        return 0;
    }
    if (command == "count") {
        std::printf("%ld\n", static_cast<long>(SendMessageW(control, CB_GETCOUNT, 0, 0)));
        return 0;
    }
    return Usage();
}
