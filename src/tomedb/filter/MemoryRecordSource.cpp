#include "tomedb/filter/MemoryRecordSource.h"

#include <cstring>
#include <stdexcept>

#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {
namespace {

template <typename T>
void Store(uint8_t* slot, size_t width, T value) {
    std::memcpy(slot, &value, sizeof(T) < width ? sizeof(T) : width);
}

}  // namespace

int TMemoryRecordSource::AddField(std::string name, TFieldType type, int32_t dataSize) {
    if (fRecordCount != 0)
        throw std::logic_error("fields must be added before records");
    const int32_t width = StoredFieldWidth(type, dataSize);
    if (width <= 0)
        throw std::invalid_argument("field type cannot be stored");
    fFields.push_back({std::move(name), type, fRecordSize, static_cast<size_t>(width), dataSize});
    fRecordSize += static_cast<size_t>(width);
    return static_cast<int>(fFields.size() - 1);
}

size_t TMemoryRecordSource::AddRecord() {
    fFixed.resize(fFixed.size() + fRecordSize, 0);
    fBlobs.emplace_back(fFields.size());
    fNulls.emplace_back(fFields.size(), false);
    return fRecordCount++;
}

const TMemoryRecordSource::TField& TMemoryRecordSource::Field(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= fFields.size())
        throw std::out_of_range("field");
    return fFields[static_cast<size_t>(index)];
}

uint8_t* TMemoryRecordSource::Slot(size_t record, int field) {
    if (record >= fRecordCount)
        throw std::out_of_range("record");
    return fFixed.data() + record * fRecordSize + Field(field).offset;
}

const uint8_t* TMemoryRecordSource::FixedPart(size_t record) const {
    if (record >= fRecordCount)
        throw std::out_of_range("record");
    return fFixed.data() + record * fRecordSize;
}

void TMemoryRecordSource::SetInteger(size_t record, int field, int64_t value) {
    const TField& f = Field(field);
    uint8_t* slot = Slot(record, field);
    switch (f.type) {
        case ftSmallint:
            Store(slot, f.width, static_cast<int16_t>(value));
            break;
        case ftWord:
        case ftBoolean:
            Store(slot, f.width, static_cast<uint16_t>(value));
            break;
        case ftLargeint:
            Store(slot, f.width, value);
            break;
        default:
            Store(slot, f.width, static_cast<int32_t>(value));
            break;
    }
}

void TMemoryRecordSource::SetFloat(size_t record, int field, double value) {
    Store(Slot(record, field), Field(field).width, value);
}

void TMemoryRecordSource::SetText(size_t record, int field, std::string_view text) {
    const TField& f = Field(field);
    uint8_t* slot = Slot(record, field);
    if (IsBlobType(f.type)) {
        fBlobs[record][static_cast<size_t>(field)] = std::string(text);
        return;
    }
    // Cut on a character boundary so that no character is stored half.
    size_t length = 0;
    while (length < text.size()) {
        const size_t next = length + GbCharLength(text, length);
        if (next > static_cast<size_t>(f.dataSize))
            break;
        length = next;
    }
    std::memset(slot, 0, f.width);
    std::memcpy(slot, text.data(), length);
}

void TMemoryRecordSource::SetNull(size_t record, int field, bool isNull) {
    Slot(record, field);  // range checks
    fNulls[record][static_cast<size_t>(field)] = isNull;
}

void TMemoryRecordSource::SetCurrent(size_t record) {
    if (record >= fRecordCount)
        throw std::out_of_range("record");
    fCurrent = record;
}

int TMemoryRecordSource::FindField(std::string_view name) const {
    for (size_t i = 0; i < fFields.size(); ++i)
        if (SameNameAscii(fFields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

TFieldType TMemoryRecordSource::GetFieldType(int index) const { return Field(index).type; }

TFieldData TMemoryRecordSource::GetFieldData(int index) {
    const TField& f = fFields[static_cast<size_t>(index)];
    TFieldData data;
    if (fNulls[fCurrent][static_cast<size_t>(index)]) {
        data.isNull = true;
        return data;
    }
    if (IsBlobType(f.type)) {
        const std::string& blob = fBlobs[fCurrent][static_cast<size_t>(index)];
        data.data = blob.data();
        data.size = blob.size();
        return data;
    }
    data.data = fFixed.data() + fCurrent * fRecordSize + f.offset;
    data.size = f.width;
    return data;
}

}  // namespace tomedb
