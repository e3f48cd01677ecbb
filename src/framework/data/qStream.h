// qStream: the serialisation buffer of the data layer.
//
// What it does: typed values are appended at the end and read back from a read position
// in the same order, little-endian: Byte 1, Bool 1, Integer 2, Long 4, Single 4,
// Double 8, Date 8 (an OLE day count), String 4 + n (Windows-1252, one byte per 16-bit
// unit), StringU 4 + n (UTF-16LE), arrays and streams 4 + n, 2D arrays 8 + elements (first
// index fastest). Strings are 16-bit units; the UTF-8 overloads convert at the call (and
// lose lone surrogates, which UTF-8 cannot hold).
// Who owns what: the stream owns its bytes; GetData copies them out, SetData copies in.
// Seen from outside the stream holds exactly Length bytes (one zero byte when empty);
// inside, the storage grows geometrically so that appending is amortised constant time.
// Failure: a read that needs more bytes than remain, or a count that cannot be what it
// claims (negative, larger than what remains, a string above 65536 bytes), reads nothing,
// leaves its target unchanged, moves the read position to the end and marks the stream
// failed (Failed() says so). No read touches memory outside the stream's bytes. A write
// that a reader would refuse (a string above 65536 bytes) or that a Long length cannot
// describe appends nothing and marks the stream failed too (WriteRefused() says so), so
// that what a stream holds always reads back as it was written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zol {

// A two-dimensional array indexed from 0 in both dimensions, first index fastest.
template <class T>
struct Array2D {
    int32_t Size1 = 0, Size2 = 0;
    std::vector<T> Items;  // Size1 * Size2 elements in memory order

    Array2D() = default;
    Array2D(int32_t a, int32_t b) : Size1(a), Size2(b), Items(static_cast<size_t>(a) * b) {}
    T& operator()(int32_t i, int32_t j) { return Items[static_cast<size_t>(j) * Size1 + i]; }
    const T& operator()(int32_t i, int32_t j) const {
        return Items[static_cast<size_t>(j) * Size1 + i];
    }
};

class qStream {
public:
    // The longest string a stream reads or writes, in bytes; longer ones fail the stream.
    static constexpr int32_t kMaxStringBytes = 65536;

    qStream() { Reset(); }

    // Writes this stream into iFile: Long Length, then the bytes of Data with their count.
    void Export(qStream& iFile) const;
    // Reads this stream from iFile as Export wrote it; a damaged form leaves it unchanged.
    void Import(qStream& iFile);
    // Copies Data (all its bytes) into oArray and returns Length.
    int32_t GetData(std::vector<uint8_t>& oArray) const;
    // The number of bytes written.
    int32_t GetLength() const { return length_; }
    // Saves Data as a stream file, compressed when iZipped, scrambled when a password is given.
    bool FileExport(const std::string& iFileName, bool iZipped, const std::string& iPassword) const;
    // Loads Data from a stream file; on failure the stream is empty.
    bool FileImport(const std::string& iFileName, const std::string& iPassword);
    // Data = a copy of iArray, Length = its size; the read position stays.
    void SetData(const std::vector<uint8_t>& iArray);
    // The same from raw memory.
    void SetData(const uint8_t* iData, size_t iSize);
    // Cuts or extends Data to iLength bytes (new bytes zero); negative does nothing.
    void SetLength(int32_t iLength);

    // Appends a byte array with its count.
    void WriteArray(const std::vector<uint8_t>& iArray);
    // Appends another stream's content with its count.
    void WriteStream(const qStream& iStream);
    // Appends a 2D byte array.
    void WriteArrayByte2D(const Array2D<uint8_t>& iArray);
    // Appends a 2D Long array.
    void WriteArrayLong2D(const Array2D<int32_t>& iArray);
    // Appends a 2D Integer array.
    void WriteArrayInteger2D(const Array2D<int16_t>& iArray);
    // Reads a 2D byte array, sized to the stored dimensions.
    void ReadArrayByte2D(Array2D<uint8_t>& oArray);
    // Reads a 2D Long array.
    void ReadArrayLong2D(Array2D<int32_t>& oArray);
    // Reads a 2D Integer array.
    void ReadArrayInteger2D(Array2D<int16_t>& oArray);
    // Empties the stream: Length 0, one zero byte, read position 0, not failed.
    void Reset();

    // Appends one value each.
    void WriteByte(uint8_t iByte);
    void WriteBool(bool iBool);
    void WriteStringU(const std::u16string& iString);  // UTF-16LE stored
    void WriteStringU(const std::string& iString);     // UTF-8 in
    void WriteString(const std::u16string& iString);   // one Windows-1252 byte per unit
    void WriteString(const std::string& iString);      // UTF-8 in
    void WriteLong(int32_t iLong);
    void WriteDate(double iDate);
    void WriteInteger(int16_t iInteger);
    void WriteSingle(float iSingle);
    void WriteDouble(double iDouble);

    // Reads one value each into the variable given.
    void ReadByte(uint8_t& iByte);
    void ReadBool(bool& iBool);
    void ReadLong(int32_t& iLong);
    void ReadDate(double& iDate);
    void ReadInteger(int16_t& iInteger);
    void ReadSingle(float& iSingle);
    void ReadDouble(double& iDouble);
    // A count of 0 or a negative count leaves iString unchanged (only the count is read).
    void ReadString(std::u16string& iString);
    void ReadString(std::string& iString);  // UTF-8 out
    void ReadStringU(std::u16string& iString);
    void ReadStringU(std::string& iString);  // UTF-8 out; a lone surrogate becomes U+FFFD
    // Reads a byte array, sized to the stored count.
    void ReadArray(std::vector<uint8_t>& iArray);
    // Reads a counted block and hands it to iStream by SetData.
    void ReadStream(qStream& iStream);

    // True once a read ran past the end or met an impossible count, or a write was refused
    // (more than a Long length can hold, or a 2D array whose items do not match its sizes).
    bool Failed() const { return failed_; }
    // True once a write was refused: the stream holds less than was written to it.
    bool WriteRefused() const { return refused_; }
    // Marks the stream failed and moves the read position to the end; for readers that
    // find the content impossible (a count that cannot fit, say).
    void MarkFailed() { Fail(); }
    // Bytes left between the read position and Length.
    size_t Remaining() const {
        return position_ < length_ ? static_cast<size_t>(length_ - position_) : 0;
    }
    // The bytes of the stream without copying (Length bytes, or the one zero byte).
    const uint8_t* Bytes() const { return data_.data(); }

private:
    void Append(const void* bytes, size_t count);
    // Copies count bytes out and advances; false (and failed) when they are not there.
    bool Take(void* out, size_t count);
    // A count read from the stream that must be 0..limit and fit in what remains.
    bool TakeCount(int32_t& n, size_t elementSize);
    template <class T>
    void Write2D(const Array2D<T>& a);
    template <class T>
    void Read2D(Array2D<T>& a);
    void Fail();
    void Refuse() { failed_ = refused_ = true; }
    // True when count more bytes fit the Long length; otherwise the write is refused.
    bool Room(size_t count);
    // The count and bytes of a string, or a refusal when a reader would not take them.
    void WriteCounted(const void* bytes, size_t count);
    // Reads a string's units (Windows-1252 bytes, or UTF-16LE when wide); false when the
    // count is 0 or negative (only the count was read) or the read failed.
    bool ReadUnits(std::u16string& out, bool wide);

    std::vector<uint8_t> data_;  // size() == max(length_, 1)
    int32_t length_ = 0;
    int32_t position_ = 0;
    bool failed_ = false;
    bool refused_ = false;
};

}  // namespace zol
