// Dialog units to pixels, from the font the dialog is actually shown with.
#pragma once

#include <QFont>
#include <QRect>

#include "keypad_template.h"

namespace quillpad {

// The font a template names, or a Linux sans font when that face is not installed.
QFont ResolveDialogFont(const char* face, int pointSize);

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    int X(int dlu) const { return (dlu * baseX_ + 2) / 4; }
    int Y(int dlu) const { return (dlu * baseY_ + 4) / 8; }
    QRect Rect(const ControlTemplate& c) const {
        return QRect(X(c.x), Y(c.y), X(c.width), Y(c.height));
    }

  private:
    int baseX_;
    int baseY_;
};

}  // namespace quillpad
