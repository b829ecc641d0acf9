// The configuration window's behaviour, driven through a fake view and a scripted platform.
#include <gtest/gtest.h>

#include "config_block.h"
#include "control_ids.h"
#include "dev.h"
#include "fake_view.h"
#include "keypad_dlg.h"
#include "platform/fake/fake_platform.h"

namespace quillpad::testing {
namespace {

constexpr int kAllBoxes[] = {kIdAlt,         kIdCtrl,      kIdShift,       kIdWindows,
                             kIdApplication, kIdMouseLeft, kIdMouseMiddle, kIdMouseRight};

// lParam of a key-down: repeat count 1, scan code, extended flag.
constexpr std::uint32_t KeyLParam(std::uint32_t scan, bool extended = false) {
    return 1u | (scan << 16) | (extended ? 1u << 24 : 0u);
}

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { DevSetPlatform(&platform); }
    void TearDown() override {
        DevCloseAll();
        DevSetPlatform(nullptr);
        EXPECT_TRUE(platform.keypadViolations().empty())
            << "the keypad saw the host break the protocol: "
            << platform.keypadViolations().front();
    }
    void AddKeypad(const std::string& path, DevNode grandparent) {
        platform.Add(FakePlatform::KeypadInterface(path, grandparent));
    }
    // Starts the window with whatever the platform holds; forgets what start-up showed.
    void Start() {
        dlg.OnInitDialog();
        view.messages.clear();
    }
    void Click(int id) {
        const auto [x, y] = view.Centre(id);
        dlg.OnLButtonUp(x, y);
    }
    void Press(std::uint32_t vk, std::uint32_t lParam = 0) { dlg.PreTranslateKeyDown(vk, lParam); }

