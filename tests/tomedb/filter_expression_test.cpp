// Filter expressions over a small in-memory table: what passes, what fails to
// parse and with which message, and how the operators bind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/filter/DateTimeText.h"
#include "tomedb/filter/FilterParser.h"
#include "tomedb/filter/MemoryRecordSource.h"

namespace tomedb {
namespace {

double DateTimeMs(int64_t y, int m, int d, int64_t msOfDay = 0) {
    return static_cast<double>(DayNumberFromCivil(y, m, d) * kMsPerDay + msOfDay);
}

// Six records with one field of every type. Record numbers are what the
// tables below list.
class FilterFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // Numbers below use "." whatever locale the test runs in.
        TDateTimeLocale locale = parser.DateTimeLocale();
        locale.decimalSeparator = '.';
        parser.SetDateTimeLocale(locale);
        pid = src.AddField("PID", ftInteger);
        name = src.AddField("Name", ftString, 40);
        small = src.AddField("Small", ftSmallint);
        word = src.AddField("Cnt", ftWord);
        big = src.AddField("Big", ftLargeint);
        money = src.AddField("Money", ftFloat);
        price = src.AddField("Price", ftCurrency);
        flag = src.AddField("Flag", ftBoolean);
        date = src.AddField("DocCDate", ftDate);
        time = src.AddField("DocTime", ftTime);
        stamp = src.AddField("Stamp", ftDateTime);
        id = src.AddField("ID", ftAutoInc);
        memo = src.AddField("Txt", ftMemo);
        code = src.AddField("Code", ftFixedChar, 8);
        chinese = src.AddField("\xC3\xFB\xB3\xC6", ftString, 20);  // 名称 in GB18030

        Add(1, "abcdef", -3, 10, 5000000000LL, 1.5, 2.25, true, {2005, 1, 15}, 8 * 3600000, "hello");
        Add(3, "abc", 4, 20, -1, 0.0, 1.0, false, {2005, 1, 14}, 12 * 3600000, "It's");
        Add(5, "ab", 0, 65535, 0, -2.5, 0.5, true, {2010, 6, 1}, 0, "");
        Add(7, "abc*", 256, 0, 7, 100.0, 3.0, false, {2004, 12, 31}, 23 * 3600000 + 59 * 60000, "x");
        Add(9, "Xyz", 1, 1, 9, 9.75, 9.0, true, {2999, 1, 1}, 1000, std::string(256, 'a'));
        Add(5, "ABC", 2, 2, 5, 5.0, 5.0, false, {2005, 1, 15}, 30 * 60000, std::string(300, 'a'));
        src.SetText(0, chinese, "\xD6\xD0\xCE\xC4");  // 中文
    }

    struct TYmd {
        int64_t y;
        int m, d;
    };

    void Add(int pidValue, const std::string& nameValue, int smallValue, int wordValue, int64_t bigValue,
             double moneyValue, double priceValue, bool flagValue, TYmd day, int64_t msOfDay,
             const std::string& memoValue) {
        const size_t r = src.AddRecord();
        src.SetInteger(r, pid, pidValue);
        src.SetText(r, name, nameValue);
        src.SetInteger(r, small, smallValue);
        src.SetInteger(r, word, wordValue);
        src.SetInteger(r, big, bigValue);
        src.SetFloat(r, money, moneyValue);
        src.SetFloat(r, price, priceValue);
        src.SetInteger(r, flag, flagValue ? 1 : 0);
        src.SetInteger(r, date, DayNumberFromCivil(day.y, day.m, day.d));
        src.SetInteger(r, time, msOfDay);
        src.SetFloat(r, stamp, DateTimeMs(day.y, day.m, day.d, msOfDay));
        src.SetInteger(r, id, static_cast<int64_t>(r) + 100);
        src.SetText(r, memo, memoValue);
        src.SetText(r, code, nameValue);
    }

    // Record numbers that pass `filter`, joined by ",".
    std::string Passing(const std::string& filter, TFilterOptions options = 0) {
        parser.Parse(filter);
        std::string result;
        for (size_t r = 0; r < src.RecordCount(); ++r) {
            src.SetCurrent(r);
            if (parser.Evaluate(options))
                result += (result.empty() ? "" : ",") + std::to_string(r);
        }
        return result;
    }

    // The message a parse of `filter` raises ("" when it parses).
    std::string ParseError(const std::string& filter) {
        try {
            parser.Parse(filter);
        } catch (const EDatabaseError& e) {
            return e.what();
        }
        return "";
    }

