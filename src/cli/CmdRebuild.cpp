// qdb compact / repair / passwd: the rebuilds of TTomeDatabase.
#include <functional>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"

using namespace tomedb;

namespace {

int Rebuild(const CliWords& words, const char* label, const std::function<bool(TTomeDatabase&)>& operation) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 1, 1});
    TCliDatabase database(args.At(0), args.PasswordOption());
    database.RequireAccess();
    TCliProgress progress(label);
    database.Db().OnOperationProgress = [&progress](void*, int percent) { progress.Show(percent); };
    if (!operation(database.Db()))
        throw CliError("Cannot rebuild database file '" + args.At(0) + "'");
    return 0;
}

}  // namespace

int RunCompact(const CliWords& words) {
    return Rebuild(words, "compact", [](TTomeDatabase& db) { return db.Compact(); });
}

int RunRepair(const CliWords& words) {
    int dropped = 0;
    const int code = Rebuild(words, "repair", [&dropped](TTomeDatabase& db) { return db.Repair(&dropped); });
    if (dropped > 0)
        std::cerr << "Left out " << dropped << " record(s) that could not be read\n";
    return code;
}

int RunPasswd(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--new"}, {"--decrypt"}, 1, 1});
    const bool decrypt = args.Flag("--decrypt");
    const std::optional<std::string> newPassword = args.PasswordOption("--new");
    if (!decrypt && (!newPassword || newPassword->empty()))
        throw CliUsageError("passwd needs --new NEW (or --decrypt)");
    TCliDatabase database(args.At(0), args.PasswordOption());
    database.RequireAccess();
    TCliProgress progress("passwd");
    database.Db().OnOperationProgress = [&progress](void*, int percent) { progress.Show(percent); };
    if (!database.Db().ChangePassword(decrypt ? newPassword.value_or("") : *newPassword, !decrypt))
        throw CliError("Cannot rebuild database file '" + args.At(0) + "'");
    return 0;
}
