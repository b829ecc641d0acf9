#include "keypad_dlg.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "config_block.h"
#include "control_ids.h"
#include "dev.h"
#include "key_naming.h"
#include "keypad_refresh.h"
#include "keypad_template.h"

namespace quillpad {
namespace {

// How long Refresh and OK wait for another program that holds the keypad.
constexpr int kOtherProgramWaitMs = 5000;

bool IsKeyNumber(int key) {
    return key >= 1 && key <= kKeyCount;
}

// Modifier and mouse check boxes and the bit each one stands for.
struct BitBox {
    int id;
    bool mouse;  // false: a modifier bit
    std::uint8_t bit;
};
constexpr BitBox kBitBoxes[] = {
    {kIdAlt, false, kModAlt},           {kIdCtrl, false, kModCtrl},
    {kIdWindows, false, kModWindows},   {kIdShift, false, kModShift},
    {kIdMouseLeft, true, kMouseLeft},   {kIdMouseMiddle, true, kMouseMiddle},
    {kIdMouseRight, true, kMouseRight},
};

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12;
constexpr std::uint8_t kVkLeftWindows = 0x5B;
constexpr std::uint8_t kVkRightWindows = 0x5C;
constexpr std::uint8_t kVkApplication = 0x5D;
constexpr std::uint8_t kVkTab = 0x09;
constexpr std::uint8_t kVkReturn = 0x0D;
constexpr std::uint8_t kVkEscape = 0x1B;
constexpr std::uint8_t kVkSpace = 0x20;
constexpr std::uint8_t kVkF1 = 0x70;

bool IsModifierVk(std::uint32_t vk) {
    return vk == kVkShift || vk == kVkControl || vk == kVkMenu || vk == kVkLeftWindows ||
           vk == kVkRightWindows;
}

// The letter after "&" in a caption, upper-cased as its virtual-key code; 0 for none.
std::uint32_t MnemonicOf(const char* text) {
    for (const char* p = text; *p != '\0' && p[1] != '\0'; ++p) {
        if (*p == '&') {
            const char c = p[1];
            return c >= 'a' && c <= 'z' ? static_cast<std::uint32_t>(c - 'a' + 'A')
                                        : static_cast<std::uint32_t>(static_cast<unsigned char>(c));
        }
    }
    return 0;
}

// The shown buttons whose caption underlines the letter vk, in tab order.
std::vector<int> MnemonicButtons(std::uint32_t vk) {
    std::vector<int> buttons;
    for (const ControlTemplate& c : KeypadTemplate().controls) {
        if ((c.kind == ControlKind::kButton || c.kind == ControlKind::kDefaultButton) &&
            c.visible && MnemonicOf(c.text) == vk) {
            buttons.push_back(c.id);
        }
    }
    return buttons;
}

std::string KeyWord(int key) {
    return "Key " + std::to_string(key);
}

// Static controls whose background is always the normal colour.
constexpr int kPlainStatics[] = {
    kIdDeviceCaption, kIdKeySettingGroup, kIdFunctionCaption, kIdAlt,
    kIdCtrl,          kIdShift,           kIdWindows,         kIdApplication};

// Turns the busy pointer on for as long as it lives.
class BusyPointer {
  public:
    explicit BusyPointer(KeypadView& view) : view_(view) { view_.SetBusy(true); }
    ~BusyPointer() { view_.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    KeypadView& view_;
};

}  // namespace

CKeypadDlg::CKeypadDlg(KeypadView& view) : view_(view) {}

bool CKeypadDlg::OnInitDialog() {
    highlightColour_ = kHighlightColour;
    normalColour_ = kNormalColour;
    blinkTicks_ = 0;
    blinking_ = false;
    currentKey_ = 0;
    keyAssignments_ = {};

    // The start-up read stays silent when no keypad is attached. Whatever it finds, later
    // Refresh commands report a missing keypad.
    quietStart_ = true;
    OnRefresh();
    quietStart_ = false;

    currentKey_ = 1;
    SelectKey();
    return true;
}

bool CKeypadDlg::PointInControl(int x, int y, int controlId) const {
    const std::optional<ControlRect> r = view_.ControlRectangle(controlId);
    if (!r) {
        return false;
    }
    return r->left < x && x < r->left + r->width && r->top < y && y < r->top + r->height;
}

void CKeypadDlg::OnLButtonUp(int x, int y) {
    if (PointInControl(x, y, kIdHelpPicture)) {
        view_.RunHelpDialog();
    }
    if (PointInControl(x, y, kIdOpenKeyboardPicture)) {
        view_.StartOnScreenKeyboard();
    }
    // Hidden pictures count: their rectangles are tested all the same.
    for (const int* ids : {kKeyPictureIds, kKeyLabelIds}) {
        for (int k = 1; k <= kKeyCount; ++k) {
            if (PointInControl(x, y, ids[k - 1])) {
                currentKey_ = static_cast<std::uint8_t>(k);
                SelectKey();
                // As with a click on the field, the next combination is the key's.
                SetRecording(view_.FocusedControl() == kIdKeyEdit);
                return;
            }
        }
    }
}

void CKeypadDlg::OnPointerDown(int controlId) {
    keyboardInput_ = false;
    SetRecording(controlId == kIdKeyEdit && IsKeyNumber(currentKey_));
}

void CKeypadDlg::OnMouseMove(int x, int y) {
    PointerShape shape = PointerShape::kDefault;
    if (PointInControl(x, y, kIdOpenKeyboardPicture)) {
        shape = PointerShape::kOpenKeyboard;
    }
    if (PointInControl(x, y, kIdHelpPicture)) {
        shape = PointerShape::kHelp;
    }
    view_.SetPointer(shape);
}

void CKeypadDlg::StartBlink() {
    if (!blinking_) {
        blinking_ = true;
        view_.StartTimer(kBlinkTimerId, kBlinkPeriodMs);
    } else {
        blinkTicks_ = 0;
    }
}

void CKeypadDlg::OnTimer(int timerId) {
    if (timerId != kBlinkTimerId) {
        return;
    }
    ++blinkTicks_;
    view_.ShowControl(kIdIndicator, blinkTicks_ % 2 == 1);
    if (blinkTicks_ >= 6) {
        blinkTicks_ = 0;
        view_.ShowControl(kIdIndicator, false);
        view_.StopTimer(kBlinkTimerId);
        blinking_ = false;
    }
}

CtlColorResult CKeypadDlg::OnCtlColor(int controlId, CtlColorClass colorClass) {
    bool plain = colorClass != CtlColorClass::kStatic;
    for (int id : kPlainStatics) {
        plain = plain || id == controlId;
    }
    CtlColorResult result;
    if (!plain && !IsKeyNumber(currentKey_)) {
        // Only during the start-up read: hand out the last brush, set no colour.
        result.brush = backgroundBrush_;
        return result;
    }
    Colour colour = normalColour_;
    if (!plain && controlId == kKeyLabelIds[currentKey_ - 1]) {
        colour = highlightColour_;
    }
    if (controlId == kIdKeyEdit && recording_) {
        colour = kRecordingColour;
    }
    result.background = colour;
    result.brush = colour;
    backgroundBrush_ = colour;
    return result;
}

void CKeypadDlg::ShowKeyPicture(int key) {
    for (int id : kKeyPictureIds) {
        view_.ShowControl(id, false);
    }
    if (IsKeyNumber(key)) {
        view_.ShowControl(kKeyPictureIds[key - 1], true);
    }
    for (int k = 1; k <= kKeyCount; ++k) {
        view_.SetAccessibleSelected(kKeyPictureIds[k - 1], k == key);
    }
}

void CKeypadDlg::ShowAssignment(int key, bool useKeyNames) {
    if (!IsKeyNumber(key)) {
        return;
    }
    const KeyAssignment& a = KeyByNumber(keyAssignments_, key);
    const KeyNameLookup lookup = [this](std::uint32_t lParam) { return view_.KeyName(lParam); };
    const KeyNameLookup shifted = [this](std::uint32_t lParam) {
        return view_.ShiftedKeyName(lParam);
    };
    view_.SetControlText(kIdKeyEdit, DisplayAssignmentText(a, useKeyNames, lookup, shifted));
    view_.FocusControl(kIdKeyEdit);
    const std::string shown = view_.ControlText(kIdKeyEdit);

    view_.SetCheck(kIdWindows, (a.modifiers & kModWindows) != 0);
    view_.SetCheck(kIdShift, (a.modifiers & kModShift) != 0);
    view_.SetCheck(kIdAlt, (a.modifiers & kModAlt) != 0);
    view_.SetCheck(kIdCtrl, (a.modifiers & kModCtrl) != 0);
    view_.SetCheck(kIdApplication, a.vk == kVkApplication);
    view_.SetCheck(kIdMouseLeft, (a.mouse & kMouseLeft) != 0);
    view_.SetCheck(kIdMouseMiddle, (a.mouse & kMouseMiddle) != 0);
    view_.SetCheck(kIdMouseRight, (a.mouse & kMouseRight) != 0);

    view_.SetControlText(kKeyLabelIds[key - 1], shown);
    view_.SetAccessibleName(kKeyLabelIds[key - 1], KeyWord(key) + ": " + shown);
}

void CKeypadDlg::SelectKey() {
    StartBlink();
    char caption[32];
    std::snprintf(caption, sizeof caption, "The Key%d Setting", currentKey_);
    view_.SetControlText(kIdKeySettingGroup, caption);
    ShowKeyPicture(currentKey_);
    ShowAssignment(currentKey_, true);
    view_.RedrawControls(kKeyLabelIds);
    // Said when Back or Next keeps the focus, and with the field's description.
    const std::string selected = KeyWord(currentKey_) + " is selected.";
    view_.SetAccessibleDescription(kIdBack, selected);
    view_.SetAccessibleDescription(kIdNext, selected);
    DescribeField();
}

void CKeypadDlg::DescribeField() {
    if (IsKeyNumber(currentKey_)) {
        view_.SetAccessibleDescription(
            kIdKeyEdit, KeyWord(currentKey_) + ". " + (recording_ ? kRecordingHint : kFieldHint));
    }
}

void CKeypadDlg::SetRecording(bool recording) {
    beforeModifiers_.reset();
    if (recording_ == recording) {
        return;
    }
    recording_ = recording;
    DescribeField();
    const int field[] = {kIdKeyEdit};
    view_.RedrawControls(field);
}

void CKeypadDlg::OnCommand(int controlId) {
    const int focusBefore = view_.FocusedControl();
    const bool fromKeyboard = keyboardInput_;
    switch (controlId) {
        case kIdBack:
            OnBack();
            break;
        case kIdNext:
            OnNext();
            break;
        case kIdReset:
            OnReset();
            break;
        case kIdOk:
            OnWriteDevice();
            break;
        case kIdRefresh:
            OnRefresh();
            break;
        case kIdAlt:
        case kIdCtrl:
        case kIdShift:
        case kIdWindows:
        case kIdApplication:
        case kIdMouseLeft:
        case kIdMouseMiddle:
        case kIdMouseRight:
            OnCheckBox(controlId);
            break;
        default:
            break;
    }
    if (fromKeyboard) {
        // A command given with the keyboard leaves the focus where it was, so Space or a
        // button's letter can be pressed again; it never starts a recording.
        if (focusBefore > 0 && view_.FocusedControl() != focusBefore) {
            view_.FocusControl(focusBefore);
        }
    } else {
        SetRecording(view_.FocusedControl() == kIdKeyEdit && IsKeyNumber(currentKey_));
    }
}

void CKeypadDlg::OnNext() {
    currentKey_ = currentKey_ >= kKeyCount ? 1 : static_cast<std::uint8_t>(currentKey_ + 1);
    SelectKey();
    view_.FocusControl(kIdKeyEdit);
}

void CKeypadDlg::OnBack() {
    currentKey_ = currentKey_ <= 1 ? kKeyCount : static_cast<std::uint8_t>(currentKey_ - 1);
    SelectKey();
    view_.FocusControl(kIdKeyEdit);
}

void CKeypadDlg::OnCheckBox(int controlId) {
    if (!IsKeyNumber(currentKey_)) {
        return;
    }
    KeyAssignment& a = Current();
    const bool checked = view_.CheckState(controlId) == 1;
    if (controlId == kIdApplication) {
        a.vk = checked ? kVkApplication : 0;
        a.lParam = checked ? kApplicationKeyLParam : 0;
    } else {
        bool known = false;
        for (const BitBox& box : kBitBoxes) {
            if (box.id != controlId) {
                continue;
            }
            known = true;
            std::uint8_t& bits = box.mouse ? a.mouse : a.modifiers;
            bits = static_cast<std::uint8_t>(checked ? bits | box.bit : bits & ~box.bit);
        }
        if (!known) {
            return;
        }
    }
    ShowAssignment(currentKey_, true);
    view_.FocusControl(kIdKeyEdit);
}

void CKeypadDlg::OnReset() {
    if (!IsKeyNumber(currentKey_)) {
        return;
    }
    view_.SetControlText(kIdKeyEdit, "Null");
    for (int id : {kIdAlt, kIdCtrl, kIdWindows, kIdShift, kIdApplication, kIdMouseLeft,
                   kIdMouseMiddle, kIdMouseRight}) {
        view_.SetCheck(id, false);
    }
    view_.SetControlText(kKeyLabelIds[currentKey_ - 1], "Null");
    view_.SetAccessibleName(kKeyLabelIds[currentKey_ - 1], KeyWord(currentKey_) + ": Null");
    Current() = KeyAssignment{};
}

bool CKeypadDlg::PreTranslateKeyDown(std::uint32_t vk, std::uint32_t lParam, bool altDown) {
    keyboardInput_ = true;
    const int focus = view_.FocusedControl();
    if (focus == kNoFocus) {
        return true;
    }
    if (focus != kIdKeyEdit) {
        SetRecording(false);
        return KeyOutsideField(vk, focus, altDown);
    }
    if (!IsKeyNumber(currentKey_)) {
        return true;
    }
    return KeyInField(vk, lParam, altDown);
}

bool CKeypadDlg::KeyInField(std::uint32_t vk, std::uint32_t lParam, bool altDown) {
    if (recording_) {
        ApplyKey(vk, lParam);
        if (!IsModifierVk(vk)) {
            SetRecording(false);
        }
        return true;
    }
    if (IsModifierVk(vk)) {
        if (!beforeModifiers_) {
            beforeModifiers_ = Current();
        }
        ApplyKey(vk, lParam);
        return true;
    }
    const bool mnemonic = altDown && !MnemonicButtons(vk).empty();
    if (vk == kVkTab || mnemonic) {
        // Not a combination for the key: the modifiers pressed on the way are taken back.
        if (beforeModifiers_) {
            Current() = *beforeModifiers_;
            beforeModifiers_.reset();
            ShowAssignment(currentKey_, true);
        }
        return mnemonic ? PressMnemonic(vk, kIdKeyEdit) : false;
    }
    if (vk == kVkReturn && !beforeModifiers_) {
        SetRecording(true);
        return true;
    }
    beforeModifiers_.reset();
    ApplyKey(vk, lParam);
    return true;
}

bool CKeypadDlg::KeyOutsideField(std::uint32_t vk, int focus, bool altDown) {
    if (altDown && PressMnemonic(vk, focus)) {
        return true;
    }
    switch (vk) {
        case kVkEscape:
            // The window stays: closing it would drop the changes not yet written.
            return true;
        case kVkMenu:
            // Alt alone opens no menu: the window has none, and its letters are the buttons'.
            return true;
        case kVkF1:
            if (!altDown) {
                view_.RunHelpDialog();
                return true;
            }
            break;
        case kVkReturn:
        case kVkSpace:
            if (focus == kIdHelpPicture) {
                view_.RunHelpDialog();
                return true;
            }
            if (focus == kIdOpenKeyboardPicture) {
                view_.StartOnScreenKeyboard();
                return true;
            }
            break;
        default:
            break;
    }
    return false;
}

bool CKeypadDlg::PressMnemonic(std::uint32_t vk, int focus) {
    const std::vector<int> buttons = MnemonicButtons(vk);
    if (buttons.empty()) {
        return false;
    }
    if (buttons.size() == 1) {
        OnCommand(buttons.front());
        return true;
    }
    // Several buttons share the letter ("&Reset", "&Refresh"): each press moves the focus to
    // the next of them, and Space or Enter presses it, as dialogs do with shared letters.
    std::size_t next = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == focus) {
            next = (i + 1) % buttons.size();
        }
    }
    view_.FocusControl(buttons[next]);
    return true;
}

