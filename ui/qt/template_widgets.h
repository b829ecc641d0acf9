// Builds a dialog's controls from its template, at pixel positions from the dialog font.
#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "dialog_units.h"
#include "keypad_template.h"

namespace quillpad {

struct BuiltControl {
    const ControlTemplate* source;
    QWidget* widget;
};

// Sets the dialog's font, title and fixed client size, and creates every control as a direct
// child. The property "controlId" of each widget holds its id.
std::vector<BuiltControl> BuildDialog(QWidget& dialog, const DialogTemplate& dialogTemplate);

// The id a widget was built with, or kIdStatic.
int ControlIdOf(const QWidget* widget);

}  // namespace quillpad
