// Field-type codes, index options and the date/time conventions shared by the
// engine's layers (file format, table storage, filters, table access).
#pragma once

#include <cstdint>

namespace tomedb {

// Codes of the field-type enumeration as stored in a FieldTab item.
enum TFieldType : int32_t {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftVarBytes = 13,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
    ftFmtMemo = 18,
    ftParadoxOle = 19,
    ftDBaseOle = 20,
    ftTypedBinary = 21,
    ftCursor = 22,
    ftFixedChar = 23,
    ftWideString = 24,
    ftLargeint = 25,
    ftOraBlob = 30,
    ftOraClob = 31,
};

// Types a table may be created with.
constexpr bool IsAcceptedFieldType(int32_t code) {
    return (code >= 1 && code <= 7) || (code >= 9 && code <= 11) || (code >= 14 && code <= 18) || code == 23 ||
           code == 25;
}

// Wherever the engine decides whether a field is a blob field.
constexpr bool IsBlobType(int32_t code) { return (code >= 15 && code <= 21) || code == 30 || code == 31; }

constexpr bool IsStringType(int32_t code) { return code == ftString || code == ftFixedChar; }

// Width of a field's slot in a record's fixed part; 0 for a type that cannot be stored.
constexpr int32_t StoredFieldWidth(int32_t code, int32_t dataSize) {
    switch (code) {
        case ftString:
        case ftFixedChar:
            return dataSize + 1;
        case ftSmallint:
        case ftWord:
        case ftBoolean:
            return 2;
        case ftInteger:
        case ftDate:
        case ftTime:
        case ftAutoInc:
            return 4;
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
        case ftLargeint:
            return 8;
        default:
            return IsBlobType(code) ? 20 : 0;
    }
}

// Index options, stored as bits 0-3.
enum TTMIndexOption : uint32_t {
    tiPrimary = 1u << 0,
    tiUnique = 1u << 1,
    tiDescending = 1u << 2,
    tiCaseInsensitive = 1u << 3,
};
using TTMIndexOptions = uint32_t;

// Per-field data-processing mode.
enum TDPMode : int32_t { dpmDefault = 0, dpmOriginal = 1 };

// Dates travel as TDateTime: days since 1899-12-30 as a double, the fraction
// being the time of day. Stored ftDate values are day numbers with 0001-01-01 = 1.
using TDateTime = double;
constexpr int32_t kDateDelta = 693594;  // day number of 1899-12-30
constexpr int64_t kMsPerDay = 86400000;

}  // namespace tomedb
