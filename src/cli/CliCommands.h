// The qdb commands. Each takes the words after its name, writes its result to
// stdout and returns the exit code (0 success, 1 a problem found by verify).
// Bad usage raises CliUsageError (exit 2); engine failures raise
// EDatabaseError / EAbort, which main prints to stderr (exit 1).
#pragma once

#include <string>
#include <vector>

using CliWords = std::vector<std::string>;

int RunInfo(const CliWords& words);
int RunDump(const CliWords& words);
int RunPut(const CliWords& words);
int RunSet(const CliWords& words);
int RunDel(const CliWords& words);
int RunCreate(const CliWords& words);
int RunCreateTable(const CliWords& words);
int RunCreateIndex(const CliWords& words);
int RunCompact(const CliWords& words);
int RunRepair(const CliWords& words);
int RunPasswd(const CliWords& words);
int RunVerify(const CliWords& words);
int RunCount(const CliWords& words);
int RunPinyin(const CliWords& words);
int RunCreateLibrary(const CliWords& words);
int RunTree(const CliWords& words);
int RunImport(const CliWords& words);
// The message for a file or record an import, export or count could not handle.
std::string ExchangeFailureText(const struct TExchangeFailure& failure);
int RunExport(const CliWords& words);
int RunBuild(const CliWords& words);
int RunBackup(const CliWords& words);
int RunBackups(const CliWords& words);
int RunStats(const CliWords& words);
int RunHistory(const CliWords& words);
int RunGrep(const CliWords& words);
int RunReplace(const CliWords& words);
