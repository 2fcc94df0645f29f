// Whole-file copies of database files that are never seen half-made: the
// bytes go to a hidden temporary file in the target's folder, are synced to
// disk, and the temporary file is renamed to the target (or, for a new
// snapshot, linked to a name that no file holds yet); the folder is then
// synced so the new name survives a power cut. A copy that fails, or a
// process killed while copying, leaves the temporary file at most, never a
// file under the target's name.
//
// The source is read under the engine's cross-process file lock (the byte
// lock of TTomeDiskMedium), so no writer of any process changes it while it
// is copied. The data moves by cloning the file's extents where the file
// system can (FICLONE), else by copy_file_range, else by read/write.
//
// Failures raise EUserError (caption kBackupCaption) with a text that says
// what went wrong: a full disk, a missing file, a locked file, an I/O error.
// Plain file system code: no engine structures are read.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace snapshotfile {

inline const QString kBackupCaption = QStringLiteral("备份稿件库");

// Copies `source` to `target` under source's file lock. Returns the bytes copied.
int64_t CopyLocked(const QString& source, const QString& target);

// Copies `source` under its file lock to the first of pathFor(firstSequence),
// pathFor(firstSequence + 1), ... that no file holds yet (all in one folder).
// Each name is claimed atomically, so copies made at once by several
// processes each get a name of their own and never replace one another.
// Returns the path taken.
QString CopyLockedToFreeName(const QString& source, const std::function<QString(int)>& pathFor, int firstSequence);

// Replaces `target` by a copy of `source`: the copy is made and synced
// beside the target first, then renamed over it under the target's file lock
// (when the target exists). The target is whole before and after.
void ReplaceLocked(const QString& source, const QString& target);

// Removes temporary files that a killed copy left in `folder` and that are
// older than an hour (a younger one may belong to a copy still running).
void RemoveStaleTemporaries(const QString& folder);

// Name prefix of the temporary files (hidden, never a snapshot name).
inline const QString kTemporaryPrefix = QStringLiteral(".copying-");

}  // namespace snapshotfile
