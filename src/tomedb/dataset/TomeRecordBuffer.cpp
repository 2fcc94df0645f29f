#include "tomedb/dataset/TomeRecordBuffer.h"

#include "tomedb/FieldTypes.h"

namespace tomedb {

void TRecordBuffer::Allocate(const TRecordLayout& layout, TTomeTableIO* table) {
    fixed.assign(static_cast<size_t>(layout.recordSize) + 1, 0);
    blobs.clear();
    blobs.resize(static_cast<size_t>(layout.Count()));
    for (int i = 0; i < layout.Count(); ++i)
        if (IsBlobType(layout.types[static_cast<size_t>(i)]))
            blobs[static_cast<size_t>(i)] = std::make_unique<TOptimBlobStream>(table);
    bookmark = -1;
}

void TRecordBuffer::CopyFrom(TRecordBuffer& other) {
    fixed = other.fixed;
    for (size_t i = 0; i < blobs.size() && i < other.blobs.size(); ++i)
        if (blobs[i] && other.blobs[i])
            blobs[i]->Assign(other.blobs[i]->Data());
    bookmark = other.bookmark;
}

}  // namespace tomedb
