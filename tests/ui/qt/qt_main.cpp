// The Qt window's tests run on the offscreen platform inside one QApplication;
// QUILLPAD_TEST_PLATFORM names another (wayland/key-capture runs the Wayland test so).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QUILLPAD_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
