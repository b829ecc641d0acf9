// CHelpDlg: the help window (template 146), a short text and an OK button.
#pragma once

#include <QDialog>

namespace quillpad {

class CHelpDlg : public QDialog {
public:
    CHelpDlg();
};

}  // namespace quillpad
