#include "library/SnapshotFile.h"

#include "library/UserError.h"
#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeDiskMedium.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace snapshotfile {
namespace {

// As patient as the engine (20 tries 100 ms apart), but asking far more
// often: a writer that appends in a loop frees the lock only for moments
// between its writes, and a copy must still get in.
constexpr auto kLockPatience = std::chrono::seconds(3);
constexpr auto kLockNap = std::chrono::microseconds(50);
constexpr size_t kCopyBuffer = 1u << 20;

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

[[noreturn]] void Fail(int error, const QString& path) {
    QString text;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            text = QStringLiteral("磁盘空间不足，无法写入文件：%1");
            break;
        case ENOENT:
            text = QStringLiteral("找不到文件或文件夹：%1");
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            text = QStringLiteral("没有权限写入或读取：%1");
            break;
        default:
            text = QStringLiteral("读写文件出错：%1\n") + QString::fromLocal8Bit(std::strerror(error));
            break;
    }
    throw EUserError(text.arg(QDir::toNativeSeparators(path)), kBackupCaption, 2);
}

// A file descriptor closed on every path.
class TFd {
public:
    explicit TFd(int fd = -1) : m_fd(fd) {}
    ~TFd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return m_fd; }
    // Closes now and reports what the close says (a deferred write error).
    int Close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

void SyncFolder(const QString& folder) {
    TFd fd(::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0 || ::fsync(fd.Get()) != 0)
        Fail(errno, folder);
}

// The engine's cross-process byte lock, taken on a read-only descriptor, so
// readers share it and every writer is kept out.
class TSourceLock {
public:
    explicit TSourceLock(const QString& path) {
        try {
            m_medium = std::make_unique<tomedb::TTomeDiskMedium>(
                Native(path).toStdString(), tomedb::TTomeDiskMedium::Mode::OpenExisting, true, false, 0);
        } catch (const tomedb::EDatabaseError&) {
            if (!QFileInfo::exists(path))
                Fail(ENOENT, path);
            throw EUserError(
                QStringLiteral("稿件库正被其他程序独占使用，无法备份：%1").arg(QDir::toNativeSeparators(path)),
                kBackupCaption, 2);
        }
        const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
        while (!m_medium->TryLock()) {
            if (std::chrono::steady_clock::now() > deadline)
                throw EUserError(
                    QStringLiteral("稿件库正被其他程序写入，请稍后再试：%1").arg(QDir::toNativeSeparators(path)),
                    kBackupCaption, 2);
            std::this_thread::sleep_for(kLockNap);
        }
    }
    ~TSourceLock() { m_medium->Unlock(); }
    // The file the lock is on (a path may meanwhile name another one).
    bool Holds(const struct stat& file) const {
        tomedb::TTomeMediumStamp stamp;
        return m_medium->ChangeStamp(stamp) && stamp.Inode == static_cast<uint64_t>(file.st_ino) &&
               stamp.Device == static_cast<uint64_t>(file.st_dev);
    }
    TSourceLock(const TSourceLock&) = delete;
    TSourceLock& operator=(const TSourceLock&) = delete;

private:
    std::unique_ptr<tomedb::TTomeDiskMedium> m_medium;
};

// A temporary file beside `target`, removed unless Commit renamed it.
class TTemporary {
public:
    explicit TTemporary(const QString& target) : m_target(target) {
        const QFileInfo info(target);
        m_folder = info.absolutePath();
        if (!QDir().mkpath(m_folder))
            Fail(EACCES, m_folder);
        QByteArray pattern =
            Native(m_folder + QLatin1Char('/') + kTemporaryPrefix + info.fileName() + QStringLiteral(".XXXXXX"));
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0)
            Fail(errno, target);
        m_path = pattern;
    }
    ~TTemporary() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_committed)
            ::unlink(m_path.constData());
    }
    TTemporary(const TTemporary&) = delete;
    TTemporary& operator=(const TTemporary&) = delete;

    int Fd() const { return m_fd; }
    // Syncs and closes the copy, renames it to the target, syncs the folder.
    void Commit() {
        Finish();
        if (::rename(m_path.constData(), Native(m_target).constData()) != 0)
            Fail(errno, m_target);
        m_committed = true;
        SyncFolder(m_folder);
    }
    // Gives the synced copy the name `path` (in the same folder) unless that
    // name is taken: a hard link claims a name atomically, so two copies
    // racing for one name never replace each other. False when taken.
    bool Claim(const QString& path) {
        if (m_fd >= 0)
            Finish();
        const QByteArray name = Native(path);
        if (::link(m_path.constData(), name.constData()) != 0) {
            if (errno == EEXIST)
                return false;
            if (!NoHardLinks(errno))
                Fail(errno, path);
            // A file system without hard links: a rename that never replaces.
            if (::renameat2(AT_FDCWD, m_path.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE) != 0) {
                if (errno == EEXIST)
                    return false;
                Fail(errno, path);
            }
        } else {
            ::unlink(m_path.constData());
        }
        m_committed = true;
        SyncFolder(m_folder);
        return true;
    }

