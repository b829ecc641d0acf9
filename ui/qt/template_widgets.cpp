#include "template_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>
#include <algorithm>
#include <iterator>

#include "accessible_picture.h"
#include "bitmaps.h"
#include "control_ids.h"

namespace quillpad {
namespace {

constexpr const char* kIdProperty = "controlId";

QWidget* MakeWidget(const ControlTemplate& c, QWidget& parent) {
    const QString text = QString::fromUtf8(c.text);
    switch (c.kind) {
        case ControlKind::kPicture: {
            auto* picture = new QLabel(&parent);
            picture->setPixmap(LoadBitmap(c.resource));
            picture->setScaledContents(true);
            const auto* keys =
                std::find(std::begin(kKeyPictureIds), std::end(kKeyPictureIds), c.id);
            if (keys != std::end(kKeyPictureIds)) {
                MakeAccessiblePicture(*picture, PictureRole::kKey);
            } else if (c.tabStop) {
                // Tab reaches it and Space or Enter opens what a click opens; a dotted
                // frame shows the focus.
                MakeAccessiblePicture(*picture, PictureRole::kButton);
                picture->setStyleSheet("QLabel:focus { border: 1px dotted black; }");
            }
            return picture;
        }
        case ControlKind::kText:
        case ControlKind::kWrappedText: {
            auto* label = new QLabel(text, &parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(c.kind == ControlKind::kWrappedText);
            return label;
        }
        case ControlKind::kComboList: {
            auto* combo = new QComboBox(&parent);
            combo->setEditable(false);
            return combo;
        }
        case ControlKind::kGroupBox:
            return new QGroupBox(text, &parent);
        case ControlKind::kEdit:
            return new QLineEdit(&parent);
        case ControlKind::kCheckBox:
            return new QCheckBox(text, &parent);
        case ControlKind::kButton:
        case ControlKind::kDefaultButton: {
            auto* button = new QPushButton(text, &parent);
            // Enter presses the button with the focus, else the default one.
            button->setAutoDefault(true);
            button->setDefault(c.kind == ControlKind::kDefaultButton);
            return button;
        }
    }
    return nullptr;
}

}  // namespace

std::vector<BuiltControl> BuildDialog(QWidget& dialog, const DialogTemplate& t) {
    const QFont font = ResolveDialogFont(t.fontFace, t.pointSize);
    dialog.setFont(font);
    dialog.setWindowTitle(QString::fromUtf8(t.title));
    const DialogUnits units(font);
    dialog.setFixedSize(units.X(t.width), units.Y(t.height));

    std::vector<BuiltControl> built;
    QLabel* caption = nullptr;  // the text just before, which names a list or field after it
    for (const ControlTemplate& c : t.controls) {
        QWidget* widget = MakeWidget(c, dialog);
        widget->setProperty(kIdProperty, c.id);
        if (c.name[0] != '\0') {
            widget->setAccessibleName(QString::fromUtf8(c.name));
        }
        // Tab visits the template's tab stops in order; the others take the focus only when
        // clicked, or not at all.
        if (c.tabStop && widget->focusPolicy() == Qt::NoFocus) {
            widget->setFocusPolicy(Qt::TabFocus);
        } else if (!c.tabStop) {
            widget->setFocusPolicy(
                static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
        }
        QRect rect = units.Rect(c);
        if (c.kind == ControlKind::kComboList) {
            // The template's height includes the dropped-down list.
            rect.setHeight(widget->sizeHint().height());
        }
        widget->setGeometry(rect);
        widget->setVisible(c.visible);
        built.push_back({&c, widget});
        if (caption != nullptr &&
            (c.kind == ControlKind::kComboList || c.kind == ControlKind::kEdit)) {
            caption->setBuddy(widget);  // screen readers: the field is labelled by the text
        }
        caption = c.kind == ControlKind::kText ? static_cast<QLabel*>(widget) : nullptr;
    }
    return built;
}

int ControlIdOf(const QWidget* widget) {
    if (widget == nullptr) {
        return kIdStatic;
    }
    const QVariant id = widget->property(kIdProperty);
    return id.isValid() ? id.toInt() : kIdStatic;
}

}  // namespace quillpad
