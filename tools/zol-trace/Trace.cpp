#include "Trace.h"

#include <charconv>
#include <deque>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "framework/qRuntime.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"
#include "game/mParticles.h"

namespace zol::trace {

namespace {

constexpr int32_t kStartClock = 100000;
constexpr int32_t kTickMs = 30;

// The desktop as the script describes it: queued answers, a settable foreground, a clock.
class TraceHost final : public WindowHost {
public:
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<std::string>> inputs;
    bool foreground = true;
    bool closed = false;
    int32_t clock = kStartClock;
    std::optional<std::string> clipboard;

    int32_t GetTickCount() override { return clock; }
    MsgAnswer MessageBox(const std::string&, const std::string&, MsgButtons buttons,
                         MsgIcon) override {
        if (answers.empty()) return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool IsForeground() override { return foreground; }
    std::optional<std::string> GetClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        if (inputs.empty()) return std::nullopt;
        auto a = inputs.front();
        inputs.pop_front();
        return a;
    }
    void CloseWindow() override { closed = true; }
    bool IsClosing() override { return closed; }
    double TimeOfDay() override { return clock / 1000.0; }
    void SetCaption(const std::string&) override {}
    void ShowWindow() override {}
    void SetTimerEnabled(bool) override {}
    void* NativeWindow() override { return nullptr; }
};

void PutFloat(std::ostream& out, float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.write(buf, r.ptr - buf);
}

void PutString(std::ostream& out, const std::string& s) {
    out << '"';
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            const char* hex = "0123456789abcdef";
            out << "\\u00" << hex[(c >> 4) & 0xF] << hex[c & 0xF];
        } else {
            out << c;
        }
    }
    out << '"';
}

const char* Bool(bool b) { return b ? "true" : "false"; }

void PrintTick(std::ostream& out, int64_t t, frmMain& game, const std::vector<std::string>& sounds) {
    const GameRecord& g = Game;
    out << "{\"t\":" << t << ",\"frames\":" << g.GameFrames << ",\"phase\":" << g.GamePhase
        << ",\"paused\":" << Bool(game.Paused) << ",\"score\":" << g.Score
        << ",\"level\":" << g.Level << ",\"next\":" << g.NextLevelScore
        << ",\"base\":" << g.LevelBaseScore << ",\"chain\":" << g.CurrentChain
        << ",\"explodes\":" << g.CurrentExplodes << ",\"maxchains\":" << g.MaxChains
        << ",\"maxexplodes\":" << g.MaxExplodes << ",\"steppairs\":" << g.StepPairs
        << ",\"nexteditframe\":" << g.NextEditFrame << ",\"bombs\":" << game.Bombs
        << ",\"delayfactor\":";
    PutFloat(out, game.DelayFactor);
    out << ",\"singlestep\":" << Bool(game.SingleStep) << ",\"edit\":{\"x\":" << game.EditX
        << ",\"y\":" << game.EditY << ",\"blocks\":[";
    for (int32_t i = 1; i <= game.EditCount; ++i) {
        const cBlock& b = game.EditBlocks[i];
        out << (i > 1 ? "," : "") << '[';
        PutFloat(out, b.X);
        out << ',';
        PutFloat(out, b.Y);
        out << ',' << b.Special << ',' << b.Kind << ']';
    }
    out << "]},\"map\":[";
    for (int32_t y = 0; y < kMapRows; ++y) {
        out << (y > 0 ? "," : "") << '[';
        for (int32_t x = 0; x < kMapColumns; ++x) {
            const cBlock& b = g.Map[x][y];
            out << (x > 0 ? "," : "") << '[' << b.Kind << ',' << b.Special << ',' << b.State << ']';
        }
        out << ']';
    }
    out << "],\"timers\":[";
    bool first = true;
    for (int32_t y = 0; y < kMapRows; ++y) {
        for (int32_t x = 0; x < kMapColumns; ++x) {
            const cBlock& b = g.Map[x][y];
            if (b.Special <= 0) continue;
            out << (first ? "" : ",") << '[' << x << ',' << y << ',' << b.Timer << ']';
            first = false;
        }
    }
    out << "],\"sounds\":[";
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (i > 0) out << ',';
        PutString(out, sounds[i]);
    }
    out << "],\"rnd\":" << RndDrawCount() << ",\"particles\":" << ParticleCount
        << ",\"glyphs\":" << LiveGlyphCount() << "}\n";
}

