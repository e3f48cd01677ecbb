// ScriptedHost: the window system as a test double.
//
// Answers message and input boxes from queues (OK / empty cancel when a queue is empty),
// records every dialog shown, keeps a clipboard and a settable clock, and remembers that
// the window was closed.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowHost.h"

namespace zol::test {

struct ShownMessage {
    std::string Text, Title;
    MsgButtons Buttons;
    MsgIcon Icon;
    MsgAnswer Answer;
};

struct ShownInput {
    std::string Prompt, Title, Default;
    std::optional<std::string> Answer;
};

class ScriptedHost final : public WindowHost {
public:
    // ---- Script ----
    std::deque<MsgAnswer> MessageAnswers;                 // next message box answers
    std::deque<std::optional<std::string>> InputAnswers;  // next input box answers (nullopt: cancel)
    bool Foreground = true;
    int32_t Clock = 100000;  // what GetTickCount returns
    double Time = 43200.0;   // what TimeOfDay returns
    std::optional<std::string> Clipboard;

    // ---- Record ----
    std::vector<ShownMessage> Messages;
    std::vector<ShownInput> Inputs;
    bool Closed = false;
    bool Shown = false;
    bool TimerEnabled = false;
    std::string Caption;

    int32_t GetTickCount() override { return Clock; }
    MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon) override;
    bool IsForeground() override { return Foreground; }
    std::optional<std::string> GetClipboardText() override { return Clipboard; }
    void SetClipboardText(const std::string& Text) override { Clipboard = Text; }
    std::optional<std::string> InputBox(const std::string& Prompt, const std::string& Title,
                                        const std::string& Default) override;
    void CloseWindow() override { Closed = true; }
    bool IsClosing() override { return Closed; }
    double TimeOfDay() override { return Time; }
    void SetCaption(const std::string& c) override { Caption = c; }
    void ShowWindow() override { Shown = true; }
    void SetTimerEnabled(bool Enabled) override { TimerEnabled = Enabled; }
    void* NativeWindow() override { return nullptr; }
};

}  // namespace zol::test
