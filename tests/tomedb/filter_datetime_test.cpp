// Reading filter string constants as dates, times and date-times, and the
// calendar arithmetic under them.
#include <gtest/gtest.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>

#include <optional>
#include <string>

#include "tomedb/FieldTypes.h"
#include "tomedb/filter/DateTimeText.h"

namespace tomedb {
namespace {

TEST(FilterDateTime, DayNumbersMatchTheStoredConvention) {
    EXPECT_EQ(DayNumberFromCivil(1, 1, 1), 1);
    EXPECT_EQ(DayNumberFromCivil(1899, 12, 30), kDateDelta);
    for (int64_t day : {1LL, 693594LL, 732000LL, 3652059LL}) {
        const TCivilDate d = CivilFromDayNumber(day);
        EXPECT_EQ(DayNumberFromCivil(d.year, d.month, d.day), day);
    }
    const TCivilDate leap = CivilFromDayNumber(DayNumberFromCivil(2000, 2, 29));
    EXPECT_EQ(leap.year, 2000);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
}

struct TReadCase {
    const char* text;
    int64_t currentYear;
    bool valid;
    int64_t year;
    int month, day;
    int64_t ms;
};

TEST(FilterDateTime, OwnFormatsReadMonthDayYearAndTimes) {
    const int64_t h = 3600000;
    const TReadCase cases[] = {
        {"1/15/2005", 2026, true, 2005, 1, 15, 0},
        {"  01/15/2005", 2026, true, 2005, 1, 15, 0},
        // Two-digit years: the 50-year window around the current year.
        {"1/15/05", 2026, true, 2005, 1, 15, 0},
        {"1/15/05", 1956, true, 2005, 1, 15, 0},
        {"1/15/05", 2055, true, 2005, 1, 15, 0},
        {"1/15/05", 2056, true, 2105, 1, 15, 0},
        {"1/15/76", 2026, true, 1976, 1, 15, 0},
        {"1/15/75", 2026, true, 2075, 1, 15, 0},
        {"1/15/205", 2026, true, 205, 1, 15, 0},
        {"2/29/2004", 2026, true, 2004, 2, 29, 0},
        {"1/15/2005 13:45", 2026, true, 2005, 1, 15, 13 * h + 45 * 60000},
        {"1/15/2005 1:02:03.4", 2026, true, 2005, 1, 15, h + 2 * 60000 + 3000 + 4},
        {"1/15/2005 12:00 AM", 2026, true, 2005, 1, 15, 0},
        {"1/15/2005 pm 1:30", 2026, true, 2005, 1, 15, 13 * h + 30 * 60000},
        // A time alone sits on 1899-12-30.
        {"8", 2026, true, 1899, 12, 30, 8 * h},
        {"12:30 PM", 2026, true, 1899, 12, 30, 12 * h + 30 * 60000},
        {"23:59:59.999", 2026, true, 1899, 12, 30, 24 * h - 1},
        // Not dates: the whole text must be used, values must be valid.
        {"2/30/2005", 2026, false, 0, 0, 0, 0},
        {"13/1/2005", 2026, false, 0, 0, 0, 0},
        {"1/15/20050", 2026, false, 0, 0, 0, 0},
        {"1/15", 2026, false, 0, 0, 0, 0},
        {"1/15/2005 x", 2026, false, 0, 0, 0, 0},
        {"24:00", 2026, false, 0, 0, 0, 0},
        {"13:00 PM", 2026, false, 0, 0, 0, 0},
        {"0:00 AM", 2026, false, 0, 0, 0, 0},
        {"1:60", 2026, false, 0, 0, 0, 0},
        {"", 2026, false, 0, 0, 0, 0},
        {"abc", 2026, false, 0, 0, 0, 0},
    };
    TDateTimeLocale locale;  // "." , AM, PM
    for (const TReadCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.currentYear));
        const std::optional<TDateTimeParts> parts = ReadOwnDateTime(c.text, locale, c.currentYear);
        ASSERT_EQ(parts.has_value(), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(parts->dayNumber, DayNumberFromCivil(c.year, c.month, c.day));
        EXPECT_EQ(parts->ms, c.ms);
    }
}

TEST(FilterDateTime, LocaleMarkersAndSeparatorApply) {
    TDateTimeLocale locale;
    locale.decimalSeparator = ',';
    locale.amString = "\xC9\xCF\xCE\xE7";  // 上午
    locale.pmString = "\xCF\xC2\xCE\xE7";  // 下午
    const auto pm = ReadOwnDateTime("\xCF\xC2\xCE\xE7 3:00:01,5", locale, 2026);
    ASSERT_TRUE(pm.has_value());
    EXPECT_EQ(pm->ms, 15 * 3600000 + 1000 + 5);
    EXPECT_TRUE(ReadOwnDateTime("3:00 PM", locale, 2026).has_value());
    EXPECT_FALSE(ReadOwnDateTime("3:00:01.5", locale, 2026).has_value());
}

// Texts the own formats cannot read fall back to the locale's short formats:
// whatever the user's locale writes as a short date reads back as that date.
TEST(FilterDateTime, LocaleShortDateReadsBack) {
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateInstance(icu::DateFormat::kShort, icu::Locale::getDefault()));
    ASSERT_TRUE(format);
    format->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
    const int64_t day = DayNumberFromCivil(2005, 1, 15);
    icu::UnicodeString written;
    format->format(static_cast<UDate>((day - 719163) * kMsPerDay), written);
    std::string text(static_cast<size_t>(written.extract(0, written.length(), nullptr, 0, "GB18030")), '\0');
    written.extract(0, written.length(), text.data(), static_cast<int32_t>(text.size()), "GB18030");
    const auto parts = ReadDateTimeText(text, DefaultDateTimeLocale());
    ASSERT_TRUE(parts.has_value()) << text;
    EXPECT_EQ(parts->dayNumber, day);
    EXPECT_FALSE(ReadLocaleDateTime("not a date").has_value());
}

}  // namespace
}  // namespace tomedb
