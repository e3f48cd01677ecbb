#include "support/RecordingSoundDevice.h"

namespace zol {

namespace {

class RecordingBuffer final : public SoundBuffer {
public:
    RecordingBuffer(std::shared_ptr<SoundRecord> record, std::shared_ptr<RecordedBuffer> state, int number)
        : record_(std::move(record)), state_(std::move(state)), tag_(std::to_string(number)) {}
    ~RecordingBuffer() override { state_->Released = true; }
    bool SetVolume(int32_t Attenuation) override {
        state_->Attenuation = Attenuation;
        return Log("volume " + tag_ + " " + std::to_string(Attenuation));
    }
    bool SetFrequency(int32_t SamplesPerSecond) override {
        state_->Frequency = SamplesPerSecond;
        return Log("frequency " + tag_ + " " + std::to_string(SamplesPerSecond));
    }
    bool SetPosition(int32_t ByteOffset) override {
        state_->Position = ByteOffset;
        return Log("position " + tag_ + " " + std::to_string(ByteOffset));
    }
    bool Play(bool Looping) override {
        state_->Looping = Looping;
        ++state_->Plays;
        return Log("play " + tag_ + (Looping ? " looping" : " once"));
    }

private:
    bool Log(std::string line) {
        record_->Calls.push_back(std::move(line));
        return true;
    }
    std::shared_ptr<SoundRecord> record_;
    std::shared_ptr<RecordedBuffer> state_;
    std::string tag_;
};

}  // namespace

RecordingSoundDevice::RecordingSoundDevice(std::shared_ptr<SoundRecord> record) : record_(std::move(record)) {
    record_->DeviceAlive = true;
}

RecordingSoundDevice::~RecordingSoundDevice() { record_->DeviceAlive = false; }

bool RecordingSoundDevice::Open() {
    ++record_->Opens;
    record_->Calls.push_back("open");
    return record_->OpenResult;
}

std::unique_ptr<SoundBuffer> RecordingSoundDevice::CreateBuffer(const WaveData& Wave) {
    if (record_->RefuseBuffers) return nullptr;
    auto state = std::make_shared<RecordedBuffer>();
    state->Wave = Wave;
    record_->Buffers.push_back(state);
    const int number = static_cast<int>(record_->Buffers.size());
    record_->Calls.push_back("create " + std::to_string(number));
    return std::make_unique<RecordingBuffer>(record_, state, number);
}

SoundDeviceFactory RecordingSoundFactory(std::shared_ptr<SoundRecord> record) {
    return [record] { return std::make_unique<RecordingSoundDevice>(record); };
}

}  // namespace zol
