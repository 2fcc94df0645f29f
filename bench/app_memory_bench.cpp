// Resident memory of the application window with a large library: 10,000
// manuscripts of about 10 KB of Chinese text in 100 folders, the folder tree
// shown, every folder's manuscripts listed once and 100 manuscripts opened in
// the editor, as a writer browsing the library would. The peer is the same
// window with no library open, measured in the same run. Target: under 150 MB.
//
// Runs on whatever Qt platform is set (offscreen by default). The library is
// built once in a temporary folder before the window starts.
#include "BenchSupport.h"
#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "library/TqlvDocData.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <memory>

namespace {

constexpr int kFolders = 100;
constexpr int kDocs = 10000;
constexpr int kOpened = 100;

// VmRSS of this process in megabytes.
double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

QString BuildLibrary(const QString& folder) {
    const QString file = benchsupport::NewLibrary(folder, QStringLiteral("memory"), QStringLiteral("内存"));
    TqlvDocData data;
    data.OpenDocData(file);
    std::vector<int> folders;
    for (int i = 0; i < kFolders; ++i)
        folders.push_back(data.AddFolder(i < 10 ? 0 : folders[size_t(i % 10)], QStringLiteral("卷%1").arg(i)));
    std::vector<QString> texts;
    for (int i = 0; i < 32; ++i)
        texts.push_back(benchsupport::ChineseText(i));
    for (int i = 0; i < kDocs; ++i) {
        TDocAttr attr;
        attr.DocName = QStringLiteral("稿件%1").arg(i);
        attr.Txt = texts[size_t(i) % texts.size()];
        data.AddDoc(folders[size_t(i % kFolders)], attr);
    }
    data.CloseDocData();
    return file;
}

void ListEveryFolder(TfrmMain& main, QTreeWidgetItem* node) {
    FillListWidget(main.DocList(), main.Context().DocData().LoadDocList(ItemID(node)));
    for (int i = 0; i < node->childCount(); ++i)
        ListEveryFolder(main, node->child(i));
}

}  // namespace

int main(int argc, char** argv) {
    benchsupport::PrepareQtEnvironment();
    QApplication qt(argc, argv);
    QTemporaryDir dir;
    const QString library = BuildLibrary(dir.path());

    const auto app = benchsupport::StartShownWindow();
    TfrmMain& main = *app->MainWindow();
    const double empty = ResidentMegabytes();

    if (!main.Library().OpenLibrary(library))
        return 1;
    main.DocTree()->expandAll();
    ListEveryFolder(main, main.DocTree()->topLevelItem(0));
    QTreeWidget* list = main.DocList();
    for (int i = 0; i < kOpened && i < list->topLevelItemCount(); ++i) {
        list->clearSelection();
        list->setCurrentItem(list->topLevelItem(i));
        list->topLevelItem(i)->setSelected(true);
        main.Manuscripts().munFileOpenClick();
        QApplication::processEvents();
    }
    const double loaded = ResidentMegabytes();
    std::printf("app memory: window alone %.1f MB; with %d manuscripts open, %d folders listed, "
                "%d opened: %.1f MB (%.2fx the empty window; target under 150 MB: %s)\n",
                empty, kDocs, kFolders, kOpened, loaded, loaded / empty,
                loaded < 150.0 ? "met" : "NOT met");
    main.close();
    return 0;
}
