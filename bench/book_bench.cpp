// Books of a large library: `qdb build` to EPUB and to DOCX against
// `qdb export` of the same manuscripts as text files, each a process run on
// the same library in the same run, alternating, best of two each.
// The library holds 10,000 manuscripts of 5,000 Chinese characters (about
// 10 KB each in GB18030, about 100 MB in all) at its top level, where
// `qdb export` reaches them all. QUILLORA_BOOK_BENCH_DOCS sets another count.
// Targets: each book within 10 s and within 2x the export.
#include "BenchSupport.h"
#include "library/TqlvDocData.h"
#include "platform/TextCodec.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 2;

int ManuscriptCount() {
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("QUILLORA_BOOK_BENCH_DOCS", &ok);
    return ok && count > 0 ? count : 10000;
}

// Returns the text's size in GB18030 bytes; 0 when the library failed.
qint64 FillLibrary(const QString& file, int count) {
    TqlvDocData data;
    if (!data.OpenDocData(file))
        return 0;
    qint64 bytes = 0;
    const std::unique_ptr<tomedb::TTomeWriteBatch> batch = data.BeginWrites();
    for (int i = 0; i < count; ++i) {
        TDocAttr attr;
        attr.DocName = QStringLiteral("第%1篇").arg(i + 1, 5, 10, QLatin1Char('0'));
        attr.Txt = benchsupport::ChineseText(i, 5000);
        bytes += GBLength(attr.Txt);
        data.AddDoc(0, attr);
    }
    batch->Finish();
    return bytes;
}

double QdbMs(const QStringList& args) {
    QProcess qdb;
    qdb.setStandardOutputFile(QProcess::nullDevice());
    qdb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    qdb.start(QStringLiteral(QDB_EXECUTABLE), args);
    if (!qdb.waitForFinished(900000) || qdb.exitStatus() != QProcess::NormalExit || qdb.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

const char* Verdict(double ms, double exportMs) { return ms <= 10000 && ms <= 2 * exportMs ? "met" : "missed"; }

}  // namespace

int main(int argc, char** argv) {
    benchsupport::PrepareQtEnvironment();
    QApplication qt(argc, argv);
    QTemporaryDir dir;
    const int count = ManuscriptCount();
    const QString library = benchsupport::NewLibrary(dir.path(), QStringLiteral("books"));
    QElapsedTimer made;
    made.start();
    const qint64 bytes = FillLibrary(library, count);
    if (bytes == 0)
        return 1;
    std::printf("library of %d manuscripts, %.1f MB of GB18030 text, made in %.1f s\n", count, double(bytes) / 1e6,
                double(made.elapsed()) / 1e3);
    double exportBest = 1e300, epubBest = 1e300, docxBest = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const QString out = dir.path() + QStringLiteral("/export%1").arg(round);
        const double viaExport = QdbMs({QStringLiteral("export"), library, out});
        const double epub = QdbMs({QStringLiteral("build"), library, dir.path() + QStringLiteral("/book.epub")});
        const double docx = QdbMs({QStringLiteral("build"), library, dir.path() + QStringLiteral("/book.docx")});
        if (viaExport < 0 || epub < 0 || docx < 0) {
            std::printf("a run failed (export %.1f, epub %.1f, docx %.1f)\n", viaExport, epub, docx);
            return 1;
        }
        QDir(out).removeRecursively();
        exportBest = std::min(exportBest, viaExport);
        epubBest = std::min(epubBest, epub);
        docxBest = std::min(docxBest, docx);
    }
    std::printf("qdb export %.0f ms; qdb build EPUB %.0f ms (%.2fx, %.1f MB), DOCX %.0f ms (%.2fx, %.1f MB)\n",
                exportBest, epubBest, epubBest / exportBest, double(QFileInfo(dir.path() + "/book.epub").size()) / 1e6,
                docxBest, docxBest / exportBest, double(QFileInfo(dir.path() + "/book.docx").size()) / 1e6);
    std::printf("targets (10 s and 2x export): EPUB %s, DOCX %s\n", Verdict(epubBest, exportBest),
                Verdict(docxBest, exportBest));
    return 0;
}
