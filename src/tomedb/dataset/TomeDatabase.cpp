#include "tomedb/dataset/TomeDatabase.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeLogin.h"
#include "tomedb/dataset/TomeSession.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/dataset/TomeVariant.h"
#include "tomedb/storage/TomeStructures.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

TTomeFieldItem MakeFieldItem(const std::string& name, int32_t fieldType, int32_t dataSize, uint8_t dpMode) {
    TTomeFieldItem item;
    item.FieldName = name.substr(0, 33);
    item.FieldType = fieldType;
    item.DataSize = dataSize;
    item.DPMode = dpMode;
    return item;
}

TTomeDatabase::TTomeDatabase(TTomeSession* owner, const std::string& name) : name_(name) {
    session_ = owner ? owner : &DefaultSession();
    sessionName_ = session_->SessionName();
    session_->AddDatabase(this);
}

TTomeDatabase::~TTomeDatabase() {
    destroying_ = true;
    try {
        SetConnected(false);
    } catch (...) {
        // A destructor must not throw; the file is closed by the file layer anyway.
    }
    for (TTomeTable* table : std::vector<TTomeTable*>(dataSets_))
        table->DatabaseDestroyed(this);
    if (session_)
        session_->RemoveDatabase(this);
}

[[noreturn]] void TTomeDatabase::Error(const std::string& message) const {
    if (name_.empty())
        DatabaseError(message);
    DatabaseError(FormatMessage("%s: %s", name_.c_str(), message.c_str()));
}

void TTomeDatabase::CheckInactive() const {
    if (Connected())
        Error("Cannot perform this operation on an open database");
}

void TTomeDatabase::CheckActive() const {
    if (!Connected())
        Error("Cannot perform this operation on a closed database");
}

// ---------------------------------------------------------------------------
// Property setters

void TTomeDatabase::SetFileName(const std::string& value) {
    CheckInactive();
    fileName_ = value;
}

void TTomeDatabase::SetDatabaseName(const std::string& value) {
    CheckInactive();
    if (session_)
        session_->CheckDuplicateDatabaseName(this, value);
    databaseName_ = value;
}

void TTomeDatabase::SetMediumType(TTomeDBMediumType value) {
    CheckInactive();
    mediumType_ = value;
    for (TTomeTable* table : dataSets_)
        table->DatabaseMediumChanged(value);
}

void TTomeDatabase::SetExclusive(bool value) {
    CheckInactive();
    exclusive_ = value;
}

void TTomeDatabase::SetReadOnly(bool value) {
    CheckInactive();
    readOnly_ = value;
}

void TTomeDatabase::SetSessionName(const std::string& value) {
    CheckInactive();
    sessionName_ = value;
}

void TTomeDatabase::SetKeepConnection(bool value) {
    if (value == keepConnection_)
        return;
    keepConnection_ = value;
    if (!value && refCount_ == 0 && Connected() && !destroying_)
        Close();
}

void TTomeDatabase::SetAutoFlush(bool value) {
    if (value == autoFlush_)
        return;
    autoFlush_ = value;
    if (value)
        lastFlush_ = std::chrono::steady_clock::now();
}

void TTomeDatabase::SetDurableWrites(bool value) {
    durableWrites_ = value;
    if (fileIO_)
        fileIO_->SetDurableWrites(value);
}

void TTomeDatabase::SetAutoFlushInterval(int milliseconds) { autoFlushInterval_ = milliseconds; }

bool TTomeDatabase::Connected() const { return fileIO_ && fileIO_->IsOpen(); }

void TTomeDatabase::SetConnected(bool value) {
    if (value == Connected())
        return;
    if (value)
        DoConnect();
    else
        DoDisconnect();
}

// ---------------------------------------------------------------------------
// Opening and closing

void TTomeDatabase::ResolveSession() {
    TTomeSession* wanted = Sessions().OpenSession(sessionName_);
    if (wanted != session_)
        MoveToSession(wanted);
    session_->SetActive(true);
}

