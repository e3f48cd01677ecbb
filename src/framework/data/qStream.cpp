#include "framework/data/qStream.h"

#include <bit>
#include <cstring>
#include <limits>

#include "framework/core/qText.h"
#include "framework/data/qStreamFile.h"

namespace zol {

static_assert(std::endian::native == std::endian::little,
              "the stream's encodings are little-endian and copied as they lie in memory");

namespace {
constexpr size_t kMaxLength = static_cast<size_t>(std::numeric_limits<int32_t>::max());
}

void qStream::Reset() {
    data_.assign(1, 0);
    length_ = 0;
    position_ = 0;
    failed_ = false;
    refused_ = false;
}

void qStream::Fail() {
    failed_ = true;
    position_ = length_;
}

bool qStream::Room(size_t count) {
    if (count <= kMaxLength - static_cast<size_t>(length_)) return true;
    Refuse();  // the Long length cannot describe more
    return false;
}

void qStream::Append(const void* bytes, size_t count) {
    if (count == 0 || !Room(count)) return;
    if (length_ == 0) data_.clear();
    const auto* p = static_cast<const uint8_t*>(bytes);
    data_.insert(data_.end(), p, p + count);  // grows geometrically
    length_ += static_cast<int32_t>(count);
}

bool qStream::Take(void* out, size_t count) {
    if (count > Remaining()) {
        Fail();
        return false;
    }
    if (count) std::memcpy(out, data_.data() + position_, count);
    position_ += static_cast<int32_t>(count);
    return true;
}

bool qStream::TakeCount(int32_t& n, size_t elementSize) {
    int32_t count = 0;
    if (!Take(&count, 4)) return false;
    if (count < 0 || static_cast<uint64_t>(count) * elementSize > Remaining()) {
        Fail();
        return false;
    }
    n = count;
    return true;
}

// ---- Whole-stream operations -------------------------------------------------

void qStream::Export(qStream& iFile) const {
    if (&iFile == this) {
        const qStream copy = *this;
        copy.Export(iFile);
        return;
    }
    if (!iFile.Room(8 + data_.size())) return;
    iFile.WriteLong(length_);
    iFile.WriteLong(static_cast<int32_t>(data_.size()));
    iFile.Append(data_.data(), data_.size());
}

void qStream::Import(qStream& iFile) {
    int32_t length = 0;
    int32_t n = 0;
    if (!iFile.Take(&length, 4) || !iFile.TakeCount(n, 1)) return;
    // Length and the stored bytes must agree (an empty stream stores its one zero byte).
    if (!(length == n || (length == 0 && n == 1))) {
        iFile.Fail();
        return;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    iFile.Take(bytes.data(), bytes.size());
    if (length == 0) bytes.assign(1, 0);
    data_ = std::move(bytes);
    length_ = length;
}

int32_t qStream::GetData(std::vector<uint8_t>& oArray) const {
    oArray = data_;
    return length_;
}

bool qStream::FileExport(const std::string& iFileName, bool iZipped,
                         const std::string& iPassword) const {
    return FileWriteData(iFileName, data_, iZipped, iPassword);
}

bool qStream::FileImport(const std::string& iFileName, const std::string& iPassword) {
    std::vector<uint8_t> bytes;
    if (!FileReadData(iFileName, bytes, iPassword) || bytes.size() > kMaxLength) {
        data_.assign(1, 0);
        length_ = 0;
        return false;
    }
    data_ = std::move(bytes);
    length_ = static_cast<int32_t>(data_.size());
    failed_ = refused_ = false;
    return true;
}

void qStream::SetData(const std::vector<uint8_t>& iArray) { SetData(iArray.data(), iArray.size()); }

void qStream::SetData(const uint8_t* iData, size_t iSize) {
    if (iSize > kMaxLength) {
        Refuse();
        return;
    }
    if (iSize == 0) {
        data_.assign(1, 0);
    } else {
        data_.assign(iData, iData + iSize);
    }
    length_ = static_cast<int32_t>(iSize);
    failed_ = refused_ = false;
}

void qStream::SetLength(int32_t iLength) {
    if (iLength < 0) return;
    if (length_ == 0 && iLength > 0) data_[0] = 0;
    data_.resize(iLength == 0 ? 1 : static_cast<size_t>(iLength), 0);
    if (iLength == 0) data_[0] = 0;
    length_ = iLength;
}

// ---- Counted blocks ----------------------------------------------------------

void qStream::WriteArray(const std::vector<uint8_t>& iArray) {
    if (!Room(4 + iArray.size())) return;
    WriteLong(static_cast<int32_t>(iArray.size()));
    Append(iArray.data(), iArray.size());
}

void qStream::WriteStream(const qStream& iStream) {
    if (&iStream == this) {
        const qStream copy = *this;
        WriteStream(copy);
        return;
    }
    if (!Room(4 + static_cast<size_t>(iStream.length_))) return;
    WriteLong(iStream.length_);
    Append(iStream.data_.data(), static_cast<size_t>(iStream.length_));
}

void qStream::ReadArray(std::vector<uint8_t>& iArray) {
    int32_t n = 0;
    if (!TakeCount(n, 1)) return;
    iArray.assign(data_.begin() + position_, data_.begin() + position_ + n);
    position_ += n;
}

void qStream::ReadStream(qStream& iStream) {
    int32_t n = 0;
    if (!TakeCount(n, 1)) return;
    const int32_t start = position_;
    position_ += n;
    if (&iStream == this) {
        const std::vector<uint8_t> block(data_.begin() + start, data_.begin() + start + n);
        iStream.SetData(block);
    } else {
        iStream.SetData(data_.data() + start, static_cast<size_t>(n));
    }
}

template <class T>
void qStream::Write2D(const Array2D<T>& a) {
    const size_t count = static_cast<size_t>(a.Size1) * static_cast<size_t>(a.Size2);
    if (a.Size1 < 0 || a.Size2 < 0 || a.Items.size() != count) {
        Refuse();  // an array that does not hold what its sizes say is not written
        return;
    }
    if (count > kMaxLength / sizeof(T)) {
        Refuse();
        return;
    }
    if (!Room(8 + count * sizeof(T))) return;
    WriteLong(a.Size1);
    WriteLong(a.Size2);
    Append(a.Items.data(), count * sizeof(T));
}

template <class T>
void qStream::Read2D(Array2D<T>& a) {
    int32_t d1 = 0, d2 = 0;
    if (!Take(&d1, 4) || !Take(&d2, 4)) return;
    if (d1 < 0 || d2 < 0) {
        Fail();
        return;
    }
    const uint64_t count = static_cast<uint64_t>(d1) * static_cast<uint64_t>(d2);
    if (count > Remaining() / sizeof(T)) {
        Fail();
        return;
    }
    Array2D<T> out;
    out.Size1 = d1;
    out.Size2 = d2;
    out.Items.resize(static_cast<size_t>(count));
    Take(out.Items.data(), static_cast<size_t>(count) * sizeof(T));
    a = std::move(out);
}

void qStream::WriteArrayByte2D(const Array2D<uint8_t>& iArray) { Write2D(iArray); }
void qStream::WriteArrayLong2D(const Array2D<int32_t>& iArray) { Write2D(iArray); }
void qStream::WriteArrayInteger2D(const Array2D<int16_t>& iArray) { Write2D(iArray); }
void qStream::ReadArrayByte2D(Array2D<uint8_t>& oArray) { Read2D(oArray); }
void qStream::ReadArrayLong2D(Array2D<int32_t>& oArray) { Read2D(oArray); }
void qStream::ReadArrayInteger2D(Array2D<int16_t>& oArray) { Read2D(oArray); }

// ---- Single values -------------------------------------------------------------

void qStream::WriteByte(uint8_t iByte) { Append(&iByte, 1); }
void qStream::WriteBool(bool iBool) { WriteByte(iBool ? 1 : 0); }
void qStream::WriteLong(int32_t iLong) { Append(&iLong, 4); }
void qStream::WriteDate(double iDate) { Append(&iDate, 8); }
void qStream::WriteInteger(int16_t iInteger) { Append(&iInteger, 2); }
void qStream::WriteSingle(float iSingle) { Append(&iSingle, 4); }
void qStream::WriteDouble(double iDouble) { Append(&iDouble, 8); }

void qStream::WriteCounted(const void* bytes, size_t count) {
    // A reader takes no string longer than this, so neither does a writer.
    if (count > static_cast<size_t>(kMaxStringBytes)) {
        Refuse();
        return;
    }
    if (!Room(4 + count)) return;
    WriteLong(static_cast<int32_t>(count));
    Append(bytes, count);
}

void qStream::WriteString(const std::u16string& iString) {
    const std::string bytes = Utf16ToCp1252(iString);
    WriteCounted(bytes.data(), bytes.size());
}

void qStream::WriteString(const std::string& iString) {
    const std::string bytes = Utf8ToCp1252(iString);
    WriteCounted(bytes.data(), bytes.size());
}

void qStream::WriteStringU(const std::u16string& iString) {
    WriteCounted(iString.data(), iString.size() * 2);
}

void qStream::WriteStringU(const std::string& iString) { WriteStringU(Utf8ToUtf16(iString)); }

void qStream::ReadByte(uint8_t& iByte) { Take(&iByte, 1); }

void qStream::ReadBool(bool& iBool) {
    uint8_t b = 0;
    if (Take(&b, 1)) iBool = b != 0;
}

void qStream::ReadLong(int32_t& iLong) { Take(&iLong, 4); }
void qStream::ReadDate(double& iDate) { Take(&iDate, 8); }
void qStream::ReadInteger(int16_t& iInteger) { Take(&iInteger, 2); }
void qStream::ReadSingle(float& iSingle) { Take(&iSingle, 4); }
void qStream::ReadDouble(double& iDouble) { Take(&iDouble, 8); }

bool qStream::ReadUnits(std::u16string& out, bool wide) {
    int32_t n = 0;
    if (!Take(&n, 4) || n <= 0) return false;
    if (n > kMaxStringBytes || static_cast<size_t>(n) > Remaining()) {
        Fail();
        return false;
    }
    const uint8_t* at = data_.data() + position_;
    position_ += n;
    if (wide) {
        // An odd count leaves its last byte without a partner; it is consumed and dropped.
        out.assign(static_cast<size_t>(n) / 2, u'\0');
        if (!out.empty()) std::memcpy(out.data(), at, out.size() * 2);
    } else {
        out = Cp1252ToUtf16(std::string_view(reinterpret_cast<const char*>(at), static_cast<size_t>(n)));
    }
    return true;
}

void qStream::ReadString(std::u16string& iString) {
    std::u16string units;
    if (ReadUnits(units, false)) iString = std::move(units);
}

void qStream::ReadString(std::string& iString) {
    std::u16string units;
    if (ReadUnits(units, false)) iString = Utf16ToUtf8(units);
}

void qStream::ReadStringU(std::u16string& iString) {
    std::u16string units;
    if (ReadUnits(units, true)) iString = std::move(units);
}

void qStream::ReadStringU(std::string& iString) {
    std::u16string units;
    if (ReadUnits(units, true)) iString = Utf16ToUtf8(units);
}

}  // namespace zol
