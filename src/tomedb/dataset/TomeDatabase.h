// TTomeDatabase: the handle through which the application and its tables
// reach one database file. It opens and closes the file through the file
// layer (TTomeDBFileIO), decides whether data may be read (password check,
// then the installed login handler as the last resort), keeps the file's
// table list (TableDefs) and one table storage object (TTomeTableIO) per
// table, creates database files, tables and indexes, keeps the comment and
// extra data, and rebuilds the file (Compact, Repair, ChangePassword).
//
// Ownership: the constructor's caller owns the object, except temporary
// databases, which their session creates and frees. While open the database
// owns its file layer and storage objects; tables attach to it but are owned
// by their creators. The database registers with its session for its whole
// life. Errors are EDatabaseError with the engine's messages; those raised on
// behalf of the database are prefixed "<Name>: " when it has a Name. Failures
// of the comment, extra-data and CreateDatabase file steps are reported as
// false; a cancelled login raises EAbort.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeStorageOwner.h"

namespace tomedb {

class TTomeSession;
class TTomeTable;
class TTomeTableIO;

using TNotifyEvent = std::function<void(void* sender)>;
using TOnProgressEvent = std::function<void(void* sender, int percent)>;

struct TTomeTableDef {
    std::string Name;
    int Index = 0;  // position in the file
};

// Fills one field item, cutting the name to 33 characters.
TTomeFieldItem MakeFieldItem(const std::string& name, int32_t fieldType, int32_t dataSize, uint8_t dpMode);

class TTomeDatabase : public TTomeStorageOwner {
public:
    // The session is `owner` when given, else the default session.
    explicit TTomeDatabase(TTomeSession* owner = nullptr, const std::string& name = std::string());
    ~TTomeDatabase() override;
    TTomeDatabase(const TTomeDatabase&) = delete;
    TTomeDatabase& operator=(const TTomeDatabase&) = delete;

    // ---- properties ----------------------------------------------------------
    const std::string& Name() const { return name_; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value);
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& value);
    TTomeDBMediumType MediumType() const { return mediumType_; }
    void SetMediumType(TTomeDBMediumType value);
    bool Connected() const;
    void SetConnected(bool value);
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool KeepConnection() const { return keepConnection_; }
    void SetKeepConnection(bool value);
    const std::string& SessionName() const { return sessionName_; }
    void SetSessionName(const std::string& value);
    bool AutoFlush() const { return autoFlush_; }
    void SetAutoFlush(bool value);
    int AutoFlushInterval() const { return autoFlushInterval_; }
    void SetAutoFlushInterval(int milliseconds);
    // Every record, table and comment write is on disk when it returns (write
    // barriers and a sync per operation; see TTomeDBFileIO). Off by default.
    bool DurableWrites() const { return durableWrites_; }
    void SetDurableWrites(bool value);
    // What an interrupted write left is settled table by table as tables are
    // first used (TTomeDBFileIO::SetSettleTablesOnUse); set before opening.
    void SetSettleTablesOnUse(bool value) { settleTablesOnUse_ = value; }

    TNotifyEvent BeforeConnect, BeforeDisconnect, AfterConnect, AfterDisconnect;
    TOnProgressEvent OnCompressProgress, OnUncompressProgress, OnEncryptProgress, OnDecryptProgress,
        OnOperationProgress;

