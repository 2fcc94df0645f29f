// Modifying a record: fixed part rewritten in place, blobs rewritten in their
// area, grown at the image end or moved there, index chains moved.
#include <algorithm>
#include <cstring>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

using namespace format;

// The key values a modified record will have: the buffers' values, with the
// stored value standing in for an inactive field and for an auto-increment
// value of 0 (which keeps the stored number).
std::unique_ptr<TFieldBuffers> TTomeTableIO::EffectiveKey(TFieldBuffers& FieldBuffers,
                                                          const std::vector<uint8_t>& fixed) {
    auto key = std::make_unique<TFieldBuffers>();
    for (int i = 0; i < FieldDefs_.Count(); ++i) {
        TFieldBufferItem& source = FieldBuffers[i];
        const int32_t type = FieldDefs_.At(i).FieldType;
        TFieldBufferItem& item = key->AddOwned(type, FieldWidth(i));
        const uint8_t* slot = &fixed[static_cast<size_t>(FieldOffsets_[static_cast<size_t>(i)])];
        if (IsBlobType(type)) {
            if (source.Active && source.Blob)
                item.Blob->Assign(source.Blob->Data());
            continue;  // blob keys of inactive items stay empty: never read for ordering here
        }
        bool useStored = !source.Active || !source.Data;
        if (i == AutoIncField_ && !useStored && GetI32(source.Data) == 0)
            useStored = true;
        if (useStored)
            Io_.DecodeBuffer(slot, item.Data, FieldEncrypted(i), static_cast<size_t>(item.DataSize));
        else
            std::memcpy(item.Data, source.Data, std::min(item.DataSize, source.DataSize));
    }
    return key;
}

// Rewrites one blob value: in place while it stays smaller than its area, else
// in a new area (grown in place when the old one ends the appended bytes).
void TTomeTableIO::RewriteBlob(int Field, TFieldBufferItem& Item, uint8_t* descriptor) {
    const std::string plain = Item.Blob ? Item.Blob->Data() : std::string();
    std::string stored;
    Io_.EncodeStream(plain, stored, FieldCompressed(Field), FieldEncrypted(Field));
    const int32_t size = static_cast<int32_t>(stored.size());
    const int32_t oldOffset = GetI32(descriptor + kBDOffset);
    const int32_t oldArea = GetI32(descriptor + kBDAreaSize);
    const int64_t imageSize = Io_.ImageSize();
    const bool oldAreaSound = oldOffset >= kFixedAreaSize && oldArea > 0 && oldArea % kBlobAreaGranule == 0 &&
                              static_cast<int64_t>(oldOffset) + oldArea <= imageSize;
    const int64_t end = Io_.AppendPosition(OrderWrites_);
    int64_t position = end;
    int32_t area = BlobAreaSize(size);
    if (oldAreaSound && size < oldArea) {
        position = oldOffset;
        area = oldArea;
    } else if (oldAreaSound && static_cast<int64_t>(oldOffset) + oldArea == end) {
        position = oldOffset;
    }
    if (position + BlobAreaSize(size) > kMaxImageSize)
        throw EDatabaseError(FormatMessage("Database file '%s' is full", Io_.FileName().c_str()));
    std::vector<uint8_t> bytes(static_cast<size_t>(BlobAreaSize(size)), 0);
    if (size > 0)
        std::memcpy(bytes.data(), stored.data(), stored.size());
    if (position + area > end)
        Io_.ClaimAppended(end, position + area - end, OrderWrites_);
    Io_.WriteAt(position, bytes.data(), bytes.size());
    if (Io_.AlgoBlock().CRC32())
        WriteBlobVerified(Field, position, plain, stored);
    PutI32(descriptor + kBDOffset, static_cast<int32_t>(position));
    PutI32(descriptor + kBDSize, size);
    PutI32(descriptor + kBDAreaSize, area);
}