void TTomeDatabase::MoveToSession(TTomeSession* session) {
    if (session_)
        session_->RemoveDatabase(this);
    session_ = session;
    session_->AddDatabase(this);
    try {
        session_->CheckDuplicateDatabaseName(this, databaseName_);
    } catch (...) {
        databaseName_.clear();
        throw;
    }
}

void TTomeDatabase::DoConnect() {
    if (BeforeConnect)
        BeforeConnect(this);
    if (databaseName_.empty() && !temporary_)
        Error("Database name missing");
    ResolveSession();
    if (!fileIO_)
        fileIO_ = std::make_unique<TTomeDBFileIO>(this);
    fileIO_->SetDurableWrites(durableWrites_);
    fileIO_->SetSettleTablesOnUse(settleTablesOnUse_);
    try {
        fileIO_->Open(fileName_.empty() ? databaseName_ : fileName_, mediumType_, 0, readOnly_, exclusive_);
    } catch (...) {
        fileIO_.reset();
        throw;
    }
    try {
        canAccess_ = !fileIO_->AlgoBlock().Encrypt();
        if (!canAccess_ && passwordGiven_)
            canAccess_ = fileIO_->CheckPassword(password_);
        RebuildTableDefs();
        CreateTableIOs();
    } catch (...) {
        fileIO_.reset();
        tableIOs_.clear();
        tableDefs_.clear();
        canAccess_ = false;
        throw;
    }
    lastFlush_ = std::chrono::steady_clock::now();
    for (TTomeTable* table : std::vector<TTomeTable*>(dataSets_))
        table->DatabaseConnectionChanged();
    if (AfterConnect)
        AfterConnect(this);
}

void TTomeDatabase::DoDisconnect() {
    if (BeforeDisconnect)
        BeforeDisconnect(this);
    for (TTomeTable* table : std::vector<TTomeTable*>(dataSets_))
        table->DatabaseConnectionChanged();
    CloseDataSets();
    if (fileIO_)
        fileIO_->Close();
    fileIO_.reset();
    refCount_ = 0;
    canAccess_ = false;
    password_.clear();
    passwordGiven_ = false;
    tableIOs_.clear();
    tableDefs_.clear();
    if (AfterDisconnect)
        AfterDisconnect(this);
}

void TTomeDatabase::CloseDataSets() {
    while (!dataSets_.empty()) {
        TTomeTable* table = dataSets_.back();
        table->CloseForDatabase();
        // A table that failed to detach must not stall the loop.
        if (!dataSets_.empty() && dataSets_.back() == table)
            dataSets_.pop_back();
    }
}

void TTomeDatabase::RebuildTableDefs() {
    tableDefs_.clear();
    std::vector<std::string> names;
    fileIO_->GetTableNames(names);
    for (size_t i = 0; i < names.size(); ++i)
        tableDefs_.push_back(TTomeTableDef{names[i], static_cast<int>(i)});
}

void TTomeDatabase::CreateTableIOs() {
    tableIOs_.clear();
    for (const TTomeTableDef& def : tableDefs_)
        tableIOs_.push_back(std::make_unique<TTomeTableIO>(*fileIO_, def.Name));
}

TTomeTableIO* TTomeDatabase::FindTableIO(const std::string& tableName) const {
    for (const auto& io : tableIOs_)
        if (SameNameAscii(io->TableName(), tableName))
            return io.get();
    return nullptr;
}

void TTomeDatabase::AttachDataSet(TTomeTable* table) {
    if (std::find(dataSets_.begin(), dataSets_.end(), table) == dataSets_.end())
        dataSets_.push_back(table);
}

void TTomeDatabase::DetachDataSet(TTomeTable* table) {
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), table), dataSets_.end());
}

