// The real program against damaged resources: each case is a program folder of its own
// (the built game and its assets, one or all files damaged), run headless for a couple of
// seconds and closed the way the desktop closes it. The game must still be running when
// asked to close, close with 0, and leave no sanitizer report or crash on stderr.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <zlib.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kBuild = ZOL_BINARY_DIR;
const fs::path kSource = ZOL_SOURCE_DIR;

// Every file the game and its window load.
const std::vector<std::string> kResources = {
    "img/back.png",     "img/blocks.png",      "img/particles.png", "img/fnt_minco.png",
    "img/window.png",   "img/icon.png",        "wave/ammo.wav",     "wave/bomb.wav",
    "wave/clack.wav",   "wave/dip.wav",        "wave/gameover.wav", "wave/gameover2.wav",
    "wave/hit.wav",     "wave/hui.wav",        "wave/pause.wav",    "wave/ready.wav",
    "midi/back.mid"};

std::vector<char> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& p, const std::vector<char>& bytes) {
    fs::remove_all(p);
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<char> bytes(n);
    for (char& c : bytes) c = static_cast<char>(gen() & 0xff);
    return bytes;
}

void PutBig32(std::vector<char>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
}

void PutLittle32(std::vector<char>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

// The file's header claims far more than it holds: the largest image the loader accepts
// (with a valid chunk check, so the decoder believes it), a wave or song chunk of 2 GiB.
void ClaimTooMuch(const fs::path& p) {
    std::vector<char> b = ReadAll(p);
    const std::string ext = p.extension().string();
    if (ext == ".png" && b.size() > 33) {
        PutBig32(b, 16, 16384);
        PutBig32(b, 20, 16384);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(b.data() + 12), 17);
        PutBig32(b, 29, static_cast<uint32_t>(crc));
    } else if (ext == ".wav" && b.size() > 44) {
        PutLittle32(b, 4, 0x7fffffffu);
        PutLittle32(b, 40, 0x7fffff00u);
    } else if (ext == ".mid" && b.size() > 22) {
        PutBig32(b, 18, 0x7fffffffu);
    }
    WriteAll(p, b);
}

// The ways a resource can be damaged.
enum class Damage { Missing, Empty, Truncated, Random, Oversized, Claims, Folder, Unreadable };

const char* Name(Damage d) {
    static const char* const names[] = {"missing", "zero-byte", "truncated", "random",
                                        "oversized", "claims-too-much", "folder", "unreadable"};
    return names[static_cast<int>(d)];
}

void Apply(Damage d, const fs::path& p, uint32_t seed) {
    switch (d) {
        case Damage::Missing: fs::remove(p); break;
        case Damage::Empty: WriteAll(p, {}); break;
        case Damage::Truncated: {
            std::vector<char> b = ReadAll(p);
            b.resize(b.size() / 2);
            WriteAll(p, b);
            break;
        }
        case Damage::Random: WriteAll(p, RandomBytes(4096, seed)); break;
        case Damage::Oversized: {
            // The real file with 24 MiB of noise after it.
            std::vector<char> b = ReadAll(p), tail = RandomBytes(24u << 20, seed);
            b.insert(b.end(), tail.begin(), tail.end());
            WriteAll(p, b);
            break;
        }
        case Damage::Claims: ClaimTooMuch(p); break;
        case Damage::Folder:
            fs::remove(p);
            fs::create_directories(p / "inside");
            break;
        case Damage::Unreadable: fs::permissions(p, fs::perms::none); break;
    }
}

// One program folder with its running game.
struct Run {
    std::string label;
    fs::path dir;
    pid_t pid = -1;
};

// A fresh program folder: the game (hard-linked when possible) and a copy of its assets.
fs::path MakeProgramFolder(const std::string& label) {
    const fs::path dir = kBuild / "hardening-runs" / label;
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::error_code ec;
    fs::create_hard_link(kBuild / "zol", dir / "zol", ec);
    if (ec) fs::copy_file(kBuild / "zol", dir / "zol");
    for (const char* sub : {"img", "wave", "midi"})
        fs::copy(kBuild / sub, dir / sub, fs::copy_options::recursive);
    return dir;
}

// Starts the game of a folder headless, stderr into the folder; drops root rights when
// asked (so that permission bits count).
pid_t Start(const fs::path& dir, bool unprivileged) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string s(*e);
        if (s.rfind("SDL_VIDEODRIVER=", 0) == 0 || s.rfind("ALSOFT_DRIVERS=", 0) == 0 ||
            s.rfind("SDL_AUDIODRIVER=", 0) == 0 || s.rfind("HOME=", 0) == 0)
            continue;
        env.push_back(s);
    }
    env.push_back("SDL_VIDEODRIVER=offscreen");
    env.push_back("ALSOFT_DRIVERS=null");
    env.push_back("SDL_AUDIODRIVER=dummy");
    env.push_back("HOME=" + dir.string());
    // Under the sanitizers: the settings CI uses, unless the caller gave its own (leaks
    // inside the graphics and audio libraries are theirs, not the game's).
    if (fs::exists(kBuild / "libzol_keep_libraries.so")) {
        if (!std::getenv("LSAN_OPTIONS"))
            env.push_back("LSAN_OPTIONS=suppressions=" + (kSource / "tests/lsan.supp").string() +
                          ":print_suppressions=0");
        if (!std::getenv("ASAN_OPTIONS"))
            env.push_back("ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0:verify_asan_link_order=0");
        if (!std::getenv("LD_PRELOAD"))
            env.push_back("LD_PRELOAD=" + (kBuild / "libzol_keep_libraries.so").string());
        // A game that dropped root rights before it started is not checked for leaks:
        // LeakSanitizer's tracer crashed at exit there, depending only on the size of the
        // environment (a longer HOME made it crash, a shorter one not), never as root.
        // The same game as root, in every other case here, is checked.
        if (unprivileged) {
            for (auto& e : env)
                if (e.rfind("ASAN_OPTIONS=", 0) == 0) e += ":detect_leaks=0";
        }
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string game = (dir / "zol").string(), log = (dir / "stderr.txt").string();

    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd >= 0) {
        dup2(fd, 2);
        dup2(fd, 1);
    }
    if (unprivileged && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    char* argv[] = {const_cast<char*>(game.c_str()), nullptr};
    execve(game.c_str(), argv, envp.data());
    _exit(127);
}

