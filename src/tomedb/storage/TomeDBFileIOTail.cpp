// The zero tail of durable appends. A sync after the file grew also commits
// the file system's metadata (its size and the new blocks' allocation),
// which roughly doubles its cost; an append that fills zeros the file
// already holds syncs its own bytes only. So a durable append that reaches
// past the image end first writes zeros well past it (an eighth of the image,
// between kMinTail and what the medium allows), and the appends after it
// fill that tail from its start.
//
// The tail is this object's alone: nothing points into it, and every other
// writer appends at the image end, past it. Once the image no longer ends
// where the tail ends (another writer appended, or a write failed), the
// tail is left as unused bytes and a new one starts at the end. Close cuts
// the tail off while the image still ends with it; a cut or a crash leaves
// zeros after the last structure, which readers never look at and the next
// compaction drops. Nothing is written into the tail before the zeros that
// made it, and what an append writes there becomes live only through a
// commit that follows a sync, as at the image end.
#include <algorithm>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeDBFileIO.h"

namespace tomedb {

using namespace format;

namespace {

constexpr int64_t kMinTail = 64 * 1024;

}  // namespace

int64_t TTomeDBFileIO::AppendPosition(bool Durable) {
    const int64_t size = ImageSize();
    return Durable && TailEnd_ == size && TailStart_ <= size ? TailStart_ : size;
}

void TTomeDBFileIO::ClaimAppended(int64_t At, int64_t Bytes, bool Durable) {
    const int64_t reserve = Durable ? Medium_->TailReserve() : 0;
    const int64_t end = At + Bytes;
    const int64_t size = ImageSize();
    if (reserve <= 0 || end > kMaxImageSize || At != AppendPosition(true)) {
        TailEnd_ = -1;
        return;
    }
    if (end > size) {
        const int64_t tailEnd = std::min(kMaxImageSize, end + std::min(reserve, std::max(kMinTail, size / 8)));
        TailEnd_ = -1;  // until the zeros are written
        if (tailEnd > end) {
            const std::vector<uint8_t> zeros(static_cast<size_t>(tailEnd - end), 0);
            WriteAt(end, zeros.data(), zeros.size());
        }
        TailEnd_ = tailEnd;
    }
    TailStart_ = end;
}

// Under the lock, so that no other writer appends meanwhile. A failure keeps
// the tail: unused zeros lose nothing.
void TTomeDBFileIO::CutTail() {
    if (TailEnd_ < 0 || ReadOnly_ || FileReadOnly_)
        return;
    try {
        TTomeFileLock lock(*this);
        if (TailEnd_ == ImageSize() && TailStart_ < TailEnd_) {
            Medium_->Truncate(TailStart_);
            SizeKnown_ = false;
        }
    } catch (const EDatabaseError&) {
    }
    TailEnd_ = -1;
}

}  // namespace tomedb