    TMemoryRecordSource src;
    TFilterParser parser{&src};
    int pid, name, small, word, big, money, price, flag, date, time, stamp, id, memo, code, chinese;
};

struct TPassCase {
    const char* filter;
    TFilterOptions options;
    const char* passing;
};

TEST_F(FilterFixture, RecordsPassAsExpected) {
    const TPassCase cases[] = {
        // Field names, brackets, letter case, blanks.
        {"PID=5", 0, "2,5"},
        {"PID>=5", 0, "2,3,4,5"},
        {"pid = 5", 0, "2,5"},
        {"[PID]=5", 0, "2,5"},
        {"  PID\t=\r\n5  ", 0, "2,5"},
        {"PID<>5", 0, "0,1,3,4"},
        {"PID<5", 0, "0,1"},
        {"PID<=5", 0, "0,1,2,5"},
        {"PID>5", 0, "3,4"},
        {"/* folder */ PID=5", 0, "2,5"},
        {"\xC3\xFB\xB3\xC6 = '\xD6\xD0\xCE\xC4'", 0, "0"},
        {"[\xC3\xFB\xB3\xC6] = '\xD6\xD0\xCE\xC4'", 0, "0"},
        // Partial comparison on a constant with "*".
        {"Name='abc*'", 0, "0,1,3"},
        {"Name='abc*'", foNoPartialCompare, "3"},
        {"Name='abc*'", foCaseInsensitive, "0,1,3,5"},
        {"Name='abc*' AND Name <> 'ABC'", 0, "0,1,3"},
        {"Code='ab*'", 0, "0,1,2,3"},
        {"Name='*'", 0, "0,1,2,3,4,5"},
        {"Name>'abc*'", 0, "4,5"},
        {"Name>'abc*'", foCaseInsensitive, "4"},
        // Case of texts.
        {"Name='abc'", 0, "1"},
        {"Name='abc'", foCaseInsensitive, "1,5"},
        // LIKE.
        {"Name LIKE 'a%'", 0, "0,1,2,3"},
        {"Name LIKE 'A%'", 0, "5"},
        {"Name LIKE 'A%'", foCaseInsensitive, "0,1,2,3,5"},
        {"Name LIKE '_b_'", 0, "1"},
        {"Name LIKE '%c%'", 0, "0,1,3"},
        {"Name LIKE 'abc'", 0, "1"},
        {"Name LIKE '%'", 0, "0,1,2,3,4,5"},
        {"Name LIKE 'a%f'", 0, "0"},
        {"Name like '%%%*'", 0, "3"},
        {"\xC3\xFB\xB3\xC6 LIKE '_\xCE\xC4'", 0, "0"},
        // IN.
        {"PID IN (1, 3, 5)", 0, "0,1,2,5"},
        {"PID in (9)", 0, "4"},
        {"Name IN ('ab', 'Xyz')", 0, "2,4"},
        {"Name IN ('x*', 'abcd*')", 0, "0"},
        {"Flag IN (False)", 0, "1,3,5"},
        {"DocCDate IN ('1/15/2005')", 0, "0,5"},
        // Booleans and NOT.
        {"Flag", 0, "0,2,4"},
        {"Flag = True", 0, "0,2,4"},
        {"Flag <> true", 0, "1,3,5"},
        {"NOT Flag", 0, "1,3,5"},
        {"NOT PID = 5", 0, "0,1,3,4"},
        {"True", 0, "0,1,2,3,4,5"},
        {"False", 0, ""},
        // A filter that is not Boolean passes non-zero values: 256 passes
        // although its first byte is zero.
        {"PID", 0, "0,1,2,3,4,5"},
        {"Small", 0, "0,1,3,4,5"},
        {"Name", 0, "0,1,2,3,4,5"},
        {"Txt", 0, "0,1,3,4,5"},
        {"Money", 0, "0,2,3,4,5"},
        // Numbers of every width.
        {"Small < 0", 0, "0"},
        {"Cnt = 65535", 0, "2"},
        {"Big > 4294967296", 0, "0"},
        {"Big = -1", 0, "1"},
        {"Money = 1.5", 0, "0"},
        {"Money > Price", 0, "3,4"},
        {"Money * 2 = 3", 0, "0"},
        {"Price / 2 = 0.25", 0, "2"},
        {"ID = 102", 0, "2"},
        {"PID = 5.0", 0, "2,5"},
        {"PID=-1+6", 0, "2,5"},
        {"PID-1=4", 0, "2,5"},
        {"1E1 = 10", 0, "0,1,2,3,4,5"},
        // Dates and times.
        {"DocCDate >= '1/15/2005'", 0, "0,2,4,5"},
        {"DocCDate >= '1/15/05'", 0, "0,2,4,5"},
        {"DocCDate = '01/15/2005'", 0, "0,5"},
        {"'1/15/2005' = DocCDate", 0, "0,5"},
        {"YEAR(DocCDate) = 2005", 0, "0,1,5"},
        {"MONTH(DocCDate) = 6 AND DAY(DocCDate) = 1", 0, "2"},
        {"DocCDate + 1 > GETDATE()", 0, "4"},
        {"DocCDate - '1/14/2005' = 1", 0, "0,5"},
        {"DocCDate - 1 = DocCDate - 1", 0, "0,1,2,3,4,5"},
        {"DocTime >= '8:00'", 0, "0,1,3"},
        {"DocTime = '8:00 AM'", 0, "0"},
        {"DocTime = '12:00 pm'", 0, "1"},
        {"DocTime = '12:00:00.0 AM'", 0, "2"},
        {"DocTime < '0:00:02'", 0, "2,4"},
        {"HOUR(DocTime) = 23 AND MINUTE(DocTime) = 59", 0, "3"},
        {"SECOND(Stamp) = 1", 0, "4"},
        {"HOUR(Stamp) = 12", 0, "1"},
        {"Stamp = '1/14/2005 12:00'", 0, "1"},
        {"Stamp >= '1/15/2005'", 0, "0,2,4,5"},
        {"DocCDate = Stamp", 0, "2"},
        {"DocCDate < Stamp", 0, "0,1,3,4,5"},
        {"DocTime + 1000 > DocTime", 0, "0,1,2,3,4,5"},
        {"DocCDate = DocTime", 0, ""},
        {"DocCDate <> DocTime", 0, "0,1,2,3,4,5"},
        {"DocCDate >= DocTime", 0, "0,1,2,3,4,5"},
        // String functions and constants.
        {"UPPER(Name) = 'ABC'", 0, "1,5"},
        {"LOWER(Name) = 'xyz'", 0, "4"},
        {"TRIM('  ab  ') = Name", 0, "2"},
        {"TRIMLEFT('  ab') + 'c' = Name", 0, "1"},
        {"TRIMRIGHT('ab  ') + 'c' = Name", 0, "1"},
        {"SUBSTRING(Name, 2, 2) = 'bc'", 0, "0,1,3"},
        {"Name + '!' = 'ab!'", 0, "2"},
        {"Txt = 'It''s'", 0, "1"},
        {"'a' < 'B'", 0, "0,1,2,3,4,5"},
    };
    for (const TPassCase& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(Passing(c.filter, c.options), c.passing);
    }
}

