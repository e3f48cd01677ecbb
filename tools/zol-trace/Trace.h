// zol-trace: replays a game from a script and prints one JSON object per tick.
//
// The script comes one command a line (blank lines and lines starting with '#' are
// skipped): seed N, down K, up K, mouse, yes, no, cancel, input TEXT, input-cancel,
// background, foreground, tick N. The run starts as the program does, without a window:
// the framework core is initialised, the clock reads 100000 ms until the first tick and
// 100000 + 30 n ms during tick n, the screen is 480 x 288, ResetGame(true) runs, then the
// script is read. Without "seed" the random source is the one the framework seeded from
// the system clock, so such a run is not reproducible. After Escape has closed the window
// the run ends (the closing tick is printed; later commands are not read).
// Failure: an unknown or malformed line is reported on the error stream with its line
// number, and the result is 2; otherwise 0.
#pragma once

#include <iosfwd>

namespace zol::trace {

// Runs the script from in, writing tick lines to out and messages to err; the exit code.
int RunTrace(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zol::trace
