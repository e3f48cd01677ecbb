// The window host's chrome: what one repaint costs when the counters change every tick,
// and what a tick costs when nothing changed. Run with SDL_VIDEODRIVER=offscreen.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/sdl/WindowPainter.h"
#include "support/WindowFixtures.h"

namespace {

std::string ArtFile() {
    // The generated art beside the benchmark, when the assets have been built.
    return std::string(SDL_GetBasePath() ? SDL_GetBasePath() : "") + "img/window.png";
}

zol::WindowContent GameWindow() {
    zol::WindowContent c;
    c.Labels = {{40, 12, 145, 27, "Level 3", 18, true, false, 0, 0},
                {288, 12, 253, 27, "12,345", 18, true, false, 0, 0},
                {172, 356, 85, 21, "2 / 5", 14, true, false, 0, 0},
                {268, 356, 81, 21, "0 / 1", 14, true, false, 0, 0},
                {408, 364, 93, 15, "0123456789", 8, false, true, 0x8080FF, 0},
                {520, 364, 45, 15, "33 FPS", 8, false, false, 0, 0},
                {12, 364, 121, 15, "ZOL TEAM 2026", 8, false, false, 0, 0}};
    c.Layout = zol::kWindowLayout;
    c.Bar = zol::test::LevelBar(0.5f);
    for (auto& l : c.Labels) l.Caption.reserve(32);
    return c;
}

void BM_RepaintChangedCounters(benchmark::State& state) {
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    zol::sdl::WindowPainter painter(ArtFile());
    zol::WindowContent c = GameWindow();
    painter.Paint(c);
    painter.Paint(c, true);
    int frame = 0;
    char text[16];
    for (auto _ : state) {
        std::snprintf(text, sizeof text, "%d", ++frame);
        c.Labels[4].Caption.assign(text);
        benchmark::DoNotOptimize(painter.Paint(c));
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(BM_RepaintChangedCounters)->Unit(benchmark::kMicrosecond);

void BM_UnchangedWindow(benchmark::State& state) {
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    zol::sdl::WindowPainter painter(ArtFile());
    zol::WindowContent c = GameWindow();
    painter.Paint(c);
    for (auto _ : state) benchmark::DoNotOptimize(painter.Paint(c));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(BM_UnchangedWindow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