struct TErrorCase {
    std::string filter;
    std::string message;
};

TEST_F(FilterFixture, ParseErrorsCarryTheirMessages) {
    const TErrorCase cases[] = {
        {"[PID=5", "Unterminated field name"},
        {"Name = 'abc", "Unterminated string constant"},
        {"PID # 5", "Invalid filter expression character: '#'"},
        {"PID = 5 ;", "Invalid filter expression character: ';'"},
        {"/* x - PID=5", "Invalid filter expression character: ''"},
        {"/* x *PID=5", "Invalid filter expression character: 'P'"},
        {"/* a */ /* b */ PID=5", "Expression expected but '/' found"},
        {"PID IN 1", "'(' expected but '1' found"},
        {"PID IN (1, 2", "')' expected but nothing found"},
        {"PID IN (1 2)", "')' or ',' expected but '2' found"},
        {"PID IN ()", "IN predicate list may not be empty"},
        {"(PID = 5", "')' expected but nothing found"},
        {"UPPER(Name Name) = 'A'", "')' or ',' expected but 'Name' found"},
        {"PID = 5 AND", "Expression expected but nothing found"},
        {"PID = ", "Expression expected but nothing found"},
        {"PID = )", "Expression expected but ')' found"},
        {"", "Expression expected but nothing found"},
        {"PID = 5 PID", "Filter expression incorrectly terminated"},
        {"PID = 5 = 5", "Filter expression incorrectly terminated"},
        {"PID = 5)", "Filter expression incorrectly terminated"},
        {"NOT NOT Flag", "Field 'NOT' not found"},
        {"Nope = 1", "Field 'Nope' not found"},
        {"FOO(1) = 1", "Field 'FOO' not found"},
        {"GETDATE = 1", "Field 'GETDATE' not found"},
        {"PID = -", "'-' is not a valid floating point value"},
        {"PID = 5E", "'5E' is not a valid floating point value"},
        {"PID = 1e999", "'1e999' is not a valid floating point value"},
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(ParseError(c.filter), c.message);
        EXPECT_FALSE(parser.HasTree());
    }
}

