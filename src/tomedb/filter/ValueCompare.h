// Typed-value comparison shared by filter expressions and index searches.
//
// One set of rules orders and matches values everywhere in the engine: the
// filter's comparison operators ("=", "<", ... , IN) and the key comparison of
// the index searches (CompareFieldValues in table storage) both call these
// functions, so a key that an index search finds is exactly a key that the
// equivalent filter passes.
//
// Rules:
//  - texts (ftString, ftFixedChar, blob types) are GB18030 byte strings and
//    compare with ICU collation for the user's default locale (the root
//    collation when the process runs in the C/POSIX locale); case-insensitive
//    comparison ignores letter case (ICU secondary strength). A partial
//    comparison compares only the first N characters (GB18030 characters, not
//    bytes) of each text; when the shortened texts collate equal but one holds
//    fewer characters, the shorter one is less.
//  - integers (ftSmallint, ftWord, ftInteger, ftAutoInc, ftLargeint) compare
//    exactly as 64-bit values; an integer with ftFloat/ftCurrency compares as
//    double. NaN equals NaN and is less than every number (a total order, so an
//    index built over a damaged value stays searchable).
//  - booleans: false < true.
//  - ftDate by day number, ftTime by milliseconds, ftDateTime by milliseconds;
//    ftDate with ftDateTime takes the date at midnight. ftDate or ftDateTime
//    with ftTime is not ordered (TCompareOutcome::Unordered).
//  - any other pairing of types is Unordered.
//
// Nothing here throws except std::bad_alloc; ICU failures (no collator for the
// locale) fall back to comparing the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tomedb/FieldTypes.h"

namespace tomedb {

// One value in the form comparisons work on. Only the member that belongs to
// `type` is read:
//  - intValue:   integer class, ftLargeint, ftBoolean (0 or 1), ftDate (day
//                number, 0001-01-01 = 1), ftTime (milliseconds since midnight)
//  - floatValue: ftFloat, ftCurrency, ftDateTime (day number * 86400000 + ms)
//  - text:       string and blob types, GB18030 bytes without the NUL
struct TCompareValue {
    TFieldType type = ftUnknown;
    int64_t intValue = 0;
    double floatValue = 0;
    std::string_view text;
};

enum class TCompareOutcome : int { Less = -1, Equal = 0, Greater = 1, Unordered = 2 };

// Sentinel for "compare the whole texts".
inline constexpr int64_t kWholeText = -1;

// Compares two typed values by the rules above. partialChars >= 0 compares
// only that many leading characters of texts (ignored for other types).
TCompareOutcome CompareTypedValues(const TCompareValue& left, const TCompareValue& right, bool caseInsensitive,
                                   int64_t partialChars = kWholeText);

// Plain overloads: -1, 0 or 1.
int CompareText(std::string_view left, std::string_view right, bool caseInsensitive);
int CompareTextPrefix(std::string_view left, std::string_view right, bool caseInsensitive, size_t chars);
int CompareInt64(int64_t left, int64_t right);
int CompareDouble(double left, double right);
int CompareBool(bool left, bool right);

// Reads a value in its stored form (a record's fixed-part slot, little-endian;
// for blob types the blob's content) into a TCompareValue. Text stops at the
// first NUL or at `size`. A slot shorter than the type's width reads as if
// padded with zero bytes. The returned text points into `data`.
TCompareValue DecodeStoredValue(TFieldType type, const void* data, size_t size);

// Key comparison for index searches: both values are stored forms of `type`.
// With `partial`, texts compare over the character length of the left text
// only. Returns -1, 0 or 1 (an unordered pair counts as equal, which cannot
// happen for two values of one type).
int CompareStoredValues(TFieldType type, const void* left, size_t leftSize, const void* right, size_t rightSize,
                        bool caseInsensitive, bool partial);

}  // namespace tomedb
