// RecordingMusicDevice: a music device that plays nothing and records every call.
//
// It reads the song's header like a real device (so a damaged file fails to load and
// SongLength is the file's length in music time), keeps the master settings across
// songs, and logs one line per call in order.
// Who owns what: the record is shared and outlives the device.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/sound/MidiFileInfo.h"
#include "framework/sound/MusicDevice.h"

namespace zol {

struct MusicRecord {
    bool OpenResult = true;
    int32_t Opens = 0;
    bool HaveSong = false;
    bool Playing = false;
    MidiFileInfo Song;
    int32_t StartPoint = 0;
    int32_t LoopStart = 0, LoopEnd = 0;
    bool Repeat = false;
    int32_t MasterAttenuation = 0;  // the device's default: full volume
    float MasterTempo = 1.0f;
    int32_t Resets = 0;
    std::vector<std::string> Calls;  // "load", "start 0", "loop 0 110600", "play", ...
};

class RecordingMusicDevice final : public MusicDevice {
public:
    explicit RecordingMusicDevice(std::shared_ptr<MusicRecord> record) : record_(std::move(record)) {}
    bool Open() override;
    int32_t ErrorCode() const override { return kMusicErrNoOutput; }
    std::string ErrorText() const override { return "recording device refused"; }
    bool LoadSong(const std::vector<uint8_t>& FileBytes) override;
    int32_t SongLength() const override;
    bool SetStartPoint(int32_t MusicTime) override;
    bool SetLoopPoints(int32_t LoopStart, int32_t LoopEnd) override;
    bool SetRepeat(bool Forever) override;
    bool Play() override;
    void Stop() override;
    void Reset() override;
    bool SetMasterVolume(int32_t Attenuation) override;
    bool SetMasterTempo(float Factor) override;

private:
    void Log(std::string line) { record_->Calls.push_back(std::move(line)); }
    std::shared_ptr<MusicRecord> record_;
};

// A factory that makes recording devices writing into record.
MusicDeviceFactory RecordingMusicFactory(std::shared_ptr<MusicRecord> record);

}  // namespace zol
