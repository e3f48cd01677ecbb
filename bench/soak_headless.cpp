// A soak of the whole program without a display: the real game with its real backends
// (OpenGL on SDL's offscreen driver, OpenAL Soft's null output, FluidSynth where a sound
// server is found), played by a bot for SECONDS seconds. The bot steers, turns and hurries
// pieces with random keys, ends each game after 25 seconds by moving the game's clock to
// its last frames (a random player seldom loses), clicks the game-over screen for its score code, verifies that
// code from the clipboard with V, and starts a new game after each game over and every
// RESET seconds (F12, "Yes"). Message and input boxes are answered in the player's place,
// so nothing waits for a person.
//
//   bench_soak_headless [SECONDS] [WARMUP] [RESET] [--no-gl]
//
// Defaults: 600, 40, 0 (RESET 0: only after a game over). --no-gl draws into no device, so
// that the game's own memory shows apart from the OpenGL driver's.
//
// Every 10 seconds it prints the resident size, the glyph and particle tables' sizes and
// the frames-per-second figure. It passes (exit 0) when the program ends with 0 when
// closed, the last resident size lies within 2 MiB of the one at WARMUP seconds, the
// tables never shrink from their peak (no churn) and stay bounded, and every figure
// after the first ten seconds shows the tick rate (30 to 36 frames a second for the 30 ms
// timer).
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "game/GameRecord.h"
#include "game/frmMain.h"
#include "game/mParticles.h"
#include "support/ProgramRunner.h"
#include "support/SdlEvents.h"

namespace {

using namespace zol;

// VmRSS or VmHWM of this process in KiB, 0 when unreadable.
long StatusKib(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kib = 0;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            kib = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kib;
}

struct Sample {
    int Second = 0;
    long RssKib = 0;
    size_t Glyphs = 0, Particles = 0;
    int32_t Fps = 0;
};

class Bot {
public:
    Bot(int Seconds, int Warmup, int ResetEvery)
        : seconds_(Seconds), warmup_(Warmup), resetEvery_(ResetEvery) {}

    // Called after every tick of the game's timer.
    void Tick(int32_t Tick) {
        const uint64_t now = SDL_GetTicks64();
        if (start_ == 0) start_ = now;
        const int second = static_cast<int>((now - start_) / 1000);
        if (!window_) window_ = SDL_GL_GetCurrentWindow();
        if (second >= nextSample_) {
            TakeSample(second);
            nextSample_ += 10;
        }
        if (second >= seconds_) {
            if (!closing_) Key(SDLK_ESCAPE, true), closing_ = true;
            return;
        }
        if (held_ && Tick >= releaseAt_) {
            Key(held_, false);
            held_ = 0;
        }
        if (Game.GamePhase == PhaseGameOver) {
            ++overTicks_;
            if (overTicks_ == 40) Click();                 // the score code, to the clipboard
            if (overTicks_ == 60) Tap(SDLK_v, Tick);       // verified from the clipboard
            if (overTicks_ == 90) Reset(Tick, second);
            return;
        }
        overTicks_ = 0;
        if (resetEvery_ > 0 && second >= nextReset_) {
            Reset(Tick, second);
            return;
        }
        if (second - gameStart_ >= kGameSeconds && Game.GameFrames < kLastGameFrame - 100) {
            // A random player seldom loses, so the game's clock jumps to just before its
            // last frame: the game then ends as one that ran for years would.
            Game.GameFrames = kLastGameFrame - 100;
        }
        if (!held_ && Tick % 4 == 0) {
            // Pieces travel to the left: Left hurries them, Up and Down steer, Space
            // (or Right) turns the colours round the piece, Return throws a bomb.
            // Mostly hurrying and seldom steering, the bot stacks pieces and loses often.
            static const SDL_Keycode kKeys[] = {SDLK_LEFT, SDLK_LEFT, SDLK_LEFT,  SDLK_LEFT,
                                                SDLK_LEFT, SDLK_LEFT, SDLK_LEFT,  SDLK_LEFT,
                                                SDLK_UP,   SDLK_DOWN, SDLK_SPACE, SDLK_RIGHT,
                                                SDLK_RETURN};
            Tap(kKeys[random_() % std::size(kKeys)], Tick);
        }
    }

    std::optional<MsgAnswer> Answer(const test::ShownMessage& m) {
        ++boxes_;
        if (m.Buttons == MsgButtons::OK) return MsgAnswer::OK;
        return MsgAnswer::Yes;  // the reset question, and any other
    }

    std::optional<std::string> Input(const std::string& Prompt) {
        ++inputs_;
        if (Prompt.find("Code") != std::string::npos) {
            char* text = SDL_GetClipboardText();
            std::string code = text ? text : "";
            SDL_free(text);
            return code;
        }
        return std::string("Soak Bot");
    }

