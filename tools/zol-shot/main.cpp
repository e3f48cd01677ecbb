// zol-shot: plays the real game headless and writes pictures of it.
//
//   zol-shot [--seed N] [--ticks N] [--img DIR] [--screen-only]
//            [--key TICK:KEY[:HOLD]]... [--unfocus TICK] [--focus TICK]
//            [--shot TICK:FILE.png]... [--out FILE.png]
//
// The game runs on the OpenGL backend (SDL_VIDEODRIVER=offscreen, so llvmpipe without a
// display), with a seeded random source and scripted keys, one 30 ms tick at a time.
// KEY is a virtual-key code or a name (Left, Up, Right, Down, Space, Enter, Back, Esc,
// F12, Shift or a letter); it goes down at TICK and up HOLD ticks later (default 1).
// --shot writes the window (580 x 388: a plain chrome with the level bar, the logical
// screen at 50, 50) after that tick; --screen-only writes the 480 x 288 logical screen.
// Without --img the images next to the program are used, or placeholders when none are.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Placeholders.h"
#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/sdl/GlWindowPresenter.h"
#include "framework/graphics/qDDraw.h"
#include "framework/qRuntime.h"
#include "game/frmMain.h"
#include "game/mZol.h"

namespace {

using namespace zol;

// The desktop, headless: a clock advanced by the script, no dialogs (cancelled).
class ShotHost final : public WindowHost {
public:
    int32_t Clock = 100000;
    bool Foreground = true;
    bool Closed = false;
    std::optional<std::string> Clipboard;
    int32_t GetTickCount() override { return Clock; }
    MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon) override {
        std::fprintf(stderr, "zol-shot: message \"%s\": %s\n", title.c_str(), text.c_str());
        return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::No;
    }
    bool IsForeground() override { return Foreground; }
    std::optional<std::string> GetClipboardText() override { return Clipboard; }
    void SetClipboardText(const std::string& Text) override { Clipboard = Text; }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void CloseWindow() override { Closed = true; }
    bool IsClosing() override { return Closed; }
    double TimeOfDay() override { return 43200.0 + Clock / 1000.0; }
    void SetCaption(const std::string&) override {}
    void ShowWindow() override {}
    void SetTimerEnabled(bool) override {}
    void* NativeWindow() override { return nullptr; }
};

struct KeyEvent {
    long Tick;
    int Code;
    bool Down;
};

std::optional<int> KeyCode(const std::string& name) {
    static const std::map<std::string, int> names = {
        {"Left", vk::Left},   {"Up", vk::Up},         {"Right", vk::Right}, {"Down", vk::Down},
        {"Space", vk::Space}, {"Enter", vk::Return},  {"Back", vk::Back},   {"Esc", vk::Escape},
        {"F12", vk::F12},     {"Shift", vk::Shift}};
    if (auto it = names.find(name); it != names.end()) return it->second;
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    char* end = nullptr;
    const long v = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == 0 && IsKeyCode(static_cast<int>(v))) return static_cast<int>(v);
    return std::nullopt;
}

std::optional<long> Number(const std::string& s) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != 0 || v < 0) return std::nullopt;
    return v;
}

// The plain window chrome: a dark frame, Front's one-pixel border and the level bar.
void PaintChrome(std::vector<uint32_t>& px, const ui::Bar& bar) {
    // An opaque RGBA32 pixel (bytes R, G, B, A in memory) from 0xRRGGBB.
    auto rgba = [](uint32_t rgb) {
        const uint8_t bytes[4] = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                  static_cast<uint8_t>(rgb), 255};
        uint32_t p;
        std::memcpy(&p, bytes, 4);
        return p;
    };
    const WindowLayout& layout = kWindowLayout;
    const int cw = layout.ClientWidth, ch = layout.ClientHeight;
    px.assign(static_cast<size_t>(cw) * static_cast<size_t>(ch), rgba(0x2A3344));
    auto fill = [&](int x0, int y0, int w, int h, uint32_t c) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (x >= 0 && y >= 0 && x < cw && y < ch) px[static_cast<size_t>(y * cw + x)] = c;
    };
    fill(layout.Front.X, layout.Front.Y, layout.Front.W, layout.Front.H, rgba(0));
    const WindowBar d = bar.Draw(52, 342, 477, 7);
    if (d.BorderWidth > 0) fill(d.FrameLeft, d.FrameTop, d.FrameWidth, d.FrameHeight, rgba(0));
    fill(d.FillLeft, d.FillTop, d.FrameWidth - 2 * d.BorderWidth, d.FillHeight, rgba(d.BackRGB));
    fill(d.FillLeft, d.FillTop, d.FillWidth, d.FillHeight, rgba(d.ForeRGB));
}

