// Zol: the game. The command line is read first: help, version and mistakes end the
// process here, before any window or device; everything else lives in RunProgram.
#include <iostream>

#include "app/CommandLine.h"
#include "platform/sdl/Program.h"

int main(int argc, char** argv) {
    const zol::app::CommandLine Line = zol::app::ParseCommandLine(argc, argv, std::cout, std::cerr);
    if (!Line.Run) return Line.ExitCode;
    // Line.Fullscreen and Line.NoSave are read but not applied yet: the program layer
    // that starts the game takes them over, and until then the game starts as it always has.
    return zol::sdl::RunProgram();
}
