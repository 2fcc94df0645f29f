// Appending, modifying and deleting records, and the index chain upkeep.
//
// Order of an append (the commit point is RecordTotal in the header):
//   1. one write of everything new at the image end (for a durable append,
//      into the zero tail of TomeDBFileIOTail.cpp): [record tab chunk]
//      fixed part, blob areas, [index tab chunks] (chunks when n mod 1024 = 0);
//   2. the record's items in existing chunks and the NextChunk / IndexTabOffset
//      links to new chunks (all unreachable until step 3);
//   3. AutoIncCounter and RecTabOffset, then RecordTotal: the commit. A
//      durable append first writes its commit slot and syncs once
//      (TTomeDBFileIO::CommitAppend); its RecordTotal follows unsynced and
//      is rolled forward at the next open if a cut loses it;
//   4. the index chains: the predecessor's Next (or StartIndex) := n.
// A crash before 3 leaves dead bytes only; a crash during 4 leaves a record
// that a chain misses, which Load links again. Any other write first syncs
// what a one-sync append left unsynced (SyncCommitTail).
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "tomedb/TomeError.h"
#include "tomedb/dataproc/Crc32.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

using namespace format;

namespace {

[[noreturn]] void RaiseRecordNotFound() { throw EDatabaseError("Record not found"); }

}  // namespace

struct TTomeTableIO::TBlobPlan {
    int Field = 0;
    std::string Plain;
    std::string Stored;
    int64_t Position = 0;
};

void TTomeTableIO::CheckBuffers(TFieldBuffers& FieldBuffers) const {
    if (FieldBuffers.Count() != FieldDefs_.Count())
        throw EDatabaseError("Field buffers do not match the table's fields");
}

// Re-reads the header under the lock; another process changed it → reload.
void TTomeTableIO::SyncBeforeWrite() {
    if (Io_.ReadOnly() || Io_.FileReadOnly())
        throw EDatabaseError("Cannot modify a read-only database");
    TTableHeader disk;
    Io_.ReadTableHeader(TableNo_, disk);
    if (!HeaderAsOnDisk(disk) || Stale_) {
        Stale_ = false;
        Unload();
        Load();
    }
    EnsureIndexLists();
}

void TTomeTableIO::NormalizeStrings(TFieldBuffers& FieldBuffers) {
    for (int i = 0; i < FieldBuffers.Count(); ++i) {
        TFieldBufferItem& item = FieldBuffers[i];
        if (!item.Active || !item.Data || !IsStringType(item.FieldType) || item.DataSize <= 0)
            continue;
        const size_t width = static_cast<size_t>(item.DataSize);
        size_t length = FixedTextLength(item.Data, width);
        if (length >= width) {
            const std::string text(reinterpret_cast<char*>(item.Data), length);
            length = CutText(text, width - 1).size();
        }
        std::memset(item.Data + length, 0, width - length);
    }
}

// The highest auto-increment value in use, read from the end of an index led
// by the auto-increment field (INT32_MIN without one, or an empty table). A
// counter left behind it (a damaged or foreign file) would otherwise hand out
// a number that exists.
int32_t TTomeTableIO::HighestIndexedAutoInc() {
    for (int k = 0; k < IndexDefs_.Count(); ++k) {
        const TTomeIndexDef& index = IndexDefs_.At(k);
        if (index.FieldIdxes.empty() || index.FieldIdxes[0] != AutoIncField_)
            continue;
        const TElementList& list = *Lists_[static_cast<size_t>(k) + 1];
        if (list.empty())
            return INT32_MIN;
        const TListElement& last = (index.Options & tiDescending) ? list.front() : list.back();
        std::string value;
        ReadFieldValue(value, last.RecIndex, AutoIncField_);
        return value.size() >= 4 ? GetI32(reinterpret_cast<const uint8_t*>(value.data())) : INT32_MIN;
    }
    return INT32_MIN;
}

// The auto-increment rule of an append; returns the counter to store.
int32_t TTomeTableIO::AssignAutoInc(TFieldBuffers& FieldBuffers) {
    int32_t counter = Header_.AutoIncCounter();
    if (AutoIncField_ < 0)
        return counter;
    TFieldBufferItem& item = FieldBuffers[AutoIncField_];
    const int32_t value = (item.Active && item.Data) ? GetI32(item.Data) : 0;
    if (value == 0) {
        // The next number would wrap to the most negative one and collide
        // with the ordering of every key handed out before.
        counter = std::max(counter, HighestIndexedAutoInc());
        if (counter == INT32_MAX)
            throw EDatabaseError("Auto-increment values are used up");
        ++counter;
        if (item.Data)
            PutI32(item.Data, counter);
    } else if (counter < value) {
        counter = value;
    }
    return counter;
}

