#include "support/ProgramRunner.h"

#include <cstdio>

#include "game/frmMain.h"

namespace zol::test {

namespace {

// The SDL host as the game sees it, with every message box passed by the watcher first
// and the boxes answered by the options' answerers where they are given.
class WatchedHost final : public WindowHost {
public:
    WatchedHost(sdl::SdlHost& Host, const RunOptions& Options) : host_(Host), options_(Options) {}

    int32_t GetTickCount() override { return host_.GetTickCount(); }
    MsgAnswer MessageBox(const std::string& Text, const std::string& Title, MsgButtons Buttons,
                         MsgIcon Icon) override {
        const ShownMessage message{Text, Title, Buttons, Icon};
        if (options_.OnMessage) options_.OnMessage(message);
        if (options_.AnswerMessage)
            if (const auto answer = options_.AnswerMessage(message)) return *answer;
        if (options_.OnBox && host_.CanShowDialog()) options_.OnBox(Title);
        return host_.MessageBox(Text, Title, Buttons, Icon);
    }
    bool IsForeground() override {
        if (options_.AlwaysForeground) return host_.WasShown() && !host_.Closed();
        return host_.IsForeground();
    }
    std::optional<std::string> GetClipboardText() override { return host_.GetClipboardText(); }
    void SetClipboardText(const std::string& Text) override {
        if (options_.OnClipboard) options_.OnClipboard(Text);
        host_.SetClipboardText(Text);
    }
    std::optional<std::string> InputBox(const std::string& Prompt, const std::string& Title,
                                        const std::string& Default) override {
        if (options_.AnswerInput) return options_.AnswerInput(Prompt);
        if (options_.OnBox && host_.CanShowDialog()) options_.OnBox(Title);
        return host_.InputBox(Prompt, Title, Default);
    }
    void CloseWindow() override { host_.CloseWindow(); }
    bool IsClosing() override { return host_.IsClosing(); }
    double TimeOfDay() override { return host_.TimeOfDay(); }
    void SetCaption(const std::string& Caption) override { host_.SetCaption(Caption); }
    void ShowWindow() override { host_.ShowWindow(); }
    void SetTimerEnabled(bool Enabled) override { host_.SetTimerEnabled(Enabled); }
    void* NativeWindow() override { return host_.NativeWindow(); }

private:
    sdl::SdlHost& host_;
    const RunOptions& options_;
};

// The game window's event procedures, with the timer's ticks counted, watched and used
// to feed the event script.
class ScriptedEvents final : public WindowEvents {
public:
    ScriptedEvents(frmMain& Form, const RunOptions& Options, SDL_Window* Window)
        : form_(Form), options_(Options), windowId_(Window ? SDL_GetWindowID(Window) : 0) {}

    // Pushes the events due after Tick ticks (0: those due before the loop starts).
    void PushDue(int32_t Tick) {
        for (const ScriptedEvent& s : options_.Script) {
            if (s.AfterTick == Tick || (Tick == 0 && s.AfterTick < 0)) {
                SDL_Event e = s.Event;
                if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) e.key.windowID = windowId_;
                if (e.type == SDL_WINDOWEVENT) e.window.windowID = windowId_;
                SDL_PushEvent(&e);
            }
        }
    }

    void Form_KeyDown(int KeyCode, int Shift) override { form_.Form_KeyDown(KeyCode, Shift); }
    void Form_KeyUp(int KeyCode, int Shift) override { form_.Form_KeyUp(KeyCode, Shift); }
    void Front_MouseDown(int Button, int Shift, float X, float Y) override {
        form_.Front_MouseDown(Button, Shift, X, Y);
    }
    void Form_Activate() override { form_.Form_Activate(); }
    void Form_Deactivate() override { form_.Form_Deactivate(); }
    void Form_GotFocus() override { form_.Form_GotFocus(); }
    void Form_LostFocus() override { form_.Form_LostFocus(); }
    void Form_Unload() override { form_.Form_Unload(); }
    void tmrMain_Timer() override {
        form_.tmrMain_Timer();
        ++ticks_;
        if (options_.OnTick) options_.OnTick(form_, ticks_);
        if (!options_.Script.empty()) PushDue(ticks_);
    }
    void DescribeWindow(WindowContent& Content) override { form_.DescribeWindow(Content); }

private:
    frmMain& form_;
    const RunOptions& options_;
    const Uint32 windowId_;
    int32_t ticks_ = 0;
};

}  // namespace

int RunProgram(const RunOptions& Options) {
    std::string error;
    auto program = app::Program::Create(Options.Use, &error);
    if (!program) {
        std::fprintf(stderr, "Zol: %s\n", error.c_str());
        return 1;
    }
    if (Options.OnStart) Options.OnStart(*program);
    WatchedHost watched(program->Host(), Options);
    frmMain form(watched);
    ScriptedEvents events(form, Options, program->Host().Window());
    program->Load(form, events);
    events.PushDue(0);
    return program->Loop();
}

SDL_Event KeyEvent(bool Down, SDL_Keycode Key) {
    SDL_Event e{};
    e.type = Down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = Down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = Key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(Key);
    return e;
}

}  // namespace zol::test
