/* The configuration window and the help window, written once: every picture with its file
   name, and every control with its kind, text, picture, place and size in dialog units.
   keypad_template.cpp turns it into the views' C++ tables (KeypadTemplate, HelpTemplate,
   Pictures), the resource script keypad.rc into the Windows dialog templates and picture
   resources, and res/render.sh reads the pictures' names and the lit pictures' rectangles
   from it. Each reader defines the macro it passes as PICTURE or CONTROL.

   Plain preprocessor only, one row a line: the resource compiler and render.sh read it too.

   QUILLPAD_PICTURES(PICTURE) rows: PICTURE(resource, KIND, "name")
     KIND is BITMAP, ICON or CURSOR; the files are res/png/name.png (Qt) and
     res/win/name.bmp, .ico or .cur (Windows); an icon's PNGs are name-<size>.png.
   QUILLPAD_..._CONTROLS(CONTROL) rows, in creation order (bottom to top):
     CONTROL(id, Kind, "text", picture, x, y, width, height, Shown|Hidden, Tab|NoTab, "name")
     Kind names a ControlKind without its k; picture is a resource of a Picture, else 0;
     Tab makes the control a tab stop (Tab visits them in row order); name is what a screen
     reader calls the control, "" for its text (the window adds a key label's text to its
     name: "Key 1: Ctrl+F5").
   A new property of every control is one more argument of each row, of ControlTemplate, and
   of the CONTROL macros of keypad_template.cpp and keypad.rc. */
#ifndef QUILLPAD_KEYPAD_LAYOUT_H
#define QUILLPAD_KEYPAD_LAYOUT_H

#include "resource_ids.h"

#define QUILLPAD_PICTURES(PICTURE)                      \
    PICTURE(IDI_APP, ICON, "icon")                      \
    PICTURE(IDR_OPEN_KEYBOARD_CURSOR, CURSOR, "cursor") \
    PICTURE(IDB_KEY1_LIT, BITMAP, "key1-lit")           \
    PICTURE(IDB_KEY2_LIT, BITMAP, "key2-lit")           \
    PICTURE(IDB_KEY3_LIT, BITMAP, "key3-lit")           \
    PICTURE(IDB_KEY4_LIT, BITMAP, "key4-lit")           \
    PICTURE(IDB_KEY5_LIT, BITMAP, "key5-lit")           \
    PICTURE(IDB_KEY6_LIT, BITMAP, "key6-lit")           \
    PICTURE(IDB_DECORATION, BITMAP, "deco")             \
    PICTURE(IDB_LAMP_LIT, BITMAP, "lamp-lit")           \
    PICTURE(IDB_KEYPAD, BITMAP, "keypad")               \
    PICTURE(IDB_HELP, BITMAP, "help")                   \
    PICTURE(IDB_KEYBOARD, BITMAP, "keyboard")

