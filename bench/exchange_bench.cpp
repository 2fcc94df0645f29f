// Import of 1,000 text files of about 10 KB of Chinese text into a new
// library: the import dialog (its add and import steps, headless) against
// `qdb import` of the same files into another new library, measured in the
// same run, alternating, best of three each. Target: the dialog within 1.5x
// of the command-line import (which includes starting its process).
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

// Answers every message box at once, so the import runs without a user.
class TSilentDialogs : public TDialogService {
public:
    int MessageBox(const QString&, const QString&, int, int, int) override { return 1; }
    QString InputPassword() override { return {}; }
    QString OpenFileName(const TFileDialogRequest&) override { return {}; }
    QStringList OpenFileNames(const TFileDialogRequest&) override { return {}; }
    QString SaveFileName(const TFileDialogRequest&) override { return {}; }
    QString FolderName(const QString&, const QString&) override { return {}; }
    std::optional<QFont> ChooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> ChooseColor(const QColor&) override { return std::nullopt; }
    int ExecDialog(QDialog&) override { return 0; }
};

QString ChineseText(int seed) {
    QString text;
    uint32_t state = uint32_t(seed) * 2654435761u + 1;
    while (text.size() < 5000) {   // about 10 KB in GB18030
        state = state * 1103515245u + 12345u;
        text += QChar(0x4E00 + int((state >> 8) % 0x5000));
        if (state % 37 == 0) text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList WriteFiles(const QString& folder) {
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        paths << folder + QStringLiteral("/篇%1.txt").arg(i, 4, 10, QLatin1Char('0'));
        QFile file(paths.back());
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(EncodeTextFile(ChineseText(i)));
    }
    return paths;
}

QString NewLibrary(const QString& folder, const QString& name) {
    TqlvDocData data;
    QString file;
    data.CreateDocData(folder + "/" + name, QStringLiteral("导入"), QString(), true, false, false, 2, &file);
    data.CloseDocData();
    return file;
}

double DialogImportMs(const QString& folder, const QString& name, const QStringList& files,
                      TqlvDocuments& materials) {
    const QString library = NewLibrary(folder, name);
    TqlvDocData data;
    data.OpenDocData(library);
    TfrmImport dialog(data, materials);
    FillTreeWidget(dialog.FolderTree(), data.LoadFolderTree());
    QElapsedTimer timer;
    timer.start();
    dialog.AddFiles(files);
    dialog.btnImportClick();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (data.LoadDocList(0).size() != size_t(kFiles)) return -1;
    return ms;
}

double QdbImportMs(const QString& folder, const QString& name, const QStringList& files) {
    const QString library = NewLibrary(folder, name);
    QProcess qdb;
    qdb.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    qdb.start(QStringLiteral(QDB_EXECUTABLE), QStringList{QStringLiteral("import"), library} + files);
    if (!qdb.waitForFinished(600000) || qdb.exitCode() != 0) return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    TSilentDialogs silent;
    SetDialogService(&silent);
    QTemporaryDir dir;
    const QStringList files = WriteFiles(dir.path());
    if (files.size() != kFiles) return 1;
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
    std::printf("import of %d files of about 10 KB: dialog %.1f ms, qdb import %.1f ms, ratio %.2f "
                "(target 1.5 or less: %s)\n",
                kFiles, dialogBest, qdbBest, ratio, ratio <= 1.5 ? "met" : "missed");
    SetDialogService(nullptr);
    return 0;
}
