// Clicking a folder of the 稿件库 tab in a large library: 200 folders holding
// 10,000 manuscripts (50 each), the real window shown, tvDocClick filling the
// manuscript list and the window painting it. The peer is the data layer's
// LoadDocList alone for the same folders, measured in the same run; the ratio
// is what the widgets add. Target: a click fills the list in under 50 ms.
//
// Runs on whatever Qt platform is set (offscreen by default). The library is
// built once in a temporary folder before the window starts.
#include "BenchSupport.h"
#include "app/TAppContext.h"
#include "app/ViewFill.h"
#include "app/commands/TFolderCommands.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TMainCommands.h"
#include "library/TqlvDocData.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <map>

namespace {

constexpr int kFolders = 200;
constexpr int kDocs = 10000;

TfrmMain* g_main = nullptr;
TMainCommands* g_commands = nullptr;
std::vector<QTreeWidgetItem*> g_nodes;
std::map<std::string, double> g_meanMs;

QString BuildLibrary(const QString& folder) {
    const QString file = benchsupport::NewLibrary(folder, QStringLiteral("folders"), QStringLiteral("文件夹"));
    TqlvDocData data;
    data.OpenDocData(file);
    std::vector<int> folders;
    for (int i = 0; i < kFolders; ++i)
        folders.push_back(data.AddFolder(i < 20 ? 0 : folders[size_t(i % 20)], QStringLiteral("卷%1").arg(i)));
    const QString text = QString(300, QChar(0x6625));
    for (int i = 0; i < kDocs; ++i) {
        TDocAttr attr;
        attr.DocName = QStringLiteral("稿件%1").arg(i);
        attr.Txt = text;
        data.AddDoc(folders[size_t(i % kFolders)], attr);
    }
    data.CloseDocData();
    return file;
}

void CollectFolders(QTreeWidgetItem* node) {
    if (node->parent())
        g_nodes.push_back(node);
    for (int i = 0; i < node->childCount(); ++i)
        CollectFolders(node->child(i));
}

void BM_FolderClick(benchmark::State& state) {
    size_t next = 0;
    for (auto _ : state) {
        QTreeWidgetItem* node = g_nodes[next++ % g_nodes.size()];
        g_main->DocTree()->setCurrentItem(node);
        g_commands->Folders().tvDocClick();
        QApplication::processEvents();  // the list painted
        benchmark::DoNotOptimize(g_main->DocList()->topLevelItemCount());
    }
}

void BM_LoadDocListOnly(benchmark::State& state) {
    size_t next = 0;
    TqlvDocData& data = g_main->Context().DocData();
    for (auto _ : state) {
        const int id = ItemID(g_nodes[next++ % g_nodes.size()]);
        benchmark::DoNotOptimize(data.LoadDocList(id).size());
    }
}

BENCHMARK(BM_FolderClick)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_LoadDocListOnly)->Unit(benchmark::kMillisecond)->Iterations(200);

class MeanReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                g_meanMs[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchsupport::PrepareQtEnvironment();
    QApplication qt(argc, argv);
    QTemporaryDir dir;
    const QString library = BuildLibrary(dir.path());

    const auto app = benchsupport::StartShownWindow();
    TfrmMain& main = *app->MainWindow();
    TMainCommands& commands = *app->Commands();
    if (!commands.Library().OpenLibrary(library))
        return 1;
    main.DocTree()->expandAll();
    g_main = &main;
    g_commands = &commands;
    CollectFolders(main.DocTree()->topLevelItem(0));

    benchmark::Initialize(&argc, argv);
    MeanReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double click = g_meanMs["BM_FolderClick/iterations:200"];
    const double peer = g_meanMs["BM_LoadDocListOnly/iterations:200"];
    std::printf(
        "\nfolder click: %.2f ms (%d folders, %d manuscripts, %d a folder); data layer alone %.2f ms; "
        "ratio click / data %.2fx; target under 50 ms: %s\n",
        click, kFolders, kDocs, kDocs / kFolders, peer, peer > 0 ? click / peer : 0.0,
        click < 50.0 ? "met" : "NOT met");
    main.close();
    return 0;
}
