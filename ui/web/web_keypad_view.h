// The configuration window in a web page: builds the page's controls from the same templates
// as the Qt and Win32 views (keypad_template.h) and hands the page's events to CKeypadDlg,
// which decides everything. The page's script (page/page.js) only creates and changes the
// elements it is told to and carries events back; waits and modal boxes suspend the
// WebAssembly code (Asyncify) until the browser has them done.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "keypad_dlg.h"
#include "keypad_template.h"
#include "keypad_view.h"

namespace quillpad {

// Dialog units to pixels. A web page has no dialog font to measure: the base units are those
// of the template's 9-point face at 96 dots per inch (6 x 12), which make the keypad picture
// its own 545 x 454 pixels.
struct WebDialogUnits {
    static constexpr int kBaseX = 6;
    static constexpr int kBaseY = 12;
    static constexpr int X(int dlu) { return (dlu * kBaseX + 2) / 4; }
    static constexpr int Y(int dlu) { return (dlu * kBaseY + 4) / 8; }
    static ControlRect Rect(const ControlTemplate& c) {
        return ControlRect{X(c.x), Y(c.y), X(c.width), Y(c.height)};
    }
};

class WebKeypadView : public KeypadView {
  public:
    // Creates the window's and the help window's elements in the page.
    WebKeypadView();

    // The window's initialisation: reads the keypad, gives the focus to OK, paints the
    // colours CKeypadDlg asks for.
    void Initialise();
    CKeypadDlg& Dialog() { return dlg_; }

    // A key-down in the window, by the browser's name of the physical key
    // (KeyboardEvent.code), what the key gave (KeyboardEvent.key: a character, or a name
    // such as "Home" for a keypad key with Num Lock off) and whether Alt is held. Returns
    // true when the window took the key; false leaves it to the page's dialog handling (Tab
    // to the next control, Space or Enter on a button). A key no PC keyboard has is taken in
    // the key function field and left to the page elsewhere.
    bool KeyDown(std::string_view domCode, std::string_view domKey, bool altDown);
    // What the user's layout types at a key (navigator.keyboard.getLayoutMap()); without any,
    // keys are named as on a US keyboard.
    void SetLayoutKey(std::string_view domCode, std::string_view text);
    bool HasLayoutMap() const { return !layout_.empty(); }

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
    // Screen readers: ARIA names, descriptions and the checked key picture; a key picture
    // that becomes the selected one is also said through the page's live region.
    void SetAccessibleName(int id, const std::string& name) override;
    void SetAccessibleDescription(int id, const std::string& text) override;
    void SetAccessibleSelected(int id, bool selected) override;
    void* DeviceNotificationWindow() override { return nullptr; }

    // The name of the key a US keyboard has at the position of virtual key vk.
    static std::string PositionName(std::uint8_t vk);

  private:
    const ControlTemplate* Find(int id) const;
    void ApplyColour(int id);
    void ShowCombo(int id);

    CKeypadDlg dlg_;
    std::map<std::string, std::string, std::less<>> layout_;
    std::map<int, std::vector<std::string>> comboEntries_;
    std::map<int, int> comboSelection_;
    std::map<int, bool> selected_;
    bool initialised_ = false;  // selection changes are said only after the start
    int busy_ = 0;
};

// What the page says when it cannot start an on-screen keyboard for the user.
inline constexpr const char* kWebOnScreenKeyboardText =
    "A web page cannot start an on-screen keyboard.\n"
    "Open the one your system offers (in its accessibility settings), then click in the "
    "key function field and use it there.";

}  // namespace quillpad
