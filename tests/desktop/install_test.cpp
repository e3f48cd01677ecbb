// The installed layout: `cmake --install` into a temporary prefix lays the game out as
// the Debian package does, and the program finds its resources through the link on PATH.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/TempDir.h"
#include "framework/core/qFileSystem.h"
#include "platform/sdl/SdlHost.h"

extern char** environ;

namespace zol {
namespace {

namespace fs = std::filesystem;

// Runs a program with arguments (stdout and stderr to Log); its exit status, -1 when it
// could not start.
int RunProgram(const std::vector<std::string>& args, const std::string& log,
        const std::vector<std::string>& extraEnv = {}) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (started != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::string ReadText(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Width and height of a PNG file from its header; 0, 0 when it is none.
std::pair<int, int> PngSize(const fs::path& p) {
    const auto b = test::ReadAll(p.string());
    static const uint8_t kMagic[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 24 || !std::equal(kMagic, kMagic + 8, b.begin())) return {0, 0};
    const auto be = [&](size_t at) {
        return static_cast<int>(uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 |
                                uint32_t{b[at + 2]} << 8 | b[at + 3]);
    };
    return {be(16), be(20)};
}

TEST(Install, LaysTheGameOutLikeADebianGame) {
    const std::string build = ZOL_BINARY_DIR;
    if (!fs::exists(build + "/img/icon.png")) GTEST_SKIP() << "the assets are not built";
    test::TempDir dir;
    const fs::path prefix = dir.Folder() + "usr";
    ASSERT_EQ(RunProgram({ZOL_CMAKE_COMMAND, "--install", build, "--prefix", prefix.string()},
                  dir.File("install.log")),
              0)
        << ReadText(dir.File("install.log"));

    // The program with its resources beside it.
    const fs::path lib = prefix / "lib/games/zol";
    EXPECT_EQ(access((lib / "zol").c_str(), X_OK), 0);
    for (const char* f : {"img/back.png", "img/blocks.png", "img/particles.png",
                          "img/fnt_minco.png", "img/window.png", "img/icon.png", "midi/back.mid",
                          "wave/hit.wav", "wave/clack.wav", "wave/pause.wav"})
        EXPECT_TRUE(fs::is_regular_file(lib / f)) << f;
    // The command on PATH is a relative link to it, so it holds wherever the prefix is.
    const fs::path link = prefix / "games/zol";
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::path("../lib/games/zol/zol"));
    EXPECT_EQ(fs::canonical(link), fs::canonical(lib / "zol"));

    // The desktop entry, its icons in every size, the metainfo and the manual page all
    // name the window's class.
    const std::string id = sdl::SdlHost::kDesktopId;
    const std::string entry = ReadText(prefix / "share/applications" / (id + ".desktop"));
    // The entry starts the command by its full path in this prefix (the games folder is
    // not on every desktop session's PATH).
    EXPECT_NE(entry.find("\nExec=" + (prefix / "games/zol").string() + "\n"), std::string::npos)
        << entry;
    EXPECT_NE(entry.find("\nIcon=" + id + "\n"), std::string::npos);
    EXPECT_NE(entry.find("\nStartupWMClass=" + id + "\n"), std::string::npos);
    EXPECT_NE(entry.find("\nCategories=Game;LogicGame;BlocksGame;\n"), std::string::npos);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const std::string s = std::to_string(size);
        const auto wh = PngSize(prefix / "share/icons/hicolor" / (s + "x" + s) / "apps" /
                                (id + ".png"));
        EXPECT_EQ(wh, std::make_pair(size, size)) << size;
    }
    const std::string meta = ReadText(prefix / "share/metainfo" / (id + ".metainfo.xml"));
    EXPECT_NE(meta.find("<id>" + id + "</id>"), std::string::npos);
    EXPECT_NE(meta.find("<launchable type=\"desktop-id\">" + id + ".desktop</launchable>"),
              std::string::npos);
    EXPECT_NE(meta.find("version=\"" ZOL_VERSION "\""), std::string::npos);
    for (const char* gz : {"share/man/man6/zol.6.gz", "share/doc/zol/changelog.Debian.gz"}) {
        const auto bytes = test::ReadAll((prefix / gz).string());
        ASSERT_GE(bytes.size(), 2u) << gz;
        EXPECT_EQ(bytes[0], 0x1F) << gz;  // gzip
        EXPECT_EQ(bytes[1], 0x8B) << gz;
    }
    EXPECT_NE(ReadText(prefix / "share/doc/zol/copyright").find("\nLicense: Expat\n"),
              std::string::npos);
}

// Started through a link by the test below: writes where the program thinks it lives.
TEST(ProgramFolderProbe, DISABLED_WriteProgramFolder) {
    const char* out = std::getenv("ZOL_PROBE_OUT");
    ASSERT_NE(out, nullptr);
    std::ofstream(out) << ProgramFolder();
}

TEST(Install, ProgramFolderFollowsTheLinkToTheRealProgram) {
    test::TempDir dir;
    const fs::path self = fs::canonical("/proc/self/exe");
    fs::create_directories(dir.Folder() + "games");
    const fs::path link = dir.Folder() + "games/zol";
    fs::create_symlink(self, link);
    const std::string out = dir.File("folder.txt");
    ASSERT_EQ(RunProgram({link.string(), "--gtest_also_run_disabled_tests",
                   "--gtest_filter=ProgramFolderProbe.DISABLED_WriteProgramFolder"},
                  dir.File("probe.log"), {"ZOL_PROBE_OUT=" + out}),
              0)
        << ReadText(dir.File("probe.log"));
    // The real program's folder, not the link's: the resources sit beside the program.
    EXPECT_EQ(ReadText(out), self.parent_path().string() + "/");
}

}  // namespace
}  // namespace zol
