#include "accessible_picture.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace quillpad {
namespace {

constexpr const char* kRoleProperty = "accessiblePictureRole";
constexpr const char* kSelectedProperty = "accessibleSelected";

class PictureInterface : public QAccessibleWidget {
  public:
    PictureInterface(QWidget* w, PictureRole role)
        : QAccessibleWidget(
              w, role == PictureRole::kKey ? QAccessible::RadioButton : QAccessible::Button),
          role_(role) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (role_ == PictureRole::kKey) {
            // Only the current key's highlight is drawn, but every key is on the keypad
            // picture: none is hidden from a screen reader.
            s.invisible = false;
            s.offscreen = false;
            const bool selected = widget()->property(kSelectedProperty).toBool();
            s.checkable = true;
            s.checked = selected;
            s.selectable = true;
            s.selected = selected;
        }
        return s;
    }

  private:
    PictureRole role_;
};

QAccessibleInterface* PictureFactory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (w == nullptr) {
        return nullptr;
    }
    const QVariant role = w->property(kRoleProperty);
    if (!role.isValid()) {
        return nullptr;
    }
    return new PictureInterface(w, static_cast<PictureRole>(role.toInt()));
}

}  // namespace

void MakeAccessiblePicture(QWidget& picture, PictureRole role) {
    static const bool installed = [] {
        QAccessible::installFactory(&PictureFactory);
        return true;
    }();
    (void)installed;
    picture.setProperty(kRoleProperty, static_cast<int>(role));
}

void SetPictureSelected(QWidget& picture, bool selected) {
    if (picture.property(kSelectedProperty).toBool() == selected) {
        return;
    }
    picture.setProperty(kSelectedProperty, selected);
    QAccessible::State changed;
    changed.checked = true;
    changed.selected = true;
    QAccessibleStateChangeEvent event(&picture, changed);
    QAccessible::updateAccessibility(&event);
}

}  // namespace quillpad
