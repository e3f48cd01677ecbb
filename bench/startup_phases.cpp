// Where start-up spends its time: the program's start-up sequence step by step, each step
// timed (wall and CPU of the whole process, which includes the audio threads), from the
// window host to the first frame on screen. One run per process, because the first run
// pays for loading libraries and caches that a second one would find warm.
//
//   bench_startup_phases [--no-music] [--no-sound]
//
// Run it on a display (Xvfb) or with SDL_VIDEODRIVER=offscreen; the real backends are used
// (OpenGL, OpenAL Soft, FluidSynth with its audio driver). Prints "phase: wall_ms cpu_ms".
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/sdl/GlWindowPresenter.h"
#include "framework/graphics/qDDraw.h"
#include "framework/qRuntime.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"
#include "game/mZol.h"
#include "platform/sdl/SdlHost.h"

namespace {

double WallMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Prints the time since the previous mark.
struct Marks {
    double wall = WallMs(), cpu = CpuMs(), wall0 = wall, cpu0 = cpu;
    void Mark(const char* phase) {
        const double w = WallMs(), c = CpuMs();
        std::printf("%-22s %8.1f %8.1f\n", phase, w - wall, c - cpu);
        wall = w;
        cpu = c;
    }
    void Total() { std::printf("%-22s %8.1f %8.1f\n", "total", wall - wall0, cpu - cpu0); }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace zol;
    bool music = true, sound = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-music") == 0) music = false;
        if (std::strcmp(argv[i], "--no-sound") == 0) sound = false;
    }
    std::printf("%-22s %8s %8s\n", "phase", "wall_ms", "cpu_ms");
    Marks m;
    std::string error;
    auto host = sdl::SdlHost::Create(&error);
    if (!host) {
        std::fprintf(stderr, "no window: %s\n", error.c_str());
        return 1;
    }
    m.Mark("window_and_painter");
    SetSystemHost(host.get());
    GlScreenLink link;
    SetRenderDeviceFactory(GlRenderDevice::Factory(&link));
    SetSoundDeviceFactory([] { return std::make_unique<OpenAlSoundDevice>(); });
    SetMusicDeviceFactory([] { return std::make_unique<FluidMusicDevice>(); });
    sdl::GlWindowPresenter presenter(host->Window(), link);
    host->SetPresenter(&presenter);
    frmMain form(*host);
    host->SetEvents(&form);

    QRT_Initialize();
    (void)host->GetClipboardText();
    m.Mark("framework_clipboard");
    if (!Device_Initialize() || !Device_InitWindowed(host->NativeWindow(), kWindowLayout.Screen.W,
                                                     kWindowLayout.Screen.H, 1.0f)) {
        std::fprintf(stderr, "no OpenGL: %s\n", GetErrorText(0).c_str());
        return 1;
    }
    m.Mark("opengl_device");
    if (sound && !DSound_Initialize(nullptr))
        std::fprintf(stderr, "no sound: %s\n", SoundErrorText().c_str());
    m.Mark("openal_device");
    if (music && !DMusic_Initialize(nullptr))
        std::fprintf(stderr, "no music: %s\n", MusicErrorText().c_str());
    m.Mark("fluidsynth_device");
    ImagePath = AppPath + "img/";
    WavePath = AppPath + "wave/";
    MidiPath = AppPath + "midi/";
    LoadGraphics();
    m.Mark("textures");
    form.ResetGame(true);
    m.Mark("reset_and_song");
    host->SetCaption("Zol 1.1.38");
    host->ShowWindow();
    host->SetTimerEnabled(true);
    m.Mark("show_window");
    form.tmrMain_Timer();
    m.Mark("first_tick_drawn");
    host->RefreshWindow();
    m.Mark("first_frame_shown");
    form.tmrMain_Timer();
    host->RefreshWindow();
    m.Mark("second_frame_shown");
    m.Total();

    host->CloseWindow();
    host->SetEvents(nullptr);
    host->SetPresenter(nullptr);
    SetSystemHost(nullptr);
    return 0;
}
