#include "web_keypad_view.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>

#include "control_ids.h"
#include "dom_key_codes.h"
#include "key_naming.h"
#include "us_key_positions.h"

// The page's half (page/page.js, the object QuillpadPage): element changes and the browser's
// waits. Texts travel as UTF-8.
// clang-format off
EM_JS(void, qp_page_window, (const char* part, const char* title, int width, int height), {
    QuillpadPage.setWindow(UTF8ToString(part), UTF8ToString(title), width, height);
});
EM_JS(void, qp_page_add_control, (const char* part, int id, const char* kind, const char* text,
                                  const char* picture, int x, int y, int w, int h, int visible,
                                  int tabStop, const char* role, const char* name), {
    QuillpadPage.addControl(UTF8ToString(part), id, UTF8ToString(kind), UTF8ToString(text),
                            UTF8ToString(picture), x, y, w, h, visible != 0, tabStop != 0,
                            UTF8ToString(role), UTF8ToString(name));
});
EM_JS(void, qp_page_set_name, (int id, const char* name), {
    QuillpadPage.setName(id, UTF8ToString(name));
});
EM_JS(void, qp_page_set_description, (int id, const char* text), {
    QuillpadPage.setDescription(id, UTF8ToString(text));
});
EM_JS(void, qp_page_set_selected, (int id, int selected), {
    QuillpadPage.setSelected(id, selected != 0);
});
EM_JS(void, qp_page_announce, (const char* text), {
    QuillpadPage.announce(UTF8ToString(text));
});
EM_JS(void, qp_page_set_text, (int id, const char* text), {
    QuillpadPage.setText(id, UTF8ToString(text));
});
EM_JS(char*, qp_page_text, (int id), {
    return allocateUTF8(QuillpadPage.text(id));
});
EM_JS(void, qp_page_set_check, (int id, int checked), {
    QuillpadPage.setCheck(id, checked != 0);
});
EM_JS(int, qp_page_check, (int id), {
    return QuillpadPage.check(id) ? 1 : 0;
});
EM_JS(void, qp_page_show, (int id, int visible), {
    QuillpadPage.show(id, visible != 0);
});
EM_JS(void, qp_page_focus, (int id), {
    QuillpadPage.focus(id);
});
EM_JS(int, qp_page_focused, (int noFocus, int elsewhere), {
    return QuillpadPage.focused(noFocus, elsewhere);
});
EM_JS(void, qp_page_set_list, (int id, const char* entries, int selected), {
    QuillpadPage.setList(id, UTF8ToString(entries), selected);
});
EM_JS(void, qp_page_set_background, (int id, const char* colour), {
    QuillpadPage.setBackground(id, UTF8ToString(colour));
});
EM_JS(void, qp_page_pointer, (const char* shape, const char* picture), {
    QuillpadPage.setPointer(UTF8ToString(shape), UTF8ToString(picture));
});
EM_JS(void, qp_page_busy, (int busy), {
    QuillpadPage.setBusy(busy != 0);
});
EM_JS(void, qp_page_start_timer, (int id, int ms), {
    QuillpadPage.startTimer(id, ms);
});
EM_JS(void, qp_page_stop_timer, (int id), {
    QuillpadPage.stopTimer(id);
});
EM_ASYNC_JS(int, qp_page_message_box, (const char* text, const char* caption, const char* icon,
                                       const char* buttons), {
    return await QuillpadPage.messageBox(UTF8ToString(text), UTF8ToString(caption),
                                         UTF8ToString(icon), UTF8ToString(buttons));
});
EM_ASYNC_JS(void, qp_page_run_help, (), {
    await QuillpadPage.runHelp();
});
// clang-format on

