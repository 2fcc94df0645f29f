// Registry preferences: first-run defaults, unusable stored values, and the
// round trips of LastDB, the paths and the mail settings.
#include "settings/RegConfig.h"

#include "platform/AppPaths.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

class RegConfig : public ::testing::Test {
protected:
    TRegistry& ConfigKey() {
        EXPECT_TRUE(m_raw.OpenKey(TqlvRegConfig::kConfigKey, true));
        return m_raw;
    }
    TTempHome m_home;  // a fresh store for every test
    TqlvRegConfig m_config;
    TRegistry m_raw{TRegRoot::HKEY_LOCAL_MACHINE};
};

TEST_F(RegConfig, FirstRunDefaults) {
    const TEditorStatus status = m_config.ReadEditorStatus();
    EXPECT_FALSE(status.FontName.isEmpty());
    EXPECT_EQ(status.FontSize, QStringLiteral("12"));
    EXPECT_EQ(status.IMEName, QString());
    EXPECT_EQ(status.EditorColor, 0x00FFFFFF);
    EXPECT_EQ(status.SaveTime, 5);
    EXPECT_TRUE(status.AutoSave);
    EXPECT_FALSE(status.IME);
    EXPECT_FALSE(m_config.ReadAutoOpen());
    EXPECT_EQ(m_config.ReadLastDB(), QString());
    EXPECT_EQ(m_config.ReadMailConfig(), TMailConfig{});
    for (const QString& path :
         {m_config.ReadExDoc(), m_config.ReadExPic(), m_config.ReadExFile(), m_config.ReadSkinPath()})
        EXPECT_EQ(path, AppPath());
    EXPECT_TRUE(AppPath().endsWith(QLatin1Char('/')));
}

TEST_F(RegConfig, ReadDBFlagsCreatesTheKeyAndDefaultsToFalse) {
    EXPECT_FALSE(m_raw.KeyExists(TqlvRegConfig::kConfigKey));
    const TDBFlags flags = m_config.ReadDBFlags();
    EXPECT_FALSE(flags.AutoCompress);
    EXPECT_FALSE(flags.AutoOpen);
    EXPECT_TRUE(m_raw.KeyExists(TqlvRegConfig::kConfigKey));
    ConfigKey().WriteBool(QStringLiteral("AutoCompress"), true);
    ConfigKey().WriteBool(QStringLiteral("autoopen"), true);
    bool compress = false, open = false;
    m_config.ReadDBFlags(compress, open);
    EXPECT_TRUE(compress && open);
    EXPECT_TRUE(m_config.ReadAutoOpen());
}

TEST_F(RegConfig, StoredEditorStatusIsRead) {
    TRegistry& key = ConfigKey();
    key.WriteString(QStringLiteral("FontName"), QStringLiteral("宋体"));
    key.WriteString(QStringLiteral("FontSize"), QStringLiteral("16"));
    key.WriteString(QStringLiteral("IMEName"), QStringLiteral("拼音"));
    key.WriteInteger(QStringLiteral("EditorColor"), 0x00C0FFEE);
    key.WriteString(QStringLiteral("SaveTime"), QStringLiteral("13"));
    key.WriteBool(QStringLiteral("IME"), true);
    key.WriteBool(QStringLiteral("AutoSave"), false);
    const TEditorStatus status = m_config.ReadEditorStatus();
    EXPECT_EQ(status.FontName, QStringLiteral("宋体"));
    EXPECT_EQ(status.FontSize, QStringLiteral("16"));
    EXPECT_EQ(status.IMEName, QStringLiteral("拼音"));
    EXPECT_EQ(status.EditorColor, 0x00C0FFEE);
    EXPECT_EQ(status.SaveTime, 13);
    EXPECT_TRUE(status.IME);
    EXPECT_FALSE(status.AutoSave);
}

