#include "dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace quillpad {
namespace {

// Named so the layout does not depend on what fontconfig substitutes for a missing face.
constexpr const char* kFallbackFace = "DejaVu Sans";

}  // namespace

QFont ResolveDialogFont(const char* face, int pointSize) {
    const QString wanted = QString::fromUtf8(face);
    const QStringList families = QFontDatabase::families();
    QFont font(families.contains(wanted) ? wanted : QString::fromLatin1(kFallbackFace));
    font.setPointSize(pointSize);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
}

}  // namespace quillpad
