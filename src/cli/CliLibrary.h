// TCliLibrary: a manuscript library opened through the data layer the
// application uses (TqlvDocData), its password prompt answered with the
// command's --password. Opening a file that does not exist raises CliError
// ("... not found"); a wrong password raises CliError("Access denied").
#pragma once

#include "library/TqlvDocData.h"

#include <optional>
#include <string>

class TCliLibrary {
public:
    explicit TCliLibrary(const std::optional<std::string>& password)
        : password_(QString::fromStdString(password.value_or(""))) {}
    TqlvDocData& Data() { return data_; }
    void Open(const std::string& path);

private:
    QString password_;
    TqlvDocData data_;
};
