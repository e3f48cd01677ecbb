// OpenAlSoundDevice: the wave-sound seam on OpenAL Soft.
//
// What it does: opens the default OpenAL output with one context; each buffer is an
// OpenAL buffer with its own source. Attenuation becomes gain 10^(mB/2000), the rate
// becomes pitch against the file's own rate, the play cursor a byte offset rounded down
// to a whole sample frame (an offset past the end plays from the start).
// Who owns what: the device owns the OpenAL device and context; each SoundBuffer owns its
// buffer and source and must be destroyed before the device.
// Failure: Open and CreateBuffer return false/nullptr with ErrorCode and ErrorText set;
// OpenAL errors of the buffer calls are reported by their result. Lost asks OpenAL
// whether the output is still connected (ALC_EXT_disconnect).
// Threads: OpenAL has one current context for the whole process. Open makes its context
// current only when none is; otherwise the first CreateBuffer does, so the buffers of a
// device being replaced must be gone before the new device makes its first.
#pragma once

#include <memory>
#include <string>

#include "framework/sound/SoundDevice.h"

namespace zol {

class OpenAlSoundDevice final : public SoundDevice {
public:
    OpenAlSoundDevice() = default;
    ~OpenAlSoundDevice() override;
    OpenAlSoundDevice(const OpenAlSoundDevice&) = delete;
    OpenAlSoundDevice& operator=(const OpenAlSoundDevice&) = delete;

    // The SoundDevice operations.
    bool Open() override;
    bool Lost() const override;
    std::unique_ptr<SoundBuffer> CreateBuffer(const WaveData& Wave) override;
    int32_t ErrorCode() const override { return errorCode_; }
    std::string ErrorText() const override { return errorText_; }

private:
    void Close();
    void* device_ = nullptr;   // ALCdevice*
    void* context_ = nullptr;  // ALCcontext*
    bool canTellLoss_ = false;  // the device reports a lost output
    int32_t errorCode_ = 0;
    std::string errorText_;
};

// The highest pitch the backend asks for: OpenAL Soft takes any pitch of zero or more, and
// its mixer advances at most 255 buffer samples per output sample anyway.
inline constexpr float kOpenAlMaxPitch = 255.0f;

}  // namespace zol