    FakePlatform platform;
    FakeView view;
    CKeypadDlg dlg{view};
};

// --- selection ---------------------------------------------------------------------------

TEST_F(DialogTest, NextAndBackWalkTheKeysAndWrapAround) {
    Start();
    const int afterNext[] = {2, 3, 4, 5, 6, 1};
    for (int expected : afterNext) {
        view.focus = kIdOk;
        dlg.OnCommand(kIdNext);
        EXPECT_EQ(dlg.CurrentKey(), expected);
        EXPECT_EQ(view.focus, kIdKeyEdit);
    }
    const int afterBack[] = {6, 5, 4, 3, 2, 1};
    for (int expected : afterBack) {
        dlg.OnCommand(kIdBack);
        EXPECT_EQ(dlg.CurrentKey(), expected);
    }
}

TEST_F(DialogTest, SelectingAKeyShowsOnlyItsPictureCaptionAndRedrawsTheLabels) {
    Start();
    for (int step = 0; step < 6; ++step) {
        view.redraws.clear();
        dlg.OnNext();
        const int key = dlg.CurrentKey();
        EXPECT_EQ(view.texts[kIdKeySettingGroup], "The Key" + std::to_string(key) + " Setting");
        for (int k = 1; k <= 6; ++k) {
            EXPECT_EQ(view.Visible(kKeyPictureIds[k - 1]), k == key) << "key " << key;
        }
        ASSERT_FALSE(view.redraws.empty());
        EXPECT_EQ(view.redraws.back(),
                  std::vector<int>(std::begin(kKeyLabelIds), std::end(kKeyLabelIds)));
    }
    dlg.ShowKeyPicture(0);
    for (int id : kKeyPictureIds) {
        EXPECT_FALSE(view.Visible(id));
    }
}

// --- blinking indicator ------------------------------------------------------------------

TEST_F(DialogTest, IndicatorBlinksThreeTimesAndEndsHidden) {
    Start();
    ASSERT_TRUE(dlg.Blinking());
    ASSERT_EQ(view.runningTimers.count(kBlinkTimerId), 1u);
    EXPECT_EQ(view.runningTimers[kBlinkTimerId], 200);
    const bool shownAfterTick[] = {true, false, true, false, true, false};
    for (bool shown : shownAfterTick) {
        dlg.OnTimer(kBlinkTimerId);
        EXPECT_EQ(view.Visible(kIdIndicator), shown);
    }
    EXPECT_FALSE(dlg.Blinking());
    EXPECT_EQ(dlg.BlinkTicks(), 0);
    EXPECT_EQ(view.runningTimers.count(kBlinkTimerId), 0u);

    dlg.OnTimer(112);  // another timer changes nothing
    EXPECT_FALSE(view.Visible(kIdIndicator));
    EXPECT_EQ(dlg.BlinkTicks(), 0);
}

TEST_F(DialogTest, SelectingWhileBlinkingRestartsTheCountWithoutASecondTimer) {
    Start();
    dlg.OnTimer(kBlinkTimerId);
    dlg.OnTimer(kBlinkTimerId);
    dlg.OnTimer(kBlinkTimerId);
    const int starts = view.timerStarts;
    dlg.OnNext();
    EXPECT_EQ(dlg.BlinkTicks(), 0);
    EXPECT_EQ(view.timerStarts, starts);
    for (int i = 0; i < 5; ++i) {
        dlg.OnTimer(kBlinkTimerId);
    }
    EXPECT_TRUE(dlg.Blinking());  // six ticks from the restart, not from the start
    dlg.OnTimer(kBlinkTimerId);
    EXPECT_FALSE(dlg.Blinking());
    dlg.OnNext();
    EXPECT_EQ(view.timerStarts, starts + 1);
}

// --- hit test ----------------------------------------------------------------------------

TEST_F(DialogTest, HitTestIsStrictOnEverySide) {
    view.rects[kIdKey3Picture] = {100, 50, 20, 10};
    struct Case {
        int x, y;
        bool hit;
    } cases[] = {
        {100, 55, false}, {101, 55, true}, {119, 55, true},  {120, 55, false}, {110, 50, false},
        {110, 51, true},  {110, 59, true}, {110, 60, false}, {99, 55, false},  {110, 61, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dlg.PointInControl(c.x, c.y, kIdKey3Picture), c.hit) << c.x << "," << c.y;
    }
    EXPECT_FALSE(dlg.PointInControl(0, 0, 4242));  // no such control
}

TEST_F(DialogTest, ClicksOnPicturesAndLabelsSelectKeysEvenWhenThePictureIsHidden) {
    Start();
    for (int key = 1; key <= 6; ++key) {
        Click(kKeyPictureIds[key - 1]);  // hidden unless current
        EXPECT_EQ(dlg.CurrentKey(), key);
        EXPECT_TRUE(view.Visible(kKeyPictureIds[key - 1]));
    }
    for (int key = 6; key >= 1; --key) {
        Click(kKeyLabelIds[key - 1]);
        EXPECT_EQ(dlg.CurrentKey(), key);
    }
    dlg.OnLButtonUp(1, 1);  // on the picture of the keypad, off every key
    EXPECT_EQ(dlg.CurrentKey(), 1);
}

TEST_F(DialogTest, EdgeOfAKeyPictureDoesNotSelectIt) {
    Start();
    const ControlRect r = view.rects[kIdKey5Picture];
    dlg.OnLButtonUp(r.left, r.top + r.height / 2);
    EXPECT_EQ(dlg.CurrentKey(), 1);
    dlg.OnLButtonUp(r.left + 1, r.top + r.height / 2);
    EXPECT_EQ(dlg.CurrentKey(), 5);
}

TEST_F(DialogTest, HelpAndKeyboardPicturesRunTheirActionsThenTheKeyTests) {
    Start();
    dlg.OnNext();
    Click(kIdHelpPicture);
    EXPECT_EQ(view.helpRuns, 1);
    EXPECT_EQ(view.oskStarts, 0);
    EXPECT_EQ(dlg.CurrentKey(), 2);
    Click(kIdOpenKeyboardPicture);
    EXPECT_EQ(view.oskStarts, 1);
    EXPECT_EQ(view.helpRuns, 1);

    // A help picture placed over a key label: help first, then the key is still selected.
    view.rects[kIdHelpPicture] = view.rects[kIdKey4Label];
    Click(kIdKey4Label);
    EXPECT_EQ(view.helpRuns, 2);
    EXPECT_EQ(dlg.CurrentKey(), 4);
}

TEST_F(DialogTest, PointerShapeFollowsTheKeyboardAndHelpPictures) {
    Start();
    const struct {
        int id;
        PointerShape shape;
    } cases[] = {{kIdOpenKeyboardPicture, PointerShape::kOpenKeyboard},
                 {kIdHelpPicture, PointerShape::kHelp},
                 {kIdKey1Label, PointerShape::kDefault}};
    for (const auto& c : cases) {
        const auto [x, y] = view.Centre(c.id);
        dlg.OnMouseMove(x, y);
        EXPECT_EQ(view.pointer, c.shape) << c.id;
    }
}

// --- colours -----------------------------------------------------------------------------

TEST_F(DialogTest, ColourRequestBeforeTheFirstKeyHandsOutNothing) {
    const CtlColorResult r = dlg.OnCtlColor(kIdKey1Label, CtlColorClass::kStatic);
    EXPECT_FALSE(r.background);
    EXPECT_FALSE(r.brush);
    // The window's own background comes first on the real screen; after it, the last brush.
    const CtlColorResult own = dlg.OnCtlColor(kIdStatic, CtlColorClass::kOther);
    EXPECT_EQ(own.brush, kNormalColour);
    const CtlColorResult again = dlg.OnCtlColor(kIdKey1Label, CtlColorClass::kStatic);
    EXPECT_FALSE(again.background);
    EXPECT_EQ(again.brush, kNormalColour);
}

TEST_F(DialogTest, OnlyTheCurrentKeysLabelIsBlue) {
    Start();
    dlg.OnNext();
    dlg.OnNext();  // key 3
    for (int key = 1; key <= 6; ++key) {
        const CtlColorResult r = dlg.OnCtlColor(kKeyLabelIds[key - 1], CtlColorClass::kStatic);
        const Colour want = key == 3 ? kHighlightColour : kNormalColour;
        EXPECT_EQ(r.background, want) << key;
        EXPECT_EQ(r.brush, want) << key;
    }
    EXPECT_EQ(dlg.OnCtlColor(kIdKey3Label, CtlColorClass::kOther).brush, kNormalColour);
    for (int id : {kIdDeviceCaption, kIdKeySettingGroup, kIdFunctionCaption, kIdAlt, kIdApplication,
                   kIdMouseLeft, kIdKeypadPicture}) {
        EXPECT_EQ(dlg.OnCtlColor(id, CtlColorClass::kStatic).brush, kNormalColour) << id;
    }
    EXPECT_EQ(kHighlightColour & 0xFF, 38u);  // 0x00BBGGRR
}

// --- check boxes and Reset ---------------------------------------------------------------

TEST_F(DialogTest, CheckBoxesSetAndClearTheirBits) {
    Start();
    const struct {
        int id;
        bool mouse;
        std::uint8_t bit;
    } boxes[] = {{kIdAlt, false, kModAlt},          {kIdCtrl, false, kModCtrl},
                 {kIdShift, false, kModShift},      {kIdWindows, false, kModWindows},
                 {kIdMouseLeft, true, kMouseLeft},  {kIdMouseMiddle, true, kMouseMiddle},
                 {kIdMouseRight, true, kMouseRight}};
    for (const auto& box : boxes) {
        view.checks[box.id] = true;
        view.focus = box.id;
        dlg.OnCommand(box.id);
        const KeyAssignment& a = KeyByNumber(dlg.Assignments(), 1);
        EXPECT_EQ((box.mouse ? a.mouse : a.modifiers) & box.bit, box.bit) << box.id;
        EXPECT_EQ(view.focus, kIdKeyEdit);
        EXPECT_EQ(view.texts[kIdKeyEdit], view.texts[kIdKey1Label]);
    }
    EXPECT_EQ(view.texts[kIdKeyEdit], "Shift+Alt+Ctrl+Windows+Mouse Left+Mouse Middle+Mouse Right");
    for (const auto& box : boxes) {
        view.checks[box.id] = false;
        dlg.OnCommand(box.id);
    }
    EXPECT_EQ(KeyByNumber(dlg.Assignments(), 1), KeyAssignment{});
    EXPECT_EQ(view.texts[kIdKeyEdit], "Null");
}

TEST_F(DialogTest, ApplicationBoxSetsTheMenuKeyAndClearsAnyKeyWhenUnticked) {
    Start();
    view.focus = kIdKeyEdit;
    Press(0x11);
    Press(0x41, KeyLParam(0x1E));
    view.checks[kIdApplication] = true;
    dlg.OnCommand(kIdApplication);
    KeyAssignment a = KeyByNumber(dlg.Assignments(), 1);
    EXPECT_EQ(a.vk, 0x5D);
    EXPECT_EQ(a.lParam, kApplicationKeyLParam);
    EXPECT_EQ(view.texts[kIdKeyEdit], "Ctrl+Application");

    Press(0x41, KeyLParam(0x1E));
    EXPECT_EQ(view.CheckState(kIdApplication), 0);  // shown from the assignment
    view.checks[kIdApplication] = false;
    dlg.OnCommand(kIdApplication);
    a = KeyByNumber(dlg.Assignments(), 1);
    EXPECT_EQ(a.vk, 0);
    EXPECT_EQ(a.lParam, 0u);
    EXPECT_EQ(a.modifiers, kModCtrl);
    EXPECT_EQ(view.texts[kIdKeyEdit], "Ctrl");
}

TEST_F(DialogTest, ResetClearsTheKeyShowsNullAndLeavesTheFocus) {
    Start();
    dlg.OnNext();
    view.focus = kIdKeyEdit;
    Press(0x12);
    Press(0x70, KeyLParam(0x3B));
    for (int id : kAllBoxes) {
        view.checks[id] = true;
    }
    view.focus = kIdReset;
    dlg.OnCommand(kIdReset);
    EXPECT_EQ(KeyByNumber(dlg.Assignments(), 2), KeyAssignment{});
    EXPECT_EQ(view.texts[kIdKeyEdit], "Null");
    EXPECT_EQ(view.texts[kIdKey2Label], "Null");
    for (int id : kAllBoxes) {
        EXPECT_EQ(view.CheckState(id), 0) << id;
    }
    EXPECT_EQ(view.focus, kIdReset);
}

// --- key capture -------------------------------------------------------------------------

TEST_F(DialogTest, KeysAreCapturedOnlyFromTheFieldAndTheFourModifierBoxes) {
    const struct {
        int focus;
        bool captured;
    } cases[] = {{kIdKeyEdit, true},     {kIdAlt, true},     {kIdShift, true},
                 {kIdCtrl, true},        {kIdWindows, true}, {kIdApplication, false},
                 {kIdMouseLeft, false},  {kIdOk, false},     {kIdRefresh, false},
                 {kIdDeviceList, false}, {kNoFocus, false},  {kFocusElsewhere, false}};
    Start();
    for (const auto& c : cases) {
        dlg.OnReset();
        view.focus = c.focus;
        EXPECT_TRUE(dlg.PreTranslateKeyDown(0x42, KeyLParam(0x30)));  // consumed either way
        EXPECT_EQ(KeyByNumber(dlg.Assignments(), 1).vk, c.captured ? 0x42 : 0) << c.focus;
        EXPECT_EQ(view.focus, c.captured ? kIdKeyEdit : c.focus) << c.focus;
    }
}

TEST_F(DialogTest, ModifierKeysOnlyEverSetBits) {
    Start();
    view.focus = kIdKeyEdit;
    Press(0x10);
    EXPECT_EQ(view.texts[kIdKeyEdit], "Shift");
    EXPECT_EQ(KeyByNumber(dlg.Assignments(), 1).vk, 0);
    dlg.OnReset();
    Press(0x11);
    Press(0x41, KeyLParam(0x1E));
    EXPECT_EQ(view.texts[kIdKeyEdit], "Ctrl+a");
    Press(0x42, KeyLParam(0x30));
    EXPECT_EQ(view.texts[kIdKeyEdit], "Ctrl+b");
    EXPECT_EQ(view.texts[kIdKey1Label], "Ctrl+b");
    Press(0x5C);
    Press(0x5B);
    Press(0x12);
    const KeyAssignment a = KeyByNumber(dlg.Assignments(), 1);
    EXPECT_EQ(a.modifiers, kModCtrl | kModWindows | kModAlt);
    EXPECT_EQ(a.vk, 0x42);
    EXPECT_EQ(a.lParam, KeyLParam(0x30));
    EXPECT_EQ(view.CheckState(kIdWindows), 1);
}

TEST_F(DialogTest, AltF4IsAssignedLikeAnyOtherKey) {
    Start();
    view.focus = kIdKeyEdit;
    Press(0x12, KeyLParam(0x38));
    Press(0x73, KeyLParam(0x3E));
    EXPECT_EQ(view.texts[kIdKeyEdit], "Alt+F4");
    EXPECT_EQ(view.CheckState(kIdAlt), 1);
}

// --- Refresh and OK ----------------------------------------------------------------------

TEST_F(DialogTest, StartingWithoutAKeypadIsSilent) {
    dlg.OnInitDialog();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_FALSE(dlg.QuietStart());
    EXPECT_EQ(view.texts[kIdKey1Label], "Null");
    EXPECT_EQ(view.texts[kIdKeyEdit], "Null");
    for (int key = 2; key <= 6; ++key) {
        EXPECT_EQ(view.texts[kKeyLabelIds[key - 1]], "key" + std::to_string(key));
    }
    EXPECT_EQ(view.ComboEntryCount(kIdDeviceList), 0);
    EXPECT_EQ(dlg.CurrentKey(), 1);
}

TEST_F(DialogTest, StartUpReadShowsTheKeypadsKeysByTableNames) {
    AddKeypad("/k1", 0x10);
    KeyAssignments keys{};
    KeyByNumber(keys, 3) = {0x74, kModCtrl, 0, 0};
    KeyByNumber(keys, 6) = {0x41, kModShift, kMouseLeft, 0};
    const ConfigBlock block = EncodeConfigBlock(keys);
    std::copy(block.begin(), block.end(), platform.Keypad("/k1").Memory().begin());

    dlg.OnInitDialog();
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(dlg.Assignments(), keys);
    EXPECT_EQ(view.texts[kIdKey3Label], "Ctrl+F5");
    EXPECT_EQ(view.texts[kIdKey6Label], "Shift+Mouse Left+A");
    EXPECT_EQ(view.texts[kIdKey1Label], "Null");
    EXPECT_EQ(view.combos[kIdDeviceList], std::vector<std::string>{"USB Quillpad 01"});
    EXPECT_EQ(view.comboSelection[kIdDeviceList], 0);
    EXPECT_EQ(view.waits, (std::vector<int>{100, 100}));
    EXPECT_EQ(view.busyDepth, 0);
    EXPECT_GE(view.maxBusyDepth, 1);
}

TEST_F(DialogTest, AKeypadUnpluggedAfterStartUpIsReportedOnTheFirstRefresh) {
    AddKeypad("/k1", 0x10);
    dlg.OnInitDialog();
    ASSERT_TRUE(view.messages.empty());
    EXPECT_FALSE(dlg.QuietStart());

    FakePlatform empty;
    DevSetPlatform(&empty);
    dlg.OnNext();
    const KeyAssignments before = dlg.Assignments();
    const std::string label = view.texts[kIdKey2Label];
    dlg.OnCommand(kIdRefresh);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Couldn't find device!\nPlease try again!");
    EXPECT_EQ(view.messages[0].caption, "quillpad-config");
    EXPECT_EQ(view.messages[0].type, 0x14u);
    EXPECT_EQ(dlg.Assignments(), before);
    EXPECT_EQ(view.texts[kIdKey2Label], label);
    EXPECT_EQ(view.ComboEntryCount(kIdDeviceList), 0);
    DevSetPlatform(&platform);
}

TEST_F(DialogTest, YesRetriesRefreshUntilTheKeypadIsFoundOrNoIsAnswered) {
    Start();
    view.answers = {kAnswerYes, kAnswerYes, kAnswerNo};
    dlg.OnRefresh();
    EXPECT_EQ(view.messages.size(), 3u);
    EXPECT_EQ(platform.Count(FakeOp::kOpenList), 4);  // start-up and three tries

    // Retrying does not nest: every question is asked from the same stack depth.
    view.messages.clear();
    view.stackMarks.clear();
    view.answers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes, kAnswerNo};
    dlg.OnRefresh();
    ASSERT_EQ(view.stackMarks.size(), 5u);
    for (std::uintptr_t mark : view.stackMarks) {
        EXPECT_EQ(mark, view.stackMarks.front());
    }

