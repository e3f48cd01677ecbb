// qFile: a list of named chunks saved and loaded as one stream file.
//
// What it does: each chunk is a block of serialised data (a qStream) tagged with the
// class name and GUID of the object it came from; persistable objects (qPersistable)
// are written into chunks and recreated from them through CreateClassInstance.
// Payload of the file: Long Tag, Long chunk count, then per chunk String ClassName,
// String GUID, Long Flags, Long Size, Stream Data.
// Who owns what: chunk streams and live objects are shared (std::shared_ptr): AddChunk
// keeps the very stream it is given, AddInstance the very object.
// Failure: Save and Load report the stream file's result; Load of a damaged payload
// returns false and keeps the current chunks. What would not read back is not written:
// SaveObject and UpdateInstanceStreams keep a chunk's old data when its object's export
// is refused, and Save refuses (the file on disk untouched) when any chunk's data or name
// is. A chunk whose object cannot import its data gives no object. Chunk indices run
// 1..GetChunkCount(); others are answered with false, nothing or 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/data/qPersistable.h"
#include "framework/data/qStream.h"

namespace zol {

class qFile {
public:
    struct ChunkRecord {
        std::string ClassName;
        std::string GUID;
        int32_t Flags = 0;  // stored and loaded unchanged
        int32_t Size = 0;   // byte length of Data, refreshed by Save
        std::shared_ptr<qStream> Data;
        std::shared_ptr<qPersistable> Instance;
    };

    int32_t Tag = 0;       // the owner's value, stored first in the file
    std::string FileName;  // set by Load

    // For every chunk: Instance = LoadObject(its GUID).
    void CreateInstances();
    // For every chunk with an Instance: Data = a new stream the instance exported into.
    // False when an export was refused; that chunk keeps its data.
    bool UpdateInstanceStreams();
    // The number of chunks.
    int32_t GetChunkCount() const { return static_cast<int32_t>(chunks_.size()); }
    // Copies the four fields of chunk iChunk out; false for an index out of range.
    bool GetChunkInfo(int32_t iChunk, std::string& oClassName, std::string& oGUID, int32_t& oFlags,
                      int32_t& oSize) const;
    // The chunk's live object, or nothing.
    std::shared_ptr<qPersistable> GetChunkInstance(int32_t iChunk) const;
    // The chunk's data stream, or nothing.
    std::shared_ptr<qStream> GetChunkData(int32_t iChunk) const;
    // Serialises iClass into a new chunk, or over the chunk with its GUID; false (chunks
    // unchanged) when the export was refused.
    bool SaveObject(const qPersistable& iClass);
    // A new object made from the chunk with that GUID, or nothing (also when its data
    // does not import). Reads the chunk's data from its start, so loading twice gives the
    // same object.
    std::shared_ptr<qPersistable> LoadObject(const std::string& iGUID) const;
    // The same for the first chunk with that class name.
    std::shared_ptr<qPersistable> LoadObjectClassName(const std::string& iClassName) const;
    // Removes the chunk with that GUID (nothing when absent).
    void RemoveChunk(const std::string& iGUID);
    // Removes the chunk at Index; later chunks move down one place.
    void RemoveChunkIndex(int32_t Index);
    // Stores a ready stream as a chunk (over the chunk with that GUID); its index.
    int32_t AddChunk(const std::string& iClassName, const std::string& iGUID,
                     std::shared_ptr<qStream> iStream);
    // Registers a live object as a chunk and gives it the GUID; its index.
    int32_t AddInstance(std::shared_ptr<qPersistable> iInstance, const std::string& iGUID);
    // Index of the first chunk with that GUID (exact), 0 if none.
    int32_t FindChunk(const std::string& iGUID) const;
    // Index of the first chunk with that class name (exact), 0 if none.
    int32_t FindChunkClassName(const std::string& iClassName) const;
    // Writes all chunks as a stream file; a chunk without data is stored as an empty stream.
    // False, with the file untouched, when a chunk's data holds a refused write or a name
    // is too long to read back.
    bool Save(const std::string& iFileName, bool iZipped, const std::string& iPassword);
    // Reads all chunks from a stream file; on any failure the current chunks stay.
    bool Load(const std::string& iFileName, const std::string& iPassword);
    // Writes the payload of the file (what Save stores) into an empty stream; false when a
    // chunk's data holds a refused write or a name is too long to read back.
    bool SavePayload(qStream& oPayload) const;
    // Parses a payload into the chunk list; false (chunks kept) when it is damaged.
    bool LoadPayload(qStream& iPayload);
    // Empties the chunk list.
    void Reset() { chunks_.clear(); }
    // Exchanges two chunk records; nothing when either index is out of range.
    void SwapChunks(int32_t Index1, int32_t Index2);

private:
    bool Valid(int32_t i) const { return i >= 1 && i <= GetChunkCount(); }
    ChunkRecord& At(int32_t i) { return chunks_[static_cast<size_t>(i) - 1]; }
    const ChunkRecord& At(int32_t i) const { return chunks_[static_cast<size_t>(i) - 1]; }
    std::shared_ptr<qPersistable> LoadChunk(int32_t i) const;

    std::vector<ChunkRecord> chunks_;  // chunk i is chunks_[i - 1]
};

}  // namespace zol
