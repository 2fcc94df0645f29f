// qdb verify: every structure, chain, record and blob of a database file.
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliText.h"
#include "library/DatabaseVerifier.h"

int RunVerify(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 1, 1});
    TCliDatabase database(args.At(0), args.PasswordOption(), true);
    database.RequireAccess();
    std::vector<std::string> problems;
    {
        // The progress line ends before the findings are printed.
        TCliProgress progress("verify");
        TDatabaseVerifier verifier(
            database.Db(), [](const char* message) { return MessageText(message); },
            [&progress](int64_t done, int64_t total) { progress.Step(done, total); });
        verifier.Run();
        problems = verifier.Problems();
    }
    if (problems.empty()) {
        std::cout << "ok\n";
        return 0;
    }
    for (const std::string& problem : problems)
        std::cout << problem << "\n";
    return 1;
}
