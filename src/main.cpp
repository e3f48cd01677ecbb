// Zol: wires the real backends together and hands control to the window host.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "game/frmMain.h"
#include "platform/sdl/SdlHost.h"
#include "platform/sdl/SurfacePresenter.h"

// The device backends, each connected once its module is part of the build.
#if __has_include("framework/graphics/gl/GlRenderDevice.h")
#include "framework/graphics/gl/GlRenderDevice.h"
#define ZOL_WITH_GL 1
#endif
#if __has_include("framework/sound/openal/OpenAlSoundDevice.h")
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDSound.h"
#define ZOL_WITH_OPENAL 1
#endif
#if __has_include("framework/sound/fluidsynth/FluidMusicDevice.h")
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/qDMusic.h"
#define ZOL_WITH_FLUIDSYNTH 1
#endif

namespace {

#ifdef ZOL_WITH_GL
// Shows the window through the OpenGL device while it exists.
class GlPresenter final : public zol::sdl::WindowPresenter {
public:
    void Present(const uint32_t* Rgba, int Width, int Height, uint64_t Version, int FrontX,
                 int FrontY) override {
        if (auto* gl = zol::GlRenderDevice::Current())
            gl->PresentWindow(Rgba, Width, Height, Version, FrontX, FrontY);
    }
    bool ReadFront(uint32_t* Rgba, int Width, int Height) override {
        auto* gl = zol::GlRenderDevice::Current();
        int w = 0, h = 0;
        if (!gl || !gl->ReadScreenPixels(screen_, w, h) || w != Width || h != Height) return false;
        std::copy(screen_.begin(), screen_.end(), Rgba);
        return true;
    }

private:
    std::vector<uint32_t> screen_;
};
#endif

}  // namespace

int main() {
    using namespace zol;
    std::string error;
    auto host = sdl::SdlHost::Create(&error);
    if (!host) {
        // No display at all: there is nowhere to show a message box.
        std::fprintf(stderr, "Zol: %s\n", error.c_str());
        return 1;
    }
    SetSystemHost(host.get());

#ifdef ZOL_WITH_GL
    SetRenderDeviceFactory(GlRenderDevice::Factory());
    GlPresenter presenter;
#else
    sdl::SurfacePresenter presenter(host->Window());  // the chrome alone, until GL is built
#endif
#ifdef ZOL_WITH_OPENAL
    SetSoundDeviceFactory([] { return std::make_unique<OpenAlSoundDevice>(); });
#endif
#ifdef ZOL_WITH_FLUIDSYNTH
    SetMusicDeviceFactory([] { return std::make_unique<FluidMusicDevice>(); });
#endif
    host->SetPresenter(&presenter);

    frmMain form(*host);
    host->SetEvents(&form);
    form.Form_Load();
    int code = host->Run();
    // Start-up that ended on an error message without ever opening the window failed.
    if (!host->WasShown() && host->ErrorShown()) code = 1;
    host->SetEvents(nullptr);
    SetSystemHost(nullptr);
    return code;
}