TEST_F(FilterFixture, TypeRulesRejectMismatchedOperands) {
    const char* mismatched[] = {
        "PID = 'x'",
        "NOT PID",
        "PID AND Flag",
        "Flag OR 1",
        "Name = 5",
        "Flag > False",
        "Flag = 1",
        "PID LIKE 'a'",
        "Name LIKE 5",
        "PID IN (1, 'a')",
        "Flag IN (1)",
        "Name - 'a' = ''",
        "Name * 2 = 1",
        "Flag + 1 = 1",
        "DocCDate * 2 = 1",
        "DocCDate + DocCDate = 1",
        "DocCDate = 'tomorrow'",
        "DocCDate - 'x' = 1",
        "1 + DocCDate = 1",
        "UPPER(PID) = 'A'",
        "UPPER(Name, Name) = 'A'",
        "UPPER() = 'A'",
        "SUBSTRING(Name, PID, 1) = 'a'",
        "SUBSTRING(Name, 1) = 'a'",
        "SUBSTRING(Name, 1.5, 1) = 'a'",
        "YEAR(DocTime) = 1",
        "HOUR(DocCDate) = 1",
        "YEAR('1/1/2005') = 2005",
        "GETDATE(1) = 1",
        "DocCDate = PID",
    };
    for (const char* filter : mismatched) {
        SCOPED_TRACE(filter);
        EXPECT_EQ(ParseError(filter), "Type mismatch in expression");
    }
}

struct TValueCase {
    const char* expression;
    double expected;
};

// The value of a numeric expression on record 0 (PID 1, Small -3, Money 1.5).
TEST_F(FilterFixture, OperatorsBindAndAssociateAsTheGrammarSays) {
    const TValueCase cases[] = {
        {"2 + 3 * 4", 14},        {"(2 + 3) * 4", 20}, {"10 - 4 - 3", 3},    {"100 / 10 / 5", 2},
        {"2 * 3 / 4", 1.5},       {"12 / 4 * 3", 9},   {"1 - 2 + 3", 2},     {"PID-1", 0},
        {"PID - -1", 2},          {"(PID)-1", 0},      {"2*-3", -6},         {"Small*Small-Small", 12},
        {"1 + 2 * 3 - 4 / 2", 5}, {"7 / 2", 3.5},      {"Money * 2 + 1", 4},
    };
    src.SetCurrent(0);
    for (const TValueCase& c : cases) {
        SCOPED_TRACE(c.expression);
        parser.Parse(c.expression);
        const TExprValue& v = parser.EvaluateValue(0);
        const double got = v.type == ftFloat ? v.floatValue : static_cast<double>(v.intValue);
        EXPECT_DOUBLE_EQ(got, c.expected);
    }
    const TPassCase logical[] = {
        // AND binds tighter than OR; NOT takes one comparison.
        {"PID = 1 OR PID = 3 AND PID = 5", 0, "0"},
        {"(PID = 1 OR PID = 3) AND Flag", 0, "0"},
        {"NOT Flag AND PID = 5", 0, "5"},
        {"NOT (Flag AND PID = 5)", 0, "0,1,3,4,5"},
        {"Flag OR PID = 3 AND False", 0, "0,2,4"},
        {"PID = 1 OR PID = 3 OR PID = 9", 0, "0,1,4"},
        {"PID + 1 = 2 * 3", 0, "2,5"},
        {"Name + 'c' = 'ab' + 'c'", 0, "2"},
    };
    for (const TPassCase& c : logical) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(Passing(c.filter, c.options), c.passing);
    }
}

