// Snapshots of a library: taken whole under the file lock while another
// process writes, never visible half-made, listed with their figures,
// restored over the library with the state they replace kept first.
#include "LibraryFixture.h"

#include "library/LibraryBackup.h"
#include "library/SnapshotFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <random>

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class BackupTest : public LibraryTest {
protected:
    TBackupPolicy Policy() const { return {Path("backups"), {10, 7}}; }
    TLibraryBackup Backup() const { return TLibraryBackup(file, Policy()); }

    // Manuscript names of a library file, opened on its own.
    static QStringList DocNames(const QString& path, const QString& password = QString()) {
        TqlvDocData other;
        EXPECT_TRUE(other.OpenDocData(path, [password] { return password; }));
        return Captions(other.LoadDocList(0));
    }

    void AddDocs(const QStringList& names) {
        for (const QString& name : names)
            data.AddDoc(0, Imported(name, name + QStringLiteral("的正文")));
    }
};

TEST_F(BackupTest, SnapshotHoldsTheLibraryAndKnowsWhenItIsStale) {
    AddDocs({"一", "二"});
    data.AddFolder(0, QStringLiteral("卷一"));
    const TLibraryBackup backup = Backup();
    EXPECT_TRUE(backup.ChangedSinceSnapshot());  // none yet
    const QString snapshot = backup.TakeSnapshot();
    EXPECT_TRUE(QFileInfo(snapshot).fileName().startsWith(QStringLiteral("lib-")));
    EXPECT_EQ(Bytes(snapshot), Bytes(file));
    EXPECT_FALSE(backup.ChangedSinceSnapshot());
    EXPECT_TRUE(backup.TakeSnapshotIfChanged().isEmpty());

    const QList<TSnapshotInfo> listed = backup.Snapshots(std::string());
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].Path, snapshot);
    EXPECT_EQ(listed[0].Size, QFileInfo(file).size());
    EXPECT_EQ(listed[0].Folders, 1);
    EXPECT_EQ(listed[0].Manuscripts, 2);
    EXPECT_FALSE(listed[0].Damaged);

    AddDocs({"三"});
    EXPECT_TRUE(backup.ChangedSinceSnapshot());
    const QString second = backup.TakeSnapshotIfChanged();
    ASSERT_FALSE(second.isEmpty());
    // Same second, new name; newest first.
    EXPECT_EQ(backup.SnapshotPaths(), QStringList({second, snapshot}));
    EXPECT_EQ(DocNames(second), QStringList({"一", "二", "三"}));
}

TEST_F(BackupTest, RotationRunsAfterEverySnapshot) {
    TBackupPolicy policy = Policy();
    policy.Rotation = {3, 0};
    const TLibraryBackup backup(file, policy);
    QStringList taken;
    for (int i = 0; i < 5; ++i)
        taken.prepend(backup.TakeSnapshot());
    EXPECT_EQ(backup.SnapshotPaths(), taken.mid(0, 3));
}

TEST_F(BackupTest, LibrariesOfTheSameFileNameKeepApartSnapshots) {
    QDir().mkpath(Path("elsewhere"));
    QString otherFile;
    TqlvDocData other;
    ASSERT_TRUE(other.CreateDocData(Path("elsewhere/lib"), QString(), QString(), true, false, false, 2, &otherFile));
    const TLibraryBackup mine = Backup();
    const TLibraryBackup theirs(otherFile, Policy());
    mine.TakeSnapshot();
    EXPECT_NE(mine.Folder(), theirs.Folder());
    EXPECT_TRUE(theirs.SnapshotPaths().isEmpty());
    EXPECT_EQ(mine.SnapshotPaths().size(), 1);
}

