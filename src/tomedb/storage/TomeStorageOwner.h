// What the storage layer needs from the object that owns it (the database,
// TTomeDatabase, with its session). The database implements this interface
// and hands it to TTomeDBFileIO; a file layer without an owner uses the
// session defaults (20 retries, 100 ms) and reports no progress.
//
// Progress(kind, percent) is called for the compression and encryption steps
// (percent 0..100); HasProgressHandler(kind) lets the owner say whether it has
// a handler at all, so the layer connects nothing when nobody listens.
// Implementations must not throw from Progress.
#pragma once

#include <cstdint>

namespace tomedb {

enum class TTomeProgressKind { Compress, Uncompress, Encrypt, Decrypt };

class TTomeStorageOwner {
public:
    virtual ~TTomeStorageOwner() = default;
    // Failed lock attempts tolerated before "Wait for unlock time out"; 0 waits for ever.
    virtual int32_t LockRetryCount() const { return 20; }
    // Milliseconds slept between lock attempts.
    virtual int32_t LockWaitTime() const { return 100; }
    virtual bool HasProgressHandler(TTomeProgressKind /*kind*/) const { return false; }
    virtual void Progress(TTomeProgressKind /*kind*/, int /*percent*/) {}
};

// Plain settings object for callers that have no database (tools, tests).
class TTomeStorageSettings : public TTomeStorageOwner {
public:
    int32_t RetryCount = 20;
    int32_t WaitTime = 100;
    int32_t LockRetryCount() const override { return RetryCount; }
    int32_t LockWaitTime() const override { return WaitTime; }
};

}  // namespace tomedb
