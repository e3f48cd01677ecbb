#include "app/CommandLine.h"

#include <vector>

namespace zol::app {

namespace {

constexpr std::string_view kUsage =
    "Usage: zol [OPTION]...\n"
    "Play Zol, a falling-block merge puzzle.\n"
    "\n"
    "  --fullscreen  start in full screen\n"
    "  --windowed    start in a window\n"
    "  --no-save     keep no scores or settings: read and write no files\n"
    "                (as ZOL_NO_SAVE=1)\n"
    "  --scores      print the table of best results and exit\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n";

CommandLine Leave(int Code) {
    CommandLine Line;
    Line.Run = false;
    Line.ExitCode = Code;
    return Line;
}

}  // namespace

std::string_view Usage() { return kUsage; }

CommandLine ParseCommandLine(std::span<const std::string_view> Args, std::ostream& Out,
                             std::ostream& Err) {
    CommandLine Line;
    for (const std::string_view Arg : Args) {
        if (Arg == "--help") {
            Out << kUsage;
            return Leave(0);
        }
        if (Arg == "--version") {
            Out << "zol " << ZOL_VERSION << '\n';
            return Leave(0);
        }
        if (Arg == "--fullscreen") {
            Line.Fullscreen = true;
        } else if (Arg == "--windowed") {
            Line.Fullscreen = false;
        } else if (Arg == "--no-save") {
            Line.NoSave = true;
        } else if (Arg == "--scores") {
            Line.ShowScores = true;
        } else {
            // "-" alone is an argument (conventionally standard input), not an option.
            const bool IsOption = Arg.size() > 1 && Arg.front() == '-';
            Err << "zol: " << (IsOption ? "unknown option" : "unexpected argument") << " '"
                << Arg << "'\n"
                << kUsage;
            return Leave(2);
        }
    }
    return Line;
}

CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& Out,
                             std::ostream& Err) {
    std::vector<std::string_view> Args;
    for (int i = 1; i < argc; ++i) Args.emplace_back(argv[i]);
    return ParseCommandLine(Args, Out, Err);
}

}  // namespace zol::app
