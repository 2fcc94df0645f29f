// TLibraryBackup: the snapshots of one library file — taking them, rotating
// them, listing them with their figures, and restoring one. No user interface.
//
// Snapshots live in <root>/<library file name>/ as
// "<name>-YYYYMMDD-HHMMSS.qdb" (a second snapshot within the same second gets
// "-2", "-3", ... before ".qdb"). A marker file in the folder names the
// library it belongs to; a library of the same file name elsewhere gets
// "<library file name> (2)" and so on, so restoring never offers another
// library's snapshots. A snapshot is a byte copy taken under the engine's file
// lock and only ever appears whole (SnapshotFile.h).
//
// Failures the user should hear of (a full disk, a missing or locked file, a
// damaged snapshot, a wrong password) raise EUserError with the text to show;
// the library file is left as it was.
#pragma once

#include "library/BackupRotation.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

struct TBackupPolicy {
    QString Root;  // the backup folder; every library gets its own folder in it
    TRotationPolicy Rotation;
};

// What the listing shows of one snapshot.
struct TSnapshotInfo {
    QString Path;
    QDateTime Time;
    int64_t Size = 0;
    bool Encrypted = false;
    bool Readable = false;  // opened, and its password (if any) was known
    bool Damaged = false;   // fails the engine's verify, or is no database at all
    int Folders = -1;       // -1 while not Readable
    int Manuscripts = -1;
    bool BeforeRestore = false;  // holds what a restore replaced (Snapshots only)
    // Restorable unless known to be damaged (an unread encrypted one is
    // verified once its password is given).
    bool Restorable() const { return !Damaged; }
};

class TLibraryBackup {
public:
    TLibraryBackup(const QString& libraryPath, TBackupPolicy policy);

    // AppPath() + "Backups/".
    static QString DefaultRoot();

    // This library's snapshot folder (made and claimed when missing).
    QString Folder() const;
    // Takes a snapshot now and rotates the folder; returns its path. A
    // damaged library is still copied (the copy may be all there is); when
    // `damaged` is given it says whether the copy fails verify, and the
    // listing shows such a snapshot as damaged. Rotation never removes the
    // newest snapshot that is not known to be damaged.
    QString TakeSnapshot(bool* damaged = nullptr) const;
    // True when the library has no snapshot yet, or was written after its newest one.
    bool ChangedSinceSnapshot() const;
    // TakeSnapshot when ChangedSinceSnapshot; empty when nothing was taken
    // (and then *damaged is left alone).
    QString TakeSnapshotIfChanged(bool* damaged = nullptr) const;
    // Snapshot paths, newest first, without reading them.
    QStringList SnapshotPaths() const;
    // Every snapshot, newest first, with its figures. Passwords travel as
    // the engine's key bytes (PasswordBytes); `key` opens the encrypted
    // snapshots it fits, the others are listed without figures.
    QList<TSnapshotInfo> Snapshots(const std::string& key) const;
    static TSnapshotInfo Inspect(const QString& snapshotPath, const std::string& key);

    // Puts the snapshot in place of the library file: the snapshot must pass
    // verify under `key` (EUserError otherwise); the current file is kept as
    // a snapshot first unless the newest one already holds it; then the file
    // is replaced atomically. The snapshot holding the replaced state is
    // remembered (a list file beside the marker) and listed as BeforeRestore.
    // The library must not be open in this process; the caller opens it again.
    void Restore(const QString& snapshotPath, const std::string& key) const;

    const QString& LibraryPath() const { return m_library; }

private:
    QString SnapshotName(const QDateTime& time, int sequence) const;
    QString TakeUnrotated() const;
    void Rotate() const;

    QString m_library;
    TBackupPolicy m_policy;
};
