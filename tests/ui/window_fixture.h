// A shown configuration window on a simulated keypad whose memory lives in a temporary file.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "control_ids.h"
#include "dev.h"
#include "keypad_window.h"
#include "platforms.h"

namespace quillpad::testing {

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned type;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        stateFile = std::filesystem::path(::testing::TempDir()) /
                    (std::string("quillpad-") + info->name() + ".bin");
        std::filesystem::remove(stateFile);
        std::string error;
        keypad = MakeSimulatedKeypad(stateFile.string(), error);
        ASSERT_NE(keypad, nullptr) << error;
        DevSetPlatform(keypad.get());
    }
    void TearDown() override {
        window.reset();
        DevCloseAll();
        DevSetPlatform(nullptr);
        keypad.reset();
        std::filesystem::remove(stateFile);
    }

    // Creates, initialises and shows the window, and waits until it has the focus.
    void Open() {
        window = std::make_unique<KeypadWindow>();
        window->SetMessageBoxHook([this](const std::string& text, const std::string& caption,
                                         unsigned type) {
            messages.push_back({text, caption, type});
            return kAnswerNo;
        });
        window->SetOnScreenKeyboardHook([this] { ++oskStarts; });
        window->Initialise();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QWidget* Control(int id) const { return window->Control(id); }
    QWindow* Handle() const { return window->windowHandle(); }

    // A left click through the window system, at the centre of a control.
    void ClickOn(int id) {
        const QWidget* w = Control(id);
        const QPoint p = w->mapTo(window.get(), w->rect().center());
        QTest::mouseClick(Handle(), Qt::LeftButton, Qt::NoModifier, p);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Handle(), key, modifiers);
    }
    std::string Text(int id) const { return window->ControlText(id); }

    std::array<std::uint8_t, 256> StateBytes() const {
        std::array<std::uint8_t, 256> bytes{};
        std::ifstream in(stateFile, std::ios::binary);
        in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
        return bytes;
    }

    std::filesystem::path stateFile;
    std::unique_ptr<HidPlatform> keypad;
    std::unique_ptr<KeypadWindow> window;
    std::vector<ShownMessage> messages;
    int oskStarts = 0;
};

}  // namespace quillpad::testing
