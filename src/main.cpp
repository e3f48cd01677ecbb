// Zol: wires the real backends together and hands control to the window host.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "game/frmMain.h"
#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "platform/sdl/SdlHost.h"

namespace {

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

    // The real backends: OpenGL on the host's window, OpenAL Soft, FluidSynth.
    SetRenderDeviceFactory(GlRenderDevice::Factory());
    SetSoundDeviceFactory([] { return std::make_unique<OpenAlSoundDevice>(); });
    SetMusicDeviceFactory([] { return std::make_unique<FluidMusicDevice>(); });
    GlPresenter presenter;
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
