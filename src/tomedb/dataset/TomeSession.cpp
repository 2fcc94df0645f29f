#include "tomedb/dataset/TomeSession.h"

#include <algorithm>
#include <cctype>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/storage/TomeStructures.h"

namespace tomedb {

// ---------------------------------------------------------------------------
// TTomeSessionList

TTomeSessionList& Sessions() {
    // Never destroyed: databases owned by application objects may outlive
    // static destruction, and they still reach their session on the way out.
    static TTomeSessionList* list = [] {
        auto* created = new TTomeSessionList();
        new TTomeSession(*created, TTomeSession::DefaultTag{});
        return created;
    }();
    return *list;
}

TTomeSession& DefaultSession() { return *Sessions().Session(0); }

TTomeSessionList::~TTomeSessionList() {
    destroying_ = true;
    while (!sessions_.empty())
        delete sessions_.back();
}

TTomeSession* TTomeSessionList::FindSession(const std::string& name) {
    std::lock_guard<std::recursive_mutex> guard(listLock_);
    if (name.empty())
        return sessions_.empty() ? nullptr : sessions_.front();
    for (TTomeSession* session : sessions_)
        if (SameNameAscii(session->SessionName(), name))
            return session;
    return nullptr;
}

TTomeSession* TTomeSessionList::OpenSession(const std::string& name) {
    TTomeSession* session = FindSession(name);
    if (!session)
        DatabaseError(FormatMessage("Invalid session name %s", name.c_str()));
    return session;
}

int TTomeSessionList::Count() {
    std::lock_guard<std::recursive_mutex> guard(listLock_);
    return static_cast<int>(sessions_.size());
}

TTomeSession* TTomeSessionList::Session(int index) {
    std::lock_guard<std::recursive_mutex> guard(listLock_);
    return sessions_.at(static_cast<size_t>(index));
}

void TTomeSessionList::Add(TTomeSession* session) {
    std::lock_guard<std::recursive_mutex> guard(listLock_);
    sessions_.push_back(session);
}

void TTomeSessionList::Remove(TTomeSession* session) {
    std::lock_guard<std::recursive_mutex> guard(listLock_);
    sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), session), sessions_.end());
}

int TTomeSessionList::TakeAutoNumber() {
    std::lock_guard<std::recursive_mutex> guard(engineLock_);
    for (size_t i = 0; i < autoNumbers_.size(); ++i) {
        if (!autoNumbers_[i]) {
            autoNumbers_[i] = true;
            return static_cast<int>(i);
        }
    }
    autoNumbers_.push_back(true);
    return static_cast<int>(autoNumbers_.size() - 1);
}

void TTomeSessionList::ReleaseAutoNumber(int number) {
    std::lock_guard<std::recursive_mutex> guard(engineLock_);
    if (number >= 0 && static_cast<size_t>(number) < autoNumbers_.size())
        autoNumbers_[static_cast<size_t>(number)] = false;
}

// ---------------------------------------------------------------------------
// TTomeSession

TTomeSession::TTomeSession(const std::string& name) : name_(name) { Sessions().Add(this); }

TTomeSession::TTomeSession(TTomeSessionList& list, DefaultTag) : sessionName_("Default") { list.Add(this); }

TTomeSession::~TTomeSession() {
    destroying_ = true;
    try {
        SetActive(false);
    } catch (...) {
    }
    if (autoNumber_ >= 0)
        Sessions().ReleaseAutoNumber(autoNumber_);
    // Databases that remain (owned by others) lose their session name.
    for (TTomeDatabase* database : std::vector<TTomeDatabase*>(databases_)) {
        database->DetachFromSession(this);
    }
    Sessions().Remove(this);
}

[[noreturn]] void TTomeSession::Error(const std::string& message) const {
    if (name_.empty())
        DatabaseError(message);
    DatabaseError(FormatMessage("%s: %s", name_.c_str(), message.c_str()));
}

void TTomeSession::SetName(const std::string& name) {
    name_ = name;
    if (autoSessionName_)
        ApplyAutoName();
}

void TTomeSession::SetActive(bool value) {
    if (value == active_)
        return;
    if (value)
        Activate();
    else
        Deactivate();
}

void TTomeSession::Activate() {
    std::lock_guard<std::recursive_mutex> guard(Sessions().EngineLock());
    if (OnStartup)
        OnStartup(this);
    if (sessionName_.empty())
        Error("Session name missing");
    active_ = true;
    if (this != &DefaultSession())
        DefaultSession().SetActive(true);
}

void TTomeSession::Deactivate() {
    std::lock_guard<std::recursive_mutex> guard(Sessions().EngineLock());
    for (size_t i = databases_.size(); i-- > 0;) {
        if (i >= databases_.size())
            continue;
        TTomeDatabase* database = databases_[i];
        if (database->Temporary())
            FreeTemporary(database);
        else
            database->Close();
    }
    active_ = false;
}

