// qdb create-library / tree / import / export / stats / history: manuscript
// libraries through
// the same data layer the application uses (TqlvDocData and its writing services).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliText.h"
#include "library/ManuscriptSaves.h"
#include "library/TableAccess.h"
#include "library/TqlvDocData.h"
#include "platform/ExportNames.h"
#include "platform/TextCodec.h"

using json = nlohmann::ordered_json;

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string S(const QString& text) { return text.toStdString(); }

// The data layer, answering its password prompt with --password. What the
// layer refuses (EUserError) becomes the command's error message.
class TLibrary {
public:
    explicit TLibrary(const std::optional<std::string>& password)
        : password_(Q(password.value_or(""))) {}
    TqlvDocData& Data() { return data_; }
    void Open(const std::string& path) {
        RequireExistingFile(path);
        try {
            data_.OpenDocData(Q(path), [this] { return password_; });
        } catch (const EUserError&) {
            throw CliError("Access denied");  // the only refusal of an existing file
        }
    }

private:
    QString password_;
    TqlvDocData data_;
};

json DocsJson(TqlvDocData& data, int folderID) {
    json docs = json::array();
    for (const TViewItem& item : data.LoadDocList(folderID))
        docs.push_back({{"id", item.ID}, {"name", S(item.Caption)}});
    return docs;
}

json NodeJson(TqlvDocData& data, const TViewNode& node) {
    json children = json::array();
    for (const TViewNode& child : node.Children) children.push_back(NodeJson(data, child));
    return {{"id", node.ID}, {"name", S(node.Caption)}, {"children", children},
            {"docs", DocsJson(data, node.ID)}};
}

void CollectFolderIDs(const TViewNode& node, std::set<int>& ids) {
    ids.insert(node.ID);
    for (const TViewNode& child : node.Children) CollectFolderIDs(child, ids);
}

// --folder ID (default the root, 0); it must name an existing folder.
int FolderOption(const CliArgs& args, TqlvDocData& data) {
    const std::string text = args.Option("--folder").value_or("0");
    std::optional<int64_t> id = ParseInteger(text);
    if (!id) throw CliUsageError("--folder needs a folder ID");
    std::set<int> ids;
    CollectFolderIDs(data.LoadFolderTree(), ids);
    if (!ids.count(static_cast<int>(*id)))
        throw CliError("Folder " + text + " not found");
    return static_cast<int>(*id);
}

// The import reads a file whole with its line breaks made CR LF.
QString ImportText(const std::string& path) {
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly)) throw CliError("Cannot open file '" + path + "'");
    return WithCrLf(DecodeTextFile(file.readAll()));
}

}  // namespace

int RunCreateLibrary(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(
        words, {{"--password", "--comment", "--level-index"}, {"--crc32"}, 1, 1});
    const int levelIndex = args.IntOption("--level-index", 0, 3, 2);
    const std::optional<std::string> password = args.Option("--password");
    const QString target = TqlvDocData::LibraryFileName(Q(args.At(0)));
    const bool existed = QFileInfo::exists(target);
    QString finalName;
    bool created = false;
    try {
        TLibrary library(password);
        created = library.Data().CreateDocData(
            Q(args.At(0)), Q(args.Option("--comment").value_or("")), Q(password.value_or("")), true,
            password && !password->empty(), args.Flag("--crc32"), levelIndex, &finalName);
        if (!created) throw CliError("Cannot create library '" + args.At(0) + "'");
    } catch (const EUserError& refused) {
        throw CliError(S(refused.Text()));   // refused before anything was written
    } catch (...) {
        // A library that could not be made whole (a full disk) is not left behind.
        if (!existed) QFile::remove(target);
        throw;
    }
    std::cout << S(finalName) << "\n";
    return 0;
}

int RunTree(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {kPasswordOption, {}, 1, 1});
    TLibrary library(args.Option("--password"));
    library.Open(args.At(0));
    std::cout << JsonLine(NodeJson(library.Data(), library.Data().LoadFolderTree())) << "\n";
    return 0;
}

