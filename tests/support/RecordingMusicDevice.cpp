#include "support/RecordingMusicDevice.h"

#include <sstream>

namespace zol {

bool RecordingMusicDevice::Open() {
    ++record_->Opens;
    Log("open");
    return record_->OpenResult;
}

bool RecordingMusicDevice::LoadSong(const std::vector<uint8_t>& FileBytes) {
    std::string why;
    record_->Playing = false;
    record_->HaveSong = ReadMidiFileInfo(FileBytes.data(), FileBytes.size(), record_->Song, why);
    Log(record_->HaveSong ? "load" : "load failed");
    return record_->HaveSong;
}

int32_t RecordingMusicDevice::SongLength() const {
    return record_->HaveSong ? FileTicksToMusicTime(record_->Song.LengthTicks, record_->Song.Division) : 0;
}

bool RecordingMusicDevice::SetStartPoint(int32_t MusicTime) {
    Log("start " + std::to_string(MusicTime));
    record_->StartPoint = MusicTime;
    return record_->HaveSong;
}

bool RecordingMusicDevice::SetLoopPoints(int32_t LoopStart, int32_t LoopEnd) {
    Log("loop " + std::to_string(LoopStart) + " " + std::to_string(LoopEnd));
    record_->LoopStart = LoopStart;
    record_->LoopEnd = LoopEnd;
    return record_->HaveSong && LoopStart >= 0 && LoopStart < LoopEnd;
}

bool RecordingMusicDevice::SetRepeat(bool Forever) {
    Log(Forever ? "repeat forever" : "repeat none");
    record_->Repeat = Forever;
    return record_->HaveSong;
}

bool RecordingMusicDevice::Play() {
    Log("play");
    record_->Playing = record_->HaveSong;
    return record_->HaveSong;
}

void RecordingMusicDevice::Stop() {
    Log("stop");
    record_->Playing = false;
    record_->HaveSong = false;
}

void RecordingMusicDevice::Reset() {
    Log("reset");
    ++record_->Resets;
}

bool RecordingMusicDevice::SetMasterVolume(int32_t Attenuation) {
    Log("volume " + std::to_string(Attenuation));
    record_->MasterAttenuation = Attenuation;
    return true;
}

bool RecordingMusicDevice::SetMasterTempo(float Factor) {
    std::ostringstream line;
    line << "tempo " << Factor;
    Log(line.str());
    record_->MasterTempo = Factor;
    return true;
}

MusicDeviceFactory RecordingMusicFactory(std::shared_ptr<MusicRecord> record) {
    return [record] { return std::make_unique<RecordingMusicDevice>(record); };
}

}  // namespace zol
