// qdb build: a book (DOCX, ODT, EPUB, PDF, HTML, Markdown or text) from the
// whole library or one folder, through the same book source and writers the
// application uses. The file appears under its name only when complete.
#include <QFileInfo>
#include <QGuiApplication>
#include <iostream>
#include <memory>

#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/CliDatabase.h"
#include "cli/CliFields.h"
#include "cli/CliLibrary.h"
#include "cli/CliText.h"
#include "output/BookOutput.h"

using json = nlohmann::ordered_json;

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string S(const QString& text) { return text.toStdString(); }

// --folder ID|NAME: an existing folder's ID, else the one folder of that name.
TBookScope ScopeOption(const CliArgs& args, TqlvDocData& data) {
    TBookScope scope;
    const std::optional<std::string> folder = args.Option("--folder");
    if (!folder)
        return scope;
    scope.ScopeKind = TBookScope::Kind::Folder;
    if (const std::optional<int64_t> id = ParseInteger(*folder)) {
        try {
            BookFolderName(data, static_cast<int>(*id));
            scope.FolderID = static_cast<int>(*id);
            return scope;
        } catch (const EUserError&) {
            // not an ID: try it as a name
        }
    }
    const QList<int> ids = FindFoldersByName(data, Q(*folder));
    if (ids.isEmpty())
        throw CliError("Folder '" + *folder + "' not found");
    if (ids.size() > 1) {
        std::string list;
        for (int id : ids)
            list += (list.empty() ? "" : ", ") + std::to_string(id);
        throw CliError("Folder name '" + *folder + "' is ambiguous (IDs " + list + "); give an ID");
    }
    scope.FolderID = ids.first();
    return scope;
}

TBookPage PageOption(const CliArgs& args) {
    const std::string page = args.Option("--page").value_or("a5");
    if (page == "a5" || page == "A5")
        return TBookPage::A5;
    if (page == "a4" || page == "A4")
        return TBookPage::A4;
    throw CliUsageError("--page must be A5 or A4");
}

// The PDF writer lays text out with Qt's fonts, which need a GUI application;
// qdb makes one on the offscreen platform, so no display is needed.
std::unique_ptr<QGuiApplication> PdfApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qdb";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int RunBuild(const CliWords& words) {
    const CliArgs args = CliArgs::Parse(words, {{"--password", "--folder", "--title", "--author", "--page"}, {}, 2, 2});
    const QString output = Q(args.At(1));
    const std::optional<TBookFormat> format = BookFormatOfPath(output);
    if (!format)
        throw CliError(S(UnknownBookFormatText(output)));
    const TBookPage page = PageOption(args);
    TCliLibrary library(args.PasswordText());
    library.Open(args.At(0));
    const TBookScope scope = ScopeOption(args, library.Data());
    QString title = Q(args.Option("--title").value_or(""));
    if (title.isEmpty())
        title = scope.ScopeKind == TBookScope::Kind::Folder ? BookFolderName(library.Data(), scope.FolderID)
                                                            : QFileInfo(Q(args.At(0))).completeBaseName();
    std::unique_ptr<QGuiApplication> gui;
    if (*format == TBookFormat::Pdf)
        gui = PdfApplication();
    TBookRequest request;
    request.Scope = scope;
    request.Title = title;
    request.Author = Q(args.Option("--author").value_or(""));
    request.Path = output;
    request.Format = *format;
    request.Page = page;
    TBookSummary summary;
    try {
        TCliProgress progress("build");
        summary = OutputBook(library.Data(), request, [&](qint64 done, qint64 total) {
            progress.Step(done, total);
            return true;
        });
    } catch (const EUserError& refused) {
        throw CliError(S(refused.Text()));
    }
    std::cout << JsonLine({{"file", S(QFileInfo(output).absoluteFilePath())},
                           {"parts", summary.Parts},
                           {"chapters", summary.Chapters}})
              << "\n";
    return 0;
}
