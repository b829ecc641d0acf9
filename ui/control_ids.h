// Control ids of the configuration window (template 102) and the help window (template 146).
#pragma once

namespace quillpad {

// Template 102: the configuration window.
inline constexpr int kIdKeypadPicture = 1000;   // picture of the whole keypad
inline constexpr int kIdKey1Picture = 1003;     // highlight pictures of keys 1 to 6
inline constexpr int kIdKey2Picture = 1004;
inline constexpr int kIdOpenOskText = 1005;     // hidden
inline constexpr int kIdKey3Picture = 1006;
inline constexpr int kIdKey4Picture = 1007;
inline constexpr int kIdKeySettingGroup = 1008;
inline constexpr int kIdFunctionCaption = 1009;
inline constexpr int kIdKeyEdit = 1010;         // the assignment text; keyboard capture target
inline constexpr int kIdAlt = 1011;
inline constexpr int kIdCtrl = 1012;
inline constexpr int kIdShift = 1013;
inline constexpr int kIdWindows = 1014;
inline constexpr int kIdApplication = 1015;
inline constexpr int kIdBack = 1016;
inline constexpr int kIdNext = 1017;
inline constexpr int kIdOk = 1018;              // writes the keypad
inline constexpr int kIdRefresh = 1019;         // reads the keypad
inline constexpr int kIdDeviceCaption = 1020;
inline constexpr int kIdDeviceList = 1021;
inline constexpr int kIdKey1Label = 1022;       // labels of keys 1 to 6
inline constexpr int kIdKey2Label = 1023;
inline constexpr int kIdKey3Label = 1024;
inline constexpr int kIdKey4Label = 1026;
inline constexpr int kIdKey5Label = 1027;
inline constexpr int kIdKey6Label = 1028;
inline constexpr int kIdKey5Picture = 1029;
inline constexpr int kIdKey6Picture = 1030;
inline constexpr int kIdIndicator = 1032;       // lamp that blinks when a key is selected
inline constexpr int kIdHelpPicture = 1034;
inline constexpr int kIdTitleText = 1036;       // hidden
inline constexpr int kIdOpenKeyboardPicture = 1038;
inline constexpr int kIdMouseLeft = 1039;
inline constexpr int kIdMouseMiddle = 1040;
inline constexpr int kIdMouseRight = 1041;
inline constexpr int kIdReset = 1042;
inline constexpr int kIdStatic = -1;            // a control nobody addresses (the decoration)

// Template 146: the help window.
inline constexpr int kIdHelpOk = 1;
inline constexpr int kIdHelpText = 1035;

// The blink timer of the indicator.
inline constexpr int kBlinkTimerId = 111;
inline constexpr int kBlinkPeriodMs = 200;

// Label and highlight picture of key k are element k-1.
inline constexpr int kKeyLabelIds[6] = {kIdKey1Label, kIdKey2Label, kIdKey3Label,
                                        kIdKey4Label, kIdKey5Label, kIdKey6Label};
inline constexpr int kKeyPictureIds[6] = {kIdKey1Picture, kIdKey2Picture, kIdKey3Picture,
                                          kIdKey4Picture, kIdKey5Picture, kIdKey6Picture};

}  // namespace quillpad
