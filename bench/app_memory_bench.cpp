// Resident memory of the application window with a large library: 10,000
// manuscripts of about 10 KB of Chinese text in 100 folders, the folder tree
// shown, every folder's manuscripts listed once and 100 manuscripts opened in
// the editor, as a writer browsing the library would. The peer is the same
// window with no library open, measured in the same run. Target: under 150 MB.
//
// Runs on whatever Qt platform is set (offscreen by default). The library is
// built once in a temporary folder before the window starts.
//
// First, the idle window side by side, five starts each, alternating, every
// child with an empty home: the quillora program itself against a bare Qt
// window (a main window with a menu bar and a text edit, peers/bare_window.cpp,
// linked to Qt Widgets alone), each one's resident memory read 3 s after
// start, or 2 s after its window came when that was later (target: quillora
// at most 1.3x), and the time from starting each
// until its first window is shown and it says "Ready" (quillora without its
// splash). Medians and ratios are printed.
#include "BenchSupport.h"
#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TMainCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "library/TqlvDocData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

// VmRSS in megabytes of the process whose /proc folder is `process`
// ("self" for this one).
double ResidentMegabytes(const QString& process = QStringLiteral("self")) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
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
constexpr int kIdleAfterReadyMs = 2000;

// An empty home for every child, and an instance name of its own so that a
// running Quillora is not asked to open the window instead.
void PrepareChild(QProcess& child, const QTemporaryDir& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.path());
    // Else a program in the build tree keeps its files beside itself.
    env.insert(QStringLiteral("QUILLORA_HOME"), home.path() + QStringLiteral("/quillora/"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("QUILLORA_INSTANCE_NAME"),
               QStringLiteral("memory-bench-%1").arg(QCoreApplication::applicationPid()));
    env.insert(QStringLiteral("QUILLORA_SPLASH_MS"), QStringLiteral("0"));
    env.insert(QStringLiteral("QUILLORA_TRACE"), QStringLiteral("1"));  // prints "Ready" when shown
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

void EndChild(QProcess& child) {
    child.terminate();  // the real window closes as on logout
    if (!child.waitForFinished(10000)) {
        child.kill();
        child.waitForFinished(5000);
    }
}

struct TIdleStart {
    double readyMs = -1;    // from starting the process to its "Ready" line
    double megabytes = -1;  // resident kIdleSettleMs after start
};

// Starts `program` with an empty home; times its first window and reads its
// resident memory kIdleSettleMs after start (later when it was slow to show).
TIdleStart StartIdle(const QString& program) {
    QTemporaryDir home;
    QProcess child;
    PrepareChild(child, home);
    TIdleStart start;
    QElapsedTimer clock;
    clock.start();
    child.start(program, {});
    QByteArray output;
    while (start.readyMs < 0 && child.waitForReadyRead(30000)) {
        output += child.readAllStandardOutput();
        if (output.contains("Ready"))
            start.readyMs = double(clock.nsecsElapsed()) / 1e6;
    }
    // On a busy machine the window may come late: it gets kIdleAfterReadyMs
    // after "Ready" all the same, so an unfinished start is not measured.
    const qint64 settle = std::max<qint64>(kIdleSettleMs, qint64(start.readyMs) + kIdleAfterReadyMs);
    const qint64 left = settle - clock.elapsed();
    if (left > 0)
        child.waitForFinished(int(left));  // returns at once only if it ended early
    if (child.state() == QProcess::Running)
        start.megabytes = ResidentMegabytes(QString::number(child.processId()));
    EndChild(child);
    return start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Idle memory of the real program against a bare Qt program, and the time to
// their first window, the two started in turn in the same run.
void CompareIdleWindows() {
    const QString platform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qEnvironmentVariable("QT_QPA_PLATFORM")
                                                                          : QStringLiteral("offscreen");
    // QUILLORA_BENCH_PROGRAM names another build of quillora to measure (an
    // earlier one, for a before-and-after comparison).
    const QString program = qEnvironmentVariableIsSet("QUILLORA_BENCH_PROGRAM")
                                ? qEnvironmentVariable("QUILLORA_BENCH_PROGRAM")
                                : QStringLiteral(QUILLORA_EXECUTABLE);
    std::vector<double> real, bare, realMs, bareMs;
    for (int i = 0; i < kIdleStarts; ++i) {
        const TIdleStart r = StartIdle(program);
        const TIdleStart b = StartIdle(QStringLiteral(BARE_WINDOW_EXECUTABLE));
        real.push_back(r.megabytes);
        realMs.push_back(r.readyMs);
        bare.push_back(b.megabytes);
        bareMs.push_back(b.readyMs);
    }
    const double rm = Median(real), bm = Median(bare);
    std::printf(
        "idle window (%s), %d alternating starts, empty home, medians:\n"
        "  resident %.0f s after start: %s %.1f MB, bare Qt window %.1f MB: %.2fx (target at most 1.3x: %s)\n",
        qPrintable(platform), kIdleStarts, kIdleSettleMs / 1000.0, qPrintable(program), rm, bm, rm / bm,
        rm / bm <= 1.3 ? "met" : "NOT met");
    const double rt = Median(realMs), bt = Median(bareMs);
    std::printf("  first window ready after: %.0f ms, bare Qt window %.0f ms: %.2fx\n", rt, bt, rt / bt);
}

void ListEveryFolder(TfrmMain& main, QTreeWidgetItem* node) {
    FillListWidget(main.DocList(), main.Context().DocData().LoadDocList(ItemID(node)));
    for (int i = 0; i < node->childCount(); ++i)
        ListEveryFolder(main, node->child(i));
}

}  // namespace

int main(int argc, char** argv) {
    CompareIdleWindows();
    if (argc > 1 && std::strcmp(argv[1], "--idle-only") == 0)
        return 0;
    benchsupport::PrepareQtEnvironment();
    QApplication qt(argc, argv);
    QTemporaryDir dir;
    const QString library = BuildLibrary(dir.path());

    const auto app = benchsupport::StartShownWindow();
    TfrmMain& main = *app->MainWindow();
    TMainCommands& commands = *app->Commands();
    const double empty = ResidentMegabytes();

    if (!commands.Library().OpenLibrary(library))
        return 1;
    main.DocTree()->expandAll();
    ListEveryFolder(main, main.DocTree()->topLevelItem(0));
    QTreeWidget* list = main.DocList();
    for (int i = 0; i < kOpened && i < list->topLevelItemCount(); ++i) {
        list->clearSelection();
        list->setCurrentItem(list->topLevelItem(i));
        list->topLevelItem(i)->setSelected(true);
        commands.Manuscripts().munFileOpenClick();
        QApplication::processEvents();
    }
    const double loaded = ResidentMegabytes();
    std::printf(
        "app memory: window alone %.1f MB; with %d manuscripts open, %d folders listed, "
        "%d opened: %.1f MB (%.2fx the empty window; target under 150 MB: %s)\n",
        empty, kDocs, kFolders, kOpened, loaded, loaded / empty, loaded < 150.0 ? "met" : "NOT met");
    main.close();
    return 0;
}
