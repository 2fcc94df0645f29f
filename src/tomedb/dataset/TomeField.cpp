#include "tomedb/dataset/TomeField.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeStructures.h"

namespace tomedb {

using namespace format;

TField::TField(TTomeTable& table, int fieldIndex, std::string name, TFieldType type, int32_t size)
    : table_(table), index_(fieldIndex), name_(std::move(name)), type_(type), size_(size) {}

bool TField::IsNull() const {
    if (IsBlob()) {
        std::optional<std::string> value = table_.ReadBlobValue(index_);
        return !value || value->empty();
    }
    return table_.FieldSlot(index_) == nullptr;
}

void TField::Clear() {
    // Clearing a physical field keeps its value; the write checks still apply.
    table_.CheckFieldWrite(*this);
}

TVariant TField::AsVariant() const {
    if (IsBlob()) {
        std::optional<std::string> value = table_.ReadBlobValue(index_);
        if (!value)
            return TVariant();
        return TVariant(std::move(*value));
    }
    const uint8_t* slot = table_.FieldSlot(index_);
    if (!slot)
        return TVariant();
    return ReadSlot(slot);
}

TVariant TField::ReadSlot(const uint8_t* slot) const {
    switch (type_) {
        case ftString:
        case ftFixedChar:
            return TVariant(std::string(reinterpret_cast<const char*>(slot),
                                        FixedTextLength(slot, static_cast<size_t>(size_) + 1)));
        case ftSmallint:
            return TVariant(static_cast<int64_t>(GetI16(slot)));
        case ftWord:
            return TVariant(static_cast<int64_t>(static_cast<uint16_t>(GetI16(slot))));
        case ftBoolean:
            return TVariant(GetI16(slot) != 0);
        case ftInteger:
        case ftAutoInc:
            return TVariant(static_cast<int64_t>(GetI32(slot)));
        case ftLargeint:
            return TVariant(GetI64(slot));
        case ftFloat:
        case ftCurrency:
            return TVariant(GetF64(slot));
        case ftDate:
            return TVariant::FromDateTime(DayNumberToDateTime(GetI32(slot)));
        case ftTime:
            return TVariant::FromDateTime(TimeMsToDateTime(GetI32(slot)));
        case ftDateTime:
            return TVariant::FromDateTime(StoredMsToDateTime(GetF64(slot)));
        default:
            return TVariant();
    }
}

void TField::SetAsVariant(const TVariant& value) {
    table_.CheckFieldWrite(*this);
    if (value.IsNull())
        return;  // clearing keeps the stored value
    if (IsBlob()) {
        table_.WriteBlobValue(index_, value.AsString());
        modified_ = true;
        table_.FieldWritten(*this);
        return;
    }
    uint8_t* slot = table_.FieldSlot(index_);
    if (!slot)
        return;
    WriteSlot(slot, value);
    modified_ = true;
    table_.FieldWritten(*this);
}

void TField::WriteString(uint8_t* slot, const std::string& text) {
    // A text longer than the field is cut on a character boundary, never
    // inside a multi-byte character.
    const size_t width = static_cast<size_t>(size_) + 1;
    const std::string cut = CutText(text.substr(0, text.find('\0')), static_cast<size_t>(size_));
    const size_t n = cut.size();
    std::memcpy(slot, cut.data(), n);
    std::memset(slot + n, 0, width - n);
}

void TField::WriteSlot(uint8_t* slot, const TVariant& value) {
    const bool emptyText = value.Type() == TVarType::String && value.AsString().empty();
    switch (type_) {
        case ftString:
        case ftFixedChar:
            WriteString(slot, value.AsString());
            return;
        default:
            break;
    }
    if (emptyText)
        return;  // an empty text clears a non-text field: value kept
    switch (type_) {
        case ftSmallint:
        case ftWord:
            PutI16(slot, static_cast<int16_t>(value.AsInteger()));
            break;
        case ftBoolean:
            PutI16(slot, value.AsBoolean() ? 1 : 0);
            break;
        case ftInteger:
        case ftAutoInc:
            PutI32(slot, static_cast<int32_t>(value.AsInteger()));
            break;
        case ftLargeint:
            PutI64(slot, value.AsInteger());
            break;
        case ftFloat:
        case ftCurrency:
            PutF64(slot, value.AsFloat());
            break;
        case ftDate:
            PutI32(slot, DateTimeToDayNumber(value.AsDateTime()));
            break;
        case ftTime:
            PutI32(slot, DateTimeToTimeMs(value.AsDateTime()));
            break;
        case ftDateTime:
            PutF64(slot, DateTimeToStoredMs(value.AsDateTime()));
            break;
        default:
            break;
    }
}

std::string TField::AsString() const {
    const TVariant value = AsVariant();
    if (value.Type() != TVarType::DateTime)
        return value.AsString();
    if (type_ == ftDate)
        return FormatDate(value.AsDateTime());
    if (type_ == ftTime)
        return FormatTime(value.AsDateTime());
    return FormatDateTime(value.AsDateTime());
}

void TField::SetAsString(const std::string& value) {
    if (!IsBlob() && !IsStringType(type_) && value.empty()) {
        Clear();
        return;
    }
    if (IsBlob()) {
        table_.CheckFieldWrite(*this);
        table_.WriteBlobValue(index_, value);
        modified_ = true;
        table_.FieldWritten(*this);
        return;
    }
    SetAsVariant(TVariant(value));
}

int64_t TField::AsInteger() const { return AsVariant().AsInteger(); }
void TField::SetAsInteger(int64_t value) { SetAsVariant(TVariant(value)); }
bool TField::AsBoolean() const { return AsVariant().AsBoolean(); }
void TField::SetAsBoolean(bool value) { SetAsVariant(TVariant(value)); }
double TField::AsFloat() const { return AsVariant().AsFloat(); }
void TField::SetAsFloat(double value) { SetAsVariant(TVariant(value)); }
TDateTime TField::AsDateTime() const { return AsVariant().AsDateTime(); }
void TField::SetAsDateTime(TDateTime value) { SetAsVariant(TVariant::FromDateTime(value)); }

void TField::LoadFromStream(std::istream& stream) {
    std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (!IsBlob()) {
        SetAsString(bytes);
        return;
    }
    table_.CheckFieldWrite(*this);
    table_.WriteBlobValue(index_, bytes);
    modified_ = true;
    table_.FieldWritten(*this);
}

void TField::SaveToStream(std::ostream& stream) const {
    const std::string bytes = AsString();
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TField::LoadFromFile(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        DatabaseError(FormatMessage("Cannot open file %s", fileName.c_str()));
    LoadFromStream(file);
}

void TField::SaveToFile(const std::string& fileName) const {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    if (!file)
        DatabaseError(FormatMessage("Cannot create file %s", fileName.c_str()));
    SaveToStream(file);
}

}  // namespace tomedb
