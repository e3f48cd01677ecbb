// zol-trace: reads a game script on standard input and prints the game tick by tick.
#include <iostream>

#include "Trace.h"

int main() {
    std::ios::sync_with_stdio(false);
    return zol::trace::RunTrace(std::cin, std::cout, std::cerr);
}
