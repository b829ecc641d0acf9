// The configuration window on Qt Widgets: shows template 102 and hands the window's events to
// CKeypadDlg, which decides everything.
#pragma once

#include <QCursor>
#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "help_dlg.h"
#include "keypad_dlg.h"
#include "keypad_view.h"

class QKeyEvent;
class QTimer;

namespace quillpad {

class KeypadWindow : public QDialog, public KeypadView {
  public:
    // Replaces the modal message box (for tests): gets text, caption and kMb... type and
    // answers a kAnswer... value.
    using MessageBoxHook =
        std::function<int(const std::string& text, const std::string& caption, unsigned type)>;
    // Replaces starting the on-screen keyboard program (for tests).
    using OnScreenKeyboardHook = std::function<void()>;

    KeypadWindow();
    ~KeypadWindow() override;

    // Runs the dialog's initialisation (reads the keypad); call once before exec() or show().
    void Initialise();
    CKeypadDlg& Dialog() { return dlg_; }
    QWidget* Control(int id) const;
    CHelpDlg& HelpDialog() { return help_; }
    void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }
    void SetOnScreenKeyboardHook(OnScreenKeyboardHook hook) { oskHook_ = std::move(hook); }

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
    void* DeviceNotificationWindow() override { return this; }
    void SetAccessibleName(int id, const std::string& name) override;
    void SetAccessibleDescription(int id, const std::string& text) override;
    void SetAccessibleSelected(int id, bool selected) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool CaptureKey(QWidget* target, QEvent* event);
    // Hands a key-down to the dialog; true when it took it.
    bool KeyDown(const QKeyEvent& event);
    bool HandleMouse(QWidget* target, QEvent* event);
    void ApplyColour(int id);

    CHelpDlg help_;
    CKeypadDlg dlg_;
    QCursor openKeyboardCursor_;
    std::map<int, QWidget*> controls_;
    std::map<int, QTimer*> timers_;
    MessageBoxHook messageBoxHook_;
    OnScreenKeyboardHook oskHook_;
    // What the dialog decided for the key-down whose shortcut check came first; the key press
    // that follows it gets the same answer.
    bool keyDecided_ = false;
    bool keyTaken_ = false;
};

}  // namespace quillpad
