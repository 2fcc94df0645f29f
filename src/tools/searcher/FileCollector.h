// Collecting the files a find-in-files scan reads: every entry of a folder
// whose name matches a mask ("*.txt"; letter case ignored) and that is not a
// folder, in the order the file system lists them, then, when asked, the same
// for every sub-folder, depth first. Symbolic links to folders are not
// followed, so a link cycle cannot make the walk loop. A folder that cannot
// be listed contributes nothing; nothing here fails or throws.
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// folder should end with "/"; paths are folder + name (+ "/" for folders).
// The walk ends early, with what it has, once *stop becomes true.
QStringList CollectFiles(const QString& folder, const QString& mask, bool recurse,
                         const std::atomic<bool>* stop = nullptr);
