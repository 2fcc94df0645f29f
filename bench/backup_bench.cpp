// A snapshot of a 100 MB library against `cp` of the same file, measured in
// the same run, alternating, best of five each. The snapshot also syncs the
// copy and its folder to disk (a backup must survive a power cut), which cp
// does not; `cp` followed by a sync of the copy is printed as a second peer.
// Target: the snapshot within 1.2x of cp.
#include "library/DocDataEngine.h"
#include "library/LibraryBackup.h"
#include "library/TqlvDocData.h"
#include "tomedb/TomeDB.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 kLibraryBytes = 100ll << 20;
constexpr int kRounds = 5;

// Text that zlib cannot shrink much, so the file reaches its size quickly.
QString NoisyText(uint32_t seed, int chars) {
    QString text;
    text.reserve(chars);
    uint32_t state = seed * 2654435761u + 1;
    for (int i = 0; i < chars; ++i) {
        state = state * 1103515245u + 12345u;
        text += QChar(0x4E00 + int((state >> 8) % 0x5000));
    }
    return text;
}

bool MakeLibrary(const QString& path) {
    TqlvDocData data;
    QString file;
    if (!data.CreateDocData(path, QString(), QString(), true, false, false, 2, &file))
        return false;
    data.CloseDocData();
    if (!data.OpenDocData(file))
        return false;
    tomedb::TTomeWriteBatch batch(TDocDataEngine::Database(data));
    for (uint32_t i = 0; QFileInfo(file).size() < kLibraryBytes; ++i) {
        TDocAttr attr;
        attr.DocName = QStringLiteral("篇%1").arg(i);
        attr.Txt = NoisyText(i, 500000);
        data.AddDoc(0, attr);
        if (i % 8 == 7)
            TDocDataEngine::Database(data).Flush();  // let the size show
    }
    batch.Finish();
    return true;
}

double Millis(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

void Cp(const QString& from, const QString& to, bool sync) {
    QProcess::execute(QStringLiteral("cp"), {from, to});
    if (sync) {
        const int fd = ::open(QFile::encodeName(to).constData(), O_RDONLY);
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString library = dir.filePath(QStringLiteral("库.qdb"));
    if (!MakeLibrary(library)) {
        std::fprintf(stderr, "could not make the library\n");
        return 1;
    }
    const TLibraryBackup backup(library, {dir.filePath(QStringLiteral("backups")), {100, 0}});
    const QString copy = dir.filePath(QStringLiteral("copy.qdb"));
    double snapshot = 1e300, cp = 1e300, cpSync = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        QString taken;
        snapshot = std::min(snapshot, Millis([&] { taken = backup.TakeSnapshot(); }));
        QFile::remove(taken);
        cp = std::min(cp, Millis([&] { Cp(library, copy, false); }));
        QFile::remove(copy);
        cpSync = std::min(cpSync, Millis([&] { Cp(library, copy, true); }));
        QFile::remove(copy);
    }
    const double ratio = snapshot / cp;
    std::printf(
        "snapshot of a %.0f MB library: %.1f ms; cp %.1f ms (ratio %.2f, target 1.2: %s); "
        "cp and sync %.1f ms (ratio %.2f)\n",
        QFileInfo(library).size() / 1048576.0, snapshot, cp, ratio, ratio <= 1.2 ? "met" : "missed", cpSync,
        snapshot / cpSync);
    return 0;
}
