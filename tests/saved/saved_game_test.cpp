// The game keeping its results and the player's switches in files, across a restart.
#include <gtest/gtest.h>

#include "app/SavedStore.h"
#include "data/TempDir.h"
#include "framework/core/qKeys.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "support/GameHarness.h"
#include "support/RecordingMusicDevice.h"
#include "support/RecordingSoundDevice.h"

namespace zol::test {
namespace {

app::SavePaths PathsIn(const TempDir& dir) {
    return {dir.Folder() + "data/zol/scores", dir.Folder() + "config/zol/settings"};
}

// A game on a store of the files at Paths, started as the program starts it.
struct SavedGame {
    explicit SavedGame(const app::SavePaths& paths) : store(paths) {
        h.game.SetStore(&store);
        h.game.ApplyKeptSettings();
    }
    // Ends a new game: a column of blocks stops its first piece at the right edge.
    void EndGame() {
        h.game.ResetGame(true);
        for (int y = 0; y < kMapRows; ++y) h.Put(9, y, 1 + y % 2);
        ASSERT_TRUE(h.TickUntil([&] { return h.Phase() == PhaseGameOver; }, 100));
    }
    void EnterName(const std::string& name) {
        h.host.InputAnswers.push_back(name);
        h.game.Front_MouseDown(1, 0, 10, 10);
    }
    app::SavedStore store;
    GameHarness h{3};
};

TEST(SavedGame, AnEndedGameIsKeptAndShownAfterARestart) {
    const TempDir dir;
    {
        SavedGame run(PathsIn(dir));
        run.EndGame();
        run.EnterName("Ann");
        run.EnterName("Anna");  // a second press records the same game under the new name
        const ScoreList table = run.store.Results();
        ASSERT_EQ(table.size(), 1u);
        EXPECT_EQ(table[0].Name, "Anna");
        EXPECT_EQ(table[0].Code, run.h.game.Code);
        EXPECT_EQ(table[0].GameFrames, run.h.G().GameFrames);
        run.h.Tap(vk::H);
        ASSERT_TRUE(run.h.game.ScoresShown);
        ASSERT_TRUE(run.h.game.LatestResult());
        EXPECT_EQ(PlaceOf(run.h.game.ShownScores, *run.h.game.LatestResult()), 1u) << "marked";
    }

    SavedGame run(PathsIn(dir));  // the next start
    EXPECT_EQ(run.h.game.PlayerName, "Anna") << "the kept name is offered";
    EXPECT_TRUE(run.store.TakeNotices().empty());
    run.h.Tick(30);
    run.h.Tap(vk::H);
    frmMain& f = run.h.game;
    EXPECT_TRUE(f.ScoresShown && f.Paused) << "H pauses like V";
    EXPECT_EQ(run.h.CountSound("pause.wav"), 1);
    ASSERT_EQ(f.ShownScores.size(), 1u);
    EXPECT_EQ(f.ShownScores[0].Name, "Anna");
    run.h.Tap(vk::Escape);
    EXPECT_FALSE(f.ScoresShown);
    EXPECT_FALSE(run.h.host.Closed) << "Escape closed the table, not the game";
    EXPECT_TRUE(f.Paused);
    run.h.Tap(vk::H);
    run.h.Tap(vk::P);
    EXPECT_FALSE(f.ScoresShown) << "a game that runs again closes the table";

    run.EndGame();
    run.EnterName("Bob");
    EXPECT_EQ(run.h.host.Inputs.back().Default, "Anna");
    EXPECT_EQ(run.store.Results().size(), 2u);
}

TEST(SavedGame, MuteSwitchesSilenceSoundAndMusicAndSurviveARestart) {
    const TempDir dir;
    auto sound = std::make_shared<SoundRecord>();
    auto music = std::make_shared<MusicRecord>();
    SetSoundDeviceFactory(RecordingSoundFactory(sound));
    SetMusicDeviceFactory(RecordingMusicFactory(music));
    WavePath = ZOL_BINARY_DIR "/wave/";
    MidiPath = ZOL_BINARY_DIR "/midi/";
    const auto start = [&](SavedGame& run) {
        ASSERT_TRUE(DSound_Initialize(nullptr) && DMusic_Initialize(nullptr));
        run.h.game.ResetGame(true);
    };
    const auto pauseBuffer = [&] { return *sound->Buffers.back(); };
    {
        SavedGame run(PathsIn(dir));
        start(run);
        EXPECT_EQ(music->MasterAttenuation, -2000);
        run.h.Tap(vk::P);
        EXPECT_EQ(pauseBuffer().Attenuation, 0);
        run.h.Tap(vk::M);
        run.h.Tap(vk::N);
        EXPECT_EQ(music->MasterAttenuation, -10000);
        EXPECT_EQ(pauseBuffer().Attenuation, -10000);
        run.h.Tap(vk::P);
        EXPECT_EQ(pauseBuffer().Plays, 2) << "muted sounds still play, silently";
        EXPECT_EQ(pauseBuffer().Attenuation, -10000);
    }
    DSound_Release();
    DMusic_Release();
    SetSoundMuted(false);
    SetMusicMuted(false);

    {
        SavedGame run(PathsIn(dir));  // the next start
        start(run);
        EXPECT_EQ(music->MasterAttenuation, -10000) << "the song starts muted";
        run.h.Tap(vk::P);
        EXPECT_EQ(pauseBuffer().Attenuation, -10000);
        run.h.Tap(vk::M);
        run.h.Tap(vk::N);
        EXPECT_EQ(music->MasterAttenuation, -2000) << "the song's own volume comes back";
        EXPECT_EQ(pauseBuffer().Attenuation, 0);
    }
    EXPECT_EQ(app::SavedStore(PathsIn(dir)).Settings().Music, true);
    DSound_Release();
    DMusic_Release();
    SetSoundDeviceFactory(nullptr);
    SetMusicDeviceFactory(nullptr);
}

}  // namespace
}  // namespace zol::test
