// The book output choices in the registry store: defaults, a round trip kept
// apart per library, two spellings of one path sharing their choices, and
// unusable stored values falling back.
#include "settings/BookOutputSettings.h"

#include "settings/RegConfig.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

TEST(BookOutputSettings, RoundTripPerLibrary) {
    TTempHome home;
    TRegistry reg(TqlvRegConfig::kRoot);
    EXPECT_EQ(ReadBookOutputSettings(reg, "/书库/甲.qdb"), TBookOutputSettings{});

    TBookOutputSettings chosen;
    chosen.What = TBookOutputSettings::SelectedManuscripts;
    chosen.Format = "docx";
    chosen.A4 = true;
    chosen.Title = "春秋";
    chosen.Author = "佚名 \"号\"";
    chosen.Output = "/输出/春秋.docx";
    WriteBookOutputSettings(reg, "/书库/甲.qdb", chosen);
    EXPECT_EQ(ReadBookOutputSettings(reg, "/书库/甲.qdb"), chosen);
    EXPECT_EQ(ReadBookOutputSettings(reg, "/书库/./子/../甲.qdb"), chosen);
    EXPECT_EQ(ReadBookOutputSettings(reg, "/书库/乙.qdb"), TBookOutputSettings{});
}

TEST(BookOutputSettings, UnusableValuesReadAsDefaults) {
    TTempHome home;
    TRegistry reg(TqlvRegConfig::kRoot);
    TBookOutputSettings chosen;
    chosen.Title = "题";
    WriteBookOutputSettings(reg, "/库.qdb", chosen);
    // Find the key just written and spoil its values.
    ASSERT_TRUE(reg.OpenKey(TqlvRegConfig::kConfigKey + "\\BookOutput", false));
    const QStringList keys = reg.GetKeyNames();
    reg.CloseKey();
    ASSERT_EQ(keys.size(), 1);
    ASSERT_TRUE(reg.OpenKey(TqlvRegConfig::kConfigKey + "\\BookOutput\\" + keys.first(), false));
    reg.WriteInteger("What", 7);
    reg.WriteString("Format", "  ");
    reg.WriteString("A4", "yes");
    reg.CloseKey();
    const TBookOutputSettings read = ReadBookOutputSettings(reg, "/库.qdb");
    EXPECT_EQ(read.What, TBookOutputSettings::WholeLibrary);
    EXPECT_EQ(read.Format, "epub");
    EXPECT_FALSE(read.A4);
    EXPECT_EQ(read.Title, "题");
}

}  // namespace
