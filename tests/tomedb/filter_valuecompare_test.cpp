// The typed-value comparison shared by filters and index searches: stored
// forms of every type, partial text keys, and agreement with the filter's
// "=" and "<" on the same values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tomedb/filter/FilterParser.h"
#include "tomedb/filter/MemoryRecordSource.h"
#include "tomedb/filter/ValueCompare.h"

namespace tomedb {
namespace {

template <typename T>
std::string Bytes(T value) {
    std::string out(sizeof(T), '\0');
    std::memcpy(out.data(), &value, sizeof(T));
    return out;
}

int Stored(TFieldType type, const std::string& left, const std::string& right, bool ci = false, bool partial = false) {
    return CompareStoredValues(type, left.data(), left.size(), right.data(), right.size(), ci, partial);
}

struct TStoredCase {
    const char* what;
    TFieldType type;
    std::string left, right;
    int expected;
};

TEST(FilterValueCompare, StoredFormsCompareByValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TStoredCase cases[] = {
        {"smallint", ftSmallint, Bytes<int16_t>(-2), Bytes<int16_t>(1), -1},
        {"word is unsigned", ftWord, Bytes<uint16_t>(65535), Bytes<uint16_t>(1), 1},
        {"integer", ftInteger, Bytes<int32_t>(7), Bytes<int32_t>(7), 0},
        {"autoinc", ftAutoInc, Bytes<int32_t>(-1), Bytes<int32_t>(0), -1},
        {"largeint exactly", ftLargeint, Bytes<int64_t>(INT64_MAX), Bytes<int64_t>(INT64_MAX - 1), 1},
        {"float", ftFloat, Bytes(1.5), Bytes(1.25), 1},
        {"currency", ftCurrency, Bytes(-0.0), Bytes(0.0), 0},
        {"NaN equals NaN", ftFloat, Bytes(nan), Bytes(nan), 0},
        {"NaN below numbers", ftFloat, Bytes(nan), Bytes(-1e300), -1},
        {"boolean any non-zero is true", ftBoolean, Bytes<uint16_t>(256), Bytes<uint16_t>(1), 0},
        {"false before true", ftBoolean, Bytes<uint16_t>(0), Bytes<uint16_t>(1), -1},
        {"date", ftDate, Bytes<int32_t>(693594), Bytes<int32_t>(693595), -1},
        {"time", ftTime, Bytes<int32_t>(1000), Bytes<int32_t>(999), 1},
        {"date-time", ftDateTime, Bytes(1e10), Bytes(1e10), 0},
        {"short slot reads as zero-padded", ftInteger, std::string("\x05", 1), Bytes<int32_t>(5), 0},
        {"text stops at NUL", ftString, std::string("abc\0zzz", 7), std::string("abc\0aaa", 7), 0},
        {"text collates", ftString, "apple", "Banana", -1},
        {"fixed char", ftFixedChar, "b", "a", 1},
        {"memo", ftMemo, "same", "same", 0},
        {"empty before text", ftString, "", "a", -1},
    };
    for (const TStoredCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Stored(c.type, c.left, c.right), c.expected);
        EXPECT_EQ(Stored(c.type, c.right, c.left), -c.expected);
    }
}

TEST(FilterValueCompare, CaseAndPartialTextKeys) {
    EXPECT_NE(Stored(ftString, "abc", "ABC"), 0);
    EXPECT_EQ(Stored(ftString, "abc", "ABC", true), 0);
    // A partial key compares over its own length.
    EXPECT_EQ(Stored(ftString, "ab", "abc", false, true), 0);
    EXPECT_EQ(Stored(ftString, "AB", "abc", true, true), 0);
    EXPECT_EQ(Stored(ftString, "abd", "abc", false, true), 1);
    EXPECT_EQ(Stored(ftString, "ab", "a", false, true), 1);  // the shorter stored text is less
    EXPECT_NE(Stored(ftString, "ab", "abc", false, false), 0);
    // Partial lengths count characters: the key "中" matches "中文", not a half byte.
    EXPECT_EQ(Stored(ftString, "\xD6\xD0", "\xD6\xD0\xCE\xC4", false, true), 0);
    EXPECT_NE(Stored(ftString, "\xD6\xD0", "\xD6\xD1\xCE\xC4", false, true), 0);
    // Numbers ignore the flags.
    EXPECT_EQ(Stored(ftInteger, Bytes<int32_t>(5), Bytes<int32_t>(55), true, true), -1);
}

TEST(FilterValueCompare, TypedValuesAcrossTypes) {
    const auto value = [](TFieldType t, int64_t i, double f = 0) {
        TCompareValue v;
        v.type = t;
        v.intValue = i;
        v.floatValue = f;
        return v;
    };
    const int64_t day = 732000;
    EXPECT_EQ(CompareTypedValues(value(ftInteger, 3), value(ftFloat, 0, 2.5), false), TCompareOutcome::Greater);
    EXPECT_EQ(CompareTypedValues(value(ftLargeint, (1LL << 53) + 1), value(ftLargeint, 1LL << 53), false),
              TCompareOutcome::Greater);
    EXPECT_EQ(CompareTypedValues(value(ftDate, day), value(ftDateTime, 0, day * 86400000.0), false),
              TCompareOutcome::Equal);
    EXPECT_EQ(CompareTypedValues(value(ftDate, day), value(ftDateTime, 0, day * 86400000.0 + 1), false),
              TCompareOutcome::Less);
    EXPECT_EQ(CompareTypedValues(value(ftDate, day), value(ftTime, 0), false), TCompareOutcome::Unordered);
    EXPECT_EQ(CompareTypedValues(value(ftTime, 5), value(ftDateTime, 0, 5), false), TCompareOutcome::Unordered);
    EXPECT_EQ(CompareTypedValues(value(ftBoolean, 1), value(ftInteger, 1), false), TCompareOutcome::Unordered);
}

// Index searches and filters must agree: for every pair of texts, the stored
// comparison is 0 exactly when "Name = '<b>'" passes a record holding a, and
// -1 exactly when "Name < '<b>'" passes it.
TEST(FilterValueCompare, AgreesWithFilterOperators) {
    const std::vector<std::string> texts = {"",         "a",        "A",
                                            "ab",       "abc",      "ABC",
                                            "b",        "B",        "z",
                                            "10",       "9",        "a b",
                                            "a-b",      "\xD6\xD0", "\xD6\xD0\xCE\xC4",
                                            "\xCE\xC4", "\xB0\xA1", "\x81\x30\x81\x30",
                                            "It's",     "\xE9\x61"};
    TMemoryRecordSource src;
    const int name = src.AddField("Name", ftString, 40);
    for (const std::string& t : texts)
        src.SetText(src.AddRecord(), name, t);
    TFilterParser parser(&src);
    for (const bool ci : {false, true}) {
        const TFilterOptions options = ci ? TFilterOptions{foCaseInsensitive} : TFilterOptions{0};
        for (const std::string& b : texts) {
            std::string quoted;
            for (char c : b)
                quoted += c == '\'' ? std::string("''") : std::string(1, c);
            for (const char* op : {"=", "<", ">"}) {
                parser.Parse(std::string("Name ") + op + " '" + quoted + "'");
                for (size_t r = 0; r < texts.size(); ++r) {
                    SCOPED_TRACE(texts[r] + " " + op + " " + b + (ci ? " (ci)" : ""));
                    src.SetCurrent(r);
                    const int c = CompareText(texts[r], b, ci);
                    const int expected = *op == '=' ? 0 : (*op == '<' ? -1 : 1);
                    EXPECT_EQ(parser.Evaluate(options), c == expected);
                    EXPECT_EQ(Stored(ftString, texts[r] + '\0', b + '\0', ci), c);
                }
            }
        }
    }
}

TEST(FilterValueCompare, TextOrderIsConsistent) {
    const std::vector<std::string> texts = {"", "a", "A", "ab", "B", "\xD6\xD0", "\xCE\xC4", "1", "\x80"};
    for (const bool ci : {false, true}) {
        for (const auto& a : texts) {
            for (const auto& b : texts) {
                SCOPED_TRACE(a + " vs " + b);
                EXPECT_EQ(CompareText(a, b, ci), -CompareText(b, a, ci));
                for (const auto& c : texts) {
                    if (CompareText(a, b, ci) <= 0 && CompareText(b, c, ci) <= 0) {
                        EXPECT_LE(CompareText(a, c, ci), 0);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tomedb
