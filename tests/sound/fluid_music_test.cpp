#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include <fluidsynth.h>

#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/qDMusic.h"
#include "SoundTestFiles.h"

namespace zol {
namespace {

constexpr int kDivision = 96;  // not 768, so every position goes through the conversion
constexpr int32_t kQuarter = 768;  // one quarter note in music time

// A song at 240 beats per minute (a quarter lasts 250 ms): a note on every quarter for
// Quarters quarters.
std::vector<uint8_t> QuarterNotes(int quarters) {
    testfiles::MidiWriter w(kDivision);
    w.Track().Add(0, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}).End(0);
    w.Track().Program(0, 0);
    for (int q = 0; q < quarters; ++q) w.Note(static_cast<uint32_t>(q * kDivision), kDivision - 8, static_cast<uint8_t>(60 + q % 12));
    w.End(static_cast<uint32_t>(quarters * kDivision));
    return w.Bytes();
}

class FluidMusic : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppPath;
        AppPath = folder_.Path();
        MidiPath = folder_.Path() + "midi/";
        testfiles::WriteBytes(MidiPath + "eight.mid", QuarterNotes(8));
        testfiles::WriteBytes(MidiPath + "long.mid", QuarterNotes(64));
        SetMusicDeviceFactory([this] {
            auto device = std::make_unique<FluidMusicDevice>(FluidOutput::Memory);
            device_ = device.get();
            return device;
        });
        ASSERT_TRUE(DMusic_Initialize(nullptr)) << MusicErrorText();
    }
    void TearDown() override {
        DMusic_Release();
        SetMusicDeviceFactory(nullptr);
        AppPath = saved_;
        MidiPath.clear();
    }

    // Renders Ms milliseconds in blocks of 64 frames; returns the peak sample. Every
    // block's file tick goes to ticks_.
    float RenderMs(int ms) {
        const int frames = device_->SampleRate() * ms / 1000;
        float peak = 0;
        std::vector<float> block(128);
        for (int done = 0; done < frames; done += 64) {
            EXPECT_TRUE(device_->Render(block.data(), 64));
            for (float s : block) peak = std::max(peak, std::fabs(s));
            ticks_.push_back(device_->CurrentFileTick());
        }
        return peak;
    }

    testfiles::ScratchFolder folder_{"fluid"};
    std::string saved_;
    FluidMusicDevice* device_ = nullptr;
    std::vector<int32_t> ticks_;
};

TEST_F(FluidMusic, TheLoopReturnsToLoopStartAndItsFirstNoteSoundsOnEveryRepeat) {
    // One note, at the loop start (the second quarter); the rest of the stretch is silent.
    testfiles::MidiWriter w(kDivision);
    w.Track().Add(0, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}).Program(0, 0).Note(kDivision, kDivision / 2, 72).End(4 * kDivision);
    testfiles::WriteBytes(MidiPath + "single.mid", w.Bytes());
    ASSERT_TRUE(PlayMidiFile("single.mid", true, 1, 0, kQuarter, 3 * kQuarter, 0));
    RenderMs(750);  // up to the first jump
    for (int repeat = 0; repeat < 3; ++repeat) {
        const float onset = RenderMs(150);
        RenderMs(200);
        const float fading = RenderMs(150);
        EXPECT_GT(onset, 4 * fading) << "repeat " << repeat;
    }
    // The file ticks run up to the loop end (288) and jump back to its start (96): the
    // first pass takes 750 ms, each repeat 500 ms.
    const int32_t highest = *std::max_element(ticks_.begin(), ticks_.end());
    EXPECT_GE(highest, 287);
    EXPECT_LE(highest, 290);
    int jumps = 0;
    for (size_t i = 1; i < ticks_.size(); ++i) {
        if (ticks_[i] < ticks_[i - 1]) {
            ++jumps;
            EXPECT_GE(ticks_[i], 96);
            EXPECT_LE(ticks_[i], 98);
        }
    }
    EXPECT_GE(jumps, 3);
    EXPECT_EQ(device_->LoopsTaken(), jumps);
    EXPECT_TRUE(device_->IsPlaying());
}

TEST_F(FluidMusic, NotesFromTheLoopEndOnAreNeverHeard) {
    // A silent stretch, then a note exactly at the loop end.
    testfiles::MidiWriter w(kDivision);
    w.Track().Add(0, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}).Program(0, 0).Note(3 * kDivision, kDivision, 72).End(4 * kDivision);
    testfiles::WriteBytes(MidiPath + "late.mid", w.Bytes());
    ASSERT_TRUE(PlayMidiFile("late.mid", true, 1, 0, kQuarter, 3 * kQuarter, 0));
    EXPECT_LT(RenderMs(2000), 1e-4f);
    EXPECT_GE(device_->LoopsTaken(), 3);
}

