// The program's pictures, cursor and icon, by resource id.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace quillpad {

// A null pixmap when the resource is missing.
QPixmap LoadBitmap(int resourceId);
QIcon LoadAppIcon();
// Falls back to the pointing hand when the resource is missing.
QCursor LoadOpenKeyboardCursor();

}  // namespace quillpad
