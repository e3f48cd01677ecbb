// One game frame on the real OpenGL device, composited and presented as the window host
// does it: the clear, the tiled background, a full board of colour-keyed 48-pixel blocks,
// additive glows and particles, a line of bitmap text, then the window's chrome with one
// changed counter and the swap. CPU time is the whole process's (Mesa's llvmpipe renders
// on its own threads). Run under SDL_VIDEODRIVER=offscreen, or on a display; vary
// LP_NUM_THREADS to see what llvmpipe's threads cost.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/graphics/qDDraw.h"
#include "platform/sdl/GlWindowPresenter.h"

namespace {

using namespace zol;

struct Scene {
    SDL_Window* window = nullptr;
    GlScreenLink link;
    GlRenderDevice* gl = nullptr;
    std::unique_ptr<sdl::GlWindowPresenter> presenter;
    int32_t back = 0, blocks = 0, glow = 0;
    std::vector<uint32_t> chrome = std::vector<uint32_t>(580 * 388, 0xFF808080u);
    uint64_t version = 0;

    bool Open(benchmark::State& state) {
        std::string error;
        window = CreateHiddenGlWindow(580, 388, &error);
        SetRenderDeviceFactory(GlRenderDevice::Factory(&link));
        if (!window || !Device_Initialize() || !Device_InitWindowed(window, 480, 288, 1.0f)) {
            state.SkipWithError(("no OpenGL: " + error + GetErrorText(0)).c_str());
            return false;
        }
        gl = link.Device;
        presenter = std::make_unique<sdl::GlWindowPresenter>(window, link);
        std::vector<uint32_t> tile(128 * 128), sheet(256 * 256), soft(64 * 64);
        for (size_t i = 0; i < tile.size(); ++i) tile[i] = 0xFF203040u + static_cast<uint32_t>(i % 7);
        for (size_t i = 0; i < sheet.size(); ++i)
            sheet[i] = (i % 48 < 4) ? 0xFFFF00FFu : 0xFF40A0E0u + static_cast<uint32_t>(i % 5);
        for (size_t i = 0; i < soft.size(); ++i) soft[i] = 0x80FFFFFFu;
        back = AddTexture("back", tile.data(), 128, 128, true, 0);
        blocks = AddTexture("blocks", sheet.data(), 256, 256, false, ColorRGB(1, 0, 1));
        glow = AddTexture("glow", soft.data(), 64, 64, true, 0);
        return true;
    }
    void Close() {
        presenter.reset();
        Device_Release();
        SetRenderDeviceFactory(nullptr);
        if (window) SDL_DestroyWindow(window);
    }
    // With still set, only one block moves and the counter changes: a quiet tick, drawn
    // where it changed.
    void Frame(int n, bool still = false) {
        const int t = still ? 0 : n;
        BeginScene(ColorRGB(0, 0.5f, 1), 0);
        SetAlphaMode(0);
        BltRect(back, 0, 0, 480, 0, 480, 288, 0, 288, 0xFFFFFFFFu, 0, 0, 480 / 128.0f, 288 / 128.0f);
        SetAlphaMode(1);
        for (int x = 0; x < 10; ++x)
            for (int y = 0; y < 6; ++y)
                Blt(blocks, x * 48.0f, y * 48.0f, 48, 48, 48.0f * (x % 5), 0, 48, 48, 0xFFFFFFFFu, 1);
        // The piece on its way in.
        Blt(blocks, 200.0f + static_cast<float>(n % 48), 100, 48, 48, 0, 0, 48, 48, 0xFFFFFFFFu, 1);
        SetAlphaMode(10);
        for (int i = 0; i < 60; ++i)
            Blt(glow, static_cast<float>((i * 37 + t) % 460), static_cast<float>((i * 53) % 270), 24,
                24, 0, 0, 64, 64, 0xFF806040u, 1);
        SetAlphaMode(1);
        for (int i = 0; i < 40; ++i)
            Blt(blocks, 10.0f + 5.0f * static_cast<float>(i), 274, 5, 10, 0, 200, 5, 10, 0xFFFFFFFFu, 1);
        EndScene();
        // The frame counter in the chrome changes every tick.
        for (int y = 364; y < 379; ++y)
            for (int x = 408; x < 501; ++x) chrome[static_cast<size_t>(y * 580 + x)] = 0xFF000000u + n;
        ++version;
        presenter->Present({chrome.data(), 580, 388, version, PixelRect{408, 364, 501, 379}}, true, 50, 50);
    }
};

void BM_GameFramePresented(benchmark::State& state) {
    Scene s;
    if (!s.Open(state)) return;
    int n = 0;
    for (int i = 0; i < 10; ++i) s.Frame(++n);  // shader variants compiled outside the timing
    for (auto _ : state) s.Frame(++n, state.range(0) != 0);
    s.Close();
}
// 0: everything moves, as in a chain with glows and sparks; 1: a quiet tick.
BENCHMARK(BM_GameFramePresented)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
