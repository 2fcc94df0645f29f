// Sessions: TTomeSession groups databases, finds them by name for the tables
// that name them, counts the open tables of each, creates throw-away
// ("temporary") databases for tables that name a database nobody created,
// and carries the lock-wait parameters of the file lock. TTomeSessionList
// (the single instance Sessions()) holds every session and the engine lock;
// DefaultSession() ("Default") lives from first use to process end.
//
// Ownership: a session owns the temporary databases it creates (it frees them
// when their last table closes or when it deactivates); every other database
// is owned by whoever constructed it and only registered here. Errors are
// EDatabaseError with the messages of the session rules, prefixed
// "<Name>: " when the session has a component name.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tomedb {

class TTomeDatabase;
class TTomeSession;
class TTomeSessionList;
class TTomeTable;

class TTomeSession {
public:
    // The component name (may be empty) is used for the message prefix and
    // for AutoSessionName.
    explicit TTomeSession(const std::string& name = std::string());
    ~TTomeSession();
    TTomeSession(const TTomeSession&) = delete;
    TTomeSession& operator=(const TTomeSession&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);

    bool Active() const { return active_; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    bool AutoSessionName() const { return autoSessionName_; }
    void SetAutoSessionName(bool value);
    const std::string& SessionName() const { return sessionName_; }
    void SetSessionName(const std::string& value);
    bool KeepConnections = false;
    bool SQLHourGlass = true;
    int LockRetryCount() const { return lockRetryCount_; }
    void SetLockRetryCount(int value) { lockRetryCount_ = value < 0 ? 0 : value; }
    int LockWaitTime() const { return lockWaitTime_; }
    void SetLockWaitTime(int value) { lockWaitTime_ = value < 0 ? 0 : value; }
    std::function<void(TTomeSession*)> OnStartup;

    // Databases registered with this session, in order of registration.
    const std::vector<TTomeDatabase*>& Databases() const { return databases_; }
    TTomeDatabase* FindDatabase(const std::string& name) const;
    // Finds or creates (temporary) the database and opens it; counts a user
    // when countUser. A database created here takes the asking table's medium.
    TTomeDatabase* OpenDatabase(const std::string& name, bool countUser, TTomeTable* table);
    // Uncounts one user; closes (or frees, when temporary) a database nobody uses.
    void CloseDatabase(TTomeDatabase* database);
    void LockSession();
    void UnlockSession();

    // Raises "Duplicate database name '%s'" for another database with that
    // name, unless it is temporary and unused, in which case it is freed.
    void CheckDuplicateDatabaseName(TTomeDatabase* database, const std::string& name);

    // Registration, used by TTomeDatabase.
    void AddDatabase(TTomeDatabase* database);
    void RemoveDatabase(TTomeDatabase* database);
    // A database the session made and therefore frees.
    void AdoptTemporary(TTomeDatabase* database);
    void FreeTemporary(TTomeDatabase* database);

    // "<Name>: message" when named, else message.
    [[noreturn]] void Error(const std::string& message) const;

    // Used once, by Sessions(), to make the default session.
    struct DefaultTag {};
    TTomeSession(TTomeSessionList& list, DefaultTag);

private:
    void Activate();
    void Deactivate();
    void ApplyAutoName();

    std::string name_;
    std::string sessionName_;
    bool active_ = false;
    bool autoSessionName_ = false;
    int autoNumber_ = -1;
    int lockRetryCount_ = 20;
    int lockWaitTime_ = 100;
    int lockNesting_ = 0;
    bool destroying_ = false;
    std::vector<TTomeDatabase*> databases_;
    std::vector<TTomeDatabase*> temporaries_;
};

class TTomeSessionList {
public:
    TTomeSessionList() = default;
    ~TTomeSessionList();
    TTomeSessionList(const TTomeSessionList&) = delete;
    TTomeSessionList& operator=(const TTomeSessionList&) = delete;

    // Empty name: the default session; otherwise case-insensitive match or null.
    TTomeSession* FindSession(const std::string& name);
    // As FindSession, raising "Invalid session name %s" when none.
    TTomeSession* OpenSession(const std::string& name);
    int Count();
    TTomeSession* Session(int index);

    // The process-wide engine lock (recursive; LockSession nests on it).
    std::recursive_mutex& EngineLock() { return engineLock_; }

    // Used by TTomeSession.
    void Add(TTomeSession* session);
    void Remove(TTomeSession* session);
    int TakeAutoNumber();
    void ReleaseAutoNumber(int number);

private:
    std::recursive_mutex listLock_;
    std::recursive_mutex engineLock_;
    std::vector<TTomeSession*> sessions_;
    std::vector<bool> autoNumbers_;
    bool destroying_ = false;
};

TTomeSessionList& Sessions();
TTomeSession& DefaultSession();

}  // namespace tomedb