// A child process appends numbered manuscripts as fast as it can; snapshots
// taken meanwhile must each open, verify and hold the first k of them.
TEST_F(BackupTest, SnapshotWhileAnotherProcessAppendsHoldsAPrefix) {
    data.CloseDocData();
    int progress[2];
    ASSERT_EQ(::pipe(progress), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(progress[0]);
        TqlvDocData writer;
        if (!writer.OpenDocData(file))
            ::_exit(1);
        for (int i = 0;; ++i) {
            writer.AddDoc(0, Imported(QString::number(i), QString(300, QChar(0x6587))));
            if (::write(progress[1], "x", 1) != 1)
                ::_exit(0);
        }
    }
    ::close(progress[1]);
    auto waitForAppends = [&](int count) {
        char buffer[64];
        for (int seen = 0; seen < count;) {
            const ssize_t n = ::read(progress[0], buffer, sizeof buffer);
            ASSERT_GT(n, 0) << "the appending process stopped";
            seen += static_cast<int>(n);
        }
    };
    const TLibraryBackup backup = Backup();
    QStringList snapshots;
    for (int round = 0; round < 3; ++round) {
        waitForAppends(5);
        snapshots << backup.TakeSnapshot();
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(progress[0]);

    int previous = 0;
    for (const QString& snapshot : snapshots) {
        SCOPED_TRACE(snapshot.toStdString());
        EXPECT_FALSE(TLibraryBackup::Inspect(snapshot, std::string()).Damaged);
        const QStringList names = DocNames(snapshot);
        ASSERT_GE(names.size(), 5);
        for (int i = 0; i < names.size(); ++i)
            ASSERT_EQ(names[i], QString::number(i));
        EXPECT_GE(names.size(), previous);
        previous = names.size();
    }
}

// A process killed in the middle of a copy leaves its temporary file at most:
// nothing ever appears under the snapshot's name, and listings ignore it.
TEST_F(BackupTest, KillDuringSnapshotLeavesNoFileUnderTheFinalName) {
    const QString big = Path("big.qdb");
    QByteArray bytes(64 << 20, '\0');
    std::mt19937 random(7);
    for (qsizetype i = 0; i < bytes.size(); i += 4)
        *reinterpret_cast<uint32_t*>(bytes.data() + i) = random();
    WriteBytes(big, bytes);
    bytes.clear();
    const QString folder = Path("killed");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/big-20260310-120000.qdb");

    bool killedMidCopy = false;
    for (int attempt = 0; attempt < 5 && !killedMidCopy; ++attempt) {
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(folder).constData(), IN_CREATE), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                snapshotfile::CopyLocked(big, target);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        // The temporary file appearing means the copy has begun.
        char events[4096];
        ASSERT_GT(::read(watch, events, sizeof events), 0);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(watch);
        killedMidCopy = WIFSIGNALED(status);
        if (!killedMidCopy)
            QFile::remove(target);  // the copy won the race; try again
    }
    ASSERT_TRUE(killedMidCopy);
    EXPECT_FALSE(QFileInfo::exists(target));
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : left)
        EXPECT_TRUE(name.startsWith(snapshotfile::kTemporaryPrefix)) << name.toStdString();
}

// Processes that take a snapshot at the same moment each get a name of
// their own: none replaces another's, whatever the clock says.
TEST_F(BackupTest, SnapshotsTakenAtOnceNeverShareAName) {
    AddDocs({"一"});
    constexpr int kTakers = 6;
    int start[2], report[2];
    ASSERT_EQ(::pipe(start), 0);
    ASSERT_EQ(::pipe(report), 0);
    Backup().Folder();  // made once, before the race
    std::vector<pid_t> children;
    for (int i = 0; i < kTakers; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(start[1]);
            char go;
            if (::read(start[0], &go, 1) != 0)
                ::_exit(3);
            try {
                const QByteArray path = Backup().TakeSnapshot().toUtf8() + '\n';
                ::_exit(::write(report[1], path.constData(), path.size()) == path.size() ? 0 : 4);
            } catch (...) {
                ::_exit(2);
            }
        }
        children.push_back(child);
    }
    ::close(start[0]);
    ::close(report[1]);
    ::close(start[1]);  // every taker starts now
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    QByteArray reported;
    char buffer[4096];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        reported.append(buffer, n);
    ::close(report[0]);
    QStringList paths = QString::fromUtf8(reported).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    paths.removeDuplicates();
    EXPECT_EQ(paths.size(), kTakers);
    EXPECT_EQ(Backup().SnapshotPaths().size(), kTakers);
    for (const QString& path : paths)
        EXPECT_EQ(DocNames(path), QStringList{QStringLiteral("一")});
}

