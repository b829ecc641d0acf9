// The native configuration window under wine: the dialog templates against the layout every
// view shares, key capture through the window's own message loop, colours and closing.
#include "win32_keypad_window.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

#include "control_ids.h"
#include "dev.h"
#include "key_codes.h"
#include "keypad_template.h"
#include "layout_key_cases.h"
#include "platforms.h"
#include "temp_files.h"
#include "wide_text.h"

namespace quillpad {
namespace {

constexpr std::uint32_t KeyLParam(std::uint32_t scan, bool alt = false) {
    return 1u | (scan << 16) | (alt ? 1u << 29 : 0u);
}

// The dialog manager converts a control's position and its size each on their own.
RECT DialogRect(HWND dialog, const ControlTemplate& c) {
    RECT rect = {c.x, c.y, c.width, c.height};
    MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

RECT ClientRect(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Text(HWND control) {
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    return WideToUtf8(text);
}

// Every control of the template is in the dialog with its id, place, size, text and
// visibility. Texts the window's initialisation rewrites are skipped.
void ExpectLayout(HWND dialog, const DialogTemplate& layout, std::initializer_list<int> rewritten) {
    EXPECT_EQ(Text(dialog), layout.title);
    RECT client;
    GetClientRect(dialog, &client);
    RECT size = {0, 0, layout.width, layout.height};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    for (const ControlTemplate& c : layout.controls) {
        if (c.id == kIdStatic)
            continue;
        SCOPED_TRACE("control " + std::to_string(c.id));
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr);
        const RECT want = DialogRect(dialog, c);
        const RECT got = ClientRect(dialog, control);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right, want.right);
        if (c.kind != ControlKind::kComboList) {
            EXPECT_EQ(got.bottom, want.bottom);
        }
        if (c.kind != ControlKind::kPicture &&
            std::find(rewritten.begin(), rewritten.end(), c.id) == rewritten.end()) {
            EXPECT_EQ(Text(control), c.text);
        }
        if (!c.visible) {
            EXPECT_FALSE(IsWindowVisible(control));
        }
        // Pictures do not send click notifications: the window hit-tests them itself.
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        if (c.kind == ControlKind::kPicture) {
            EXPECT_EQ(style & SS_TYPEMASK, SS_BITMAP);
            EXPECT_EQ(style & SS_NOTIFY, 0);
        }
        if (c.kind == ControlKind::kCheckBox) {
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        }
        EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop);
        if (c.kind == ControlKind::kDefaultButton) {
            EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        }
    }
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    EXPECT_EQ(WideToUtf8(font.lfFaceName), layout.fontFace);
}

class Win32WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DevSetPlatform(nullptr);  // wine's HID stack: no keypad, a silent start
        ASSERT_TRUE(window.Create()) << "no window (is DISPLAY set?)";
        dialog = window.Handle();
    }

    bool KeyDown(UINT message, std::uint32_t vk, std::uint32_t lParam) {
        MSG msg = {};
        msg.hwnd = GetFocus() != nullptr ? GetFocus() : dialog;
        msg.message = message;
        msg.wParam = vk;
        msg.lParam = static_cast<LPARAM>(lParam);
        return window.PreTranslateMessage(msg);
    }

    Win32KeypadWindow window{GetModuleHandleW(nullptr)};
    HWND dialog = nullptr;
};

TEST_F(Win32WindowTest, MainTemplateMatchesTheSharedLayout) {
    ExpectLayout(dialog, KeypadTemplate(), {kIdKey1Label, kIdKeySettingGroup, kIdKeyEdit});
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(Win32WindowTest, HelpTemplateMatchesTheSharedLayout) {
    HWND help = CreateDialogParamW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HELP), dialog,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(help, nullptr);
    ExpectLayout(help, HelpTemplate(), {});
    DestroyWindow(help);
}

