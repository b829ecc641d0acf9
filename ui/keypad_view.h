// What the configuration window's logic (CKeypadDlg) needs from a window toolkit. A view
// addresses controls by the ids of control_ids.h; coordinates are in the window's client
// area, in pixels. Texts are UTF-8. Every call comes from the user-interface thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillpad {

// A control's rectangle in client coordinates: left, top, width, height.
struct ControlRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Message box types, as Windows' MB_ bits: buttons in the low nibble, icon in the next.
inline constexpr unsigned kMbOk = 0x00;
inline constexpr unsigned kMbOkCancel = 0x01;
inline constexpr unsigned kMbYesNoCancel = 0x03;
inline constexpr unsigned kMbYesNo = 0x04;
inline constexpr unsigned kMbButtonsMask = 0x0F;
inline constexpr unsigned kMbIconStop = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbIconMask = 0xF0;

// Message box answers, as Windows' ID... values.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// FocusedControl() when no window of the program has the keyboard focus.
inline constexpr int kNoFocus = 0;
// FocusedControl() when the focus is on a window that is none of the window's controls.
inline constexpr int kFocusElsewhere = -2;

enum class PointerShape {
    kDefault,       // whatever the control under the pointer normally shows
    kOpenKeyboard,  // cursor resource 149
    kHelp,          // the system's arrow with question mark
};

class KeypadView {
  public:
    virtual ~KeypadView() = default;

    virtual void SetControlText(int id, const std::string& text) = 0;
    virtual std::string ControlText(int id) const = 0;
    virtual void SetCheck(int id, bool checked) = 0;
    // 1 when checked, 0 when not (or no such check box).
    virtual int CheckState(int id) const = 0;
    virtual void ShowControl(int id, bool visible) = 0;
    virtual void FocusControl(int id) = 0;
    // Id of the control with the keyboard focus, kNoFocus or kFocusElsewhere.
    virtual int FocusedControl() const = 0;
    // The control's rectangle in client coordinates, hidden controls included;
    // nullopt for an unknown id.
    virtual std::optional<ControlRect> ControlRectangle(int id) const = 0;

    virtual void ClearComboEntries(int id) = 0;
    virtual void AddComboEntry(int id, const std::string& text) = 0;
    virtual void SelectComboEntry(int id, int index) = 0;
    virtual int ComboEntryCount(int id) const = 0;

    // Shows a modal message box; type holds kMb... bits. Returns a kAnswer... value.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               unsigned type) = 0;
    // The caption of the application's own message boxes: the program file's name without
    // folder and extension.
    virtual std::string ApplicationName() const = 0;

    // A repeating timer: the view calls CKeypadDlg::OnTimer(timerId) every periodMs.
    virtual void StartTimer(int timerId, int periodMs) = 0;
    virtual void StopTimer(int timerId) = 0;
    // Blocks the user-interface thread for ms milliseconds (the window need not repaint).
    virtual void Wait(int ms) = 0;
    // Repaints the given controls at once, asking CKeypadDlg::OnCtlColor for their colours.
    virtual void RedrawControls(std::span<const int> ids) = 0;
    virtual void SetPointer(PointerShape shape) = 0;
    // Busy pointer on or off, around the waits and device transfers.
    virtual void SetBusy(bool busy) = 0;

    // Starts the system's on-screen keyboard. Windows always has one and ignores a failure;
    // where none may be installed the view says which to install.
    virtual void StartOnScreenKeyboard() = 0;
    // Runs the help window (template 146) modally.
    virtual void RunHelpDialog() = 0;

    // The keyboard layout's name of the key a key-down lParam identifies (scan code in
    // bits 16-23, extended flag in bit 24); empty when the key has no name.
    virtual std::string KeyName(std::uint32_t lParam) const = 0;
    // What the same key types with Shift in the keyboard layout; empty when the view cannot
    // tell (the window then shifts the name itself).
    virtual std::string ShiftedKeyName(std::uint32_t /*lParam*/) const { return {}; }

    // What a screen reader hears of a control: its name, its description, and whether it is
    // the selected one of its kind (the current key's picture). A view without a way to say
    // these leaves them alone.
    virtual void SetAccessibleName(int /*id*/, const std::string& /*name*/) {}
    virtual void SetAccessibleDescription(int /*id*/, const std::string& /*text*/) {}
    virtual void SetAccessibleSelected(int /*id*/, bool /*selected*/) {}

    // Opaque handle the device layer registers its notifications with (may be null).
    virtual void* DeviceNotificationWindow() = 0;
};

}  // namespace quillpad
