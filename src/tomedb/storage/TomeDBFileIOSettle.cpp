// Recovery of what an interrupted write left in a table: run by the file
// layer once per open, inside the first lock period, before anything else is
// written.
#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "tomedb/TomeError.h"
#include "tomedb/storage/TomeDBFileIO.h"

namespace tomedb {

using namespace format;

// A one-sync append whose RecordTotal a cut lost is rolled forward first
// (RollForward). A power cut may also have kept the record tab item and the
// record count of an append that was not durable but lost its data (written
// without a barrier in between): the record then points beyond the end of the
// image, where the next append would land under it. Such records are always
// the last ones of their table; their append is undone by setting the count
// back, and that reaches the disk before anything else is written. A table
// that cannot be read is left for its readers to report.
// Index chains that still pass through records beyond the count are mended
// later, table by table, when table storage first walks them (SettleChain):
// every write to a table walks all of its chains first, so no append can
// take such a number before its chain is mended, and an open reads only the
// chains it needs.
// Runs once per open, inside the first lock period, before anything is
// written. Failures are left to the operations that meet them.
void TTomeDBFileIO::SettleInterruptedAppends() {
    std::vector<int> tables;
    for (int i = 0; i < Directory_.TableCount(); ++i)
        tables.push_back(i);
    SettleTables(tables);
}

void TTomeDBFileIO::SettleTables(const std::vector<int>& Tables, bool KeepChunks) {
    if (ReadOnly_ || FileReadOnly_ || Tables.empty())
        return;
    // The settling's own writes (record counts, slots) wait for no other table.
    const bool outer = Settling_;
    Settling_ = true;
    bool settled = false;
    for (int i : Tables) {
        try {
            settled = SettleTable(i, KeepChunks) || settled;
        } catch (const EDatabaseError&) {
        }
    }
    try {
        if (settled)
            Barrier();
        ClearSettledSlots();
    } catch (const EDatabaseError&) {
    }
    Settling_ = outer;
}

// With SettleOnUse_: a table is settled when it is first loaded...
void TTomeDBFileIO::SettleBeforeUse(int TableNo) {
    if (TableNo < 0 || static_cast<size_t>(TableNo) >= Unsettled_.size() || !Unsettled_[static_cast<size_t>(TableNo)])
        return;
    Unsettled_[static_cast<size_t>(TableNo)] = false;
    if (std::find(Unsettled_.begin(), Unsettled_.end(), true) == Unsettled_.end())
        Unsettled_.clear();
    // The table's loading reads the same record tab chunks next.
    SettleTables({TableNo}, true);
}

void TTomeDBFileIO::ReadRecordTabChunk(int32_t Offset, uint8_t* Out) {
    const auto kept = RecTabMemo_.find(Offset);
    if (kept != RecTabMemo_.end() && RecTabMemoEpoch_ == CacheEpoch_) {
        std::memcpy(Out, kept->second.data(), kRecordTabChunkSize);
        return;
    }
    ReadExact(Offset, Out, kRecordTabChunkSize);
}

// ...and every other one before anything is written: an append must not land
// under a record a cut lost in another table. A write outside a lock period
// takes the lock for the settling.
void TTomeDBFileIO::SettleRemainingTables() {
    std::vector<int> tables;
    for (size_t i = 0; i < Unsettled_.size(); ++i)
        if (Unsettled_[i])
            tables.push_back(static_cast<int>(i));
    Unsettled_.clear();
    TTomeFileLock lock(*this);
    SettleTables(tables);
}

// KeepChunks: the record tab chunks are read whole and kept for the table's
// loading (ReadRecordTabChunk) instead of only their links being read.
bool TTomeDBFileIO::SettleTable(int TableNo, bool KeepChunks) {
    TTableHeader header;
    ReadTableHeader(TableNo, header);
    const int64_t size = ImageSize();
    const int32_t found = header.RecordTotal();
    if (found < 0 || !header.CheckSane(size))
        return false;
    const int32_t total = RollForward(TableNo, header, found);
    int32_t recordSize = 0;
    std::vector<int32_t> blobAt;
    for (int f = 0; f < header.FieldCount(); ++f) {
        if (IsBlobType(header.FieldType(f)))
            blobAt.push_back(recordSize);
        recordSize += StoredFieldWidth(header.FieldType(f), header.FieldDataSize(f));
    }
    // Offsets of the record tab chunks that lie inside the image.
    std::vector<int32_t> chunks;
    RecTabMemo_.clear();
    RecTabMemoEpoch_ = CacheEpoch_;
    int32_t offset = header.RecTabOffset();
    for (int32_t done = 0; done < total; done += kChunkItems) {
        if (offset < kFixedAreaSize || offset > size - kRecordTabChunkSize)
            break;
        chunks.push_back(offset);
        if (KeepChunks) {
            std::vector<uint8_t>& bytes = RecTabMemo_[offset];
            bytes.resize(kRecordTabChunkSize);
            ReadExact(offset, bytes.data(), bytes.size());
            offset = GetI32(bytes.data() + kChunkNextOffset);
        } else {
            uint8_t link[4];
            ReadExact(offset + kChunkNextOffset, link, 4);
            offset = GetI32(link);
        }
    }
    auto interrupted = [&](int32_t r) {
        const auto chunk = static_cast<size_t>(r / kChunkItems);
        if (chunk >= chunks.size())
            return true;
        uint8_t item[kRecordTabItemSize];
        const int64_t within = 4 + static_cast<int64_t>(r % kChunkItems) * kRecordTabItemSize;
        const auto kept = RecTabMemo_.find(chunks[chunk]);
        if (kept != RecTabMemo_.end())
            std::memcpy(item, kept->second.data() + within, sizeof item);
        else
            ReadExact(chunks[chunk] + within, item, sizeof item);
        const int32_t data = GetI32(item);
        if (item[4] != 0)
            return false;
        if (data < kFixedAreaSize || static_cast<int64_t>(data) + recordSize > size)
            return true;
        for (int32_t at : blobAt) {
            uint8_t descriptor[kBlobDescriptorSize];
            ReadExact(data + at, descriptor, sizeof descriptor);
            const int64_t areaEnd =
                static_cast<int64_t>(GetI32(descriptor + kBDOffset)) + GetI32(descriptor + kBDAreaSize);
            if (GetI32(descriptor + kBDSize) > 0 && areaEnd > size)
                return true;
        }
        return false;
    };
    int32_t kept = total;
    while (kept > 0 && interrupted(kept - 1))
        --kept;
    if (kept == total)
        return total != found;
    WriteCount(TableHeaderOffset(TableNo) + kTHRecordTotal, total, kept);
    return true;
}

// Sets RecordTotal forward while a commit slot continues it (NewTotal is one
// more) and vouches for a record that is whole on disk; returns the count
// that holds. Every slot in use is zeroed after the next sync.
int32_t TTomeDBFileIO::RollForward(int TableNo, const TTableHeader& Header, int32_t Total) {
    const int32_t found = Total;
    const int64_t slots = TableHeaderOffset(TableNo) + kTHCommitSlots;
    for (int s = 0; s < kCommitSlotCount; ++s) {
        const uint8_t* slot = Header.Bytes.data() + kTHCommitSlots + s * kCommitSlotSize;
        const int64_t at = slots + static_cast<int64_t>(s) * kCommitSlotSize;
        if (GetI32(slot + kCSNewTotal) != 0 || GetI32(slot + kCSChecksum) != 0)
            if (std::find(SlotsAwaitingSync_.begin(), SlotsAwaitingSync_.end(), at) == SlotsAwaitingSync_.end())
                SlotsAwaitingSync_.push_back(at);
    }
    for (bool moved = true; moved && Total < INT32_MAX;) {
        moved = false;
        for (int s = 0; s < kCommitSlotCount && !moved; ++s) {
            const uint8_t* slot = Header.Bytes.data() + kTHCommitSlots + s * kCommitSlotSize;
            if (GetI32(slot + kCSNewTotal) != Total + 1)
                continue;
            moved = SlotVouches(Header, Total + 1, static_cast<uint32_t>(GetI32(slot + kCSChecksum)));
            if (moved)
                ++Total;
        }
    }
    if (Total != found)
        WriteCount(TableHeaderOffset(TableNo) + kTHRecordTotal, found, Total);
    return Total;
}

// Where record RecIndex's record tab item lies, -1 when the chunk links do
// not reach it inside the image.
int64_t TTomeDBFileIO::RecordTabItemAt(const TTableHeader& Header, int32_t RecIndex) {
    const int64_t size = ImageSize();
    int32_t chunk = Header.RecTabOffset();
    for (int32_t hops = RecIndex / kChunkItems;; --hops) {
        if (chunk < kFixedAreaSize || chunk > size - kRecordTabChunkSize)
            return -1;
        if (hops == 0)
            break;
        uint8_t link[4];
        ReadExact(chunk + kChunkNextOffset, link, 4);
        chunk = GetI32(link);
    }
    return chunk + 4 + static_cast<int64_t>(RecIndex % kChunkItems) * kRecordTabItemSize;
}

// The index tab chunks of one index, read whole as they are needed: the
// chunk of any record number a chain names, as far as the chunk links reach.
class TTomeDBFileIO::TIndexTabReader {
public:
    TIndexTabReader(TTomeDBFileIO& io, int32_t firstChunk) : Io_(io), Size_(io.ImageSize()), Next_(firstChunk) {}

