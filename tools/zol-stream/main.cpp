// zol-stream: writes and reads stream files.
//
//   zol-stream pack [--zip] [--password P] IN OUT    stores the bytes of IN as stream file OUT
//   zol-stream unpack [--password P] IN OUT          stores the content of stream file IN as OUT
// Exit 0 on success; 1 when a file is rejected or cannot be read or written (no output
// file is left behind then); 3 for usage errors.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/data/qStreamFile.h"

namespace {

int Usage() {
    std::fputs(
        "usage: zol-stream pack [--zip] [--password P] IN OUT\n"
        "       zol-stream unpack [--password P] IN OUT\n",
        stderr);
    return 3;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (out.flush()) return true;
    }
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return false;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "zol-stream: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const bool pack = command == "pack";
    if (!pack && command != "unpack") return Usage();
    bool zip = false;
    std::string password;
    std::vector<std::string> files;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (pack && a == "--zip") {
            zip = true;
        } else if (a == "--password" && i + 1 < argc) {
            password = argv[++i];
        } else if (a.rfind("--", 0) == 0) {
            return Usage();
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return Usage();
    const std::string& in = files[0];
    const std::string& out = files[1];

    std::vector<uint8_t> data;
    if (pack) {
        if (!ReadFile(in, data)) return Fail("cannot read " + in);
        if (data.empty()) return Fail(in + " is empty; a stream file holds at least one byte");
        if (!zol::FileWriteData(out, data, zip, password)) {
            std::error_code ec;
            std::filesystem::remove(out, ec);
            return Fail("cannot write " + out);
        }
        return 0;
    }
    if (!zol::FileReadData(in, data, password))
        return Fail(in + " is not a valid stream file (or the password is wrong)");
    if (!WriteFile(out, data)) return Fail("cannot write " + out);
    return 0;
}