// A non-blob value into its slot of the fixed part, encrypted when asked.
void TTomeTableIO::EncodeSlot(TFieldBuffers& FieldBuffers, int Field, uint8_t* slot) {
    TFieldBufferItem& item = FieldBuffers[Field];
    const size_t width = static_cast<size_t>(FieldWidth(Field));
    std::vector<uint8_t> plain(width, 0);
    if (item.Data)
        std::memcpy(plain.data(), item.Data, std::min(width, static_cast<size_t>(item.DataSize)));
    Io_.EncodeBuffer(plain.data(), slot, FieldEncrypted(Field), width);
}

// Writes a blob's stored bytes; with CRC32 set, reads them back, decodes them
// and compares checksums, trying again a bounded number of times.
void TTomeTableIO::WriteBlobVerified(int Field, int64_t Position, const std::string& Plain, std::string& Stored) {
    if (!Io_.AlgoBlock().CRC32() || Stored.empty()) {
        if (!Stored.empty())
            Io_.WriteAt(Position, Stored.data(), Stored.size());
        return;
    }
    const uint32_t expected = THash_CRC32::Calc(Plain);
    std::string back, decoded;
    for (int attempt = 0; attempt < kVerifiedWriteAttempts; ++attempt) {
        if (attempt > 0)
            Io_.EncodeStream(Plain, Stored, FieldCompressed(Field), FieldEncrypted(Field));
        Io_.WriteAt(Position, Stored.data(), Stored.size());
        back.resize(Stored.size());
        Io_.ReadExact(Position, back.data(), back.size());
        try {
            Io_.DecodeStream(back, decoded, FieldCompressed(Field), FieldEncrypted(Field));
        } catch (const EDatabaseError&) {
            continue;  // undecodable read-back counts as a mismatch
        }
        if (THash_CRC32::Calc(decoded) == expected)
            return;
    }
    throw EDatabaseError(FormatMessage("Blob value of field '%s' could not be verified after %d writes to file '%s'",
                                       FieldDefs_.At(Field).Name.c_str(), kVerifiedWriteAttempts,
                                       Io_.FileName().c_str()));
}

// ---- append -------------------------------------------------------------------------

// Runs one write step under the file lock; a step that fails half-way leaves
// the in-memory view stale, so the next write reloads it first.
template <class Step>
void TTomeTableIO::RunWrite(bool FlushAfter, Step step) {
    if (!Active())
        throw EDatabaseError("Cannot perform this operation on a closed dataset");
    TTomeFileLock lock(Io_);
    SyncBeforeWrite();
    const bool durable = FlushAfter || Io_.DurableWrites();
    OrderWrites_ = durable;
    // A batch's write may touch bytes the table's commit slot covers (an index
    // item of the record it vouches for): the slot's RecordTotal goes first.
    if (Io_.InBatch() && Io_.CommitSlotAwaitsSync(TableNo_))
        Io_.Flush();
    Acknowledged_ = false;
    try {
        step();
    } catch (...) {
        Stale_ = true;
        throw;
    }
    if (durable && !Io_.InBatch() && !Acknowledged_)
        Io_.Flush();
}

// The header as this table last wrote it, but for a RecordTotal that a batch
// has not written yet.
// The commit slots are the file layer's and are not compared.
bool TTomeTableIO::HeaderAsOnDisk(const TTableHeader& Disk) const {
    TTableHeader mine = Header_;
    if (CommitPending_)
        mine.SetRecordTotal(DiskRecordTotal_);
    std::copy_n(Disk.Bytes.begin() + kTHCommitSlots, kCommitSlotSize * kCommitSlotCount,
                mine.Bytes.begin() + kTHCommitSlots);
    return Disk.Bytes == mine.Bytes;
}

void TTomeTableIO::CommitBatch() {
    if (!CommitPending_ || TableNo_ < 0)
        return;
    Io_.WriteCount(HeaderPos() + kTHRecordTotal, DiskRecordTotal_, Header_.RecordTotal());
    CommitPending_ = false;
}

