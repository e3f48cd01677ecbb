// CommandLine: what the program's arguments ask for.
//
// What it does: reads the options (--help, --version, --fullscreen, --windowed, --no-save,
// --scores)
// into a plain value; help and version are answered on Out, mistakes on Err.
// Who owns what: the caller owns the streams; the result is a value.
// Failure: an unknown option or a stray argument gives a one-line message and the usage
// on Err and asks the caller to exit with 2. Nothing else is written, nothing is thrown.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

namespace zol::app {

struct CommandLine {
    // Run the game, or leave at once with ExitCode (help, version, a mistake).
    bool Run = true;
    int ExitCode = 0;
    // Full screen (true) or a window (false) at start; nullopt: the game's own choice.
    std::optional<bool> Fullscreen;
    // Read and write nothing kept between runs, as ZOL_NO_SAVE=1 asks.
    bool NoSave = false;
    // Print the table of best results and exit instead of playing.
    bool ShowScores = false;
};

// The usage text that --help prints.
std::string_view Usage();

// Reads Args (without the program's name); the last of --fullscreen and --windowed wins,
// and the first of --help, --version or a mistake ends the reading.
CommandLine ParseCommandLine(std::span<const std::string_view> Args, std::ostream& Out,
                             std::ostream& Err);

// The same for main's arguments (argv[0] is the program's name and is skipped).
CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& Out,
                             std::ostream& Err);

}  // namespace zol::app
