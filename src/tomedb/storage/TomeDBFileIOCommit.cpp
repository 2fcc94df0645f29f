// One-sync durable appends: the commit slots in a table header's reserved
// bytes (layout and reasoning in TomeFormat.h). Written here; rolled forward
// after a cut by SettleInterruptedAppends (TomeDBFileIOSettle.cpp).
//
// A write batch may commit an append the same way before it goes on
// (CommitBatchAppends: a save keeps the text it replaces before it writes
// the new one). The batch's later writes skip their barriers as batch writes
// do, which keeps the slot true: writes to other tables touch no byte it
// covers, and a write to its own table syncs first (TTomeTableIO::RunWrite).
#include <algorithm>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/dataproc/Crc32.h"
#include "tomedb/storage/TomeDBFileIO.h"

namespace tomedb {

using namespace format;

namespace {

constexpr size_t kChecksumPiece = 64 * 1024;

int64_t SlotPosition(int64_t headerAt, int32_t newTotal) {
    return headerAt + kTHCommitSlots + static_cast<int64_t>(kCommitSlotSize) * (newTotal % kCommitSlotCount);
}

bool Holds(const std::vector<int64_t>& slots, int64_t at) {
    return std::find(slots.begin(), slots.end(), at) != slots.end();
}

void Forget(std::vector<int64_t>& slots, int64_t at) {
    slots.erase(std::remove(slots.begin(), slots.end(), at), slots.end());
}

}  // namespace

// Over NewTotal and every stored byte the append made live. Raises
// "damaged" when the record cannot be read whole.
uint32_t TTomeDBFileIO::CommitChecksum(const TTableHeader& Header, int32_t NewTotal, const TCommitPlaces& Places) {
    THash_CRC32 crc;
    crc.Init();
    uint8_t total[4];
    PutI32(total, NewTotal);
    crc.Update(total, sizeof total);
    uint8_t item[kRecordTabItemSize];
    ReadExact(Places.RecTabItem, item, sizeof item);
    crc.Update(item, sizeof item);
    int32_t recordSize = 0;
    std::vector<int32_t> blobAt;
    for (int f = 0; f < Header.FieldCount(); ++f) {
        if (IsBlobType(Header.FieldType(f)))
            blobAt.push_back(recordSize);
        recordSize += StoredFieldWidth(Header.FieldType(f), Header.FieldDataSize(f));
    }
    const int32_t data = GetI32(item);
    if (data < kFixedAreaSize || recordSize <= 0)
        RaiseDamaged();
    std::vector<uint8_t> bytes(static_cast<size_t>(recordSize));
    ReadExact(data, bytes.data(), bytes.size());
    crc.Update(bytes.data(), bytes.size());
    const int64_t size = ImageSize();
    std::vector<uint8_t> piece;
    for (int32_t at : blobAt) {
        const int64_t offset = GetI32(&bytes[static_cast<size_t>(at + kBDOffset)]);
        const int64_t stored = GetI32(&bytes[static_cast<size_t>(at + kBDSize)]);
        if (stored == 0)
            continue;
        if (stored < 0 || offset < kFixedAreaSize || offset + stored > size)
            RaiseDamaged();
        for (int64_t done = 0; done < stored;) {
            piece.resize(static_cast<size_t>(std::min<int64_t>(stored - done, kChecksumPiece)));
            ReadExact(offset + done, piece.data(), piece.size());
            crc.Update(piece.data(), piece.size());
            done += static_cast<int64_t>(piece.size());
        }
    }
    for (int64_t at : Places.IndexItems) {
        uint8_t indexItem[kIndexTabItemSize];
        ReadExact(at, indexItem, sizeof indexItem);
        crc.Update(indexItem, sizeof indexItem);
    }
    return crc.Final();
}

void TTomeDBFileIO::CommitAppend(int TableNo, const TTableHeader& Header, int32_t NewTotal,
                                 const TCommitPlaces& Places) {
    const int64_t slot = SlotPosition(TableHeaderOffset(TableNo), NewTotal);
    // A slot that still vouches for an unsynced RecordTotal is never overwritten.
    if (Holds(SlotsAwaitingSync_, slot))
        Barrier();
    uint8_t bytes[kCommitSlotSize];
    PutI32(bytes + kCSNewTotal, NewTotal);
    PutI32(bytes + kCSChecksum, static_cast<int32_t>(CommitChecksum(Header, NewTotal, Places)));
    Forget(SlotsToClear_, slot);
    WriteAt(slot, bytes, sizeof bytes);
    Flush();
    ClearSettledSlots();
    SlotsAwaitingSync_.push_back(slot);
}

void TTomeDBFileIO::CommitBatchAppends() {
    if (!IsOpen() || BatchDepth_ != 1)
        return;
    // Barriers are skipped inside a batch; here they must take effect.
    BatchDepth_ = 0;
    try {
        const std::vector<TTomeWriteObserver*> observers = WriteObservers_;
        for (TTomeWriteObserver* observer : observers)
            observer->CommitBatchDurably();
    } catch (...) {
        BatchDepth_ = 1;
        throw;
    }
    BatchDepth_ = 1;
}

bool TTomeDBFileIO::CommitSlotAwaitsSync(int TableNo) const {
    const int64_t first = TableHeaderOffset(TableNo) + kTHCommitSlots;
    return std::any_of(SlotsAwaitingSync_.begin(), SlotsAwaitingSync_.end(),
                       [&](int64_t at) { return at >= first && at < first + kCommitSlotSize * kCommitSlotCount; });
}

void TTomeDBFileIO::SyncCommitTail() {
    if (SlotsAwaitingSync_.empty())
        return;
    Barrier();
    ClearSettledSlots();
}

// A sync reached the medium: every slot's RecordTotal written before it is
// durable, so the slots may be zeroed.
void TTomeDBFileIO::MediumSynced() {
    ForeignUnsynced_ = false;
    SlotsToClear_.insert(SlotsToClear_.end(), SlotsAwaitingSync_.begin(), SlotsAwaitingSync_.end());
    SlotsAwaitingSync_.clear();
}

// Unsynced: a slot whose zeros a cut loses is stale and harmless.
void TTomeDBFileIO::ClearSettledSlots() {
    if (SlotsToClear_.empty() || ReadOnly_ || FileReadOnly_)
        return;
    std::vector<int64_t> slots;
    slots.swap(SlotsToClear_);
    const uint8_t zero[kCommitSlotSize] = {};
    for (int64_t at : slots)
        WriteAt(at, zero, sizeof zero);
}

// Closing syncs what the last one-sync appends left and zeroes their slots,
// so that a file at rest has zero reserved bytes. A failure here loses
// nothing: the slots stay and the next open rolls forward what they vouch for.
void TTomeDBFileIO::CloseCommitSlots() {
    try {
        SettleCommitSlots();
    } catch (const EDatabaseError&) {
    }
    SlotsAwaitingSync_.clear();
    SlotsToClear_.clear();
}

void TTomeDBFileIO::SettleCommitSlots() {
    CutTail();  // a copy taken now ends where the file will once closed
    if (SlotsAwaitingSync_.empty() && SlotsToClear_.empty())
        return;
    if (ReadOnly_ || FileReadOnly_)
        return;
    TTomeFileLock lock(*this);
    Flush();
    ClearSettledSlots();
    Flush();
}

// Whether a commit slot of any table is in use in the file as it is now. A
// writer zeroes its slot only after a sync made the RecordTotal it vouches for
// durable, so with every slot zero no other writer has left a one-sync
// append's tail unsynced, and a write needs no sync before it (qdb --no-sync
// stays free of syncs). Anything unreadable counts as in use: the sync is safe.
bool TTomeDBFileIO::AnyCommitSlotInUse() {
    try {
        TTableDirectory directory;
        ReadExact(kTableDirectoryOffset, directory.Bytes.data(), directory.Bytes.size());
        const int32_t count = directory.TableCount();
        if (count < 0 || count > kMaxTables)
            return true;
        for (int i = 0; i < count; ++i) {
            uint8_t slots[kCommitSlotSize * kCommitSlotCount];
            ReadExact(directory.Offset(i) + kTHCommitSlots, slots, sizeof slots);
            if (std::any_of(std::begin(slots), std::end(slots), [](uint8_t b) { return b != 0; }))
                return true;
        }
        return false;
    } catch (const EDatabaseError&) {
        return true;
    }
}

}  // namespace tomedb
