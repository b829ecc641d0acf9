// The configuration window on the Win32 API: dialog template 102 from the program's
// resources, run in a modal loop of its own so that every key-down reaches CKeypadDlg before
// the dialog manager or a control sees it.
#pragma once

#include <windows.h>

#include <map>

#include "accessible_control.h"
#include "keypad_dlg.h"
#include "keypad_view.h"

namespace quillpad {

class Win32KeypadWindow final : public KeypadView {
  public:
    // instance: the module holding templates 102 and 146 and the pictures.
    explicit Win32KeypadWindow(HINSTANCE instance);
    ~Win32KeypadWindow() override;
    Win32KeypadWindow(const Win32KeypadWindow&) = delete;
    Win32KeypadWindow& operator=(const Win32KeypadWindow&) = delete;

    // Creates the window (its initialisation reads the keypad) and shows it; false when the
    // window could not be created. RunModal calls it when the window does not exist yet.
    bool Create();
    // Creates the window if needed and runs it until it is closed through its close box or system
    // menu. Returns IDCANCEL, or -1 when the window could not be created.
    int RunModal();

    // Hands one message of the modal loop to the window; true when it was consumed. The loop
    // calls it for every message before dispatching.
    bool PreTranslateMessage(MSG& msg);

    HWND Handle() const { return hwnd_; }
    CKeypadDlg& Dialog() { return dialog_; }

    // KeypadView
    void SetControlText(int id, const std::string& text) override;
    std::string ControlText(int id) const override;
    void SetCheck(int id, bool checked) override;
    int CheckState(int id) const override;
    void ShowControl(int id, bool visible) override;
    void FocusControl(int id) override;
    int FocusedControl() const override;
    std::optional<ControlRect> ControlRectangle(int id) const override;
    void ClearComboEntries(int id) override;
    void AddComboEntry(int id, const std::string& text) override;
    void SelectComboEntry(int id, int index) override;
    int ComboEntryCount(int id) const override;
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    std::string ApplicationName() const override;
    void StartTimer(int timerId, int periodMs) override;
    void StopTimer(int timerId) override;
    void Wait(int ms) override;
    void RedrawControls(std::span<const int> ids) override;
    void SetPointer(PointerShape shape) override;
    void SetBusy(bool busy) override;
    void StartOnScreenKeyboard() override;
    void RunHelpDialog() override;
    std::string KeyName(std::uint32_t lParam) const override;
    std::string ShiftedKeyName(std::uint32_t lParam) const override;
    void* DeviceNotificationWindow() override;
    void SetAccessibleName(int id, const std::string& name) override;
    void SetAccessibleDescription(int id, const std::string& text) override;
    void SetAccessibleSelected(int id, bool selected) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnCtlColor(UINT message, HDC dc, HWND control);
    HBRUSH BrushFor(Colour colour);
    void PaintIcon();
    HWND Item(int id) const { return hwnd_ != nullptr ? GetDlgItem(hwnd_, id) : nullptr; }
    // Gives every control of the template what screen readers are to hear of it.
    void MakeControlsAccessible();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    bool ended_ = false;
    bool comStarted_ = false;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HCURSOR openKeyboardPointer_ = nullptr;
    HCURSOR pointerBeforeBusy_ = nullptr;
    std::map<Colour, HBRUSH> brushes_;           // one per colour for the window's lifetime
    std::map<int, AccessibleFacts> accessible_;  // by control id, for the window's lifetime
    CKeypadDlg dialog_;
};

}  // namespace quillpad
