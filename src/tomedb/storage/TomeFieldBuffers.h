// Field values handed across the table-storage interface.
//
// TFieldBufferItem is one field of one record operation. For a non-blob type,
// Data points at DataSize bytes in the stored form (little-endian integers and
// doubles, NUL-terminated text in declared size + 1 bytes). For a blob type,
// Blob points at the record buffer's TOptimBlobStream. The dataset owns those
// values (OwnsValue clear); with OwnsValue set the item frees them itself.
// An inactive item (Active clear) is skipped by ReadRecord and ModifyRecord
// and stored as zeros by AppendRecord.
// TFieldBuffers is an owning list, one item per table field in field order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/storage/TomeBlobStream.h"

namespace tomedb {

class TFieldBufferItem {
public:
    TFieldBufferItem() = default;
    ~TFieldBufferItem();
    TFieldBufferItem(const TFieldBufferItem&) = delete;
    TFieldBufferItem& operator=(const TFieldBufferItem&) = delete;

    uint8_t* Data = nullptr;           // non-blob value (DataSize bytes)
    TOptimBlobStream* Blob = nullptr;  // blob value
    int32_t FieldType = 0;
    int32_t DataSize = 0;  // stored width for non-blob types
    bool OwnsValue = false;
    bool Active = true;

    bool IsBlob() const { return IsBlobType(FieldType); }
    // The key bytes: the value in place, or the blob's bytes.
    const uint8_t* KeyData();
    size_t KeySize();
};

class TFieldBuffers {
public:
    TFieldBufferItem& Add();
    int Count() const { return static_cast<int>(Items_.size()); }
    TFieldBufferItem& operator[](int i) { return *Items_[static_cast<size_t>(i)]; }
    void Clear() { Items_.clear(); }

    // Convenience for callers without a record buffer (tests, tools, rebuild):
    // an item that owns a zeroed value of the field's stored width, or a new
    // blob stream for blob types.
    TFieldBufferItem& AddOwned(int32_t fieldType, int32_t storedWidth);

private:
    std::vector<std::unique_ptr<TFieldBufferItem>> Items_;
};

}  // namespace tomedb