void CKeypadDlg::ApplyKey(std::uint32_t vk, std::uint32_t lParam) {
    KeyAssignment& a = Current();
    switch (vk) {
        case kVkShift:
            a.modifiers |= kModShift;
            break;
        case kVkControl:
            a.modifiers |= kModCtrl;
            break;
        case kVkMenu:
            a.modifiers |= kModAlt;
            break;
        case kVkLeftWindows:
        case kVkRightWindows:
            a.modifiers |= kModWindows;
            break;
        default:
            a.vk = static_cast<std::uint8_t>(vk & 0xFF);
            a.lParam = lParam;
            break;
    }
    ShowAssignment(currentKey_, true);
}

int CKeypadDlg::AppMessageBox(const std::string& text, unsigned type) {
    const unsigned buttons = type & kMbButtonsMask;
    if ((type & kMbIconMask) == 0 && (buttons == kMbOk || buttons == kMbOkCancel ||
                                      buttons == kMbYesNo || buttons == kMbYesNoCancel)) {
        type |= kMbIconExclamation;
    }
    return view_.ShowMessageBox(text, view_.ApplicationName(), type);
}

void CKeypadDlg::FillDeviceList(int count) {
    for (int i = 1; i <= count; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "USB Quillpad %02d", i);
        view_.AddComboEntry(kIdDeviceList, entry);
    }
    view_.SelectComboEntry(kIdDeviceList, 0);
}

