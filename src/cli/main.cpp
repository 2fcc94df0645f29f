// qdb: the command-line tool over the engine and the library layer.
// Exit codes: 0 success, 1 an error (printed to stderr with the engine's
// message) or problems found by verify, 2 bad usage.
#include <cstring>
#include <exception>
#include <iostream>
#include <map>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliText.h"
#include "tomedb/TomeError.h"

namespace {

using CommandFn = int (*)(const CliWords&);

const std::map<std::string, CommandFn>& Commands() {
    static const std::map<std::string, CommandFn> commands = {
        {"info", RunInfo},
        {"dump", RunDump},
        {"put", RunPut},
        {"set", RunSet},
        {"del", RunDel},
        {"create", RunCreate},
        {"create-table", RunCreateTable},
        {"create-index", RunCreateIndex},
        {"compact", RunCompact},
        {"repair", RunRepair},
        {"passwd", RunPasswd},
        {"verify", RunVerify},
        {"count", RunCount},
        {"pinyin", RunPinyin},
        {"create-library", RunCreateLibrary},
        {"tree", RunTree},
        {"import", RunImport},
        {"export", RunExport},
        {"backup", RunBackup},
        {"backups", RunBackups},
        {"stats", RunStats},
        {"history", RunHistory},
        {"build", RunBuild},
        {"grep", RunGrep},
        {"replace", RunReplace},
    };
    return commands;
}

constexpr const char* kUsage =
    "usage: qdb COMMAND ARGS... [--password P]    qdb --version    qdb --help\n"
    "  info FILE                      dump FILE TABLE [--index N] [--filter E]\n"
    "  put FILE TABLE NAME=VALUE...   set FILE TABLE ID NAME=VALUE...\n"
    "  del FILE TABLE ID              create FILE [--comment T] [--level 0-3] [--crc32]\n"
    "  (put, set and del sync to disk before returning; --no-sync skips it)\n"
    "  create-table FILE TABLE FIELD:TYPE[:SIZE[:DPMODE]]...\n"
    "  create-index FILE TABLE INDEX FIELD... [--primary] [--unique] [--descending]\n"
    "               [--case-insensitive]\n"
    "  compact FILE   repair FILE   passwd FILE --new NEW [--decrypt]   verify FILE\n"
    "  count TEXTFILE   pinyin TEXT [--initials]\n"
    "  create-library FILE [--comment T] [--level-index 0-3] [--crc32]   tree FILE\n"
    "  import FILE TXT... [--folder ID]   export FILE DIR [--folder ID]\n"
    "  build LIBRARY OUTPUT [--folder ID|NAME] [--title T] [--author A] [--page A5|A4]\n"
    "                                 a book of the library or a folder; the format\n"
    "                                 from OUTPUT's extension: .docx .odt .epub .pdf\n"
    "                                 .html .md .txt\n"
    "  backup LIBRARY [DEST]          snapshot into DEST (default: the options' backup\n"
    "                                 folder), rotated as the options say\n"
    "  backups LIBRARY [DEST]         the snapshots, newest first, one JSON object a line:\n"
    "                                 path, time, size, folders, manuscripts, encrypted,\n"
    "                                 damaged (figures null until --password opens it)\n"
    "  stats LIBRARY [--days N]       the writing log, one JSON object a day (day, chars,\n"
    "                                 words, seconds) for the last N days (30), newest last\n"
    "  history LIBRARY DOCID [--show N]  the manuscript's versions, newest first, one JSON\n"
    "                                 object each (n, saved, chars), or the text of version N\n"
    "  grep LIBRARY PATTERN [--regex] [--ignore-case] [--folder ID]\n"
    "                                 every hit in the manuscripts (of the folder and its\n"
    "                                 sub-folders), one JSON object a line: id, name, line, text\n"
    "  replace LIBRARY PATTERN REPLACEMENT [--regex] [--ignore-case] [--folder ID]\n"
    "                                 replaces every hit, all or nothing; prints the count\n";

int Usage(const std::string& problem) {
    if (!problem.empty())
        std::cerr << "qdb: " << problem << "\n";
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (name == "--version") {
        std::cout << "qdb " QUILLORA_VERSION "\n";
        return 0;
    }
    auto command = Commands().find(name);
    if (command == Commands().end())
        return Usage("unknown command '" + name + "'");
    const CliWords words(argv + 2, argv + argc);
    SetCommandLineWords(words);
    try {
        return command->second(words);
    } catch (const CliUsageError& error) {
        return Usage(error.what());
    } catch (const CliError& error) {
        std::cerr << error.what() << "\n";
    } catch (const tomedb::EAbort&) {
        std::cerr << "Access denied\n";
    } catch (const std::exception& error) {
        std::cerr << MessageText(error.what()) << "\n";
    }
    return 1;
}
