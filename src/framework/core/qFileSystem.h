// qFileSystem: finding resource files, cleaning folder paths, and opening files.
//
// What it does: ResolveFile finds a resource in its folder or beside the program;
// folder values (AppPath and the resource folders built on it) end in "/". OpenFile
// gives a handle that closes its file when it goes out of scope.
// Who owns what: AppPath is module-level, set once at start-up; a FileHandle owns its file.
// Failure: every procedure reports failure by its result ("", false or an empty handle);
// none shows a message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace zol {

// The program's own folder, ending in "/". Empty before QRT_Initialize.
extern std::string AppPath;

// The folder of the running executable (through /proc/self/exe), ending in "/".
std::string ProgramFolder();
// True when FileName names a full path (starts with "/" or contains ":").
bool IsFullPath(const std::string& FileName);
// The path of a resource: a full path as given, else Folder + FileName if that file
// exists, else AppPath + FileName if that exists, else "".
std::string ResolveFile(const std::string& FileName, const std::string& Folder);
// Path trimmed of blanks and ending in one separator (folders made when CreateFolders).
std::string NormalisePath(const std::string& Path, bool CreateFolders);
// Creates every missing folder of Path; returns Path with a trailing "/".
std::string MakePath(const std::string& Path);
// True for an existing file; false for a folder, an empty path or any failure.
bool FileExists(const std::string& Path);
// Removes a file; true also when there was none, false when removing failed.
bool DeleteFile(const std::string& Path);

// Closes a C stream; the deleter of FileHandle.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
// An open file; empty means failure. Closes itself.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file. Create: an existing file is removed first and a new one made (empty
// handle when it cannot be removed). Otherwise the file must exist. Binary opens it for
// byte-wise reading and writing (reading only when it is read-only); text mode opens it
// for output when Create, for input otherwise.
FileHandle OpenFile(const std::string& Path, bool Binary, bool Create);
// The length of an open file in bytes, or -1.
int64_t FileLength(std::FILE* File);

}  // namespace zol
