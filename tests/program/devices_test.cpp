// The real program when a device is missing: what start-up says, and whether the game
// still runs.
#include <gtest/gtest.h>

#include "framework/graphics/qDDraw.h"
#include "program/ProgramRun.h"

namespace zol::test {
namespace {

const std::string kCrLf = "\r\n";

TEST(ProgramDevices, WithoutSoundTheGameSaysSoOnceAndRunsSilently) {
    ProgramRun run;
    int opened = 0;
    run.Options.Use.Sound = [&opened] {
        ++opened;
        return std::make_unique<NoSoundDevice>();
    };
    run.Options.Use.Music = SilentFluidSynth();
    run.QuitAfter(30);
    EXPECT_EQ(run.Run(), 0);

    EXPECT_EQ(opened, 1);
    ASSERT_EQ(run.Messages.size(), 1u);
    const auto& box = run.Messages[0];
    EXPECT_EQ(box.Title, "Create DSound device");
    EXPECT_EQ(box.Text, "DirectX: Audio device not available!" + kCrLf +
                            "(no sound card in this test)" + kCrLf + kCrLf +
                            "Sound playback is disabled.");
    EXPECT_EQ(box.Icon, MsgIcon::Information);
    EXPECT_EQ(box.Buttons, MsgButtons::OK);
    // Music was still tried, and the game played on without sound (the last tick is the
    // one that closed the window and released everything).
    ASSERT_GE(run.Ticks.size(), 30u);
    const TickRecord& playing = run.Ticks[28];
    EXPECT_FALSE(playing.Sound);
    EXPECT_TRUE(playing.Music);
    EXPECT_TRUE(playing.Drawing);
    EXPECT_GE(playing.GameFrames, 28);
}

TEST(ProgramDevices, WithoutSoundAndMusicBothBoxesAppearSoundFirst) {
    ProgramRun run;
    run.Options.Use.Sound = [] { return std::make_unique<NoSoundDevice>(); };
    run.Options.Use.Music = [] { return std::make_unique<NoMusicDevice>(); };
    run.QuitAfter(5);
    EXPECT_EQ(run.Run(), 0);

    ASSERT_EQ(run.Messages.size(), 2u);
    EXPECT_EQ(run.Messages[0].Title, "Create DSound device");
    const auto& box = run.Messages[1];
    EXPECT_EQ(box.Title, "Create DMusic device");
    EXPECT_EQ(box.Text, "DirectX: MIDI device not available!" + kCrLf +
                            "(no MIDI output in this test)" + kCrLf + kCrLf +
                            "Music playback (MIDI) is disabled.");
    EXPECT_EQ(box.Icon, MsgIcon::Information);
    ASSERT_GE(run.Ticks.size(), 5u);
    EXPECT_FALSE(run.Ticks[3].Sound || run.Ticks[3].Music);
    EXPECT_TRUE(run.Ticks[3].Drawing);
    EXPECT_GT(run.Ticks.back().GameFrames, 3);
}

TEST(ProgramDevices, WithoutOpenGlStartUpEndsOnItsMessagesWithoutAWindowLoop) {
    ProgramRun run;
    int sound = 0, music = 0;
    run.Options.Use.Render = [](void*, bool, std::string* error) -> std::unique_ptr<RenderDevice> {
        if (error) *error = "no OpenGL context in this test";
        return nullptr;
    };
    run.Options.Use.Sound = [&sound] {
        ++sound;
        return std::make_unique<NoSoundDevice>();
    };
    run.Options.Use.Music = [&music] {
        ++music;
        return std::make_unique<NoMusicDevice>();
    };
    EXPECT_NE(run.Run(), 0);

    ASSERT_EQ(run.Messages.size(), 2u);
    const auto& fatal = run.Messages[0];
    EXPECT_EQ(fatal.Title, "Create D3D device");
    EXPECT_EQ(fatal.Icon, MsgIcon::Error);
    EXPECT_EQ(fatal.Text, "DirectX: Video device not available!" + kCrLf +
                              "(No OpenGL 3.3 renderer is available: no OpenGL context in this "
                              "test)" + kCrLf + kCrLf + "The application will now exit.");
    EXPECT_EQ(run.Messages[1].Text, "Could not initialize window! The program will now exit.");
    EXPECT_EQ(run.Messages[1].Icon, MsgIcon::Error);
    // Nothing after the graphics device was tried: no sound, no music, no tick.
    EXPECT_EQ(sound, 0);
    EXPECT_EQ(music, 0);
    EXPECT_TRUE(run.Ticks.empty());
    EXPECT_EQ(GetRenderDevice(), nullptr);
}

}  // namespace
}  // namespace zol::test
