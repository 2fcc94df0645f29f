#include "tomedb/filter/ValueCompare.h"

#include <unicode/ucnv.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {
namespace {

// ICU collators and converters are not shared between threads: each thread
// opens its own on first use and keeps it until it ends.
struct TCollatorSet {
    UCollator* exact = nullptr;
    UCollator* ignoreCase = nullptr;
    UConverter* gb18030 = nullptr;

    TCollatorSet() {
        // The C/POSIX locale maps to ICU's en_US_POSIX, whose collation tells
        // upper from lower case at the primary level; the root collation
        // serves such a process instead, so that ignoring case works.
        const char* locale = uloc_getDefault();
        if (std::strcmp(locale, "en_US_POSIX") == 0)
            locale = "";
        UErrorCode status = U_ZERO_ERROR;
        exact = ucol_open(locale, &status);
        if (U_FAILURE(status))
            exact = nullptr;
        status = U_ZERO_ERROR;
        ignoreCase = ucol_open(locale, &status);
        if (U_FAILURE(status)) {
            ignoreCase = nullptr;
        } else {
            ucol_setStrength(ignoreCase, UCOL_SECONDARY);
        }
        status = U_ZERO_ERROR;
        gb18030 = ucnv_open("GB18030", &status);
        if (U_FAILURE(status))
            gb18030 = nullptr;
    }
    ~TCollatorSet() {
        if (exact)
            ucol_close(exact);
        if (ignoreCase)
            ucol_close(ignoreCase);
        if (gb18030)
            ucnv_close(gb18030);
    }
    TCollatorSet(const TCollatorSet&) = delete;
    TCollatorSet& operator=(const TCollatorSet&) = delete;
};

TCollatorSet& ThreadCollators() {
    thread_local TCollatorSet set;
    return set;
}

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// GB18030 bytes to UTF-16 in `out`; false when ICU cannot convert.
bool ToUtf16(std::string_view text, std::vector<UChar>& out, UConverter* converter) {
    out.resize(text.size() + 1);
    if (IsAscii(text)) {
        for (size_t i = 0; i < text.size(); ++i)
            out[i] = static_cast<UChar>(text[i]);
        out.resize(text.size());
        return true;
    }
    if (!converter)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetToUnicode(converter);
    const int32_t length = ucnv_toUChars(converter, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                         static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        return false;
    out.resize(static_cast<size_t>(length));
    return true;
}

int CompareBytes(std::string_view left, std::string_view right) {
    const int c = left.compare(right);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Collate(std::string_view left, std::string_view right, bool caseInsensitive) {
    TCollatorSet& set = ThreadCollators();
    UCollator* collator = caseInsensitive ? set.ignoreCase : set.exact;
    thread_local std::vector<UChar> wideLeft, wideRight;
    if (!collator || !ToUtf16(left, wideLeft, set.gb18030) || !ToUtf16(right, wideRight, set.gb18030))
        return CompareBytes(left, right);
    const UCollationResult r = ucol_strcoll(collator, wideLeft.data(), static_cast<int32_t>(wideLeft.size()),
                                            wideRight.data(), static_cast<int32_t>(wideRight.size()));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

bool IsWholeNumberType(TFieldType t) {
    return t == ftSmallint || t == ftWord || t == ftInteger || t == ftAutoInc || t == ftLargeint;
}
bool IsFloatType(TFieldType t) { return t == ftFloat || t == ftCurrency; }
bool IsTextType(TFieldType t) { return IsStringType(t) || IsBlobType(t); }
bool IsDateTimeType(TFieldType t) { return t == ftDate || t == ftTime || t == ftDateTime; }

TCompareOutcome FromSign(int c) { return static_cast<TCompareOutcome>(c); }

TCompareOutcome CompareNumbers(const TCompareValue& l, const TCompareValue& r) {
    if (IsWholeNumberType(l.type) && IsWholeNumberType(r.type))
        return FromSign(CompareInt64(l.intValue, r.intValue));
    const double a = IsFloatType(l.type) ? l.floatValue : static_cast<double>(l.intValue);
    const double b = IsFloatType(r.type) ? r.floatValue : static_cast<double>(r.intValue);
    return FromSign(CompareDouble(a, b));
}

// Milliseconds of a date or date-time value.
double DateTimeMs(const TCompareValue& v) {
    return v.type == ftDate ? static_cast<double>(v.intValue) * static_cast<double>(kMsPerDay) : v.floatValue;
}

TCompareOutcome CompareDates(const TCompareValue& l, const TCompareValue& r) {
    if (l.type == ftTime || r.type == ftTime) {
        if (l.type != r.type)
            return TCompareOutcome::Unordered;
        return FromSign(CompareInt64(l.intValue, r.intValue));
    }
    if (l.type == ftDate && r.type == ftDate)
        return FromSign(CompareInt64(l.intValue, r.intValue));
    return FromSign(CompareDouble(DateTimeMs(l), DateTimeMs(r)));
}

template <typename T>
T ReadLittle(const void* data, size_t size) {
    unsigned char bytes[sizeof(T)] = {};
    std::memcpy(bytes, data, size < sizeof(T) ? size : sizeof(T));
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

}  // namespace

int CompareInt64(int64_t left, int64_t right) { return left < right ? -1 : (left > right ? 1 : 0); }

int CompareDouble(double left, double right) {
    const bool nanLeft = std::isnan(left), nanRight = std::isnan(right);
    if (nanLeft || nanRight)
        return nanLeft == nanRight ? 0 : (nanLeft ? -1 : 1);
    return left < right ? -1 : (left > right ? 1 : 0);
}

int CompareBool(bool left, bool right) { return Sign(static_cast<int>(left) - static_cast<int>(right)); }

int CompareText(std::string_view left, std::string_view right, bool caseInsensitive) {
    if (left == right)
        return 0;
    return Collate(left, right, caseInsensitive);
}

int CompareTextPrefix(std::string_view left, std::string_view right, bool caseInsensitive, size_t chars) {
    const std::string_view a = left.substr(0, GbPrefixBytes(left, chars));
    const std::string_view b = right.substr(0, GbPrefixBytes(right, chars));
    const int c = CompareText(a, b, caseInsensitive);
    if (c != 0)
        return c;
    // Collation may call texts of different length equal (ignorable
    // characters); the one that ran out of characters first is less.
    return Sign(static_cast<int64_t>(GbCharCount(a)) - static_cast<int64_t>(GbCharCount(b)));
}

TCompareOutcome CompareTypedValues(const TCompareValue& left, const TCompareValue& right, bool caseInsensitive,
                                   int64_t partialChars) {
    const TFieldType l = left.type, r = right.type;
    if (IsTextType(l) && IsTextType(r)) {
        if (partialChars >= 0)
            return FromSign(
                CompareTextPrefix(left.text, right.text, caseInsensitive, static_cast<size_t>(partialChars)));
        return FromSign(CompareText(left.text, right.text, caseInsensitive));
    }
    if ((IsWholeNumberType(l) || IsFloatType(l)) && (IsWholeNumberType(r) || IsFloatType(r)))
        return CompareNumbers(left, right);
    if (IsDateTimeType(l) && IsDateTimeType(r))
        return CompareDates(left, right);
    if (l == ftBoolean && r == ftBoolean)
        return FromSign(CompareBool(left.intValue != 0, right.intValue != 0));
    return TCompareOutcome::Unordered;
}

TCompareValue DecodeStoredValue(TFieldType type, const void* data, size_t size) {
    TCompareValue v;
    v.type = type;
    if (data == nullptr)
        size = 0;
    switch (type) {
        case ftSmallint:
            v.intValue = ReadLittle<int16_t>(data, size);
            break;
        case ftWord:
            v.intValue = ReadLittle<uint16_t>(data, size);
            break;
        case ftBoolean:
            v.intValue = ReadLittle<uint16_t>(data, size) != 0 ? 1 : 0;
            break;
        case ftInteger:
        case ftAutoInc:
        case ftDate:
        case ftTime:
            v.intValue = ReadLittle<int32_t>(data, size);
            break;
        case ftLargeint:
            v.intValue = ReadLittle<int64_t>(data, size);
            break;
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
            v.floatValue = ReadLittle<double>(data, size);
            break;
        default:
            if (IsTextType(type) && size > 0) {
                const char* bytes = static_cast<const char*>(data);
                const void* nul = std::memchr(bytes, 0, size);
                v.text = std::string_view(bytes, nul ? static_cast<const char*>(nul) - bytes : size);
            }
            break;
    }
    return v;
}

int CompareStoredValues(TFieldType type, const void* left, size_t leftSize, const void* right, size_t rightSize,
                        bool caseInsensitive, bool partial) {
    const TCompareValue a = DecodeStoredValue(type, left, leftSize);
    const TCompareValue b = DecodeStoredValue(type, right, rightSize);
    const int64_t chars = partial && IsTextType(type) ? static_cast<int64_t>(GbCharCount(a.text)) : kWholeText;
    const TCompareOutcome c = CompareTypedValues(a, b, caseInsensitive, chars);
    return c == TCompareOutcome::Unordered ? 0 : static_cast<int>(c);
}

}  // namespace tomedb