void TTomeSession::SetAutoSessionName(bool value) {
    if (value == autoSessionName_)
        return;
    if (value) {
        if (active_)
            Error("Cannot perform this operation on an active session");
        autoNumber_ = Sessions().TakeAutoNumber();
        autoSessionName_ = true;
        ApplyAutoName();
    } else {
        Sessions().ReleaseAutoNumber(autoNumber_);
        autoNumber_ = -1;
        autoSessionName_ = false;
    }
}

void TTomeSession::ApplyAutoName() {
    const std::string automatic = FormatMessage("%s_%d", name_.c_str(), autoNumber_ + 1);
    autoSessionName_ = false;  // the automatic naming may set the name itself
    try {
        SetSessionName(automatic);
    } catch (...) {
        autoSessionName_ = true;
        throw;
    }
    autoSessionName_ = true;
}

void TTomeSession::SetSessionName(const std::string& value) {
    if (autoSessionName_)
        Error("Cannot modify SessionName while AutoSessionName is enabled");
    if (active_)
        Error("Cannot perform this operation on an active session");
    if (!value.empty()) {
        TTomeSession* other = Sessions().FindSession(value);
        if (other && other != this)
            Error(FormatMessage("Duplicate session name '%s'", value.c_str()));
    }
    sessionName_ = value;
}

TTomeDatabase* TTomeSession::FindDatabase(const std::string& name) const {
    for (TTomeDatabase* database : databases_)
        if (SameNameAscii(database->DatabaseName(), name))
            return database;
    return nullptr;
}

void TTomeSession::LockSession() {
    if (lockNesting_ == 0) {
        Sessions().EngineLock().lock();
        try {
            if (!active_)
                SetActive(true);
        } catch (...) {
            Sessions().EngineLock().unlock();
            throw;
        }
    }
    ++lockNesting_;
}

void TTomeSession::UnlockSession() {
    if (lockNesting_ <= 0)
        return;
    if (--lockNesting_ == 0)
        Sessions().EngineLock().unlock();
}

TTomeDatabase* TTomeSession::OpenDatabase(const std::string& name, bool countUser, TTomeTable* table) {
    LockSession();
    struct Unlock {
        TTomeSession* s;
        ~Unlock() { s->UnlockSession(); }
    } unlock{this};
    TTomeDatabase* database = FindDatabase(name);
    bool created = false;
    if (!database) {
        database = new TTomeDatabase(this);
        AdoptTemporary(database);
        created = true;
        if (table)
            database->SetMediumType(table->MediumType());
        database->SetDatabaseName(name);
        database->SetKeepConnection(KeepConnections);
    }
    try {
        database->Open();
    } catch (...) {
        if (created)
            FreeTemporary(database);
        throw;
    }
    if (countUser)
        database->IncRefCount();
    return database;
}

void TTomeSession::CloseDatabase(TTomeDatabase* database) {
    if (!database)
        return;
    if (database->RefCount() > 0)
        database->DecRefCount();
    if (database->RefCount() == 0 && !database->KeepConnection()) {
        if (database->Temporary()) {
            if (!database->Destroying())
                FreeTemporary(database);
        } else {
            database->Close();
        }
    }
}

void TTomeSession::CheckDuplicateDatabaseName(TTomeDatabase* database, const std::string& name) {
    if (name.empty())
        return;
    for (TTomeDatabase* other : std::vector<TTomeDatabase*>(databases_)) {
        if (other == database || !SameNameAscii(other->DatabaseName(), name))
            continue;
        if (other->Temporary() && other->RefCount() == 0 && !other->Destroying())
            FreeTemporary(other);
        else
            DatabaseError(FormatMessage("Duplicate database name '%s'", name.c_str()));
    }
}

void TTomeSession::AddDatabase(TTomeDatabase* database) {
    if (std::find(databases_.begin(), databases_.end(), database) == databases_.end())
        databases_.push_back(database);
}

void TTomeSession::RemoveDatabase(TTomeDatabase* database) {
    databases_.erase(std::remove(databases_.begin(), databases_.end(), database), databases_.end());
    temporaries_.erase(std::remove(temporaries_.begin(), temporaries_.end(), database), temporaries_.end());
}

void TTomeSession::AdoptTemporary(TTomeDatabase* database) {
    database->SetTemporary(true);
    temporaries_.push_back(database);
}

void TTomeSession::FreeTemporary(TTomeDatabase* database) {
    if (std::find(temporaries_.begin(), temporaries_.end(), database) == temporaries_.end())
        return;
    delete database;  // its destructor leaves both lists
}

}  // namespace tomedb
