// CKeypadDlg: the configuration window's behaviour, independent of any toolkit. A view
// (keypad_view.h) shows the controls and forwards the window's events to the On... handlers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "key_assignment.h"
#include "keypad_view.h"

namespace quillpad {

// Colours are 0x00BBGGRR.
using Colour = std::uint32_t;
inline constexpr Colour kHighlightColour = 0x00BF6D26;  // red 38, green 109, blue 191
inline constexpr Colour kNormalColour = 0x00FFFFFF;
inline constexpr Colour kRecordingColour = 0x00C0FFFF;  // pale yellow: the field records

// The window's messages when the keypad is not found, cannot be read, or the write fails.
inline constexpr const char* kNoKeypadText = "Couldn't find device!\nPlease try again!";
inline constexpr const char* kReadFailedText = "Read Failed !";
inline constexpr const char* kWriteFailedText = "Setting Failed !";

// Which kind of control a colour request is for.
enum class CtlColorClass {
    kStatic,  // static texts, pictures, group box, check boxes
    kOther,   // the window itself, buttons, edit field, list
};

// The answer to a colour request.
struct CtlColorResult {
    std::optional<Colour> background;  // text background to set; none = leave it
    std::optional<Colour> brush;       // brush to paint with; none = no brush handed out yet
};

class CKeypadDlg {
  public:
    explicit CKeypadDlg(KeypadView& view);
    CKeypadDlg(const CKeypadDlg&) = delete;
    CKeypadDlg& operator=(const CKeypadDlg&) = delete;

    // The window's initialisation: clears the keys, reads the keypad (silently when there is
    // none), selects key 1. Returns true: the view then gives the focus to the OK button.
    bool OnInitDialog();

    // Mouse events at a point in client coordinates, for clicks that reach the window
    // itself (its background, pictures and static texts).
    void OnLButtonUp(int x, int y);
    // A pointer button went down on control controlId (kIdStatic for the window or a control
    // without id), before the control sees it. A press on the key function field starts a
    // recording; a command that follows counts as one given with the pointer.
    void OnPointerDown(int controlId);
    void OnMouseMove(int x, int y);
    void OnTimer(int timerId);
    CtlColorResult OnCtlColor(int controlId, CtlColorClass colorClass);

    // A button or check box was clicked (ids of control_ids.h). Unknown ids are ignored.
    void OnCommand(int controlId);
    void OnBack();
    void OnNext();
    void OnCheckBox(int controlId);
    void OnReset();
    void OnRefresh();
    void OnWriteDevice();

    // Every key-down and system-key-down of the window comes here before any control or
    // the dialog manager sees it. vk: virtual-key code; lParam: the key message's lParam;
    // altDown: Alt is held. Returns true when the message is consumed; false hands it to the
    // dialog manager (Tab, Space on a button, Enter for the default button, ...).
    //
    // The key function field takes keys in two ways. While it records (after a click on it,
    // on a key or on a control that puts the focus there, or Enter in the field) every key
    // is the key's, Tab, Escape, Enter and Alt+F4 included, until one key other than a
    // modifier completes the combination. Otherwise, with the focus in the field, Tab and
    // Shift+Tab leave it, Alt with a button's underlined letter presses that button, Enter
    // starts a recording, and every other combination is the key's at once. Elsewhere keys
    // work as in any dialog, except that Escape does not close the window (the changes
    // would be lost), F1 opens the help, and Space or Enter opens the help or on-screen
    // keyboard when its picture has the focus.
    bool PreTranslateKeyDown(std::uint32_t vk, std::uint32_t lParam, bool altDown = false);

    void ShowAssignment(int key, bool useKeyNames);
    void SelectKey();
    void StartBlink();
    void ShowKeyPicture(int key);
    // Strictly inside the control's rectangle (client coordinates) on every side.
    bool PointInControl(int x, int y, int controlId) const;

    // State, for views and tests.
    const KeyAssignments& Assignments() const { return keyAssignments_; }
    int CurrentKey() const { return currentKey_; }
    bool QuietStart() const { return quietStart_; }
    bool Blinking() const { return blinking_; }
    bool Recording() const { return recording_; }
    int BlinkTicks() const { return blinkTicks_; }

  private:
    // Shows a message through the application message box: the application's name as the
    // caption, and the exclamation icon when no icon is given for OK/OK-Cancel/Yes-No(-Cancel).
    int AppMessageBox(const std::string& text, unsigned type);
    void FillDeviceList(int count);
    // Puts why a transfer failed on standard error: the claim's reason, else the device's.
    // What a transfer does while another program holds the keypad: waits a few seconds.
    std::function<bool()> WaitForOtherProgram() const;
    void ReportFailure(const std::string& lockReason) const;
    KeyAssignment& Current() { return KeyByNumber(keyAssignments_, currentKey_); }
    bool KeyInField(std::uint32_t vk, std::uint32_t lParam, bool altDown);
    bool KeyOutsideField(std::uint32_t vk, int focus, bool altDown);
    void ApplyKey(std::uint32_t vk, std::uint32_t lParam);
    // Presses the button whose underlined letter is vk, or moves the focus to the next of
    // several; false when no shown button has that letter.
    bool PressMnemonic(std::uint32_t vk, int focus);
    void SetRecording(bool recording);
    void DescribeField();

    KeypadView& view_;
    bool quietStart_ = false;
    KeyAssignments keyAssignments_{};
    std::uint8_t currentKey_ = 0;
    std::int32_t blinkTicks_ = 0;
    bool blinking_ = false;
    Colour highlightColour_ = kHighlightColour;
    Colour normalColour_ = kNormalColour;
    std::optional<Colour> backgroundBrush_;  // the brush last handed out
    bool recording_ = false;
    bool keyboardInput_ = false;  // the last input came from the keyboard, not the pointer
    // The assignment before the modifiers pressed since the last other key, while the field
    // waits: Tab or a button's letter after them takes them back.
    std::optional<KeyAssignment> beforeModifiers_;
};

}  // namespace quillpad
