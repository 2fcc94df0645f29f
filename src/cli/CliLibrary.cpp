#include "cli/CliLibrary.h"

#include <set>

#include "cli/CliDatabase.h"
#include "cli/CliText.h"

namespace {

void CollectFolderIDs(const TViewNode& node, std::set<int>& ids) {
    ids.insert(node.ID);
    for (const TViewNode& child : node.Children)
        CollectFolderIDs(child, ids);
}

}  // namespace

TCliLibrary::TCliLibrary(const std::optional<QString>& password) : password_(password.value_or(QString())) {}

void TCliLibrary::Open(const std::string& path) {
    RequireExistingFile(path);
    try {
        data_.OpenDocData(QString::fromStdString(path), [this] { return password_; });
    } catch (const EUserError&) {
        throw CliError("Access denied");  // the only refusal of an existing file
    }
}

int FolderOption(const CliArgs& args, TqlvDocData& data) {
    const std::string text = args.Option("--folder").value_or("0");
    std::optional<int64_t> id = ParseInteger(text);
    if (!id)
        throw CliUsageError("--folder needs a folder ID");
    std::set<int> ids;
    CollectFolderIDs(data.LoadFolderTree(), ids);
    if (!ids.count(static_cast<int>(*id)))
        throw CliError("Folder " + text + " not found");
    return static_cast<int>(*id);
}