std::function<bool()> CKeypadDlg::WaitForOtherProgram() const {
    // The window cannot be used while it waits, so it waits a few seconds at most; the
    // command then fails as any transfer does, with the cause on standard error.
    return [this, calls = 0]() mutable {
        if (calls == 0) {
            std::fprintf(stderr, "%s: waiting for another program to finish with the keypad...\n",
                         view_.ApplicationName().c_str());
        }
        return ++calls <= kOtherProgramWaitMs / kLockRetryMs;
    };
}

void CKeypadDlg::ReportFailure(const std::string& lockReason) const {
    // The message box keeps its fixed text; the cause goes to standard error when known.
    std::string reason = lockReason.empty() ? DevLastTransferError() : lockReason;
    if (!reason.empty()) {
        std::fprintf(stderr, "%s: %s\n", view_.ApplicationName().c_str(), reason.c_str());
    }
}

void CKeypadDlg::OnRefresh() {
    const KeypadRefresh refresh([this](int ms) { view_.Wait(ms); });
    // A Yes to the retry question starts over from the top.
    for (;;) {
        ConfigBlock block{};
        view_.ClearComboEntries(kIdDeviceList);
        int count = 0;
        {
            BusyPointer busy(view_);
            count = refresh.Find(view_.DeviceNotificationWindow());
        }
        if (count <= 0) {
            if (quietStart_) {
                quietStart_ = false;
                return;
            }
            if (AppMessageBox(kNoKeypadText, kMbYesNo | kMbIconStop) == kAnswerYes) {
                continue;
            }
            return;
        }
        FillDeviceList(count);
        bool read = false;
        std::string reason;
        {
            BusyPointer busy(view_);
            // Other programs leave the keypad alone during the transfer.
            const std::unique_ptr<KeypadLock> lock =
                DevLockKeypad(0, reason, WaitForOtherProgram());
            read = lock && refresh.Read(0, block.data(), static_cast<int>(block.size()));
        }
        if (!read) {
            ReportFailure(reason);
            AppMessageBox(kReadFailedText, kMbOk | kMbIconStop);
            return;
        }
        DecodeConfigBlock(block, keyAssignments_);
        for (int k = 1; k <= kKeyCount; ++k) {
            ShowAssignment(k, false);
        }
        return;
    }
}

void CKeypadDlg::OnWriteDevice() {
    view_.ClearComboEntries(kIdDeviceList);
    int count = 0;
    {
        BusyPointer busy(view_);
        count = DevEnumerate(view_.DeviceNotificationWindow());
    }
    if (count > 0) {
        FillDeviceList(count);
    }
    if (view_.ComboEntryCount(kIdDeviceList) == 0) {
        view_.ShowMessageBox("Please plug device first!", "Information",
                             kMbOk | kMbIconInformation);
        return;
    }
    const ConfigBlock block = EncodeConfigBlock(keyAssignments_);
    bool ok = false;
    std::string reason;
    {
        BusyPointer busy(view_);
        DevSelect(0);
        const std::unique_ptr<KeypadLock> lock = DevLockKeypad(0, reason, WaitForOtherProgram());
        ok = lock && DevWriteBlock(block.data(), 0, static_cast<int>(block.size())) != 0;
    }
    if (ok) {
        AppMessageBox("Setting successfully !", kMbOk);
    } else {
        ReportFailure(reason);
        AppMessageBox(kWriteFailedText, kMbOk | kMbIconStop);
    }
}

}  // namespace quillpad
