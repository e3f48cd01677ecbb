// qDecodeMemory: a ceiling on what SDL may allocate while it decodes a file.
//
// What it does: the image and wave decoders hand whole files to SDL (SDL2_image, SDL's
// WAV loader), which sizes its buffers from the sizes a file's header claims. A damaged
// or hostile header can claim many gigabytes, which SDL then allocates and clears. Once
// installed, every single SDL allocation above kDecodeAllocationLimit fails instead, and
// the decoder reports the file as unreadable.
// Who owns what: the limit is process-wide and stays installed; memory is still the C
// library's, so blocks SDL allocated before the limit are freed as before.
// Failure: none here; a refused allocation is a failed decode for its caller.
#pragma once

#include <cstddef>

namespace zol {

// The largest single block SDL may allocate: one 4096 x 4096 ARGB image (the largest the
// texture loader accepts) with slack. A header may claim anything up to this and SDL
// clears what it allocates, so the ceiling is also what a 100-byte file can cost: a larger
// one let such files take seconds and a gigabyte each.
inline constexpr size_t kDecodeAllocationLimit = (size_t{64} << 20) + (size_t{1} << 20);

// Installs the ceiling (once; later calls do nothing).
void LimitDecodeAllocations();

}  // namespace zol
