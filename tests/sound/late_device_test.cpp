// Audio devices that open late, never, or go away while the game runs (a sound server
// that hangs, quits or restarts), and when the modules try them again.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "framework/core/qFileSystem.h"
#include "framework/sound/ReopenSchedule.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "support/RecordingMusicDevice.h"
#include "support/RecordingSoundDevice.h"
#include "SoundTestFiles.h"

namespace zol {
namespace {

using namespace std::chrono_literals;

// A latch a worker waits at or signals through.
class Latch {
public:
    void Open() {
        {
            std::lock_guard<std::mutex> hold(m_);
            open_ = true;
        }
        cv_.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> hold(m_);
        cv_.wait(hold, [this] { return open_; });
    }
    bool WaitFor(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> hold(m_);
        return cv_.wait_for(hold, limit, [this] { return open_; });
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

// One device as a sound server makes it behave: its Open waits until the server answers
// (the gate) and then succeeds or fails; later its output may be lost. The recording
// device behind it keeps what the module asked of it.
struct Control {
    Latch gate;
    std::atomic<bool> opens{true};
    std::atomic<bool> lost{false};
    Latch played;  // a song's Play reached the device
    Latch gone;    // the device was destroyed
    std::shared_ptr<SoundRecord> sound = std::make_shared<SoundRecord>();
    std::shared_ptr<MusicRecord> music = std::make_shared<MusicRecord>();
};

// The devices a factory made, in order, and how the next one will behave.
struct Devices {
    std::vector<std::shared_ptr<Control>> made;
    bool nextWaits = false;
    bool nextOpens = true;
    std::shared_ptr<Control> Next() {
        auto c = std::make_shared<Control>();
        c->opens = nextOpens;
        if (!nextWaits) c->gate.Open();
        made.push_back(c);
        return c;
    }
    ~Devices() {
        for (auto& c : made) c->gate.Open();  // no worker is left waiting
    }
};

class GatedSound final : public SoundDevice {
public:
    explicit GatedSound(std::shared_ptr<Control> c) : c_(std::move(c)), inner_(c_->sound) {}
    ~GatedSound() override { c_->gone.Open(); }
    bool Open() override {
        c_->gate.Wait();
        return c_->opens && inner_.Open();
    }
    bool Lost() const override { return c_->lost; }
    std::unique_ptr<SoundBuffer> CreateBuffer(const WaveData& w) override { return inner_.CreateBuffer(w); }
    int32_t ErrorCode() const override { return inner_.ErrorCode(); }
    std::string ErrorText() const override { return "the server does not answer"; }

private:
    std::shared_ptr<Control> c_;
    RecordingSoundDevice inner_;
};

class GatedMusic final : public MusicDevice {
public:
    explicit GatedMusic(std::shared_ptr<Control> c) : c_(std::move(c)), inner_(c_->music) {}
    ~GatedMusic() override { c_->gone.Open(); }
    bool Open() override {
        c_->gate.Wait();
        return c_->opens && inner_.Open();
    }
    bool Lost() const override { return c_->lost; }
    int32_t ErrorCode() const override { return inner_.ErrorCode(); }
    std::string ErrorText() const override { return "the server does not answer"; }
    bool LoadSong(const std::vector<uint8_t>& b) override { return inner_.LoadSong(b); }
    int32_t SongLength() const override { return inner_.SongLength(); }
    bool SetStartPoint(int32_t t) override { return inner_.SetStartPoint(t); }
    bool SetLoopPoints(int32_t s, int32_t e) override { return inner_.SetLoopPoints(s, e); }
    bool SetRepeat(bool f) override { return inner_.SetRepeat(f); }
    bool Play() override {
        const bool ok = inner_.Play();
        c_->played.Open();
        return ok;
    }
    void Stop() override { inner_.Stop(); }
    void Reset() override { inner_.Reset(); }
    bool SetMasterVolume(int32_t a) override { return inner_.SetMasterVolume(a); }
    bool SetMasterTempo(float f) override { return inner_.SetMasterTempo(f); }

private:
    std::shared_ptr<Control> c_;
    RecordingMusicDevice inner_;
};

// Calls Poke until Done holds (a module looks at a finished open only when called).
bool Eventually(const std::function<void()>& Poke, const std::function<bool()>& Done) {
    for (int i = 0; i < 2500; ++i) {
        Poke();
        if (Done()) return true;
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(ReopenSchedule, SpacesAttemptsOutAndAClockStepCostsOneAttempt) {
    ReopenSchedule s;
    EXPECT_TRUE(s.Due(5000));  // the first at once
    s.Tried(5000);
    EXPECT_FALSE(s.Due(5999));
    EXPECT_TRUE(s.Due(6000));
    s.Tried(6000);
    EXPECT_FALSE(s.Due(7999));
    s.Tried(8000);  // then 4 s, then 8 s at most
    s.Tried(12000);
    EXPECT_FALSE(s.Due(19999));
    s.Tried(20000);
    EXPECT_FALSE(s.Due(27999));
    EXPECT_TRUE(s.Due(28000));
    // Weeks forward, or back by a second or by weeks: one attempt at once, no waiting.
    EXPECT_TRUE(s.Due(20000 + 21 * 24 * 3600 * 1000));
    EXPECT_TRUE(s.Due(19000));
    EXPECT_TRUE(s.Due(20000 - 21 * 24 * 3600 * 1000));
    // The 32-bit clock wrapping is not a step.
    s.Tried(INT32_MAX - 100);
    EXPECT_FALSE(s.Due(INT32_MIN + 100));
    EXPECT_TRUE(s.Due(INT32_MIN + 7900));
    s.Reset();
    EXPECT_TRUE(s.Due(0));
}

class LateDevices : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AppPath;
        AppPath = folder_.Path();
        WavePath = AppPath + "wave/";
        MidiPath = AppPath + "midi/";
        testfiles::WriteBytes(WavePath + "hit.wav", testfiles::WaveFile(22050, 1, 16, 200));
        testfiles::WriteBytes(WavePath + "clack.wav", testfiles::WaveFile(11025, 1, 8, 100));
        testfiles::MidiWriter w(96);
        w.Track().Program(0, 0).Note(0, 90, 60).End(4 * 96);
        testfiles::WriteBytes(MidiPath + "back.mid", w.Bytes());
        SetSoundDeviceFactory([this] { return std::make_unique<GatedSound>(devices_.Next()); });
        SetMusicDeviceFactory([this] { return std::make_unique<GatedMusic>(devices_.Next()); });
    }
    void TearDown() override {
        DSound_Release();
        DMusic_Release();
        SetSoundDeviceFactory(nullptr);
        SetMusicDeviceFactory(nullptr);
        AppPath = saved_;
        WavePath.clear();
        MidiPath.clear();
    }
    Control& Made(size_t i) { return *devices_.made.at(i); }

    testfiles::ScratchFolder folder_{"late"};
    std::string saved_;
    Devices devices_;
};

TEST_F(LateDevices, SoundThatOpensLateOrIsLostComesBackWithEveryWave) {
    testing::internal::CaptureStderr();
    devices_.nextWaits = true;  // the server does not answer
    ASSERT_TRUE(DSound_Initialize(nullptr));  // start-up goes on without sound
    EXPECT_FALSE(SoundEnabled);
    EXPECT_EQ(PlayWaveFile("hit.wav", false, 0.9f, 0, false, 0), 0);

    Made(0).gate.Open();  // it answers
    ASSERT_TRUE(Eventually([] {}, [] { return PlayWaveFile("hit.wav", false, 0.9f, 0, false, 0) == 1; }));
    EXPECT_TRUE(SoundEnabled);
    ASSERT_EQ(PlayWaveFile("clack.wav", false, 0, 0.5f, false, 0), 2);
    ASSERT_EQ(Made(0).sound->Buffers.size(), 2u);

    // The server quits and comes back: the next play notices, a new device opens and
    // gets both waves again, at the same indices and with the settings they had.
    Made(0).lost = true;
    devices_.nextWaits = false;
    ASSERT_TRUE(Eventually([] { PlayWaveFile("hit.wav", false, 0, 0, false, 0); },
                           [this] { return devices_.made.size() == 2 && Made(1).sound->Buffers.size() == 2; }));
    EXPECT_TRUE(Made(0).gone.WaitFor(0ms));
    const auto& again = Made(1).sound->Buffers;
    EXPECT_EQ(again[0]->Attenuation, -1000);
    EXPECT_EQ(again[1]->Frequency, 49950);
    EXPECT_EQ(PlayWaveFile("clack.wav", false, 0, 0, false, 0), 2);
    EXPECT_EQ(again[1]->Plays, 1);

    // Released while a new device is still opening: the release does not wait, and the
    // device is closed once its open returns.
    Made(1).lost = true;
    devices_.nextWaits = true;
    PlayWaveFile("hit.wav", false, 0, 0, false, 0);
    ASSERT_EQ(devices_.made.size(), 3u);
    DSound_Release();
    EXPECT_FALSE(Made(2).gone.WaitFor(0ms));
    Made(2).gate.Open();
    EXPECT_TRUE(Made(2).gone.WaitFor(5s));

    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(told, "opened after start-up"), 1) << told;
    EXPECT_EQ(Count(told, "went away"), 2) << told;
    EXPECT_EQ(Count(told, "open again"), 1) << told;
}

TEST_F(LateDevices, MusicThatOpensLateStartsTheSongAskedForAndALostDeviceIsReplacedAtTheNextGame) {
    testing::internal::CaptureStderr();
    devices_.nextWaits = true;
    ASSERT_TRUE(DMusic_Initialize(nullptr));
    EXPECT_FALSE(MusicEnabled);
    // The game's first reset asks for its song, then changes the master volume.
    EXPECT_FALSE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 110600, 0));
    SetupMidi(0.5f, 0);

