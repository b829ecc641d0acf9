#include "win32_keypad_window.h"

#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "control_ids.h"
#include "keypad_template.h"
#include "resource_ids.h"
#include "us_key_positions.h"
#include "wide_text.h"

namespace quillpad {
namespace {

// The window whose WM_INITDIALOG is being handled: CreateDialogParamW passes it as lParam.
Win32KeypadWindow* FromInitParam(LPARAM lParam) {
    return reinterpret_cast<Win32KeypadWindow*>(lParam);
}

INT_PTR CALLBACK HelpProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(hwnd, LOWORD(wParam));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

Win32KeypadWindow::Win32KeypadWindow(HINSTANCE instance) : instance_(instance), dialog_(*this) {
    // Screen readers get the controls' accessible objects through COM.
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    icon_ = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
}

Win32KeypadWindow::~Win32KeypadWindow() {
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
    for (auto& [colour, brush] : brushes_)
        DeleteObject(brush);
    if (smallIcon_ != nullptr)
        DestroyIcon(smallIcon_);
    if (comStarted_)
        CoUninitialize();
}

bool Win32KeypadWindow::Create() {
    if (hwnd_ != nullptr)
        return true;
    ended_ = false;
    HWND created = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_KEYPAD), nullptr, &DialogProc,
                                      reinterpret_cast<LPARAM>(this));
    if (created == nullptr)
        return false;
    ShowWindow(hwnd_, SW_SHOW);
    return true;
}

int Win32KeypadWindow::RunModal() {
    if (!Create())
        return -1;
    MSG msg;
    while (!ended_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslateMessage(msg))
            continue;
        if (IsDialogMessageW(hwnd_, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return IDCANCEL;
}

bool Win32KeypadWindow::PreTranslateMessage(MSG& msg) {
    if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
        return false;
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            // The control pressed on (a combo box's own child stands for the combo box).
            HWND control = msg.hwnd;
            while (control != hwnd_ && GetParent(control) != hwnd_)
                control = GetParent(control);
            dialog_.OnPointerDown(control == hwnd_ ? kIdStatic : GetDlgCtrlID(control));
            return false;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            break;
        default:
            return false;
    }
    // Escape closes an open device list, as the list expects.
    HWND list = Item(kIdDeviceList);
    if (msg.wParam == VK_ESCAPE && list != nullptr &&
        SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0)
        return false;
    // The keypad stores key positions: record the US layout's key at the position pressed,
    // not the key the active layout makes of it. Bit 29 of a key message says Alt is held.
    const auto lParam = static_cast<std::uint32_t>(msg.lParam);
    return dialog_.PreTranslateKeyDown(
        UsVkOfKeyDown(static_cast<std::uint32_t>(msg.wParam), lParam), lParam,
        (lParam & (1u << 29)) != 0);
}

INT_PTR CALLBACK Win32KeypadWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self = reinterpret_cast<Win32KeypadWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = FromInitParam(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32KeypadWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
            SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(smallIcon_ != nullptr ? smallIcon_ : icon_));
            MakeControlsAccessible();
            const bool defaultFocus = dialog_.OnInitDialog();
            openKeyboardPointer_ =
                LoadCursorW(instance_, MAKEINTRESOURCEW(IDR_OPEN_KEYBOARD_CURSOR));
            // The window opens with the focus on OK, although Tab reaches the device list first.
            if (defaultFocus)
                FocusControl(kIdOk);
            return FALSE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) {
                // The close box and the system menu's Close end the window; nothing is saved.
                ended_ = true;
                return TRUE;
            }
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                dialog_.OnCommand(id);
                return TRUE;
            }
            return FALSE;
        }
        case WM_TIMER:
            dialog_.OnTimer(static_cast<int>(wParam));
            return FALSE;
        case WM_LBUTTONUP:
            dialog_.OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return TRUE;
        case WM_MOUSEMOVE:
            dialog_.OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return FALSE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORMSGBOX:
            return OnCtlColor(message, reinterpret_cast<HDC>(wParam),
                              reinterpret_cast<HWND>(lParam));
        case WM_PAINT:
            if (IsIconic(hwnd_)) {
                PaintIcon();
                return TRUE;
            }
            return FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        default:
            return FALSE;
    }
}

