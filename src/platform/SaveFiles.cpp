#include "platform/SaveFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace zol::platform {

namespace {

std::string Reason(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

// The home folder: $HOME, else the password database's entry.
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return "";
}

// $Variable when it holds an absolute path (relative ones are to be ignored), else
// Fallback below the home folder; then App, ending in "/".
std::string BaseFolder(const char* variable, const char* fallback, const std::string& app) {
    std::string base;
    if (const char* v = std::getenv(variable); v && v[0] == '/') {
        base = v;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return "";
        base = home + "/" + fallback;
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/" + app + "/";
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// Makes every missing folder of Folder, each with mode 0700.
bool MakeFolders(const std::string& folder, std::string* why) {
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            if (why) *why = Reason(part.c_str(), errno);
            return false;
        }
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (why) *why = folder + ": not a folder";
        return false;
    }
    return true;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string DataFolder(const std::string& App) {
    return BaseFolder("XDG_DATA_HOME", ".local/share", App);
}

std::string ConfigFolder(const std::string& App) { return BaseFolder("XDG_CONFIG_HOME", ".config", App); }

SaveLock::SaveLock(const std::string& Path, int WaitMs) {
    fd_ = open((Path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    // Polled rather than blocking, so that a copy that hangs while holding the lock
    // cannot hang this one.
    for (int waited = 0;; waited += 5) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= WaitMs) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

SaveLock::~SaveLock() {
    // Closing the descriptor releases the lock.
    if (fd_ >= 0) close(fd_);
}

ReadResult ReadWholeFile(const std::string& Path, size_t MaxBytes, std::vector<uint8_t>& Bytes,
                         std::string* Why) {
    const int fd = open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        // No file, or no folder on the way to it (a file in its place): nothing to read.
        if (errno == ENOENT || errno == ENOTDIR) return ReadResult::Missing;
        if (Why) *Why = Reason(Path.c_str(), errno);
        return ReadResult::Failed;
    }
    struct stat st {};
    ReadResult result = ReadResult::Failed;
    if (fstat(fd, &st) != 0) {
        if (Why) *Why = Reason(Path.c_str(), errno);
    } else if (!S_ISREG(st.st_mode)) {
        if (Why) *Why = Path + ": not a file";
    } else if (static_cast<uint64_t>(st.st_size) > MaxBytes) {
        if (Why) *Why = Path + ": larger than any file of ours";
    } else {
        // Read to the end rather than to the size seen, in case the file changed meanwhile.
        std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
        size_t got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (bytes.size() >= MaxBytes) break;
                bytes.resize(std::min(MaxBytes, bytes.size() * 2 + 64));
            }
            const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                if (Why) *Why = Reason(Path.c_str(), errno);
                got = SIZE_MAX;
                break;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        if (got != SIZE_MAX) {
            bytes.resize(got);
            Bytes = std::move(bytes);
            result = ReadResult::Read;
        }
    }
    close(fd);
    return result;
}

bool WriteFileAtomically(const std::string& Path, const std::vector<uint8_t>& Bytes, bool Locked,
                         std::string* Why) {
    const std::string folder = FolderOf(Path);
    if (!MakeFolders(folder, Why)) return false;
    // Under the lock one name serves (and a copy killed half-way leaves at most that one
    // file, which the next write replaces); without it, each process takes its own.
    const std::string temp = Path + ".new" + (Locked ? "" : "." + std::to_string(getpid()));
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (Why) *Why = Reason(temp.c_str(), errno);
        return false;
    }
    const bool written = WriteAll(fd, Bytes.data(), Bytes.size()) && fsync(fd) == 0;
    const int error = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed) {
        if (Why) *Why = Reason(temp.c_str(), written ? errno : error);
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), Path.c_str()) != 0) {
        if (Why) *Why = Reason(Path.c_str(), errno);
        unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk only with the folder.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

bool SetFileAside(const std::string& Path) {
    return rename(Path.c_str(), (Path + ".damaged").c_str()) == 0;
}

}  // namespace zol::platform
