// qdb grep / replace: find and replace across a library's manuscripts through
// the service the application's "在稿件库中查找" uses (TLibrarySearch).
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliLibrary.h"
#include "library/LibrarySearch.h"

using json = nlohmann::ordered_json;

namespace {

CliSyntax SearchSyntax(size_t positional) {
    return {{"--password", "--folder"}, {"--regex", "--ignore-case"}, positional, positional};
}

// Case-sensitive unless --ignore-case, as grep; --folder 0 (the default) is
// the whole library.
TSearchQuery QueryOf(const CliArgs& args, TqlvDocData& data) {
    TSearchQuery query;
    query.Pattern = QString::fromStdString(args.At(1));
    query.Regex = args.Flag("--regex");
    query.CaseSensitive = !args.Flag("--ignore-case");
    query.FolderID = FolderOption(args, data);
    return query;
}

TSearchControl ProgressOn(TCliProgress& progress) {
    TSearchControl control;
    control.Progress = [&progress](int done, int total) { progress.Step(done, total); };
    return control;
}

// What the service refuses (a bad pattern, a read-only file) is the
// command's error message.
template <typename Body>
auto Refusing(Body&& body) {
    try {
        return body();
    } catch (const EUserError& refused) {
        throw CliError(refused.Text().toStdString());
    }
}

}  // namespace

int RunGrep(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, SearchSyntax(2));
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    const TSearchQuery query = QueryOf(args, library.Data());
    TManuscriptSaves saves(library.Data());
    TLibrarySearch search(library.Data(), saves);
    TCliProgress progress("grep");
    const TSearchResult result = Refusing([&] { return search.Find(query, ProgressOn(progress)); });
    for (const TSearchHit& hit : result.Hits)
        std::cout << JsonLine({{"id", hit.DocID},
                               {"name", hit.DocName.toStdString()},
                               {"line", hit.Line},
                               {"text", hit.LineText.toStdString()}})
                  << "\n";
    return 0;
}

int RunReplace(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, SearchSyntax(3));
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    const TSearchQuery query = QueryOf(args, library.Data());
    TManuscriptSaves saves(library.Data());
    TLibrarySearch search(library.Data(), saves);
    TCliProgress progress("replace");
    const TReplacePlan plan =
        Refusing([&] { return search.PlanReplace(query, QString::fromStdString(args.At(2)), ProgressOn(progress)); });
    for (const QString& name : plan.Skipped)
        std::cerr << "Left alone (its stored text is not valid GB18030): '" << name.toStdString() << "'\n";
    const TReplaceOutcome outcome = Refusing([&] { return search.ApplyReplace(plan, ProgressOn(progress)); });
    std::cout << outcome.HitCount << "\n";
    return 0;
}
