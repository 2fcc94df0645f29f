// The rebuild behind TTomeDatabase::Compact, Repair and ChangePassword: the
// comment, extra data, table structure and live records of an open database
// are copied into a new image, which then replaces the database file.
//
// The new image is written to a temporary file ("TDB" prefix, mkstemp) in the
// database's own folder, flushed to disk and renamed over the database, so the
// old file stays whole until the new one is complete; a crash at any moment
// leaves either the old or the new database. Any failure removes the
// temporary file: errors while copying are raised (the database is left as it
// was, still open), a failed replacement returns false. A database opened
// read-only, carrying no write permission, held in memory or not starting at
// offset 0 returns false at once and nothing is created.
#pragma once

#include <string>

namespace tomedb {

class TTomeDatabase;

struct TRebuildSettings {
    bool compressBlob = false;
    int compressLevel = 0;
    std::string compressAlgoName;
    bool encrypt = false;
    std::string encryptAlgoName;
    std::string oldPassword;
    std::string newPassword;
    bool crc32 = false;
    // Repair decodes every blob, so that a damaged value stops it instead of
    // being carried over unread.
    bool decodeEveryBlob = false;
    // Repair: a record with a value that cannot be read is left out (and
    // counted here) instead of stopping the rebuild.
    int* droppedRecords = nullptr;
};

// Blob values that the new image would store byte for byte as the source does
// (same processing, same key, DPMode 0, not indexed, no CRC32) are copied in
// their stored form instead of being decoded and encoded again; the file comes
// out the same either way. Tests clear this to compare against the full path.
extern bool g_RebuildCopiesStoredBlobs;

// Removes the temporary images that killed rebuilds left beside the database
// at `databasePath`: files named "TDB" and six letters or digits, regular
// files of this user holding a database header and unchanged for an hour.
// Nothing else is touched; failures are ignored. Every rebuild calls it first.
void RemoveLeftoverRebuildFiles(const std::string& databasePath);

// The source must be connected with access granted. True when the rebuilt
// image replaced the file (the database is then open on it again).
bool RebuildDatabase(TTomeDatabase& source, const TRebuildSettings& settings);

}  // namespace tomedb
