// Calendar arithmetic and the reading of filter string constants as dates,
// times and date-times.
//
// Day numbers count from 0001-01-01 = 1 (proleptic Gregorian), so 1899-12-30 is
// 693594 (kDateDelta). Times are milliseconds since midnight. Reading never
// throws: a text that is no valid date or time gives std::nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tomedb {

struct TCivilDate {
    int64_t year = 1;
    int month = 1;
    int day = 1;
};

int64_t DayNumberFromCivil(int64_t year, int month, int day);
TCivilDate CivilFromDayNumber(int64_t dayNumber);
bool IsValidCivilDate(int64_t year, int month, int day);

// A date and time read from text; a time alone has the date 1899-12-30.
struct TDateTimeParts {
    int64_t dayNumber = 0;
    int64_t ms = 0;
};

// Locale details the readers use (texts in GB18030).
struct TDateTimeLocale {
    char decimalSeparator = '.';
    std::string amString = "AM";
    std::string pmString = "PM";
};

// The fixed month/day/year and hour:minute:second formats; `currentYear`
// places one- and two-digit years in the century window.
std::optional<TDateTimeParts> ReadOwnDateTime(std::string_view text, const TDateTimeLocale& locale,
                                              int64_t currentYear);

// The user's locale's short date, short time and short date-time formats (ICU).
std::optional<TDateTimeParts> ReadLocaleDateTime(std::string_view text);

// Own formats first, then the locale's.
std::optional<TDateTimeParts> ReadDateTimeText(std::string_view text, const TDateTimeLocale& locale);

// The locale details of the user's default locale: DefaultDateTimeLocale
// reads them on first use and keeps them; ReadDefaultDateTimeLocale reads anew.
TDateTimeLocale DefaultDateTimeLocale();
TDateTimeLocale ReadDefaultDateTimeLocale();

// The current local date and time.
TDateTimeParts CurrentLocalDateTime();

}  // namespace tomedb
