// Zol: the game. Everything the process does lives in RunProgram.
#include "platform/sdl/Program.h"

int main() { return zol::sdl::RunProgram(); }