    // The verdict over the samples; prints it and says whether the soak passed.
    bool Verdict(int ExitCode) const {
        bool ok = ExitCode == 0;
        if (!ok) std::printf("!! the program ended with %d\n", ExitCode);
        const Sample* warm = nullptr;
        for (const Sample& s : samples_)
            if (s.Second >= warmup_) {
                warm = &s;
                break;
            }
        if (!warm || samples_.size() < 2 || samples_.back().Second < seconds_ - 10) {
            std::printf("!! too few samples for a verdict (%zu)\n", samples_.size());
            return false;
        }
        const Sample& last = samples_.back();
        const long drift = last.RssKib - warm->RssKib;
        if (drift > 2048 || drift < -2048) {
            std::printf("!! resident size moved by %ld KiB after the warm-up\n", drift);
            ok = false;
        }
        size_t glyphPeak = 0, particlePeak = 0;
        for (const Sample& s : samples_) {
            if (s.Glyphs < glyphPeak || s.Particles < particlePeak) {
                std::printf("!! a table shrank from its peak at t=%d\n", s.Second);
                ok = false;
            }
            glyphPeak = std::max(glyphPeak, s.Glyphs);
            particlePeak = std::max(particlePeak, s.Particles);
            if (s.Second >= 10 && (s.Fps < 30 || s.Fps > 36)) {
                std::printf("!! %d frames a second at t=%d\n", s.Fps, s.Second);
                ok = false;
            }
        }
        if (glyphPeak > 4096 || particlePeak > 4096) {
            std::printf("!! the tables grew to %zu glyphs and %zu particles\n", glyphPeak,
                        particlePeak);
            ok = false;
        }
        std::printf("%s: %d games, %d resets, %d message boxes, %d input boxes, rss drift %ld KiB "
                    "after %d s, peak %ld KiB, tables %zu glyphs / %zu particles\n",
                    ok ? "soak passed" : "soak FAILED", games_, resets_, boxes_, inputs_, drift,
                    warm->Second, StatusKib("VmHWM"), glyphPeak, particlePeak);
        return ok;
    }

private:
    void TakeSample(int Second) {
        // The tables' allocations: their slots are reused, and a reset empties them without
        // giving the memory back.
        Sample s{Second, StatusKib("VmRSS"), Glyphs.capacity(), Particles.capacity(), Fps};
        samples_.push_back(s);
        std::printf("t=%d rss_kib=%ld glyphs=%zu particles=%zu fps=%d frames=%d score=%d phase=%d\n",
                    s.Second, s.RssKib, s.Glyphs, s.Particles, s.Fps, Game.GameFrames, Game.Score,
                    Game.GamePhase);
        std::fflush(stdout);
    }

    void Push(SDL_Event e) { SDL_PushEvent(&e); }
    void Key(SDL_Keycode k, bool down) {
        Push(test::KeyEvent(window_, down ? SDL_KEYDOWN : SDL_KEYUP, k));
    }
    void Tap(SDL_Keycode k, int32_t Tick) {
        Key(k, true);
        held_ = k;
        releaseAt_ = Tick + 2;
    }
    // The middle of the drawing area.
    void Click() { Push(test::ClickEvent(window_, 290, 194)); }
    void Reset(int32_t Tick, int Second) {
        if (Game.GamePhase == PhaseGameOver) ++games_;
        ++resets_;
        if (held_) Key(held_, false), held_ = 0;
        Tap(SDLK_F12, Tick);
        overTicks_ = 0;
        nextReset_ = Second + resetEvery_;
        gameStart_ = Second;
    }

    // Seconds of play before the bot lets a game run out.
    static constexpr int kGameSeconds = 25;

    const int seconds_, warmup_, resetEvery_;
    std::mt19937 random_{20261207};
    SDL_Window* window_ = nullptr;
    uint64_t start_ = 0;
    int nextSample_ = 0, nextReset_ = 0, overTicks_ = 0, gameStart_ = 0;
    SDL_Keycode held_ = 0;
    int32_t releaseAt_ = 0;
    bool closing_ = false;
    int games_ = 0, resets_ = 0, boxes_ = 0, inputs_ = 0;
    std::vector<Sample> samples_;
};

int Arg(int argc, char** argv, int i, int fallback) {
    return argc > i ? std::max(0, std::atoi(argv[i])) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    // --no-gl: no drawing device, so that the game's own memory shows apart from the driver's.
    bool noGl = false;
    if (argc > 1 && std::strcmp(argv[argc - 1], "--no-gl") == 0) noGl = true, --argc;
    const int seconds = Arg(argc, argv, 1, 600);
    const int warmup = Arg(argc, argv, 2, 40);
    const int reset = Arg(argc, argv, 3, 0);
    if (seconds <= warmup) {
        std::fprintf(stderr, "SECONDS must exceed the warm-up (%d s)\n", warmup);
        return 2;
    }
    // No display and no sound card needed; a caller's own choice is kept.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    Bot bot(seconds, warmup, reset);
    test::RunOptions options;
    options.AlwaysForeground = true;
    if (noGl) options.Use.Render = RenderDeviceFactory{};
    options.OnTick = [&](const frmMain&, int32_t tick) { bot.Tick(tick); };
    options.AnswerMessage = [&](const test::ShownMessage& m) { return bot.Answer(m); };
    options.AnswerInput = [&](const std::string& prompt) { return bot.Input(prompt); };
    const int code = test::RunProgram(options);
    return bot.Verdict(code) ? 0 : 1;
}