INT_PTR Win32KeypadWindow::OnCtlColor(UINT message, HDC dc, HWND control) {
    const int id = control != nullptr && control != hwnd_ ? GetDlgCtrlID(control) : 0;
    const CtlColorClass kind =
        message == WM_CTLCOLORSTATIC ? CtlColorClass::kStatic : CtlColorClass::kOther;
    const CtlColorResult result = dialog_.OnCtlColor(id, kind);
    if (result.background)
        SetBkColor(dc, *result.background);
    if (!result.brush)
        return FALSE;  // no brush handed out yet: default colours
    return reinterpret_cast<INT_PTR>(BrushFor(*result.brush));
}

HBRUSH Win32KeypadWindow::BrushFor(Colour colour) {
    auto found = brushes_.find(colour);
    if (found != brushes_.end())
        return found->second;
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush != nullptr)
        brushes_.emplace(colour, brush);
    return brush;
}

void Win32KeypadWindow::PaintIcon() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &paint);
}

void Win32KeypadWindow::SetControlText(int id, const std::string& text) {
    if (HWND item = Item(id))
        SetWindowTextW(item, Utf8ToWide(text).c_str());
}

std::string Win32KeypadWindow::ControlText(int id) const {
    HWND item = Item(id);
    if (item == nullptr)
        return {};
    const int length = GetWindowTextLengthW(item);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return WideToUtf8(text);
}

