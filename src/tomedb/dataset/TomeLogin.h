// The database login step. The engine shows no user interface: the
// application installs a TTomeDBLogin whose Login is asked for a password when
// a table needs an encrypted database that has no accepted password. Login
// receives the database's file name and returns the typed password, or
// std::nullopt when the user cancels (the engine then raises EAbort). With no
// handler installed the step fails and the caller sees "Access denied".
//
// The handler is not owned by the engine; SetDBLogin(nullptr) removes it.
// TScriptedDBLogin is a test double answering from a queue.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tomedb {

class TTomeDBLogin {
public:
    virtual ~TTomeDBLogin() = default;
    virtual std::optional<std::string> Login(const std::string& fileName) = 0;
};

void SetDBLogin(TTomeDBLogin* handler);
TTomeDBLogin* DBLogin();

// Answers each Login with the next queued answer (std::nullopt = Cancel) and
// records the file names asked for; an empty queue answers Cancel.
class TScriptedDBLogin : public TTomeDBLogin {
public:
    std::optional<std::string> Login(const std::string& fileName) override {
        asked.push_back(fileName);
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;
};

// Installs a handler for the lifetime of the guard and restores the previous one.
class TDBLoginScope {
public:
    explicit TDBLoginScope(TTomeDBLogin* handler) : previous_(DBLogin()) { SetDBLogin(handler); }
    ~TDBLoginScope() { SetDBLogin(previous_); }
    TDBLoginScope(const TDBLoginScope&) = delete;
    TDBLoginScope& operator=(const TDBLoginScope&) = delete;

private:
    TTomeDBLogin* previous_;
};

}  // namespace tomedb
