#include "tomedb/storage/TomeDiskMedium.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeFormat.h"

namespace tomedb {

namespace {

bool SetOfdLock(int fd, short type, int64_t position, int command) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = position;
    lock.l_len = 1;
    lock.l_pid = 0;
    return fcntl(fd, command, &lock) == 0;
}

int64_t TimespecNs(const struct timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec; }

}  // namespace

TTomeDiskMedium::TTomeDiskMedium(const std::string& fileName, Mode mode, bool readOnly, bool exclusive,
                                 int64_t baseOffset)
    : FileName_(fileName), ReadOnly_(readOnly), BaseOffset_(baseOffset) {
    int flags = O_CLOEXEC | (readOnly ? O_RDONLY : O_RDWR);
    if (mode == Mode::CreateTruncate)
        flags |= O_CREAT | O_TRUNC;
    Fd_ = ::open(fileName.c_str(), flags, 0644);
    if (Fd_ < 0)
        throw EDatabaseError(FormatMessage("Cannot open file %s", fileName.c_str()));
    // Share-mode emulation: exclusive openers take the share byte for writing.
    short shareType = F_RDLCK;
    if (exclusive && !readOnly)
        shareType = F_WRLCK;
    if (!SetOfdLock(Fd_, shareType, kShareLockByte, F_OFD_SETLK)) {
        ::close(Fd_);
        Fd_ = -1;
        throw EDatabaseError(FormatMessage("Cannot open file %s", fileName.c_str()));
    }
}

TTomeDiskMedium::~TTomeDiskMedium() {
    if (Fd_ >= 0)
        ::close(Fd_);
}

void TTomeDiskMedium::RaiseIoError(const char* what) const {
    throw EDatabaseError(FormatMessage("%s error on file %s: %s", what, FileName_.c_str(), std::strerror(errno)));
}

size_t TTomeDiskMedium::ReadAt(int64_t position, void* buffer, size_t count) {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(Fd_, out + done, count - done, static_cast<off_t>(BaseOffset_ + position + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            RaiseIoError("Read");
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void TTomeDiskMedium::WriteAt(int64_t position, const void* buffer, size_t count) {
    if (position < 0 || position + static_cast<int64_t>(count) > format::kMaxImageSize) {
        errno = EFBIG;
        RaiseIoError("Write");
    }
    size_t done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::pwrite(Fd_, in + done, count - done, static_cast<off_t>(BaseOffset_ + position + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            RaiseIoError("Write");
        }
        done += static_cast<size_t>(n);
    }
}

// pwritev of up to IOV_MAX pieces at a time; a short write goes on from the
// byte where it stopped.
void TTomeDiskMedium::WriteGathered(int64_t position, const TTomeWritePiece* pieces, size_t count) {
    int64_t total = 0;
    for (size_t i = 0; i < count; ++i)
        total += static_cast<int64_t>(pieces[i].Count);
    if (position < 0 || position + total > format::kMaxImageSize) {
        errno = EFBIG;
        RaiseIoError("Write");
    }
    constexpr size_t kMaxPieces = 1024;
    iovec vectors[kMaxPieces];
    size_t next = 0;     // first piece not yet handed down whole
    size_t skipped = 0;  // bytes of pieces[next] already written
    while (next < count) {
        size_t used = 0;
        for (size_t i = next; i < count && used < kMaxPieces; ++i, ++used) {
            const size_t from = i == next ? skipped : 0;
            vectors[used].iov_base = const_cast<char*>(static_cast<const char*>(pieces[i].Bytes) + from);
            vectors[used].iov_len = pieces[i].Count - from;
        }
        const ssize_t n = ::pwritev(Fd_, vectors, static_cast<int>(used), static_cast<off_t>(BaseOffset_ + position));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            RaiseIoError("Write");
        }
        position += n;
        auto left = static_cast<size_t>(n);
        while (next < count && left >= pieces[next].Count - skipped) {
            left -= pieces[next].Count - skipped;
            skipped = 0;
            ++next;
        }
        skipped += left;
    }
}

int64_t TTomeDiskMedium::Size() {
    struct stat st {};
    if (::fstat(Fd_, &st) != 0)
        RaiseIoError("Stat");
    const int64_t size = static_cast<int64_t>(st.st_size) - BaseOffset_;
    return size < 0 ? 0 : size;
}

bool TTomeDiskMedium::ChangeStamp(TTomeMediumStamp& stamp) {
    struct stat st {};
    if (::fstat(Fd_, &st) != 0)
        return false;
    stamp.Size = static_cast<int64_t>(st.st_size);
    stamp.MTimeNs = TimespecNs(st.st_mtim);
    stamp.CTimeNs = TimespecNs(st.st_ctim);
    stamp.Inode = static_cast<uint64_t>(st.st_ino);
    stamp.Device = static_cast<uint64_t>(st.st_dev);
    stamp.Links = static_cast<uint64_t>(st.st_nlink);
    return true;
}

int64_t TTomeDiskMedium::TailReserve() const { return ReadOnly_ || BaseOffset_ != 0 ? 0 : 1024 * 1024; }

// Best effort: a tail left in place loses nothing.
void TTomeDiskMedium::Truncate(int64_t size) {
    if (ReadOnly_ || BaseOffset_ != 0 || size < 0)
        return;
    const int failed = ::ftruncate(Fd_, static_cast<off_t>(size));
    (void)failed;
}

void TTomeDiskMedium::Flush() {
    if (!ReadOnly_ && ::fdatasync(Fd_) != 0)
        RaiseIoError("Flush");
}

bool TTomeDiskMedium::TryLock() {
    return SetOfdLock(Fd_, ReadOnly_ ? F_RDLCK : F_WRLCK, format::kLockByte, F_OFD_SETLK);
}

void TTomeDiskMedium::Unlock() { SetOfdLock(Fd_, F_UNLCK, format::kLockByte, F_OFD_SETLK); }

bool TomeFileExists(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool TomeFileIsReadOnly(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace tomedb
