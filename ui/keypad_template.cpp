#include "keypad_template.h"

#include "control_ids.h"

namespace quillpad {
namespace {

using K = ControlKind;

constexpr ControlTemplate kKeypadControls[] = {
    {kIdKeypadPicture, K::kPicture, "", IDB_KEYPAD, 0, 0, 363, 303, true},
    {kIdDeviceCaption, K::kText, "Device", 0, 7, 13, 25, 9, true},
    {kIdDeviceList, K::kComboList, "", 0, 38, 10, 110, 56, true},
    {kIdKey1Picture, K::kPicture, "", IDB_KEY1_LIT, 151, 67, 21, 20, true},
    {kIdKey2Picture, K::kPicture, "", IDB_KEY2_LIT, 151, 98, 21, 18, true},
    {kIdKey3Picture, K::kPicture, "", IDB_KEY3_LIT, 150, 127, 21, 21, true},
    {kIdKey4Picture, K::kPicture, "", IDB_KEY4_LIT, 185, 67, 20, 21, true},
    {kIdKey5Picture, K::kPicture, "", IDB_KEY5_LIT, 185, 97, 21, 21, true},
    {kIdKey6Picture, K::kPicture, "", IDB_KEY6_LIT, 184, 127, 21, 21, true},
    {kIdIndicator, K::kPicture, "", IDB_LAMP_LIT, 173, 39, 11, 12, true},
    {kIdKey1Label, K::kText, "key1", 0, 25, 71, 103, 10, true},
    {kIdKey2Label, K::kText, "key2", 0, 25, 100, 104, 10, true},
    {kIdKey3Label, K::kText, "key3", 0, 25, 132, 104, 10, true},
    {kIdKey4Label, K::kText, "key4", 0, 220, 71, 105, 10, true},
    {kIdKey5Label, K::kText, "key5", 0, 220, 101, 105, 10, true},
    {kIdKey6Label, K::kText, "key6", 0, 220, 132, 105, 10, true},
    {kIdKeySettingGroup, K::kGroupBox, "Key Setting", 0, 14, 193, 329, 93, true},
    {kIdFunctionCaption, K::kText, "the key function is:", 0, 22, 212, 82, 9, true},
    {kIdKeyEdit, K::kEdit, "", 0, 112, 209, 222, 14, true},
    {kIdAlt, K::kCheckBox, "Alt", 0, 26, 230, 33, 12, true},
    {kIdCtrl, K::kCheckBox, "Ctrl", 0, 73, 230, 29, 12, true},
    {kIdWindows, K::kCheckBox, "Windows", 0, 119, 230, 43, 12, true},
    {kIdShift, K::kCheckBox, "Shift", 0, 174, 230, 32, 12, true},
    {kIdApplication, K::kCheckBox, "Application", 0, 227, 230, 60, 12, true},
    {kIdMouseLeft, K::kCheckBox, "MouseLeft", 0, 26, 248, 52, 10, true},
    {kIdMouseMiddle, K::kCheckBox, "MouseMiddle", 0, 119, 248, 60, 10, true},
    {kIdMouseRight, K::kCheckBox, "MouseRight", 0, 227, 248, 56, 10, true},
    {kIdBack, K::kButton, "&Back", 0, 104, 263, 39, 15, true},
    {kIdReset, K::kButton, "&Reset", 0, 149, 263, 39, 15, true},
    {kIdNext, K::kButton, "&Next", 0, 194, 263, 39, 15, true},
    {kIdStatic, K::kPicture, "", IDB_DECORATION, 290, 229, 10, 11, true},
    {kIdOpenKeyboardPicture, K::kPicture, "", IDB_KEYBOARD, 250, 264, 53, 13, true},
    {kIdHelpPicture, K::kPicture, "", IDB_HELP, 314, 260, 21, 21, true},
    {kIdOk, K::kDefaultButton, "&OK", 0, 104, 300, 51, 14, true},
    {kIdRefresh, K::kButton, "&Refresh", 0, 182, 300, 51, 14, true},
    // Two texts that are never shown.
    {kIdOpenOskText, K::kText, "Open Osk", 0, 250, 280, 53, 8, false},
    {kIdTitleText, K::kText, "Quillpad", 0, 7, 290, 60, 8, false},
};

constexpr ControlTemplate kHelpControls[] = {
    {kIdHelpOk, K::kDefaultButton, "OK", 0, 131, 94, 50, 14, true},
    {kIdHelpText, K::kWrappedText,
     "  Click the key of quillpad on the interface, then choose any keys according to the "
     "your need from the computer keyboard in KeySetting, in order to replace the function "
     "of the very key chosen before when using the quillpad.",
     0, 10, 10, 172, 73, true},
};

constexpr DialogTemplate kKeypad{"Quillpad V1.3", 359, 321, "宋体", 9, kKeypadControls};
constexpr DialogTemplate kHelp{"Help", 193, 121, "System", 10, kHelpControls};

}  // namespace

const DialogTemplate& KeypadTemplate() {
    return kKeypad;
}
const DialogTemplate& HelpTemplate() {
    return kHelp;
}

}  // namespace quillpad