void TTomeDatabase::DetachFromSession(TTomeSession* session) {
    if (session_ != session)
        return;
    if (session != &DefaultSession()) {
        try {
            Close();
        } catch (...) {
        }
        sessionName_.clear();
    }
    session_ = nullptr;
}

// ---------------------------------------------------------------------------
// Access

void TTomeDatabase::SetPassword(const std::string& password) {
    password_ = password;
    passwordGiven_ = true;
    if (Connected())
        canAccess_ = fileIO_->CheckPassword(password);
}

void TTomeDatabase::CheckCanAccess() {
    if (canAccess_)
        return;
    if (passwordGiven_) {
        SetPassword(password_);
    } else {
        TTomeDBLogin* login = DBLogin();
        if (login) {
            std::optional<std::string> typed = login->Login(fileName_.empty() ? databaseName_ : fileName_);
            if (!typed)
                throw EAbort();
            SetPassword(*typed);
        }
    }
    if (!canAccess_)
        DatabaseError("Access denied");
}

void TTomeDatabase::CheckCanModify() {
    if (readOnly_ || (fileIO_ && fileIO_->FileReadOnly()))
        DatabaseError("Cannot modify a read-only database");
}

void TTomeDatabase::EnsureOpenForOperation(bool modify) {
    if (!Connected())
        Open();
    CheckCanAccess();
    if (modify)
        CheckCanModify();
}

void TTomeDatabase::GetTableNames(std::vector<std::string>& list) {
    if (!Connected())
        return;
    fileIO_->GetTableNames(list);
}

void TTomeDatabase::Flush() {
    if (fileIO_ && fileIO_->IsOpen())
        fileIO_->Flush();
    lastFlush_ = std::chrono::steady_clock::now();
}

void TTomeDatabase::TickAutoFlush() {
    if (!autoFlush_ || !Connected())
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastFlush_ < std::chrono::milliseconds(autoFlushInterval_))
        return;
    if (!fileIO_->IsFlushed())
        fileIO_->Flush();
    lastFlush_ = now;
}

// ---------------------------------------------------------------------------
// Structure

bool TTomeDatabase::CreateDatabase(const std::string& fileName, bool compressBlob, int compressLevel,
                                   const std::string& compressAlgoName, bool encrypt,
                                   const std::string& encryptAlgoName, const std::string& password, bool crc32) {
    TTomeDBFileIO creator(this);
    return creator.CreateDatabase(fileName, compressBlob, static_cast<uint8_t>(compressLevel), compressAlgoName,
                                  encrypt, encryptAlgoName, password, crc32, mediumType_);
}

bool TTomeDatabase::CreateTable(const std::string& tableName, const std::vector<TTomeFieldItem>& fields) {
    EnsureOpenForOperation(true);
    if (!fileIO_->CreateTable(tableName, fields))
        return false;
    RebuildTableDefs();
    std::string stored = tableDefs_.empty() ? tableName : tableDefs_.back().Name;
    if (!FindTableIO(stored))
        tableIOs_.push_back(std::make_unique<TTomeTableIO>(*fileIO_, stored));
    return true;
}

bool TTomeDatabase::CreateIndex(const std::string& tableName, const std::string& indexName, TTMIndexOptions options,
                                const std::vector<std::string>& fieldNames) {
    EnsureOpenForOperation(true);
    return fileIO_->CreateIndex(tableName, indexName, options, fieldNames);
}

bool TTomeDatabase::SetComments(const std::string& text) {
    EnsureOpenForOperation(true);
    return fileIO_->SetComments(text, password_);
}

bool TTomeDatabase::GetComments(std::string& text) {
    EnsureOpenForOperation(false);
    return fileIO_->GetComments(text, password_);
}

bool TTomeDatabase::SetExtData(const void* buffer, int size) {
    EnsureOpenForOperation(true);
    return fileIO_->SetExtData(buffer, size);
}

