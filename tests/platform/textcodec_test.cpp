// GB18030 conversion, the text-file reading rule, cutting on character
// boundaries and the atomic file writer.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QByteArray B(const char* bytes, int size) { return QByteArray(bytes, size); }

struct TDecodeCase {
    const char* name;
    QByteArray bytes;
    QString expected;
};

TEST(DecodeTextFile, PicksTheEncodingByMarkAndContent) {
    const TDecodeCase cases[] = {
        {"GBK without mark", B("\xD6\xD0\xCE\xC4 ok", 7), U("中文 ok")},
        {"UTF-8 without mark", QByteArray("\xE4\xB8\xAD\xE6\x96\x87"), U("中文")},
        {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF\xE4\xB8\xAD"), U("中")},
        {"UTF-8 mark only", QByteArray("\xEF\xBB\xBF"), QString()},
        {"UTF-16LE with mark", B("\xFF\xFE\x2D\x4E\x41\x00", 6), U("中A")},
        {"UTF-16BE with mark", B("\xFE\xFF\x4E\x2D\x00\x41", 6), U("中A")},
        {"GB18030 with mark", B("\x84\x31\x95\x33\xD6\xD0", 6), U("中")},
        {"plain ASCII", QByteArray("abc\r\n"), U("abc\r\n")},
        {"empty", QByteArray(), QString()},
    };
    for (const TDecodeCase& c : cases)
        EXPECT_EQ(DecodeTextFile(c.bytes), c.expected) << c.name;
}

// The fast UTF-8 test must agree with Qt's decoder, which the rest of the
// application reads text with: well-formed and not plain ASCII.
TEST(IsUtf8Text, AgreesWithTheDecoder) {
    const QByteArray cases[] = {
        QByteArray("plain ascii text, longer than eight bytes"),
        QByteArray("\xE4\xB8\xAD\xE6\x96\x87 and more ascii after it"),
        QByteArray("\xC2\xA9"),
        QByteArray("\xF0\x9F\x98\x80"),
        QByteArray("\xF4\x8F\xBF\xBF"),
        QByteArray("\xC0\xAF"),          // overlong '/'
        QByteArray("\xE0\x80\xAF"),      // overlong
        QByteArray("\xED\xA0\x80"),      // surrogate
        QByteArray("\xF4\x90\x80\x80"),  // above U+10FFFF
        QByteArray("\xF5\x80\x80\x80"),
        QByteArray("\xFF"),
        QByteArray("abcdefg\xE4\xB8"),   // cut at the end
        QByteArray("\xD6\xD0\xCE\xC4"),  // GBK
        QByteArray("\x80 lone continuation"),
        QByteArray(),
    };
    for (const QByteArray& bytes : cases) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        const QString ignored = decoder.decode(bytes);
        bool nonAscii = false;
        for (char c : bytes)
            nonAscii = nonAscii || static_cast<unsigned char>(c) >= 0x80;
        const bool expected = nonAscii && !decoder.hasError();
        EXPECT_EQ(IsUtf8Text(std::string_view(bytes.constData(), bytes.size())), expected) << bytes.toHex().constData();
    }
}

TEST(DecodeTextFile, InvalidBytesKeepTheRestOfTheText) {
    // 0xFF is never valid in GB18030; a lone lead byte at the end neither.
    const QString text =
        DecodeTextFile(B("ab\xFF\xD6\xD0"
                         "cd\x81",
                         8));
    EXPECT_TRUE(text.startsWith(U("ab"))) << text.toStdString();
    EXPECT_TRUE(text.contains(U("中cd"))) << text.toStdString();
    // Invalid UTF-16 (odd length) does not crash either and keeps what precedes.
    EXPECT_TRUE(DecodeTextFile(B("\xFF\xFE\x41\x00\x42", 5)).startsWith(U("A")));
}

TEST(GB18030, CharactersOutsideGbkRoundTrip) {
    for (const QString& text : {U("中文abc"), U("€"), U("𠀀"), U("a𠀀b€c中"), QString()}) {
        const QByteArray bytes = ToGB(text);
        EXPECT_EQ(FromGB(bytes), text) << text.toStdString();
        EXPECT_EQ(GBLength(text), bytes.size());
    }
    EXPECT_EQ(ToGB(U("中")), QByteArray("\xD6\xD0"));  // same bytes as GBK
    EXPECT_EQ(ToGB(U("𠀀")).size(), 4);
}

// Plain ASCII takes a shorter way than the converter; the bytes and the text
// must be the converter's all the same, at the edge of ASCII too.
TEST(GB18030, AsciiAgreesWithTheConverter) {
    const QByteArray edge("\x00\x01\x7f", 3);
    for (const QString& text : {U("abc"), U("C:\\path/名"), QString::fromLatin1(edge), U("\x7f\u0080"), QString()}) {
        QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
        const QByteArray reference = encoder.encode(text);
        EXPECT_EQ(ToGB(text), reference) << text.toStdString();
        EXPECT_EQ(FromGB(reference), text) << text.toStdString();
    }
    for (const QByteArray& bytes : {edge, QByteArray("\x80"), QByteArray("a\xff")}) {
        QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
        EXPECT_EQ(FromGB(bytes), QString(decoder.decode(bytes))) << bytes.toHex().toStdString();
    }
}

