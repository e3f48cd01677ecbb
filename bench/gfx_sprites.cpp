// Sprite throughput: 10,000 sprites of 4 x 4 pixels a frame through Blt and EndScene on
// the OpenGL backend, against the same sprites through SDL_RenderGeometry on SDL's own
// OpenGL renderer. Both run offscreen (llvmpipe) in one process; each frame ends with a
// read-back of the 480 x 288 picture so that the GPU work is inside the measurement.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/graphics/qDDraw.h"

namespace {

using namespace zol;

constexpr int kSprites = 10000;
constexpr int kW = 480, kH = 288;
constexpr int kWarmUp = 5;

struct Spot {
    float X, Y;
    uint32_t Color;
};

std::vector<Spot> Spots() {
    std::vector<Spot> s(kSprites);
    uint32_t r = 12345;
    auto next = [&] { return r = r * 1664525u + 1013904223u; };
    for (Spot& p : s) {
        p.X = static_cast<float>(next() % (kW - 4));
        p.Y = static_cast<float>(next() % (kH - 4));
        p.Color = 0xFF000000u | (next() & 0xFFFFFFu);
    }
    return s;
}

void BM_OursBlt(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::string error;
    SDL_Window* window = CreateHiddenGlWindow(kW, kH, &error);
    if (!window) return state.SkipWithError(("no window: " + error).c_str());
    SetRenderDeviceFactory(GlRenderDevice::Factory());
    Device_Initialize();
    if (!Device_InitWindowed(window, kW, kH, 1.0f)) {
        SDL_DestroyWindow(window);
        return state.SkipWithError("no OpenGL device");
    }
    GlRenderDevice* gl = static_cast<GlRenderDevice*>(GetRenderDevice());
    std::vector<uint32_t> px(16, 0xFFFFFFFFu);
    const int32_t tex = AddTexture("sprite", px.data(), 4, 4, false, 0);
    const std::vector<Spot> spots = Spots();
    std::vector<uint32_t> readback;
    int w = 0, h = 0;
    auto frame = [&] {
        BeginScene(0xFF000000u, 0);
        SetAlphaMode(2);
        for (const Spot& s : spots) Blt(tex, s.X, s.Y, 4, 4, 0, 0, 4, 4, s.Color, 1);
        EndScene();
        gl->ReadScreen(readback, w, h);
        benchmark::DoNotOptimize(readback.data());
    };
    for (int i = 0; i < kWarmUp; ++i) frame();  // shaders are compiled on first use
    for (auto _ : state) frame();
    state.SetLabel(gl->RendererName());
    Device_Release();
    SetRenderDeviceFactory(nullptr);
    SDL_DestroyWindow(window);
}
BENCHMARK(BM_OursBlt)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_SdlRenderGeometry(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_Window* window = SDL_CreateWindow("sdl", 0, 0, kW, kH, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_Renderer* r = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!r) {
        if (window) SDL_DestroyWindow(window);
        return state.SkipWithError(SDL_GetError());
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(r, &info);
    SDL_Texture* tex = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 4, 4);
    std::vector<uint32_t> px(16, 0xFFFFFFFFu);
    SDL_UpdateTexture(tex, nullptr, px.data(), 16);
    SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(tex, SDL_ScaleModeNearest);
    const std::vector<Spot> spots = Spots();
    std::vector<SDL_Vertex> verts(kSprites * 4);
    std::vector<int> indices(kSprites * 6);
    std::vector<uint32_t> readback(kW * kH);
    auto frame = [&] {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        for (int i = 0; i < kSprites; ++i) {
            const Spot& s = spots[i];
            const SDL_Color c{static_cast<Uint8>(s.Color >> 16), static_cast<Uint8>(s.Color >> 8),
                              static_cast<Uint8>(s.Color), 255};
            SDL_Vertex* v = &verts[i * 4];
            v[0] = {{s.X, s.Y}, c, {0, 0}};
            v[1] = {{s.X + 4, s.Y}, c, {1, 0}};
            v[2] = {{s.X + 4, s.Y + 4}, c, {1, 1}};
            v[3] = {{s.X, s.Y + 4}, c, {0, 1}};
            int* ix = &indices[i * 6];
            ix[0] = i * 4, ix[1] = i * 4 + 1, ix[2] = i * 4 + 2;
            ix[3] = i * 4, ix[4] = i * 4 + 2, ix[5] = i * 4 + 3;
        }
        SDL_RenderGeometry(r, tex, verts.data(), kSprites * 4, indices.data(), kSprites * 6);
        SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, readback.data(), kW * 4);
        benchmark::DoNotOptimize(readback.data());
    };
    for (int i = 0; i < kWarmUp; ++i) frame();
    for (auto _ : state) frame();
    state.SetLabel(info.name);
    SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(r);
    SDL_DestroyWindow(window);
}
BENCHMARK(BM_SdlRenderGeometry)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(true);

