// assetgen: draws the game's images, synthesises its sounds and writes its song
// into img/, wave/ and midi/ below the folder given on the command line (the build
// runs it on the folder of the game's executable).
//
// Exit status 0 when every file was written; 1 with a message on standard error
// naming the file that failed; 2 for a wrong command line.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Assets.h"

namespace fs = std::filesystem;
using namespace zol::assetgen;

namespace {

// Creates `dir` (and its parents); false with a reason when it cannot be used.
bool MakeFolder(const fs::path& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        error = "cannot create folder " + dir.string() + (ec ? ": " + ec.message() : "");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: assetgen <output folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    const std::string img = (root / "img").string(), wave = (root / "wave").string(),
                      midi = (root / "midi").string();

    // Only surfaces and PNG encoding are needed: no video, audio or window.
    SDL_SetMainReady();

    std::string error;
    bool ok = MakeFolder(img, error) && MakeFolder(wave, error) && MakeFolder(midi, error);
    ok = ok && WriteBlocks(img, error) && WriteBackground(img, error) && WriteParticles(img, error) &&
         WriteFont(img, error) && WriteWindowArt(img, error);
    ok = ok && WriteSounds(wave, error) && WriteSong(midi, error);
    if (!ok) {
        std::fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
