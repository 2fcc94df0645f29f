#include "tomedb/storage/TomeWriteBehind.h"

#include <algorithm>
#include <cstring>

#include "tomedb/storage/TomeFormat.h"

namespace tomedb {

TTomeWriteBehindMedium::TTomeWriteBehindMedium(TTomeMedium& inner, size_t limit)
    : Inner_(inner), Limit_(limit), Size_(inner.Size()) {}

// Bytes below that no pending block covers; zero past the end of what was
// written down (a gap that a later write left).
void TTomeWriteBehindMedium::ReadBelow(int64_t position, uint8_t* out, size_t count) {
    const size_t got = Inner_.ReadAt(position, out, count);
    if (got < count)
        std::memset(out + got, 0, count - got);
}

// A block taken from the spares needs no clearing: it is either overwritten
// whole or filled from below.
uint8_t* TTomeWriteBehindMedium::Block(int64_t number, bool overwrittenWhole) {
    auto it = Dirty_.find(number);
    if (it != Dirty_.end())
        return it->second.data();
    std::vector<uint8_t> bytes;
    if (Spare_.empty()) {
        bytes.resize(static_cast<size_t>(kBlockSize));
    } else {
        bytes = std::move(Spare_.back());
        Spare_.pop_back();
    }
    if (!overwrittenWhole)
        ReadBelow(number * kBlockSize, bytes.data(), bytes.size());
    return Dirty_.emplace(number, std::move(bytes)).first->second.data();
}

size_t TTomeWriteBehindMedium::ReadAt(int64_t position, void* buffer, size_t count) {
    if (position >= Size_)
        return 0;
    count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), Size_ - position));
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        const int64_t at = position + static_cast<int64_t>(done);
        const int64_t number = at / kBlockSize;
        const int64_t within = at % kBlockSize;
        const size_t piece =
            static_cast<size_t>(std::min<int64_t>(kBlockSize - within, static_cast<int64_t>(count - done)));
        const auto it = Dirty_.find(number);
        if (it != Dirty_.end())
            std::memcpy(out + done, it->second.data() + within, piece);
        else
            ReadBelow(at, out + done, piece);
        done += piece;
    }
    return count;
}

void TTomeWriteBehindMedium::WriteAt(int64_t position, const void* buffer, size_t count) {
    if (position < 0 || position + static_cast<int64_t>(count) > format::kMaxImageSize) {
        WritePending();
        Inner_.WriteAt(position, buffer, count);  // reports the error as the medium below does
        return;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        const int64_t at = position + static_cast<int64_t>(done);
        const int64_t within = at % kBlockSize;
        const size_t piece =
            static_cast<size_t>(std::min<int64_t>(kBlockSize - within, static_cast<int64_t>(count - done)));
        uint8_t* block = Block(at / kBlockSize, within == 0 && piece == static_cast<size_t>(kBlockSize));
        std::memcpy(block + within, in + done, piece);
        done += piece;
    }
    Size_ = std::max<int64_t>(Size_, position + static_cast<int64_t>(count));
    if (PendingBytes() > Limit_)
        WritePending();
}

// Runs of neighbouring blocks go down as one gathered write each, cut at the
// image end. The blocks are kept as spares for the next writes.
void TTomeWriteBehindMedium::WritePending() {
    std::vector<TTomeWritePiece> run;
    int64_t runStart = -1;
    int64_t runEnd = -1;
    auto writeRun = [&] {
        if (!run.empty())
            Inner_.WriteGathered(runStart, run.data(), run.size());
        run.clear();
    };
    for (const auto& [number, bytes] : Dirty_) {
        const int64_t start = number * kBlockSize;
        if (start != runEnd)
            writeRun();
        if (run.empty())
            runStart = start;
        runEnd = start + kBlockSize;
        const int64_t count = std::min<int64_t>(kBlockSize, Size_ - start);
        if (count > 0)
            run.push_back({bytes.data(), static_cast<size_t>(count)});
    }
    writeRun();
    for (auto& [number, bytes] : Dirty_)
        Spare_.push_back(std::move(bytes));
    Dirty_.clear();
}

void TTomeWriteBehindMedium::Flush() {
    WritePending();
    Inner_.Flush();
}

void TTomeWriteBehindMedium::Unlock() {
    WritePending();
    Inner_.Unlock();
}

bool TTomeWriteBehindMedium::ChangeStamp(TTomeMediumStamp& stamp) {
    WritePending();
    return Inner_.ChangeStamp(stamp);
}

}  // namespace tomedb