// A full disk: no file of this process may grow past a few kilobytes.
TEST_F(BackupTest, FullDiskFailsClearlyAndLeavesTheLibraryAlone) {
    AddDocs({"一", "二"});
    const QByteArray before = Bytes(file);
    ASSERT_GT(before.size(), 8192);
    const TLibraryBackup backup = Backup();
    backup.Folder();  // the folder and its marker exist beforehand

    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit full = {rlim_t(4096), old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &full);
    QString caption;
    const QString text = UserErrorOf([&] { backup.TakeSnapshot(); }, &caption);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(text.contains(QStringLiteral("磁盘空间不足"))) << text.toStdString();
    EXPECT_EQ(caption, snapshotfile::kBackupCaption);
    EXPECT_TRUE(backup.SnapshotPaths().isEmpty());
    EXPECT_EQ(QDir(backup.Folder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({".library"}));  // no temporary file left behind
    EXPECT_EQ(Bytes(file), before);
    EXPECT_EQ(Captions(data.LoadDocList(0)), QStringList({"一", "二"}));
}

class EncryptedBackupTest : public BackupTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(data.CreateDocData(Path("secret"), QString(), QStringLiteral("芝麻"), true, true, false, 2, &file));
        ASSERT_TRUE(data.OpenDocData(file, [] { return QStringLiteral("芝麻"); }));
    }
};

TEST_F(EncryptedBackupTest, RestoreNeedsThePasswordAndKeepsTheStateItReplaces) {
    AddDocs({"一"});
    const TLibraryBackup backup = Backup();
    const QString early = backup.TakeSnapshot();
    AddDocs({"二"});
    data.CloseDocData();

    // Listed without its password: figures unknown, not called damaged.
    const TSnapshotInfo locked = TLibraryBackup::Inspect(early, std::string());
    EXPECT_TRUE(locked.Encrypted);
    EXPECT_FALSE(locked.Readable);
    EXPECT_FALSE(locked.Damaged);
    EXPECT_EQ(locked.Manuscripts, -1);
    EXPECT_EQ(TLibraryBackup::Inspect(early, PasswordBytes(QStringLiteral("芝麻"))).Manuscripts, 1);

    const QByteArray current = Bytes(file);
    EXPECT_FALSE(UserErrorOf([&] { backup.Restore(early, PasswordBytes(QStringLiteral("错"))); }).isEmpty());
    EXPECT_EQ(Bytes(file), current);

    backup.Restore(early, PasswordBytes(QStringLiteral("芝麻")));
    PasswordAnswers answers;
    answers.queue << QStringLiteral("芝麻");
    ASSERT_TRUE(data.OpenDocData(file, answers.Prompt()));
    EXPECT_EQ(answers.asked, 1);
    EXPECT_EQ(Captions(data.LoadDocList(0)), QStringList({"一"}));
    // The replaced state is the newest snapshot now.
    const QStringList paths = backup.SnapshotPaths();
    ASSERT_EQ(paths.size(), 2);
    EXPECT_EQ(Bytes(paths.first()), current);
    EXPECT_EQ(DocNames(paths.first(), QStringLiteral("芝麻")), QStringList({"一", "二"}));
    // ...and is listed as the state a restore replaced; the restored one is not.
    const QList<TSnapshotInfo> listed = backup.Snapshots(PasswordBytes(QStringLiteral("芝麻")));
    ASSERT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed[0].BeforeRestore);
    EXPECT_FALSE(listed[1].BeforeRestore);
}