TEST_F(RegConfig, UnusableNumbersFallBackWithAMessage) {
    const QString bad[] = {QStringLiteral("abc"), QStringLiteral(""), QStringLiteral("0"), QStringLiteral("-3")};
    for (const QString& value : bad) {
        ConfigKey().WriteString(QStringLiteral("SaveTime"), value);
        ConfigKey().WriteString(QStringLiteral("FontSize"), value + QStringLiteral("pt"));
        ::testing::internal::CaptureStderr();
        const TEditorStatus status = m_config.ReadEditorStatus();
        const std::string messages = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status.SaveTime, 5) << value.toStdString();
        EXPECT_EQ(status.FontSize, QStringLiteral("12"));
        EXPECT_NE(messages.find("SaveTime"), std::string::npos) << messages;
        EXPECT_NE(messages.find("FontSize"), std::string::npos) << messages;
    }
    ConfigKey().WriteString(QStringLiteral("FontName"), QString());
    EXPECT_EQ(m_config.ReadEditorStatus().FontName, TqlvRegConfig::DefaultEditorStatus().FontName);
    // A boolean stored as text is not a DWORD: the default stays.
    ConfigKey().WriteString(QStringLiteral("AutoSave"), QStringLiteral("0"));
    EXPECT_TRUE(m_config.ReadEditorStatus().AutoSave);
}

TEST_F(RegConfig, MissingKeyLeavesTheCallersRecord) {
    TEditorStatus status;
    status.FontName = QStringLiteral("mine");
    status.SaveTime = 42;
    m_config.ReadEditorStatus(status);
    EXPECT_EQ(status.FontName, QStringLiteral("mine"));
    EXPECT_EQ(status.SaveTime, 42);
}

TEST_F(RegConfig, LastDBNeedsTheConfigKey) {
    m_config.WriteLastDB(QStringLiteral("/a.qdb"));
    EXPECT_FALSE(m_raw.KeyExists(TqlvRegConfig::kConfigKey));
    m_config.ReadDBFlags();  // creates the key, as start-up does
    m_config.WriteLastDB(QStringLiteral("/书 库/小说.qdb"));
    EXPECT_EQ(m_config.ReadLastDB(), QStringLiteral("/书 库/小说.qdb"));
    EXPECT_EQ(TqlvRegConfig().ReadLastDB(), QStringLiteral("/书 库/小说.qdb"));
}

TEST_F(RegConfig, PathsRoundTripAndAMissingValueIsEmpty) {
    m_config.WritePaths(QStringLiteral("/doc"), QStringLiteral("/pic"), QStringLiteral("/skin"),
                        QStringLiteral("/file"));
    EXPECT_EQ(m_config.ReadExDoc(), QStringLiteral("/doc"));
    EXPECT_EQ(m_config.ReadExPic(), QStringLiteral("/pic"));
    EXPECT_EQ(m_config.ReadSkinPath(), QStringLiteral("/skin"));
    EXPECT_EQ(m_config.ReadExFile(), QStringLiteral("/file"));
    ASSERT_TRUE(m_raw.OpenKey(TqlvRegConfig::kPathKey, false));
    m_raw.DeleteValue(QStringLiteral("ExPic"));
    EXPECT_EQ(m_config.ReadExPic(), QString());
}

TEST_F(RegConfig, MailConfigRoundTripsUnderEitherSpelling) {
    const TMailConfig mail{QStringLiteral("me@example.org"), QStringLiteral("作者"), QStringLiteral("smtp.example.org"),
                           QStringLiteral("25"), QStringLiteral("me")};
    m_config.WriteMailConfig(mail);
    EXPECT_EQ(m_config.ReadMailConfig(), mail);
    // The mail key is spelt "quilr1.3", the others "Quilr1.3": one parent key.
    m_config.ReadDBFlags();
    ASSERT_TRUE(m_raw.OpenKey(QStringLiteral("\\SoftWare\\Veltrix"), false));
    EXPECT_EQ(m_raw.GetKeyNames().size(), 1);
}

}  // namespace
