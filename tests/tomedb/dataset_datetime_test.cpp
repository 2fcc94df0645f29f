// Stored forms of dates and times round-trip over the whole valid range.
#include "tomedb/TomeDB.h"

#include <gtest/gtest.h>

using namespace tomedb;

TEST(StoredDateTime, RoundTripsAcrossTheValidRange) {
    struct Case {
        const char* text;
    };
    const Case cases[] = {
        {"0001-01-01"},          {"1899-12-30"}, {"1899-12-29 23:59:59"},
        {"2024-05-01 10:00:00"}, {"9999-12-31"}, {"9999-12-31 23:59:59"},
    };
    for (const Case& c : cases) {
        const TDateTime value = ParseDateTime(c.text);
        EXPECT_EQ(FormatDateTime(StoredMsToDateTime(DateTimeToStoredMs(value))), c.text) << c.text;
    }
}

TEST(StoredDateTime, ValuesOutsideTheRangeReadAsZero) {
    const double day = 86400000.0;
    for (double ms : {-1.0, 0.0, 3652060.0 * day, 1e300})
        EXPECT_EQ(StoredMsToDateTime(ms), 0) << ms;
}
