// Where the application's files live. AppPath is $QUILLORA_HOME when set, else
// the executable's folder when writable and not part of an installed prefix,
// else $XDG_DATA_HOME/Quillora/; it always ends with "/" and is created when
// missing. Computed once per process. An installed program never writes under
// its prefix: the executable's folder is not even probed then.
//
// Shared, read-only files (help page, skins) sit beside the executable in the
// build tree and in <prefix>/share/quillora/ when installed; both are found
// relative to the executable, so neither place is compiled in.
#pragma once

#include <QString>
#include <QStringList>

QString AppPath();
QString AppExeName();
// Folder of the registry store file (registry.ini): $QUILLORA_HOME when set,
// else $XDG_CONFIG_HOME/Quillora/. Ends with "/".
QString RegistryStoreFolder();
// The installed shared folder for an executable in exeFolder
// (<prefix>/bin/ -> <prefix>/share/quillora/), cleaned and ending with "/".
QString InstalledSharedFolder(const QString& exeFolder);
// True when exeFolder is the program folder of an installed prefix, that is
// its installed shared folder exists.
bool RunsFromInstalledPrefix(const QString& exeFolder);
// Folders that may hold the shared files, searched in this order: the
// executable's folder, then the installed shared folder. Each ends with "/".
QStringList SharedDataFolders();
// The folder that library snapshots go to unless the options name another:
// <AppPath>Backups/. Ends with "/"; not created here.
QString DefaultBackupFolder();
// Forgets the cached paths; tests call it after changing QUILLORA_HOME.
void ResetAppPathsForTesting();
