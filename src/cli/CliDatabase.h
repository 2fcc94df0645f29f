// Opening database files for qdb commands. TCliDatabase owns one
// TTomeDatabase connected to a file, with the --password value given to it and
// a login handler installed that answers with that value (without --password
// no handler is installed and an encrypted file fails with "Access denied").
// Tables opened on the same file name find this database through the default
// session. TCliProgress draws a progress bar on stderr when stderr is a
// terminal and does nothing otherwise. Engine errors pass through unchanged.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/CliArgs.h"
#include "tomedb/TomeDB.h"

class TCliDatabase {
public:
    // Connects to path (must exist). readOnly opens without write access.
    TCliDatabase(const std::string& path, const std::optional<std::string>& password, bool readOnly = false);
    ~TCliDatabase();
    TCliDatabase(const TCliDatabase&) = delete;
    TCliDatabase& operator=(const TCliDatabase&) = delete;

    tomedb::TTomeDatabase& Db() { return db_; }
    const std::string& Path() const { return path_; }
    // Raises "Access denied" unless the data can be read.
    void RequireAccess() { db_.CheckCanAccess(); }
    // A closed table on this database; the caller opens it.
    std::unique_ptr<tomedb::TTomeTable> Table(const std::string& tableName);

private:
    class TLogin : public tomedb::TTomeDBLogin {
    public:
        explicit TLogin(std::string password) : password_(std::move(password)) {}
        std::optional<std::string> Login(const std::string&) override { return password_; }

    private:
        std::string password_;
    };

    std::string path_;
    std::unique_ptr<TLogin> login_;
    std::unique_ptr<tomedb::TDBLoginScope> loginScope_;
    tomedb::TTomeDatabase db_;
};

// Raises CliError "File '<path>' not found" when path is no regular file.
void RequireExistingFile(const std::string& path);

class TCliProgress {
public:
    explicit TCliProgress(std::string label);
    ~TCliProgress();
    TCliProgress(const TCliProgress&) = delete;
    TCliProgress& operator=(const TCliProgress&) = delete;
    void Show(int percent);
    // done of total, as a percentage.
    void Step(int64_t done, int64_t total);

private:
    std::string label_;
    bool enabled_;
    int shown_ = -1;
};