    // A keypad plugged in while the question is up is read on the next try.
    view.messages.clear();
    view.answers = {kAnswerYes};
    view.onMessage = [this] {
        AddKeypad("/k1", 0x10);
        platform.Keypad("/k1").Memory()[15] = kEntryKeyboard;  // key 3: A
        platform.Keypad("/k1").Memory()[15 + 3] = 0x04;
    };
    dlg.OnRefresh();
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(KeyByNumber(dlg.Assignments(), 3).vk, 0x41);
    EXPECT_EQ(view.texts[kIdKey3Label], "a");
}

TEST_F(DialogTest, ReadFailureIsReportedAndKeepsTheKeys) {
    AddKeypad("/k1", 0x10);
    platform.Fail(FakeOp::kGetFeature);
    dlg.OnInitDialog();  // quiet start does not silence this
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Read Failed !");
    EXPECT_EQ(view.messages[0].caption, "quillpad-config");
    EXPECT_EQ(view.messages[0].type, 0x10u);
    EXPECT_EQ(dlg.Assignments(), KeyAssignments{});
}

TEST_F(DialogTest, TwoKeypadsAreListedAndTheFirstIsRead) {
    AddKeypad("/k1", 0x10);
    AddKeypad("/k2", 0x20);
    platform.Keypad("/k1").Memory()[45 + 3] = 0x3E;  // key 1: F5
    platform.Keypad("/k2").Memory()[45 + 3] = 0x3F;  // key 1: F6
    Start();
    view.SelectComboEntry(kIdDeviceList, 1);
    EXPECT_EQ(view.combos[kIdDeviceList],
              (std::vector<std::string>{"USB Quillpad 01", "USB Quillpad 02"}));
    EXPECT_EQ(KeyByNumber(dlg.Assignments(), 1).vk, 0x74);
    dlg.OnWriteDevice();
    EXPECT_EQ(view.messages.back().text, "Setting successfully !");
    EXPECT_EQ(platform.Keypad("/k2").Memory()[45 + 3], 0x3F);  // the second is never written
}

