#include <gtest/gtest.h>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/sound/qDMusic.h"
#include "support/RecordingMusicDevice.h"
#include "SoundTestFiles.h"

namespace zol {
namespace {

using Calls = std::vector<std::string>;

class MusicModule : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppPath;
        AppPath = folder_.Path();
        MidiPath = folder_.Path() + "midi/";
        testfiles::MidiWriter song(96);
        song.Track().Note(0, 96, 60).Note(480, 96, 62).End(960);  // 7680 in music time
        testfiles::WriteBytes(MidiPath + "back.mid", song.Bytes());
        testfiles::WriteBytes(AppPath + "other.mid", testfiles::MidiWriter(768).Note(0, 768, 50).Bytes());
        testfiles::WriteBytes(MidiPath + "damaged.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1});
        SetMusicDeviceFactory(RecordingMusicFactory(record_));
        SetMidiObservers([this](const std::string& name) { played_.push_back(name); }, [this] { ++stops_; });
        ASSERT_TRUE(DMusic_Initialize(nullptr));
        record_->Calls.clear();
    }
    void TearDown() override {
        DMusic_Release();
        SetMusicDeviceFactory(nullptr);
        SetMidiObservers(nullptr, nullptr);
        AppPath = saved_;
        MidiPath.clear();
    }

    testfiles::ScratchFolder folder_{"music"};
    std::shared_ptr<MusicRecord> record_ = std::make_shared<MusicRecord>();
    std::string saved_;
    std::vector<std::string> played_;
    int stops_ = 0;
};

TEST_F(MusicModule, TheGamesSongIsSetUpInOrderAndLoopEndZeroMeansTheSongsEnd) {
    ASSERT_TRUE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 110600, 0));
    EXPECT_EQ(record_->Calls, (Calls{"load", "start 0", "volume -2000", "repeat forever", "loop 0 110600", "play"}));
    EXPECT_TRUE(record_->Playing);
    record_->Calls.clear();

    ASSERT_TRUE(PlayMidiFile("other.mid", false, 0, 0, 384, 0, 384));  // found beside the program
    EXPECT_EQ(record_->Calls, (Calls{"stop", "reset", "load", "start 384", "repeat none", "loop 384 768", "play"}));
    record_->Calls.clear();
    ASSERT_TRUE(PlayMidiFile("back.mid", true, 0, 0, 0, 0, 0));
    EXPECT_EQ(record_->Calls.at(5), "loop 0 7680");
    EXPECT_EQ(played_, (Calls{"back.mid", "other.mid", "back.mid"}));
    EXPECT_EQ(stops_, 0);  // replacing a song is not the game's stop request
}

TEST_F(MusicModule, MissingFileKeepsTheSongAndDamagedFileStopsIt) {
    ASSERT_TRUE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 0, 0));
    record_->Calls.clear();
    EXPECT_FALSE(PlayMidiFile("missing.mid", true, 0.8f, 0, 0, 0, 0));
    EXPECT_TRUE(record_->Calls.empty());
    EXPECT_TRUE(record_->Playing);
    EXPECT_FALSE(PlayMidiFile("damaged.mid", true, 0.8f, 0, 0, 0, 0));
    EXPECT_EQ(record_->Calls, (Calls{"stop", "reset", "load failed"}));
    EXPECT_FALSE(record_->Playing);
    record_->Calls.clear();
    MidiStop();  // nothing left to stop
    EXPECT_TRUE(record_->Calls.empty());
}

TEST_F(MusicModule, StopTwiceIsHarmlessAndReleaseSwitchesMusicOff) {
    ASSERT_TRUE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 0, 0));
    record_->Calls.clear();
    MidiStop();
    MidiStop();
    EXPECT_EQ(record_->Calls, (Calls{"stop", "reset"}));
    EXPECT_EQ(stops_, 2);
    ASSERT_TRUE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 0, 0));
    DMusic_Release();
    EXPECT_FALSE(MusicEnabled);
    EXPECT_FALSE(record_->Playing);
    record_->Calls.clear();
    EXPECT_FALSE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 0, 0));
    SetupMidi(1, 1);
    MidiStop();
    EXPECT_TRUE(record_->Calls.empty());
    EXPECT_EQ(played_.size(), 3u);  // observed with music off too
}

TEST(MusicStartup, MissingBackendOrDeviceFailsCleanly) {
    SetMusicDeviceFactory(nullptr);
    LastErrorCode = 0;
    EXPECT_FALSE(DMusic_Initialize(nullptr));
    EXPECT_FALSE(MusicEnabled);
    EXPECT_EQ(LastErrorCode, kMusicErrNoBackend);
    EXPECT_FALSE(MusicErrorText().empty());
    EXPECT_FALSE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 0, 0));
    MidiStop();
    SetupMidi(1, 1);

    auto record = std::make_shared<MusicRecord>();
    record->OpenResult = false;
    SetMusicDeviceFactory(RecordingMusicFactory(record));
    EXPECT_FALSE(DMusic_Initialize(nullptr));
    EXPECT_EQ(LastErrorCode, kMusicErrNoOutput);
    EXPECT_EQ(MusicErrorText(), "recording device refused");
    SetMusicDeviceFactory(nullptr);
}

}  // namespace
}  // namespace zol
