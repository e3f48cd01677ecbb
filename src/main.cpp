// Zol: the game. The command line is read first: help, version and mistakes end the
// process here, before any window or device, and so does --scores, which only prints the
// kept table; the program itself is wired in app/Program.
#include <iostream>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SavedStore.h"

int main(int argc, char** argv) {
    const zol::app::CommandLine line = zol::app::ParseCommandLine(argc, argv, std::cout, std::cerr);
    if (!line.Run) return line.ExitCode;
    if (line.ShowScores) return zol::app::PrintScores(line, std::cout, std::cerr);
    return zol::app::RunProgram(line);
}