    // The song starts the moment the device opens, without another call.
    Made(0).gate.Open();
    ASSERT_TRUE(Made(0).played.WaitFor(5s));
    ASSERT_TRUE(Eventually([] { SetupMidi(0, 0); }, [] { return MusicEnabled; }));
    const MusicRecord& first = *Made(0).music;
    EXPECT_TRUE(first.Playing);
    EXPECT_TRUE(first.Repeat);
    EXPECT_EQ(first.LoopEnd, 110600);
    EXPECT_EQ(first.MasterAttenuation, -5000);

    // Lost mid-game; the first new device fails, the next game's reset tries again.
    Made(0).lost = true;
    devices_.nextWaits = false;
    devices_.nextOpens = false;
    EXPECT_FALSE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 110600, 0));
    ASSERT_EQ(devices_.made.size(), 2u);
    ASSERT_TRUE(Eventually([] { SetupMidi(0, 0); }, [this] { return Made(1).gone.WaitFor(0ms); }));
    // The player muted the music meanwhile: the new device comes up silent.
    SetMusicMuted(true);
    devices_.nextOpens = true;
    EXPECT_FALSE(PlayMidiFile("back.mid", true, 0.8f, 0, 0, 110600, 0));
    ASSERT_EQ(devices_.made.size(), 3u);
    ASSERT_TRUE(Made(2).played.WaitFor(5s));
    ASSERT_TRUE(Eventually([] { SetupMidi(0, 0); }, [this] { return Made(0).gone.WaitFor(0ms); }));
    const MusicRecord& third = *Made(2).music;
    EXPECT_TRUE(third.Playing);
    EXPECT_EQ(third.MasterAttenuation, -10000);
    SetMusicMuted(false);
    EXPECT_EQ(third.MasterAttenuation, -2000);
    MidiStop();
    EXPECT_FALSE(third.Playing);

    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Count(told, "MIDI device opened after start-up"), 1) << told;
    EXPECT_EQ(Count(told, "MIDI device went away"), 1) << told;
    EXPECT_EQ(Count(told, "MIDI device is open again"), 1) << told;
}

}  // namespace
}  // namespace zol
