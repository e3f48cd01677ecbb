#include <gtest/gtest.h>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/sound/WaveDecoder.h"
#include "framework/sound/qDSound.h"
#include "support/RecordingSoundDevice.h"
#include "SoundTestFiles.h"

namespace zol {
namespace {

using testfiles::ScratchFolder;
using testfiles::WaveFile;
using testfiles::WriteBytes;

class WaveSound : public ::testing::Test {
protected:
    void SetUp() override {
        savedAppPath_ = AppPath;
        AppPath = folder_.Path();
        WavePath = folder_.Path() + "wave/";
        WriteBytes(WavePath + "hit.wav", WaveFile(22050, 1, 16, 2000));
        WriteBytes(WavePath + "clack.wav", WaveFile(11025, 2, 8, 500));
        WriteBytes(AppPath + "apponly.wav", WaveFile(44100, 1, 16, 100));
        WriteBytes(WavePath + "broken.wav", {'R', 'I', 'F', 'F', 1, 2, 3});
        SetSoundDeviceFactory(RecordingSoundFactory(record_));
        ASSERT_TRUE(DSound_Initialize(nullptr));
        record_->Calls.clear();
    }
    void TearDown() override {
        DSound_Release();
        SetSoundDeviceFactory(nullptr);
        SetWavePlayObserver(nullptr);
        AppPath = savedAppPath_;
        WavePath.clear();
    }
    RecordedBuffer& Buffer(int index) { return *record_->Buffers.at(static_cast<size_t>(index - 1)); }

    ScratchFolder folder_{"wave"};
    std::shared_ptr<SoundRecord> record_ = std::make_shared<SoundRecord>();
    std::string savedAppPath_;
};

TEST_F(WaveSound, VolumeAndRateMapToDeviceUnitsAndUnsetValuesAreKept) {
    ASSERT_EQ(PlayWaveFile("hit.wav", false, 0.9f, 0, false, 0), 1);
    EXPECT_EQ(Buffer(1).Attenuation, -1000);
    EXPECT_EQ(Buffer(1).Frequency, 0);  // never set: the file's own rate
    EXPECT_EQ(record_->Calls, (std::vector<std::string>{"create 1", "volume 1 -1000", "position 1 0", "play 1 once"}));

    PlayWaveFile("hit.wav", false, 0, 0, false, 0);  // both unchanged
    EXPECT_EQ(Buffer(1).Attenuation, -1000);
    PlayWaveFile("hit.wav", false, 0.5f, 1.0f, false, 0);
    EXPECT_EQ(Buffer(1).Attenuation, -5000);
    EXPECT_EQ(Buffer(1).Frequency, 99900);
    PlayWaveFile("hit.wav", false, 0, 0.2f + 0.01f * 3, false, 0);  // a chain's rising clack
    EXPECT_EQ(Buffer(1).Frequency, 22977);
    EXPECT_EQ(Buffer(1).Attenuation, -5000);
    PlayWaveFile("hit.wav", false, 7.0f, 3.0f, false, 0);  // above 1 acts as 1
    EXPECT_EQ(Buffer(1).Attenuation, 0);
    EXPECT_EQ(Buffer(1).Frequency, 99900);
    PlayWaveFile("hit.wav", false, 0.5f, 0.5f, false, 0);
    PlayWaveFile("hit.wav", false, -2.0f, -1.0f, false, 0);  // negative acts as 0: unchanged
    EXPECT_EQ(Buffer(1).Attenuation, -5000);
    EXPECT_EQ(Buffer(1).Frequency, 49950);
    EXPECT_EQ(Buffer(1).Plays, 7);
}

TEST_F(WaveSound, EveryPlayRestartsTheSameBufferFromPosition) {
    ASSERT_EQ(PlayWaveFile("hit.wav", true, 0, 0, false, 400), 1);
    EXPECT_TRUE(Buffer(1).Looping);
    EXPECT_EQ(Buffer(1).Position, 400);
    record_->Calls.clear();
    ASSERT_EQ(PlayWaveFile("HIT.WAV", false, 0, 0, false, 0), 1);  // same buffer, any case
    EXPECT_EQ(record_->Calls, (std::vector<std::string>{"position 1 0", "play 1 once"}));
    EXPECT_FALSE(Buffer(1).Looping);
    EXPECT_EQ(record_->Buffers.size(), 1u);
    EXPECT_EQ(LoadWave("Hit.Wav", false), 1);
}

TEST_F(WaveSound, NewInstanceAlwaysAppendsAndTheTableNeverShrinks) {
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 0, 0, false, 0), 1);
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 0, 0, true, 0), 2);
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 0, 0, true, 0), 3);
    EXPECT_EQ(LoadWave("hit.wav", true), 4);
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 0, 0, false, 0), 1);  // the first match wins
    EXPECT_EQ(record_->Buffers.size(), 4u);
    EXPECT_EQ(CreateWave(), 5);  // an empty slot plays nothing
    record_->Calls.clear();
    PlayWave(5, false, 1, 1, 0);
    PlayWave(0, false, 1, 1, 0);
    PlayWave(-3, false, 1, 1, 0);
    PlayWave(99, false, 1, 1, 0);
    EXPECT_TRUE(record_->Calls.empty());
    EXPECT_EQ(LoadWave("clack.wav", false), 6);
}

