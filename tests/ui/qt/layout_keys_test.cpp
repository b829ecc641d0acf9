// Keys pressed on other keyboard layouts, as X11 reports them: the window stores the position of
// the key pressed and names it as the layout does, also after the keypad is read back.
#include <string_view>

#include <QGuiApplication>

#include "key_codes.h"
#include "key_names.h"
#include "key_translation.h"
#include "layout_key_cases.h"
#include "layout_keymap.h"
#include "scan_codes.h"
#include "virtual_keyboard.h"
#include "window_fixture.h"

namespace quillpad::testing {
namespace {

// Where the configuration block holds key k's usage (entries for keys 4, 3, 2, 1, 6, 5).
constexpr std::size_t kUsageOffset[kKeyCount] = {48, 33, 18, 3, 78, 63};

class WithLayout {
  public:
    WithLayout(const char* layout, const char* variant)
        : keymap_(MakeNamedLayoutKeymap(layout, variant)) {
        SetLayoutKeymap(keymap_.get());
    }
    ~WithLayout() { SetLayoutKeymap(nullptr); }

  private:
    std::unique_ptr<LayoutKeymap> keymap_;
};

TEST_F(WindowTest, EveryLayoutStoresThePositionAndShowsTheLayoutsName) {
    Open();
    const auto& cases = test::kLayoutKeyCases;
    for (std::size_t first = 0; first < std::size(cases);) {
        const WithLayout layout(cases[first].layout, cases[first].variant);
        std::size_t end = first;
        while (end < std::size(cases) &&
               std::string_view(cases[end].layout) == cases[first].layout &&
               std::string_view(cases[end].variant) == cases[first].variant) {
            ++end;
        }
        ASSERT_LE(end - first, std::size_t{kKeyCount});
        const auto where = [&](std::size_t i) {
            return std::string(cases[i].layout) + "(" + cases[i].variant + ") " + cases[i].what;
        };

        // Captured: key k+1 gets the case's key, as the window's key handler passes it on.
        for (std::size_t i = first; i < end; ++i) {
            const int key = static_cast<int>(i - first) + 1;
            ClickOn(kKeyPictureIds[key - 1]);
            const int evdev = ScanCodeToEvdev(Std(cases[i].scan)).value_or(0);
            const auto stroke =
                TranslateKeyEvent(cases[i].qtKey, Qt::NoModifier, evdev + kXKeycodeOffset, true);
            ASSERT_TRUE(stroke.has_value()) << where(i);
            EXPECT_EQ(KeyNameFromLParam(stroke->lParam), cases[i].name) << where(i);
            window->Dialog().PreTranslateKeyDown(stroke->vk, stroke->lParam);
            EXPECT_EQ(Text(kKeyLabelIds[key - 1]), cases[i].shown) << where(i);
            ClickOn(kIdShift);
            EXPECT_EQ(Text(kKeyLabelIds[key - 1]), cases[i].shifted) << where(i);
            ClickOn(kIdShift);
        }
        ClickOn(kIdOk);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages.back().text, "Setting successfully !");
        messages.clear();
        const auto bytes = StateBytes();
        for (std::size_t i = first; i < end; ++i) {
            EXPECT_EQ(bytes[kUsageOffset[i - first]], cases[i].usage) << where(i);
        }

        // Read back, only the usages are known: the names come from the layout again.
        ClickOn(kIdRefresh);
        for (std::size_t i = first; i < end; ++i) {
            const int key = static_cast<int>(i - first) + 1;
            EXPECT_EQ(Text(kKeyLabelIds[key - 1]), cases[i].shown) << where(i) << ", read back";
            ClickOn(kKeyPictureIds[key - 1]);
            ClickOn(kIdShift);
            EXPECT_EQ(Text(kKeyLabelIds[key - 1]), cases[i].shifted) << where(i) << ", read back";
            ClickOn(kIdShift);
        }
        EXPECT_TRUE(messages.empty());
        first = end;
    }
}

// A key whose name is "+" keeps it next to modifiers, captured and read back: Shift with the
// US equals key types "+".
TEST_F(WindowTest, AKeyNamedPlusKeepsItsNameBeforeAndAfterRefresh) {
    Open();
    const WithLayout layout("us", "");
    ClickOn(kKeyPictureIds[0]);
    const auto stroke = TranslateKeyEvent(0x3d, Qt::NoModifier, 13 + kXKeycodeOffset, true);
    ASSERT_TRUE(stroke.has_value());
    window->Dialog().PreTranslateKeyDown(stroke->vk, stroke->lParam);
    ClickOn(kIdShift);
    EXPECT_EQ(Text(kKeyLabelIds[0]), "Shift++");
    ClickOn(kIdCtrl);
    EXPECT_EQ(Text(kKeyLabelIds[0]), "Shift+Ctrl++");
    ClickOn(kIdOk);
    messages.clear();
    ClickOn(kIdRefresh);
    EXPECT_EQ(Text(kKeyLabelIds[0]), "Shift+Ctrl++");
    EXPECT_EQ(StateBytes()[kUsageOffset[0]], 0x2E);
}

// Under a Wayland compositor (wayland/key-capture runs this test in one) the keys come from a
// keyboard with the German keymap, as physical keys: the window stores the key's position and
// names it after the keymap the compositor sends, not a default one.
TEST_F(WindowTest, OnWaylandTheCompositorsKeymapNamesTheKeys) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        GTEST_SKIP() << "runs under a Wayland compositor: tests/ui/qt/wayland/key-capture";
    std::string error;
    const auto keyboard = VirtualKeyboard::Create("de", error);
    ASSERT_NE(keyboard, nullptr) << error;
    Open();
    std::vector<const test::LayoutKeyCase*> cases;
    for (const auto& c : test::kLayoutKeyCases) {
        if (std::string_view(c.layout) == "de")
            cases.push_back(&c);
    }
    ASSERT_EQ(cases.size(), std::size_t{kKeyCount});
    const auto labelBecomes = [this](int id, const std::string& text) {
        for (int i = 0; i < 250 && Text(id) != text; ++i)
            QTest::qWait(20);
        return Text(id);
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ClickOn(kKeyPictureIds[i]);
        const auto evdev = ScanCodeToEvdev(Std(cases[i]->scan));
        ASSERT_TRUE(evdev.has_value()) << cases[i]->what;
        ASSERT_TRUE(keyboard->Tap(*evdev)) << cases[i]->what;
        EXPECT_EQ(labelBecomes(kKeyLabelIds[i], cases[i]->shown), cases[i]->shown)
            << cases[i]->what;
    }
    ClickOn(kIdOk);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages.back().text, "Setting successfully !");
    const auto bytes = StateBytes();
    ClickOn(kIdRefresh);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(bytes[kUsageOffset[i]], cases[i]->usage) << cases[i]->what;
        EXPECT_EQ(Text(kKeyLabelIds[i]), cases[i]->shown) << cases[i]->what << ", read back";
    }

    // Another keyboard with another layout: the compositor sends its keymap, and the window
    // follows it (the US Q key types a on French keyboards).
    const auto french = VirtualKeyboard::Create("fr", error);
    ASSERT_NE(french, nullptr) << error;
    ClickOn(kKeyPictureIds[0]);
    ASSERT_TRUE(french->Tap(16));
    EXPECT_EQ(labelBecomes(kKeyLabelIds[0], "a"), "a");
    EXPECT_EQ(VkToUsage(KeyByNumber(window->Dialog().Assignments(), 1).vk), 0x14);
}

}  // namespace
}  // namespace quillpad::testing