void Win32KeypadWindow::SetCheck(int id, bool checked) {
    if (hwnd_ != nullptr)
        CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int Win32KeypadWindow::CheckState(int id) const {
    return hwnd_ != nullptr && IsDlgButtonChecked(hwnd_, id) == BST_CHECKED ? 1 : 0;
}

void Win32KeypadWindow::ShowControl(int id, bool visible) {
    if (HWND item = Item(id))
        ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
}

void Win32KeypadWindow::FocusControl(int id) {
    if (HWND item = Item(id))
        SetFocus(item);
}

int Win32KeypadWindow::FocusedControl() const {
    HWND focus = GetFocus();
    if (focus == nullptr)
        return kNoFocus;
    if (hwnd_ == nullptr || !IsChild(hwnd_, focus))
        return kFocusElsewhere;
    // A control's own child (the edit box of a combo box) stands for the control.
    while (GetParent(focus) != hwnd_)
        focus = GetParent(focus);
    return GetDlgCtrlID(focus);
}

std::optional<ControlRect> Win32KeypadWindow::ControlRectangle(int id) const {
    HWND item = Item(id);
    RECT rect;
    if (item == nullptr || !GetWindowRect(item, &rect))
        return std::nullopt;
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return ControlRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32KeypadWindow::ClearComboEntries(int id) {
    if (HWND item = Item(id))
        SendMessageW(item, CB_RESETCONTENT, 0, 0);
}

void Win32KeypadWindow::AddComboEntry(int id, const std::string& text) {
    if (HWND item = Item(id)) {
        const std::wstring wide = Utf8ToWide(text);
        SendMessageW(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

void Win32KeypadWindow::SelectComboEntry(int id, int index) {
    if (HWND item = Item(id))
        SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32KeypadWindow::ComboEntryCount(int id) const {
    HWND item = Item(id);
    if (item == nullptr)
        return 0;
    const LRESULT count = SendMessageW(item, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

int Win32KeypadWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                      unsigned type) {
    return MessageBoxW(hwnd_, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), type);
}

std::string Win32KeypadWindow::ApplicationName() const {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            return ProgramName(std::wstring_view(path.data(), length));
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

void Win32KeypadWindow::StartTimer(int timerId, int periodMs) {
    if (hwnd_ != nullptr) {
        SetTimer(hwnd_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs), nullptr);
    }
}

void Win32KeypadWindow::StopTimer(int timerId) {
    if (hwnd_ != nullptr)
        KillTimer(hwnd_, static_cast<UINT_PTR>(timerId));
}

void Win32KeypadWindow::Wait(int ms) {
    if (ms > 0)
        Sleep(static_cast<DWORD>(ms));
}

void Win32KeypadWindow::RedrawControls(std::span<const int> ids) {
    for (int id : ids) {
        if (HWND item = Item(id)) {
            RedrawWindow(item, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
    }
}

void Win32KeypadWindow::SetPointer(PointerShape shape) {
    switch (shape) {
        case PointerShape::kOpenKeyboard:
            if (openKeyboardPointer_ != nullptr)
                SetCursor(openKeyboardPointer_);
            break;
        case PointerShape::kHelp:
            SetCursor(LoadCursorA(nullptr, IDC_HELP));
            break;
        case PointerShape::kDefault:
            break;
    }
}

void Win32KeypadWindow::SetBusy(bool busy) {
    if (busy) {
        pointerBeforeBusy_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    } else {
        SetCursor(pointerBeforeBusy_ != nullptr ? pointerBeforeBusy_
                                                : LoadCursorA(nullptr, IDC_ARROW));
        pointerBeforeBusy_ = nullptr;
    }
}

void Win32KeypadWindow::StartOnScreenKeyboard() {
    ShellExecuteA(hwnd_, "open", "osk.exe", nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32KeypadWindow::RunHelpDialog() {
    DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_HELP), hwnd_, &HelpProc, 0);
}

std::string Win32KeypadWindow::KeyName(std::uint32_t lParam) const {
    char name[64] = {};
    const int length = GetKeyNameTextA(static_cast<LONG>(lParam), name, sizeof(name));
    if (length <= 0)
        return {};
    return AnsiToUtf8(std::string_view(name, static_cast<std::size_t>(length)));
}

std::string Win32KeypadWindow::ShiftedKeyName(std::uint32_t lParam) const {
    // Keys with the extended flag type no characters.
    if ((lParam & (1u << 24)) != 0)
        return {};
    const UINT scan = (lParam >> 16) & 0xFF;
    HKL layout = GetKeyboardLayout(0);
    const UINT vk = MapVirtualKeyExW(scan, MAPVK_VSC_TO_VK, layout);
    if (vk == 0)
        return {};
    BYTE state[256] = {};
    state[VK_SHIFT] = 0x80;
    wchar_t text[8] = {};
    // Flag 4: leave the keyboard state alone, so that a dead key does not wait for a letter.
    const int length = ToUnicodeEx(vk, scan, state, text, 8, 4, layout);
    // A dead key (-1) gives its spacing accent; a key giving several characters is no name.
    if (length == 0 || length > 1 || text[0] < 0x20 || (text[0] >= 0x7F && text[0] < 0xA0))
        return {};
    return WideToUtf8(std::wstring_view(text, 1));
}

void Win32KeypadWindow::MakeControlsAccessible() {
    accessible_.clear();
    for (const ControlTemplate& c : KeypadTemplate().controls) {
        if (c.id == kIdStatic)
            continue;
        AccessibleFacts& facts = accessible_[c.id];
        facts.name = Utf8ToWide(c.name);
        const bool key = std::find(std::begin(kKeyPictureIds), std::end(kKeyPictureIds), c.id) !=
                         std::end(kKeyPictureIds);
        // The role of each kind, as Windows gives it to standard controls.
        switch (c.kind) {
            case ControlKind::kButton:
            case ControlKind::kDefaultButton:
                facts.role = ROLE_SYSTEM_PUSHBUTTON;
                break;
            case ControlKind::kCheckBox:
                facts.role = ROLE_SYSTEM_CHECKBUTTON;
                break;
            case ControlKind::kEdit:
                facts.role = ROLE_SYSTEM_TEXT;
                break;
            case ControlKind::kComboList:
                facts.role = ROLE_SYSTEM_COMBOBOX;
                break;
            case ControlKind::kGroupBox:
                facts.role = ROLE_SYSTEM_GROUPING;
                break;
            case ControlKind::kText:
            case ControlKind::kWrappedText:
                facts.role = ROLE_SYSTEM_STATICTEXT;
                break;
            case ControlKind::kPicture:
                // A key is one of six to choose from; a picture Tab reaches opens something
                // with Space or Enter, as with a click.
                facts.role = key         ? ROLE_SYSTEM_RADIOBUTTON
                             : c.tabStop ? ROLE_SYSTEM_PUSHBUTTON
                                         : ROLE_SYSTEM_GRAPHIC;
                facts.selectable = key;
                break;
        }
        MakeAccessible(Item(c.id), &facts);
    }
}

void Win32KeypadWindow::SetAccessibleName(int id, const std::string& name) {
    const auto it = accessible_.find(id);
    if (it == accessible_.end())
        return;
    it->second.name = Utf8ToWide(name);
    AnnounceNameChange(Item(id));
}

void Win32KeypadWindow::SetAccessibleDescription(int id, const std::string& text) {
    const auto it = accessible_.find(id);
    if (it == accessible_.end())
        return;
    it->second.description = Utf8ToWide(text);
    AnnounceDescriptionChange(Item(id));
}

void Win32KeypadWindow::SetAccessibleSelected(int id, bool selected) {
    const auto it = accessible_.find(id);
    if (it == accessible_.end() || it->second.selected == selected)
        return;
    it->second.selected = selected;
    AnnounceStateChange(Item(id));
}

void* Win32KeypadWindow::DeviceNotificationWindow() {
    return hwnd_;
}

}  // namespace quillpad
