// A shown configuration window on a simulated keypad whose memory lives in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control_ids.h"
#include "dev.h"
#include "keypad_window.h"
#include "platforms.h"
#include "shown_message.h"
#include "temp_files.h"

namespace quillpad::testing {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        stateFile = dir / "keypad.bin";
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
    }

    // Creates, initialises and shows the window, and waits until it has the focus.
    void Open() {
        window = std::make_unique<KeypadWindow>();
        window->SetMessageBoxHook(
            [this](const std::string& text, const std::string& caption, unsigned type) {
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
        const std::string content = ReadFile(stateFile);
        std::copy_n(content.begin(), std::min(content.size(), bytes.size()), bytes.begin());
        return bytes;
    }

    TempDir dir;
    std::filesystem::path stateFile;
    std::unique_ptr<HidPlatform> keypad;
    std::unique_ptr<KeypadWindow> window;
    std::vector<ShownMessage> messages;
    int oskStarts = 0;
};

}  // namespace quillpad::testing
