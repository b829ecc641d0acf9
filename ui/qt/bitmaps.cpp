#include "bitmaps.h"

#include <QFile>
#include <QString>

#include "keypad_template.h"

// The artwork lives in this static library; register it before the first lookup.
static void InitArtwork() {
    Q_INIT_RESOURCE(artwork);
}

namespace quillpad {
namespace {

// The artwork is compiled in as ":/res/<name>.png", under the names keypad_layout.h gives.
QString ResourcePath(int resourceId, const QString& suffix = {}) {
    static const bool registered = (InitArtwork(), true);
    (void)registered;
    const char* name = PictureName(resourceId);
    if (name == nullptr) {
        return {};
    }
    const QString path = QStringLiteral(":/res/%1%2.png").arg(QString::fromUtf8(name), suffix);
    return QFile::exists(path) ? path : QString();
}

// Where the pointer's tip lies in the open-keyboard pointer.
constexpr int kCursorHotX = 1;
constexpr int kCursorHotY = 1;

}  // namespace

QPixmap LoadBitmap(int resourceId) {
    const QString path = ResourcePath(resourceId);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QIcon LoadAppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = ResourcePath(kIconResource, QStringLiteral("-%1").arg(size));
        if (!path.isEmpty()) {
            icon.addFile(path, QSize(size, size));
        }
    }
    return icon;
}

QCursor LoadOpenKeyboardCursor() {
    const QPixmap pixmap = LoadBitmap(kOpenKeyboardCursorResource);
    if (pixmap.isNull()) {
        return QCursor(Qt::PointingHandCursor);
    }
    return QCursor(pixmap, kCursorHotX, kCursorHotY);
}

}  // namespace quillpad
