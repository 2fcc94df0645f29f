// Record buffers of a TTomeTable: one holds the current (or edited) record,
// others serve as search-key, range and filter buffers. A buffer keeps the
// record's fixed part in stored form (field slots at the storage's offsets;
// the slots of blob fields unused) and, per blob field, its own lazily loaded
// TOptimBlobStream, plus the record's bookmark (RecIndex). Buffers own their
// blob streams; nothing here performs I/O except the blob streams' lazy load.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tomedb/storage/TomeBlobStream.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

// Field slots of a table, from its storage object.
struct TRecordLayout {
    std::vector<int32_t> types;
    std::vector<int32_t> offsets;
    std::vector<int32_t> widths;  // stored width (DataSize of a buffer item)
    int32_t recordSize = 0;
    int Count() const { return static_cast<int>(types.size()); }
};

struct TRecordBuffer {
    std::vector<uint8_t> fixed;
    std::vector<std::unique_ptr<TOptimBlobStream>> blobs;  // null for non-blob fields
    int32_t bookmark = -1;

    // Sizes the buffer for the layout; every value zero, blobs empty.
    void Allocate(const TRecordLayout& layout, TTomeTableIO* table);
    void Release() {
        fixed.clear();
        blobs.clear();
        bookmark = -1;
    }
    bool Allocated() const { return !fixed.empty() || !blobs.empty(); }
    // Copies values (blob contents included, loading them) from another buffer.
    void CopyFrom(TRecordBuffer& other);
};

}  // namespace tomedb
