// TTomeDiskMedium: an image in a disk file, read and written with pread/pwrite
// on one file descriptor that this object owns.
//
// Sharing: every opener holds a shared open-file-description lock on a byte far
// beyond any image (kShareLockByte); an exclusive opener holds it exclusively,
// so an exclusive open fails while others have the file open and vice versa.
// The cross-process lock of the image is an OFD lock on absolute byte 1
// (exclusive on a writable descriptor, shared on a read-only one), not shifted
// by BaseOffset. OFD locks belong to the open file, so two objects in one
// process exclude each other as two processes do.
// Failures raise EDatabaseError ("Cannot open file %s" on open; an I/O error
// text naming the file on read/write).
#pragma once

#include <string>

#include "tomedb/storage/TomeMedium.h"

namespace tomedb {

class TTomeDiskMedium final : public TTomeMedium {
public:
    enum class Mode { OpenExisting, CreateTruncate };

    // Opens (or creates) the file. readOnly opens O_RDONLY; exclusive denies
    // sharing. Raises "Cannot open file %s" when the file cannot be opened or
    // shared as asked.
    TTomeDiskMedium(const std::string& fileName, Mode mode, bool readOnly, bool exclusive, int64_t baseOffset);
    ~TTomeDiskMedium() override;
    TTomeDiskMedium(const TTomeDiskMedium&) = delete;
    TTomeDiskMedium& operator=(const TTomeDiskMedium&) = delete;

    size_t ReadAt(int64_t position, void* buffer, size_t count) override;
    void WriteAt(int64_t position, const void* buffer, size_t count) override;
    void WriteGathered(int64_t position, const TTomeWritePiece* pieces, size_t count) override;
    int64_t Size() override;
    void Flush() override;
    bool TryLock() override;
    void Unlock() override;
    bool ChangeStamp(TTomeMediumStamp& stamp) override;
    // 1 MB for a writable file that holds only the image (an image at a base
    // offset may be followed by something else).
    int64_t TailReserve() const override;
    void Truncate(int64_t size) override;

    bool ReadOnly() const { return ReadOnly_; }

    // Byte used for the share-mode emulation; far beyond any image.
    static constexpr int64_t kShareLockByte = 0x7FFFFFFF00000000LL;

private:
    [[noreturn]] void RaiseIoError(const char* what) const;

    std::string FileName_;
    int Fd_ = -1;
    bool ReadOnly_ = false;
    int64_t BaseOffset_ = 0;
};

// True when the file exists (any type but a directory).
bool TomeFileExists(const std::string& fileName);
// True when the file carries no write permission bit (the "read-only attribute").
bool TomeFileIsReadOnly(const std::string& fileName);

}  // namespace tomedb
