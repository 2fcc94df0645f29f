#include "cli/CliDatabase.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

TCliDatabase::TCliDatabase(const std::string& path, const std::optional<std::string>& password, bool readOnly)
    : path_(path) {
    if (password) {
        login_ = std::make_unique<TLogin>(*password);
        loginScope_ = std::make_unique<tomedb::TDBLoginScope>(login_.get());
        db_.SetPassword(*password);
    }
    db_.SetDatabaseName(path);
    db_.SetReadOnly(readOnly);
    db_.SetKeepConnection(true);
    db_.Open();
}

TCliDatabase::~TCliDatabase() {
    try {
        db_.Close();
    } catch (...) {
        // Closing flushes; a failure here has nothing left to report to.
    }
}

std::unique_ptr<tomedb::TTomeTable> TCliDatabase::Table(const std::string& tableName) {
    auto table = std::make_unique<tomedb::TTomeTable>();
    table->SetDatabaseName(path_);
    table->SetTableName(tableName);
    return table;
}

void RequireExistingFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw CliError("File '" + path + "' not found");
}

TCliProgress::TCliProgress(std::string label) : label_(std::move(label)), enabled_(isatty(2) == 1) {}

TCliProgress::~TCliProgress() {
    if (enabled_ && shown_ >= 0)
        std::fputs("\n", stderr);
}

void TCliProgress::Show(int percent) {
    if (!enabled_)
        return;
    percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    if (percent == shown_)
        return;
    shown_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), percent);
    std::fflush(stderr);
}

void TCliProgress::Step(int64_t done, int64_t total) {
    if (total > 0)
        Show(static_cast<int>(done * 100 / total));
}
