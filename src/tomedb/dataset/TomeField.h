// TField: one field object of an open TTomeTable, created at open from the
// table's stored fields and destroyed at close (the table owns them). It reads
// and writes the value of that field in the table's active record buffer,
// converting between the stored form and TVariant / text / numbers / dates.
//
// Rules: with no active record (closed, empty table in browse state) a field
// reads as null and writing it does nothing. A physical field is never null
// while a record is active; Clear() (assigning null) leaves its value as it
// is. Writing outside edit or insert state raises "Dataset not in edit or
// insert mode"; a text that does not convert raises the conversion message.
// Blob fields (ftBlob, ftMemo, ftGraphic, ftFmtMemo) go through the table's
// blob stream; their text is the blob's bytes.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "tomedb/FieldTypes.h"
#include "tomedb/dataset/TomeVariant.h"

namespace tomedb {

class TTomeTable;

class TField {
public:
    TField(TTomeTable& table, int fieldIndex, std::string name, TFieldType type, int32_t size);

    const std::string& FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    // Declared size of a string field, 0 for other types.
    int32_t Size() const { return size_; }
    // 0-based position among the table's stored fields.
    int Index() const { return index_; }
    // 1-based field number.
    int FieldNo() const { return index_ + 1; }
    bool IsBlob() const { return IsBlobType(type_); }
    TTomeTable& DataSet() const { return table_; }

    bool IsNull() const;
    void Clear();

    TVariant AsVariant() const;
    void SetAsVariant(const TVariant& value);
    std::string AsString() const;
    void SetAsString(const std::string& value);
    int64_t AsInteger() const;
    void SetAsInteger(int64_t value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    double AsFloat() const;
    void SetAsFloat(double value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value);
    // The display text (as AsString) and its assignment.
    std::string Text() const { return AsString(); }
    void SetText(const std::string& value) { SetAsString(value); }

    // Blob fields: the whole content into / from a stream.
    void LoadFromStream(std::istream& stream);
    void SaveToStream(std::ostream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // Set when the field was written since the record was read.
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }

private:
    TVariant ReadSlot(const uint8_t* slot) const;
    void WriteSlot(uint8_t* slot, const TVariant& value);
    void WriteString(uint8_t* slot, const std::string& text);

    TTomeTable& table_;
    int index_;
    std::string name_;
    TFieldType type_;
    int32_t size_;
    bool modified_ = false;
};

}  // namespace tomedb
