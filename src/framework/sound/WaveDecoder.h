// WaveDecoder: wave files to PCM a sound buffer can hold.
//
// What it does: decodes a RIFF wave file with SDL's WAV loader (PCM, ADPCM, float and
// the other encodings SDL reads) into unsigned 8-bit PCM (for 8-bit files) or signed
// 16-bit PCM (for everything else), mono or stereo (more channels are mixed down).
// Who owns what: the caller owns the WaveData it passes in.
// Failure: false with a readable reason; Wave is left empty.
#pragma once

#include <string>

#include "framework/sound/SoundDevice.h"

namespace zol {

// Decodes the wave file at Path into Wave; false with Error set when it cannot.
bool DecodeWaveFile(const std::string& Path, WaveData& Wave, std::string& Error);

}  // namespace zol
