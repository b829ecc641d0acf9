/* The numbers of the window's resources and controls, written once for the C++ views
   (through control_ids.h and keypad_template.h), the window's layout (keypad_layout.h), the
   Windows resource script (keypad.rc) and scripts/windows-check, which finds the running
   program's controls by them. Plain #defines only: the resource compiler reads nothing else. */
#ifndef QUILLPAD_RESOURCE_IDS_H
#define QUILLPAD_RESOURCE_IDS_H

/* Dialog templates. */
#define IDD_KEYPAD 102 /* the configuration window */
#define IDD_HELP 146   /* the help window */

/* Icon, pointer and pictures. */
#define IDI_APP 128
#define IDR_OPEN_KEYBOARD_CURSOR 149
#define IDB_KEY1_LIT 131 /* keys 1 to 6, highlighted */
#define IDB_KEY2_LIT 133
#define IDB_KEY3_LIT 134
#define IDB_KEY4_LIT 135
#define IDB_KEY5_LIT 136
#define IDB_KEY6_LIT 137
#define IDB_DECORATION 138
#define IDB_LAMP_LIT 139
#define IDB_KEYPAD 141 /* the picture that fills the window */
#define IDB_HELP 145
#define IDB_KEYBOARD 148

/* Controls of the configuration window. */
#define IDC_KEYPAD_PICTURE 1000
#define IDC_KEY1_PICTURE 1003 /* highlight pictures of keys 1 to 6 */
#define IDC_KEY2_PICTURE 1004
#define IDC_OPEN_OSK_TEXT 1005 /* hidden */
#define IDC_KEY3_PICTURE 1006
#define IDC_KEY4_PICTURE 1007
#define IDC_KEY_SETTING_GROUP 1008
#define IDC_FUNCTION_CAPTION 1009
#define IDC_KEY_EDIT 1010 /* the assignment text; keyboard capture target */
#define IDC_ALT 1011
#define IDC_CTRL 1012
#define IDC_SHIFT 1013
#define IDC_WINDOWS 1014
#define IDC_APPLICATION 1015
#define IDC_BACK 1016
#define IDC_NEXT 1017
#define IDC_OK 1018      /* writes the keypad */
#define IDC_REFRESH 1019 /* reads the keypad */
#define IDC_DEVICE_CAPTION 1020
#define IDC_DEVICE_LIST 1021
#define IDC_KEY1_LABEL 1022 /* labels of keys 1 to 6 */
#define IDC_KEY2_LABEL 1023
#define IDC_KEY3_LABEL 1024
#define IDC_KEY4_LABEL 1026
#define IDC_KEY5_LABEL 1027
#define IDC_KEY6_LABEL 1028
#define IDC_KEY5_PICTURE 1029
#define IDC_KEY6_PICTURE 1030
#define IDC_INDICATOR 1032 /* lamp that blinks when a key is selected */
#define IDC_HELP_PICTURE 1034
#define IDC_TITLE_TEXT 1036 /* hidden */
#define IDC_OPEN_KEYBOARD_PICTURE 1038
#define IDC_MOUSE_LEFT 1039
#define IDC_MOUSE_MIDDLE 1040
#define IDC_MOUSE_RIGHT 1041
#define IDC_RESET 1042
#define IDC_UNADDRESSED (-1) /* a control nobody addresses (the decoration) */

/* Controls of the help window. */
#define IDC_HELP_OK 1 /* the dialog manager's OK */
#define IDC_HELP_TEXT 1035

#endif
