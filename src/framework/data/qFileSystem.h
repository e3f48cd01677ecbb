// qFileSystem: finding resource files and cleaning folder paths.
//
// What it does: ResolveFile finds a resource in its folder or beside the program;
// folder values (AppPath and the resource folders built on it) end in "/".
// Who owns what: AppPath is module-level, set once at start-up.
// Failure: every procedure reports failure by its result ("" or false); none shows a message.
#pragma once

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

}  // namespace zol