// The whole of text as an unsigned number; nothing when it is not one.
template <class T> std::optional<T> ParseNumber(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    if (text.empty() || r.ec != std::errc() || r.ptr != end) return std::nullopt;
    return value;
}

// Restores what a run changed in the process: observers and the system host.
struct RunGuard {
    ~RunGuard() {
        SetWavePlayObserver({});
        SetMidiObservers({}, {});
        SetSystemHost(nullptr);
        ClearInput();
    }
};

}  // namespace

int RunTrace(std::istream& in, std::ostream& out, std::ostream& err) {
    TraceHost host;
    RunGuard guard;
    SetSystemHost(&host);
    QRT_Initialize();
    SetScreenSize(kWindowLayout.Screen.W, kWindowLayout.Screen.H, 1);
    ClearParticles();
    ClearTexts();
    ClearInput();
    std::vector<std::string> sounds;
    sounds.reserve(64);
    SetWavePlayObserver([&sounds](const std::string& name, float, float) { sounds.push_back(name); });
    SetMidiObservers({}, {});

    auto game = std::make_unique<frmMain>(host);
    game->ResetGame(true);

    int64_t ticks = 0;
    int lineNo = 0;
    bool anyCommand = false;
    std::string line;
    auto fail = [&](const std::string& why) {
        err << "zol-trace: line " << lineNo << ": " << why << ": \"" << line << "\"\n";
        return 2;
    };
    while (!host.closed && std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find(' ');
        const std::string cmd = line.substr(0, space);
        const std::string arg = space == std::string::npos ? std::string() : line.substr(space + 1);
        const bool first = !anyCommand;
        anyCommand = true;

        if (cmd == "seed") {
            if (!first) return fail("seed must come before any other command");
            const auto n = ParseNumber<uint64_t>(arg);
            if (!n) return fail("seed needs an unsigned 64-bit number");
            SetRandomSource(std::make_unique<SplitMix64>(*n));
        } else if (cmd == "down" || cmd == "up") {
            const auto k = ParseNumber<int>(arg);
            if (!k || !IsKeyCode(*k)) return fail("a key code 0..255 is needed");
            if (cmd == "down") {
                game->Form_KeyDown(*k, 0);
            } else {
                game->Form_KeyUp(*k, 0);
            }
        } else if (cmd == "tick") {
            const auto n = ParseNumber<uint32_t>(arg);
            if (!n) return fail("tick needs a count");
            for (uint32_t i = 0; i < *n && !host.closed; ++i) {
                ++ticks;
                host.clock = static_cast<int32_t>(kStartClock + kTickMs * ticks);
                sounds.clear();
                game->tmrMain_Timer();
                PrintTick(out, ticks, *game, sounds);
            }
            if (host.closed) game->Form_Unload();
        } else if (!arg.empty() && cmd != "input") {
            return fail("this command takes no argument");
        } else if (cmd == "mouse") {
            game->Front_MouseDown(1, 0, 0, 0);
        } else if (cmd == "yes") {
            host.answers.push_back(MsgAnswer::Yes);
        } else if (cmd == "no") {
            host.answers.push_back(MsgAnswer::No);
        } else if (cmd == "cancel") {
            host.answers.push_back(MsgAnswer::Cancel);
        } else if (cmd == "input") {
            host.inputs.push_back(arg);
        } else if (cmd == "input-cancel") {
            host.inputs.push_back(std::nullopt);
        } else if (cmd == "background") {
            host.foreground = false;
        } else if (cmd == "foreground") {
            host.foreground = true;
        } else {
            return fail("unknown command");
        }
    }
    out.flush();
    return 0;
}

}  // namespace zol::trace
