// The editor's rich-text form: what it writes reads back as the same text,
// and RTF from elsewhere yields its plain text.
#include "editor/RtfText.h"

#include <gtest/gtest.h>

namespace {

TEST(RtfText, RoundTripKeepsTextExactly) {
    const QString cases[] = {
        QString(),
        QStringLiteral("plain"),
        QStringLiteral("中文，English\n第二行\t制表"),
        QStringLiteral("braces {} and back\\slash"),
        QString::fromUtf16(u"outside GBK: \U00020000 € ✓"),
        QStringLiteral("ends with a break\n"),
        QStringLiteral("\n\nblank lines\n\n"),
    };
    QFont font(QStringLiteral("Noto Sans CJK SC"), 12);
    for (const QString& text : cases) {
        const std::optional<QString> back = ReadRtfText(WriteRtfText(text, font));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, text) << text.toStdString();
    }
}

TEST(RtfText, CrLfIsOneParagraphBreak) {
    const std::optional<QString> back = ReadRtfText(WriteRtfText(QStringLiteral("a\r\nb"), QFont()));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, QStringLiteral("a\nb"));
}

TEST(RtfText, ReadsForeignRtfSkippingTablesAndFormatting) {
    // \'c4\'e3\'ba\'c3 is 你好 in code page 936.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 SimSun;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\*\\generator Some Writer;}\\pard\\b bold\\b0  \\'c4\\'e3\\'ba\\'c3\\par\r\n"
        "\\u20320?\\u22909? end\\line x\\tab y}";
    const std::optional<QString> text = ReadRtfText(rtf);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, QStringLiteral("bold 你好\n你好 end\nx\ty"));
}

TEST(RtfText, RejectsWhatIsNotRtf) {
    EXPECT_FALSE(ReadRtfText("plain text").has_value());
    EXPECT_FALSE(ReadRtfText(QByteArray()).has_value());
}

TEST(RtfText, TruncatedStreamDoesNotCrash) {
    const QByteArray full = WriteRtfText(QStringLiteral("中文 text {x}"), QFont());
    for (qsizetype n = 5; n < full.size(); ++n)
        (void)ReadRtfText(full.left(n));
    (void)ReadRtfText("{\\rtf1 \\'");
    (void)ReadRtfText("{\\rtf1 \\u-");
    (void)ReadRtfText("{\\rtf1 }}}}\\");
}

}  // namespace
