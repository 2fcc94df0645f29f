// Texts of key values for the "Invalid unique field value '%s'" message.
#include <unicode/ucnv.h>
#include <unicode/udat.h>
#include <unicode/uloc.h>

#include <cstdio>
#include <string>

#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

namespace {

constexpr int64_t kUnixEpochDay = 719163;  // day number of 1970-01-01 (0001-01-01 = 1)

// Short date / time / date-time text of the default locale, in UTC so the
// stored value is shown as stored; empty when ICU cannot format it.
std::string FormatUDate(double ms, UDateFormatStyle dateStyle, UDateFormatStyle timeStyle) {
    UErrorCode status = U_ZERO_ERROR;
    const UChar utc[] = {'U', 'T', 'C', 0};
    UDateFormat* format = udat_open(timeStyle, dateStyle, uloc_getDefault(), utc, -1, nullptr, 0, &status);
    if (U_FAILURE(status))
        return std::string();
    UChar text[128];
    const int32_t length = udat_format(format, ms, text, 128, nullptr, &status);
    udat_close(format);
    if (U_FAILURE(status) || length < 0 || length > 127)
        return std::string();
    // Engine texts are GB18030 bytes.
    UConverter* converter = ucnv_open("GB18030", &status);
    if (U_FAILURE(status))
        return std::string();
    char bytes[512];
    const int32_t outLength = ucnv_fromUChars(converter, bytes, sizeof bytes, text, length, &status);
    ucnv_close(converter);
    if (U_FAILURE(status) || outLength < 0)
        return std::string();
    return std::string(bytes, static_cast<size_t>(outLength));
}

std::string DateText(int64_t day, int64_t ms, UDateFormatStyle dateStyle, UDateFormatStyle timeStyle) {
    if (day < 1 || day > 3652059)
        return std::string();  // outside 0001-01-01 .. 9999-12-31
    const double udate = static_cast<double>((day - kUnixEpochDay) * kMsPerDay + ms);
    return FormatUDate(udate, dateStyle, timeStyle);
}

}  // namespace

std::string TTomeTableIO::ValueText(TFieldBufferItem& Item) {
    using namespace format;
    const uint8_t* p = Item.KeyData();
    const size_t size = Item.KeySize();
    if (IsStringType(Item.FieldType) || IsBlobType(Item.FieldType))
        return p ? std::string(reinterpret_cast<const char*>(p), FixedTextLength(p, size)) : std::string();
    const int32_t width = StoredFieldWidth(Item.FieldType, 0);
    if (!p || size < static_cast<size_t>(width))
        return std::string();
    char text[64];
    switch (Item.FieldType) {
        case ftSmallint:
            std::snprintf(text, sizeof text, "%d", GetI16(p));
            break;
        case ftWord:
            std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(static_cast<uint16_t>(GetI16(p))));
            break;
        case ftInteger:
        case ftAutoInc:
            std::snprintf(text, sizeof text, "%d", GetI32(p));
            break;
        case ftLargeint:
            std::snprintf(text, sizeof text, "%lld", static_cast<long long>(GetI64(p)));
            break;
        case ftBoolean:
            return GetI16(p) != 0 ? "True" : "False";
        case ftFloat:
        case ftCurrency:
            std::snprintf(text, sizeof text, "%.15G", GetF64(p));
            break;
        case ftDate:
            return DateText(GetI32(p), 0, UDAT_SHORT, UDAT_NONE);
        case ftTime: {
            const int32_t ms = GetI32(p);
            if (ms < 0 || ms >= kMsPerDay)
                return std::string();
            return DateText(kUnixEpochDay, ms, UDAT_NONE, UDAT_SHORT);
        }
        case ftDateTime: {
            const double v = GetF64(p);
            if (!(v >= 0 && v < 3652060.0 * kMsPerDay))
                return std::string();
            const auto total = static_cast<int64_t>(v);
            return DateText(total / kMsPerDay, total % kMsPerDay, UDAT_SHORT, UDAT_SHORT);
        }
        default:
            return std::string();
    }
    return text;
}

}  // namespace tomedb
