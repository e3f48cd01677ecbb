#include "framework/data/qFileSystem.h"

#include <filesystem>
#include <system_error>

namespace zol {

std::string AppPath;

namespace fs = std::filesystem;

std::string ProgramFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool IsFullPath(const std::string& FileName) {
    return (!FileName.empty() && FileName.front() == '/') || FileName.find(':') != std::string::npos;
}

std::string ResolveFile(const std::string& FileName, const std::string& Folder) {
    if (IsFullPath(FileName)) return FileName;
    if (FileExists(Folder + FileName)) return Folder + FileName;
    if (FileExists(AppPath + FileName)) return AppPath + FileName;
    return "";
}

std::string NormalisePath(const std::string& Path, bool CreateFolders) {
    const auto first = Path.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    std::string s = Path.substr(first, Path.find_last_not_of(' ') - first + 1);
    if (CreateFolders) s = MakePath(s);
    if (s.back() != '/') s += '/';
    return s;
}

std::string MakePath(const std::string& Path) {
    std::string s = Path;
    if (s.empty() || s.back() != '/') s += '/';
    std::error_code ec;
    fs::create_directories(s, ec);
    return s;
}

bool FileExists(const std::string& Path) {
    if (Path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(Path, ec);
}

bool DeleteFile(const std::string& Path) {
    if (!FileExists(Path)) return true;
    std::error_code ec;
    return fs::remove(Path, ec) && !ec;
}

}  // namespace zol
