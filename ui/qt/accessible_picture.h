// What a screen reader is told about the window's pictures that act as controls: a key of the
// keypad ("Key 3", selected when it is the key being edited) and the pictures that open the
// on-screen keyboard and the help. Qt describes a QLabel with a picture only as an image.
#pragma once

class QWidget;

namespace quillpad {

enum class PictureRole {
    kKey,     // one of six keys: a radio button, checked and selected when current
    kButton,  // opens something when clicked or activated with Space or Enter
};

// Makes the picture speak as role; installs Qt's accessibility factory on first use.
void MakeAccessiblePicture(QWidget& picture, PictureRole role);
// Marks a key picture as the current key (or not) and tells listening screen readers.
void SetPictureSelected(QWidget& picture, bool selected);

}  // namespace quillpad
