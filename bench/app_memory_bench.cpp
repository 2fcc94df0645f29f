// Resident memory of the application window with a large library: 10,000
// manuscripts of about 10 KB of Chinese text in 100 folders, the folder tree
// shown, every folder's manuscripts listed once and 100 manuscripts opened in
// the editor, as a writer browsing the library would. The peer is the same
// window with no library open, measured in the same run. Target: under 150 MB.
//
// Runs on whatever Qt platform is set (offscreen by default). The library is
// built once in a temporary folder before the window starts.
//
// First, idle memory side by side: this program starts itself again, in turn
// as the real window and as a bare Qt window (a main window with a menu bar
// and a text edit), five times each, alternating, every child with an empty
// home; each child reports its resident memory 3 s after start. The medians
// and their ratio are printed (target: the real window at most 1.3x).
#include "BenchSupport.h"
#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "library/TqlvDocData.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

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

constexpr int kIdleStarts = 5;
constexpr int kIdleSettleMs = 3000;

// Child mode: shows the real window or the bare one, waits, prints VmRSS in MB.
int RunIdleChild(int argc, char** argv, bool real) {
    benchsupport::PrepareQtEnvironment();
    QApplication qt(argc, argv);
    std::unique_ptr<TQuilloraApp> app;
    std::unique_ptr<QMainWindow> bare;
    if (real) {
        app = benchsupport::StartShownWindow();
    } else {
        bare = std::make_unique<QMainWindow>();
        for (const char* title : {"File", "Edit", "View", "Tools", "Help"})
            bare->menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
        bare->setCentralWidget(new QTextEdit(bare.get()));
        bare->resize(1024, 700);
        bare->show();
    }
    QTimer::singleShot(kIdleSettleMs, &qt, &QApplication::quit);
    qt.exec();
    std::printf("%.2f\n", ResidentMegabytes());
    return 0;
}

// Starts this program as an idle child and returns its resident megabytes.
double IdleChildMegabytes(const char* program, const char* mode) {
    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
    child.setProcessEnvironment(env);
    child.start(QString::fromLocal8Bit(program), {QString::fromLatin1(mode)});
    child.waitForFinished(60000);
    return child.readAllStandardOutput().trimmed().toDouble();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void CompareIdleWindows(const char* program) {
    std::vector<double> real, bare;
    for (int i = 0; i < kIdleStarts; ++i) {
        real.push_back(IdleChildMegabytes(program, "--idle-real"));
        bare.push_back(IdleChildMegabytes(program, "--idle-bare"));
    }
    const double r = Median(real), b = Median(bare);
    std::printf("idle window, %d alternating starts, %.0f s after start (median resident MB):\n"
                "  real window %.1f MB, bare Qt window %.1f MB: %.2fx (target at most 1.3x: %s)\n",
                kIdleStarts, kIdleSettleMs / 1000.0, r, b, r / b, r / b <= 1.3 ? "met" : "NOT met");
}

void ListEveryFolder(TfrmMain& main, QTreeWidgetItem* node) {
    FillListWidget(main.DocList(), main.Context().DocData().LoadDocList(ItemID(node)));
    for (int i = 0; i < node->childCount(); ++i)
        ListEveryFolder(main, node->child(i));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--idle-real") == 0) return RunIdleChild(argc, argv, true);
    if (argc > 1 && std::strcmp(argv[1], "--idle-bare") == 0) return RunIdleChild(argc, argv, false);
    CompareIdleWindows(argv[0]);
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
