// TPinyinSpell: full pinyin and initials of GB18030 text, the per-character
// readings of the code table and of the rule rows, and the caches.
#include "platform/TextCodec.h"
#include "tools/pinyin/PinyinSpell.h"
#include "tools/pinyin/PinyinText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string GB(const char* utf8) { return ToGB(QString::fromUtf8(utf8)).toStdString(); }

std::string ReadingOf(const std::string& bytes) {
    return std::string(TPinyinSpell::CharReading(bytes.data(), bytes.size()));
}

struct TextCase {
    const char* name;
    std::string gbText;
    const char* spell;
    const char* head;
};

class PinyinText : public testing::TestWithParam<TextCase> {};

TEST_P(PinyinText, SpellAndHead) {
    const TextCase& c = GetParam();
    EXPECT_EQ(TPinyinSpell::GetHzSpell(c.gbText), c.spell);
    EXPECT_EQ(TPinyinSpell::GetPyHead(c.gbText), c.head);
    const TPinyinSpell spell(c.gbText);
    EXPECT_EQ(spell.HzSpell(), c.spell);
    EXPECT_EQ(spell.PyHead(), c.head);
}

INSTANTIATE_TEST_SUITE_P(Texts, PinyinText,
                         testing::Values(TextCase{"Empty", "", "", ""},
                                         TextCase{"TwoCharacters", GB("中文"), "zhong wen", "zw"},
                                         TextCase{"LetterBetween", GB("中a文"), "zhong a wen", "zaw"},
                                         TextCase{"SpaceDropped", GB("中 文"), "zhong wen", "zw"},
                                         TextCase{"FourCharacters", GB("中文书家"), "zhong wen shu jia", "zwsj"},
                                         TextCase{"NumberedSymbol", GB("⑿"), "12", "1"},
                                         TextCase{"Letters", "ABC", "A B C", "ABC"},
                                         TextCase{"FullWidthCommaAndFullStop", GB("中，文。"), "zhong wen", "zw"},
                                         TextCase{"LineBreaksDropped", GB("中\r\n文\n"), "zhong wen", "zw"},
                                         TextCase{"OnlyUnreadable", GB("，。 \r\n"), "", ""},
                                         TextCase{"FullWidthRow", GB("（Ａｂ１）"), "( A b 1 )", "(Ab1)"},
                                         TextCase{"GreekRow", GB("αΩθ"), "a o th", "aot"},
                                         TextCase{"UnitCharacter", GB("瓩兛"), "qianwa qianke", "qq"},
                                         TextCase{"LoneLeadByteAtEnd", GB("中") + "\xB0", "zhong", "z"},
                                         TextCase{"OnlyLoneLeadByte", "\xD6", "", ""},
                                         // A byte above 0x80 takes the next byte with it even when that one is
                                         // not a trail byte: "\x81" + "0" is one unreadable character.
                                         TextCase{"LeadBeforeDigit",
                                                  "\x81"
                                                  "0AB",
                                                  "A B", "AB"},
                                         TextCase{"FourByteCharacterHasNoReading", GB("中😀文"), "zhong wen", "zw"},
                                         // 0xFF is outside the tables; these must not read past them.
                                         TextCase{"LastRowTrailFF",
                                                  "\xFE\xFF"
                                                  "a",
                                                  "a", "a"},
                                         TextCase{"LeadFF",
                                                  "\xFF\xFE\xFF\xFF"
                                                  "b",
                                                  "b", "b"},
                                         TextCase{"NumberedRowTrailFF", "\xA2\xFF", "", ""}),
                         [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

struct CodeCase {
    const char* bytes;
    const char* reading;
};

TEST(PinyinCharReading, ListedCharacters) {
    const CodeCase cases[] = {
        {"\xB0\xA1", "a"},   {"\xBC\xD2", "jia"}, {"\xC9\xBD", "shan"},  {"\xCA\xE9", "shu"},
        {"\xCE\xC4", "wen"}, {"\xD2\xBB", "yi"},  {"\xD6\xD0", "zhong"}, {"\xD7\xF7", "zuo"},
    };
    for (const CodeCase& c : cases)
        EXPECT_EQ(ReadingOf(c.bytes), c.reading) << c.reading;
}

TEST(PinyinCharReading, CommonReadingOfPolyphones) {
    const CodeCase cases[] = {
        {"了", "le"}, {"行", "xing"}, {"长", "chang"}, {"重", "zhong"}, {"的", "de"}, {"还", "hai"}, {"着", "zhe"},
        {"地", "di"}, {"和", "he"},   {"都", "dou"},   {"咳", "ke"},    {"仔", "zi"}, {"栅", "zha"}, {"簿", "bu"},
    };
    for (const CodeCase& c : cases)
        EXPECT_EQ(ReadingOf(GB(c.bytes)), c.reading) << c.bytes;
}

TEST(PinyinCharReading, UmlautSpeltV) {
    const CodeCase cases[] = {{"女", "nv"}, {"绿", "lv"}, {"虐", "nve"}, {"略", "lve"}};
    for (const CodeCase& c : cases)
        EXPECT_EQ(ReadingOf(GB(c.bytes)), c.reading) << c.bytes;
}

TEST(PinyinCharReading, UnitCharactersReadAsTwoSyllables) {
    const CodeCase cases[] = {
        {"瓩", "qianwa"}, {"兛", "qianke"}, {"兡", "baike"},  {"瓸", "baiwa"}, {"兙", "shike"},
        {"瓧", "shiwa"},  {"兣", "gongli"}, {"嗧", "jialun"}, {"瓰", "fenwa"},
    };
    for (const CodeCase& c : cases)
        EXPECT_EQ(ReadingOf(GB(c.bytes)), c.reading) << c.bytes;
}

// Row 0xA2: each run of numbered symbols counts from "1"; the gaps between
// runs and the codes below 0xA1 have no reading.
TEST(PinyinCharReading, NumberedSymbolRow) {
    const CodeCase cases[] = {
        {"ⅰ", "1"}, {"ⅹ", "10"}, {"⒈", "1"},  {"⒛", "20"},  {"⑴", "1"}, {"⒇", "20"},
        {"①", "1"}, {"⑩", "10"}, {"㈠", "1"}, {"㈩", "10"}, {"Ⅰ", "1"}, {"Ⅻ", "12"},
    };
    for (const CodeCase& c : cases)
        EXPECT_EQ(ReadingOf(GB(c.bytes)), c.reading) << c.bytes;
    for (const char* gap : {"\xA2\xAB", "\xA2\xB0", "\xA2\xE3", "\xA2\xE4", "\xA2\xEF", "\xA2\xF0", "\xA2\xFD",
                            "\xA2\xFE", "\xA2\xA0", "\xA2\x40"})
        EXPECT_EQ(ReadingOf(gap), "") << std::hex << static_cast<int>(static_cast<unsigned char>(gap[1]));
}

TEST(PinyinCharReading, FullWidthRowKeepsBracketsDigitsAndLetters) {
    const CodeCase cases[] = {
        {"（", "("}, {"）", ")"}, {"０", "0"}, {"９", "9"}, {"Ａ", "A"}, {"Ｚ", "Z"},
        {"［", "["}, {"］", "]"}, {"ａ", "a"}, {"ｚ", "z"}, {"，", ""},  {"！", ""},
        {"＼", ""},  {"｛", ""},  {"＿", ""},  {"．", ""},  {"：", ""},
    };
    for (const CodeCase& c : cases)
        EXPECT_EQ(ReadingOf(GB(c.bytes)), c.reading) << c.bytes;
}

TEST(PinyinCharReading, GreekRow) {
    const char* names[] = {"a", "b", "g", "d", "e", "z", "e", "th", "i",  "k",  "l",  "m",
                           "n", "x", "o", "p", "r", "s", "t", "u",  "ph", "kh", "ps", "o"};
    for (int i = 0; i < 24; ++i) {
        const char capital[] = {'\xA6', static_cast<char>(0xA1 + i), 0};
        const char small[] = {'\xA6', static_cast<char>(0xC1 + i), 0};
        EXPECT_EQ(ReadingOf(capital), names[i]) << i;
        EXPECT_EQ(ReadingOf(small), names[i]) << i;
    }
    for (const char* none : {"\xA6\xA0", "\xA6\xB9", "\xA6\xC0", "\xA6\xD9", "\xA6\xFE"})
        EXPECT_EQ(ReadingOf(none), "");
}

TEST(PinyinCharReading, OnlyListedSingleBytesAreKept) {
    const std::string kept = "!\"#$%&()*+-.0123456789:<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^abcdefghijklmnopqrstuvwxyz";
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const bool isKept = byte < 0x80 && kept.find(c) != std::string::npos;
        EXPECT_EQ(TPinyinSpell::CharReading(&c, 1), isKept ? std::string(1, c) : std::string()) << "byte " << byte;
    }
}

TEST(PinyinCharReading, EmptyInputHasNoReading) {
    EXPECT_EQ(TPinyinSpell::CharReading(nullptr, 0), "");
    EXPECT_EQ(TPinyinSpell::CharReading("A", 0), "");
}

TEST(PinyinSpellCache, WritingHzTextRecomputesBothProperties) {
    TPinyinSpell spell(GB("中文"));
    ASSERT_EQ(spell.HzSpell(), "zhong wen");
    ASSERT_EQ(spell.PyHead(), "zw");
    spell.SetHzText(GB("书家"));
    EXPECT_EQ(spell.HzText(), GB("书家"));
    EXPECT_EQ(spell.HzSpell(), "shu jia");
    EXPECT_EQ(spell.PyHead(), "sj");
    spell.SetHzText(std::string());
    EXPECT_EQ(spell.HzSpell(), "");
    EXPECT_EQ(spell.PyHead(), "");
}

TEST(PinyinQString, ConvertsThroughGB18030) {
    EXPECT_EQ(PinyinSpellOf(QStringLiteral("中文书家")), QStringLiteral("zhong wen shu jia"));
    EXPECT_EQ(PinyinHeadOf(QStringLiteral("中文书家")), QStringLiteral("zwsj"));
    EXPECT_EQ(PinyinSpellOf(QString()), QString());
}

}  // namespace