TEST_F(Win32WindowTest, StartsOnKeyOneWithTheFocusOnOk) {
    EXPECT_EQ(window.Dialog().CurrentKey(), 1);
    EXPECT_EQ(Text(GetDlgItem(dialog, kIdKeySettingGroup)), "The Key1 Setting");
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "Null");
    EXPECT_EQ(window.ControlText(kIdKey2Label), "key2");
    EXPECT_EQ(window.ComboEntryCount(kIdDeviceList), 0);
    EXPECT_EQ(window.FocusedControl(), kIdOk);
    // A key pressed now goes to the dialog manager and assigns nothing.
    EXPECT_FALSE(KeyDown(WM_KEYDOWN, VK_F5, KeyLParam(0x3F)));
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "Null");
    EXPECT_EQ(window.FocusedControl(), kIdOk);
}

TEST_F(Win32WindowTest, KeyDownsInTheFieldAreCapturedBeforeTheDialogManager) {
    window.FocusControl(kIdKeyEdit);
    EXPECT_TRUE(KeyDown(WM_KEYDOWN, VK_F5, KeyLParam(0x3F)));
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "F5");
    EXPECT_EQ(window.ControlText(kIdKey1Label), "F5");
    // After a click on the field, keys the dialog manager would act on are assignments like
    // any other.
    MSG click = {
        GetDlgItem(dialog, kIdKeyEdit), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
    for (UINT vk : {VK_ESCAPE, VK_RETURN, VK_TAB}) {
        EXPECT_FALSE(window.PreTranslateMessage(click));
        EXPECT_TRUE(window.Dialog().Recording());
        EXPECT_TRUE(KeyDown(WM_KEYDOWN, vk, KeyLParam(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC))));
        EXPECT_EQ(window.FocusedControl(), kIdKeyEdit);
        EXPECT_EQ(KeyByNumber(window.Dialog().Assignments(), 1).vk, vk);
    }
    EXPECT_TRUE(KeyDown(WM_SYSKEYDOWN, VK_MENU, KeyLParam(0x38, true)));
    EXPECT_TRUE(KeyDown(WM_SYSKEYDOWN, VK_F4, KeyLParam(0x3E, true)));
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "Alt+F4");
    EXPECT_TRUE(IsWindow(dialog));
    // Tab out of the field is the dialog manager's.
    EXPECT_FALSE(KeyDown(WM_KEYDOWN, VK_TAB, KeyLParam(0x0F)));
    // Other messages go their normal way.
    MSG msg = {dialog, WM_CHAR, 'a', 0, 0, {}};
    EXPECT_FALSE(window.PreTranslateMessage(msg));
    msg.message = WM_KEYUP;
    EXPECT_FALSE(window.PreTranslateMessage(msg));
}

// The key stored is the one at the position pressed, whatever virtual key the active layout
// made of it: the same table the Linux view is tested with.
TEST_F(Win32WindowTest, KeyDownsStoreThePositionPressedOnEveryLayout) {
    window.FocusControl(kIdKeyEdit);
    for (const auto& c : test::kLayoutKeyCases) {
        EXPECT_TRUE(KeyDown(WM_KEYDOWN, c.layoutVk, KeyLParam(c.scan)));
        const KeyAssignment& a = KeyByNumber(window.Dialog().Assignments(), 1);
        EXPECT_EQ(VkToUsage(a.vk), c.usage) << c.layout << " " << c.variant << ": " << c.what;
        EXPECT_EQ(a.lParam, KeyLParam(c.scan)) << c.what;
    }
}

TEST_F(Win32WindowTest, ClickOnAKeyPictureSelectsIt) {
    const RECT key3 = ClientRect(dialog, GetDlgItem(dialog, kIdKey3Picture));
    SendMessageW(dialog, WM_LBUTTONUP, 0,
                 MAKELPARAM((key3.left + key3.right) / 2, (key3.top + key3.bottom) / 2));
    EXPECT_EQ(window.Dialog().CurrentKey(), 3);
    EXPECT_EQ(Text(GetDlgItem(dialog, kIdKeySettingGroup)), "The Key3 Setting");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kIdKey3Picture)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kIdKey1Picture)));
    // On the edge is outside.
    SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(key3.left, (key3.top + key3.bottom) / 2));
    EXPECT_EQ(window.Dialog().CurrentKey(), 3);
}