// One record appended: committed as a durable append is, through a commit
// slot and one sync, its RecordTotal left to the next sync. More records: the
// count between two barriers, as at the end of a batch.
void TTomeTableIO::CommitBatchDurably() {
    if (!CommitPending_ || TableNo_ < 0)
        return;
    const int32_t n = DiskRecordTotal_;
    if (Header_.RecordTotal() != n + 1) {
        Io_.Barrier();
        CommitBatch();
        Io_.Barrier();
        return;
    }
    TTomeDBFileIO::TCommitPlaces places;
    places.RecTabItem = RecordTabItemPos(n);
    for (int k = 0; k < IndexDefs_.Count(); ++k)
        places.IndexItems.push_back(IndexTabItemPos(k, n));
    Io_.CommitAppend(TableNo_, Header_, n + 1, places);
    CommitBatch();
}

void TTomeTableIO::AppendRecord(TFieldBuffers& FieldBuffers, bool FlushAfter, const TOnIndexInsert& OnIndexInsert,
                                void* Table) {
    try {
        RunWrite(FlushAfter, [&] { AppendLocked(FieldBuffers, OnIndexInsert, Table); });
    } catch (...) {
        PreEncodedBlobs_.clear();
        throw;
    }
    PreEncodedBlobs_.clear();
}

void TTomeTableIO::ModifyRecord(TFieldBuffers& FieldBuffers, int NaturalPos, const TOnIndexMove& OnIndexMove,
                                void* Table, bool FlushAfter) {
    RunWrite(FlushAfter, [&] { ModifyLocked(FieldBuffers, NaturalPos, OnIndexMove, Table); });
}

void TTomeTableIO::DeleteRecord(int NaturalPos, bool FlushAfter) {
    RunWrite(FlushAfter, [&] { DeleteLocked(NaturalPos); });
}

