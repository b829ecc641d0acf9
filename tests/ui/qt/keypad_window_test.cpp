// The Qt window through the window system's event path (offscreen platform).
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTimer>

#include <string>

#include "atomic_file.h"
#include "file_lock.h"
#include "on_screen_keyboard.h"
#include "window_fixture.h"

namespace quillpad::testing {
namespace {

QColor Background(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

TEST_F(WindowTest, KeysThatWouldActOnTheDialogAreRecordedAfterAClickOrEnter) {
    Open();
    ClickOn(kIdKey2Label);
    ASSERT_EQ(QApplication::focusWidget(), Control(kIdKeyEdit));
    const auto before = StateBytes();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* shown;
    } cases[] = {
        {Qt::Key_Tab, Qt::NoModifier, "Tab"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
        {Qt::Key_Return, Qt::NoModifier, "Enter"},
        {Qt::Key_Enter, Qt::KeypadModifier, "Num Enter"},
        {Qt::Key_Escape, Qt::NoModifier, "Esc"},
        {Qt::Key_F10, Qt::NoModifier, "F10"},
        {Qt::Key_B, Qt::AltModifier, "Alt+b"},
        {Qt::Key_N, Qt::AltModifier, "Alt+n"},
        {Qt::Key_R, Qt::AltModifier, "Alt+r"},
        {Qt::Key_O, Qt::AltModifier, "Alt+o"},
        {Qt::Key_F4, Qt::AltModifier, "Alt+F4"},
        {Qt::Key_Space, Qt::NoModifier, "Space"},
    };
    // A recording starts with a click on the field, or with Enter in it.
    for (const bool byEnter : {false, true}) {
        for (const auto& c : cases) {
            window->Dialog().OnReset();
            if (byEnter) {
                Key(Qt::Key_Return);
                EXPECT_EQ(Text(kIdKeyEdit), "Null");
            } else {
                ClickOn(kIdKeyEdit);
            }
            EXPECT_TRUE(window->Dialog().Recording());
            Key(c.key, c.modifiers);
            EXPECT_FALSE(window->Dialog().Recording()) << c.shown;
            EXPECT_EQ(Text(kIdKeyEdit), c.shown) << c.shown;
            EXPECT_EQ(Text(kIdKey2Label), c.shown) << c.shown;
            EXPECT_EQ(QApplication::focusWidget(), Control(kIdKeyEdit)) << c.shown;
            EXPECT_TRUE(window->isVisible()) << c.shown;
            EXPECT_EQ(window->Dialog().CurrentKey(), 2) << c.shown;
        }
    }
    EXPECT_TRUE(messages.empty());  // OK and Refresh were never pressed
    EXPECT_EQ(StateBytes(), before);
}

TEST_F(WindowTest, TheKeyboardAloneReachesEveryControlAndWritesTheKeypad) {
    Open();
    ASSERT_EQ(QApplication::focusWidget(), Control(kIdOk));
    // Escape keeps the window; Tab walks the tab stops in the order they are shown.
    Key(Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    const int order[] = {
        kIdRefresh,     kIdDeviceList, kIdKeyEdit,     kIdAlt,       kIdCtrl,
        kIdWindows,     kIdShift,      kIdApplication, kIdMouseLeft, kIdMouseMiddle,
        kIdMouseRight,  kIdBack,       kIdReset,       kIdNext,      kIdOpenKeyboardPicture,
        kIdHelpPicture, kIdOk};
    for (int id : order) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Control(id)) << id;
    }
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Control(kIdHelpPicture));
    // Space on the help picture and F1 open the help; its OK closes it with Enter.
    int helps = 0;
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_F1}) {
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            helps += modal->windowTitle() == "Help";
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
        });
        Key(key);
    }
    EXPECT_EQ(helps, 2);
    window->activateWindow();  // the offscreen platform does not return to the window itself
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), Control(kIdHelpPicture));

    // Into the field, two keys on with Alt+N, Ctrl+F5, out with Tab, then OK with Alt+O.
    for (int i = 0; i < 2; ++i) {
        Key(Qt::Key_Backtab, Qt::ShiftModifier);
    }
    ASSERT_EQ(QApplication::focusWidget(), Control(kIdNext));
    Key(Qt::Key_Space);
    EXPECT_EQ(window->Dialog().CurrentKey(), 2);
    EXPECT_EQ(QApplication::focusWidget(), Control(kIdNext));
    Key(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(window->Dialog().CurrentKey(), 3);
    for (int i = 0; i < 11; ++i) {
        Key(Qt::Key_Backtab, Qt::ShiftModifier);
    }
    ASSERT_EQ(QApplication::focusWidget(), Control(kIdKeyEdit));
    Key(Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(Text(kIdKeyEdit), "Ctrl+F5");
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Control(kIdAlt));
    Key(Qt::Key_O, Qt::AltModifier);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Setting successfully !");
    const auto bytes = StateBytes();
    // Key 3 is the keypad's second entry: kind 1, Ctrl, no mouse, usage 0x3E (F5).
    EXPECT_EQ(bytes[15], 1);
    EXPECT_EQ(bytes[16], kModCtrl);
    EXPECT_EQ(bytes[18], 0x3E);
}