// Every restore marks the snapshot holding what it replaced; earlier marks
// stay, and the snapshots restored from are never marked.
TEST_F(BackupTest, SnapshotHoldingTheReplacedStateIsMarked) {
    AddDocs({"一"});
    const TLibraryBackup backup = Backup();
    const QString first = backup.TakeSnapshot();
    AddDocs({"二"});
    backup.TakeSnapshot();
    data.CloseDocData();
    const auto marked = [&] {
        QStringList paths;
        for (const TSnapshotInfo& info : backup.Snapshots(std::string()))
            if (info.BeforeRestore)
                paths << info.Path;
        return paths;
    };
    backup.Restore(first, std::string());
    EXPECT_EQ(marked(), QStringList({backup.SnapshotPaths().first()}));
    EXPECT_EQ(DocNames(backup.SnapshotPaths().first()), QStringList({"一", "二"}));

    backup.Restore(first, std::string());  // first's state is kept anew and marked; `first` itself never
    EXPECT_EQ(marked().size(), 2);
    EXPECT_FALSE(marked().contains(first));
}

// Snapshots that must not be restored, and the library they would replace.
TEST_F(BackupTest, DamagedSnapshotsAreShownAsSuchAndNotRestored) {
    AddDocs({"一", QString(4000, QChar(0x8BCD))});
    const TLibraryBackup backup = Backup();
    data.SettleForCopy();  // as the backup service does: the copy ends where the library's last record does
    const QString good = backup.TakeSnapshot();
    const QByteArray image = Bytes(good);
    struct Damage {
        const char* name;
        QByteArray bytes;
    };
    QByteArray flippedTail = image;
    for (qsizetype i = flippedTail.size() - 48; i < flippedTail.size(); ++i)
        flippedTail[i] = char(flippedTail[i] ^ 0x5A);
    const Damage damages[] = {
        {"cut short", image.left(image.size() / 2)},
        {"stored bytes changed", flippedTail},
        {"not a database", QByteArray("plain text, no library")},
        {"empty", QByteArray()},
    };
    data.CloseDocData();
    const QByteArray library = Bytes(file);
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        WriteBytes(good, damage.bytes);
        const TSnapshotInfo info = TLibraryBackup::Inspect(good, std::string());
        EXPECT_TRUE(info.Damaged);
        EXPECT_FALSE(info.Restorable());
        QString caption;
        EXPECT_TRUE(
            UserErrorOf([&] { backup.Restore(good, std::string()); }, &caption).contains(QStringLiteral("已损坏")));
        EXPECT_EQ(Bytes(file), library);
    }
}

// A library that went bad is still copied, each copy says it is damaged, and
// a day of such copies never pushes out the last good snapshot.
TEST_F(BackupTest, BackupsOfADamagedLibraryKeepTheLastGoodSnapshot) {
    AddDocs({"一", QString(4000, QChar(0x8BCD))});
    const TLibraryBackup backup = Backup();
    bool damaged = true;
    const QString good = backup.TakeSnapshot(&damaged);
    EXPECT_FALSE(damaged);
    data.CloseDocData();
    QByteArray image = Bytes(file);
    for (qsizetype i = image.size() - 48; i < image.size(); ++i)
        image[i] = char(image[i] ^ 0x5A);
    WriteBytes(file, image);
    for (int i = 0; i < Policy().Rotation.KeepLast + 2; ++i) {
        damaged = false;
        backup.TakeSnapshot(&damaged);
        EXPECT_TRUE(damaged);
    }
    EXPECT_TRUE(QFileInfo::exists(good));
    const QList<TSnapshotInfo> listed = backup.Snapshots(std::string());
    ASSERT_EQ(listed.size(), Policy().Rotation.KeepLast + 1);
    EXPECT_EQ(listed.last().Path, QFileInfo(good).absoluteFilePath());
    EXPECT_FALSE(listed.last().Damaged);
    EXPECT_TRUE(listed.first().Damaged);
}

TEST_F(BackupTest, MissingLibraryIsReportedNotCopied) {
    const TLibraryBackup backup(Path("gone.qdb"), Policy());
    EXPECT_TRUE(UserErrorOf([&] { backup.TakeSnapshot(); }).contains(QStringLiteral("找不到")));
    EXPECT_TRUE(backup.SnapshotPaths().isEmpty());
}

}  // namespace
