// What the game window keeps between runs: the results of ended games and the table of
// the best ones (H), the music and sound switches (M, N), the name last entered.
#include <algorithm>

#include "framework/core/qKeys.h"
#include "framework/core/qText.h"
#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"

namespace zol {

namespace {

constexpr size_t kShownRows = 10;
constexpr size_t kNameChars = 13;     // what fits before the score column at scale 2
constexpr size_t kNoticeChars = 94;   // one line across the screen at scale 1

// A short text that flashes in at the top of the board and fades.
void FloatText(const std::string& text) {
    const float w = static_cast<float>(ScreenWidth);
    const float width = static_cast<float>(Utf8Length(text)) * Game.FontMinco.CharWidth;
    AddText(Game.FontMinco, std::max(4.0f, (w - width) / 2), 8, text, 10, 0, 12, 0, 1500, 15);
}

// A text drawn twice: a shadow subtracted one step down and right, the text added over it.
void Shadowed(const std::string& text, float x, float y, float scale, int32_t hAlign,
              Color32 color) {
    SetAlphaMode(20);
    DrawText(Game.FontMinco, text, x + scale, y + scale, scale, hAlign, 2, ColorRGB(1, 1, 1), 0);
    SetAlphaMode(10);
    DrawText(Game.FontMinco, text, x, y, scale, hAlign, 2, color, 0);
}

// A name cut to what the bitmap font shows in its column.
std::string ShortName(const std::string& name) {
    std::string bytes = Utf8ToCp1252(name);
    if (bytes.size() > kNameChars) bytes.resize(kNameChars);
    return Cp1252ToUtf8(bytes);
}

// AddText reads "\" as the start of an escape; a notice shows it as it is.
std::string Literal(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

}  // namespace

void frmMain::ApplyKeptSettings() {
    const GameSettings kept = store_->Settings();
    if (kept.LastName) PlayerName = *kept.LastName;
    SetMusicMuted(kept.Music == false);
    SetSoundMuted(kept.Sound == false);
    ShowNotices();
}

void frmMain::KeptKeys() {
    if (Keys[vk::H]) {
        Keys[vk::H] = false;
        ShowScores(!ScoresShown);
    }
    // M and N switch the music and the sounds; the choice is kept and shown.
    const auto toggle = [this](int key, bool muted, void (*setMuted)(bool),
                               std::optional<bool> GameSettings::*field, const char* name) {
        if (!Keys[key]) return;
        Keys[key] = false;
        setMuted(!muted);
        GameSettings change;
        change.*field = muted;  // on when it was muted
        store_->ChangeSettings(change);
        FloatText(std::string(name) + (muted ? " on" : " off"));
        ShowNotices();
    };
    toggle(vk::M, MusicMuted(), SetMusicMuted, &GameSettings::Music, "Music");
    toggle(vk::N, SoundMuted(), SetSoundMuted, &GameSettings::Sound, "Sound");
    // The table belongs to the pause: a game that runs again (P) closes it. The game-over
    // screen never stays paused, and shows the table over itself.
    if (ScoresShown && !Paused && Game.GamePhase != PhaseGameOver) ShowScores(false);
}

void frmMain::ShowScores(bool Show) {
    if (Show && !Paused) {
        PauseFade = 1;
        Paused = true;
        PlayWaveFile("pause.wav", false, 0, 0, false, 0);
    }
    ScoresShown = Show;
    if (Show) ShownScores = store_->Results();
    ShowNotices();
}

void frmMain::RecordResult() {
    const GameRecord& g = Game;
    ScoreEntry entry{PlayerName,    g.Score,      g.Level, g.MaxChains, g.MaxExplodes,
                     g.GameFrames, NowAsDate(), Code};
    // Another press on the same game-over screen records the same game under the name
    // entered now: it takes the place of the first record and keeps its date.
    const bool again = recordedThisGame_ && latest_;
    if (again) entry.Date = latest_->Date;
    store_->RecordResult(entry, again ? &*latest_ : nullptr);
    latest_ = entry;
    recordedThisGame_ = true;
    GameSettings change;
    change.LastName = PlayerName;
    store_->ChangeSettings(change);
    if (ScoresShown) ShownScores = store_->Results();
    ShowNotices();
}

void frmMain::ShowNotices() {
    float y = 20;
    for (const std::string& notice : store_->TakeNotices()) {
        // Long notices (paths) are broken into lines the screen can hold.
        const std::string bytes = Utf8ToCp1252(notice);
        for (size_t at = 0; at < bytes.size(); at += kNoticeChars, y += Game.FontMinco.LineHeight) {
            AddText(Game.FontMinco, 4, y, Literal(Cp1252ToUtf8(bytes.substr(at, kNoticeChars))), 10,
                    0, 12, 500, 9000, 10);
        }
    }
}

void frmMain::RenderScores() {
    const float w = static_cast<float>(ScreenWidth), h = static_cast<float>(ScreenHeight);
    SetAlphaMode(20);
    BltSurface(12, 6, w - 24, h - 12, ColorRGB(0.5f, 0.5f, 0.5f));
    Shadowed("Best Results", w / 2, 22, 3, 2, ColorRGB(1, 0.8f, 0.2f));

    const Color32 head = ColorRGB(0.6f, 0.8f, 1), row = ColorRGB(0.85f, 0.85f, 0.85f),
                  mark = ColorRGB(1, 1, 0.3f);
    if (ShownScores.empty()) {
        Shadowed("No results yet", w / 2, h / 2, 2, 2, row);
        Shadowed("End a game and click to enter your name", w / 2, h / 2 + 22, 1, 2, head);
    } else {
        Shadowed("Name", 60, 44, 1, 0, head);
        Shadowed("Score", 320, 44, 1, 1, head);
        Shadowed("Level", 368, 44, 1, 1, head);
        Shadowed("Date", 382, 44, 1, 0, head);
    }
    const size_t latest = latest_ ? PlaceOf(ShownScores, *latest_) : 0;
    // The ten best, and the latest result below them when it is further down.
    const size_t rows = std::min(kShownRows, ShownScores.size());
    for (size_t i = 0; i <= rows; ++i) {
        const size_t place = i < rows ? i + 1 : latest;
        if (place == 0 || (i == rows && place <= rows)) continue;
        const ScoreEntry& e = ShownScores[place - 1];
        const float y = 60 + 18.0f * static_cast<float>(i) + (i == rows ? 6 : 0);
        const Color32 color = place == latest ? mark : row;
        if (place == latest) Shadowed(">", 16, y, 2, 0, mark);
        Shadowed(std::to_string(place) + ".", 54, y, 2, 1, color);
        Shadowed(ShortName(e.Name), 60, y, 2, 0, color);
        Shadowed(FormatGrouped(e.Score), 320, y, 2, 1, color);
        Shadowed(std::to_string(e.Level), 368, y, 2, 1, color);
        Shadowed(DateText(e.Date).substr(0, 10), 382, y, 1, 0, color);
    }
    Shadowed("H or Escape: close    M: music    N: sound", w / 2, h - 14, 1, 2, head);
}

}  // namespace zol
