// Placeholder until wave sound is built: requests are observed, nothing plays.
#include "framework/sound/qDSound.h"

namespace zol {

bool SoundEnabled = false;
std::string WavePath;

namespace {
WavePlayObserver g_observer;
}

bool DSound_Initialize(void*) { return false; }
void DSound_Release() { SoundEnabled = false; }
int32_t PlayWaveFile(const std::string& FileName, bool, float Volume, float Frequency, bool, int32_t) {
    if (g_observer) g_observer(FileName, Volume, Frequency);
    return 0;
}
int32_t LoadWave(const std::string&, bool) { return 0; }
int32_t CreateWave() { return 0; }
void PlayWave(int32_t, bool, float, float, int32_t) {}
void SetWavePlayObserver(WavePlayObserver observer) { g_observer = std::move(observer); }

}  // namespace zol