TEST_F(FluidMusic, LoopEndZeroRepeatsUpToTheSongsEndAndOnceMeansOnce) {
    ASSERT_TRUE(PlayMidiFile("eight.mid", true, 1, 0, 6 * kQuarter, 0, 0));
    RenderMs(3500);  // 2 s to the end, then 500 ms per repeat
    EXPECT_LE(*std::max_element(ticks_.begin(), ticks_.end()), 8 * kDivision + 2);
    EXPECT_GE(device_->LoopsTaken(), 2);
    EXPECT_GE(ticks_.back(), 6 * kDivision);
    EXPECT_TRUE(device_->IsPlaying());
    EXPECT_GT(RenderMs(200), 0.01f);

    ASSERT_TRUE(PlayMidiFile("eight.mid", false, 1, 0, 0, 0, 4 * kQuarter));  // from the middle, once
    ticks_.clear();
    RenderMs(50);
    EXPECT_GE(ticks_.front(), 4 * kDivision);
    // The player lets the last notes ring out before it reports the end.
    RenderMs(5000);
    EXPECT_FALSE(device_->IsPlaying());
    EXPECT_EQ(device_->LoopsTaken(), 0);
    EXPECT_TRUE(std::is_sorted(ticks_.begin(), ticks_.end()));
}

TEST_F(FluidMusic, MidiStopSilencesWithin100MsAndTwiceIsHarmless) {
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 1, 0, 0, 0, 0));
    EXPECT_GT(RenderMs(400), 0.01f);
    MidiStop();
    RenderMs(2);
    EXPECT_EQ(device_->ActiveVoices(), 0);  // every note is cut at once
    // What is left is the reverb's tail, below -50 dB after 100 ms.
    RenderMs(98);
    EXPECT_LT(RenderMs(200), 0.003f);
    EXPECT_FALSE(device_->IsPlaying());
    MidiStop();
    EXPECT_LT(RenderMs(50), 0.003f);
    EXPECT_EQ(device_->ActiveVoices(), 0);
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 1, 0, 0, 0, 0));
    EXPECT_GT(RenderMs(300), 0.01f);
}

TEST_F(FluidMusic, MissingFileLeavesTheRunningSongPlaying) {
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 1, 0, 0, 0, 0));
    RenderMs(200);
    const int32_t before = device_->CurrentFileTick();
    EXPECT_FALSE(PlayMidiFile("missing.mid", true, 1, 0, 0, 0, 0));
    EXPECT_TRUE(device_->IsPlaying());
    EXPECT_GT(RenderMs(200), 0.01f);
    EXPECT_GT(device_->CurrentFileTick(), before);
}

TEST_F(FluidMusic, ZeroVolumeAndTempoKeepTheMasterSettingsAndTempoStopsAt64) {
    // At tempo 1 the song runs at 384 file ticks per second.
    auto ticksPerSecond = [this](int ms) {
        ticks_.clear();
        RenderMs(ms);
        const double seconds = (ticks_.size() - 1) * 64.0 / device_->SampleRate();
        return (ticks_.back() - ticks_.front()) / seconds;
    };
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 0.5f, 2.0f, 0, 0, 0));
    EXPECT_NEAR(device_->Gain(), std::pow(10.0f, -2.5f), 1e-6);
    EXPECT_NEAR(ticksPerSecond(1000), 768, 10);
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 0, 0, 0, 0, 0));
    SetupMidi(-1.0f, -5.0f);  // negative acts as 0: unchanged
    EXPECT_NEAR(device_->Gain(), std::pow(10.0f, -2.5f), 1e-6);
    EXPECT_NEAR(ticksPerSecond(1000), 768, 10);
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 1, 100.0f, 0, 0, 0));
    EXPECT_NEAR(device_->Gain(), 1.0f, 1e-6);
    EXPECT_NEAR(ticksPerSecond(100), 384 * 64, 250);
    SetupMidi(1.0f / 3.0f, 0.5f);
    EXPECT_NEAR(device_->Gain(), std::pow(10.0f, -6667 / 2000.0f), 1e-6);
    EXPECT_NEAR(ticksPerSecond(1000), 192, 10);
}