TEST_F(DialogTest, OkWithoutAKeypadAsksToPlugOneIn) {
    Start();
    dlg.OnWriteDevice();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Please plug device first!");
    EXPECT_EQ(view.messages[0].caption, "Information");
    EXPECT_EQ(view.messages[0].type, 0x40u);
    EXPECT_EQ(platform.Count(FakeOp::kWriteReport), 0);
}

TEST_F(DialogTest, OkWritesTheWholeBlockAndReports) {
    AddKeypad("/k1", 0x10);
    Start();
    dlg.OnNext();
    dlg.OnNext();
    view.focus = kIdKeyEdit;
    Press(0x11);
    Press(0x74, KeyLParam(0x3F));
    dlg.OnCommand(kIdOk);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Setting successfully !");
    EXPECT_EQ(view.messages[0].caption, "quillpad-config");
    EXPECT_EQ(view.messages[0].type, 0x30u);  // no icon given: the exclamation is added
    const auto& memory = platform.Keypad("/k1").Memory();
    const ConfigBlock expected = EncodeConfigBlock(dlg.Assignments());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), memory.begin()));
    EXPECT_EQ(memory[15], 0x01);
    EXPECT_EQ(memory[16], 0x01);
    EXPECT_EQ(memory[18], 0x3E);
    EXPECT_EQ(view.combos[kIdDeviceList], std::vector<std::string>{"USB Quillpad 01"});
}

TEST_F(DialogTest, WriteFailureIsReported) {
    AddKeypad("/k1", 0x10);
    Start();
    platform.Fail(FakeOp::kWriteReport);
    dlg.OnWriteDevice();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Setting Failed !");
    EXPECT_EQ(view.messages[0].type, 0x10u);
}

}  // namespace
}  // namespace quillpad::testing