bool SavePng(const std::string& file, std::vector<uint32_t>& px, int w, int h) {
    for (uint32_t& p : px) reinterpret_cast<uint8_t*>(&p)[3] = 255;  // opaque, whatever blending left
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormatFrom(px.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
    const bool ok = s && IMG_SavePNG(s, file.c_str()) == 0;
    if (s) SDL_FreeSurface(s);
    if (!ok) std::fprintf(stderr, "zol-shot: cannot write %s: %s\n", file.c_str(), SDL_GetError());
    return ok;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zol-shot [--seed N] [--ticks N] [--img DIR] [--screen-only]\n"
                 "                [--key TICK:KEY[:HOLD]]... [--unfocus TICK] [--focus TICK]\n"
                 "                [--shot TICK:FILE.png]... [--out FILE.png]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    uint64_t seed = 1;
    long ticks = 300;
    std::string img, out = "zol-shot.png";
    bool screenOnly = false;
    std::vector<KeyEvent> keys;
    std::map<long, bool> focus;
    std::multimap<long, std::string> shots;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        auto value = [&] { return std::string(argv[++i]); };
        if (a == "--screen-only") {
            screenOnly = true;
        } else if (!hasValue) {
            return Usage();
        } else if (a == "--seed" || a == "--ticks" || a == "--unfocus" || a == "--focus") {
            const auto n = Number(value());
            if (!n) return Usage();
            if (a == "--seed") seed = static_cast<uint64_t>(*n);
            else if (a == "--ticks") ticks = *n;
            else focus[*n] = a == "--focus";
        } else if (a == "--img") {
            img = value();
            if (!img.empty() && img.back() != '/') img += '/';
        } else if (a == "--out") {
            out = value();
        } else if (a == "--key") {
            const std::string v = value();
            const size_t c1 = v.find(':'), c2 = v.find(':', c1 == std::string::npos ? c1 : c1 + 1);
            if (c1 == std::string::npos) return Usage();
            const auto t = Number(v.substr(0, c1));
            const auto k = KeyCode(v.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1));
            const auto hold = c2 == std::string::npos ? std::optional<long>(1) : Number(v.substr(c2 + 1));
            if (!t || !k || !hold) return Usage();
            keys.push_back({*t, *k, true});
            keys.push_back({*t + std::max(1L, *hold), *k, false});
        } else if (a == "--shot") {
            const std::string v = value();
            const size_t c = v.find(':');
            const auto t = c == std::string::npos ? std::nullopt : Number(v.substr(0, c));
            if (!t || c + 1 >= v.size()) return Usage();
            shots.emplace(*t, v.substr(c + 1));
        } else {
            return Usage();
        }
    }
    if (shots.empty()) shots.emplace(ticks, out);

    ShotHost host;
    SetSystemHost(&host);
    QRT_Initialize();
    SetRandomSource(std::make_unique<SplitMix64>(seed));

    std::string error;
    const WindowLayout& layout = kWindowLayout;
    SDL_Window* window = CreateHiddenGlWindow(layout.ClientWidth, layout.ClientHeight, &error);
    if (!window) {
        std::fprintf(stderr, "zol-shot: no window: %s\n", error.c_str());
        return 1;
    }
    GlScreenLink link;
    sdl::GlWindowPresenter presenter(window, link);
    SetRenderDeviceFactory(GlRenderDevice::Factory(&link));
    if (!Window_Initialize(nullptr, window, layout.Screen.W, layout.Screen.H)) {
        std::fprintf(stderr, "zol-shot: no graphics device: %s\n", GetErrorText(0).c_str());
        SDL_DestroyWindow(window);
        return 1;
    }

    std::string placeholderDir;
    if (img.empty()) {
        if (FileExists(AppPath + "img/blocks.png")) {
            img = AppPath + "img/";
        } else {
            char tmpl[] = "/tmp/zol-shot-XXXXXX";
            if (!mkdtemp(tmpl) || !shot::WritePlaceholderImages(std::string(tmpl) + "/", &error)) {
                std::fprintf(stderr, "zol-shot: no placeholder images: %s\n", error.c_str());
                QRT_Release();
                return 1;
            }
            placeholderDir = img = std::string(tmpl) + "/";
        }
    }
    ImagePath = img;
    LoadGraphics();

    int status = 0;
    {
        frmMain form(host);
        form.ResetGame(true);
        std::vector<uint32_t> chrome, px;
        uint64_t chromeVersion = 0;
        float lastBar = -1;
        for (long t = 0; t <= ticks && !host.Closed; ++t) {
            if (auto f = focus.find(t); f != focus.end()) host.Foreground = f->second;
            for (const KeyEvent& k : keys) {
                if (k.Tick != t) continue;
                if (k.Down) form.Form_KeyDown(k.Code, 0);
                else form.Form_KeyUp(k.Code, 0);
            }
            if (t > 0) host.Clock += 30;
            form.tmrMain_Timer();
            auto [first, last] = shots.equal_range(t);
            if (first == last) continue;
            if (form.barLevel.Value() != lastBar || chrome.empty()) {
                lastBar = form.barLevel.Value();
                PaintChrome(chrome, form.barLevel);
                ++chromeVersion;
            }
            presenter.Present({chrome.data(), layout.ClientWidth, layout.ClientHeight, chromeVersion, {}},
                              true, layout.Screen.X, layout.Screen.Y);
            int w = 0, h = 0;
            const bool read = screenOnly ? link.Device && link.Device->ReadScreen(px, w, h)
                                         : presenter.ReadWindow(px, w, h);
            for (auto it = first; it != last; ++it) {
                if (!read || !SavePng(it->second, px, w, h)) status = 1;
                else std::printf("tick %ld: %s (%dx%d)\n", t, it->second.c_str(), w, h);
            }
        }
    }
    QRT_Release();
    SDL_DestroyWindow(window);
    if (!placeholderDir.empty()) std::filesystem::remove_all(placeholderDir);
    return status;
}
