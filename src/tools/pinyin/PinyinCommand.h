// The `qdb pinyin TEXT [--initials]` command, kept here so that the qdb tool
// only has to pass its arguments on and print the result.
//
// `args` are the words after "pinyin". TEXT is UTF-8, as a terminal gives it;
// the output is the full pinyin (or the initials with --initials) and a line
// break. "--" ends the options, so a TEXT starting with "-" can be given.
// Exit codes: 0 success (also for --help), 2 a usage error (no TEXT, more than
// one, an unknown option, TEXT not valid UTF-8), with a message in `error`.
#pragma once

#include <string>
#include <vector>

struct TPinyinCommandResult {
    int exitCode = 0;
    std::string output;  // for standard output
    std::string error;   // for standard error
};

TPinyinCommandResult RunPinyinCommand(const std::vector<std::string>& args);
