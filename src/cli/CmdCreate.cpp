// qdb create / create-table / create-index: new files, tables and indexes.
#include <filesystem>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliText.h"

using namespace tomedb;

namespace {

std::vector<std::string> SplitColons(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1)
        parts.push_back(text.substr(start, colon - start));
    parts.push_back(text.substr(start));
    return parts;
}

int32_t NumberPart(const std::string& definition, const std::string& part) {
    std::optional<int64_t> value = ParseInteger(part);
    if (!value || *value < 0 || *value > INT32_MAX)
        throw CliUsageError("bad number '" + part + "' in '" + definition + "'");
    return static_cast<int32_t>(*value);
}

// FIELD:TYPE[:SIZE[:DPMODE]]
TTomeFieldItem FieldDefinition(const std::string& definition) {
    const std::vector<std::string> parts = SplitColons(definition);
    if (parts.size() < 2 || parts.size() > 4 || parts[0].empty())
        throw CliUsageError("expected FIELD:TYPE[:SIZE[:DPMODE]], got '" + definition + "'");
    std::optional<int32_t> type = FieldTypeFromText(parts[1]);
    if (!type)
        throw CliUsageError("unknown field type '" + parts[1] + "'");
    const int32_t size = parts.size() > 2 ? NumberPart(definition, parts[2]) : 0;
    const int32_t dpMode = parts.size() > 3 ? NumberPart(definition, parts[3]) : 0;
    if (dpMode > 255)
        throw CliUsageError("bad DPMODE in '" + definition + "'");
    return MakeFieldItem(Utf8ToGb(parts[0]), *type, size, static_cast<uint8_t>(dpMode));
}

TTMIndexOptions IndexOptionsFrom(const CliArgs& args) {
    TTMIndexOptions options = 0;
    if (args.Flag("--primary"))
        options |= tiPrimary;
    if (args.Flag("--unique"))
        options |= tiUnique;
    if (args.Flag("--descending"))
        options |= tiDescending;
    if (args.Flag("--case-insensitive"))
        options |= tiCaseInsensitive;
    return options;
}

void StoreComment(const std::string& path, const std::optional<std::string>& password, const std::string& comment) {
    TCliDatabase database(path, password);
    database.RequireAccess();
    if (!database.Db().SetComments(Utf8ToGb(comment)))
        throw CliError("Cannot store the comment (at most 256 bytes)");
}

}  // namespace

int RunCreate(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--comment", "--level"}, {"--crc32"}, 1, 1});
    const std::string& path = args.At(0);
    const int level = args.IntOption("--level", 0, 3, 1);
    const std::optional<std::string> password = args.PasswordOption();
    const bool encrypt = password && !password->empty();
    // Creating truncates: never overwrite a file that is already there.
    std::error_code error;
    if (std::filesystem::exists(path, error))
        throw CliError("File '" + path + "' already exists");
    TTomeDatabase creator;
    if (!creator.CreateDatabase(path, true, level, "zLIB", encrypt, "blowfish", encrypt ? *password : std::string(),
                                args.Flag("--crc32")))
        throw CliError("Cannot create database file '" + path + "'");
    if (auto comment = args.Option("--comment")) {
        try {
            StoreComment(path, password, *comment);
        } catch (...) {
            // A file that did not get all it was asked for is not left half made.
            std::filesystem::remove(path, error);
            throw;
        }
    }
    return 0;
}

int RunCreateTable(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 3, SIZE_MAX});
    std::vector<TTomeFieldItem> fields;
    for (size_t i = 2; i < args.Positional().size(); ++i)
        fields.push_back(FieldDefinition(args.At(i)));
    TCliDatabase database(args.At(0), args.PasswordOption());
    if (!database.Db().CreateTable(Utf8ToGb(args.At(1)), fields))
        throw CliError("Cannot create table '" + args.At(1) + "'");
    return 0;
}

int RunCreateIndex(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(
        words, {kPasswordOption, {"--primary", "--unique", "--descending", "--case-insensitive"}, 4, SIZE_MAX});
    std::vector<std::string> fieldNames;
    for (size_t i = 3; i < args.Positional().size(); ++i)
        fieldNames.push_back(Utf8ToGb(args.At(i)));
    TCliDatabase database(args.At(0), args.PasswordOption());
    if (!database.Db().CreateIndex(Utf8ToGb(args.At(1)), Utf8ToGb(args.At(2)), IndexOptionsFrom(args), fieldNames))
        throw CliError("Cannot create index '" + args.At(2) + "'");
    return 0;
}
