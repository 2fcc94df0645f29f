// TMemoryRecordSource: records held in memory, for filters that run without a
// table (tests, fuzzing, benchmarks) and as the reference shape of a record
// source. Fixed parts lie back to back in one buffer in the stored layout
// (every field at its stored width, FieldTypes.h); blob contents and null
// marks are kept beside them. Setters take field indexes from AddField and
// record numbers from AddRecord; out-of-range numbers throw std::out_of_range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tomedb/filter/FilterTypes.h"

namespace tomedb {

class TMemoryRecordSource : public TFilterRecordSource {
public:
    // Adds a field (dataSize: characters of a string field); returns its index.
    int AddField(std::string name, TFieldType type, int32_t dataSize = 0);
    // Adds a record with every field zero (empty text, 0, false); returns its number.
    size_t AddRecord();

    void SetInteger(size_t record, int field, int64_t value);       // integer types, date, time, Boolean
    void SetFloat(size_t record, int field, double value);          // float, currency, date-time
    void SetText(size_t record, int field, std::string_view text);  // string types (cut) and blobs
    void SetNull(size_t record, int field, bool isNull = true);

    void SetCurrent(size_t record);
    size_t Current() const { return fCurrent; }
    size_t RecordCount() const { return fRecordCount; }
    size_t RecordSize() const { return fRecordSize; }
    size_t FieldCount() const { return fFields.size(); }
    const uint8_t* FixedPart(size_t record) const;
    // Where field `index` lies in a fixed part, and its stored width.
    size_t FieldOffset(int index) const { return Field(index).offset; }
    size_t FieldWidth(int index) const { return Field(index).width; }

    int FindField(std::string_view name) const override;
    TFieldType GetFieldType(int index) const override;
    TFieldData GetFieldData(int index) override;

private:
    struct TField {
        std::string name;
        TFieldType type;
        size_t offset;
        size_t width;
        int32_t dataSize;
    };
    const TField& Field(int index) const;
    uint8_t* Slot(size_t record, int field);

    std::vector<TField> fFields;
    std::vector<uint8_t> fFixed;
    std::vector<std::vector<std::string>> fBlobs;  // [record][field]
    std::vector<std::vector<bool>> fNulls;         // [record][field]
    size_t fRecordSize = 0;
    size_t fRecordCount = 0;
    size_t fCurrent = 0;
};

}  // namespace tomedb
