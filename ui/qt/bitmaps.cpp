#include "bitmaps.h"

#include <QFile>
#include <QString>

#include "keypad_template.h"

// The artwork lives in this static library; register it before the first lookup.
static void InitArtwork() {
#ifdef QUILLPAD_HAVE_ART
    Q_INIT_RESOURCE(resources);
#endif
}

namespace quillpad {
namespace {

// The artwork is compiled in under its resource id.
QString ResourcePath(int resourceId) {
    static const bool registered = (InitArtwork(), true);
    (void)registered;
    const QString id = QString::number(resourceId);
    for (const QString& path : {QStringLiteral(":/%1").arg(id), QStringLiteral(":/res/%1").arg(id),
                                QStringLiteral(":/%1.png").arg(id)}) {
        if (QFile::exists(path)) {
            return path;
        }
    }
    return {};
}

}  // namespace

QPixmap LoadBitmap(int resourceId) {
    const QString path = ResourcePath(resourceId);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QIcon LoadAppIcon() {
    const QString path = ResourcePath(kIconResource);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

QCursor LoadOpenKeyboardCursor() {
    const QPixmap pixmap = LoadBitmap(kOpenKeyboardCursorResource);
    if (pixmap.isNull()) {
        return QCursor(Qt::PointingHandCursor);
    }
    return QCursor(pixmap, 0, 0);
}

}  // namespace quillpad
