#include "library/LibraryBackup.h"

#include "library/DatabaseVerifier.h"
#include "library/SnapshotFile.h"
#include "library/TableAccess.h"
#include "library/UserError.h"
#include "platform/AppPaths.h"
#include "tomedb/TomeDB.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <optional>

namespace {

const QString kRestoreCaption = QStringLiteral("从备份恢复");
const QString kMarkerName = QStringLiteral(".library");
// File names (one a line, UTF-8) of the snapshots taken before a restore.
const QString kBeforeRestoreName = QStringLiteral(".before-restore");
const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

struct TParsedName {
    QString Base;
    QDateTime Time;
    int Sequence = 1;
};

// "<base>-YYYYMMDD-HHMMSS[-N].qdb"; nullopt for anything else.
std::optional<TParsedName> ParseSnapshotName(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("^(.+)-(\\d{8}-\\d{6})(?:-(\\d+))?\\.qdb$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    TParsedName parsed;
    parsed.Base = match.captured(1);
    parsed.Time = QDateTime::fromString(match.captured(2), kTimeFormat);
    if (!parsed.Time.isValid())
        return std::nullopt;
    if (match.hasCaptured(3))
        parsed.Sequence = std::max(1, match.captured(3).toInt());
    return parsed;
}

// Snapshots of one second are ordered by their sequence number.
QDateTime OrderingTime(const TParsedName& name) { return name.Time.addMSecs(name.Sequence - 1); }

QString MarkerText(const QString& folder) {
    QFile marker(folder + QLatin1Char('/') + kMarkerName);
    if (!marker.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(marker.readAll()).trimmed();
}

// Writes one of the folder's own small files (UTF-8 text) whole or not at all.
void WriteFolderFile(const QString& folder, const QString& name, const QString& text) {
    QSaveFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw EUserError(QStringLiteral("无法在备份文件夹中写入文件：%1").arg(QDir::toNativeSeparators(folder)),
                         snapshotfile::kBackupCaption, 2);
}

void WriteMarker(const QString& folder, const QString& library) { WriteFolderFile(folder, kMarkerName, library); }

QStringList BeforeRestoreNames(const QString& folder) {
    QFile list(folder + QLatin1Char('/') + kBeforeRestoreName);
    if (!list.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Adds name to the list, dropping names whose snapshot rotation removed.
void RememberBeforeRestore(const QString& folder, const QString& name) {
    QStringList names;
    for (const QString& kept : BeforeRestoreNames(folder))
        if (QFileInfo::exists(folder + QLatin1Char('/') + kept))
            names << kept;
    names << name;
    WriteFolderFile(folder, kBeforeRestoreName, names.join(QLatin1Char('\n')));
}

// The bytes that change with every write: the fixed header area (with the
// engine's change counter) and the file size.
QByteArray WriteState(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray state = file.read(tomedb::format::kFixedAreaSize);
    state.append(QByteArray::number(file.size()));
    return state;
}

int LiveRecords(tomedb::TTomeDatabase& db, const char* table) {
    tomedb::TTomeTableIO* io = db.FindTableIO(table);
    if (!io)
        return -1;
    io->Open();
    const int count = static_cast<int>(io->IndexList(0).size());
    io->Close();
    return count;
}

}  // namespace

TLibraryBackup::TLibraryBackup(const QString& libraryPath, TBackupPolicy policy)
    : m_library(QFileInfo(libraryPath).absoluteFilePath()), m_policy(std::move(policy)) {
    if (m_policy.Root.isEmpty())
        m_policy.Root = DefaultRoot();
}

QString TLibraryBackup::DefaultRoot() { return DefaultBackupFolder(); }

QString TLibraryBackup::Folder() const {
    const QString name = QFileInfo(m_library).fileName();
    const QDir root(m_policy.Root);
    for (int n = 1;; ++n) {
        const QString folder = root.absoluteFilePath(n == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(n));
        if (!QFileInfo::exists(folder)) {
            if (!QDir().mkpath(folder))
                throw EUserError(QStringLiteral("无法创建备份文件夹：%1").arg(QDir::toNativeSeparators(folder)),
                                 snapshotfile::kBackupCaption, 2);
            WriteMarker(folder, m_library);
            return folder;
        }
        const QString owner = MarkerText(folder);
        if (owner.isEmpty()) {
            WriteMarker(folder, m_library);  // a folder made by hand: ours now
            return folder;
        }
        if (owner == m_library)
            return folder;
    }
}

QString TLibraryBackup::SnapshotName(const QDateTime& time, int sequence) const {
    QString name = QFileInfo(m_library).completeBaseName() + QLatin1Char('-') + time.toString(kTimeFormat);
    if (sequence > 1)
        name += QLatin1Char('-') + QString::number(sequence);
    return name + QStringLiteral(".qdb");
}

QString TLibraryBackup::TakeSnapshot(bool* damaged) const {
    const QString path = TakeUnrotated();
    // The copy holds the library's bytes as they were under the lock, so
    // checking it checks the library without holding up its writers.
    if (damaged)
        *damaged = Inspect(path, std::string()).Damaged;
    Rotate();
    return path;
}

QString TLibraryBackup::TakeUnrotated() const {
    const QString folder = Folder();
    snapshotfile::RemoveStaleTemporaries(folder);
    const QDateTime now = QDateTime::currentDateTime();
    // After the last one of this second, even when rotation removed earlier ones.
    int sequence = 1;
    for (const QString& taken : SnapshotPaths()) {
        const std::optional<TParsedName> parsed = ParseSnapshotName(QFileInfo(taken).fileName());
        if (parsed->Time == now.addMSecs(-now.time().msec()))
            sequence = std::max(sequence, parsed->Sequence + 1);
    }
    return snapshotfile::CopyLockedToFreeName(
        m_library, [&](int n) { return folder + QLatin1Char('/') + SnapshotName(now, n); }, sequence);
}

void TLibraryBackup::Rotate() const {
    const QStringList paths = SnapshotPaths();
    std::vector<QDateTime> stamps;
    for (const QString& path : paths)
        stamps.push_back(OrderingTime(*ParseSnapshotName(QFileInfo(path).fileName())));
    // A snapshot counts as good unless it is known to be damaged (an
    // encrypted one cannot be checked without its password).
    const auto isGood = [&](size_t index) {
        return !Inspect(paths[static_cast<qsizetype>(index)], std::string()).Damaged;
    };
    for (size_t index : SnapshotsToDelete(stamps, QDate::currentDate(), m_policy.Rotation, isGood))
        QFile::remove(paths[static_cast<qsizetype>(index)]);  // a left-over goes next time
}

bool TLibraryBackup::ChangedSinceSnapshot() const {
    const QStringList paths = SnapshotPaths();
    return paths.isEmpty() || WriteState(paths.first()) != WriteState(m_library);
}

QString TLibraryBackup::TakeSnapshotIfChanged(bool* damaged) const {
    return ChangedSinceSnapshot() ? TakeSnapshot(damaged) : QString();
}

QStringList TLibraryBackup::SnapshotPaths() const {
    const QString folder = Folder();
    const QString base = QFileInfo(m_library).completeBaseName();
    std::vector<std::pair<QDateTime, QString>> found;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*.qdb")}, QDir::Files)) {
        const std::optional<TParsedName> parsed = ParseSnapshotName(file.fileName());
        if (parsed && parsed->Base == base)
            found.emplace_back(OrderingTime(*parsed), file.absoluteFilePath());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QStringList paths;
    for (const auto& entry : found)
        paths << entry.second;
    return paths;
}

QList<TSnapshotInfo> TLibraryBackup::Snapshots(const std::string& key) const {
    QList<TSnapshotInfo> result;
    const QStringList beforeRestore = BeforeRestoreNames(Folder());
    for (const QString& path : SnapshotPaths()) {
        result << Inspect(path, key);
        result.back().BeforeRestore = beforeRestore.contains(QFileInfo(path).fileName());
    }
    return result;
}

TSnapshotInfo TLibraryBackup::Inspect(const QString& snapshotPath, const std::string& key) {
    TSnapshotInfo info;
    const QFileInfo file(snapshotPath);
    info.Path = file.absoluteFilePath();
    info.Size = file.size();
    const std::optional<TParsedName> parsed = ParseSnapshotName(file.fileName());
    info.Time = parsed ? parsed->Time : file.lastModified();
    tomedb::TTomeDatabase db;
    try {
        db.SetDatabaseName(tableaccess::PathName(info.Path));
        db.SetReadOnly(true);
        db.Open();
        info.Encrypted = db.Encrypted();
        if (!db.CanAccess())
            db.SetPassword(key);
        if (!db.CanAccess())
            return info;  // figures and verify wait for its password
        info.Readable = true;
        info.Damaged = !TDatabaseVerifier::Passes(db);
        if (!info.Damaged) {
            info.Folders = LiveRecords(db, "DocFloder");
            info.Manuscripts = LiveRecords(db, "Docs");
            info.Damaged = info.Folders < 0 || info.Manuscripts < 0;  // no library
        }
    } catch (const std::exception&) {
        info.Damaged = true;  // not even a database image
    }
    return info;
}

void TLibraryBackup::Restore(const QString& snapshotPath, const std::string& key) const {
    const TSnapshotInfo info = Inspect(snapshotPath, key);
    if (info.Damaged)
        throw EUserError(QStringLiteral("这个备份已损坏，不能恢复：%1").arg(QDir::toNativeSeparators(snapshotPath)),
                         kRestoreCaption, 2);
    if (!info.Readable)
        throw EUserError(QStringLiteral("密码错误，无法打开这个备份！"), kRestoreCaption, 1);
    // The state being replaced is kept first. Rotation waits until the
    // snapshot being restored has been copied: it might be the one to go.
    QString kept;
    if (QFileInfo::exists(m_library) && ChangedSinceSnapshot())
        kept = TakeUnrotated();
    else if (const QStringList taken = SnapshotPaths(); !taken.isEmpty())
        kept = taken.first();
    if (!kept.isEmpty())
        RememberBeforeRestore(Folder(), QFileInfo(kept).fileName());
    snapshotfile::ReplaceLocked(info.Path, m_library);
    Rotate();
}