TEST_F(Win32WindowTest, CurrentKeysLabelIsBlueAndEverythingElseWhite) {
    HDC dc = CreateCompatibleDC(nullptr);
    const auto colourOf = [&](UINT message, int id) {
        HWND control = id == 0 ? dialog : GetDlgItem(dialog, id);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
        LOGBRUSH logBrush = {};
        EXPECT_NE(brush, nullptr);
        GetObjectW(brush, sizeof(logBrush), &logBrush);
        EXPECT_EQ(GetBkColor(dc), logBrush.lbColor);
        return logBrush.lbColor;
    };
    EXPECT_EQ(colourOf(WM_CTLCOLORSTATIC, kIdKey1Label), 0x00BF6D26u);
    EXPECT_EQ(colourOf(WM_CTLCOLORSTATIC, kIdKey2Label), 0x00FFFFFFu);
    EXPECT_EQ(colourOf(WM_CTLCOLORSTATIC, kIdAlt), 0x00FFFFFFu);
    EXPECT_EQ(colourOf(WM_CTLCOLORDLG, 0), 0x00FFFFFFu);
    EXPECT_EQ(colourOf(WM_CTLCOLORBTN, kIdOk), 0x00FFFFFFu);
    window.Dialog().OnNext();
    EXPECT_EQ(colourOf(WM_CTLCOLORSTATIC, kIdKey1Label), 0x00FFFFFFu);
    EXPECT_EQ(colourOf(WM_CTLCOLORSTATIC, kIdKey2Label), 0x00BF6D26u);
    DeleteDC(dc);
}

TEST_F(Win32WindowTest, TextsCrossTheBoundaryAsUtf8) {
    const std::string text = "Alt+\xC3\x84+\xE2\x82\xAC+\xE5\xAE\x8B";
    window.SetControlText(kIdKey4Label, text);
    EXPECT_EQ(window.ControlText(kIdKey4Label), text);
    EXPECT_EQ(window.ControlText(9999), "");  // no such control
    EXPECT_EQ(window.ControlRectangle(9999), std::nullopt);
    EXPECT_EQ(window.ApplicationName(), "win32_tests");
    EXPECT_EQ(window.KeyName(KeyLParam(0x3F)), "F5");
    // Character keys with Shift, as the (US) layout types them; other keys have no such name.
    EXPECT_EQ(window.ShiftedKeyName(KeyLParam(0x02)), "!");
    EXPECT_EQ(window.ShiftedKeyName(KeyLParam(0x1E)), "A");
    EXPECT_EQ(window.ShiftedKeyName(KeyLParam(0x3F)), "");
    EXPECT_EQ(window.ShiftedKeyName(KeyLParam(0x47) | (1u << 24)), "");
    EXPECT_EQ(window.DeviceNotificationWindow(), dialog);
}

// The window runs until its close box (WM_CLOSE) ends it; Escape, and Alt+F4 in the key
// function field, do not.
TEST_F(Win32WindowTest, OnlyTheCloseBoxEndsTheModalRun) {
    static HWND target;
    static int ticks;
    static bool openAfterKeys;
    target = dialog;
    ticks = 0;
    openAfterKeys = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        switch (++ticks) {
            case 1:
                PostMessageW(GetDlgItem(target, kIdOk), WM_KEYDOWN, VK_ESCAPE, KeyLParam(0x01));
                SetFocus(GetDlgItem(target, kIdKeyEdit));
                PostMessageW(GetDlgItem(target, kIdKeyEdit), WM_KEYDOWN, VK_ESCAPE,
                             KeyLParam(0x01));
                PostMessageW(GetDlgItem(target, kIdKeyEdit), WM_SYSKEYDOWN, VK_F4,
                             KeyLParam(0x3E, true));
                break;
            case 3:
                openAfterKeys = IsWindow(target) && IsWindowVisible(target);
                PostMessageW(target, WM_CLOSE, 0, 0);
                break;
            default:
                break;
        }
    });
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(window.RunModal(), IDCANCEL);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(openAfterKeys);
    EXPECT_GE(ticks, 3);
    EXPECT_FALSE(IsWindow(target));
    EXPECT_EQ(window.Handle(), nullptr);
}

