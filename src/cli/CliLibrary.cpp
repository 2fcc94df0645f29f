#include "cli/CliLibrary.h"

#include "cli/CliArgs.h"
#include "cli/CliDatabase.h"

void TCliLibrary::Open(const std::string& path) {
    RequireExistingFile(path);
    try {
        data_.OpenDocData(QString::fromStdString(path), [this] { return password_; });
    } catch (const EUserError&) {
        throw CliError("Access denied");  // the only refusal of an existing file
    }
}
