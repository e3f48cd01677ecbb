// Start-up and shutdown of the game window, and what it shows around its drawing area.
#include <exception>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/core/qText.h"
#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "framework/qRuntime.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"
#include "game/mZol.h"
#include "ui/Dialog.h"

namespace zol {

namespace {
constexpr const char* kVersion = ZOL_VERSION;
constexpr const char* kTitle = "Zol";
constexpr const char* kCreditLine = "Zol - merge the blocks";
constexpr const char* kWebAddress = "zol.example.org";

// A pasted text as a question quotes it: a long one keeps its first and last 60
// characters around an ellipsis, so that the question always fits the screen.
std::string Quoted(const std::string& text) {
    constexpr size_t kKeep = 60;
    std::vector<size_t> starts;  // where each character begins
    for (size_t i = 0; i < text.size();) {
        starts.push_back(i);
        char32_t cp = 0;
        NextUtf8(text, i, cp);
    }
    if (starts.size() <= 2 * kKeep) return text;
    return text.substr(0, starts[kKeep]) + ui::kEllipsis +
           text.substr(starts[starts.size() - kKeep]);
}

// Every "[1]" of the caption replaced by the program's version.
std::string WithVersion(std::string caption) {
    const std::string marker = "[1]", version = kVersion;
    for (size_t at = caption.find(marker); at != std::string::npos;
         at = caption.find(marker, at + version.size()))
        caption.replace(at, marker.size(), version);
    return caption;
}
}  // namespace

void frmMain::Form_Load() {
    try {
        QRT_Initialize();

        // A score code left on the clipboard may be verified instead of playing; the
        // program then ends without ever showing the game.
        if (const auto clip = Host().GetClipboardText()) {
            const std::string text = TrimSpaces(*clip);
            if (LooksLikeCopiedCode(text)) {
                const MsgAnswer answer = Host().MessageBox("Verify copied code? " + Quoted(text),
                                                           kTitle, MsgButtons::YesNo,
                                                           MsgIcon::Question);
                if (answer == MsgAnswer::Yes) VerifyCode(text);
                // Yes ends the program after the report; a close request ends it at once.
                if (answer == MsgAnswer::Yes || Host().IsClosing()) {
                    Host().CloseWindow();
                    return;
                }
            }
        }

        if (!Window_Initialize(Host().NativeWindow(), Host().NativeWindow(),
                               kWindowLayout.Screen.W, kWindowLayout.Screen.H)) {
            Host().MessageBox("Could not initialize window! The program will now exit.", kTitle,
                              MsgButtons::OK, MsgIcon::Error);
            QRT_Release();
            Host().CloseWindow();
            return;
        }
        // Closed while a device's message was open: the game is not to start.
        if (Host().IsClosing()) {
            Host().CloseWindow();
            return;
        }

        ImagePath = AppPath + "img/";
        WavePath = AppPath + "wave/";
        MidiPath = AppPath + "midi/";
        LoadGraphics();
        ApplyKeptSettings();
        ResetGame(true);

        Caption = WithVersion(Caption);
        Host().SetCaption(Caption);

        Host().ShowWindow();
        Host().SetTimerEnabled(true);
        tmrMain_Timer();

        AddText(Game.FontMinco, 10, static_cast<float>(ScreenHeight - 14), kCreditLine, 10, 0, 24,
                1000, 5000, 50);
        AddText(Game.FontMinco, static_cast<float>(ScreenWidth - 110),
                static_cast<float>(ScreenHeight - 14), kWebAddress, 10, 0, 24, 1800, 5000, 50);
    } catch (const std::exception& e) {
        Host().MessageBox(e.what(), kTitle, MsgButtons::OK, MsgIcon::Error);
        Host().CloseWindow();
    }
}

void frmMain::Form_Unload() { QRT_Release(); }

void frmMain::DescribeWindow(WindowContent& Content) {
    Content.Layout = kWindowLayout;
    const ui::Label* labels[] = {&lblLevel,  &lblScore, &lblCurrentChain, &lblCurrentExplodes,
                                 &lblFrames, &lblFPS,   &lblTiva};
    constexpr size_t count = sizeof(labels) / sizeof(labels[0]);
    if (Content.Labels.size() != count) Content.Labels.resize(count);
    // Copy-assignment keeps each caption's storage, so an unchanged window allocates nothing.
    for (size_t i = 0; i < count; ++i) Content.Labels[i] = *labels[i];
    Content.Bar = barLevel.Draw(52, 342, 477, 7);
}

}  // namespace zol