namespace quillpad {
namespace {

constexpr const char* kWindowPart = "window";
constexpr const char* kHelpPart = "help";

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::kPicture:
            return "picture";
        case ControlKind::kText:
            return "text";
        case ControlKind::kWrappedText:
            return "wrapped-text";
        case ControlKind::kComboList:
            return "list";
        case ControlKind::kGroupBox:
            return "group";
        case ControlKind::kEdit:
            return "edit";
        case ControlKind::kCheckBox:
            return "check";
        case ControlKind::kButton:
            return "button";
        case ControlKind::kDefaultButton:
            return "default-button";
    }
    return "text";
}

// Controls that ask for their colours as static controls do.
bool IsStaticClass(const ControlTemplate& c) {
    return c.kind == ControlKind::kPicture || c.kind == ControlKind::kText ||
           c.kind == ControlKind::kWrappedText || c.kind == ControlKind::kGroupBox ||
           c.kind == ControlKind::kCheckBox;
}

bool IsKeyPicture(int id) {
    return std::find(std::begin(kKeyPictureIds), std::end(kKeyPictureIds), id) !=
           std::end(kKeyPictureIds);
}

// The ARIA role of a control the page's element does not give by itself: a key's picture is
// one of six keys to choose from, a picture Tab reaches opens something as a button does.
const char* RoleOf(const ControlTemplate& c) {
    if (c.kind != ControlKind::kPicture) {
        return "";
    }
    if (IsKeyPicture(c.id)) {
        return "radio";
    }
    return c.tabStop ? "button" : "";
}

void Build(const char* part, const DialogTemplate& t) {
    qp_page_window(part, t.title, WebDialogUnits::X(t.width), WebDialogUnits::Y(t.height));
    for (const ControlTemplate& c : t.controls) {
        const ControlRect r = WebDialogUnits::Rect(c);
        const char* picture = PictureName(c.resource);
        qp_page_add_control(part, c.id, KindName(c.kind), c.text, picture ? picture : "", r.left,
                            r.top, r.width, r.height, c.visible ? 1 : 0, c.tabStop ? 1 : 0,
                            RoleOf(c), c.name);
    }
}

std::string CssColour(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return text;
}

// The buttons of a message box type, as "label:answer" separated by "|".
const char* ButtonsOf(unsigned type) {
    switch (type & kMbButtonsMask) {
        case kMbOkCancel:
            return "OK:1|Cancel:2";
        case kMbYesNoCancel:
            return "Yes:6|No:7|Cancel:2";
        case kMbYesNo:
            return "Yes:6|No:7";
        default:
            return "OK:1";
    }
}

const char* IconOf(unsigned type) {
    switch (type & kMbIconMask) {
        case kMbIconStop:
            return "stop";
        case kMbIconQuestion:
            return "question";
        case kMbIconExclamation:
            return "exclamation";
        case kMbIconInformation:
            return "information";
        default:
            return "";
    }
}

}  // namespace

WebKeypadView::WebKeypadView() : dlg_(*this) {
    Build(kWindowPart, KeypadTemplate());
    Build(kHelpPart, HelpTemplate());
}

void WebKeypadView::Initialise() {
    dlg_.OnInitDialog();
    // The default focus: the first tab stop of the window, the OK button.
    FocusControl(kIdOk);
    const CtlColorResult own = dlg_.OnCtlColor(kIdStatic, CtlColorClass::kOther);
    if (own.brush) {
        qp_page_set_background(0, CssColour(*own.brush).c_str());
    }
    for (const ControlTemplate& c : KeypadTemplate().controls) {
        if (c.id != kIdStatic && IsStaticClass(c)) {
            ApplyColour(c.id);
        }
    }
    initialised_ = true;
}