// Both renderers frame by frame in turn, so that the load of a shared machine falls on
// both alike; the counters give each one's median frame time and their ratio.
void BM_Interleaved(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::string error;
    SDL_Window* ourWindow = CreateHiddenGlWindow(kW, kH, &error);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_Window* sdlWindow = SDL_CreateWindow("sdl", 0, 0, kW, kH, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_Renderer* r = sdlWindow ? SDL_CreateRenderer(sdlWindow, -1, 0) : nullptr;
    SetRenderDeviceFactory(GlRenderDevice::Factory());
    Device_Initialize();
    if (!ourWindow || !r || !Device_InitWindowed(ourWindow, kW, kH, 1.0f)) {
        state.SkipWithError("no OpenGL window, device or SDL renderer");
    } else {
        GlRenderDevice* gl = static_cast<GlRenderDevice*>(GetRenderDevice());
        std::vector<uint32_t> px(16, 0xFFFFFFFFu);
        const int32_t ourTex = AddTexture("sprite", px.data(), 4, 4, false, 0);
        SDL_Texture* tex = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 4, 4);
        SDL_UpdateTexture(tex, nullptr, px.data(), 16);
        SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(tex, SDL_ScaleModeNearest);
        const std::vector<Spot> spots = Spots();
        std::vector<SDL_Vertex> verts(kSprites * 4);
        std::vector<int> indices(kSprites * 6);
        std::vector<uint32_t> readback(kW * kH), ourReadback;
        int w = 0, h = 0;
        auto ours = [&] {
            BeginScene(0xFF000000u, 0);
            SetAlphaMode(2);
            for (const Spot& s : spots) Blt(ourTex, s.X, s.Y, 4, 4, 0, 0, 4, 4, s.Color, 1);
            EndScene();
            gl->ReadScreen(ourReadback, w, h);
        };
        auto theirs = [&] {
            SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
            SDL_RenderClear(r);
            for (int i = 0; i < kSprites; ++i) {
                const Spot& s = spots[i];
                const SDL_Color c{static_cast<Uint8>(s.Color >> 16), static_cast<Uint8>(s.Color >> 8),
                                  static_cast<Uint8>(s.Color), 255};
                SDL_Vertex* v = &verts[i * 4];
                v[0] = {{s.X, s.Y}, c, {0, 0}};
                v[1] = {{s.X + 4, s.Y}, c, {1, 0}};
                v[2] = {{s.X + 4, s.Y + 4}, c, {1, 1}};
                v[3] = {{s.X, s.Y + 4}, c, {0, 1}};
                int* ix = &indices[i * 6];
                ix[0] = i * 4, ix[1] = i * 4 + 1, ix[2] = i * 4 + 2;
                ix[3] = i * 4, ix[4] = i * 4 + 2, ix[5] = i * 4 + 3;
            }
            SDL_RenderGeometry(r, tex, verts.data(), kSprites * 4, indices.data(), kSprites * 6);
            SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, readback.data(), kW * 4);
        };
        for (int i = 0; i < kWarmUp; ++i) ours(), theirs();
        std::vector<double> a, b;
        for (auto _ : state) {
            auto t0 = std::chrono::steady_clock::now();
            ours();
            auto t1 = std::chrono::steady_clock::now();
            theirs();
            auto t2 = std::chrono::steady_clock::now();
            a.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            b.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        }
        auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v.empty() ? 0.0 : v[v.size() / 2];
        };
        const double ma = median(a), mb = median(b);
        state.counters["ours_ms"] = ma;
        state.counters["sdl_ms"] = mb;
        state.counters["ratio"] = mb > 0 ? ma / mb : 0;
        SDL_DestroyTexture(tex);
    }
    Device_Release();
    SetRenderDeviceFactory(nullptr);
    if (r) SDL_DestroyRenderer(r);
    if (sdlWindow) SDL_DestroyWindow(sdlWindow);
    if (ourWindow) SDL_DestroyWindow(ourWindow);
}
BENCHMARK(BM_Interleaved)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
