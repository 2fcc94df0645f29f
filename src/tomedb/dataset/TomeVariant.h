// TVariant: the loosely typed value that field objects, FindKey, Locate and
// Lookup exchange (null, Boolean, integer, float, GB18030 text, date-time).
// Conversions follow the field-conversion rules of the table layer: text that
// is no number raises EDatabaseError with the conversion message; a null
// converts to 0, false or the empty text. Values own their text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"

namespace tomedb {

enum class TVarType { Null, Boolean, Integer, Float, String, DateTime };

class TVariant {
public:
    TVariant() = default;
    TVariant(bool value) : type_(TVarType::Boolean), int_(value ? 1 : 0) {}
    TVariant(int value) : type_(TVarType::Integer), int_(value) {}
    TVariant(int64_t value) : type_(TVarType::Integer), int_(value) {}
    TVariant(double value) : type_(TVarType::Float), float_(value) {}
    TVariant(const char* text) : type_(TVarType::String), text_(text ? text : "") {}
    TVariant(std::string text) : type_(TVarType::String), text_(std::move(text)) {}
    static TVariant FromDateTime(TDateTime value);

    TVarType Type() const { return type_; }
    bool IsNull() const { return type_ == TVarType::Null; }

    std::string AsString() const;
    int64_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;

    bool operator==(const TVariant& other) const;

private:
    TVarType type_ = TVarType::Null;
    int64_t int_ = 0;
    double float_ = 0;
    std::string text_;
};

using TVariantArray = std::vector<TVariant>;

// Text forms used by field objects: "yyyy-mm-dd", "hh:nn:ss" and both joined
// by a blank; the time part is left out of a date-time at midnight.
std::string FormatDate(TDateTime value);
std::string FormatTime(TDateTime value);
std::string FormatDateTime(TDateTime value);
// Reads the forms above (a time alone, a date alone or both); raises
// "'%s' is not a valid date and time" otherwise.
TDateTime ParseDateTime(const std::string& text);
// "%g"-like shortest text of a double that reads back to the same value.
std::string FormatFloat(double value);

// Conversions between TDateTime and the stored forms of ftDate, ftTime and
// ftDateTime (day number from 0001-01-01 = 1, milliseconds of the day,
// day number * 86400000 + milliseconds).
int32_t DateTimeToDayNumber(TDateTime value);
int32_t DateTimeToTimeMs(TDateTime value);
double DateTimeToStoredMs(TDateTime value);
TDateTime DayNumberToDateTime(int32_t day);
TDateTime TimeMsToDateTime(int32_t ms);
// 0 when the stored value is no valid date-time (as the field rules ask).
TDateTime StoredMsToDateTime(double ms);
TDateTime Now();
TDateTime Today();

}  // namespace tomedb
