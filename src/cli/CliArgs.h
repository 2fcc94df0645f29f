// Command-line parsing shared by every qdb command: positional words,
// options that take a value ("--password P") and flags ("--crc32").
// Parsing never exits: a malformed command line raises CliUsageError, which
// main turns into the usage text and exit code 2.
#pragma once

#include <QString>

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// Bad usage (unknown option, missing value, wrong number of words).
class CliUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure found by qdb itself; its message is UTF-8 already (engine errors,
// EDatabaseError, carry GB18030 names and are decoded before printing).
class CliError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What one command accepts besides its positional words.
struct CliSyntax {
    std::set<std::string> valueOptions;  // e.g. "--password"
    std::set<std::string> flags;         // e.g. "--crc32"
    size_t minPositional = 0;
    size_t maxPositional = 0;  // SIZE_MAX for "any number"
};

class CliArgs {
public:
    // Parses the words after the command name. "--" ends the options.
    static CliArgs Parse(const std::vector<std::string>& words, const CliSyntax& syntax);

    const std::vector<std::string>& Positional() const { return positional_; }
    const std::string& At(size_t i) const { return positional_.at(i); }
    bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
    std::optional<std::string> Option(const std::string& name) const;
    // A password option as the bytes the engine keys from (PasswordBytes of the
    // word read in the terminal's encoding: GB18030 under a GB locale, UTF-8
    // otherwise); nullopt when absent. CliError when the word is not valid in
    // that encoding: its bytes are never replaced.
    std::optional<std::string> PasswordOption(const std::string& name = "--password") const;
    // The same word as text, for the library layer (which makes the bytes
    // itself); the same refusal.
    std::optional<QString> PasswordText(const std::string& name = "--password") const;
    // The option's value parsed as an integer in [low, high]; fallback when absent.
    int IntOption(const std::string& name, int low, int high, int fallback) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> options_;
    std::set<std::string> flags_;
};

// The options every database command accepts.
inline const std::set<std::string> kPasswordOption = {"--password"};
