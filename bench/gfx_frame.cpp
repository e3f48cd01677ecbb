// One frame of the game (every pass, both overlays) on a busy board, against the
// recording device with recording off: the framework's own cost of a frame.
#include <benchmark/benchmark.h>

#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "game/frmMain.h"
#include "game/mParticles.h"
#include "support/RecordingRenderDevice.h"
#include "support/ScriptedHost.h"

namespace {

using namespace zol;

void BM_GameFrame(benchmark::State& state) {
    test::RecordingRenderDevice* dev = nullptr;
    SetRenderDeviceFactory([&](void*, bool, std::string*) -> std::unique_ptr<RenderDevice> {
        auto d = std::make_unique<test::RecordingRenderDevice>();
        d->Recording = false;
        dev = d.get();
        return d;
    });
    Device_Initialize();
    Device_InitWindowed(nullptr, kWindowLayout.Screen.W, kWindowLayout.Screen.H, 1.0f);
    std::vector<uint32_t> px(288 * 288, 0xFFFFFFFFu);
    Game = GameRecord{};
    Game.TexBack = AddTexture("back.png", px.data(), 128, 128, true, 0);
    Game.TexBlocks = AddTexture("blocks.png", px.data(), 288, 240, false, 0);
    Game.TexParticles = AddTexture("particles.png", px.data(), 224, 96, true, 0);
    Game.FontMinco = {AddTexture("fnt_minco.png", px.data(), 256, 256, true, 0), 5, 10};

    test::ScriptedHost host;
    SetSystemHost(&host);
    frmMain form(host);
    // A full board, every block mid-animation or flashing, a four-block piece, sparks,
    // floating texts, three bombs, paused on the game-over screen.
    for (int x = 0; x < kMapColumns; ++x) {
        for (int y = 0; y < kMapRows; ++y) {
            cBlock& b = Game.Map[x][y];
            b.X = static_cast<float>(x * 48);
            b.Y = static_cast<float>(y * 48);
            b.Kind = 1 + (x + y) % 5;
            b.OldKind = b.Kind;
            b.State = (x + y) % 2 ? cBlock::Changing : cBlock::Idle;
            b.Progress = 0.4f;
            b.Flashing = true;
        }
    }
    form.EditBlocks.assign(5, cBlock{});
    form.EditCount = 4;
    for (int i = 1; i <= 4; ++i) {
        form.EditBlocks[i].X = static_cast<float>(i % 2);
        form.EditBlocks[i].Y = static_cast<float>(i / 2);
        form.EditBlocks[i].Kind = i;
    }
    form.EditX = 8;
    // The tables are module-level: start from empty ones on every run of the benchmark.
    ClearParticles();
    for (int i = 0; i < 60; ++i) AddParticle(static_cast<float>(i * 8), 100, i % 2, 1);
    ClearTexts();
    AddText(Game.FontMinco, 10, 274, "a credit line along the bottom", 10, 0, 24, 0, 5000, 10);
    AddText(Game.FontMinco, 200, 100, "+1,250", 10, 0, 20, 0, 1000, 0);
    for (int i = 0; i < 60; ++i) {
        host.Clock += 30;
        BeginScene(0, 0);
        UpdateTexts();
    }
    form.Bombs = 3;
    form.Paused = true;
    Game.GamePhase = PhaseGameOver;
    Game.Score = 123456;

    state.counters["particles"] = ParticleCount;
    state.counters["glyphs"] = LiveGlyphCount();
    for (auto _ : state) {
        BeginScene(ColorRGB(0, 0.5f, 1), 0);
        form.RenderFrame();
        EndScene();
        for (auto& col : Game.Map)
            for (auto& b : col) b.Flashing = true;  // keep the flashes running
    }
    state.counters["vertices/frame"] =
        benchmark::Counter(static_cast<double>(dev->SpriteVertexCount) / state.iterations());
    Device_Release();
    SetRenderDeviceFactory(nullptr);
    SetSystemHost(nullptr);
}
BENCHMARK(BM_GameFrame)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
