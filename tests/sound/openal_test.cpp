#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "framework/sound/openal/OpenAlSoundDevice.h"

namespace zol {
namespace {

// The one source OpenAL has handed out in this context.
ALuint OnlySource() {
    for (ALuint id = 1; id < 4096; ++id) {
        if (alIsSource(id)) return id;
    }
    return 0;
}

// Runs with OpenAL Soft's null output (CTest sets ALSOFT_DRIVERS=null): a real buffer
// is created, mapped and played, and the mixer advances it.
TEST(OpenAlSound, RealBufferIsCreatedMappedAndPlayed) {
    OpenAlSoundDevice device;
    ASSERT_TRUE(device.Open()) << device.ErrorText();
    WaveData wave;
    wave.SampleRate = 22050;
    wave.Channels = 1;
    wave.BitsPerSample = 16;
    wave.Pcm.assign(22050 * 2, 0);  // one second
    auto buffer = device.CreateBuffer(wave);
    ASSERT_NE(buffer, nullptr) << device.ErrorText();
    const ALuint source = OnlySource();
    ASSERT_NE(source, 0u);

    EXPECT_TRUE(buffer->SetVolume(-1000));
    float gain = 0;
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_NEAR(gain, std::pow(10.0f, -0.5f), 1e-5);
    EXPECT_TRUE(buffer->SetVolume(-10000));
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_NEAR(gain, 1e-5f, 1e-9);
    EXPECT_TRUE(buffer->SetVolume(0));

    EXPECT_TRUE(buffer->SetFrequency(99900));
    float pitch = 0;
    alGetSourcef(source, AL_PITCH, &pitch);
    EXPECT_NEAR(pitch, 99900.0f / 22050.0f, 1e-5);
    EXPECT_TRUE(buffer->SetFrequency(22050));
    alGetSourcef(source, AL_PITCH, &pitch);
    EXPECT_FLOAT_EQ(pitch, 1.0f);
    EXPECT_FALSE(buffer->SetFrequency(0));

    // An odd byte offset starts at the sample frame that holds it.
    EXPECT_TRUE(buffer->SetPosition(20001));
    EXPECT_TRUE(buffer->Play(true));
    ALint state = 0, offset = -1, looping = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alGetSourcei(source, AL_BYTE_OFFSET, &offset);
    alGetSourcei(source, AL_LOOPING, &looping);
    EXPECT_EQ(state, AL_PLAYING);
    EXPECT_EQ(looping, AL_TRUE);
    EXPECT_GE(offset, 20000);
    EXPECT_EQ(offset % 2, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ALint later = 0;
    alGetSourcei(source, AL_BYTE_OFFSET, &later);
    EXPECT_GT(later, offset);  // the mixer plays it

    // Playing again restarts; an offset past the end plays from the start.
    EXPECT_TRUE(buffer->SetPosition(10'000'000));
    EXPECT_TRUE(buffer->Play(false));
    alGetSourcei(source, AL_BYTE_OFFSET, &offset);
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    EXPECT_LT(offset, 20000);
    EXPECT_EQ(state, AL_PLAYING);

    WaveData odd = wave;
    odd.Pcm.resize(3);  // not a whole number of frames
    EXPECT_EQ(device.CreateBuffer(odd), nullptr);
    odd.Channels = 6;
    EXPECT_EQ(device.CreateBuffer(odd), nullptr);
    buffer.reset();
    EXPECT_EQ(OnlySource(), 0u);
}

}  // namespace
}  // namespace zol
