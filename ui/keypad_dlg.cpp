#include "keypad_dlg.h"

#include <cstdio>
#include <memory>
#include <string>

#include "config_block.h"
#include "control_ids.h"
#include "dev.h"
#include "key_naming.h"
#include "keypad_refresh.h"

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
                return;
            }
        }
    }
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
    view_.SetControlText(kIdKeyEdit,
                         NormalizeKeyText(FormatAssignment(a, useKeyNames, lookup, shifted)));
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
}

void CKeypadDlg::SelectKey() {
    StartBlink();
    char caption[32];
    std::snprintf(caption, sizeof caption, "The Key%d Setting", currentKey_);
    view_.SetControlText(kIdKeySettingGroup, caption);
    ShowKeyPicture(currentKey_);
    ShowAssignment(currentKey_, true);
    view_.RedrawControls(kKeyLabelIds);
}

void CKeypadDlg::OnCommand(int controlId) {
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
    view_.SetControlText(kIdKeyEdit, NormalizeKeyText(view_.ControlText(kIdKeyEdit)));
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
    Current() = KeyAssignment{};
}

bool CKeypadDlg::PreTranslateKeyDown(std::uint32_t vk, std::uint32_t lParam) {
    const int focus = view_.FocusedControl();
    const bool captures = focus == kIdKeyEdit || focus == kIdAlt || focus == kIdWindows ||
                          focus == kIdShift || focus == kIdCtrl;
    if (!captures || !IsKeyNumber(currentKey_)) {
        return true;
    }
    if (focus != kIdKeyEdit) {
        view_.FocusControl(kIdKeyEdit);
    }
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
    return true;
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
            if (AppMessageBox("Couldn't find device!\nPlease try again!", kMbYesNo | kMbIconStop) ==
                kAnswerYes) {
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
            AppMessageBox("Read Failed !", kMbOk | kMbIconStop);
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
        AppMessageBox("Setting Failed !", kMbOk | kMbIconStop);
    }
}

}  // namespace quillpad