const ControlTemplate* WebKeypadView::Find(int id) const {
    if (id == kIdStatic) {
        return nullptr;
    }
    for (const ControlTemplate& c : KeypadTemplate().controls) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

void WebKeypadView::ApplyColour(int id) {
    const ControlTemplate* c = Find(id);
    if (c == nullptr) {
        return;
    }
    const CtlColorResult r = dlg_.OnCtlColor(id, CtlColorClass::kStatic);
    // Pictures cover their background; the group box paints none inside its frame.
    if (!r.brush || c->kind == ControlKind::kPicture || c->kind == ControlKind::kGroupBox) {
        return;
    }
    qp_page_set_background(id, CssColour(*r.brush).c_str());
}

bool WebKeypadView::KeyDown(std::string_view domCode, std::string_view domKey, bool altDown) {
    const std::optional<ScanCode> scan = ScanCodeOfDomCode(domCode);
    const std::optional<std::uint8_t> vk = scan ? UsVkAtScanCode(*scan) : std::nullopt;
    if (!vk) {
        return FocusedControl() == kIdKeyEdit;
    }
    const std::uint32_t lParam = MakeKeyLParam(*scan);
    // What the system's layout made of the key, as Windows' virtual key: a keypad digit key
    // with Num Lock off gives no character but the key of the navigation block at the same
    // scan code (Home for 7), which UsVkOfKeyDown keeps as the desktop windows do.
    std::uint8_t platformVk = *vk;
    if (!scan->extended && domKey.size() > 1 && domCode.starts_with("Numpad")) {
        platformVk = UsVkAtScanCode(ScanCode{scan->code, true}).value_or(*vk);
    }
    return dlg_.PreTranslateKeyDown(UsVkOfKeyDown(platformVk, lParam), lParam, altDown);
}

void WebKeypadView::SetLayoutKey(std::string_view domCode, std::string_view text) {
    layout_.insert_or_assign(std::string(domCode), std::string(text));
}

void WebKeypadView::SetControlText(int id, const std::string& text) {
    qp_page_set_text(id, text.c_str());
}

std::string WebKeypadView::ControlText(int id) const {
    const std::unique_ptr<char, decltype(&std::free)> text(qp_page_text(id), &std::free);
    return text ? std::string(text.get()) : std::string();
}

void WebKeypadView::SetCheck(int id, bool checked) {
    qp_page_set_check(id, checked ? 1 : 0);
}

int WebKeypadView::CheckState(int id) const {
    return qp_page_check(id);
}

void WebKeypadView::ShowControl(int id, bool visible) {
    qp_page_show(id, visible ? 1 : 0);
}

void WebKeypadView::FocusControl(int id) {
    qp_page_focus(id);
}

int WebKeypadView::FocusedControl() const {
    return qp_page_focused(kNoFocus, kFocusElsewhere);
}

std::optional<ControlRect> WebKeypadView::ControlRectangle(int id) const {
    const ControlTemplate* c = Find(id);
    if (c == nullptr) {
        return std::nullopt;
    }
    return WebDialogUnits::Rect(*c);
}

void WebKeypadView::ShowCombo(int id) {
    std::string joined;
    for (const std::string& entry : comboEntries_[id]) {
        joined += entry;
        joined += '\n';
    }
    qp_page_set_list(id, joined.c_str(), comboSelection_[id]);
}

void WebKeypadView::ClearComboEntries(int id) {
    comboEntries_[id].clear();
    comboSelection_[id] = -1;
    ShowCombo(id);
}

void WebKeypadView::AddComboEntry(int id, const std::string& text) {
    // A sorted list: the entry goes before the first one that sorts after it.
    std::vector<std::string>& entries = comboEntries_[id];
    const auto lower = [](const std::string& s) {
        std::string l = s;
        std::transform(l.begin(), l.end(), l.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        return l;
    };
    auto at = entries.begin();
    while (at != entries.end() && lower(*at) <= lower(text)) {
        ++at;
    }
    entries.insert(at, text);
    ShowCombo(id);
}

void WebKeypadView::SelectComboEntry(int id, int index) {
    const int count = ComboEntryCount(id);
    comboSelection_[id] = index >= 0 && index < count ? index : -1;
    ShowCombo(id);
}

int WebKeypadView::ComboEntryCount(int id) const {
    const auto it = comboEntries_.find(id);
    return it == comboEntries_.end() ? 0 : static_cast<int>(it->second.size());
}

int WebKeypadView::ShowMessageBox(const std::string& text, const std::string& caption,
                                  unsigned type) {
    return qp_page_message_box(text.c_str(), caption.c_str(), IconOf(type), ButtonsOf(type));
}

std::string WebKeypadView::ApplicationName() const {
    return "quillpad-config";
}

void WebKeypadView::StartTimer(int timerId, int periodMs) {
    qp_page_start_timer(timerId, periodMs);
}

void WebKeypadView::StopTimer(int timerId) {
    qp_page_stop_timer(timerId);
}

void WebKeypadView::Wait(int ms) {
    emscripten_sleep(static_cast<unsigned>(ms));
}

void WebKeypadView::RedrawControls(std::span<const int> ids) {
    for (int id : ids) {
        ApplyColour(id);
    }
}

void WebKeypadView::SetPointer(PointerShape shape) {
    switch (shape) {
        case PointerShape::kOpenKeyboard:
            qp_page_pointer("picture", PictureName(kOpenKeyboardCursorResource));
            break;
        case PointerShape::kHelp:
            qp_page_pointer("help", "");
            break;
        case PointerShape::kDefault:
            qp_page_pointer("", "");
            break;
    }
}

void WebKeypadView::SetBusy(bool busy) {
    busy_ += busy ? 1 : -1;
    qp_page_busy(busy_ > 0 ? 1 : 0);
}

void WebKeypadView::StartOnScreenKeyboard() {
    ShowMessageBox(kWebOnScreenKeyboardText, ApplicationName(), kMbOk | kMbIconInformation);
}

void WebKeypadView::RunHelpDialog() {
    qp_page_run_help();
}

std::string WebKeypadView::KeyName(std::uint32_t lParam) const {
    const ScanCode scan = ScanCodeFromLParam(lParam);
    const std::optional<std::uint8_t> vk = UsVkAtScanCode(scan);
    if (!vk) {
        return {};
    }
    // A key that types something is named after what the user's layout types there, where
    // the browser tells (its layout map holds the keys of the writing block); every other
    // key, and any key without a layout map, by its name on a US keyboard.
    const auto it = layout_.find(DomCodeOfScanCode(scan));
    if (it != layout_.end() && !it->second.empty()) {
        return it->second;
    }
    return PositionName(*vk);
}

void WebKeypadView::SetAccessibleName(int id, const std::string& name) {
    qp_page_set_name(id, name.c_str());
}

void WebKeypadView::SetAccessibleDescription(int id, const std::string& text) {
    qp_page_set_description(id, text.c_str());
}

void WebKeypadView::SetAccessibleSelected(int id, bool selected) {
    bool& was = selected_[id];
    const bool changed = was != selected;
    was = selected;
    qp_page_set_selected(id, selected ? 1 : 0);
    // A screen reader says nothing when a control that does not have the focus changes its
    // state: the page says which key is selected now, as the desktop's state change does.
    if (changed && selected && initialised_) {
        qp_page_announce((std::string(AccessibleName(id)) + " selected").c_str());
    }
}

std::string WebKeypadView::PositionName(std::uint8_t vk) {
    // The keys VkToKeyName knows by no name (it shows their code as a character), named as
    // the desktop windows name them.
    if (vk >= 0x60 && vk <= 0x69) {
        return "Num " + std::to_string(vk - 0x60);
    }
    if (vk == 0x6E) {
        return "Num Del";
    }
    if (vk >= 0x7C && vk <= 0x87) {
        return "F" + std::to_string(vk - 0x6F);
    }
    if (vk == 0x2C) {
        return "Prnt Scrn";
    }
    return VkToKeyName(vk);
}

}  // namespace quillpad
