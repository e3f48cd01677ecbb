#include "app/Program.h"

#include <csignal>
#include <cstdio>

#include "app/SavedStore.h"
#include "app/WindowSettings.h"
#include "framework/core/qCore.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"

namespace zol::app {

namespace {
// FluidSynth tuned for background music. The song only starts and stops, so a tenth of
// a second of output latency costs nothing. Two periods of 2048 frames give that tenth
// with the fewest wake-ups of the audio thread and of the sound server behind it: 22 a
// second instead of 689 with FluidSynth's default of 64 frames, and half those of four
// periods of 1024, which was measurable in the whole game's CPU. Samples are loaded
// when an instrument is first selected, so only the song's instruments take memory, not
// the whole soundfont.
FluidMusicDevice::SettingList MusicSettings() {
    return {{"audio.period-size", "2048"},
            {"audio.periods", "2"},
            {"synth.dynamic-sample-loading", "1"}};
}
}  // namespace

std::unique_ptr<Program> Program::Create(const Devices& Use, std::string* Error) {
    std::unique_ptr<Program> program(new Program());
    program->host_ = sdl::SdlHost::Create(Error);
    if (!program->host_) return nullptr;
    program->presenter_ =
        std::make_unique<sdl::GlWindowPresenter>(program->host_->Window(), program->link_);
    program->host_->SetPresenter(program->presenter_.get());
    SetRenderDeviceFactory(Use.Render ? *Use.Render : GlRenderDevice::Factory(&program->link_));
    SetSoundDeviceFactory(Use.Sound ? *Use.Sound
                                    : [] { return std::make_unique<OpenAlSoundDevice>(); });
    SetMusicDeviceFactory(Use.Music ? *Use.Music : [] {
        return std::make_unique<FluidMusicDevice>(FluidOutput::AudioDriver, "", MusicSettings());
    });
    return program;
}

Program::~Program() {
    if (host_) {
        host_->SetEvents(nullptr);
        host_->SetPresenter(nullptr);
    }
    SetSystemHost(nullptr);
    SetRenderDeviceFactory({});
    SetSoundDeviceFactory({});
    SetMusicDeviceFactory({});
    presenter_.reset();
}

void Program::Load(frmMain& Form, WindowEvents& Events) {
    SetSystemHost(&Form.Host());
    host_->SetEvents(&Events);
    Form.Form_Load();
}

int Program::Loop() {
    int code = host_->Run();
    // Start-up that ended on an error message without ever opening the window failed.
    if (!host_->WasShown() && host_->ErrorShown()) code = 1;
    host_->SetEvents(nullptr);
    return code;
}

int RunProgram(const CommandLine& Line) {
    // A library's diagnostic written to a closed pipe (stderr of a finished pager, say)
    // must not end the game: the write just fails.
    std::signal(SIGPIPE, SIG_IGN);
    std::string error;
    auto program = Program::Create({}, &error);
    if (!program) {
        // No display at all: there is nowhere to show a message box.
        std::fprintf(stderr, "Zol: %s\n", error.c_str());
        return 1;
    }
    // What the game keeps between runs; it outlives the game window that borrows it.
    const std::unique_ptr<GameStore> store = OpenStore(Line);
    frmMain form(program->Host());
    form.SetStore(store.get());
    program->Load(form, form);
    const WindowAtStart start = RestoreWindowSettings(program->Host(), *store, Line.Fullscreen);
    const int code = program->Loop();
    KeepWindowSettings(program->Host(), *store, start);
    return code;
}

}  // namespace zol::app
