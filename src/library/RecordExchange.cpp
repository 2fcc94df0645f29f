#include "library/RecordExchange.h"

#include "editor/WordCount.h"
#include "platform/ExportNames.h"
#include "platform/TextCodec.h"
#include "tomedb/TomeDB.h"
#include "tomedb/dataset/TomeVariant.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <cerrno>
#include <cstring>

namespace {

const QString kExtension = QStringLiteral(".txt");

TExchangeFailure Failure(const QByteArray& path, TExchangeFault fault, const QString& detail = {}) {
    return {DecodeFileName(path), fault, detail};
}

// Reads a regular file whole. The open never waits for a FIFO's writer
// (O_NONBLOCK), and anything but a regular file is refused before reading.
bool ReadRegularFile(const QByteArray& path, QByteArray* bytes, TExchangeFailure* failure) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        *failure = Failure(path, error == ENOENT ? TExchangeFault::Missing : TExchangeFault::Unreadable,
                           QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        *failure = Failure(path, TExchangeFault::NotAFile);
        ::close(fd);
        return false;
    }
    bytes->clear();
    char buffer[65536];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        bytes->append(buffer, got);
    }
    if (!ok)
        *failure = Failure(path, TExchangeFault::Unreadable, QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    return ok;
}

}  // namespace

QString TImportFile::RecordName() const {
    QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0)
        name.truncate(dot);
    return DecodeFileName(name);
}

bool TRecordExchange::ReadImportFile(const QByteArray& path, QString* text, TExchangeFailure* failure) {
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes, failure))
        return false;
    std::optional<QString> decoded = DecodeImportedText(bytes);
    if (!decoded) {
        *failure = Failure(path, TExchangeFault::NotText);
        return false;
    }
    *text = WithCrLf(*decoded);
    return true;
}

bool TRecordExchange::Step(int done, int total, const QString& name) {
    return !m_progress || m_progress(done, total, name);
}

// An imported record is made today and carries its text's size (bytes as
// stored) and counts, as a saved manuscript does.
TDocAttr TRecordExchange::Described(TDocAttr attr) {
    attr.DocCDate = attr.DocMDate = tomedb::Today();
    attr.DocSize = QString::number(GBLength(attr.Txt));
    const TWordCount counts = CountWordsIn(attr.Txt);
    attr.cnCount = QString::number(counts.Chinese);
    attr.enCount = QString::number(counts.English);
    return attr;
}

TImportTally TRecordExchange::Import(const QList<TImportFile>& files, int folderID) {
    TImportTally tally;
    const int total = static_cast<int>(files.size());
    // Every file is read and checked before anything is stored.
    QList<TDocAttr> records;
    for (const TImportFile& file : files) {
        TDocAttr attr;
        attr.DocName = file.RecordName();
        TExchangeFailure failure;
        if (ReadImportFile(file.path, &attr.Txt, &failure))
            records.append(Described(attr));
        else
            tally.failures.append(failure);
    }
    if (!tally.failures.isEmpty())
        return tally;

    QList<TImportedRecord> stored;
    try {
        std::unique_ptr<tomedb::TTomeWriteBatch> batch = m_store.BeginWrites();
        for (int i = 0; i < total; ++i) {
            if (!Step(i, total, records[i].DocName)) {
                tally.cancelled = true;
                break;
            }
            stored.append({m_store.AddRecord(folderID, records[i]), records[i].DocName});
        }
        if (tally.cancelled) {
            QList<int> ids;
            for (const TImportedRecord& record : stored)
                ids.append(record.id);
            m_store.RemoveRecords(ids);
            stored.clear();
        }
        batch->Finish();
    } catch (...) {
        // What the run appended before the failure goes again, so a retry
        // does not store it twice; a failure of that is the first one's.
        QList<int> ids;
        for (const TImportedRecord& record : stored)
            ids.append(record.id);
        try {
            std::unique_ptr<tomedb::TTomeWriteBatch> batch = m_store.BeginWrites();
            m_store.RemoveRecords(ids);
            batch->Finish();
        } catch (...) {
        }
        throw;
    }
    tally.stored = stored;
    return tally;
}

TExportTally TRecordExchange::Export(const QList<int>& ids, const QString& folder, const QStringList& listedNames) {
    TExportTally tally;
    tally.total = static_cast<int>(ids.size());
    const QString absolute = QDir(folder).absolutePath();
    TExportNames names(absolute, kExtension);
    // The name a record would get alone; a different one means a number was added.
    TExportNames alone(absolute, kExtension);
    alone.SetNameLimit(names.NameLimit());
    for (int i = 0; i < tally.total; ++i) {
        TDocAttr attr;
        const QString unnamed = listedNames.value(i, QStringLiteral("ID %1").arg(ids[i]));
        try {
            m_store.ReadRecordHead(ids[i], attr);
        } catch (const std::exception& error) {
            // One damaged record does not keep the others back.
            tally.failures.append({unnamed, TExchangeFault::Damaged, QString::fromUtf8(error.what())});
            continue;
        }
        if (!Step(i, tally.total, attr.DocName.isEmpty() ? unnamed : attr.DocName)) {
            tally.cancelled = true;
            break;
        }
        if (attr.DocName.isEmpty())
            tally.failures.append({unnamed, TExchangeFault::Missing, {}});
        else
            WriteRecord(ids[i], attr, names, TExportNames(alone), tally);
    }
    return tally;
}

void TRecordExchange::WriteRecord(int id, const TDocAttr& attr, TExportNames& names, TExportNames alone,
                                  TExportTally& tally) {
    const std::optional<QString> plain = alone.PathFor(attr.DocName);
    const std::optional<QString> path = names.PathFor(attr.DocName);
    QString error;
    if (!path)
        tally.failures.append({attr.DocName, TExchangeFault::BadName, {}});
    else
        try {
            if (!m_store.WriteRecordText(id, attr, *path, &error))
                tally.failures.append({attr.DocName, TExchangeFault::WriteFailed, error});
            else
                tally.written.append({id, attr.DocName, *path, path != plain});
        } catch (const std::exception& damaged) {
            // One damaged text does not keep the others back.
            tally.failures.append({attr.DocName, TExchangeFault::Damaged, QString::fromUtf8(damaged.what())});
        }
}

bool TRecordStore::WriteRecordText(int, const TDocAttr& head, const QString& path, QString* error) {
    return WriteFileReplacing(path, EncodeTextFile(head.Txt), error);
}
