// A KeypadView that records what the dialog does and answers from a script.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "control_ids.h"
#include "keypad_template.h"
#include "keypad_view.h"
#include "shown_message.h"

namespace quillpad::testing {

class FakeView : public KeypadView {
  public:
    // Controls sit where template 102 puts them, at 3 pixels per 2 dialog units.
    FakeView() {
        for (const ControlTemplate& c : KeypadTemplate().controls) {
            if (c.id == kIdStatic) {
                continue;
            }
            rects[c.id] = {c.x * 3 / 2, c.y * 3 / 2, c.width * 3 / 2, c.height * 3 / 2};
            visible[c.id] = c.visible;
            texts[c.id] = c.text;
        }
    }

    void SetControlText(int id, const std::string& text) override { texts[id] = text; }
    std::string ControlText(int id) const override {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetCheck(int id, bool checked) override { checks[id] = checked; }
    int CheckState(int id) const override {
        const auto it = checks.find(id);
        return it != checks.end() && it->second ? 1 : 0;
    }
    void ShowControl(int id, bool show) override { visible[id] = show; }
    void FocusControl(int id) override { focus = id; }
    int FocusedControl() const override { return focus; }
    std::optional<ControlRect> ControlRectangle(int id) const override {
        const auto it = rects.find(id);
        if (it == rects.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    void ClearComboEntries(int id) override { combos[id].clear(); }
    void AddComboEntry(int id, const std::string& text) override { combos[id].push_back(text); }
    void SelectComboEntry(int id, int index) override { comboSelection[id] = index; }
    int ComboEntryCount(int id) const override {
        const auto it = combos.find(id);
        return it == combos.end() ? 0 : static_cast<int>(it->second.size());
    }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned type) override {
        messages.push_back({text, caption, type});
        volatile char marker = 0;
        stackMarks.push_back(reinterpret_cast<std::uintptr_t>(&marker));
        if (onMessage) {
            auto action = std::move(onMessage);
            onMessage = nullptr;
            action();
        }
        if (answers.empty()) {
            return (type & kMbButtonsMask) == kMbYesNo ? kAnswerNo : kAnswerOk;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string ApplicationName() const override { return "quillpad-config"; }
    void StartTimer(int timerId, int periodMs) override {
        runningTimers[timerId] = periodMs;
        ++timerStarts;
    }
    void StopTimer(int timerId) override { runningTimers.erase(timerId); }
    void Wait(int ms) override { waits.push_back(ms); }
    void RedrawControls(std::span<const int> ids) override {
        redraws.emplace_back(ids.begin(), ids.end());
    }
    void SetPointer(PointerShape shape) override { pointer = shape; }
    void SetBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        maxBusyDepth = std::max(maxBusyDepth, busyDepth);
    }
    void StartOnScreenKeyboard() override { ++oskStarts; }
    void RunHelpDialog() override { ++helpRuns; }
    // Names the keys of a US layout the tests press.
    std::string KeyName(std::uint32_t lParam) const override {
        switch ((lParam >> 16) & 0x1FF) {
            case 0x1E:
                return "A";
            case 0x30:
                return "B";
            case 0x3E:
                return "F4";
            case 0x3F:
                return "F5";
            case 0x15D:
                return "Application";
            default:
                return "";
        }
    }
    void* DeviceNotificationWindow() override { return this; }
    void SetAccessibleName(int id, const std::string& name) override { names[id] = name; }
    void SetAccessibleDescription(int id, const std::string& text) override {
        descriptions[id] = text;
    }
    void SetAccessibleSelected(int id, bool on) override { selected[id] = on; }

    bool Visible(int id) const { return visible.at(id); }
    // Centre of a control, in client coordinates.
    std::pair<int, int> Centre(int id) const {
        const ControlRect& r = rects.at(id);
        return {r.left + r.width / 2, r.top + r.height / 2};
    }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::map<int, bool> visible;
    std::map<int, ControlRect> rects;
    std::map<int, std::string> names;         // accessible names set by the dialog
    std::map<int, std::string> descriptions;  // accessible descriptions
    std::map<int, bool> selected;
    std::map<int, std::vector<std::string>> combos;
    std::map<int, int> comboSelection;
    std::map<int, int> runningTimers;
    int timerStarts = 0;
    int focus = kNoFocus;
    std::vector<ShownMessage> messages;
    std::deque<int> answers;
    std::vector<std::uintptr_t> stackMarks;  // where each message box was asked from
    std::function<void()> onMessage;         // runs once, while the next message is shown
    std::vector<int> waits;
    std::vector<std::vector<int>> redraws;
    PointerShape pointer = PointerShape::kDefault;
    int busyDepth = 0;
    int maxBusyDepth = 0;
    int oskStarts = 0;
    int helpRuns = 0;
};

}  // namespace quillpad::testing
