// SaveFiles: the folders and the file handling for what the program keeps between runs.
//
// What it does:
// - the XDG base directories: $XDG_DATA_HOME and $XDG_CONFIG_HOME when they hold an
//   absolute path, else ~/.local/share and ~/.config;
// - an exclusive lock (flock on a lock file beside the kept file), so that two copies of
//   the program take turns at reading, merging and writing;
// - reading a whole file with a size limit;
// - writing a file so that it is always either the old one or the new one, even when the
//   program dies half-way or the machine loses power: a temporary file in the same
//   folder, fsync, rename over the old one, fsync of the folder; missing folders are made
//   first (mode 0700);
// - setting a damaged file aside under the name with ".damaged" added.
// Who owns what: a SaveLock owns its lock file's descriptor; everything else is values.
// Failure: each call says by its result whether it worked, with the system's reason as
// text where it helps the player; nothing throws, nothing waits for long (a lock that
// stays taken is given up after a while, see SaveLock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zol::platform {

// The folder for App's data ($XDG_DATA_HOME/App or ~/.local/share/App), ending in "/";
// "" when neither the variable nor a home folder is known.
std::string DataFolder(const std::string& App);
// The folder for App's settings ($XDG_CONFIG_HOME/App or ~/.config/App), ending in "/".
std::string ConfigFolder(const std::string& App);

// An exclusive lock on Path + ".lock", held while the object lives. Taking it waits at
// most about WaitMs for another holder; a lock that cannot be made (a missing or
// read-only folder, a file system without locks) or not had in time is not Held, and
// the caller goes on without it.
class SaveLock {
public:
    explicit SaveLock(const std::string& Path, int WaitMs = 2000);
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    bool Held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

enum class ReadResult { Read, Missing, Failed };

// Reads the whole file at Path into Bytes; Missing when there is none, Failed (with the
// reason in *Why) when it cannot be read or is larger than MaxBytes.
ReadResult ReadWholeFile(const std::string& Path, size_t MaxBytes, std::vector<uint8_t>& Bytes,
                         std::string* Why);
// Replaces the file at Path by Bytes atomically (see above); Locked says whether the
// caller holds the file's SaveLock (the temporary file's name then need not be unique).
// False with the reason in *Why; the old file is then left as it was.
bool WriteFileAtomically(const std::string& Path, const std::vector<uint8_t>& Bytes, bool Locked,
                         std::string* Why);
// Renames the file at Path to Path + ".damaged" (an older one of that name is replaced);
// false when it could not be moved.
bool SetFileAside(const std::string& Path);

}  // namespace zol::platform
