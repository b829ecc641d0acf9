#include "keypad_template.h"

#include <algorithm>

#include "keypad_layout.h"

namespace quillpad {
namespace {

// The words of keypad_layout.h's rows.
constexpr bool kShown = true;
constexpr bool kHidden = false;
constexpr bool kTab = true;
constexpr bool kNoTab = false;

#define CPP_CONTROL(id, kind, text, picture, x, y, w, h, shown, tab, name) \
    {id, ControlKind::k##kind, text, picture, x, y, w, h, k##shown, k##tab, name},
constexpr PictureKind kBITMAP = PictureKind::kBitmap;
constexpr PictureKind kICON = PictureKind::kIcon;
constexpr PictureKind kCURSOR = PictureKind::kCursor;
#define CPP_PICTURE(resource, kind, name) {resource, k##kind, name},

constexpr ControlTemplate kKeypadControls[] = {QUILLPAD_KEYPAD_CONTROLS(CPP_CONTROL)};
constexpr ControlTemplate kHelpControls[] = {QUILLPAD_HELP_CONTROLS(CPP_CONTROL)};
constexpr PictureResource kPictures[] = {QUILLPAD_PICTURES(CPP_PICTURE)};

constexpr DialogTemplate kKeypad{QUILLPAD_KEYPAD_CAPTION, QUILLPAD_KEYPAD_SIZE,
                                 QUILLPAD_KEYPAD_FONT_FACE, QUILLPAD_KEYPAD_FONT_POINTS,
                                 kKeypadControls};
constexpr DialogTemplate kHelp{QUILLPAD_HELP_CAPTION, QUILLPAD_HELP_SIZE, QUILLPAD_HELP_FONT_FACE,
                               QUILLPAD_HELP_FONT_POINTS, kHelpControls};

}  // namespace

const DialogTemplate& KeypadTemplate() {
    return kKeypad;
}
const DialogTemplate& HelpTemplate() {
    return kHelp;
}

const char* const kFieldHint = QUILLPAD_FIELD_HINT;
const char* const kRecordingHint = QUILLPAD_RECORDING_HINT;

const char* AccessibleName(int id) {
    const auto it = std::find_if(
        std::begin(kKeypadControls), std::end(kKeypadControls),
        [id](const ControlTemplate& c) { return c.id == id && id != IDC_UNADDRESSED; });
    return it == std::end(kKeypadControls) ? "" : it->name;
}

std::span<const PictureResource> Pictures() {
    return kPictures;
}

const char* PictureName(int resource) {
    const auto it =
        std::find_if(std::begin(kPictures), std::end(kPictures),
                     [resource](const PictureResource& p) { return p.resource == resource; });
    return it == std::end(kPictures) ? nullptr : it->name;
}

}  // namespace quillpad