TEST_F(FilterFixture, TokenizerEdgeCases) {
    src.SetCurrent(0);
    // A constant keeps its first 256 characters; '' stands for one quote.
    parser.Parse("Txt = '" + std::string(300, 'b') + "'");
    EXPECT_EQ(parser.Nodes().Root()->right->value.text, std::string(256, 'b'));
    EXPECT_EQ(Passing("Txt = '" + std::string(300, 'a') + "'"), "4");  // 256 a's, not 300
    parser.Parse("Txt = 'It''s'");
    EXPECT_EQ(parser.Nodes().Root()->right->value.text, "It's");
    // Multi-byte characters count once: 256 two-byte characters are kept whole.
    std::string wide;
    for (int i = 0; i < 300; ++i)
        wide += "\xD6\xD0";
    parser.Parse("Txt = '" + wide + "'");
    EXPECT_EQ(parser.Nodes().Root()->right->value.text.size(), 512u);
    // A "]" byte inside a two-byte character does not end a bracketed name.
    EXPECT_EQ(ParseError("[\x81\x5D] = 1"), "Field '\x81\x5D' not found");
    // An embedded NUL ends the text.
    EXPECT_EQ(Passing(std::string("PID=5\0garbage", 13)), "2,5");
}

TEST_F(FilterFixture, CommaDecimalSeparatorGivesBackListCommas) {
    TDateTimeLocale locale = parser.DateTimeLocale();
    locale.decimalSeparator = ',';
    parser.SetDateTimeLocale(locale);
    EXPECT_EQ(Passing("PID IN (1, 3)"), "0,1");
    EXPECT_EQ(Passing("Money = 1,5"), "0");
    EXPECT_EQ(Passing("Money IN (1,5, 9,75)"), "0,4");
    EXPECT_EQ(ParseError("Money = 1.5"), "Invalid filter expression character: '.'");
}

