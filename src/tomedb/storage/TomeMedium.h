// The one interface through which the storage layer touches an image's bytes.
//
// TTomeMedium is implemented by
//   - TTomeDiskMedium (TomeDiskMedium.h): a file descriptor, pread/pwrite, fsync,
//     open-file-description byte locks;
//   - TTomeMemoryImage (TomeMemoryImage.h): bytes in memory, owned by the caller
//     (the mtMemory medium);
//   - TTomeFaultMedium (TomeFaultMedium.h): a wrapper that fails or cuts writes
//     and corrupts reads on request, for crash and fault tests.
// Positions are relative to the image start. ReadAt returns the number of bytes
// actually read (fewer at the end of the image); WriteAt writes everything or
// raises EDatabaseError. Nothing here interprets the bytes.
//
// WriteGathered writes pieces that follow one another from `position` on, as
// WriteAt would one after the other; a disk file does it in few system calls.
//
// ChangeStamp lets the file layer notice that someone else (another process,
// another descriptor) may have written the image since it last looked; a
// medium that cannot tell returns false, and then nothing read from it is
// cached across reads.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tomedb {

// What the file system says about the image: size, change times, identity.
// Coarse file times may stay the same across two writes; the file layer's
// change counter settles that case.
// One piece of a gathered write.
struct TTomeWritePiece {
    const void* Bytes = nullptr;
    size_t Count = 0;
};

struct TTomeMediumStamp {
    int64_t Size = 0;
    int64_t MTimeNs = 0;
    int64_t CTimeNs = 0;
    uint64_t Inode = 0;
    uint64_t Device = 0;
    uint64_t Links = 1;  // names the file has; 0 once it was deleted while open
    bool SameFileState(const TTomeMediumStamp& o) const {
        return Size == o.Size && MTimeNs == o.MTimeNs && CTimeNs == o.CTimeNs && Inode == o.Inode && Device == o.Device;
    }
};

class TTomeMedium {
public:
    virtual ~TTomeMedium() = default;

    // Reads up to `count` bytes at `position`; returns how many were read.
    virtual size_t ReadAt(int64_t position, void* buffer, size_t count) = 0;
    // Writes `count` bytes at `position`, growing the image as needed.
    virtual void WriteAt(int64_t position, const void* buffer, size_t count) = 0;
    // Writes the pieces back to back from `position` on.
    virtual void WriteGathered(int64_t position, const TTomeWritePiece* pieces, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            WriteAt(position, pieces[i].Bytes, pieces[i].Count);
            position += static_cast<int64_t>(pieces[i].Count);
        }
    }
    // Current size of the image in bytes.
    virtual int64_t Size() = 0;
    // Pushes written bytes to stable storage (no-op in memory).
    virtual void Flush() = 0;
    // Cross-process lock of one byte; TryLock returns false when another holder has it.
    virtual bool TryLock() = 0;
    virtual void Unlock() = 0;
    // Fills stamp and returns true when the medium can detect foreign writes.
    virtual bool ChangeStamp(TTomeMediumStamp& stamp) {
        (void)stamp;
        return false;
    }
    // The most bytes of zeros worth writing ahead of durable appends at the
    // image end (0: none). On a file system a sync after the file grew also
    // commits its metadata (size, allocation); appends that fill zeros the
    // file already holds spare that commit.
    virtual int64_t TailReserve() const { return 0; }
    // Cuts the image to `size` bytes, dropping a zero tail nothing uses; a
    // medium that cannot keeps it (zeros past the last structure are harmless).
    virtual void Truncate(int64_t size) { (void)size; }
};

}  // namespace tomedb
