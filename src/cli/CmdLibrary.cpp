// qdb create-library / tree / import / export / stats / history: manuscript
// libraries through
// the same data layer the application uses (TqlvDocData and its writing services).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <iostream>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliLibrary.h"
#include "cli/CliText.h"
#include "library/ManuscriptSaves.h"
#include "library/RecordExchange.h"
#include "library/TqlvDocData.h"
#include "platform/ExportNames.h"
#include "platform/TextCodec.h"

using json = nlohmann::ordered_json;

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string S(const QString& text) { return text.toStdString(); }

json DocsJson(TqlvDocData& data, int folderID) {
    json docs = json::array();
    for (const TViewItem& item : data.LoadDocList(folderID))
        docs.push_back({{"id", item.ID}, {"name", S(item.Caption)}});
    return docs;
}

json NodeJson(TqlvDocData& data, const TViewNode& node) {
    json children = json::array();
    for (const TViewNode& child : node.Children)
        children.push_back(NodeJson(data, child));
    return {{"id", node.ID}, {"name", S(node.Caption)}, {"children", children}, {"docs", DocsJson(data, node.ID)}};
}

}  // namespace

std::string ExchangeFailureText(const TExchangeFailure& failure) {
    const std::string name = S(failure.name);
    switch (failure.fault) {
        case TExchangeFault::Missing:
            return "Cannot open file '" + name + "': no such file";
        case TExchangeFault::Unreadable:
            return "Cannot open file '" + name + "': " + S(failure.detail);
        case TExchangeFault::NotAFile:
            return "Refused '" + name + "': not a regular file";
        case TExchangeFault::NotText:
            return "Refused '" + name + "': not a text file";
        case TExchangeFault::BadName:
            return "Refused to export '" + name + "': the name leaves the folder";
        case TExchangeFault::WriteFailed:
            return S(failure.detail);
        case TExchangeFault::Damaged:
            return "Cannot export '" + name + "': " + S(failure.detail);
    }
    return name;
}

int RunCreateLibrary(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--comment", "--level-index"}, {"--crc32"}, 1, 1});
    const int levelIndex = args.IntOption("--level-index", 0, 3, 2);
    const std::optional<QString> password = args.PasswordText();
    const QString target = TqlvDocData::LibraryFileName(Q(args.At(0)));
    const bool existed = QFileInfo::exists(target);
    QString finalName;
    bool created = false;
    try {
        TCliLibrary library(password);
        created = library.Data().CreateDocData(Q(args.At(0)), Q(args.Option("--comment").value_or("")),
                                               password.value_or(QString()), true, password && !password->isEmpty(),
                                               args.Flag("--crc32"), levelIndex, &finalName);
        if (!created)
            throw CliError("Cannot create library '" + args.At(0) + "'");
    } catch (const EUserError& refused) {
        throw CliError(S(refused.Text()));  // refused before anything was written
    } catch (...) {
        // A library that could not be made whole (a full disk) is not left behind.
        if (!existed)
            QFile::remove(target);
        throw;
    }
    std::cout << S(finalName) << "\n";
    return 0;
}

int RunTree(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 1, 1});
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    std::cout << JsonLine(NodeJson(library.Data(), library.Data().LoadFolderTree())) << "\n";
    return 0;
}

int RunImport(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--folder"}, {}, 2, SIZE_MAX});
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    const int folder = FolderOption(args, library.Data());
    TCliProgress progress("import");
    QList<TImportFile> files;
    for (size_t i = 1; i < args.Positional().size(); ++i)
        files.append({QByteArray::fromStdString(args.At(i))});
    TRecordExchange exchange(library.Data());
    exchange.SetProgress([&progress](int done, int total, const QString&) {
        progress.Step(done, total);
        return true;
    });
    const TImportTally tally = exchange.Import(files, folder);
    if (!tally.failures.isEmpty()) {
        for (const TExchangeFailure& failure : tally.failures)
            std::cerr << ExchangeFailureText(failure) << "\n";
        throw CliError("Nothing imported: " + std::to_string(tally.failures.size()) + " of " +
                       std::to_string(files.size()) + " files cannot be imported");
    }
    for (const TImportedRecord& record : tally.stored)
        std::cout << JsonLine({{"id", record.id}, {"name", S(record.name)}}) << "\n";
    progress.Step(static_cast<int64_t>(files.size()), static_cast<int64_t>(files.size()));
    return 0;
}

int RunExport(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--folder"}, {}, 2, 2});
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    const int folder = FolderOption(args, library.Data());
    const QDir dir(Q(args.At(1)));
    if (!dir.exists() && !QDir().mkpath(dir.absolutePath()))
        throw CliError("Cannot create folder '" + args.At(1) + "'");
    QList<int> ids;
    for (const TViewItem& item : library.Data().LoadDocList(folder))
        ids.append(item.ID);
    TCliProgress progress("export");
    TRecordExchange exchange(library.Data());
    exchange.SetProgress([&](int done, int total, const QString&) {
        progress.Step(done, total);
        return true;
    });
    const TExportTally tally = exchange.Export(ids, dir.absolutePath());
    progress.Step(tally.total, tally.total);
    for (const TExportedRecord& record : tally.written)
        std::cout << JsonLine({{"id", record.id}, {"name", S(record.name)}, {"file", S(record.path)}}) << "\n";
    if (tally.failures.isEmpty())
        return 0;
    std::string list;
    for (const TExchangeFailure& failure : tally.failures) {
        std::cerr << ExchangeFailureText(failure) << "\n";
        list += (list.empty() ? "'" : ", '") + S(failure.name) + "'";
    }
    std::cerr << "Not exported (" << tally.failures.size() << " of " << tally.total << "): " << list << "\n";
    return 1;
}

int RunStats(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--days"}, {}, 1, 1});
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    TManuscriptSaves saves(library.Data());
    for (const TDayStats& day : saves.Log().Daily(args.IntOption("--days", 1, 36500, 30)))
        std::cout << JsonLine({{"day", S(TWriteLog::DayText(day.Day))},
                               {"chars", day.Chars},
                               {"words", day.Words},
                               {"seconds", day.Seconds}})
                  << "\n";
    return 0;
}

int RunHistory(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--show"}, {}, 2, 2});
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    bool numeric = false;
    const int docID = Q(args.At(1)).toInt(&numeric);
    if (!numeric)
        throw CliUsageError("DOCID must be a number");
    TManuscriptSaves saves(library.Data());
    const std::vector<TDocVersion> versions = saves.History().Versions(docID);
    const int show = args.IntOption("--show", 1, INT_MAX, 0);
    if (show > 0) {
        if (show > static_cast<int>(versions.size()))
            throw CliError("No version " + std::to_string(show));
        try {
            std::cout << S(saves.History().Text(docID, versions[static_cast<size_t>(show - 1)].ID));
        } catch (const EUserError& error) {
            throw CliError(S(error.Text()));
        }
        return 0;
    }
    int n = 0;
    for (const TDocVersion& version : versions) {
        json line = {{"n", ++n}, {"saved", tomedb::FormatDateTime(version.SavedAt)}, {"chars", version.Chars}};
        if (version.Damaged)
            line["damaged"] = true;
        std::cout << JsonLine(line) << "\n";
    }
    return 0;
}
