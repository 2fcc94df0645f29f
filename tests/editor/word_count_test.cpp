// Counting of English words and Chinese characters, as a table of cases.
#include "editor/WordCount.h"

#include <gtest/gtest.h>

namespace {

struct TCountCase {
    const char* name;
    const char16_t* text;
    int english;
    int chinese;
};

const TCountCase kCases[] = {
    {"empty", u"", 0, 0},
    {"chinese_then_english", u"你好，world", 1, 3},
    // The scan skips apostrophes and the digit: "It's" and "o'clock" are
    // words, the lone "9" holds no letter and is none.
    {"apostrophes_and_digit_skipped", u"It's 9 o'clock", 2, 0},
    {"punctuation_does_not_split", u"hello,world", 1, 0},
    {"letters_with_digits", u"a1 b2", 2, 0},
    {"digits_only", u"123 456", 0, 0},
    {"tab_does_not_split", u"x\ty", 1, 0},
    {"all_line_breaks_split", u"one\r\ntwo\nthree\rfour", 4, 0},
    {"blanks_only", u"   \r\n ", 0, 0},
    // 說 語 統 讀 end in the GBK bytes 'f', 'Z', 'y', 'x': no words from them.
    {"traditional_trail_bytes_are_not_letters", u"說語統讀", 0, 4},
    {"traditional_between_words", u"說 a 語", 1, 2},
    {"chinese_inside_word_neither_ends_nor_extends", u"ab中cd", 1, 1},
    {"full_width_punctuation_counts", u"“你”。！", 0, 5},
    {"outside_bmp_counts_once", u"\U00020000x", 1, 1},
    {"latin_with_accent_is_not_ascii", u"café", 1, 1},
    {"trailing_word_counted", u"end", 1, 0},
    {"document_separators_are_line_breaks", u"one\u2029two\u2028三", 2, 1},
    {"paragraph_indent_not_counted", u"\u3000\u3000甲\r\n \u3000\t\u3000乙\u2029\u3000丙", 0, 3},
    {"ideographic_space_inside_a_line_counts", u"甲\u3000乙\u3000", 0, 4},
    {"indent_only_line_counts_nothing", u"\u3000\u3000\n\u3000", 0, 0},
};

class WordCountTable : public testing::TestWithParam<TCountCase> {};

TEST_P(WordCountTable, CountsEnglishWordsAndChineseCharacters) {
    const TCountCase& c = GetParam();
    const QString text = QString::fromUtf16(c.text);
    const TWordCount count = CountWordsIn(text);
    EXPECT_EQ(count.English, c.english);
    EXPECT_EQ(count.Chinese, c.chinese);
    EXPECT_EQ(CountEnglishWordsIn(text), c.english);
    EXPECT_EQ(CountChineseCharsIn(text), c.chinese);
}

INSTANTIATE_TEST_SUITE_P(Cases, WordCountTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TCountCase>& info) { return std::string(info.param.name); });

}  // namespace
