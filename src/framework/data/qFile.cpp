#include "framework/data/qFile.h"

#include <utility>

#include "framework/data/qClassFactory.h"

namespace zol {

namespace {
// The fewest bytes a chunk takes in a payload: two string counts, Flags, Size, a stream count.
constexpr size_t kMinChunkBytes = 20;
}  // namespace

void qFile::CreateInstances() {
    for (int32_t i = 1; i <= GetChunkCount(); ++i) At(i).Instance = LoadChunk(i);
}

bool qFile::UpdateInstanceStreams() {
    bool ok = true;
    for (auto& c : chunks_) {
        if (!c.Instance) continue;
        auto data = std::make_shared<qStream>();
        c.Instance->Export(*data);
        if (data->WriteRefused()) ok = false;
        else c.Data = std::move(data);
    }
    return ok;
}

bool qFile::GetChunkInfo(int32_t iChunk, std::string& oClassName, std::string& oGUID,
                         int32_t& oFlags, int32_t& oSize) const {
    if (!Valid(iChunk)) return false;
    const auto& c = At(iChunk);
    oClassName = c.ClassName;
    oGUID = c.GUID;
    oFlags = c.Flags;
    oSize = c.Size;
    return true;
}

std::shared_ptr<qPersistable> qFile::GetChunkInstance(int32_t iChunk) const {
    return Valid(iChunk) ? At(iChunk).Instance : nullptr;
}

std::shared_ptr<qStream> qFile::GetChunkData(int32_t iChunk) const {
    return Valid(iChunk) ? At(iChunk).Data : nullptr;
}

bool qFile::SaveObject(const qPersistable& iClass) {
    auto stream = std::make_shared<qStream>();
    iClass.Export(*stream);
    if (stream->WriteRefused()) return false;
    AddChunk(iClass.ClassName(), iClass.GUID, std::move(stream));
    return true;
}

std::shared_ptr<qPersistable> qFile::LoadChunk(int32_t i) const {
    if (!Valid(i)) return nullptr;
    const auto& c = At(i);
    auto obj = CreateClassInstance(c.ClassName);
    if (!obj) return nullptr;
    obj->GUID = c.GUID;
    // A fresh reader over the chunk's bytes: every load starts at the beginning, and the
    // chunk's own stream keeps its read position.
    qStream reader;
    if (c.Data) reader.SetData(c.Data->Bytes(), static_cast<size_t>(c.Data->GetLength()));
    obj->Import(reader);
    if (reader.Failed()) return nullptr;  // not a half-filled object
    return obj;
}

std::shared_ptr<qPersistable> qFile::LoadObject(const std::string& iGUID) const {
    return LoadChunk(FindChunk(iGUID));
}

std::shared_ptr<qPersistable> qFile::LoadObjectClassName(const std::string& iClassName) const {
    return LoadChunk(FindChunkClassName(iClassName));
}

void qFile::RemoveChunk(const std::string& iGUID) { RemoveChunkIndex(FindChunk(iGUID)); }

void qFile::RemoveChunkIndex(int32_t Index) {
    if (!Valid(Index)) return;
    chunks_.erase(chunks_.begin() + (Index - 1));
}

int32_t qFile::AddChunk(const std::string& iClassName, const std::string& iGUID,
                        std::shared_ptr<qStream> iStream) {
    int32_t i = FindChunk(iGUID);
    if (i == 0) {
        chunks_.emplace_back();
        i = GetChunkCount();
    }
    auto& c = At(i);
    c.ClassName = iClassName;
    c.GUID = iGUID;
    c.Data = std::move(iStream);
    return i;
}

int32_t qFile::AddInstance(std::shared_ptr<qPersistable> iInstance, const std::string& iGUID) {
    if (!iInstance) return 0;
    int32_t i = FindChunk(iGUID);
    if (i == 0) {
        chunks_.emplace_back();
        i = GetChunkCount();
    }
    auto& c = At(i);
    c.ClassName = iInstance->ClassName();
    c.GUID = iGUID;
    iInstance->GUID = iGUID;
    c.Instance = std::move(iInstance);
    return i;
}

int32_t qFile::FindChunk(const std::string& iGUID) const {
    for (int32_t i = 1; i <= GetChunkCount(); ++i)
        if (At(i).GUID == iGUID) return i;
    return 0;
}

int32_t qFile::FindChunkClassName(const std::string& iClassName) const {
    for (int32_t i = 1; i <= GetChunkCount(); ++i)
        if (At(i).ClassName == iClassName) return i;
    return 0;
}

bool qFile::Save(const std::string& iFileName, bool iZipped, const std::string& iPassword) {
    // The whole payload is made first: the file is written only when all of it will read back.
    qStream s;
    if (!SavePayload(s) || !s.FileExport(iFileName, iZipped, iPassword)) return false;
    for (auto& c : chunks_) c.Size = c.Data ? c.Data->GetLength() : 0;
    return true;
}

bool qFile::SavePayload(qStream& s) const {
    s.WriteLong(Tag);
    s.WriteLong(GetChunkCount());
    const qStream empty;
    for (const auto& c : chunks_) {
        if (c.Data && c.Data->WriteRefused()) return false;
        s.WriteString(c.ClassName);
        s.WriteString(c.GUID);
        s.WriteLong(c.Flags);
        s.WriteLong(c.Data ? c.Data->GetLength() : 0);
        s.WriteStream(c.Data ? *c.Data : empty);
    }
    return !s.WriteRefused();
}

bool qFile::Load(const std::string& iFileName, const std::string& iPassword) {
    FileName = iFileName;
    qStream s;
    if (!s.FileImport(iFileName, iPassword)) return false;
    return LoadPayload(s);
}

bool qFile::LoadPayload(qStream& s) {
    int32_t tag = 0, count = 0;
    s.ReadLong(tag);
    s.ReadLong(count);
    if (s.Failed()) return false;
    if (count < 0 || static_cast<size_t>(count) > s.Remaining() / kMinChunkBytes) return false;
    std::vector<ChunkRecord> chunks(static_cast<size_t>(count));
    for (auto& c : chunks) {
        s.ReadString(c.ClassName);
        s.ReadString(c.GUID);
        s.ReadLong(c.Flags);
        s.ReadLong(c.Size);
        c.Data = std::make_shared<qStream>();
        s.ReadStream(*c.Data);
        if (s.Failed()) return false;
    }
    Tag = tag;
    chunks_ = std::move(chunks);
    return true;
}

void qFile::SwapChunks(int32_t Index1, int32_t Index2) {
    if (!Valid(Index1) || !Valid(Index2)) return;
    std::swap(At(Index1), At(Index2));
}

}  // namespace zol
