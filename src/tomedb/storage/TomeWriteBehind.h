// TTomeWriteBehindMedium: a medium that gathers writes in memory and hands
// them to the medium below in large, ordered pieces.
//
// Meant for an image nobody else can see yet (the new file a rebuild
// writes): an append there is a handful of small scattered writes, which this
// turns into a few large ones. Reads see every write at once. Pending bytes go
// down when they pass the limit, on Flush, on Unlock, before a ChangeStamp,
// and on WritePending; the owner must call Flush (or WritePending) before it
// drops the medium, since a destructor cannot report a failed write. Errors
// of the medium below pass through unchanged. Not thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "tomedb/storage/TomeMedium.h"

namespace tomedb {

class TTomeWriteBehindMedium final : public TTomeMedium {
public:
    static constexpr int64_t kBlockSize = 16384;
    TTomeWriteBehindMedium(TTomeMedium& inner, size_t limit);
    TTomeWriteBehindMedium(const TTomeWriteBehindMedium&) = delete;
    TTomeWriteBehindMedium& operator=(const TTomeWriteBehindMedium&) = delete;

    size_t ReadAt(int64_t position, void* buffer, size_t count) override;
    void WriteAt(int64_t position, const void* buffer, size_t count) override;
    int64_t Size() override { return Size_; }
    void Flush() override;
    bool TryLock() override { return Inner_.TryLock(); }
    void Unlock() override;
    bool ChangeStamp(TTomeMediumStamp& stamp) override;

    // Writes every pending byte to the medium below, in file order.
    void WritePending();
    // Forgets what is pending (the image is being abandoned after a failure).
    void Discard() {
        Dirty_.clear();
        Spare_.clear();
    }
    size_t PendingBytes() const { return Dirty_.size() * static_cast<size_t>(kBlockSize); }

private:
    uint8_t* Block(int64_t number, bool overwrittenWhole);
    void ReadBelow(int64_t position, uint8_t* out, size_t count);

    TTomeMedium& Inner_;
    size_t Limit_;
    int64_t Size_;
    std::map<int64_t, std::vector<uint8_t>> Dirty_;  // block number -> its bytes
    std::vector<std::vector<uint8_t>> Spare_;        // written blocks, for reuse
};

}  // namespace tomedb
