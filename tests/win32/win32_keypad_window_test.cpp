// The native configuration window under wine: the dialog templates against the layout every
// view shares, key capture through the window's own message loop, colours and closing.
#include "win32_keypad_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "control_ids.h"
#include "dev.h"
#include "key_codes.h"
#include "keypad_template.h"
#include "layout_key_cases.h"
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
    // A key pressed now is swallowed and assigns nothing.
    EXPECT_TRUE(KeyDown(WM_KEYDOWN, VK_F5, KeyLParam(0x3F)));
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "Null");
    EXPECT_EQ(window.FocusedControl(), kIdOk);
}

TEST_F(Win32WindowTest, EveryKeyDownIsCapturedBeforeTheDialogManager) {
    window.FocusControl(kIdKeyEdit);
    EXPECT_TRUE(KeyDown(WM_KEYDOWN, VK_F5, KeyLParam(0x3F)));
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "F5");
    EXPECT_EQ(window.ControlText(kIdKey1Label), "F5");
    // Keys the dialog manager would act on are assignments like any other.
    for (UINT vk : {VK_ESCAPE, VK_RETURN, VK_TAB}) {
        EXPECT_TRUE(KeyDown(WM_KEYDOWN, vk, KeyLParam(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC))));
        EXPECT_EQ(window.FocusedControl(), kIdKeyEdit);
        EXPECT_EQ(KeyByNumber(window.Dialog().Assignments(), 1).vk, vk);
    }
    EXPECT_TRUE(KeyDown(WM_SYSKEYDOWN, VK_MENU, KeyLParam(0x38, true)));
    EXPECT_TRUE(KeyDown(WM_SYSKEYDOWN, VK_F4, KeyLParam(0x3E, true)));
    EXPECT_EQ(window.ControlText(kIdKeyEdit), "Alt+F4");
    EXPECT_TRUE(IsWindow(dialog));
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

// The window runs until its close box (WM_CLOSE) ends it; Escape and Alt+F4 do not.
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
                PostMessageW(GetDlgItem(target, kIdOk), WM_KEYDOWN, VK_RETURN, KeyLParam(0x1C));
                PostMessageW(target, WM_SYSKEYDOWN, VK_F4, KeyLParam(0x3E, true));
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

}  // namespace
}  // namespace quillpad
