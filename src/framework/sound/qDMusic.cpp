// Placeholder until MIDI music is built: requests are observed, nothing plays.
#include "framework/sound/qDMusic.h"

namespace zol {

bool MusicEnabled = false;
std::string MidiPath;

namespace {
MidiPlayObserver g_onPlay;
MidiStopObserver g_onStop;
}  // namespace

bool DMusic_Initialize(void*) { return false; }
void DMusic_Release() { MusicEnabled = false; }
bool PlayMidiFile(const std::string& FileName, bool, float, float, int32_t, int32_t, int32_t) {
    if (g_onPlay) g_onPlay(FileName);
    return false;
}
void MidiStop() {
    if (g_onStop) g_onStop();
}
void SetupMidi(float, float) {}
void SetMidiObservers(MidiPlayObserver onPlay, MidiStopObserver onStop) {
    g_onPlay = std::move(onPlay);
    g_onStop = std::move(onStop);
}

}  // namespace zol
