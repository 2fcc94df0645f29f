// TBackupSettings: the automatic-backup preferences, kept with the others in
// the registry store: Config values "AutoBackup" (DWORD 0/1), "BackupTime"
// (minutes between snapshots while editing), "BackupKeep" and "BackupDays"
// (the rotation's two numbers), and the Path value "Backup" (the folder).
// Missing or unusable values read as the defaults below and never raise.
#pragma once

#include "platform/AppPaths.h"  // DefaultBackupFolder
#include "settings/RegConfig.h"

#include <QString>

struct TBackupSettings {
    bool Enabled = true;
    int Interval = 30;  // minutes, >= 1
    QString Folder;     // DefaultBackupFolder() unless changed
    int KeepLast = 10;  // >= 1
    int KeepDays = 7;   // >= 0

    bool operator==(const TBackupSettings&) const = default;
};

// Through the bare registry store (opened at TqlvRegConfig::kRoot), so a
// program without a GUI (qdb) reads them without the rest of TqlvRegConfig.
TBackupSettings ReadBackupSettings(TRegistry& reg);
void WriteBackupSettings(TRegistry& reg, const TBackupSettings& settings);
inline TBackupSettings ReadBackupSettings(TqlvRegConfig& config) { return ReadBackupSettings(config.Registry()); }
inline void WriteBackupSettings(TqlvRegConfig& config, const TBackupSettings& settings) {
    WriteBackupSettings(config.Registry(), settings);
}
