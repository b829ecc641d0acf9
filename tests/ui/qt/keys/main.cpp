#include <gtest/gtest.h>

#include <QGuiApplication>

#include "key_names.h"

// The key tests run without a display and with a fixed US keymap, so that names do not
// depend on the machine's keyboard settings.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    quillpad::UseKeymapLayout("us");
    return RUN_ALL_TESTS();
}
