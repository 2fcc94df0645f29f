#include "tomedb/storage/TomeStructures.h"

#include <cstring>

#include "tomedb/FieldTypes.h"
#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {

using namespace format;

std::string CutText(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t len = GbCharLength(text, pos);
        if (pos + len > maxBytes)
            break;
        pos += len;
    }
    return text.substr(0, pos);
}

void PutFixedText(uint8_t* dest, size_t size, size_t maxLength, const std::string& text) {
    std::string cut = CutText(text.substr(0, text.find('\0')), maxLength);
    if (cut.size() >= size)
        cut.resize(size - 1);
    std::memcpy(dest, cut.data(), cut.size());
    dest[cut.size()] = 0;
}

std::string GetFixedText(const uint8_t* src, size_t size) {
    return std::string(reinterpret_cast<const char*>(src), FixedTextLength(src, size));
}

bool IsValidName(const std::string& name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32)
            return false;
    return true;
}

std::string TAlgoBlock::CompressAlgoName() const { return GetFixedText(&Bytes[kAlgoCompressName], 33); }
std::string TAlgoBlock::EncryptAlgoName() const { return GetFixedText(&Bytes[kAlgoEncryptName], 33); }
std::string TAlgoBlock::PasswordCheck() const { return GetFixedText(&Bytes[kAlgoPasswordCheck], kPasswordCheckSize); }

void TTableHeader::SetTableName(const std::string& name) {
    PutFixedText(&Bytes[kTHTableName], kNameFieldSize, kMaxNameLength, name);
}

void TTableHeader::SetField(int i, const std::string& name, int32_t type, int32_t dataSize, uint8_t dpMode) {
    uint8_t* p = Field(i);
    PutFixedText(p + kFIName, kNameFieldSize, kMaxNameLength, name);
    p[kFIType] = static_cast<uint8_t>(type);
    PutI32(p + kFIDataSize, dataSize);
    p[kFIDPMode] = dpMode;
}

void TTableHeader::SetIndex(int k, const std::string& name, uint8_t options, const int32_t (&fields)[8],
                            int32_t indexTabOffset) {
    uint8_t* p = Index(k);
    PutFixedText(p + kIHName, kNameFieldSize, kMaxNameLength, name);
    p[kIHOptions] = options;
    for (int j = 0; j < kMaxIndexFields; ++j)
        PutI32(p + kIHFieldIdx + 4 * j, fields[j]);
    PutI32(p + kIHIndexTabOffset, indexTabOffset);
    PutI32(p + kIHStartIndex, 0);
}

int TTableHeader::IndexFieldCount(int k) const {
    int n = 0;
    while (n < kMaxIndexFields && IndexField(k, n) != -1)
        ++n;
    return n;
}

int32_t TTableHeader::RecordSize() const {
    int32_t total = 0;
    for (int i = 0; i < FieldCount(); ++i)
        total += StoredFieldWidth(FieldType(i), FieldDataSize(i));
    return total;
}

namespace {

bool FieldSane(const TTableHeader& h, int i) {
    const int32_t type = h.FieldType(i);
    if (IsStringType(type)) {
        const int32_t size = h.FieldDataSize(i);
        return size >= kMinStringSize && size <= kMaxStringSize;
    }
    return StoredFieldWidth(type, 0) > 0;
}

bool IndexSane(const TTableHeader& h, int k, int64_t imageSize) {
    const int n = h.IndexFieldCount(k);
    if (n == 0)
        return false;
    for (int j = 0; j < n; ++j) {
        const int32_t f = h.IndexField(k, j);
        if (f < 0 || f >= h.FieldCount())
            return false;
    }
    if (h.RecordTotal() == 0)
        return true;
    const int32_t tab = h.IndexTabOffset(k);
    if (tab < kFixedAreaSize || tab > imageSize - kIndexTabChunkSize)
        return false;
    // A start beyond the records is a chain whose last link an interrupted
    // write left: the walk ends there and the records are linked again.
    return h.StartIndex(k) >= -1;
}

}  // namespace

bool TTableHeader::CheckSane(int64_t imageSize) const {
    const int32_t fields = FieldCount(), indexes = IndexCount(), total = RecordTotal();
    if (fields < 1 || fields > kFieldSlots || indexes < 0 || indexes > kMaxIndexes)
        return false;
    for (int i = 0; i < fields; ++i)
        if (!FieldSane(*this, i))
            return false;
    if (total < 0)
        return false;
    if (total > 0) {
        const int64_t chunks = (static_cast<int64_t>(total) + kChunkItems - 1) / kChunkItems;
        if (chunks * kRecordTabChunkSize > imageSize)
            return false;
        const int32_t tab = RecTabOffset();
        if (tab < kFixedAreaSize || tab > imageSize - kRecordTabChunkSize)
            return false;
        if (chunks * kIndexTabChunkSize * indexes > imageSize)
            return false;
    }
    for (int k = 0; k < indexes; ++k)
        if (!IndexSane(*this, k, imageSize))
            return false;
    return true;
}

}  // namespace tomedb