int RunImport(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--folder"}, {}, 2, SIZE_MAX});
    TLibrary library(args.Option("--password"));
    library.Open(args.At(0));
    const int folder = FolderOption(args, library.Data());
    TCliProgress progress("import");
    const size_t count = args.Positional().size() - 1;
    // One batch: the files cost one pair of disk syncs, not a pair each.
    tomedb::TTomeWriteBatch batch(library.Data().TomeDB);
    for (size_t i = 1; i <= count; ++i) {
        TDocAttr attr;
        attr.DocName = QFileInfo(Q(args.At(i))).completeBaseName();
        attr.Txt = ImportText(args.At(i));
        const int id = library.Data().AddDoc(folder, attr);
        std::cout << JsonLine({{"id", id}, {"name", S(attr.DocName)}}) << "\n";
        progress.Step(static_cast<int64_t>(i), static_cast<int64_t>(count));
    }
    batch.Finish();
    return 0;
}

namespace {

// Writes the current manuscript of the Docs table to path, its text handed
// from the store to the file piece by piece, so that a value of any size
// (a small file may expand to gigabytes) is never held whole. A value that
// cannot be read raises EDatabaseError and leaves path as it was.
bool ExportCurrentDoc(TqlvDocData& data, const QString& path, QString* error) {
    tomedb::TTomeTable& docs = data.Doctable;
    tomedb::TTomeTableIO& io = *data.TomeDB.FindTableIO(docs.TableName());
    const int32_t record = docs.GetBookmark();
    const int txt = docs.FieldByName("Txt").Index();
    return WriteFileReplacingInPieces(
        path,
        [&](const TPieceWriter& write) {
            TGbTextFileEncoder encoder;
            bool writing = true;
            io.ReadFieldValueInPieces(record, txt, [&](const char* piece, size_t size) {
                writing = writing && write(encoder.Add(piece, size));
            });
            if (writing) write(encoder.Finish());
        },
        error);
}

// Exports one manuscript; its name goes to `name` as soon as it is read.
// Returns false (after saying why on stderr) when it was not written.
bool ExportDoc(TqlvDocData& data, int id, TExportNames& names, std::string& name) {
    name = "#" + std::to_string(id);
    try {
        const tomedb::TTomeLockScope lock(data.TomeDB);
        if (!tableaccess::FindByID(data.Doctable, id)) throw CliError("Record not found");
        const QString docName = tableaccess::FieldText(data.Doctable, "DocName");
        name = S(docName);
        const std::optional<QString> path = names.PathFor(docName);
        if (!path) {
            std::cerr << "Refused to export '" << name << "': the name leaves the folder\n";
            return false;
        }
        QString error;
        if (!ExportCurrentDoc(data, *path, &error)) {
            std::cerr << S(error) << "\n";
            return false;
        }
        std::cout << JsonLine({{"id", id}, {"name", name}, {"file", S(*path)}}) << "\n";
        return true;
    } catch (const std::exception& e) {  // a damaged record does not keep the others back
        std::cerr << "Cannot export '" << name << "': " << e.what() << "\n";
        return false;
    }
}

}  // namespace

int RunExport(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--folder"}, {}, 2, 2});
    TLibrary library(args.Option("--password"));
    library.Open(args.At(0));
    const int folder = FolderOption(args, library.Data());
    const QDir dir(Q(args.At(1)));
    if (!dir.exists() && !QDir().mkpath(dir.absolutePath()))
        throw CliError("Cannot create folder '" + args.At(1) + "'");
    std::vector<int> ids;
    for (const TViewItem& item : library.Data().LoadDocList(folder)) ids.push_back(item.ID);
    TCliProgress progress("export");
    TExportNames names(dir.absolutePath(), QStringLiteral(".txt"));
    std::vector<std::string> failed;
    for (size_t i = 0; i < ids.size(); ++i) {
        std::string name;
        if (!ExportDoc(library.Data(), ids[i], names, name)) failed.push_back(name);
        progress.Step(static_cast<int64_t>(i + 1), static_cast<int64_t>(ids.size()));
    }
    if (failed.empty()) return 0;
    std::string list;
    for (const std::string& name : failed) list += (list.empty() ? "'" : ", '") + name + "'";
    std::cerr << "Not exported (" << failed.size() << " of " << ids.size() << "): " << list << "\n";
    return 1;
}

int RunStats(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--days"}, {}, 1, 1});
    TLibrary library(args.Option("--password"));
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
    TLibrary library(args.Option("--password"));
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
        json line = {{"n", ++n},
                     {"saved", tomedb::FormatDateTime(version.SavedAt)},
                     {"chars", version.Chars}};
        if (version.Damaged)
            line["damaged"] = true;
        std::cout << JsonLine(line) << "\n";
    }
    return 0;
}
