// Zol: the game. The program is wired in app/Program.
#include "app/Program.h"

int main() { return zol::app::RunProgram(); }
