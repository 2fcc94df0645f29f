#include "tomedb/storage/TomeFaultMedium.h"

#include <algorithm>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeFormat.h"

namespace tomedb {

size_t TTomeFaultMedium::ReadAt(int64_t position, void* buffer, size_t count) {
    const size_t n = Inner_.ReadAt(position, buffer, count);
    if (CorruptLeft_ > 0 && n >= CorruptMin_ && n > 0) {
        --CorruptLeft_;
        static_cast<uint8_t*>(buffer)[n / 2] ^= 0x5A;
    }
    return n;
}

void TTomeFaultMedium::WriteAt(int64_t position, const void* buffer, size_t count) {
    if (Crashed_)
        throw EDatabaseError("I/O error: medium has crashed");
    if (WritesLeft_ == 0)
        throw EDatabaseError("I/O error: write refused");
    if (WritesLeft_ > 0)
        --WritesLeft_;
    if (FailOne_ >= 0 && FailOne_-- == 0)
        throw EDatabaseError("I/O error: write refused");
    ++WriteCalls_;
    Starts_.push_back(Written_);
    if (CrashAt_ >= 0 && Written_ + static_cast<int64_t>(count) > CrashAt_) {
        auto part = static_cast<size_t>(CrashAt_ - Written_);
        if (count < kAtomicWrite)
            part = 0;
        if (part > 0)
            Inner_.WriteAt(position, buffer, part);
        Written_ += static_cast<int64_t>(part);
        Crashed_ = true;
        throw EDatabaseError("I/O error: medium has crashed");
    }
    Inner_.WriteAt(position, buffer, count);
    Written_ += static_cast<int64_t>(count);
    if (Logging_) {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        Events_.push_back({false, position, std::vector<uint8_t>(bytes, bytes + count)});
    }
}

void TTomeFaultMedium::Flush() {
    Inner_.Flush();
    ++Barriers_;
    if (Logging_)
        Events_.push_back({true, 0, {}});
}

size_t SectorPieces(int64_t position, size_t count) {
    if (count == 0)
        return 0;
    const int64_t last = position + static_cast<int64_t>(count) - 1;
    return static_cast<size_t>(last / format::kSectorSize - position / format::kSectorSize + 1);
}

size_t WritesAfterLastBarrier(const std::vector<TTomeMediumEvent>& events, size_t cutAfter) {
    size_t writes = 0;
    for (size_t i = 0; i < cutAfter && i < events.size(); ++i)
        writes = events[i].Barrier ? 0 : writes + 1;
    return writes;
}

namespace {

void Land(std::vector<uint8_t>& image, int64_t position, const uint8_t* bytes, size_t count) {
    const auto end = static_cast<size_t>(position) + count;
    if (image.size() < end)
        image.resize(end, 0);
    std::copy(bytes, bytes + count, image.begin() + position);
}

}  // namespace

std::vector<uint8_t> ImageAfterPowerCut(std::vector<uint8_t> base, const std::vector<TTomeMediumEvent>& events,
                                        size_t cutAfter, const TTomeLandsRule& lands) {
    cutAfter = std::min(cutAfter, events.size());
    size_t durable = 0;  // events before this one reached the disk
    for (size_t i = 0; i < cutAfter; ++i)
        if (events[i].Barrier)
            durable = i + 1;
    for (size_t i = 0; i < durable; ++i)
        if (!events[i].Barrier)
            Land(base, events[i].Position, events[i].Bytes.data(), events[i].Bytes.size());
    size_t write = 0;
    for (size_t i = durable; i < cutAfter; ++i, ++write) {
        const TTomeMediumEvent& event = events[i];
        const size_t pieces = SectorPieces(event.Position, event.Bytes.size());
        int64_t at = event.Position;
        const int64_t end = event.Position + static_cast<int64_t>(event.Bytes.size());
        for (size_t piece = 0; piece < pieces; ++piece) {
            const int64_t pieceEnd = std::min(end, (at / format::kSectorSize + 1) * format::kSectorSize);
            if (lands(write, piece, pieces))
                Land(base, at, event.Bytes.data() + (at - event.Position), static_cast<size_t>(pieceEnd - at));
            at = pieceEnd;
        }
    }
    return base;
}

}  // namespace tomedb
