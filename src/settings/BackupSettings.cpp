#include "settings/BackupSettings.h"

#include "platform/AppPaths.h"

namespace {

// A stored number at least `least`, or `fallback`.
int Number(const TRegistry& reg, const char* name, int least, int fallback) {
    const std::optional<int32_t> value = reg.TryReadInteger(QLatin1String(name));
    return value && *value >= least ? *value : fallback;
}

}  // namespace

TBackupSettings ReadBackupSettings(TRegistry& reg) {
    TBackupSettings settings;
    if (reg.OpenKey(TqlvRegConfig::kConfigKey, false)) {
        if (const std::optional<int32_t> on = reg.TryReadInteger(QStringLiteral("AutoBackup")))
            settings.Enabled = *on != 0;
        settings.Interval = Number(reg, "BackupTime", 1, settings.Interval);
        settings.KeepLast = Number(reg, "BackupKeep", 1, settings.KeepLast);
        settings.KeepDays = Number(reg, "BackupDays", 0, settings.KeepDays);
        reg.CloseKey();
    }
    if (reg.OpenKey(TqlvRegConfig::kPathKey, false)) {
        settings.Folder = reg.ReadString(QStringLiteral("Backup")).trimmed();
        reg.CloseKey();
    }
    if (settings.Folder.isEmpty())
        settings.Folder = DefaultBackupFolder();
    return settings;
}

void WriteBackupSettings(TRegistry& reg, const TBackupSettings& settings) {
    if (reg.OpenKey(TqlvRegConfig::kConfigKey, true)) {
        reg.WriteBool(QStringLiteral("AutoBackup"), settings.Enabled);
        reg.WriteInteger(QStringLiteral("BackupTime"), settings.Interval);
        reg.WriteInteger(QStringLiteral("BackupKeep"), settings.KeepLast);
        reg.WriteInteger(QStringLiteral("BackupDays"), settings.KeepDays);
        reg.CloseKey();
    }
    if (reg.OpenKey(TqlvRegConfig::kPathKey, true)) {
        reg.WriteString(QStringLiteral("Backup"), settings.Folder);
        reg.CloseKey();
    }
}
