// GameSettings: the player's choices that the game keeps between runs.
//
// What it does: music and sound effects on or off, full screen, the way the picture fills
// a larger window, and the name last entered. Each is either set or not: a value that was
// never stored stays empty, so that the game's own default applies, and a change carries
// only the values that changed, laid over what is kept.
// The file is a kept file (KeptFile.h) of kind "ZOL SETTINGS": a qValues table with the
// strings "music", "sound", "fullscreen" ("on" or "off") and "scale" ("sharp" or
// "fill"), then the name as a StringU ("" when none). Names the table does not know and
// values it cannot read are passed over, so a newer program may add its own.
// Who owns what: plain values.
// Failure: decoding says what is wrong and leaves the caller's settings alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/KeptFile.h"
#include "platform/WindowScale.h"

namespace zol {

struct GameSettings {
    std::optional<bool> Music, Sound, Fullscreen;
    std::optional<platform::ScaleMode> Scale;  // how the picture fills a larger window
    std::optional<std::string> LastName;  // UTF-8

    bool operator==(const GameSettings&) const = default;
};

// Lays the values that Changes holds over Into.
void OverlaySettings(GameSettings& Into, const GameSettings& Changes);

// The whole file for a set of settings.
std::vector<uint8_t> EncodeSettings(const GameSettings& Settings);
// Reads a whole file; Settings is set only when the verdict is Read.
FileVerdict DecodeSettings(const uint8_t* File, size_t Size, GameSettings& Settings);

}  // namespace zol
