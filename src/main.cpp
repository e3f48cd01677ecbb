// Zol: wires the real backends together and hands control to the window host.
#include <cstdio>

int main() {
    std::fprintf(stderr, "Zol: the game window is not built yet; run the tests instead.\n");
    return 0;
}