// The converters are kept between calls: a call that ends inside a character
// (or on a lone surrogate) must leave nothing behind for the next one.
TEST(GB18030, NothingCarriesOverBetweenCalls) {
    for (const char* partial : {"\x81", "\xD6", "\x81\x30", "\x81\x30\x81"}) {
        FromGB(QByteArray(partial));
        EXPECT_EQ(FromGB(QByteArray("\xD6\xD0")), U("中")) << partial;
        EXPECT_EQ(FromGB(QByteArray("abc")), U("abc")) << partial;
    }
    const QString lowAlone(QChar(0xDC00));
    const QByteArray lowBytes = ToGB(lowAlone);
    ToGB(QString(QChar(0xD840)));  // a high surrogate with nothing after it
    EXPECT_EQ(ToGB(lowAlone), lowBytes);
    EXPECT_EQ(ToGB(U("中")), QByteArray("\xD6\xD0"));
}

// Every cut is a prefix made of whole characters and the longest that fits.
TEST(GB18030, CutNeverSplitsACharacter) {
    const QString text = U("a中𠀀b€文z");
    const QByteArray bytes = ToGB(text);
    for (int max = -1; max <= bytes.size() + 1; ++max) {
        const QByteArray cut = CutGB(bytes, max);
        ASSERT_LE(cut.size(), std::max(max, 0));
        ASSERT_TRUE(bytes.startsWith(cut));
        const QString decoded = FromGB(cut);
        ASSERT_TRUE(text.startsWith(decoded)) << max;
        ASSERT_EQ(CutToGBLength(text, max), decoded) << max;
        if (decoded.size() < text.size()) {
            const int nextWidth = text.at(decoded.size()).isHighSurrogate() ? 2 : 1;
            ASSERT_GT(GBLength(text.left(decoded.size() + nextWidth)), max) << max;
        }
    }
}

TEST(GB18030, CutOfDamagedBytesStaysInside) {
    const QByteArray junk = B("\x81\x30\xFF\x81", 4);
    for (int max = 0; max <= 5; ++max)
        EXPECT_LE(CutGB(junk, max).size(), max);
}

TEST(GB18030, LoneSurrogatesDoNotCrash) {
    const QString broken = QString(QChar(0xD800)) + QStringLiteral("a") + QChar(0xDC00);
    EXPECT_FALSE(ToGB(broken).isEmpty());
    EXPECT_LE(GBLength(CutToGBLength(broken, 2)), 2);
}

TEST(EncodeTextFile, WritesCrLfLineBreaks) {
    EXPECT_EQ(EncodeTextFile(U("a\nb\r\nc\rd\n\n中")), QByteArray("a\r\nb\r\nc\r\nd\r\n\r\n\xD6\xD0"));
}

class FileHelpers : public ::testing::Test {
protected:
    QString Path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QTemporaryDir m_dir;
};

TEST_F(FileHelpers, WriteAtomicReplacesAndKeepsMode) {
    const QString path = Path("a.txt");
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    ::chmod(QFile::encodeName(path).constData(), 0600);
    ASSERT_TRUE(WriteTextFile(path, U("新\n")));
    QString text;
    ASSERT_TRUE(ReadTextFile(path, &text));
    EXPECT_EQ(text, U("新\r\n"));
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
}

TEST_F(FileHelpers, FailuresReportAReason) {
    QString error;
    EXPECT_FALSE(WriteFileAtomic(Path("missing/a.txt"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    QString text;
    EXPECT_FALSE(ReadTextFile(Path("none.txt"), &text, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Stored text cut into pieces anywhere (inside a character, between CR and
// LF) comes out as EncodeTextFile of the whole.
TEST(GbTextFileEncoder, PiecesCutAnywhereGiveTheWholeEncoding) {
    const QByteArray stored = ToGB(U("ab\r\ncd\n中文\rx\r\r\n𠀀y\n")) + QByteArray(9, ' ');
    const QByteArray whole = EncodeTextFile(FromGB(stored));
    for (int size = 1; size <= stored.size(); ++size) {
        TGbTextFileEncoder encoder;
        QByteArray out;
        for (int at = 0; at < stored.size(); at += size)
            out += encoder.Add(stored.constData() + at,
                               static_cast<size_t>(std::min<qsizetype>(size, stored.size() - at)));
        out += encoder.Finish();
        EXPECT_EQ(out, whole) << "pieces of " << size;
    }
}

}  // namespace
