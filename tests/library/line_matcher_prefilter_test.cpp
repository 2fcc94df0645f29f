// The byte prefilter of a search: TByteKey finds its bytes exactly or with
// ASCII letters in either case, and keying stored text on it never changes
// what a search finds.
#include "library/LibrarySearchText.h"
#include "library/LineMatcher.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ByteKey, FindsItsBytesExactlyOrIgnoringAsciiCase) {
    const struct {
        const char* key;
        bool ignoreCase;
        std::string text;
        int at;  // -1: not found
    } cases[] = {
        {"word", false, "a word", 2},
        {"word", false, "a WORD", -1},
        {"word", true, "a WORD", 2},
        {"word", true, "WoRd at the start", 0},
        {"word", true, "at the end: wORD", 12},
        {"word", true, "wor", -1},
        {"word", true, "", -1},
        {"aaab", true, "aaaaAAAB", 4},
        {"hello world", true, "say HELLO World!", 4},
        // Only ASCII letters fold: bytes 0x20 apart that are not letters differ.
        {"@[", true, "`{", -1},
        {"\xA3\xC1", true, "\xA3\xE1", -1},
        {"a\xA3\xC1", true, "A\xA3\xC1", 0},
        {"x1", true, std::string("\0X1", 3), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " in " << c.text);
        const TByteKey key(QByteArray(c.key), c.ignoreCase);
        const char* found = key.FindIn(c.text.data(), c.text.data() + c.text.size());
        EXPECT_EQ(found ? int(found - c.text.data()) : -1, c.at);
    }
    const std::string text = "abc";
    EXPECT_EQ(TByteKey().FindIn(text.data(), text.data() + 3), text.data());  // no key: no filter
}

// An exact key is found first wherever it stands, in texts of every length
// around the 32-byte steps of the wide search, among near misses that share
// its first or last byte.
TEST(ByteKey, ExactKeyIsFoundFirstAtEveryPlace) {
    for (const std::string key : {"\xD1\xA9\xCF\xDF", "ab", "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH"}) {
        for (size_t length = 0; length <= 100; ++length) {
            std::string text(length, '\0');
            for (size_t i = 0; i < length; ++i)
                text[i] = i % 3 == 0 ? key.front() : i % 3 == 1 ? key.back() : char('0' + i % 7);
            const auto first = [&](const std::string& t) {
                const size_t at = t.find(key);
                return at == std::string::npos ? -1 : int(at);
            };
            const TByteKey byteKey(QByteArray::fromStdString(key), false);
            const auto found = [&](const std::string& t) {
                const char* at = byteKey.FindIn(t.data(), t.data() + t.size());
                return at ? int(at - t.data()) : -1;
            };
            SCOPED_TRACE(testing::Message() << key.size() << "-byte key, " << length << " bytes");
            EXPECT_EQ(found(text), first(text));
            for (size_t at = 0; at + key.size() <= length; ++at) {
                std::string planted = text;
                planted.replace(at, key.size(), key);
                EXPECT_EQ(found(planted), first(planted)) << "planted at " << at;
            }
        }
    }
}

// Hits of a stored text found line by line on the decoded text, no prefilter.
std::vector<std::string> PlainHits(const TLineMatcher& matcher, const QString& text) {
    std::vector<std::string> hits;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        std::vector<TTextSpan> spans;
        matcher.FindIn(line, spans);
        for (const TTextSpan& span : spans)
            hits.push_back(std::to_string(i + 1) + ":" + std::to_string(span.Start));
    }
    return hits;
}

std::vector<std::string> StoredHits(const TLineMatcher& matcher, const QString& text) {
    std::vector<std::string> hits;
    const std::string stored = ToGB(text).toStdString();
    librarysearch::FindInStored(matcher, stored, [&](int line, QStringView, const TTextSpan& span) {
        hits.push_back(std::to_string(line) + ":" + std::to_string(span.Start));
    });
    return hits;
}

// Characters whose second GB18030 byte is an ASCII letter ("W", "O", "R",
// "D"): the prefilter sees the letters, the search must not.
QString TrailLetters() { return FromGB(QByteArray("\xD6\x57\xD6\x4F\xD6\x52\xD6\x44")); }

TEST(ByteKey, KeyingOnItNeverChangesTheHits) {
    const QString texts[] = {
        QStringLiteral("Hello World\r\nhello world\nHELLO WORLD 你好"),
        QStringLiteral("第一行\n林黛玉 Word 与 ｗｏｒｄ 和 ＷＯＲＤ\r\nword，WORD。"),
        TrailLetters() + QStringLiteral("\nw") + TrailLetters() + QStringLiteral("ord\nxWORDx"),
        QStringLiteral("a\n\nA\r\n") + QString(3000, u'a') + QStringLiteral("B\n"),
        QStringLiteral("\U00020000Word\U00020000\nNothing here"),
    };
    const struct {
        const char* pattern;
        bool caseSensitive;
    } patterns[] = {
        {"word", false},     {"WORD", true},   {"hello world", false}, {"Hello World", true},
        {"ｗｏｒｄ", false}, {"ｗord", false}, {"黛玉 word", false},   {"aB", false},
        {"a", false},        {"你好", false},  {"o W", false},         {"\U00020000w", false},
    };
    for (const auto& p : patterns) {
        const TLineMatcher matcher(QString::fromUtf8(p.pattern), false, p.caseSensitive);
        for (const QString& text : texts) {
            SCOPED_TRACE(testing::Message() << p.pattern << " in " << text.left(40).toStdString());
            EXPECT_EQ(StoredHits(matcher, text), PlainHits(matcher, text));
        }
    }
}

}  // namespace