TEST_F(FilterFixture, DivisionByZeroRaisesWhenEvaluated) {
    parser.Parse("PID / (PID - 1) > 0");
    src.SetCurrent(0);
    try {
        parser.Evaluate(0);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    src.SetCurrent(1);
    EXPECT_TRUE(parser.Evaluate(0));
}

TEST_F(FilterFixture, IntegerArithmeticWrapsInItsWidth) {
    src.SetCurrent(0);
    const struct {
        const char* expression;
        int64_t expected;
        TFieldType type;
    } cases[] = {
        {"2147483647 + 1", INT32_MIN, ftInteger},
        {"-2147483648 - 1", INT32_MAX, ftInteger},
        {"65536 * 65536", 0, ftInteger},
        {"Cnt + Cnt", 20, ftInteger},
        {"Small + Cnt", 7, ftInteger},
        {"Big + 1", 5000000001LL, ftLargeint},
        {"Big * Big * Big * Big", static_cast<int64_t>(5000000000ULL * 5000000000ULL * 5000000000ULL * 5000000000ULL),
         ftLargeint},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        parser.Parse(c.expression);
        const TExprValue& v = parser.EvaluateValue(0);
        EXPECT_EQ(v.type, c.type);
        EXPECT_EQ(v.intValue, c.expected);
    }
    parser.Parse("2147483648 + 1");  // not a 32-bit integer: a float constant
    EXPECT_EQ(parser.EvaluateValue(0).type, ftFloat);
    EXPECT_DOUBLE_EQ(parser.EvaluateValue(0).floatValue, 2147483649.0);
}

// Date and time arithmetic, including the pairings given a value here: every
// mix of date, time and date-time subtracts as milliseconds (ftFloat).
TEST_F(FilterFixture, DateArithmeticGivesDaysOrMilliseconds) {
    src.SetCurrent(0);  // 2005-01-15, 08:00
    const double day15 = DateTimeMs(2005, 1, 15);
    const struct {
        const char* expression;
        TFieldType type;
        double expected;
    } cases[] = {
        {"DocCDate + 1", ftDate, static_cast<double>(DayNumberFromCivil(2005, 1, 16))},
        {"DocCDate + 1.9", ftDate, static_cast<double>(DayNumberFromCivil(2005, 1, 16))},
        {"DocCDate - 15", ftInteger, static_cast<double>(DayNumberFromCivil(2004, 12, 31))},
        {"DocCDate - '1/1/2005'", ftInteger, 14},
        {"DocTime + 500", ftTime, 8 * 3600000 + 500},
        {"DocTime - '7:00'", ftInteger, 3600000},
        {"DocTime - 1.5", ftInteger, 8 * 3600000 - 1},
        {"Stamp + 1", ftDateTime, DateTimeMs(2005, 1, 16, 8 * 3600000)},
        {"Stamp - 2", ftFloat, DateTimeMs(2005, 1, 13, 8 * 3600000)},
        {"Stamp - DocCDate", ftFloat, 8 * 3600000},
        {"DocCDate - Stamp", ftFloat, -8 * 3600000},
        {"Stamp - DocTime", ftFloat, day15},
        {"DocCDate - DocTime", ftFloat, day15 - 8 * 3600000},
        {"DocTime - DocCDate", ftFloat, 8 * 3600000 - day15},
        {"DocTime - Stamp", ftFloat, -day15},
        {"'1/16/2005' - DocCDate", ftFloat, static_cast<double>(kMsPerDay)},
        {"Stamp - '1/15/2005 6:00'", ftFloat, 2 * 3600000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        parser.Parse(c.expression);
        const TExprValue& v = parser.EvaluateValue(0);
        EXPECT_EQ(v.type, c.type);
        const bool floating = v.type == ftFloat || v.type == ftDateTime;
        EXPECT_DOUBLE_EQ(floating ? v.floatValue : static_cast<double>(v.intValue), c.expected);
    }
}

TEST_F(FilterFixture, SubstringStaysInsideTheString) {
    src.SetCurrent(0);  // Name "abcdef"
    const struct {
        const char* expression;
        const char* expected;
    } cases[] = {
        {"SUBSTRING(Name, 1, 3)", "abc"},
        {"SUBSTRING(Name, 4, 100)", "def"},
        {"SUBSTRING(Name, 0, 2)", "a"},
        {"SUBSTRING(Name, -5, 7)", "a"},
        {"SUBSTRING(Name, -5, 2)", ""},
        {"SUBSTRING(Name, 7, 1)", ""},
        {"SUBSTRING(Name, 100, 5)", ""},
        {"SUBSTRING(Name, 2, 0)", ""},
        {"SUBSTRING(Name, 2, -1)", ""},
        {"SUBSTRING(Name, 2147483647, 2147483647)", ""},
        {"SUBSTRING(\xC3\xFB\xB3\xC6, 2, 1)", "\xCE\xC4"},
        {"UPPER('a\xC3\x61z')", "A\xC3\x61Z"},  // the trail byte 'a' stays as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        parser.Parse(c.expression);
        EXPECT_EQ(parser.EvaluateValue(0).text, c.expected);
    }
}

TEST_F(FilterFixture, NullFieldsNeverPass) {
    src.SetNull(1, name);
    src.SetNull(2, pid);
    EXPECT_EQ(Passing("Name = 'abc'"), "");
    EXPECT_EQ(Passing("Name <> 'zzz'"), "0,2,3,4,5");
    EXPECT_EQ(Passing("PID = 5 OR Flag"), "0,2,4,5");
    EXPECT_EQ(Passing("NOT (PID = 5)"), "0,1,3,4");
    EXPECT_EQ(Passing("PID IN (5, 3) AND NOT Flag"), "1,5");
    EXPECT_EQ(Passing("UPPER(Name) LIKE '%'"), "0,2,3,4,5");
}

TEST_F(FilterFixture, AndOrSkipTheRightSideWhenTheLeftDecides) {
    // The right side would divide by zero on every record.
    EXPECT_EQ(Passing("False AND PID / 0 = 1"), "");
    EXPECT_EQ(Passing("True OR PID / 0 = 1"), "0,1,2,3,4,5");
    parser.Parse("True AND PID / 0 = 1");
    src.SetCurrent(0);
    EXPECT_THROW(parser.Evaluate(0), EDatabaseError);
}

TEST_F(FilterFixture, GetDateIsFixedWhenParsed) {
    parser.Parse("GETDATE()");
    const double first = parser.EvaluateValue(0).floatValue;
    const TDateTimeParts now = CurrentLocalDateTime();
    EXPECT_NEAR(first, static_cast<double>(now.dayNumber * kMsPerDay + now.ms), 60000.0);
    EXPECT_EQ(parser.Nodes().Root()->kind, enConst);
    EXPECT_EQ(parser.EvaluateValue(0).floatValue, first);
}

TEST_F(FilterFixture, DeepNestingIsRefusedNotOverflowed) {
    EXPECT_EQ(ParseError(std::string(100000, '(')), "Filter expression nested too deeply");
    std::string chain = "PID";
    for (int i = 0; i < 5000; ++i)
        chain += "+1";
    EXPECT_EQ(ParseError(chain + " = 1"), "Filter expression nested too deeply");
    std::string fine = "PID";
    for (int i = 0; i < 200; ++i)
        fine += "+1";
    EXPECT_EQ(Passing(fine + " = 205"), "2,5");
}

}  // namespace
}  // namespace tomedb