/* The configuration window (IDD_KEYPAD). Its caption is fixed text, not the program's version. */
#define QUILLPAD_KEYPAD_CAPTION "Quillpad V1.3"
#define QUILLPAD_KEYPAD_SIZE 359, 321
#define QUILLPAD_KEYPAD_FONT_FACE "宋体"
#define QUILLPAD_KEYPAD_FONT_POINTS 9
#define QUILLPAD_KEYPAD_CONTROLS(CONTROL)                                                          \
    CONTROL(IDC_KEYPAD_PICTURE, Picture, "", IDB_KEYPAD, 0, 0, 363, 303, Shown, NoTab, "")         \
    CONTROL(IDC_DEVICE_CAPTION, Text, "Device", 0, 7, 13, 25, 9, Shown, NoTab, "")                 \
    CONTROL(IDC_DEVICE_LIST, ComboList, "", 0, 38, 10, 110, 56, Shown, Tab, "Device")              \
    CONTROL(IDC_KEY1_PICTURE, Picture, "", IDB_KEY1_LIT, 151, 67, 21, 20, Shown, NoTab, "Key 1")   \
    CONTROL(IDC_KEY2_PICTURE, Picture, "", IDB_KEY2_LIT, 151, 98, 21, 18, Shown, NoTab, "Key 2")   \
    CONTROL(IDC_KEY3_PICTURE, Picture, "", IDB_KEY3_LIT, 150, 127, 21, 21, Shown, NoTab, "Key 3")  \
    CONTROL(IDC_KEY4_PICTURE, Picture, "", IDB_KEY4_LIT, 185, 67, 20, 21, Shown, NoTab, "Key 4")   \
    CONTROL(IDC_KEY5_PICTURE, Picture, "", IDB_KEY5_LIT, 185, 97, 21, 21, Shown, NoTab, "Key 5")   \
    CONTROL(IDC_KEY6_PICTURE, Picture, "", IDB_KEY6_LIT, 184, 127, 21, 21, Shown, NoTab, "Key 6")  \
    CONTROL(IDC_INDICATOR, Picture, "", IDB_LAMP_LIT, 173, 39, 11, 12, Shown, NoTab, "")           \
    CONTROL(IDC_KEY1_LABEL, Text, "key1", 0, 25, 71, 103, 10, Shown, NoTab, "Key 1")               \
    CONTROL(IDC_KEY2_LABEL, Text, "key2", 0, 25, 100, 104, 10, Shown, NoTab, "Key 2")              \
    CONTROL(IDC_KEY3_LABEL, Text, "key3", 0, 25, 132, 104, 10, Shown, NoTab, "Key 3")              \
    CONTROL(IDC_KEY4_LABEL, Text, "key4", 0, 220, 71, 105, 10, Shown, NoTab, "Key 4")              \
    CONTROL(IDC_KEY5_LABEL, Text, "key5", 0, 220, 101, 105, 10, Shown, NoTab, "Key 5")             \
    CONTROL(IDC_KEY6_LABEL, Text, "key6", 0, 220, 132, 105, 10, Shown, NoTab, "Key 6")             \
    CONTROL(IDC_KEY_SETTING_GROUP, GroupBox, "Key Setting", 0, 14, 193, 329, 93, Shown, NoTab, "") \
    CONTROL(IDC_FUNCTION_CAPTION, Text, "the key function is:", 0, 22, 212, 82, 9, Shown, NoTab,   \
            "")                                                                                    \
    CONTROL(IDC_KEY_EDIT, Edit, "", 0, 112, 209, 222, 14, Shown, Tab, "Key function")              \
    CONTROL(IDC_ALT, CheckBox, "Alt", 0, 26, 230, 33, 12, Shown, Tab, "")                          \
    CONTROL(IDC_CTRL, CheckBox, "Ctrl", 0, 73, 230, 29, 12, Shown, Tab, "")                        \
    CONTROL(IDC_WINDOWS, CheckBox, "Windows", 0, 119, 230, 43, 12, Shown, Tab, "")                 \
    CONTROL(IDC_SHIFT, CheckBox, "Shift", 0, 174, 230, 32, 12, Shown, Tab, "")                     \
    CONTROL(IDC_APPLICATION, CheckBox, "Application", 0, 227, 230, 60, 12, Shown, Tab, "")         \
    CONTROL(IDC_MOUSE_LEFT, CheckBox, "MouseLeft", 0, 26, 248, 52, 10, Shown, Tab, "")             \
    CONTROL(IDC_MOUSE_MIDDLE, CheckBox, "MouseMiddle", 0, 119, 248, 60, 10, Shown, Tab, "")        \
    CONTROL(IDC_MOUSE_RIGHT, CheckBox, "MouseRight", 0, 227, 248, 56, 10, Shown, Tab, "")          \
    CONTROL(IDC_BACK, Button, "&Back", 0, 104, 263, 39, 15, Shown, Tab, "")                        \
    CONTROL(IDC_RESET, Button, "&Reset", 0, 149, 263, 39, 15, Shown, Tab, "")                      \
    CONTROL(IDC_NEXT, Button, "&Next", 0, 194, 263, 39, 15, Shown, Tab, "")                        \
    CONTROL(IDC_UNADDRESSED, Picture, "", IDB_DECORATION, 290, 229, 10, 11, Shown, NoTab, "")      \
    CONTROL(IDC_OPEN_KEYBOARD_PICTURE, Picture, "", IDB_KEYBOARD, 250, 264, 53, 13, Shown, Tab,    \
            "On-screen keyboard")                                                                  \
    CONTROL(IDC_HELP_PICTURE, Picture, "", IDB_HELP, 314, 260, 21, 21, Shown, Tab, "Help")         \
    CONTROL(IDC_OK, DefaultButton, "&OK", 0, 104, 300, 51, 14, Shown, Tab, "")                     \
    CONTROL(IDC_REFRESH, Button, "&Refresh", 0, 182, 300, 51, 14, Shown, Tab, "")                  \
    CONTROL(IDC_OPEN_OSK_TEXT, Text, "Open Osk", 0, 250, 280, 53, 8, Hidden, NoTab, "")            \
    CONTROL(IDC_TITLE_TEXT, Text, "Quillpad", 0, 7, 290, 60, 8, Hidden, NoTab, "")

/* What a screen reader says about the key function field besides its name, while it waits
   for keys and while it records; the help window says the same. */
#define QUILLPAD_FIELD_HINT                                                          \
    "In the key function field a key combination goes to the selected key. Tab and " \
    "Shift+Tab leave the field, Alt with an underlined letter presses that button, " \
    "Enter records the next combination whatever it is (Tab, Enter, Escape too)."
#define QUILLPAD_RECORDING_HINT                                                      \
    "Recording: the next key combination is given to the key, whatever it is. Then " \
    "Tab leaves the field."

/* The help window (IDD_HELP). */
#define QUILLPAD_HELP_CAPTION "Help"
#define QUILLPAD_HELP_SIZE 193, 171
#define QUILLPAD_HELP_FONT_FACE "System"
#define QUILLPAD_HELP_FONT_POINTS 10
#define QUILLPAD_HELP_TEXT                                                                  \
    "  Click the key of quillpad on the interface, then choose any keys according to the "  \
    "your need from the computer keyboard in KeySetting, in order to replace the function " \
    "of the very key chosen before when using the quillpad."
#define QUILLPAD_HELP_CONTROLS(CONTROL)                                                           \
    CONTROL(IDC_HELP_OK, DefaultButton, "OK", 0, 131, 144, 50, 14, Shown, Tab, "")                \
    CONTROL(IDC_HELP_TEXT, WrappedText, QUILLPAD_HELP_TEXT, 0, 10, 10, 172, 73, Shown, NoTab, "") \
    CONTROL(IDC_HELP_KEYBOARD_TEXT, WrappedText, "  Keyboard: " QUILLPAD_FIELD_HINT, 0, 10, 84,   \
            172, 56, Shown, NoTab, "")

#endif