    // ---- open / close and access ----------------------------------------------
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }
    void CloseDataSets();
    void Flush();
    // Flushes when AutoFlush is on, the interval has passed since the last
    // flush and the file was written. The engine has no event loop, so this
    // runs after each record write; an application timer may call it too.
    void TickAutoFlush();
    void SetPassword(const std::string& password);
    bool CanAccess() const { return canAccess_; }
    virtual void CheckCanAccess();
    virtual void CheckCanModify();
    void GetTableNames(std::vector<std::string>& list);

    // ---- structure -------------------------------------------------------------
    bool CreateDatabase(const std::string& fileName, bool compressBlob, int compressLevel,
                        const std::string& compressAlgoName, bool encrypt, const std::string& encryptAlgoName,
                        const std::string& password, bool crc32);
    bool CreateTable(const std::string& tableName, const std::vector<TTomeFieldItem>& fields);
    bool CreateIndex(const std::string& tableName, const std::string& indexName, TTMIndexOptions options,
                     const std::vector<std::string>& fieldNames);
    bool SetComments(const std::string& text);
    bool GetComments(std::string& text);
    bool SetExtData(const void* buffer, int size);
    // The 2048 bytes of the extra-data area (empty on failure).
    bool GetExtData(std::vector<uint8_t>& data);

    // ---- rebuild ------------------------------------------------------------------
    bool Compact();
    // Keeps every record it can read; a record with a value that cannot be
    // decoded is left out, and their number goes to droppedRecords.
    bool Repair(int* droppedRecords = nullptr);
    bool ChangePassword(const std::string& newPassword, bool encrypt);

    // ---- information about the open file ------------------------------------------
    bool Encrypted() const;
    bool CompressBlob() const;
    int CompressLevel() const;
    bool CRC32() const;
    int64_t FileSize() const;
    TDateTime FileDate() const;

    const std::vector<TTomeTableDef>& TableDefs() const { return tableDefs_; }
    TTomeTable* DataSets(int index) const { return dataSets_.at(static_cast<size_t>(index)); }
    int DataSetCount() const { return static_cast<int>(dataSets_.size()); }
    virtual void AttachDataSet(TTomeTable* table);
    virtual void DetachDataSet(TTomeTable* table);

    int RefCount() const { return refCount_; }
    bool Temporary() const { return temporary_; }
    TTomeSession* Session() const { return session_; }

    // ---- engine internals (tables, sessions, rebuild) ------------------------------
    TTomeDBFileIO* FileIO() const { return fileIO_.get(); }
    TTomeTableIO* FindTableIO(const std::string& tableName) const;
    const std::string& Password() const { return password_; }
    bool PasswordGiven() const { return passwordGiven_; }
    void IncRefCount() { ++refCount_; }
    void DecRefCount() {
        if (refCount_ > 0)
            --refCount_;
    }
    void SetTemporary(bool value) { temporary_ = value; }
    // Sets KeepConnection without closing an unused database (the rebuild
    // restores the caller's value this way, so a rebuild never closes it).
    void RestoreKeepConnection(bool value) { keepConnection_ = value; }
    bool Destroying() const { return destroying_; }
    void DetachFromSession(TTomeSession* session);
    // Reloads every loaded storage object and refreshes every attached table
    // (after the file was replaced by a rebuild).
    void ReloadAfterRebuild();
    // "<Name>: message" when named, else message.
    [[noreturn]] void Error(const std::string& message) const;

    // ---- TTomeStorageOwner -----------------------------------------------------------
    int32_t LockRetryCount() const override;
    int32_t LockWaitTime() const override;
    bool HasProgressHandler(TTomeProgressKind kind) const override;
    void Progress(TTomeProgressKind kind, int percent) override;

protected:
    virtual void DoConnect();
    virtual void DoDisconnect();

private:
    void CheckInactive() const;
    void CheckActive() const;
    void EnsureOpenForOperation(bool modify);
    void ResolveSession();
    void MoveToSession(TTomeSession* session);
    void RebuildTableDefs();
    void CreateTableIOs();
    const TOnProgressEvent* ProgressHandler(TTomeProgressKind kind) const;

    std::string name_;
    std::string fileName_;
    std::string databaseName_;
    std::string sessionName_;
    TTomeDBMediumType mediumType_ = mtDisk;
    bool exclusive_ = false;
    bool readOnly_ = false;
    bool keepConnection_ = false;
    bool autoFlush_ = false;
    int autoFlushInterval_ = 60000;
    std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();

    TTomeSession* session_ = nullptr;
    std::unique_ptr<TTomeDBFileIO> fileIO_;
    std::vector<std::unique_ptr<TTomeTableIO>> tableIOs_;
    std::vector<TTomeTableDef> tableDefs_;
    std::vector<TTomeTable*> dataSets_;
    std::string password_;
    bool passwordGiven_ = false;
    bool canAccess_ = false;
    bool temporary_ = false;
    bool destroying_ = false;
    bool durableWrites_ = false;
    bool settleTablesOnUse_ = false;
    int refCount_ = 0;
};

// Bulk work (an import) as one write batch of a connected database: the file
// lock is held for the scope, and the appends in it pay for one pair of
// barriers at its end instead of a pair each. A power cut inside the scope
// loses the records it appended, nothing else. Finish() ends the batch and
// reports a failure; the destructor ends it silently. Scopes nest.
class TTomeWriteBatch {
public:
    explicit TTomeWriteBatch(TTomeDatabase& database);
    ~TTomeWriteBatch();
    TTomeWriteBatch(const TTomeWriteBatch&) = delete;
    TTomeWriteBatch& operator=(const TTomeWriteBatch&) = delete;
    void Finish();
    // Makes the batch's appends so far durable before it goes on, with one
    // sync for a table that appended one record (TTomeDBFileIO::
    // CommitBatchAppends); a cut after this keeps them whatever the batch
    // writes next. Nothing in a batch nested inside another.
    void CommitAppends();

private:
    TTomeDatabase& database_;
    TTomeDBFileIO* io_ = nullptr;
};

// Holds the file lock of a database across several reads and writes, which
// then see one state of the file and pay for the lock once (other processes
// wait meanwhile, so keep the scope short). Scopes nest. Does nothing for a
// database that is not connected. The constructor may raise "Wait for unlock
// time out".
class TTomeLockScope {
public:
    explicit TTomeLockScope(TTomeDatabase& database);
    ~TTomeLockScope();
    TTomeLockScope(const TTomeLockScope&) = delete;
    TTomeLockScope& operator=(const TTomeLockScope&) = delete;

private:
    TTomeDatabase& database_;
    TTomeDBFileIO* io_ = nullptr;
};

}  // namespace tomedb
