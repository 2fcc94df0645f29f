// Where the application's files live. AppPath is $QUILLORA_HOME when set, else
// the executable's folder when writable, else $XDG_DATA_HOME/Quillora/; it always
// ends with "/" and is created when missing. Computed once per process.
#pragma once

#include <QString>

QString AppPath();
QString AppExeName();
// Folder of the registry store file (registry.ini): $QUILLORA_HOME when set,
// else $XDG_CONFIG_HOME/Quillora/. Ends with "/".
QString RegistryStoreFolder();
// Forgets the cached paths; tests call it after changing QUILLORA_HOME.
void ResetAppPathsForTesting();