// What a screen reader reads through Windows' accessibility layer: a name for every control a
// user works with, the keys as radio buttons with the current one selected.
TEST_F(Win32WindowTest, ScreenReadersReadANameForEveryControlAndTheSelectedKey) {
    window.Dialog().OnNext();
    window.Dialog().OnNext();
    window.Dialog().OnPointerDown(kIdKeyEdit);
    KeyDown(WM_KEYDOWN, VK_CONTROL, KeyLParam(0x1D));
    KeyDown(WM_KEYDOWN, VK_F5, KeyLParam(0x3F));
    const struct {
        int id;
        const char* name;
        long role;
        bool selected;
    } cases[] = {
        {kIdKey1Picture, "Key 1", ROLE_SYSTEM_RADIOBUTTON, false},
        {kIdKey2Picture, "Key 2", ROLE_SYSTEM_RADIOBUTTON, false},
        {kIdKey3Picture, "Key 3", ROLE_SYSTEM_RADIOBUTTON, true},
        {kIdKey6Picture, "Key 6", ROLE_SYSTEM_RADIOBUTTON, false},
        {kIdKey3Label, "Key 3: Ctrl+F5", ROLE_SYSTEM_STATICTEXT, false},
        {kIdKey1Label, "Key 1: Null", ROLE_SYSTEM_STATICTEXT, false},
        {kIdKeyEdit, "Key function", ROLE_SYSTEM_TEXT, false},
        {kIdAlt, "Alt", ROLE_SYSTEM_CHECKBUTTON, false},
        {kIdMouseLeft, "MouseLeft", ROLE_SYSTEM_CHECKBUTTON, false},
        {kIdBack, "Back", ROLE_SYSTEM_PUSHBUTTON, false},
        {kIdOpenKeyboardPicture, "On-screen keyboard", ROLE_SYSTEM_PUSHBUTTON, false},
        {kIdHelpPicture, "Help", ROLE_SYSTEM_PUSHBUTTON, false},
        {kIdOk, "OK", ROLE_SYSTEM_PUSHBUTTON, false},
        {kIdDeviceList, "Device", ROLE_SYSTEM_COMBOBOX, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IAccessible* object = nullptr;
        ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(GetDlgItem(dialog, c.id), OBJID_CLIENT,
                                                            __uuidof(IAccessible),
                                                            reinterpret_cast<void**>(&object)));
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
        EXPECT_EQ(name != nullptr ? WideToUtf8(name) : "", c.name);
        EXPECT_EQ(role.lVal, c.role);
        EXPECT_EQ((state.lVal & STATE_SYSTEM_SELECTED) != 0, c.selected);
        SysFreeString(name);
        object->Release();
    }
}

