#include "framework/core/qFileSystem.h"

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
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        // A network path written the Windows way: forward slashes, no colons.
        std::string out;
        for (char c : s)
            if (c != ':') out += c == '\\' ? '/' : c;
        s = out;
    } else if (CreateFolders) {
        s = MakePath(s);
    }
    // Exactly one trailing separator, however many the caller gave.
    while (s.size() > 1 && s.back() == '/' && s[s.size() - 2] == '/') s.pop_back();
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
    // Read-only is the one attribute of ours that stands in the way; clear it like the rest.
    fs::permissions(Path, fs::perms::owner_write, fs::perm_options::add, ec);
    ec.clear();
    return fs::remove(Path, ec) && !ec;
}

FileHandle OpenFile(const std::string& Path, bool Binary, bool Create) {
    if (Path.empty()) return nullptr;
    if (Create) {
        if (FileExists(Path)) DeleteFile(Path);
        if (FileExists(Path)) return nullptr;
        return FileHandle(std::fopen(Path.c_str(), Binary ? "w+b" : "w"));
    }
    if (!FileExists(Path)) return nullptr;
    if (!Binary) return FileHandle(std::fopen(Path.c_str(), "r"));
    FileHandle f(std::fopen(Path.c_str(), "r+b"));
    if (!f) f.reset(std::fopen(Path.c_str(), "rb"));
    return f;
}

int64_t FileLength(std::FILE* File) {
    if (!File) return -1;
    const long here = std::ftell(File);
    if (here < 0 || std::fseek(File, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(File);
    if (std::fseek(File, here, SEEK_SET) != 0) return -1;
    return end;
}

}  // namespace zol