void TTomeTableIO::AppendLocked(TFieldBuffers& FieldBuffers, const TOnIndexInsert& OnIndexInsert, void* Table) {
    CheckBuffers(FieldBuffers);
    NormalizeStrings(FieldBuffers);
    CheckUnique(FieldBuffers);
    // A durable append touches nothing a commit slot covers before its sync.
    if (!OrderWrites_)
        Io_.SyncCommitTail();
    const int32_t counter = AssignAutoInc(FieldBuffers);
    const int32_t n = Header_.RecordTotal();
    const bool newChunk = n % kChunkItems == 0;
    const int64_t end = Io_.AppendPosition(OrderWrites_);
    const int64_t dataOffset = end + (newChunk ? kRecordTabChunkSize : 0);

    // The fixed part and the blob areas, laid out as they will lie in the image.
    std::vector<uint8_t> region(static_cast<size_t>(dataOffset - end + RecordSize_), 0);
    std::vector<TBlobPlan> blobs;
    const int64_t fixedAt = dataOffset - end;
    for (int i = 0; i < FieldDefs_.Count(); ++i) {
        TFieldBufferItem& item = FieldBuffers[i];
        if (!item.Active && i != AutoIncField_)
            continue;
        uint8_t* slot = &region[static_cast<size_t>(fixedAt + FieldOffsets_[static_cast<size_t>(i)])];
        if (!IsBlobType(FieldDefs_.At(i).FieldType)) {
            if (i == AutoIncField_ && !item.Data) {  // no value in the buffer: the number handed out
                uint8_t value[4];
                PutI32(value, counter);
                Io_.EncodeBuffer(value, slot, FieldEncrypted(i), sizeof value);
            } else {
                EncodeSlot(FieldBuffers, i, slot);
            }
            continue;
        }
        TBlobPlan plan;
        plan.Field = i;
        const auto preEncoded = PreEncodedBlobs_.find(i);
        if (preEncoded != PreEncodedBlobs_.end()) {
            plan.Stored.swap(preEncoded->second);  // already in stored form (SetPreEncodedBlob)
        } else {
            if (item.Blob)
                plan.Plain = item.Blob->Data();
            Io_.EncodeStream(plan.Plain, plan.Stored, FieldCompressed(i), FieldEncrypted(i));
        }
        const int32_t size = static_cast<int32_t>(plan.Stored.size());
        plan.Position = end + static_cast<int64_t>(region.size());
        PutI32(slot + kBDOffset, static_cast<int32_t>(plan.Position));
        PutI32(slot + kBDSize, size);
        PutI32(slot + kBDAreaSize, BlobAreaSize(size));
        region.insert(region.end(), plan.Stored.begin(), plan.Stored.end());
        region.resize(region.size() + static_cast<size_t>(BlobAreaSize(size) - size), 0);
        blobs.push_back(std::move(plan));
    }

    // Where the record goes in each index, and its chain item.
    const TListElement element{static_cast<int32_t>(dataOffset), n};
    const int indexCount = IndexDefs_.Count();
    std::vector<int> places(static_cast<size_t>(indexCount));
    std::vector<int64_t> newIndexChunks(static_cast<size_t>(indexCount), 0);
    for (int k = 0; k < indexCount; ++k) {
        const TElementList& list = *Lists_[static_cast<size_t>(k) + 1];
        const int d = InsertPosition(FieldBuffers, k);
        places[static_cast<size_t>(k)] = d;
        int32_t next = -1;
        if (d > 0)
            next = ReadNext(k, list[static_cast<size_t>(d) - 1].RecIndex);
        else if (n > 0)
            next = Header_.StartIndex(k);
        if (newChunk) {
            newIndexChunks[static_cast<size_t>(k)] = end + static_cast<int64_t>(region.size());
            const size_t at = region.size();
            region.resize(at + kIndexTabChunkSize, 0);
            PutI32(&region[at + 4], n);
            PutI32(&region[at + 8], next);
        }
        if (!newChunk)
            WriteIndexItem(k, n, next);
    }
    if (end + static_cast<int64_t>(region.size()) > kMaxImageSize)
        throw EDatabaseError(FormatMessage("Database file '%s' is full", Io_.FileName().c_str()));
    if (newChunk) {
        PutI32(&region[4], static_cast<int32_t>(dataOffset));
        region[8] = 0;
    }
    Io_.ClaimAppended(end, static_cast<int64_t>(region.size()), OrderWrites_);
    Io_.WriteAt(end, region.data(), region.size());
    for (TBlobPlan& plan : blobs) {
        if (Io_.AlgoBlock().CRC32())
            WriteBlobVerified(plan.Field, plan.Position, plan.Plain, plan.Stored);
    }

    // Links to the new chunks and the record tab item (unreachable until commit).
    if (newChunk) {
        if (n > 0) {
            uint8_t link[4];
            PutI32(link, static_cast<int32_t>(end));
            Io_.WriteAt(RecTabChunks_.back() + kChunkNextOffset, link, 4);
        }
        RecTabChunks_.push_back(static_cast<int32_t>(end));
        for (int k = 0; k < indexCount; ++k) {
            const int32_t chunk = static_cast<int32_t>(newIndexChunks[static_cast<size_t>(k)]);
            uint8_t link[4];
            PutI32(link, chunk);
            if (n > 0)
                Io_.WriteAt(IndexTabChunks_[static_cast<size_t>(k)].back() + kChunkNextOffset, link, 4);
            else
                Io_.WriteAt(HeaderPos() + kTHIndexHeaders + kIndexHeaderSize * k + kIHIndexTabOffset, link, 4);
            if (n == 0)
                Header_.SetIndexTabOffset(k, chunk);
            IndexTabChunks_[static_cast<size_t>(k)].push_back(chunk);
        }
    } else {
        uint8_t item[kRecordTabItemSize] = {};
        PutI32(item, static_cast<int32_t>(dataOffset));
        Io_.WriteAt(RecordTabItemPos(n), item, sizeof item);
    }

    // Commit: the counter first (a number skipped by a crash is harmless, a
    // number handed out twice is not) and RecTabOffset (unread while
    // RecordTotal is 0), then RecordTotal once all it points to is on disk.
    if (AutoIncField_ >= 0 && counter != GetI32(&Header_.Bytes[kTHAutoIncCounter])) {
        Header_.SetAutoIncCounter(counter);
        Io_.WriteAt(HeaderPos() + kTHAutoIncCounter, &Header_.Bytes[kTHAutoIncCounter], 4);
    }
    if (n == 0) {
        Header_.SetRecTabOffset(static_cast<int32_t>(end));
        Io_.WriteAt(HeaderPos() + kTHRecTabOffset, &Header_.Bytes[kTHRecTabOffset], 4);
    }
    if (Io_.InBatch()) {
        if (!CommitPending_)
            DiskRecordTotal_ = n;
        CommitPending_ = true;
        Header_.SetRecordTotal(n + 1);
    } else {
        if (OrderWrites_) {
            TTomeDBFileIO::TCommitPlaces places;
            places.RecTabItem = RecordTabItemPos(n);
            for (int k = 0; k < indexCount; ++k)
                places.IndexItems.push_back(IndexTabItemPos(k, n));
            Io_.CommitAppend(TableNo_, Header_, n + 1, places);
            Acknowledged_ = true;
        }
        Header_.SetRecordTotal(n + 1);
        Io_.WriteCount(HeaderPos() + kTHRecordTotal, n, n + 1);
    }
    RecordTab_.push_back({static_cast<int32_t>(dataOffset), 0});
    Lists_[0]->push_back(element);

    // Chains.
    if (OnIndexInsert)
        OnIndexInsert(Table, -1, -1, element);
    for (int k = 0; k < indexCount; ++k) {
        TElementList& list = *Lists_[static_cast<size_t>(k) + 1];
        const int d = places[static_cast<size_t>(k)];
        if (OnIndexInsert)
            OnIndexInsert(Table, k, d, element);
        if (d > 0)
            WriteNext(k, list[static_cast<size_t>(d) - 1].RecIndex, n);
        else if (n > 0)
            WriteStartIndex(k, n);
        list.insert(list.begin() + d, element);
    }
}

