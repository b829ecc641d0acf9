// Control ids of the configuration window and the help window, as C++ constants. The numbers
// live in resource_ids.h, which the Windows resource script reads too.
#pragma once

#include "resource_ids.h"

namespace quillpad {

// The configuration window.
inline constexpr int kIdKeypadPicture = IDC_KEYPAD_PICTURE;
inline constexpr int kIdKey1Picture = IDC_KEY1_PICTURE;
inline constexpr int kIdKey2Picture = IDC_KEY2_PICTURE;
inline constexpr int kIdOpenOskText = IDC_OPEN_OSK_TEXT;
inline constexpr int kIdKey3Picture = IDC_KEY3_PICTURE;
inline constexpr int kIdKey4Picture = IDC_KEY4_PICTURE;
inline constexpr int kIdKeySettingGroup = IDC_KEY_SETTING_GROUP;
inline constexpr int kIdFunctionCaption = IDC_FUNCTION_CAPTION;
inline constexpr int kIdKeyEdit = IDC_KEY_EDIT;
inline constexpr int kIdAlt = IDC_ALT;
inline constexpr int kIdCtrl = IDC_CTRL;
inline constexpr int kIdShift = IDC_SHIFT;
inline constexpr int kIdWindows = IDC_WINDOWS;
inline constexpr int kIdApplication = IDC_APPLICATION;
inline constexpr int kIdBack = IDC_BACK;
inline constexpr int kIdNext = IDC_NEXT;
inline constexpr int kIdOk = IDC_OK;
inline constexpr int kIdRefresh = IDC_REFRESH;
inline constexpr int kIdDeviceCaption = IDC_DEVICE_CAPTION;
inline constexpr int kIdDeviceList = IDC_DEVICE_LIST;
inline constexpr int kIdKey1Label = IDC_KEY1_LABEL;
inline constexpr int kIdKey2Label = IDC_KEY2_LABEL;
inline constexpr int kIdKey3Label = IDC_KEY3_LABEL;
inline constexpr int kIdKey4Label = IDC_KEY4_LABEL;
inline constexpr int kIdKey5Label = IDC_KEY5_LABEL;
inline constexpr int kIdKey6Label = IDC_KEY6_LABEL;
inline constexpr int kIdKey5Picture = IDC_KEY5_PICTURE;
inline constexpr int kIdKey6Picture = IDC_KEY6_PICTURE;
inline constexpr int kIdIndicator = IDC_INDICATOR;
inline constexpr int kIdHelpPicture = IDC_HELP_PICTURE;
inline constexpr int kIdTitleText = IDC_TITLE_TEXT;
inline constexpr int kIdOpenKeyboardPicture = IDC_OPEN_KEYBOARD_PICTURE;
inline constexpr int kIdMouseLeft = IDC_MOUSE_LEFT;
inline constexpr int kIdMouseMiddle = IDC_MOUSE_MIDDLE;
inline constexpr int kIdMouseRight = IDC_MOUSE_RIGHT;
inline constexpr int kIdReset = IDC_RESET;
inline constexpr int kIdStatic = IDC_UNADDRESSED;

// The help window.
inline constexpr int kIdHelpOk = IDC_HELP_OK;
inline constexpr int kIdHelpText = IDC_HELP_TEXT;
inline constexpr int kIdHelpKeyboardText = IDC_HELP_KEYBOARD_TEXT;

// The blink timer of the indicator.
inline constexpr int kBlinkTimerId = 111;
inline constexpr int kBlinkPeriodMs = 200;

// Label and highlight picture of key k are element k-1.
inline constexpr int kKeyLabelIds[6] = {kIdKey1Label, kIdKey2Label, kIdKey3Label,
                                        kIdKey4Label, kIdKey5Label, kIdKey6Label};
inline constexpr int kKeyPictureIds[6] = {kIdKey1Picture, kIdKey2Picture, kIdKey3Picture,
                                          kIdKey4Picture, kIdKey5Picture, kIdKey6Picture};

}  // namespace quillpad