// A keyboard user's whole run through the window's own message loop and the dialog manager,
// on a simulated keypad: Tab to the key function field, Alt+N twice to key 3, Ctrl+F5, Tab on
// to OK, Space, Enter for the message; then Enter records Tab, Escape and Alt+F4 for key 2.
TEST(Win32KeyboardTest, KeyboardAloneAssignsCtrlF5ToKeyThreeAndWritesIt) {
    testing::TempDir dir;
    std::string error;
    const std::string stateFile = (dir.path() / "keypad.bin").string();
    const std::unique_ptr<HidPlatform> keypad = MakeSimulatedKeypad(stateFile, error);
    ASSERT_NE(keypad, nullptr) << error;
    DevSetPlatform(keypad.get());
    Win32KeypadWindow window{GetModuleHandleW(nullptr)};
    ASSERT_TRUE(window.Create());

    struct Step {
        UINT message;  // WM_CLOSE ends the run
        UINT vk;
        std::uint32_t scan;
        bool alt;
        int focusBefore;          // 0: not checked
        const char* shownBefore;  // the key function field's text; nullptr: not checked
    };
    constexpr UINT kDown = WM_KEYDOWN;
    constexpr UINT kSys = WM_SYSKEYDOWN;
    static const Step steps[] = {
        {kDown, VK_TAB, 0x0F, false, kIdOk, "Null"},
        {kDown, VK_TAB, 0x0F, false, kIdRefresh, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdDeviceList, nullptr},
        {kSys, 'N', 0x31, true, kIdKeyEdit, nullptr},
        {kSys, 'N', 0x31, true, kIdKeyEdit, nullptr},
        {kDown, VK_CONTROL, 0x1D, false, kIdKeyEdit, nullptr},
        {kDown, VK_F5, 0x3F, false, kIdKeyEdit, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdKeyEdit, "Ctrl+F5"},
        {kDown, VK_TAB, 0x0F, false, kIdAlt, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdBack, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdOpenKeyboardPicture, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdHelpPicture, nullptr},
        {kDown, VK_SPACE, 0x39, false, kIdOk, nullptr},
        {WM_KEYUP, VK_SPACE, 0x39, false, kIdOk, nullptr},
        // The message box's OK has the focus now: Enter closes it.
        {kDown, VK_RETURN, 0x1C, false, kFocusElsewhere, nullptr},
        {kSys, 'B', 0x30, true, kIdOk, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdOk, "Null"},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_TAB, 0x0F, false, 0, nullptr},
        {kDown, VK_RETURN, 0x1C, false, kIdKeyEdit, nullptr},
        {kDown, VK_TAB, 0x0F, false, kIdKeyEdit, nullptr},
        {kDown, VK_RETURN, 0x1C, false, kIdKeyEdit, "Tab"},
        {kDown, VK_ESCAPE, 0x01, false, kIdKeyEdit, nullptr},
        {kDown, VK_RETURN, 0x1C, false, kIdKeyEdit, nullptr},  // Esc: named by the system
        {kSys, VK_MENU, 0x38, true, kIdKeyEdit, nullptr},
        {kSys, VK_F4, 0x3E, true, kIdKeyEdit, nullptr},
        {WM_CLOSE, 0, 0, false, kIdKeyEdit, "Alt+F4"},
    };
    // What the focus was on and the field showed before each step.
    static std::vector<int> focus;
    static std::vector<std::string> shown;
    static Win32KeypadWindow* running;
    static std::size_t next;
    focus.clear();
    shown.clear();
    running = &window;
    next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, [](HWND, UINT, UINT_PTR, DWORD) {
        if (next >= std::size(steps))
            return;
        const Step& s = steps[next++];
        focus.push_back(running->FocusedControl());
        shown.push_back(running->ControlText(kIdKeyEdit));
        if (s.message == WM_CLOSE) {
            PostMessageW(running->Handle(), WM_CLOSE, 0, 0);
            return;
        }
        const LPARAM lParam = static_cast<LPARAM>(KeyLParam(s.scan, s.alt) |
                                                  (s.message == WM_KEYUP ? 0xC0000000u : 0u));
        PostMessageW(GetFocus(), s.message, s.vk, lParam);
    });
    ASSERT_NE(timer, 0u);
    window.RunModal();
    KillTimer(nullptr, timer);
    DevSetPlatform(nullptr);

    ASSERT_EQ(focus.size(), std::size(steps));
    for (std::size_t i = 0; i < focus.size(); ++i) {
        if (steps[i].focusBefore != 0) {
            EXPECT_EQ(focus[i], steps[i].focusBefore) << "before step " << i;
        }
        if (steps[i].shownBefore != nullptr) {
            EXPECT_EQ(shown[i], steps[i].shownBefore) << "before step " << i;
        }
    }
    EXPECT_EQ(window.Dialog().CurrentKey(), 2);
    const std::string bytes = testing::ReadFile(stateFile);
    ASSERT_EQ(bytes.size(), 256u);
    // Key 3 is the keypad's second entry: kind 1, Ctrl, no mouse, usage 0x3E (F5).
    EXPECT_EQ(bytes.substr(15, 4), std::string("\x01\x01\x00\x3E", 4));
}

}  // namespace
}  // namespace quillpad
