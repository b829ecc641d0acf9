#include "help_dlg.h"

#include <QPushButton>

#include "control_ids.h"
#include "template_widgets.h"

namespace quillpad {

CHelpDlg::CHelpDlg() {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    for (const BuiltControl& c : BuildDialog(*this, HelpTemplate())) {
        if (c.source->id == kIdHelpOk) {
            auto* ok = static_cast<QPushButton*>(c.widget);
            connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        }
    }
}

}  // namespace quillpad
