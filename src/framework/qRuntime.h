// qRuntime: brings the framework up and down.
//
// What it does: QRT_Initialize prepares the process (random source, clock, program
// folder); Window_Initialize opens the graphics device on the drawing area, then sound and
// music; QRT_Release closes them all again. It sits above the modules it drives.
// Who owns what: the devices belong to their modules; this file only orders their start
// and end.
// Failure: Window_Initialize returns false after its own message when graphics cannot
// start; a missing sound or music device is reported and the game plays on without it.
#pragma once

#include <cstdint>

namespace zol {

// Seeds the random source, reads the clock and sets AppPath.
void QRT_Initialize();
// Creates the graphics device on the drawing area, then the sound and music devices.
// Returns false (after its message and QRT_Release) when graphics cannot start.
bool Window_Initialize(void* FormHandle, void* TargetHandle, int32_t TargetWidth,
                       int32_t TargetHeight);
// Releases the graphics device and its textures, the sound and the music, in that order.
// Safe at any point of start-up and more than once.
void QRT_Release();

}  // namespace zol