TEST_F(WaveSound, FilesAreFoundByFullPathInWavePathOrInTheProgramFolder) {
    const std::string colonName = folder_.Path() + "odd:name.wav";
    WriteBytes(colonName, WaveFile(8000, 1, 8, 50));
    EXPECT_EQ(LoadWave(colonName, false), 1);
    EXPECT_EQ(Buffer(1).Wave.SampleRate, 8000);
    EXPECT_EQ(LoadWave("apponly.wav", false), 2);
    EXPECT_EQ(Buffer(2).Wave.SampleRate, 44100);
    EXPECT_EQ(LoadWave(folder_.Path() + "wave/clack.wav", false), 3);
    // Missing files and files that cannot be decoded leave no slot behind.
    EXPECT_EQ(PlayWaveFile("missing.wav", false, 1, 1, false, 0), 0);
    EXPECT_EQ(PlayWaveFile("broken.wav", false, 1, 1, false, 0), 0);
    EXPECT_NE(SoundErrorText().find("broken.wav"), std::string::npos);
    EXPECT_EQ(PlayWaveFile("missing:drive.wav", false, 1, 1, false, 0), 0);
    record_->RefuseBuffers = true;
    EXPECT_EQ(LoadWave("hit.wav", false), 0);
    record_->RefuseBuffers = false;
    EXPECT_EQ(LoadWave("hit.wav", false), 4);
    EXPECT_EQ(record_->Buffers.size(), 4u);
}

TEST_F(WaveSound, ReleaseEmptiesTheTableAndSwitchesSoundOff) {
    std::vector<std::string> heard;
    SetWavePlayObserver([&](const std::string& name, float, float) { heard.push_back(name); });
    ASSERT_EQ(PlayWaveFile("hit.wav", false, 0, 0, false, 0), 1);
    ASSERT_EQ(PlayWaveFile("clack.wav", false, 0, 0, false, 0), 2);
    DSound_Release();
    EXPECT_FALSE(SoundEnabled);
    EXPECT_FALSE(record_->DeviceAlive);
    EXPECT_TRUE(Buffer(1).Released && Buffer(2).Released);
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 0, 0, false, 0), 0);
    EXPECT_EQ(LoadWave("hit.wav", false), 0);
    PlayWave(1, false, 1, 1, 0);
    EXPECT_EQ(heard.size(), 3u);  // the observer hears requests with sound off too
    ASSERT_TRUE(DSound_Initialize(nullptr));
    EXPECT_EQ(PlayWaveFile("clack.wav", false, 0, 0, false, 0), 1);
}

TEST(WaveSoundStartup, MissingBackendOrDeviceFailsCleanly) {
    SetSoundDeviceFactory(nullptr);
    LastErrorCode = 0;
    EXPECT_FALSE(DSound_Initialize(nullptr));
    EXPECT_FALSE(SoundEnabled);
    EXPECT_EQ(LastErrorCode, kSoundErrNoBackend);
    EXPECT_FALSE(SoundErrorText().empty());
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 1, 1, false, 0), 0);

    auto record = std::make_shared<SoundRecord>();
    record->OpenResult = false;
    SetSoundDeviceFactory(RecordingSoundFactory(record));
    EXPECT_FALSE(DSound_Initialize(nullptr));
    EXPECT_EQ(LastErrorCode, kSoundErrNoDevice);
    EXPECT_EQ(SoundErrorText(), "recording device refused");
    EXPECT_FALSE(record->DeviceAlive);
    DSound_Release();  // harmless when off
    SetSoundDeviceFactory(nullptr);
}

TEST(WaveDecoder, DecodesToEightOrSixteenBitMonoOrStereo) {
    ScratchFolder folder("decode");
    WaveData wave;
    std::string error;
    WriteBytes(folder.Path() + "a.wav", WaveFile(11025, 2, 8, 300));
    ASSERT_TRUE(DecodeWaveFile(folder.Path() + "a.wav", wave, error)) << error;
    EXPECT_EQ(wave.SampleRate, 11025);
    EXPECT_EQ(wave.Channels, 2);
    EXPECT_EQ(wave.BitsPerSample, 8);
    EXPECT_EQ(wave.Pcm.size(), 600u);
    EXPECT_EQ(wave.Pcm[0], 200);

    WriteBytes(folder.Path() + "b.wav", WaveFile(48000, 4, 16, 100));  // four channels
    ASSERT_TRUE(DecodeWaveFile(folder.Path() + "b.wav", wave, error)) << error;
    EXPECT_EQ(wave.Channels, 2);
    EXPECT_EQ(wave.BitsPerSample, 16);
    EXPECT_EQ(wave.Pcm.size(), 400u);

    WriteBytes(folder.Path() + "c.wav", WaveFile(22050, 1, 32, 100));  // 32-bit integer PCM
    ASSERT_TRUE(DecodeWaveFile(folder.Path() + "c.wav", wave, error)) << error;
    EXPECT_EQ(wave.BitsPerSample, 16);
    EXPECT_EQ(wave.Pcm.size(), 200u);

    auto truncated = WaveFile(22050, 1, 16, 100);
    truncated.resize(30);
    WriteBytes(folder.Path() + "d.wav", truncated);
    EXPECT_FALSE(DecodeWaveFile(folder.Path() + "d.wav", wave, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(wave.Pcm.empty());
    EXPECT_FALSE(DecodeWaveFile(folder.Path() + "none.wav", wave, error));
    EXPECT_FALSE(DecodeWaveFile(folder.Path(), wave, error));  // a folder
}

}  // namespace
}  // namespace zol