void TTomeTableIO::ModifyLocked(TFieldBuffers& FieldBuffers, int NaturalPos, const TOnIndexMove& OnIndexMove,
                                void* Table) {
    CheckBuffers(FieldBuffers);
    const TElementList& natural = *Lists_[0];
    if (NaturalPos < 0 || NaturalPos >= static_cast<int>(natural.size()))
        throw EDatabaseError("Record not found");
    const TListElement element = natural[static_cast<size_t>(NaturalPos)];
    Io_.SyncCommitTail();  // this may rewrite bytes a commit slot still vouches for
    std::vector<uint8_t> fixed(static_cast<size_t>(RecordSize_));
    Io_.ReadExact(element.DataOffset, fixed.data(), fixed.size());
    NormalizeStrings(FieldBuffers);
    auto key = EffectiveKey(FieldBuffers, fixed);
    CheckUniqueForModify(*key, NaturalPos);

    for (int i = 0; i < FieldDefs_.Count(); ++i) {
        TFieldBufferItem& item = FieldBuffers[i];
        if (!item.Active)
            continue;
        uint8_t* slot = &fixed[static_cast<size_t>(FieldOffsets_[static_cast<size_t>(i)])];
        if (IsBlobType(FieldDefs_.At(i).FieldType)) {
            RewriteBlob(i, item, slot);
            continue;
        }
        if (i == AutoIncField_) {
            const int32_t value = item.Data ? GetI32(item.Data) : 0;
            if (value == 0)
                continue;
            if (value > Header_.AutoIncCounter()) {
                Header_.SetAutoIncCounter(value);
                Io_.WriteAt(HeaderPos() + kTHAutoIncCounter, &Header_.Bytes[kTHAutoIncCounter], 4);
            }
        }
        EncodeSlot(FieldBuffers, i, slot);
    }
    // The fixed part commits the change: the blob areas it points to first.
    if (OrderWrites_)
        Io_.Barrier();
    Io_.WriteAt(element.DataOffset, fixed.data(), fixed.size());

    // Positions first (by scanning), then one move per index.
    std::vector<int> olds;
    for (int k = 0; k < IndexDefs_.Count(); ++k)
        olds.push_back(MapPosition(natural, NaturalPos, *Lists_[static_cast<size_t>(k) + 1]));
    for (int k = 0; k < IndexDefs_.Count(); ++k)
        if (olds[static_cast<size_t>(k)] >= 0)
            MoveInIndex(k, olds[static_cast<size_t>(k)], *key, OnIndexMove, Table);
}

// Moves the element at `Old` of index k's list to where Key now belongs, in
// the list and in the on-disk chain (unlink, then link: each step leaves a
// valid chain).
void TTomeTableIO::MoveInIndex(int IndexNo, int Old, TFieldBuffers& Key, const TOnIndexMove& OnIndexMove, void* Table) {
    TElementList& list = *Lists_[static_cast<size_t>(IndexNo) + 1];
    const TListElement element = list[static_cast<size_t>(Old)];
    list.erase(list.begin() + Old);
    const int j = InsertPosition(Key, IndexNo);
    const int to = Old < j ? j + 1 : j;
    list.insert(list.begin() + Old, element);
    if (to == Old)
        return;
    if (OnIndexMove)
        OnIndexMove(Table, IndexNo, Old, to);
    const int32_t next = ReadNext(IndexNo, element.RecIndex);
    if (Old > 0)
        WriteNext(IndexNo, list[static_cast<size_t>(Old) - 1].RecIndex, next);
    else
        WriteStartIndex(IndexNo, next);
    if (to > 0) {
        const int32_t q = list[static_cast<size_t>(to) - 1].RecIndex;
        WriteNext(IndexNo, element.RecIndex, ReadNext(IndexNo, q));
        WriteNext(IndexNo, q, element.RecIndex);
    } else {
        WriteNext(IndexNo, element.RecIndex, Header_.StartIndex(IndexNo));
        WriteStartIndex(IndexNo, element.RecIndex);
    }
    list.erase(list.begin() + Old);
    list.insert(list.begin() + j, element);
}

}  // namespace tomedb
