#include "tomedb/dataset/TomeRebuild.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/dataproc/Registry.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"
#include "tomedb/storage/TomeTableScan.h"

namespace tomedb {

bool g_RebuildCopiesStoredBlobs = true;

namespace {

// The new file's writes are gathered up to this many bytes before they go down.
constexpr size_t kRebuildWriteBuffer = 16u << 20;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// A new, empty file "TDBxxxxxx" next to the database; empty text on failure.
std::string MakeTemporaryFile(const std::string& databasePath) {
    std::string pattern = FolderOf(databasePath) + "/TDBXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return std::string();
    struct stat info {};
    if (::stat(databasePath.c_str(), &info) == 0)
        ::fchmod(fd, info.st_mode & 07777);
    ::close(fd);
    return std::string(name.data());
}

// "TDB" and the six letters or digits mkstemp puts in place of "XXXXXX".
bool IsTemporaryName(const char* name) {
    if (std::strncmp(name, "TDB", 3) != 0 || std::strlen(name) != 9)
        return false;
    for (const char* c = name + 3; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// A file of ours that a killed rebuild left: our name pattern, a regular file
// (no link) of this user, a database header, untouched for an hour (a younger
// one may belong to a rebuild still running in another process).
bool IsLeftoverImage(int folder, const char* name, time_t hourAgo) {
    if (!IsTemporaryName(name))
        return false;
    struct stat info {};
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_mtime > hourAgo)
        return false;
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    char magic[format::kMagicSize] = {};
    const bool header = ::pread(fd, magic, sizeof magic, format::kMagicOffset) == sizeof magic &&
                        std::memcmp(magic, format::kMagic, sizeof magic) == 0;
    ::close(fd);
    return header;
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void RemoveLeftoverRebuildFiles(const std::string& databasePath) {
    DIR* folder = ::opendir(FolderOf(databasePath).c_str());
    if (!folder)
        return;
    const time_t hourAgo = ::time(nullptr) - 3600;
    const int fd = ::dirfd(folder);
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(folder))
        if (IsLeftoverImage(fd, entry->d_name, hourAgo))
            leftovers.emplace_back(entry->d_name);
    for (const std::string& name : leftovers)
        ::unlinkat(fd, name.c_str(), 0);
    ::closedir(folder);
}

namespace {

// Restores the source's KeepConnection on every path.
class TKeepConnectionScope {
public:
    explicit TKeepConnectionScope(TTomeDatabase& database) : database_(database), saved_(database.KeepConnection()) {
        database_.SetKeepConnection(true);
    }
    ~TKeepConnectionScope() { database_.RestoreKeepConnection(saved_); }
    TKeepConnectionScope(const TKeepConnectionScope&) = delete;
    TKeepConnectionScope& operator=(const TKeepConnectionScope&) = delete;

private:
    TTomeDatabase& database_;
    bool saved_;
};

void OpenSourceTable(TTomeTable& table, TTomeDatabase& source, const std::string& name) {
    table.SetSessionName(source.SessionName());
    table.SetDatabaseName(source.DatabaseName());
    table.SetTableName(name);
    table.Open();
}

void CopyStructure(TTomeDatabase& source, TTomeDatabase& target, const std::string& name) {
    TTomeTable table;
    OpenSourceTable(table, source, name);
    TTomeTableIO* io = source.FindTableIO(name);
    const TTomeFieldDefs& fields = io->FieldDefs();
    std::vector<TTomeFieldItem> items;
    for (int i = 0; i < fields.Count(); ++i) {
        const TTomeFieldDef& def = fields.At(i);
        items.push_back(
            MakeFieldItem(def.Name, def.FieldType, IsStringType(def.FieldType) ? def.DataSize : 0, dpmDefault));
    }
    if (!target.CreateTable(io->TableName(), items))
        DatabaseError(FormatMessage("Table '%s' not found", name.c_str()));
    const TTomeIndexDefs& indexes = io->IndexDefs();
    for (int k = 0; k < indexes.Count(); ++k) {
        const TTomeIndexDef& def = indexes.At(k);
        if (def.FieldIdxes.empty())
            continue;
        // CreateTable already made the primary index of the auto-increment field.
        if (fields.At(def.FieldIdxes[0]).FieldType == ftAutoInc && (def.Options & tiPrimary))
            continue;
        std::vector<std::string> keyNames;
        for (int32_t f : def.FieldIdxes)
            keyNames.push_back(fields.At(f).Name);
        target.CreateIndex(io->TableName(), def.Name, def.Options, keyNames);
    }
    table.Close();
}

bool IsIndexed(const TTomeTableIO& table, int field) {
    const TTomeIndexDefs& indexes = table.IndexDefs();
    for (int k = 0; k < indexes.Count(); ++k)
        for (int32_t f : indexes.At(k).FieldIdxes)
            if (f == field)
                return true;
    return false;
}

// True when blob `field` may be carried over in its stored form: the source
// holds it processed exactly as the target would process it again (same
// compression and encryption flags, algorithms, level, mode and key), the
// source field had DPMode 0 like every rebuilt field, and neither a key nor
// a CRC32 check of the target needs the plain value.
bool CanCopyStoredBlob(const TTomeTableIO& from, const TTomeTableIO& to, int field, const TRebuildSettings& settings) {
    if (!g_RebuildCopiesStoredBlobs || settings.decodeEveryBlob)
        return false;
    const TAlgoBlock& a = from.FileIO().AlgoBlock();
    const TAlgoBlock& b = to.FileIO().AlgoBlock();
    if (b.CRC32() || IsIndexed(to, field))
        return false;
    if (from.FieldDefs().At(field).DPMode != 0 || to.FieldDefs().At(field).DPMode != 0)
        return false;
    const bool compressed = from.FieldCompressed(field);
    const bool encrypted = from.FieldEncrypted(field);
    if (compressed != to.FieldCompressed(field) || encrypted != to.FieldEncrypted(field))
        return false;
    if (compressed && (a.CompressAlgoName() != b.CompressAlgoName() || a.CompressLevel() != b.CompressLevel()))
        return false;
    if (encrypted && (a.EncryptAlgoName() != b.EncryptAlgoName() || a.EncryptMode() != b.EncryptMode() ||
                      settings.oldPassword != settings.newPassword || a.PasswordCheck() != b.PasswordCheck()))
        return false;
    return true;
}

// Hands the stored bytes of blob `field` of source record `recIndex` to the
// target's next append.
void CopyStoredBlob(TTomeTableIO& from, int32_t recIndex, TTomeTableIO& to, int field) {
    const int64_t descriptor = static_cast<int64_t>(from.RecordTab().at(static_cast<size_t>(recIndex)).DataOffset) +
                               from.FieldOffsets()[static_cast<size_t>(field)];
    std::string stored;
    from.ReadStoredBlob(descriptor, stored);
    // A value that does not decode is damage: it fails here as it fails a
    // rebuild that decodes every value, instead of being carried over.
    from.DecodeStoredBlob(stored, field, [](const char*, size_t) {});
    to.SetPreEncodedBlob(field, std::move(stored));
}

void CopyRecords(TTomeDatabase& source, TTomeDatabase& target, const std::string& name,
                 const TRebuildSettings& settings) {
    TTomeTable from;
    OpenSourceTable(from, source, name);
    TTomeTable to;
    to.SetDatabaseName(target.DatabaseName());
    to.SetTableName(name);
    to.Open();
    TTomeTableIO& fromIO = *source.FindTableIO(name);
    TTomeTableIO& toIO = *target.FindTableIO(name);
    std::vector<bool> copyStored(static_cast<size_t>(from.FieldCount()), false);
    for (int i = 0; i < from.FieldCount(); ++i)
        copyStored[static_cast<size_t>(i)] = from.Fields(i).IsBlob() && CanCopyStoredBlob(fromIO, toIO, i, settings);
    const int count = from.RecordCount();
    int number = 0;
    for (from.First(); !from.Eof(); from.Next()) {
        ++number;
        if (source.OnOperationProgress)
            source.OnOperationProgress(&source, static_cast<int>(std::lround(number * 100.0 / count)));
        to.Append();
        try {
            for (int i = 0; i < from.FieldCount(); ++i) {
                TField& field = from.Fields(i);
                if (copyStored[static_cast<size_t>(i)]) {
                    CopyStoredBlob(fromIO, from.GetBookmark(), toIO, i);
                } else if (field.IsBlob()) {
                    to.WriteBlobValue(i, from.ReadBlobValue(i).value_or(std::string()));
                } else {
                    // Slots are copied byte for byte: identities and stored values stay exact.
                    const size_t width = static_cast<size_t>(StoredFieldWidth(field.DataType(), field.Size()));
                    std::memcpy(to.FieldSlot(i), from.FieldSlot(i), width);
                }
                to.Fields(i).SetModified(true);
            }
        } catch (const EDatabaseError&) {
            if (!settings.droppedRecords)
                throw;
            to.Cancel();
            ++*settings.droppedRecords;
            continue;
        }
        to.Post();
    }
    to.Close();
    from.Close();
}

// Builds the new image in `tempPath`; raises on any failure.
void BuildImage(TTomeDatabase& source, const TRebuildSettings& settings, const std::string& tempPath) {
    TTomeDBFileIO& io = *source.FileIO();
    TTomeDatabase target;
    if (!target.CreateDatabase(tempPath, settings.compressBlob, settings.compressLevel, settings.compressAlgoName,
                               settings.encrypt, settings.encryptAlgoName, settings.newPassword, settings.crc32))
        DatabaseError(FormatMessage("Cannot create file %s", tempPath.c_str()));
    target.SetDatabaseName(tempPath);
    // The copy opens and closes a table per source table; a target that let
    // its connection go between them would forget its key on the way.
    target.SetKeepConnection(true);
    target.SetPassword(settings.newPassword);
    target.Open();
    // Nobody else knows the new file yet: one lock for the whole copy spares
    // a lock, a stat and a counter read per record.
    TTomeFileLock targetLock(*target.FileIO());
    target.FileIO()->BufferWrites(kRebuildWriteBuffer);
    // Until the rename nothing refers to the new file: one sync of the whole
    // image (the Flush below) replaces a barrier per table and index.
    target.FileIO()->SetUnpublished(true);
    try {
        std::string comment;
        io.GetComments(comment, settings.oldPassword);
        target.SetComments(comment);
        std::vector<uint8_t> extData(format::kExtDataSize, 0);
        if (io.GetExtData(extData.data()))
            target.SetExtData(extData.data(), format::kExtDataSize);
        std::vector<std::string> names;
        io.GetTableNames(names);
        for (const std::string& name : names)
            CopyStructure(source, target, name);
        for (const std::string& name : names)
            CopyRecords(source, target, name, settings);
        target.Flush();
    } catch (...) {
        // A full disk fails the flush; the unlock and close on the way out
        // would try the same writes again and fail where nothing may throw.
        target.FileIO()->DiscardBufferedWrites();
        throw;
    }
}

// Renames the finished image over the database. False when the rename failed
// (the temporary file is removed; the database keeps its old file).
bool RenameOver(const std::string& tempPath, const std::string& path) {
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
}

void Reopen(TTomeDBFileIO& io) {
    const std::string path = io.FileName();
    const TTomeDBMediumType medium = io.MediumType();
    const bool readOnly = io.ReadOnly();
    const bool exclusive = io.Exclusive();
    io.Close();
    io.Open(path, medium, 0, readOnly, exclusive);
}

}  // namespace

// A directory that lists fewer tables than the file holds would make the new
// image lose the others: refuse, the old file stays as it is.
static void RefuseLostTables(TTomeDBFileIO& io) {
    TTomeFileLock lock(io);
    if (!FindUnlistedTableHeaders(io).empty())
        io.RaiseDamaged();
}

bool RebuildDatabase(TTomeDatabase& source, const TRebuildSettings& requested) {
    TTomeDBFileIO* io = source.FileIO();
    if (!io || !io->IsOpen())
        return false;
    if (io->BaseOffset() != 0 || io->ReadOnly() || io->FileReadOnly() || io->MediumType() != mtDisk)
        return false;
    TKeepConnectionScope keep(source);
    RefuseLostTables(*io);
    TRebuildSettings settings = requested;
    if (settings.encrypt && FindEncryptAlgo(settings.encryptAlgoName) < 0)
        settings.encryptAlgoName = "Blowfish";
    RemoveLeftoverRebuildFiles(io->FileName());
    const std::string tempPath = MakeTemporaryFile(io->FileName());
    if (tempPath.empty())
        return false;
    bool replaced = false;
    try {
        // The source stays locked from the first record copied until the new
        // file has replaced it, so no write by another process is lost.
        TTomeFileLock sourceLock(*io);
        BuildImage(source, settings, tempPath);
        replaced = RenameOver(tempPath, io->FileName());
    } catch (...) {
        ::unlink(tempPath.c_str());
        throw;
    }
    if (!replaced)
        return false;
    try {
        Reopen(*io);
        // The reopened file layer needs its key again.
        source.FileIO()->CheckPassword(settings.newPassword);
        return true;
    } catch (...) {
        // The reopen failed: the database cannot stay half open.
        try {
            source.Close();
        } catch (...) {
        }
        throw;
    }
}

// ---------------------------------------------------------------------------
// TTomeDatabase operations

namespace {

TRebuildSettings OwnSettings(TTomeDatabase& database) {
    const TAlgoBlock& algo = database.FileIO()->AlgoBlock();
    TRebuildSettings settings;
    settings.compressBlob = algo.CompressBlob();
    settings.compressLevel = algo.CompressLevel();
    settings.compressAlgoName = algo.CompressAlgoName();
    settings.encrypt = algo.Encrypt();
    settings.encryptAlgoName = algo.EncryptAlgoName();
    settings.crc32 = algo.CRC32();
    settings.oldPassword = database.Password();
    settings.newPassword = database.Password();
    return settings;
}

}  // namespace

bool TTomeDatabase::Compact() {
    EnsureOpenForOperation(true);
    if (!RebuildDatabase(*this, OwnSettings(*this)))
        return false;
    ReloadAfterRebuild();
    return true;
}

bool TTomeDatabase::Repair(int* droppedRecords) {
    EnsureOpenForOperation(true);
    TRebuildSettings settings = OwnSettings(*this);
    settings.decodeEveryBlob = true;
    int dropped = 0;
    settings.droppedRecords = &dropped;
    if (!RebuildDatabase(*this, settings))
        return false;
    if (droppedRecords)
        *droppedRecords = dropped;
    ReloadAfterRebuild();
    return true;
}

bool TTomeDatabase::ChangePassword(const std::string& newPassword, bool encrypt) {
    EnsureOpenForOperation(true);
    TRebuildSettings settings = OwnSettings(*this);
    settings.encrypt = encrypt;
    settings.newPassword = newPassword;
    if (!RebuildDatabase(*this, settings))
        return false;
    SetPassword(newPassword);
    ReloadAfterRebuild();
    return true;
}

void TTomeDatabase::ReloadAfterRebuild() {
    for (const auto& table : tableIOs_)
        if (table->Active())
            table->Refresh();
    for (TTomeTable* table : std::vector<TTomeTable*>(dataSets_))
        table->RefreshAfterReload();
}

}  // namespace tomedb