bool TTomeDatabase::GetExtData(std::vector<uint8_t>& data) {
    EnsureOpenForOperation(false);
    data.assign(format::kExtDataSize, 0);
    if (fileIO_->GetExtData(data.data()))
        return true;
    data.clear();
    return false;
}

// ---------------------------------------------------------------------------
// Information about the open file

bool TTomeDatabase::Encrypted() const {
    CheckActive();
    return fileIO_->AlgoBlock().Encrypt();
}

bool TTomeDatabase::CompressBlob() const {
    CheckActive();
    return fileIO_->AlgoBlock().CompressBlob();
}

int TTomeDatabase::CompressLevel() const {
    CheckActive();
    return fileIO_->AlgoBlock().CompressLevel();
}

bool TTomeDatabase::CRC32() const {
    CheckActive();
    return fileIO_->AlgoBlock().CRC32();
}

// Without the zero tail this object's durable appends fill: the size the
// file will have once closed.
int64_t TTomeDatabase::FileSize() const {
    CheckActive();
    return fileIO_->AppendPosition(true);
}

TDateTime TTomeDatabase::FileDate() const {
    CheckActive();
    if (mediumType_ == mtMemory)
        return Now();
    struct stat info {};
    const std::string& path = fileIO_->FileName();
    if (::stat(path.c_str(), &info) != 0)
        return Now();
    tm local{};
    const time_t when = info.st_mtime;
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return ParseDateTime(text);
}

// ---------------------------------------------------------------------------
// TTomeStorageOwner

int32_t TTomeDatabase::LockRetryCount() const { return session_ ? session_->LockRetryCount() : 20; }

int32_t TTomeDatabase::LockWaitTime() const { return session_ ? session_->LockWaitTime() : 100; }

const TOnProgressEvent* TTomeDatabase::ProgressHandler(TTomeProgressKind kind) const {
    switch (kind) {
        case TTomeProgressKind::Compress:
            return &OnCompressProgress;
        case TTomeProgressKind::Uncompress:
            return &OnUncompressProgress;
        case TTomeProgressKind::Encrypt:
            return &OnEncryptProgress;
        case TTomeProgressKind::Decrypt:
            return &OnDecryptProgress;
    }
    return nullptr;
}

bool TTomeDatabase::HasProgressHandler(TTomeProgressKind kind) const {
    const TOnProgressEvent* handler = ProgressHandler(kind);
    return handler && *handler;
}

void TTomeDatabase::Progress(TTomeProgressKind kind, int percent) {
    const TOnProgressEvent* handler = ProgressHandler(kind);
    if (!handler || !*handler)
        return;
    try {
        (*handler)(this, percent);
    } catch (...) {
        // Progress must not throw into the file layer.
    }
}

TTomeLockScope::TTomeLockScope(TTomeDatabase& database) : database_(database) {
    TTomeDBFileIO* io = database.FileIO();
    if (!io || !io->IsOpen())
        return;
    io->Lock();
    io_ = io;
}

// The database may have been closed inside the scope; its file layer then
// holds no lock any more.
TTomeLockScope::~TTomeLockScope() {
    if (io_ && database_.FileIO() == io_)
        io_->Unlock();
}

TTomeWriteBatch::TTomeWriteBatch(TTomeDatabase& database) : database_(database) {
    TTomeDBFileIO* io = database.FileIO();
    if (!io || !io->IsOpen())
        return;
    io->BeginBatch();
    io_ = io;
}

void TTomeWriteBatch::Finish() {
    TTomeDBFileIO* io = io_;
    io_ = nullptr;
    if (io && database_.FileIO() == io)
        io->EndBatch();
}

void TTomeWriteBatch::CommitAppends() {
    if (io_ && database_.FileIO() == io_)
        io_->CommitBatchAppends();
}

TTomeWriteBatch::~TTomeWriteBatch() {
    try {
        Finish();
    } catch (const EDatabaseError&) {
        // Unreportable here; Finish() is the place to learn of it.
    }
}

}  // namespace tomedb
