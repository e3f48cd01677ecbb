#include "game/GameSettings.h"

#include "framework/data/qValues.h"

namespace zol {

namespace {

constexpr const char* kKind = "ZOL SETTINGS";
constexpr int32_t kVersion = 1;

void PutSwitch(qValues& v, const char* name, const std::optional<bool>& value) {
    if (value) v.SetString(name, *value ? "on" : "off");
}

std::optional<bool> GetSwitch(const qValues& v, const char* name) {
    const std::string text = v.GetString(name, "");
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

}  // namespace

void OverlaySettings(GameSettings& Into, const GameSettings& Changes) {
    if (Changes.Music) Into.Music = Changes.Music;
    if (Changes.Sound) Into.Sound = Changes.Sound;
    if (Changes.Fullscreen) Into.Fullscreen = Changes.Fullscreen;
    if (Changes.Scale) Into.Scale = Changes.Scale;
    if (Changes.LastName) Into.LastName = Changes.LastName;
}

std::vector<uint8_t> EncodeSettings(const GameSettings& Settings) {
    qValues v;
    PutSwitch(v, "music", Settings.Music);
    PutSwitch(v, "sound", Settings.Sound);
    PutSwitch(v, "fullscreen", Settings.Fullscreen);
    if (Settings.Scale) v.SetString("scale", *Settings.Scale == platform::ScaleMode::Fill ? "fill" : "sharp");
    qStream s;
    BeginKeptData(s, kKind, kVersion);
    v.Export(s);
    s.WriteStringU(Settings.LastName.value_or(""));
    return FinishKeptFile(s);
}

FileVerdict DecodeSettings(const uint8_t* File, size_t Size, GameSettings& Settings) {
    qStream s;
    const FileVerdict frame = OpenKeptFile(File, Size, kKind, kVersion, s, nullptr);
    if (frame != FileVerdict::Read) return frame;
    qValues v;
    v.Import(s);
    std::string name;
    s.ReadStringU(name);
    if (s.Failed() || s.Remaining() != 0) return FileVerdict::Damaged;
    GameSettings read;
    read.Music = GetSwitch(v, "music");
    read.Sound = GetSwitch(v, "sound");
    read.Fullscreen = GetSwitch(v, "fullscreen");
    const std::string scale = v.GetString("scale", "");
    if (scale == "sharp") read.Scale = platform::ScaleMode::Sharp;
    if (scale == "fill") read.Scale = platform::ScaleMode::Fill;
    if (!name.empty()) read.LastName = name;
    Settings = std::move(read);
    return FileVerdict::Read;
}

}  // namespace zol
