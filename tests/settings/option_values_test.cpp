// The preferences as the options dialog reads and writes them: the path
// defaults, the effective editor values, and a full round trip.
#include "settings/OptionValues.h"

#include "platform/AppPaths.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

class OptionValues : public ::testing::Test {
protected:
    TTempHome m_home;
    TqlvRegConfig m_config;
    TRegistry m_raw{TRegRoot::HKEY_LOCAL_MACHINE};
};

TEST_F(OptionValues, PathsComeFromTheApplicationFolderUntilThePathKeyExists) {
    struct Case {
        const char* name;
        bool pathKey;
    };
    for (const Case& c : {Case{"no Path key", false}, Case{"key without ExPic", true}}) {
        TTempHome home;
        TqlvRegConfig config;
        if (c.pathKey) {
            TRegistry raw(TRegRoot::HKEY_LOCAL_MACHINE);
            ASSERT_TRUE(raw.OpenKey(TqlvRegConfig::kPathKey, true));
            raw.WriteString(QStringLiteral("ExDoc"), QStringLiteral("/书/导出"));
        }
        const TOptionValues values = ReadOptions(config);
        EXPECT_EQ(values.ExPic, c.pathKey ? QString() : AppPath()) << c.name;
        EXPECT_EQ(values.ExDoc, c.pathKey ? QStringLiteral("/书/导出") : AppPath()) << c.name;
        EXPECT_EQ(values.ExFile, c.pathKey ? QString() : AppPath()) << c.name;
        EXPECT_EQ(values.Skin, c.pathKey ? QString() : AppPath()) << c.name;
    }
}

TEST_F(OptionValues, FirstRunShowsWhatStartUpApplies) {
    const TOptionValues values = ReadOptions(m_config);
    const TEditorStatus applied = m_config.ReadEditorStatus();
    EXPECT_TRUE(values.AutoSave);
    EXPECT_EQ(values.SaveTime, QString::number(applied.SaveTime));
    EXPECT_EQ(values.FontSize, applied.FontSize);
    EXPECT_EQ(values.FontName, applied.FontName);
    EXPECT_FALSE(values.assQDB || values.assPop || values.AutoOpen || values.AutoCompress);
    EXPECT_TRUE(m_raw.KeyExists(TqlvRegConfig::kConfigKey));  // opened with create
}

TEST_F(OptionValues, EverythingWrittenIsReadBack) {
    TOptionValues values;
    values.AutoCompress = true;
    values.assTXT = true;
    values.assPop = true;
    values.IME = true;
    values.IMEName = QStringLiteral("fcitx5");
    values.AutoSave = true;
    values.SaveTime = QStringLiteral("13");
    values.FontName = QStringLiteral("WenQuanYi Micro Hei");
    values.FontSize = QStringLiteral("20");
    values.EditorColor = 0x00102030;
    values.Mail = {"me@example.org", "我", "smtp.example.org", "587", "me"};
    values.ExDoc = QStringLiteral("/a");
    values.ExFile = QStringLiteral("/b");
    values.ExPic = QStringLiteral("/c");
    values.Skin = QStringLiteral("/d");
    values.Backup = {false, 45, QStringLiteral("/e"), 3, 1};
    WriteOptions(m_config, values);
    EXPECT_EQ(ReadOptions(m_config), values);
    EXPECT_EQ(m_config.ReadEditorStatus().SaveTime, 13);
    ASSERT_TRUE(m_raw.OpenKey(TqlvRegConfig::kConfigKey, false));
    EXPECT_EQ(m_raw.GetDataType(QStringLiteral("SaveTime")), TRegDataType::rdString);
    EXPECT_EQ(m_raw.GetDataType(QStringLiteral("assPop")), TRegDataType::rdInteger);
}

TEST(EditorColour, StoredFormIsBlueGreenRed) {
    EXPECT_EQ(BgrOfColor(QColor(0x11, 0x22, 0x33)), 0x00332211);
    EXPECT_EQ(ColorOfBgr(0x00332211), QColor(0x11, 0x22, 0x33));
}

}  // namespace
