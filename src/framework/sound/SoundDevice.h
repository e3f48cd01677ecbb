// SoundDevice: the seam between the wave-sound module and the sound hardware.
//
// What it does: opens the default output, turns decoded PCM into buffers, and lets a
// buffer be given an attenuation (hundredths of a decibel, -10000..0), a playback rate
// (samples per second), a play cursor (bytes) and be started once or looping.
// Who owns what: qDSound owns the device and every buffer it creates; a buffer must be
// released before its device.
// Failure: Open and CreateBuffer report failure by their result; ErrorCode and ErrorText
// then say why. A failing buffer call leaves the buffer as it was. An output that goes
// away while open (the sound server quit) makes Lost true; the device then stays silent
// for good and the wave module opens a new one.
// Threads: Open may run on a worker thread (it can block while a sound server does not
// answer); everything else runs on the thread that took the device afterwards. Open must
// not disturb another device of the same kind that is still playing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zol {

// Error numbers the sound side leaves in LastErrorCode (a range of their own, so that
// they never collide with the graphics device's codes).
inline constexpr int32_t kSoundErrNoBackend = 3001;   // no sound backend installed
inline constexpr int32_t kSoundErrNoDevice = 3002;    // the default output cannot be opened
inline constexpr int32_t kSoundErrNoContext = 3003;   // the output opened but cannot mix

// Decoded wave data: interleaved PCM, unsigned 8-bit or signed 16-bit native-endian.
struct WaveData {
    int32_t SampleRate = 0;     // frames per second of the file itself
    int32_t Channels = 0;       // 1 or 2
    int32_t BitsPerSample = 0;  // 8 or 16
    std::vector<uint8_t> Pcm;
    // Bytes of one sample frame (all channels).
    int32_t FrameBytes() const { return Channels * (BitsPerSample / 8); }
};

// One playable buffer made from one wave.
class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    // Sets the attenuation in hundredths of a decibel (0 full volume, -10000 silent).
    virtual bool SetVolume(int32_t Attenuation) = 0;
    // Sets the playback rate in samples per second.
    virtual bool SetFrequency(int32_t SamplesPerSecond) = 0;
    // Moves the play cursor to a byte offset; playing stops first, so the next Play restarts.
    virtual bool SetPosition(int32_t ByteOffset) = 0;
    // Starts playback from the play cursor, once or looping.
    virtual bool Play(bool Looping) = 0;
};

// The sound output as the wave module sees it.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Opens the default output; false when there is none.
    virtual bool Open() = 0;
    // True once an opened output has gone away for good.
    virtual bool Lost() const { return false; }
    // A buffer holding Wave, or nullptr when the device cannot take it.
    virtual std::unique_ptr<SoundBuffer> CreateBuffer(const WaveData& Wave) = 0;
    // The error number of the last failure (one of the kSoundErr codes).
    virtual int32_t ErrorCode() const = 0;
    // A readable text for the last failure.
    virtual std::string ErrorText() const = 0;
};

// Makes the device DSound_Initialize opens (main installs the real backend).
using SoundDeviceFactory = std::function<std::unique_ptr<SoundDevice>()>;

}  // namespace zol
