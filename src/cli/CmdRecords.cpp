// qdb dump / put / set / del: records of one table through TTomeTable.
#include <cstdint>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliText.h"

using namespace tomedb;

namespace {

const CliSyntax kDumpSyntax{{"--password", "--index", "--filter"}, {"--case-insensitive", "--no-partial"}, 2, 2};

void ApplyDumpOptions(TTomeTable& table, const CliArgs& args) {
    if (auto index = args.Option("--index"))
        table.SetIndexName(Utf8ToGb(*index));
    TFilterOptions options = 0;
    if (args.Flag("--case-insensitive"))
        options |= foCaseInsensitive;
    if (args.Flag("--no-partial"))
        options |= foNoPartialCompare;
    table.SetFilterOptions(options);
    if (auto filter = args.Option("--filter")) {
        table.SetFilter(Utf8ToGb(*filter));
        table.SetFiltered(true);
    }
}

// Splits NAME=VALUE; the name is the text before the first '='.
std::pair<std::string, std::string> SplitAssignment(const std::string& word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0)
        throw CliUsageError("expected NAME=VALUE, got '" + word + "'");
    return {word.substr(0, eq), word.substr(eq + 1)};
}

void AssignAll(TTomeTable& table, const CliWords& assignments) {
    for (const std::string& word : assignments) {
        const auto [name, value] = SplitAssignment(word);
        AssignFieldText(table.FieldByName(Utf8ToGb(name)), value);
    }
}

// Assignments are validated as usage before anything is opened.
CliWords AssignmentsFrom(const CliArgs& args, size_t first) {
    CliWords assignments(args.Positional().begin() + static_cast<std::ptrdiff_t>(first), args.Positional().end());
    for (const std::string& word : assignments)
        SplitAssignment(word);
    return assignments;
}

TField* AutoIncField(TTomeTable& table) {
    for (int i = 0; i < table.FieldCount(); ++i)
        if (table.Fields(i).DataType() == ftAutoInc)
            return &table.Fields(i);
    return nullptr;
}

// Positions the table on the record whose primary key is keyText.
void GotoPrimaryKey(TTomeTable& table, const std::string& keyText) {
    for (const TTableIndexDef& index : table.IndexDefs()) {
        if (!(index.Options & ixPrimary))
            continue;
        table.SetIndexName(index.Name);
        const std::string firstField = index.Fields.substr(0, index.Fields.find(','));
        const TField& field = table.FieldByName(firstField);
        if (!table.FindKey({KeyVariant(field.DataType(), field.FieldName(), keyText)}))
            throw CliError("Record not found");
        return;
    }
    throw CliError("Table '" + GbToUtf8(table.TableName()) + "' has no primary index");
}

// put, set and del change one record each: durable by default, so the change
// is on disk when qdb returns; --no-sync leaves syncing to scripts that batch.
CliSyntax kWriteSyntax(size_t minPositional, size_t maxPositional) {
    return {kPasswordOption, {"--no-sync"}, minPositional, maxPositional};
}

std::unique_ptr<TTomeTable> OpenTable(TCliDatabase& database, const std::string& name, const CliArgs& args) {
    database.Db().SetDurableWrites(!args.Flag("--no-sync"));
    database.RequireAccess();
    std::unique_ptr<TTomeTable> table = database.Table(Utf8ToGb(name));
    table->Open();
    return table;
}

}  // namespace

int RunDump(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, kDumpSyntax);
    TCliDatabase database(args.At(0), args.PasswordOption(), true);
    database.RequireAccess();
    std::unique_ptr<TTomeTable> table = database.Table(Utf8ToGb(args.At(1)));
    table->SetReadOnly(true);
    ApplyDumpOptions(*table, args);
    table->Open();
    TTomeTableIO& io = *database.Db().FindTableIO(table->TableName());
    for (table->First(); !table->Eof(); table->Next())
        WriteRecordJson(std::cout, *table, io);
    return 0;
}

int RunPut(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, kWriteSyntax(3, SIZE_MAX));
    const CliWords assignments = AssignmentsFrom(args, 2);
    TCliDatabase database(args.At(0), args.PasswordOption());
    std::unique_ptr<TTomeTable> table = OpenTable(database, args.At(1), args);
    table->Append();
    try {
        AssignAll(*table, assignments);
        table->Post();
    } catch (...) {
        table->Cancel();
        throw;
    }
    if (TField* autoInc = AutoIncField(*table))
        std::cout << autoInc->AsInteger() << "\n";
    return 0;
}

int RunSet(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, kWriteSyntax(4, SIZE_MAX));
    const CliWords assignments = AssignmentsFrom(args, 3);
    TCliDatabase database(args.At(0), args.PasswordOption());
    std::unique_ptr<TTomeTable> table = OpenTable(database, args.At(1), args);
    GotoPrimaryKey(*table, args.At(2));
    table->Edit();
    try {
        AssignAll(*table, assignments);
        table->Post();
    } catch (...) {
        table->Cancel();
        throw;
    }
    return 0;
}

int RunDel(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, kWriteSyntax(3, 3));
    TCliDatabase database(args.At(0), args.PasswordOption());
    std::unique_ptr<TTomeTable> table = OpenTable(database, args.At(1), args);
    GotoPrimaryKey(*table, args.At(2));
    table->Delete();
    return 0;
}
