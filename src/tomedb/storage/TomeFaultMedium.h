// TTomeFaultMedium: wraps another medium and misbehaves on request, for crash
// and fault tests. It can
//   - "crash" at a chosen byte of the write stream: the write that reaches the
//     byte is cut there (only its first bytes land) and raises, and every later
//     write raises without writing, as if the process had died. Writes of fewer
//     than kAtomicWrite bytes land whole or not at all, as a sector does;
//   - fail every write after a number of successful ones;
//   - corrupt the next N reads (flip one byte), e.g. to make a verified blob
//     write see a bad read-back;
//   - refuse the lock;
//   - log every write and every Flush (a write barrier) in order, so that a
//     test can build what a power cut at any moment would leave on disk
//     (ImageAfterPowerCut): the page cache holds the writes since the last
//     barrier, and any of them may be lost, whole or in 512-byte sectors.
// The wrapped medium is not owned. Failures raise EDatabaseError("I/O error ...").
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tomedb/storage/TomeMedium.h"

namespace tomedb {

// One logged event: a write (its position and bytes) or a barrier.
struct TTomeMediumEvent {
    bool Barrier = false;
    int64_t Position = 0;
    std::vector<uint8_t> Bytes;
};

class TTomeFaultMedium final : public TTomeMedium {
public:
    explicit TTomeFaultMedium(TTomeMedium& inner) : Inner_(inner) {}
    static constexpr size_t kAtomicWrite = 16;

    // Crash when the total of written bytes would pass `bytes` (-1: never).
    void CrashAfterBytes(int64_t bytes) { CrashAt_ = bytes; }
    // Writes after `count` more successful ones raise (-1: never).
    void FailWritesAfter(int64_t count) { WritesLeft_ = count; }
    // Only the write `count` writes from now raises (0: the next one), once.
    void FailOneWrite(int64_t count) { FailOne_ = count; }
    // The next `count` reads of at least minSize bytes come back with a flipped byte.
    void CorruptReads(int count, size_t minSize = 1) {
        CorruptLeft_ = count;
        CorruptMin_ = minSize;
    }
    void RefuseLock(bool refuse) { RefuseLock_ = refuse; }
    // Logs writes and barriers from now on (see Events).
    void LogWrites() { Logging_ = true; }
    // Asks for a zero tail of at most `bytes` ahead of durable appends, as a
    // disk file does (0, the default: none).
    void ReserveTail(int64_t bytes) { TailReserve_ = bytes; }
    const std::vector<TTomeMediumEvent>& Events() const { return Events_; }
    int64_t Barriers() const { return Barriers_; }
    bool Crashed() const { return Crashed_; }
    int64_t BytesWritten() const { return Written_; }
    int64_t WriteCalls() const { return WriteCalls_; }
    // Byte count reached before each write call so far (crash points for tests).
    const std::vector<int64_t>& WriteStarts() const { return Starts_; }

    size_t ReadAt(int64_t position, void* buffer, size_t count) override;
    void WriteAt(int64_t position, const void* buffer, size_t count) override;
    int64_t Size() override { return Inner_.Size(); }
    void Flush() override;
    bool TryLock() override { return !RefuseLock_ && Inner_.TryLock(); }
    void Unlock() override { Inner_.Unlock(); }
    int64_t TailReserve() const override { return TailReserve_; }
    // Passed on unlogged: a cut before it leaves the tail, which is harmless.
    void Truncate(int64_t size) override {
        if (!Crashed_)
            Inner_.Truncate(size);
    }

private:
    TTomeMedium& Inner_;
    int64_t CrashAt_ = -1;
    int64_t WritesLeft_ = -1;
    int64_t FailOne_ = -1;
    int CorruptLeft_ = 0;
    size_t CorruptMin_ = 1;
    bool RefuseLock_ = false;
    bool Crashed_ = false;
    int64_t Written_ = 0;
    int64_t WriteCalls_ = 0;
    std::vector<int64_t> Starts_;
    bool Logging_ = false;
    std::vector<TTomeMediumEvent> Events_;
    int64_t Barriers_ = 0;
    int64_t TailReserve_ = 0;
};

// Decides for the k-th write after the last barrier whether its piece p (of
// `pieces`, split at sector boundaries) reached the disk.
using TTomeLandsRule = std::function<bool(size_t write, size_t piece, size_t pieces)>;

// The image a power cut leaves when it strikes after the first `cutAfter`
// events logged over `base` (the image when logging began): every write
// before the last barrier within those events is on disk; of the writes
// after it, the pieces `lands` accepts. The image ends after the last byte
// that landed; a lost piece below a landed one reads as zeros.
std::vector<uint8_t> ImageAfterPowerCut(std::vector<uint8_t> base, const std::vector<TTomeMediumEvent>& events,
                                        size_t cutAfter, const TTomeLandsRule& lands);
// Number of writes after the last barrier among the first `cutAfter` events.
size_t WritesAfterLastBarrier(const std::vector<TTomeMediumEvent>& events, size_t cutAfter);
// Number of sector pieces of a write.
size_t SectorPieces(int64_t position, size_t count);

}  // namespace tomedb
