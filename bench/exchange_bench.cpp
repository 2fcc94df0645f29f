// Import of 1,000 text files of about 10 KB of Chinese text into a new
// library: the import dialog (its add and import steps, headless) against
// `qdb import` of the same files into another new library, measured in the
// same run, alternating, best of three each. Target: the dialog within 1.5x
// of the command-line import (which includes starting its process).
#include "BenchSupport.h"
#include "app/ViewFill.h"
#include "app/dialogs/TfrmImport.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"
#include "platform/TextCodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kFiles = 1000;
constexpr int kRounds = 3;

QStringList WriteFiles(const QString& folder) {
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        paths << folder + QStringLiteral("/篇%1.txt").arg(i, 4, 10, QLatin1Char('0'));
        QFile file(paths.back());
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(EncodeTextFile(benchsupport::ChineseText(i, 5000)));  // about 10 KB
    }
    return paths;
}

double DialogImportMs(const QString& folder, const QString& name, const QStringList& files, TqlvDocuments& materials) {
    const QString library = benchsupport::NewLibrary(folder, name, QStringLiteral("导入"));
    TqlvDocData data;
    data.OpenDocData(library);
    TfrmImport dialog(data, materials);
    FillTreeWidget(dialog.FolderTree(), data.LoadFolderTree());
    QElapsedTimer timer;
    timer.start();
    dialog.AddFiles(files);
    dialog.btnImportClick();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (data.LoadDocList(0).size() != size_t(kFiles))
        return -1;
    return ms;
}

double QdbImportMs(const QString& folder, const QString& name, const QStringList& files) {
    const QString library = benchsupport::NewLibrary(folder, name, QStringLiteral("导入"));
    QProcess qdb;
    qdb.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    qdb.start(QStringLiteral(QDB_EXECUTABLE), QStringList{QStringLiteral("import"), library} + files);
    if (!qdb.waitForFinished(600000) || qdb.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    benchsupport::PrepareQtEnvironment();
    QApplication qt(argc, argv);
    benchsupport::TSilentDialogs silent;
    SetDialogService(&silent);
    QTemporaryDir dir;
    const QStringList files = WriteFiles(dir.path());
    if (files.size() != kFiles)
        return 1;
    TqlvDocuments materials;
    double dialogBest = 1e300, qdbBest = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const double viaQdb = QdbImportMs(dir.path(), QStringLiteral("qdb%1").arg(round), files);
        const double viaDialog = DialogImportMs(dir.path(), QStringLiteral("dialog%1").arg(round), files, materials);
        if (viaQdb < 0 || viaDialog < 0) {
            std::printf("import failed (qdb %.1f, dialog %.1f)\n", viaQdb, viaDialog);
            return 1;
        }
        qdbBest = std::min(qdbBest, viaQdb);
        dialogBest = std::min(dialogBest, viaDialog);
    }
    const double ratio = dialogBest / qdbBest;
    std::printf(
        "import of %d files of about 10 KB: dialog %.1f ms, qdb import %.1f ms, ratio %.2f "
        "(target 1.5 or less: %s)\n",
        kFiles, dialogBest, qdbBest, ratio, ratio <= 1.5 ? "met" : "missed");
    SetDialogService(nullptr);
    return 0;
}
