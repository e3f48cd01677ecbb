#include "framework/sound/openal/OpenAlSoundDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cmath>
#include <cstdint>

namespace zol {

namespace {

// The lowest pitch asked for: OpenAL takes zero, but a source at pitch zero never ends.
constexpr float kMinPitch = 1.0f / 4096.0f;

class OpenAlBuffer final : public SoundBuffer {
public:
    OpenAlBuffer(ALuint buffer, ALuint source, int32_t fileRate, int32_t bytes, int32_t frameBytes)
        : buffer_(buffer), source_(source), fileRate_(fileRate), bytes_(bytes), frameBytes_(frameBytes) {}
    ~OpenAlBuffer() override {
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        alDeleteSources(1, &source_);
        alDeleteBuffers(1, &buffer_);
    }

    bool SetVolume(int32_t Attenuation) override {
        const float gain = Attenuation >= 0 ? 1.0f : std::pow(10.0f, static_cast<float>(Attenuation) / 2000.0f);
        alGetError();
        alSourcef(source_, AL_GAIN, gain);
        return alGetError() == AL_NO_ERROR;
    }

    bool SetFrequency(int32_t SamplesPerSecond) override {
        if (SamplesPerSecond <= 0) return false;
        float pitch = static_cast<float>(SamplesPerSecond) / static_cast<float>(fileRate_);
        if (pitch > kOpenAlMaxPitch) pitch = kOpenAlMaxPitch;
        if (pitch < kMinPitch) pitch = kMinPitch;
        alGetError();
        alSourcef(source_, AL_PITCH, pitch);
        return alGetError() == AL_NO_ERROR;
    }

    bool SetPosition(int32_t ByteOffset) override {
        // A stopped source takes the offset as the start of its next play.
        alGetError();
        alSourceStop(source_);
        int32_t offset = ByteOffset;
        if (offset < 0 || offset >= bytes_) offset = 0;
        offset -= offset % frameBytes_;
        alSourcei(source_, AL_BYTE_OFFSET, offset);
        return alGetError() == AL_NO_ERROR;
    }

    bool Play(bool Looping) override {
        alGetError();
        alSourcei(source_, AL_LOOPING, Looping ? AL_TRUE : AL_FALSE);
        alSourcePlay(source_);
        return alGetError() == AL_NO_ERROR;
    }

private:
    ALuint buffer_;
    ALuint source_;
    int32_t fileRate_;
    int32_t bytes_;
    int32_t frameBytes_;
};

ALCdevice* Dev(void* p) { return static_cast<ALCdevice*>(p); }
ALCcontext* Ctx(void* p) { return static_cast<ALCcontext*>(p); }

}  // namespace

OpenAlSoundDevice::~OpenAlSoundDevice() { Close(); }

void OpenAlSoundDevice::Close() {
    if (context_) {
        if (alcGetCurrentContext() == Ctx(context_)) alcMakeContextCurrent(nullptr);
        alcDestroyContext(Ctx(context_));
        context_ = nullptr;
    }
    if (device_) {
        alcCloseDevice(Dev(device_));
        device_ = nullptr;
    }
}

bool OpenAlSoundDevice::Open() {
    Close();
    device_ = alcOpenDevice(nullptr);
    if (!device_) {
        errorCode_ = kSoundErrNoDevice;
        errorText_ = "OpenAL: no audio output device could be opened";
        return false;
    }
    // OpenAL has one current context for the whole process. While another device's
    // context is current (a device being replaced still plays through it) this one
    // becomes current only when its first buffer is made.
    context_ = alcCreateContext(Dev(device_), nullptr);
    if (!context_ ||
        (alcGetCurrentContext() == nullptr && alcMakeContextCurrent(Ctx(context_)) != ALC_TRUE)) {
        const ALCenum err = alcGetError(Dev(device_));
        errorCode_ = kSoundErrNoContext;
        errorText_ = std::string("OpenAL: cannot create a mixing context (") +
                     (alcGetString(Dev(device_), err) ? alcGetString(Dev(device_), err) : "?") + ")";
        Close();
        return false;
    }
    canTellLoss_ = alcIsExtensionPresent(Dev(device_), "ALC_EXT_disconnect") == ALC_TRUE;
    errorCode_ = 0;
    errorText_.clear();
    return true;
}

bool OpenAlSoundDevice::Lost() const {
    if (!device_ || !canTellLoss_) return false;
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(Dev(device_), ALC_CONNECTED, 1, &connected);
    return connected == ALC_FALSE;
}

std::unique_ptr<SoundBuffer> OpenAlSoundDevice::CreateBuffer(const WaveData& Wave) {
    if (!context_) {
        errorText_ = "OpenAL: the device is not open";
        return nullptr;
    }
    if (alcGetCurrentContext() != Ctx(context_) && alcMakeContextCurrent(Ctx(context_)) != ALC_TRUE) {
        errorText_ = "OpenAL: the mixing context cannot be made current";
        return nullptr;
    }
    ALenum format = 0;
    if (Wave.Channels == 1 && Wave.BitsPerSample == 8) format = AL_FORMAT_MONO8;
    if (Wave.Channels == 1 && Wave.BitsPerSample == 16) format = AL_FORMAT_MONO16;
    if (Wave.Channels == 2 && Wave.BitsPerSample == 8) format = AL_FORMAT_STEREO8;
    if (Wave.Channels == 2 && Wave.BitsPerSample == 16) format = AL_FORMAT_STEREO16;
    const int32_t frameBytes = Wave.FrameBytes();
    if (format == 0 || Wave.SampleRate <= 0 || frameBytes <= 0 || Wave.Pcm.empty() ||
        Wave.Pcm.size() % static_cast<size_t>(frameBytes) != 0 || Wave.Pcm.size() > INT32_MAX) {
        errorText_ = "OpenAL: wave data in a layout no buffer takes";
        return nullptr;
    }
    alGetError();
    ALuint buffer = 0, source = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) {
        errorText_ = "OpenAL: cannot create a buffer";
        return nullptr;
    }
    alBufferData(buffer, format, Wave.Pcm.data(), static_cast<ALsizei>(Wave.Pcm.size()), Wave.SampleRate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        errorText_ = "OpenAL: the buffer does not take this wave";
        return nullptr;
    }
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        errorText_ = "OpenAL: no source left for another sound";
        return nullptr;
    }
    // Sound effects are not placed in space: the source sits on the listener.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &source);
        alDeleteBuffers(1, &buffer);
        errorText_ = "OpenAL: cannot attach the buffer";
        return nullptr;
    }
    return std::make_unique<OpenAlBuffer>(buffer, source, Wave.SampleRate,
                                          static_cast<int32_t>(Wave.Pcm.size()), frameBytes);
}

}  // namespace zol
