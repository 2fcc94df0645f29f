// Manuscript libraries for qdb commands: TCliLibrary owns the same data layer
// the application uses (TqlvDocData) and answers its password prompt with the
// --password value; FolderOption reads --folder. What the data layer refuses
// on opening becomes CliError "Access denied"; engine errors pass through.
#pragma once

#include <optional>
#include <string>

#include "cli/CliArgs.h"
#include "library/TqlvDocData.h"

class TCliLibrary {
public:
    explicit TCliLibrary(const std::optional<QString>& password);
    TqlvDocData& Data() { return data_; }
    // Opens an existing library file (CliError when it is missing or the
    // password is refused).
    void Open(const std::string& path);

private:
    QString password_;
    TqlvDocData data_;
};

// --folder ID (default the root, 0); it must name an existing folder.
int FolderOption(const CliArgs& args, TqlvDocData& data);
