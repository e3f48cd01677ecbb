// zol-code: makes and verifies score codes from the command line.
//
//   zol-code make NAME SCORE LEVEL MAXCHAINS MAXEXPLODES FRAMES
//       prints the code, then the clipboard text; exit 1 when the values admit no code.
//   zol-code verify [TEXT]
//       verifies TEXT (or standard input) and prints what the game would show;
//       exit 0 accepted, 1 rejected, 2 a code of an older version.
// Usage errors exit 3.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "game/mZol.h"

namespace {

int Usage() {
    std::fputs(
        "usage: zol-code make NAME SCORE LEVEL MAXCHAINS MAXEXPLODES FRAMES\n"
        "       zol-code verify [TEXT]   (TEXT from standard input when not given)\n",
        stderr);
    return 3;
}

bool ParseLong(const char* text, int32_t& out) {
    const std::string s(text);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

int Make(int argc, char** argv) {
    if (argc != 8) return Usage();
    zol::ScoreValues v;
    v.Name = zol::HighscoreName(argv[2]);
    int32_t* fields[] = {&v.Score, &v.Level, &v.MaxChains, &v.MaxExplodes, &v.GameFrames};
    for (int i = 0; i < 5; ++i) {
        if (!ParseLong(argv[3 + i], *fields[i])) {
            std::fprintf(stderr, "zol-code: not a 32-bit whole number: %s\n", argv[3 + i]);
            return 3;
        }
    }
    const zol::ScoreCode made = zol::MakeScoreCode(v);
    if (made.Code.empty()) {
        std::fputs("zol-code: these values give no check value (zero divisor or out of range)\n",
                   stderr);
        return 1;
    }
    std::cout << made.Code << "\n" << made.ClipboardText << "\n";
    return 0;
}

int Verify(int argc, char** argv) {
    if (argc > 3) return Usage();
    std::string text;
    if (argc == 3) {
        text = argv[2];
    } else {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
    const zol::CodeReport r = zol::CheckScoreCode(text);
    switch (r.Verdict) {
        case zol::CodeVerdict::Rejected:
            std::cout << zol::kInvalidCodeText << "\n";
            return 1;
        case zol::CodeVerdict::OlderVersion:
            std::cout << zol::kOlderCodeText << "\n" << r.Report << "\n";
            return 2;
        case zol::CodeVerdict::Accepted:
            std::cout << r.Report << "\n";
            return 0;
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "make") return Make(argc, argv);
    if (command == "verify") return Verify(argc, argv);
    return Usage();
}