TEST_F(WindowTest, ClicksOnPicturesAndLabelsSelectKeysAndMoveTheHighlight) {
    Open();
    const QColor blue(38, 109, 191);
    for (int key = 1; key <= 6; ++key) {
        const int other = key % 6 + 1;
        ClickOn(kKeyPictureIds[other - 1]);  // hidden until selected
        EXPECT_EQ(window->Dialog().CurrentKey(), other);
        EXPECT_TRUE(Control(kKeyPictureIds[other - 1])->isVisible());
        ClickOn(kKeyLabelIds[key - 1]);
        EXPECT_EQ(window->Dialog().CurrentKey(), key);
        EXPECT_EQ(static_cast<QGroupBox*>(Control(kIdKeySettingGroup))->title().toStdString(),
                  "The Key" + std::to_string(key) + " Setting");
        for (int k = 1; k <= 6; ++k) {
            EXPECT_EQ(Background(Control(kKeyLabelIds[k - 1])), k == key ? blue : Qt::white)
                << "current " << key << ", label " << k;
            EXPECT_EQ(Control(kKeyPictureIds[k - 1])->isVisible(), k == key);
        }
    }
}

TEST_F(WindowTest, TypicalEditWritesTheKeypad) {
    Open();
    ClickOn(kIdKey3Picture);
    QTest::keyPress(Handle(), Qt::Key_Control);
    QTest::keyRelease(Handle(), Qt::Key_Control);
    Key(Qt::Key_F5);
    EXPECT_EQ(Text(kIdKey3Label), "Ctrl+F5");
    ClickOn(kIdOk);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Setting successfully !");
    EXPECT_EQ(messages[0].type, 0x30u);
    const auto bytes = StateBytes();
    EXPECT_EQ(bytes[15], 0x01);
    EXPECT_EQ(bytes[16], 0x01);
    EXPECT_EQ(bytes[17], 0x00);
    EXPECT_EQ(bytes[18], 0x3E);
    EXPECT_EQ(bytes[90], 0xFC);

    // Refresh reads it back and names it from the table.
    window->Dialog().OnReset();
    ClickOn(kIdRefresh);
    EXPECT_EQ(Text(kIdKey3Label), "Ctrl+F5");
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WindowTest, RefreshAndOkWorkOnTheKeypadFileAsItIsThen) {
    Open();
    // Another program gives key 3 Ctrl+F5 after start-up: Refresh shows it, and OK writes the
    // keys the window shows.
    std::array<std::uint8_t, 256> block{};
    block[15] = 0x01;
    block[16] = 0x01;
    block[18] = 0x3E;
    block[90] = 0xFC;
    std::string reason;
    ASSERT_TRUE(ReplaceFileAtomically(
        stateFile.string(), std::string(reinterpret_cast<const char*>(block.data()), 256), reason))
        << reason;
    EXPECT_EQ(Text(kIdKey3Label), "Null");
    ClickOn(kIdRefresh);
    EXPECT_EQ(Text(kIdKey3Label), "Ctrl+F5");
    ClickOn(kIdOk);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Setting successfully !");
    EXPECT_EQ(StateBytes(), block);

    // A file of 255 bytes is neither read nor ever overwritten.
    const std::string shortFile(255, '\x5A');
    ASSERT_TRUE(ReplaceFileAtomically(stateFile.string(), shortFile, reason)) << reason;
    ClickOn(kIdOk);
    ClickOn(kIdRefresh);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].text, "Setting Failed !");
    EXPECT_EQ(messages[2].text, "Read Failed !");
    EXPECT_EQ(Text(kIdKey3Label), "Ctrl+F5");
    EXPECT_EQ(ReadFile(stateFile), shortFile);
}

TEST_F(WindowTest, OkAndRefreshGiveUpWhileAnotherProgramHoldsTheKeypad) {
    Open();
    std::array<std::uint8_t, 256> other{};
    other[18] = 0x3F;  // key 3: F6
    other[90] = 0xFC;
    const std::string otherBytes(reinterpret_cast<const char*>(other.data()), other.size());
    std::string reason;
    ASSERT_TRUE(ReplaceFileAtomically(stateFile.string(), otherBytes, reason)) << reason;
    FileLock held;
    ASSERT_TRUE(held.Lock(stateFile.string(), FileLock::Mode::kExclusive, reason)) << reason;
    ClickOn(kIdOk);
    ClickOn(kIdRefresh);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Setting Failed !");
    EXPECT_EQ(messages[1].text, "Read Failed !");
    EXPECT_EQ(Text(kIdKey3Label), "Null");
    EXPECT_EQ(ReadFile(stateFile), otherBytes);

    held.Unlock();
    ClickOn(kIdRefresh);
    EXPECT_EQ(Text(kIdKey3Label), "F6");
}