private:
    static bool NoHardLinks(int error) {
        return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
    }
    void Finish() {
        if (::fsync(m_fd) != 0)
            Fail(errno, m_target);
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (closed != 0)
            Fail(errno, m_target);
    }

    QString m_target;
    QString m_folder;
    QByteArray m_path;
    int m_fd = -1;
    bool m_committed = false;
};

bool RangeCopyUnsupported(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF;
}

void ReadWriteCopy(int from, int to, int64_t done, int64_t size, const QString& source, const QString& target) {
    std::vector<char> buffer(kCopyBuffer);
    while (done < size) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(size - done, kCopyBuffer));
        const ssize_t got = ::pread(from, buffer.data(), want, done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            Fail(got < 0 ? errno : EIO, source);
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::pwrite(to, buffer.data() + put, static_cast<size_t>(got - put), done + put);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                Fail(n < 0 ? errno : ENOSPC, target);
            put += n;
        }
        done += got;
    }
}

// The first `size` bytes of `from` into the empty file `to`.
void CopyData(int from, int to, int64_t size, const QString& source, const QString& target) {
    if (::ioctl(to, FICLONE, from) == 0)
        return;
    int64_t done = 0;
    while (done < size) {
        loff_t in = done, out = done;
        const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<size_t>(size - done), 0);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && !RangeCopyUnsupported(errno))
            Fail(errno, target);
        break;  // no range copy between these files: bytes by hand
    }
    ReadWriteCopy(from, to, done, size, source, target);
}

int64_t CopyInto(TTemporary& temporary, const QString& source, const QString& target,
                 const TSourceLock* lock = nullptr) {
    TFd from(::open(Native(source).constData(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (from.Get() < 0 || ::fstat(from.Get(), &st) != 0)
        Fail(errno, source);
    if (lock && !lock->Holds(st))
        throw EUserError(
            QStringLiteral("稿件库文件刚被其他程序替换，请再试一次：%1").arg(QDir::toNativeSeparators(source)),
            kBackupCaption, 2);
    CopyData(from.Get(), temporary.Fd(), st.st_size, source, target);
    return st.st_size;
}

}  // namespace

int64_t CopyLocked(const QString& source, const QString& target) {
    TTemporary temporary(target);
    int64_t size = 0;
    {
        const TSourceLock lock(source);
        size = CopyInto(temporary, source, target, &lock);
    }
    temporary.Commit();
    return size;
}

QString CopyLockedToFreeName(const QString& source, const std::function<QString(int)>& pathFor, int firstSequence) {
    TTemporary temporary(pathFor(firstSequence));
    {
        const TSourceLock lock(source);
        CopyInto(temporary, source, pathFor(firstSequence), &lock);
    }
    for (int sequence = firstSequence;; ++sequence) {
        const QString path = pathFor(sequence);
        if (temporary.Claim(path))
            return path;
    }
}

void ReplaceLocked(const QString& source, const QString& target) {
    TTemporary temporary(target);
    CopyInto(temporary, source, target);
    // The file keeps its permissions (a temporary file starts private).
    struct stat old {};
    if (::stat(Native(target).constData(), &old) == 0)
        ::fchmod(temporary.Fd(), old.st_mode & 07777);
    if (QFileInfo::exists(target)) {
        const TSourceLock lock(target);
        temporary.Commit();
    } else {
        temporary.Commit();
    }
}

void RemoveStaleTemporaries(const QString& folder) {
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    const QFileInfoList stale =
        QDir(folder).entryInfoList({kTemporaryPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : stale)
        if (file.lastModified() < hourAgo)
            QFile::remove(file.absoluteFilePath());
}

}  // namespace snapshotfile
