#include "tomedb/storage/TomeFaultMedium.h"

#include "tomedb/TomeError.h"

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
    if (Crashed_) throw EDatabaseError("I/O error: medium has crashed");
    if (WritesLeft_ == 0) throw EDatabaseError("I/O error: write refused");
    if (WritesLeft_ > 0) --WritesLeft_;
    if (FailOne_ >= 0 && FailOne_-- == 0) throw EDatabaseError("I/O error: write refused");
    ++WriteCalls_;
    Starts_.push_back(Written_);
    if (CrashAt_ >= 0 && Written_ + static_cast<int64_t>(count) > CrashAt_) {
        auto part = static_cast<size_t>(CrashAt_ - Written_);
        if (count < kAtomicWrite) part = 0;
        if (part > 0) Inner_.WriteAt(position, buffer, part);
        Written_ += static_cast<int64_t>(part);
        Crashed_ = true;
        throw EDatabaseError("I/O error: medium has crashed");
    }
    Inner_.WriteAt(position, buffer, count);
    Written_ += static_cast<int64_t>(count);
}

}  // namespace tomedb