TEST_F(WindowTest, ButtonsAndCheckBoxesReachTheDialog) {
    Open();
    ClickOn(kIdNext);
    EXPECT_EQ(window->Dialog().CurrentKey(), 2);
    ClickOn(kIdBack);
    ClickOn(kIdBack);
    EXPECT_EQ(window->Dialog().CurrentKey(), 6);
    ClickOn(kIdShift);
    ClickOn(kIdMouseRight);
    EXPECT_EQ(Text(kIdKeyEdit), "Shift+Mouse Right");
    EXPECT_EQ(QApplication::focusWidget(), Control(kIdKeyEdit));
    ClickOn(kIdReset);
    EXPECT_EQ(Text(kIdKey6Label), "Null");
    EXPECT_FALSE(static_cast<QCheckBox*>(Control(kIdShift))->isChecked());
}

TEST_F(WindowTest, TheFieldTakesNoTypedPastedOrDroppedText) {
    Open();
    auto* edit = static_cast<QLineEdit*>(Control(kIdKeyEdit));
    EXPECT_FALSE(edit->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(edit->contextMenuPolicy(), Qt::PreventContextMenu);
    EXPECT_FALSE(edit->acceptDrops());
    QApplication::clipboard()->setText(QStringLiteral("pasted"), QClipboard::Selection);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    const QPoint p = edit->mapTo(window.get(), edit->rect().center());
    QTest::mouseClick(Handle(), Qt::MiddleButton, Qt::NoModifier, p);
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text().contains("pasted"), false);
    EXPECT_EQ(edit->text(), "Shift+Ctrl+Insert");
}

TEST_F(WindowTest, WindowManagerCloseIsIgnoredWhileAltIsHeldInTheField) {
    Open();
    ClickOn(kIdKey1Label);
    // The close a window manager sends for its own Alt+F4 arrives as a spontaneous event.
    const auto closeFromWindowManager = [this] {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        qApp->notify(window.get(), &close);  // sendEvent would clear the spontaneous flag
    };
    QTest::keyPress(Handle(), Qt::Key_Alt, Qt::AltModifier);
    ASSERT_TRUE(QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
    closeFromWindowManager();
    EXPECT_TRUE(window->isVisible());
    QTest::keyRelease(Handle(), Qt::Key_Alt);
    EXPECT_EQ(Text(kIdKeyEdit), "Alt");
    ASSERT_FALSE(QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
    closeFromWindowManager();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowTest, HelpAndKeyboardPictures) {
    Open();
    std::string helpTitle;
    std::string helpText;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        helpTitle = modal->windowTitle().toStdString();
        if (auto* label = modal->findChild<QLabel*>()) {
            helpText = label->text().toStdString();
        }
        auto* ok = modal->findChild<QPushButton*>();
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    ClickOn(kIdHelpPicture);
    EXPECT_EQ(helpTitle, "Help");
    EXPECT_EQ(helpText.rfind("  Click the key of quillpad on the interface", 0), 0u);
    EXPECT_EQ(oskStarts, 0);
    ClickOn(kIdOpenKeyboardPicture);
    EXPECT_EQ(oskStarts, 1);
    EXPECT_EQ(window->Dialog().CurrentKey(), 1);
}

TEST_F(WindowTest, KeyboardPictureSaysWhichKeyboardToInstallWhenNoneStarts) {
    Open();
    window->SetOnScreenKeyboardHook(nullptr);  // the real start, with nothing to find
    const QByteArray path = qgetenv("PATH");
    const std::filesystem::path empty = std::filesystem::path(::testing::TempDir()) / "no-osk";
    std::filesystem::create_directories(empty);
    qputenv("PATH", QByteArray::fromStdString(empty.string()));
    ClickOn(kIdOpenKeyboardPicture);
    qputenv("PATH", path);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, kNoOnScreenKeyboardText);
    EXPECT_EQ(messages[0].type, kMbOk | kMbIconInformation);
}

TEST_F(WindowTest, PointerChangesOverTheKeyboardAndHelpPictures) {
    Open();
    // Qt drops a move to where the pointer already is (an earlier click may have left it
    // there), so every move comes from a pixel beside its target.
    const auto moveTo = [this](int id) {
        const QWidget* w = Control(id);
        const QPoint p = w->mapTo(window.get(), w->rect().center());
        QTest::mouseMove(Handle(), p - QPoint(1, 0));
        QTest::mouseMove(Handle(), p);
    };
    moveTo(kIdOpenKeyboardPicture);
    EXPECT_EQ(window->cursor().shape(), Qt::BitmapCursor);
    moveTo(kIdHelpPicture);
    EXPECT_EQ(window->cursor().shape(), Qt::WhatsThisCursor);
    moveTo(kIdKey1Label);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowTest, BlinkTimerRunsAndEndsWithTheIndicatorHidden) {
    Open();
    ASSERT_TRUE(window->Dialog().Blinking());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->Dialog().Blinking(); }, 3000));
    EXPECT_FALSE(Control(kIdIndicator)->isVisible());
}

TEST_F(WindowTest, DeviceListShowsTheSimulatedKeypad) {
    Open();
    EXPECT_EQ(window->ComboEntryCount(kIdDeviceList), 1);
    EXPECT_EQ(Text(kIdDeviceList), "USB Quillpad 01");
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace quillpad::testing
