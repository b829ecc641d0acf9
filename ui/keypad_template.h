// The layout of the configuration window (template IDD_KEYPAD) and the help window (template
// IDD_HELP) in dialog units, and the pictures they show, for every view to build its controls
// from. Written once in keypad_layout.h, which the Windows resource script reads too.
#pragma once

#include <span>

#include "resource_ids.h"

namespace quillpad {

enum class ControlKind {
    kPicture,      // a bitmap resource, scaled to its rectangle
    kText,         // static text, one line, no word wrap
    kWrappedText,  // static text broken into lines
    kComboList,    // drop-down list, sorted
    kGroupBox,
    kEdit,      // bordered, scrolls horizontally
    kCheckBox,  // auto check box
    kButton,
    kDefaultButton,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // UTF-8; "&" marks the mnemonic
    int resource;      // bitmap resource of a picture, 0 for none
    int x, y, width, height;
    bool visible;
    bool tabStop;      // Tab moves the focus between these
    const char* name;  // what a screen reader calls it; "" for its text
};

struct DialogTemplate {
    const char* title;
    int width, height;     // client area
    const char* fontFace;  // as the template names it
    int pointSize;
    std::span<const ControlTemplate> controls;  // in creation order (bottom to top)
};

const DialogTemplate& KeypadTemplate();
const DialogTemplate& HelpTemplate();

enum class PictureKind { kBitmap, kIcon, kCursor };

struct PictureResource {
    int resource;
    PictureKind kind;
    const char* name;  // the file name without extension: res/png/<name>.png, res/win/<name>.bmp
};

// What a screen reader calls control id of the configuration window: its name in the layout,
// else "" (the control's text serves).
const char* AccessibleName(int id);
// The key function field's description while it waits for keys and while it records.
extern const char* const kFieldHint;
extern const char* const kRecordingHint;

// Every picture, icon and pointer of the windows.
std::span<const PictureResource> Pictures();
// The file name of a resource ("keypad"), or nullptr for a number that names none.
const char* PictureName(int resource);

// Resources besides the pictures.
inline constexpr int kIconResource = IDI_APP;
inline constexpr int kOpenKeyboardCursorResource = IDR_OPEN_KEYBOARD_CURSOR;
// The picture that fills the window, 545 x 454 pixels.
inline constexpr int kKeypadBitmapResource = IDB_KEYPAD;

}  // namespace quillpad
