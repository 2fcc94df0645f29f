// TExportNames: the file names of one export of records (manuscripts,
// materials) into a folder the user chose, one file per record.
//
// A record's name becomes a plain file name inside the folder: "/" and NUL
// become "_"; the name is shortened on a character boundary so that it, the
// extension and the temporary suffix of an atomic write fit the file system's
// name limit; a name already handed out in this export gets " (2)", " (3)" ...
// before the extension, so no record overwrites another. A name that would
// still not be a plain file name ("." or "..") is refused.
//
// One object per export; it owns only the set of names handed out. Writing is
// WriteFileReplacing (TextCodec.h): atomic, and a symbolic link standing under
// the name is replaced, never written through.
#pragma once

#include <QDir>
#include <QSet>
#include <QString>
#include <optional>

class TExportNames {
public:
    // extension includes its dot (".txt"). The name limit is asked of the
    // folder's file system (255 bytes when it cannot say).
    TExportNames(const QString& folder, const QString& extension);
    // Overrides the file system's limit (bytes of one file name).
    void SetNameLimit(int bytes) { nameLimit_ = bytes; }
    int NameLimit() const { return nameLimit_; }

    // The full path for a record called name; nullopt when refused. Each call
    // hands out a different path.
    std::optional<QString> PathFor(const QString& name);

private:
    QString BaseWithin(const QString& base, int suffixBytes) const;

    QDir folder_;
    QString extension_;
    int nameLimit_;
    QSet<QString> taken_;
};
