#include "on_screen_keyboard.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace quillpad {

bool StartOnScreenKeyboardProgram() {
    for (const char* name : {"onboard", "florence", "matchbox-keyboard"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty()) {
            return QProcess::startDetached(program, {});
        }
    }
    return false;
}

}  // namespace quillpad
