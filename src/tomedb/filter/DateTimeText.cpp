#include "tomedb/filter/DateTimeText.h"

#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>
#include <ctime>
#include <memory>

#include "tomedb/FieldTypes.h"

namespace tomedb {
namespace {

constexpr int64_t kUnixEpochDay = 719163;  // day number of 1970-01-01

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// A cursor over the text being read; every reader leaves it after what it read.
struct TTextCursor {
    std::string_view text;
    size_t pos = 0;

    bool AtEnd() const { return pos >= text.size(); }
    char Peek() const { return AtEnd() ? '\0' : text[pos]; }
    void SkipBlanks() {
        while (!AtEnd() && static_cast<unsigned char>(text[pos]) <= 32)
            ++pos;
    }
    bool Take(char c) {
        if (Peek() != c)
            return false;
        ++pos;
        return true;
    }
    // Digits while the value read so far is below 1000.
    bool Number(int64_t& value, int& digits) {
        value = 0;
        digits = 0;
        while (!AtEnd() && value < 1000 && Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (text[pos++] - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool TakeWordIgnoringCase(std::string_view word) {
        if (word.empty() || text.size() - pos < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i) {
            char a = text[pos + i], b = word[i];
            if (a >= 'a' && a <= 'z')
                a = static_cast<char>(a - 32);
            if (b >= 'a' && b <= 'z')
                b = static_cast<char>(b - 32);
            if (a != b)
                return false;
        }
        pos += word.size();
        return true;
    }
};

int64_t WindowedYear(int64_t year, int64_t currentYear) {
    const int64_t pivot = currentYear - 50;
    int64_t result = year + FloorDiv(pivot, 100) * 100;
    if (result < pivot)
        result += 100;
    return result;
}

bool ReadOwnDate(TTextCursor& cur, int64_t currentYear, int64_t& dayNumber) {
    int64_t month, day, year;
    int digits;
    cur.SkipBlanks();
    if (!cur.Number(month, digits) || !cur.Take('/'))
        return false;
    if (!cur.Number(day, digits) || !cur.Take('/'))
        return false;
    if (!cur.Number(year, digits))
        return false;
    if (digits <= 2)
        year = WindowedYear(year, currentYear);
    if (!IsValidCivilDate(year, static_cast<int>(month), static_cast<int>(day)))
        return false;
    dayNumber = DayNumberFromCivil(year, static_cast<int>(month), static_cast<int>(day));
    return true;
}

// 0 none, 1 AM, 2 PM.
int ReadMarker(TTextCursor& cur, const TDateTimeLocale& locale) {
    cur.SkipBlanks();
    if (cur.TakeWordIgnoringCase(locale.amString) || cur.TakeWordIgnoringCase("AM"))
        return 1;
    if (cur.TakeWordIgnoringCase(locale.pmString) || cur.TakeWordIgnoringCase("PM"))
        return 2;
    return 0;
}

bool ReadOwnTime(TTextCursor& cur, const TDateTimeLocale& locale, int64_t& ms) {
    int marker = ReadMarker(cur, locale);
    int64_t hour, minute = 0, second = 0, milli = 0;
    int digits;
    cur.SkipBlanks();
    if (!cur.Number(hour, digits))
        return false;
    if (cur.Take(':')) {
        if (!cur.Number(minute, digits))
            return false;
        if (cur.Take(':')) {
            if (!cur.Number(second, digits))
                return false;
            if (cur.Take(locale.decimalSeparator) && !cur.Number(milli, digits))
                return false;
        }
    }
    if (marker == 0)
        marker = ReadMarker(cur, locale);
    if (marker != 0) {
        if (hour < 1 || hour > 12)
            return false;
        if (hour == 12)
            hour = 0;
        if (marker == 2)
            hour += 12;
    }
    if (hour > 23 || minute > 59 || second > 59 || milli > 999)
        return false;
    ms = ((hour * 60 + minute) * 60 + second) * 1000 + milli;
    return true;
}

std::unique_ptr<icu::DateFormat> LocaleFormat(int which) {
    const auto style = icu::DateFormat::kShort;
    icu::DateFormat* format = which == 0 ? icu::DateFormat::createDateInstance(style, icu::Locale::getDefault())
                              : which == 1
                                  ? icu::DateFormat::createTimeInstance(style, icu::Locale::getDefault())
                                  : icu::DateFormat::createDateTimeInstance(style, style, icu::Locale::getDefault());
    if (format) {
        format->setLenient(false);
        format->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
    }
    return std::unique_ptr<icu::DateFormat>(format);
}

std::string ToGb18030(const icu::UnicodeString& text) {
    const int32_t needed = text.extract(0, text.length(), nullptr, 0, "GB18030");
    std::string out(static_cast<size_t>(needed), '\0');
    if (needed > 0)
        text.extract(0, text.length(), out.data(), needed, "GB18030");
    return out;
}

}  // namespace

int64_t DayNumberFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = FloorDiv(year, 400);
    const int64_t yoe = year - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kUnixEpochDay;
}

TCivilDate CivilFromDayNumber(int64_t dayNumber) {
    const int64_t z = dayNumber - kUnixEpochDay + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    TCivilDate d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = yoe + era * 400 + (d.month <= 2);
    return d;
}

bool IsValidCivilDate(int64_t year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<TDateTimeParts> ReadOwnDateTime(std::string_view text, const TDateTimeLocale& locale,
                                              int64_t currentYear) {
    TDateTimeParts parts;
    TTextCursor cur{text, 0};
    if (ReadOwnDate(cur, currentYear, parts.dayNumber)) {
        // A time must be set apart by a blank, so that "1/15/20050" is no
        // date at midnight but no date at all.
        const size_t afterDate = cur.pos;
        cur.SkipBlanks();
        if (!cur.AtEnd() && (cur.pos == afterDate || !ReadOwnTime(cur, locale, parts.ms)))
            return std::nullopt;
    } else {
        cur.pos = 0;
        parts.dayNumber = kDateDelta;
        if (!ReadOwnTime(cur, locale, parts.ms))
            return std::nullopt;
    }
    cur.SkipBlanks();
    if (!cur.AtEnd())
        return std::nullopt;
    return parts;
}

std::optional<TDateTimeParts> ReadLocaleDateTime(std::string_view text) {
    const icu::UnicodeString wide(text.data(), static_cast<int32_t>(text.size()), "GB18030");
    // Creating a formatter is costly; each thread keeps its three.
    thread_local std::unique_ptr<icu::DateFormat> formats[3] = {LocaleFormat(0), LocaleFormat(1), LocaleFormat(2)};
    for (int which = 0; which < 3; ++which) {
        icu::DateFormat* format = formats[which].get();
        if (!format)
            continue;
        icu::ParsePosition pos(0);
        const UDate when = format->parse(wide, pos);
        if (pos.getErrorIndex() >= 0 || pos.getIndex() != wide.length() || !std::isfinite(when))
            continue;
        if (std::fabs(when) > 3.2e14)
            continue;  // beyond the year 9999
        const int64_t ms = static_cast<int64_t>(std::floor(when));
        TDateTimeParts parts;
        const int64_t days = FloorDiv(ms, kMsPerDay);
        parts.dayNumber = which == 1 ? kDateDelta : days + kUnixEpochDay;
        parts.ms = ms - days * kMsPerDay;
        return parts;
    }
    return std::nullopt;
}

std::optional<TDateTimeParts> ReadDateTimeText(std::string_view text, const TDateTimeLocale& locale) {
    const int64_t currentYear = CivilFromDayNumber(CurrentLocalDateTime().dayNumber).year;
    if (auto own = ReadOwnDateTime(text, locale, currentYear))
        return own;
    return ReadLocaleDateTime(text);
}

TDateTimeLocale DefaultDateTimeLocale() {
    // Read once: every table creates a parser, and the ICU symbol tables are
    // costly to load.
    static const TDateTimeLocale cached = ReadDefaultDateTimeLocale();
    return cached;
}

TDateTimeLocale ReadDefaultDateTimeLocale() {
    TDateTimeLocale locale;
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(icu::Locale::getDefault(), status);
    if (U_SUCCESS(status)) {
        const icu::UnicodeString sep = symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
        if (sep.length() == 1 && sep[0] > 32 && sep[0] < 127)
            locale.decimalSeparator = static_cast<char>(sep[0]);
    }
    status = U_ZERO_ERROR;
    icu::DateFormatSymbols dateSymbols(icu::Locale::getDefault(), status);
    if (U_SUCCESS(status)) {
        int32_t count = 0;
        const icu::UnicodeString* ampm = dateSymbols.getAmPmStrings(count);
        if (ampm && count >= 2) {
            locale.amString = ToGb18030(ampm[0]);
            locale.pmString = ToGb18030(ampm[1]);
        }
    }
    return locale;
}

TDateTimeParts CurrentLocalDateTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    TDateTimeParts parts;
    parts.dayNumber = DayNumberFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    parts.ms = ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000LL + now.tv_nsec / 1000000;
    return parts;
}

}  // namespace tomedb