TEST_F(FluidMusic, DamagedSongsFailAndLeaveNothingPlaying) {
    auto bytes = QuarterNotes(8);
    bytes.resize(bytes.size() - 5);
    testfiles::WriteBytes(MidiPath + "cut.mid", bytes);
    testfiles::WriteBytes(MidiPath + "smpte.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0xE7, 40,
                                                    'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
    ASSERT_TRUE(PlayMidiFile("long.mid", true, 1, 0, 0, 0, 0));
    EXPECT_FALSE(PlayMidiFile("cut.mid", true, 1, 0, 0, 0, 0));
    EXPECT_FALSE(device_->IsPlaying());
    EXPECT_FALSE(PlayMidiFile("smpte.mid", true, 1, 0, 0, 0, 0));
    EXPECT_FALSE(PlayMidiFile("eight.mid", true, 1, 0, 3 * kQuarter, kQuarter, 0));  // empty stretch
    EXPECT_FALSE(PlayMidiFile("eight.mid", false, 1, 0, 0, 0, 99 * kQuarter));       // starts past the end
    RenderMs(300);
    EXPECT_FALSE(device_->IsPlaying());
}

TEST(FluidMusicOpen, SoundfontChoiceAndMissingSoundfont) {
    FluidMusicDevice none(FluidOutput::Memory, "/nonexistent/none.sf2");
    EXPECT_FALSE(none.Open());
    EXPECT_EQ(none.ErrorCode(), kMusicErrNoSoundfont);
    EXPECT_FALSE(none.ErrorText().empty());
    EXPECT_FALSE(none.LoadSong(QuarterNotes(2)));
    std::vector<float> out(128);
    EXPECT_FALSE(none.Render(out.data(), 64));
    none.Stop();
    none.Reset();

    // A soundfont beside the program wins; files that only look like one are passed over.
    testfiles::ScratchFolder folder("sf2");
    const std::string saved = AppPath;
    AppPath = folder.Path();
    testfiles::WriteBytes(folder.Path() + "midi/aaa.sf2", {'R', 'I', 'F', 'F', 0, 0, 0, 0});
    FluidMusicDevice system(FluidOutput::Memory);
    ASSERT_TRUE(system.Open()) << system.ErrorText();
    EXPECT_NE(system.SoundfontPath(), folder.Path() + "midi/aaa.sf2");
    // One that has a soundfont's header but is damaged inside falls back to the next,
    // here the system's, instead of leaving the game without music.
    std::vector<uint8_t> damaged = {'R', 'I', 'F', 'F', 40, 0, 0, 0, 's', 'f', 'b', 'k',
                                    'L', 'I', 'S', 'T', 200, 0, 0, 0, 'I', 'N', 'F', 'O'};
    damaged.resize(48, 0xEE);
    testfiles::WriteBytes(folder.Path() + "midi/broken.sf2", damaged);
    ASSERT_TRUE(fluid_is_soundfont((folder.Path() + "midi/broken.sf2").c_str()));
    FluidMusicDevice fallback(FluidOutput::Memory);
    ASSERT_TRUE(fallback.Open()) << fallback.ErrorText();
    EXPECT_EQ(fallback.SoundfontPath(), system.SoundfontPath());
    std::filesystem::create_symlink(system.SoundfontPath(), folder.Path() + "midi/Local.SF2");
    FluidMusicDevice local(FluidOutput::Memory);
    ASSERT_TRUE(local.Open()) << local.ErrorText();
    EXPECT_EQ(local.SoundfontPath(), folder.Path() + "midi/Local.SF2");
    AppPath = saved;
}

// FluidSynth's own audio driver, here into ALSA's null device: the song advances on the
// driver's thread while the game thread replaces and stops it.
TEST(FluidMusicDriver, PlaysThroughAnAudioDriver) {
    {
        FluidMusicDevice device(FluidOutput::AudioDriver, "",
                                {{"audio.driver", "alsa"}, {"audio.alsa.device", "null"}});
        ASSERT_TRUE(device.Open()) << device.ErrorText();
        ASSERT_TRUE(device.LoadSong(QuarterNotes(64)));
        ASSERT_TRUE(device.SetRepeat(true));
        ASSERT_TRUE(device.Play());
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_GT(device.CurrentFileTick(), 0);
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(device.LoadSong(QuarterNotes(8)));
            ASSERT_TRUE(device.Play());
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            device.Stop();
            device.Reset();
        }
        EXPECT_FALSE(device.IsPlaying());
        EXPECT_FALSE(device.Lost());
    }
    // A driver whose output fails while playing gives up on its own thread: the device
    // says it is lost (the music module then opens a new one).
    FluidMusicDevice failing(FluidOutput::AudioDriver, "",
                             {{"audio.driver", "alsa"}, {"audio.alsa.device", "file:FILE=/dev/full,FORMAT=raw"}});
    ASSERT_TRUE(failing.Open()) << failing.ErrorText();
    for (int i = 0; i < 200 && !failing.Lost(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(failing.Lost());
    FluidMusicDevice wrong(FluidOutput::Memory, "", {{"synth.gain", "loud"}});
    EXPECT_FALSE(wrong.Open());
    EXPECT_NE(wrong.ErrorText().find("synth.gain"), std::string::npos);
}

}  // namespace
}  // namespace zol