// The exit status after up to Seconds (128 + signal when killed), or -1 if still running.
int WaitFor(pid_t pid, double Seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return -1;
}

// Runs the cases side by side: builds each folder, starts all, lets them play, closes all.
void RunAll(std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> cases,
            bool unprivileged = false) {
    ASSERT_EQ(access((kBuild / "zol").c_str(), X_OK), 0) << "the game is not built";
    std::vector<Run> runs;
    for (auto& [label, damage] : cases) {
        Run r{label, MakeProgramFolder(label)};
        damage(r.dir);
        if (unprivileged) {
            // The folder must be open to the unprivileged user, the damaged file not.
            for (auto& e : fs::recursive_directory_iterator(r.dir))
                if (e.is_directory()) fs::permissions(e.path(), fs::perms::all);
            fs::permissions(r.dir, fs::perms::all);
        }
        r.pid = Start(r.dir, unprivileged);
        ASSERT_GT(r.pid, 0);
        runs.push_back(std::move(r));
    }
    // Long enough to load everything and play many ticks, even with the sanitizers on.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    std::vector<int> early(runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        early[i] = WaitFor(runs[i].pid, 0);
        if (early[i] == -1) kill(runs[i].pid, SIGTERM);
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        const Run& r = runs[i];
        SCOPED_TRACE(r.label);
        int closed = early[i];
        if (closed == -1) closed = WaitFor(r.pid, 30);
        if (closed == -1) kill(r.pid, SIGKILL), waitpid(r.pid, nullptr, 0);
        const std::vector<char> err = ReadAll(r.dir / "stderr.txt");
        const std::string text(err.begin(), err.end());
        EXPECT_EQ(early[i], -1) << "ended by itself before it was closed:\n" << text;
        EXPECT_EQ(closed, 0) << text;
        for (const char* bad : {"AddressSanitizer", "LeakSanitizer", "runtime error:",
                                "Segmentation", "Aborted", "terminate called"})
            EXPECT_EQ(text.find(bad), std::string::npos) << bad << " in:\n" << text;
        if (!::testing::Test::HasFailure()) fs::remove_all(r.dir);
    }
}

// For one kind of damage: a folder where every resource is damaged that way, and folders
// where single resources are (the resource list shared out over the kinds of damage).
void RunDamage(Damage d, bool unprivileged = false) {
    std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> cases;
    cases.emplace_back(std::string(Name(d)) + "-all", [d](const fs::path& dir) {
        uint32_t seed = 1;
        for (const auto& res : kResources) Apply(d, dir / res, seed++);
    });
    const size_t kinds = static_cast<size_t>(Damage::Unreadable) + 1;
    for (size_t i = static_cast<size_t>(d); i < kResources.size(); i += kinds) {
        const std::string res = kResources[i];
        std::string label = std::string(Name(d)) + "-" + fs::path(res).filename().string();
        cases.emplace_back(label, [d, res, i](const fs::path& dir) {
            Apply(d, dir / res, static_cast<uint32_t>(i + 100));
        });
    }
    RunAll(std::move(cases), unprivileged);
}

TEST(DamagedResources, MissingFilesAndFolders) {
    RunDamage(Damage::Missing);
    RunAll({{"no-resource-folders", [](const fs::path& dir) {
                 for (const char* sub : {"img", "wave", "midi"}) fs::remove_all(dir / sub);
             }}});
}
TEST(DamagedResources, ZeroByteFiles) { RunDamage(Damage::Empty); }
TEST(DamagedResources, TruncatedFiles) { RunDamage(Damage::Truncated); }
TEST(DamagedResources, RandomFiles) { RunDamage(Damage::Random); }
TEST(DamagedResources, OversizedFiles) { RunDamage(Damage::Oversized); }
TEST(DamagedResources, HeadersClaimingTooMuch) { RunDamage(Damage::Claims); }
TEST(DamagedResources, FoldersWhereFilesShouldBe) { RunDamage(Damage::Folder); }

TEST(DamagedResources, UnreadableFiles) {
    // Root reads files whatever their permission bits: the game then runs as nobody.
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        // The build folder must be reachable by nobody for that; when it is not, skip.
        for (fs::path p = kBuild; !p.empty() && p != p.root_path(); p = p.parent_path()) {
            if ((fs::status(p).permissions() & fs::perms::others_exec) == fs::perms::none)
                GTEST_SKIP() << "running as root and " << p << " is closed to other users";
        }
    }
    RunDamage(Damage::Unreadable, asRoot);
}

}  // namespace
