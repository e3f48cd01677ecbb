// RecordingSoundDevice: a sound device that plays nothing and records every call.
//
// Each buffer keeps its wave and the settings its last calls left (attenuation, rate,
// cursor, looping, plays), and the device keeps one log line per call, so tests can
// check both the state a play leaves and the order of the calls.
// Who owns what: the device's record outlives it (shared), so a test may inspect it after
// DSound_Release has destroyed the device.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/sound/SoundDevice.h"

namespace zol {

struct RecordedBuffer {
    WaveData Wave;
    int32_t Attenuation = 0;   // the device's default: full volume
    int32_t Frequency = 0;     // 0 until a rate is set: the file's own rate
    int32_t Position = 0;
    bool Looping = false;
    int32_t Plays = 0;
    bool Released = false;
};

struct SoundRecord {
    bool OpenResult = true;          // what Open answers
    bool RefuseBuffers = false;      // CreateBuffer answers nullptr
    int32_t Opens = 0;
    std::vector<std::shared_ptr<RecordedBuffer>> Buffers;  // in creation order
    std::vector<std::string> Calls;  // "volume 2 -1000", "play 2 once", ...
    bool DeviceAlive = false;
};

class RecordingSoundDevice final : public SoundDevice {
public:
    explicit RecordingSoundDevice(std::shared_ptr<SoundRecord> record);
    ~RecordingSoundDevice() override;
    bool Open() override;
    std::unique_ptr<SoundBuffer> CreateBuffer(const WaveData& Wave) override;
    int32_t ErrorCode() const override { return kSoundErrNoDevice; }
    std::string ErrorText() const override { return "recording device refused"; }

private:
    std::shared_ptr<SoundRecord> record_;
};

// A factory that makes recording devices writing into record.
SoundDeviceFactory RecordingSoundFactory(std::shared_ptr<SoundRecord> record);

}  // namespace zol