// ---- chain items ------------------------------------------------------------------------

int32_t TTomeTableIO::ReadNext(int IndexNo, int32_t RecIndex) {
    uint8_t bytes[4];
    Io_.ReadExact(IndexTabItemPos(IndexNo, RecIndex) + 4, bytes, 4);
    return GetI32(bytes);
}

void TTomeTableIO::WriteNext(int IndexNo, int32_t RecIndex, int32_t Next) {
    uint8_t bytes[4];
    PutI32(bytes, Next);
    Io_.WriteAt(IndexTabItemPos(IndexNo, RecIndex) + 4, bytes, 4);
}

void TTomeTableIO::WriteIndexItem(int IndexNo, int32_t RecIndex, int32_t Next) {
    uint8_t bytes[8];
    PutI32(bytes, RecIndex);
    PutI32(bytes + 4, Next);
    Io_.WriteAt(IndexTabItemPos(IndexNo, RecIndex), bytes, 8);
}

void TTomeTableIO::WriteStartIndex(int IndexNo, int32_t Value) {
    Header_.SetStartIndex(IndexNo, Value);
    Io_.WriteAt(HeaderPos() + kTHIndexHeaders + kIndexHeaderSize * IndexNo + kIHStartIndex,
                Header_.Index(IndexNo) + kIHStartIndex, 4);
}

// Links record recIndex into index k's chain where position `position` of
// `list` says (the record is not in the list yet).
// A link to a record number beyond the records (left by an interrupted
// write) is not passed on: that number may later be given to a new record.
void TTomeTableIO::LinkAfter(int IndexNo, const TElementList& list, int position, int32_t recIndex) {
    const auto bounded = [this](int32_t next) { return next >= 0 && next < Header_.RecordTotal() ? next : -1; };
    if (position > 0) {
        const int32_t p = list[static_cast<size_t>(position) - 1].RecIndex;
        WriteIndexItem(IndexNo, recIndex, bounded(ReadNext(IndexNo, p)));
        WriteNext(IndexNo, p, recIndex);
    } else {
        WriteIndexItem(IndexNo, recIndex, bounded(Header_.StartIndex(IndexNo)));
        WriteStartIndex(IndexNo, recIndex);
    }
}

// ---- delete ----------------------------------------------------------------------------

void TTomeTableIO::DeleteLocked(int NaturalPos) {
    TElementList& natural = *Lists_[0];
    if (NaturalPos < 0 || NaturalPos >= static_cast<int>(natural.size()))
        RaiseRecordNotFound();
    const int32_t r = natural[static_cast<size_t>(NaturalPos)].RecIndex;
    Io_.SyncCommitTail();
    uint8_t item[kRecordTabItemSize];
    Io_.ReadExact(RecordTabItemPos(r), item, sizeof item);
    item[4] = 1;
    if (OrderWrites_)
        Io_.Barrier();  // what earlier writes left unsynced goes first
    Io_.WriteAt(RecordTabItemPos(r), item, sizeof item);
    RecordTab_[static_cast<size_t>(r)].DeleteFlag = 1;
    std::vector<int> positions;
    for (size_t k = 1; k < Lists_.size(); ++k)
        positions.push_back(MapPosition(natural, NaturalPos, *Lists_[k]));
    for (size_t k = 1; k < Lists_.size(); ++k)
        if (positions[k - 1] >= 0)
            Lists_[k]->erase(Lists_[k]->begin() + positions[k - 1]);
    natural.erase(natural.begin() + NaturalPos);
}

}  // namespace tomedb
