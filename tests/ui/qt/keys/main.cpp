#include <gtest/gtest.h>

#include <QGuiApplication>

#include "layout_keymap.h"

// The key tests run without a display and with a fixed US keymap, so that names do not
// depend on the machine's keyboard settings.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    const auto us = quillpad::MakeNamedLayoutKeymap("us");
    quillpad::SetLayoutKeymap(us.get());
    const int status = RUN_ALL_TESTS();
    quillpad::SetLayoutKeymap(nullptr);
    return status;
}
