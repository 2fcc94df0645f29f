// The backup preferences in the registry store: first-run defaults, what
// unusable stored values read as, and a round trip.
#include "settings/BackupSettings.h"

#include "platform/AppPaths.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const TBackupSettings kDefaults{true, 30, QString(), 10, 7};

TEST(BackupSettings, StoredValuesAndTheirFallbacks) {
    struct Case {
        const char* name;
        std::function<void(TRegistry& config, TRegistry& paths)> store;
        std::function<void(TBackupSettings&)> expect;  // changes from the defaults
    };
    const Case cases[] = {
        {"nothing stored", [](TRegistry&, TRegistry&) {}, [](TBackupSettings&) {}},
        {"switched off", [](TRegistry& c, TRegistry&) { c.WriteBool("AutoBackup", false); },
         [](TBackupSettings& s) { s.Enabled = false; }},
        {"interval of zero", [](TRegistry& c, TRegistry&) { c.WriteInteger("BackupTime", 0); },
         [](TBackupSettings&) {}},
        {"interval as text", [](TRegistry& c, TRegistry&) { c.WriteString("BackupTime", "abc"); },
         [](TBackupSettings&) {}},
        {"negative days", [](TRegistry& c, TRegistry&) { c.WriteInteger("BackupDays", -3); }, [](TBackupSettings&) {}},
        {"no days, one kept",
         [](TRegistry& c, TRegistry&) {
             c.WriteInteger("BackupDays", 0);
             c.WriteInteger("BackupKeep", 1);
         },
         [](TBackupSettings& s) {
             s.KeepDays = 0;
             s.KeepLast = 1;
         }},
        {"folder of blanks", [](TRegistry&, TRegistry& p) { p.WriteString("Backup", "  "); }, [](TBackupSettings&) {}},
        {"own folder", [](TRegistry&, TRegistry& p) { p.WriteString("Backup", "/备份"); },
         [](TBackupSettings& s) { s.Folder = "/备份"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempHome home;
        TRegistry config(TRegRoot::HKEY_LOCAL_MACHINE), paths(TRegRoot::HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(config.OpenKey(TqlvRegConfig::kConfigKey, true));
        ASSERT_TRUE(paths.OpenKey(TqlvRegConfig::kPathKey, true));
        c.store(config, paths);
        TBackupSettings expected = kDefaults;
        expected.Folder = AppPath() + "Backups/";
        c.expect(expected);
        TqlvRegConfig reader;
        EXPECT_EQ(ReadBackupSettings(reader), expected);
    }
}

TEST(BackupSettings, RoundTrip) {
    TTempHome home;
    TqlvRegConfig config;
    const TBackupSettings chosen{false, 45, "/mnt/备份", 3, 0};
    WriteBackupSettings(config, chosen);
    TqlvRegConfig again;
    EXPECT_EQ(ReadBackupSettings(again), chosen);
}

}  // namespace