    // Where record r's item lies, or -1 when its chunk cannot be reached.
    int64_t ItemAt(int32_t r) {
        if (r < 0)
            return -1;
        const auto c = static_cast<size_t>(r / kChunkItems);
        const auto reachable = static_cast<size_t>(Size_ / kIndexTabChunkSize) + 1;
        while (Chunks_.size() <= c && Chunks_.size() < reachable) {
            if (Next_ < kFixedAreaSize || Next_ > Size_ - kIndexTabChunkSize)
                return -1;
            Offsets_.push_back(Next_);
            Chunks_.emplace_back(kIndexTabChunkSize);
            Io_.ReadExact(Next_, Chunks_.back().data(), kIndexTabChunkSize);
            Next_ = GetI32(Chunks_.back().data() + kChunkNextOffset);
        }
        if (Chunks_.size() <= c)
            return -1;
        return Offsets_[c] + 4 + static_cast<int64_t>(r % kChunkItems) * kIndexTabItemSize;
    }
    // Record r's link to the next record in the chain.
    bool NextOf(int32_t r, int32_t& next) {
        const int64_t at = ItemAt(r);
        if (at < 0)
            return false;
        const auto c = static_cast<size_t>(r / kChunkItems);
        next = GetI32(Chunks_[c].data() + (at - Offsets_[c]) + 4);
        return true;
    }

private:
    TTomeDBFileIO& Io_;
    int64_t Size_;
    int32_t Next_;
    std::vector<int32_t> Offsets_;
    std::vector<std::vector<uint8_t>> Chunks_;
};

// Whether a slot's checksum matches record NewTotal-1 as it lies on disk.
bool TTomeDBFileIO::SlotVouches(const TTableHeader& Header, int32_t NewTotal, uint32_t Checksum) {
    const int32_t r = NewTotal - 1;
    try {
        TCommitPlaces places;
        places.RecTabItem = RecordTabItemAt(Header, r);
        if (places.RecTabItem < 0)
            return false;
        for (int k = 0; k < Header.IndexCount(); ++k) {
            TIndexTabReader tab(*this, Header.IndexTabOffset(k));
            const int64_t at = tab.ItemAt(r);
            if (at < 0)
                return false;
            places.IndexItems.push_back(at);
        }
        return CommitChecksum(Header, NewTotal, places) == Checksum;
    } catch (const EDatabaseError&) {
        return false;
    }
}

// A batch links its appends into the index chains as it goes and commits
// their record count only at its end; killed before that, it leaves chains
// that pass through record numbers at or beyond the count, numbers the next
// append takes again (and then the chain loops). Each such link is bent past
// the uncommitted records to the first committed one their own links lead
// to: the chain as it was before the batch. A link that leads nowhere
// readable ends the chain there; the records it misses are linked again
// where their keys belong when the table is next opened for writing. An
// empty table's chain starts at record 0, the first append's number.
bool TTomeDBFileIO::SettleChain(int TableNo, const TTableHeader& Header, int IndexNo, int32_t Total) {
    const int64_t startAt =
        TableHeaderOffset(TableNo) + kTHIndexHeaders + static_cast<int64_t>(kIndexHeaderSize) * IndexNo + kIHStartIndex;
    auto writeLink = [this](int64_t at, int32_t value) {
        uint8_t bytes[4];
        PutI32(bytes, value);
        WriteAt(at, bytes, 4);
    };
    if (Total == 0) {
        if (Header.StartIndex(IndexNo) == 0)
            return false;
        writeLink(startAt, 0);
        return true;
    }
    TIndexTabReader tab(*this, Header.IndexTabOffset(IndexNo));
    std::vector<uint8_t> visited(static_cast<size_t>(Total), 0);
    bool wrote = false;
    int64_t link = startAt;
    int32_t r = Header.StartIndex(IndexNo);
    for (;;) {
        if (r >= Total) {
            std::unordered_set<int32_t> passed;
            while (r >= Total && passed.insert(r).second)
                if (!tab.NextOf(r, r))
                    r = -1;
            if (r >= Total || r < -1 || (r >= 0 && visited[static_cast<size_t>(r)]))
                r = -1;
            writeLink(link, r);
            wrote = true;
        }
        if (r < 0 || visited[static_cast<size_t>(r)])
            break;  // the end, or damage left to readers
        visited[static_cast<size_t>(r)] = 1;
        link = tab.ItemAt(r);
        if (link < 0)
            break;
        link += 4;
        if (!tab.NextOf(r, r))
            break;
    }
    return wrote;
}

}  // namespace tomedb
