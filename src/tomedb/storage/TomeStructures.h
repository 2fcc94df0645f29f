// In-memory copies of the image's fixed-size structures (AlgoBlock,
// TableDirectory, TableHeader), each kept as its exact bytes with typed
// accessors, so that a structure written back is byte for byte what was read
// except for the members changed. Names are cut on a GB18030 character
// boundary to 32 bytes. Plain value types; nothing here touches a file.
// TTableHeader::CheckSane tells whether a header read from a file can be used.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tomedb/filter/Gb18030Chars.h"
#include "tomedb/storage/TomeFormat.h"

namespace tomedb {

// Copies text into a fixed array of `size` bytes: at most maxLength bytes, cut on
// a character boundary, then a NUL. Bytes after the NUL are left untouched.
void PutFixedText(uint8_t* dest, size_t size, size_t maxLength, const std::string& text);
std::string GetFixedText(const uint8_t* src, size_t size);
// Text cut to at most maxBytes bytes without splitting a GB18030 character.
std::string CutText(const std::string& text, size_t maxBytes);
// Names are non-empty and hold no character below 32.
bool IsValidName(const std::string& name);

class TAlgoBlock {
public:
    std::array<uint8_t, format::kAlgoBlockSize> Bytes{};

    bool CompressBlob() const { return Bytes[format::kAlgoCompressBlob] == 1; }
    uint8_t CompressLevel() const { return Bytes[format::kAlgoCompressLevel]; }
    std::string CompressAlgoName() const;
    bool Encrypt() const { return Bytes[format::kAlgoEncrypt] == 1; }
    uint8_t EncryptMode() const { return Bytes[format::kAlgoEncryptMode]; }
    std::string EncryptAlgoName() const;
    bool CRC32() const { return Bytes[format::kAlgoCRC32] == 1; }
    std::string PasswordCheck() const;
};

class TTableDirectory {
public:
    std::array<uint8_t, format::kTableDirectorySize> Bytes{};

    int32_t TableCount() const { return format::GetI32(&Bytes[format::kDirTableCount]); }
    void SetTableCount(int32_t n) { format::PutI32(&Bytes[format::kDirTableCount], n); }
    uint32_t ChangeCounter() const { return static_cast<uint32_t>(format::GetI32(&Bytes[format::kDirChangeCounter])); }
    void SetChangeCounter(uint32_t n) { format::PutI32(&Bytes[format::kDirChangeCounter], static_cast<int32_t>(n)); }
    int32_t Offset(int i) const { return format::GetI32(&Bytes[format::kDirOffsets + 4 * i]); }
    void SetOffset(int i, int32_t v) { format::PutI32(&Bytes[format::kDirOffsets + 4 * i], v); }
};

class TTableHeader {
public:
    std::array<uint8_t, format::kTableHeaderSize> Bytes{};

    std::string TableName() const { return GetFixedText(&Bytes[format::kTHTableName], 33); }
    void SetTableName(const std::string& name);
    int32_t RecTabOffset() const { return I32(format::kTHRecTabOffset); }
    void SetRecTabOffset(int32_t v) { SetI32(format::kTHRecTabOffset, v); }
    int32_t RecordTotal() const { return I32(format::kTHRecordTotal); }
    void SetRecordTotal(int32_t v) { SetI32(format::kTHRecordTotal, v); }
    int32_t AutoIncCounter() const { return I32(format::kTHAutoIncCounter); }
    void SetAutoIncCounter(int32_t v) { SetI32(format::kTHAutoIncCounter, v); }
    int32_t FieldCount() const { return I32(format::kTHFieldCount); }
    void SetFieldCount(int32_t v) { SetI32(format::kTHFieldCount, v); }
    int32_t IndexCount() const { return I32(format::kTHIndexCount); }
    void SetIndexCount(int32_t v) { SetI32(format::kTHIndexCount, v); }

    // FieldTab item i
    std::string FieldName(int i) const { return GetFixedText(Field(i) + format::kFIName, 33); }
    int32_t FieldType(int i) const { return Field(i)[format::kFIType]; }
    int32_t FieldDataSize(int i) const { return format::GetI32(Field(i) + format::kFIDataSize); }
    uint8_t FieldDPMode(int i) const { return Field(i)[format::kFIDPMode]; }
    void SetField(int i, const std::string& name, int32_t type, int32_t dataSize, uint8_t dpMode);

    // IndexHeaders item k
    std::string IndexName(int k) const { return GetFixedText(Index(k) + format::kIHName, 33); }
    uint8_t IndexOptions(int k) const { return Index(k)[format::kIHOptions]; }
    int32_t IndexField(int k, int j) const { return format::GetI32(Index(k) + format::kIHFieldIdx + 4 * j); }
    int32_t IndexTabOffset(int k) const { return format::GetI32(Index(k) + format::kIHIndexTabOffset); }
    void SetIndexTabOffset(int k, int32_t v) { format::PutI32(Index(k) + format::kIHIndexTabOffset, v); }
    int32_t StartIndex(int k) const { return format::GetI32(Index(k) + format::kIHStartIndex); }
    void SetStartIndex(int k, int32_t v) { format::PutI32(Index(k) + format::kIHStartIndex, v); }
    void SetIndex(int k, const std::string& name, uint8_t options, const int32_t (&fields)[8], int32_t indexTabOffset);
    // Number of key fields of index k (slots up to the first -1).
    int IndexFieldCount(int k) const;

    // Sum of the stored widths of the fields (0 when a field has no width).
    int32_t RecordSize() const;
    // Every count, type, size and key field number usable; offsets inside an
    // image of imageSize bytes. False means the file is damaged.
    bool CheckSane(int64_t imageSize) const;

    uint8_t* Field(int i) { return &Bytes[format::kTHFieldTab + format::kFieldTabItemSize * i]; }
    const uint8_t* Field(int i) const { return &Bytes[format::kTHFieldTab + format::kFieldTabItemSize * i]; }
    uint8_t* Index(int k) { return &Bytes[format::kTHIndexHeaders + format::kIndexHeaderSize * k]; }
    const uint8_t* Index(int k) const { return &Bytes[format::kTHIndexHeaders + format::kIndexHeaderSize * k]; }

private:
    int32_t I32(int at) const { return format::GetI32(&Bytes[at]); }
    void SetI32(int at, int32_t v) { format::PutI32(&Bytes[at], v); }
};

}  // namespace tomedb
