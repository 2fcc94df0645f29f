// Config.ini: defaults, letter case of sections and keys, bad values, what a
// rewrite keeps, and damaged or unwritable files.
#include "settings/IniConfig.h"

#include "platform/AppPaths.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace {

class IniConfig : public ::testing::Test {
protected:
    QString FileName() const { return m_dir.filePath(QStringLiteral("Config.ini")); }
    void WriteFile(const QByteArray& bytes) {
        QFile file(FileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray FileBytes() const {
        QFile file(FileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir m_dir;
    TqlvIniConfig m_ini{FileName()};
};

TEST_F(IniConfig, LivesInTheApplicationFolder) {
    EXPECT_EQ(TqlvIniConfig().FileName(), AppPath() + QStringLiteral("Config.ini"));
}

TEST_F(IniConfig, MissingFileGivesDefaults) {
    EXPECT_EQ(m_ini.ReadLayout(), TWindowLayout{});
    const TWindowLayout layout = m_ini.ReadLayout();
    EXPECT_EQ(layout.Left, 300);
    EXPECT_EQ(layout.Top, 200);
    EXPECT_EQ(layout.Width, 600);
    EXPECT_EQ(layout.Height, 400);
    EXPECT_EQ(layout.ChanelWidth, 240);
    EXPECT_EQ(layout.SpDoc, 120);
    EXPECT_EQ(m_ini.ReadStyle(), 2);
    EXPECT_EQ(m_ini.ReadTheme(), QString());
    EXPECT_FALSE(QFile::exists(FileName()));  // reading creates nothing
}

TEST_F(IniConfig, ValuesAndTheirFallbacks) {
    WriteFile(
        "[config]\r\nSPDOC = 90\r\nwidth=abc\r\nHeight=12x\r\nTop=-20\r\nLEFT=\r\n"
        "sppic=\"75\"\r\n[SKIN]\r\ng_style=9\r\n");
    const TWindowLayout layout = m_ini.ReadLayout();
    EXPECT_EQ(layout.SpDoc, 90);
    EXPECT_EQ(layout.Width, 600);
    EXPECT_EQ(layout.Height, 400);
    EXPECT_EQ(layout.Top, -20);
    EXPECT_EQ(layout.Left, 300);
    EXPECT_EQ(layout.SpPic, 75);
    EXPECT_EQ(m_ini.ReadStyle(), 9);  // start-up decides what 9 means
}

TEST_F(IniConfig, WriteLayoutThenReadBack) {
    WriteFile("[Config]\r\nSPDOC=90\r\nSPPIC=80\r\n");
    const TWindowLayout layout{1, 2, 3, 4, 5, 6, 7, 8};
    m_ini.WriteLayout(layout);
    EXPECT_EQ(m_ini.ReadLayout(), layout);
    EXPECT_EQ(TqlvIniConfig(FileName()).ReadLayout(), layout);
    EXPECT_EQ(FileBytes(), QByteArray("[Config]\r\nSpDoc=6\r\nSpPic=7\r\nTop=1\r\nLeft=3\r\nHeight=4\r\n"
                                      "Width=2\r\nChanelWidth=5\r\nSPFile=8\r\n"));
}

TEST_F(IniConfig, NewFileHoldsTheKeysInWriteOrder) {
    m_ini.WriteLayout(TWindowLayout{});
    m_ini.WriteSkin(3, QStringLiteral("/主题/蓝色.sui"));
    QByteArray expected(
        "[Config]\r\nTop=200\r\nLeft=300\r\nHeight=400\r\nWidth=600\r\nChanelWidth=240\r\n"
        "SpDoc=120\r\nSpPic=120\r\nSPFile=120\r\n[Skin]\r\ng_Style=3\r\ng_Theme=");
    expected += ToGB(QStringLiteral("/主题/蓝色.sui")) + "\r\n";
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_EQ(m_ini.ReadStyle(), 3);
    EXPECT_EQ(m_ini.ReadTheme(), QStringLiteral("/主题/蓝色.sui"));
}

TEST_F(IniConfig, RewriteKeepsLinesItDoesNotUnderstand) {
    const QByteArray kept = "; comment\r\n[Config]\r\nno equals sign here\r\nWidth=1\r\n\r\n[Other]\r\nx=y\r\n";
    WriteFile(kept);
    m_ini.WriteInteger(QStringLiteral("CONFIG"), QStringLiteral("width"), 700);
    m_ini.WriteInteger(QStringLiteral("Config"), QStringLiteral("Top"), 5);
    EXPECT_EQ(FileBytes(), QByteArray("; comment\r\n[Config]\r\nno equals sign here\r\nwidth=700\r\nTop=5\r\n"
                                      "\r\n[Other]\r\nx=y\r\n"));
}

TEST_F(IniConfig, BinaryJunkReadsAsDefaultsAndIsKept) {
    QByteArray junk(300, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 73 + 11) & 0xFF);
    junk.replace('\n', 'x');
    junk.replace('=', 'y');
    junk.replace('[', 'z');
    WriteFile(junk);
    EXPECT_EQ(m_ini.ReadLayout(), TWindowLayout{});
    EXPECT_EQ(m_ini.ReadStyle(), 2);
    m_ini.WriteSkin(1, QString());
    EXPECT_EQ(m_ini.ReadStyle(), 1);
    EXPECT_TRUE(FileBytes().startsWith(junk));
}

TEST_F(IniConfig, Utf8FileStaysUtf8) {
    WriteFile("[Skin]\r\ng_Theme=/皮肤/a.sui\r\n");
    EXPECT_EQ(m_ini.ReadTheme(), QStringLiteral("/皮肤/a.sui"));
    m_ini.WriteSkin(0, QStringLiteral("/皮肤/b.sui"));
    EXPECT_EQ(FileBytes(), QByteArray("[Skin]\r\ng_Theme=/皮肤/b.sui\r\ng_Style=0\r\n"));
}

TEST_F(IniConfig, UnwritableFileKeepsThePreviousValues) {
    TqlvIniConfig nowhere(m_dir.filePath(QStringLiteral("missing/Config.ini")));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(nowhere.WriteInteger(QStringLiteral("Config"), QStringLiteral("Top"), 1));
    EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(nowhere.ReadLayout().Top, 200);
}

}  // namespace
