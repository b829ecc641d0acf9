#include "message_box.h"

#include <QMessageBox>
#include <QString>

#include "keypad_view.h"

namespace quillpad {

int RunMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                  unsigned type) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & kMbIconMask) {
        case kMbIconStop:
            icon = QMessageBox::Critical;
            break;
        case kMbIconQuestion:
            icon = QMessageBox::Question;
            break;
        case kMbIconExclamation:
            icon = QMessageBox::Warning;
            break;
        case kMbIconInformation:
            icon = QMessageBox::Information;
            break;
        default:
            break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (type & kMbButtonsMask) {
        case kMbOkCancel:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case kMbYesNoCancel:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        case kMbYesNo:
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
        default:
            break;
    }
    QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), buttons,
                    parent);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        case QMessageBox::Cancel:
            return kAnswerCancel;
        default:
            return kAnswerOk;
    }
}

}  // namespace quillpad
