// Loading, lists, reading and key searches of table storage. Appends,
// modifications and deletions are in TomeTableIOWrite.cpp.
#include "tomedb/storage/TomeTableIO.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "tomedb/TomeError.h"
#include "tomedb/filter/ValueCompare.h"

namespace tomedb {

using namespace format;

namespace {

// Index fields whose keys compare as plain 64-bit integers.
bool IsWholeNumber(TFieldType type) {
    return type == ftSmallint || type == ftWord || type == ftInteger || type == ftAutoInc || type == ftLargeint;
}

}  // namespace

TTomeTableIO::TTomeTableIO(TTomeDBFileIO& FileIO, const std::string& TableName) : Io_(FileIO), TableName_(TableName) {
    Io_.AddWriteObserver(this);
}

TTomeTableIO::~TTomeTableIO() {
    if (!Observing_)
        return;
    try {
        if (CommitPending_ && Io_.IsOpen()) {
            Io_.Flush();
            CommitBatch();
        }
    } catch (const EDatabaseError&) {
        // Not reportable here; the batch's appends are then left uncommitted.
    }
    Io_.RemoveWriteObserver(this);
}

void TTomeTableIO::Open() {
    if (RefCount_ == 0)
        Load();
    ++RefCount_;
}

void TTomeTableIO::Close() {
    if (RefCount_ == 0)
        return;
    if (--RefCount_ == 0)
        Unload();
}

void TTomeTableIO::Refresh() {
    if (!Active())
        return;
    Unload();
    Load();
}

void TTomeTableIO::Unload() {
    if (CommitPending_) {  // a batch is still running: its appends so far stay
        Io_.Flush();
        CommitBatch();
    }
    DropFixedCache();
    FieldDefs_.Clear();
    IndexDefs_.Clear();
    Lists_.clear();
    RecordTab_.clear();
    RecTabChunks_.clear();
    IndexTabChunks_.clear();
    FieldOffsets_.clear();
    TableNo_ = -1;
}

void TTomeTableIO::Load() {
    TTomeFileLock lock(Io_);
    Unload();
    std::vector<std::string> names;
    Io_.GetTableNames(names);
    int found = -1;
    for (size_t i = 0; i < names.size() && found < 0; ++i)
        if (SameNameAscii(names[i], TableName_))
            found = static_cast<int>(i);
    if (found < 0)
        throw EDatabaseError(FormatMessage("Table '%s' not found", TableName_.c_str()));
    TableNo_ = found;
    Io_.SettleBeforeUse(TableNo_);
    try {
        Io_.ReadTableHeader(TableNo_, Header_);
        if (!Header_.CheckSane(Io_.ImageSize()))
            Io_.RaiseDamaged();
        ReadDefinitions();
        ReadRecordTab();
        Io_.DropRecordTabMemo();
        BuildNaturalList();
        // Index lists are built when first asked for (see BuildMissingList).
    } catch (...) {
        Unload();
        throw;
    }
}

void TTomeTableIO::ReadDefinitions() {
    RecordSize_ = 0;
    AutoIncField_ = -1;
    for (int i = 0; i < Header_.FieldCount(); ++i) {
        TTomeFieldDef& def = FieldDefs_.Add(Header_.FieldName(i));
        def.FieldType = Header_.FieldType(i);
        def.DataSize = Header_.FieldDataSize(i);
        def.DPMode = Header_.FieldDPMode(i);
        FieldOffsets_.push_back(RecordSize_);
        RecordSize_ += FieldWidth(i);
        if (def.FieldType == ftAutoInc && AutoIncField_ < 0)
            AutoIncField_ = i;
    }
    for (int k = 0; k < Header_.IndexCount(); ++k) {
        TTomeIndexDef& def = IndexDefs_.Add(Header_.IndexName(k));
        def.Options = Header_.IndexOptions(k);
        for (int j = 0; j < Header_.IndexFieldCount(k); ++j)
            def.FieldIdxes.push_back(Header_.IndexField(k, j));
    }
}

int32_t TTomeTableIO::FieldWidth(int Field) const {
    const TTomeFieldDef& def = FieldDefs_.At(Field);
    return StoredFieldWidth(def.FieldType, def.DataSize);
}

// Chunks of the record tab, ceil(RecordTotal / 1024) of them, each checked
// against the image before it is read.
void TTomeTableIO::ReadRecordTab() {
    const int32_t total = Header_.RecordTotal();
    RecordTab_.clear();
    RecTabChunks_.clear();
    RecordTab_.reserve(static_cast<size_t>(total));
    const int64_t size = Io_.ImageSize();
    std::vector<uint8_t> chunk(kRecordTabChunkSize);
    int32_t offset = Header_.RecTabOffset();
    for (int32_t done = 0; done < total;) {
        if (offset < kFixedAreaSize || offset > size - kRecordTabChunkSize)
            Io_.RaiseDamaged();
        Io_.ReadRecordTabChunk(offset, chunk.data());
        RecTabChunks_.push_back(offset);
        const int32_t items = std::min<int32_t>(kChunkItems, total - done);
        for (int32_t i = 0; i < items; ++i) {
            const uint8_t* p = &chunk[4 + i * kRecordTabItemSize];
            RecordTab_.push_back({GetI32(p), p[4]});
        }
        done += items;
        offset = GetI32(&chunk[kChunkNextOffset]);
    }
}

bool TTomeTableIO::RecordUsable(const TRecordTabItem& item, int64_t imageSize) const {
    return item.DeleteFlag == 0 && item.DataOffset >= kFixedAreaSize &&
           static_cast<int64_t>(item.DataOffset) + RecordSize_ <= imageSize;
}

void TTomeTableIO::BuildNaturalList() {
    Lists_.resize(static_cast<size_t>(IndexDefs_.Count()) + 1);
    // Opening a table runs this over every record: written out plainly so the
    // loop keeps its bounds in registers.
    auto list = std::make_unique<TElementList>(RecordTab_.size());
    const int64_t lastStart = Io_.ImageSize() - RecordSize_;
    const TRecordTabItem* items = RecordTab_.data();
    TListElement* out = list->data();
    size_t used = 0;
    for (size_t k = 0; k < RecordTab_.size(); ++k) {
        const TRecordTabItem item = items[k];
        if (item.DeleteFlag == 0 && item.DataOffset >= kFixedAreaSize && item.DataOffset <= lastStart)
            out[used++] = {item.DataOffset, static_cast<int32_t>(k)};
    }
    list->resize(used);
    Lists_[0] = std::move(list);
}

bool TTomeTableIO::ChainIsRecordOrder(const std::vector<int32_t>& next, int32_t start) {
    const auto total = static_cast<int32_t>(next.size());
    if (total == 0 || start != 0 || next[static_cast<size_t>(total - 1)] != -1)
        return false;
    for (int32_t k = 0; k + 1 < total; ++k)
        if (next[static_cast<size_t>(k)] != k + 1)
            return false;
    return true;
}

// Walks index k's chain from StartIndex (at most RecordTotal steps, each record
// once), then links again any live record the chain does not reach. A chain
// that leads beyond the table is mended first when the image is writable.
void TTomeTableIO::BuildIndexList(int IndexNo, bool MayMend) {
    const int32_t total = Header_.RecordTotal();
    auto list = std::make_unique<TElementList>();
    IndexTabChunks_.resize(static_cast<size_t>(IndexDefs_.Count()));
    TIntegerAry& chunks = IndexTabChunks_[static_cast<size_t>(IndexNo)];
    chunks.clear();
    std::vector<int32_t> next(static_cast<size_t>(total), -1);
    const int64_t size = Io_.ImageSize();
    std::vector<uint8_t> chunk(kIndexTabChunkSize);
    int32_t offset = Header_.IndexTabOffset(IndexNo);
    for (int32_t done = 0; done < total;) {
        if (offset < kFixedAreaSize || offset > size - kIndexTabChunkSize)
            Io_.RaiseDamaged();
        Io_.ReadExact(offset, chunk.data(), chunk.size());
        chunks.push_back(offset);
        const int32_t items = std::min<int32_t>(kChunkItems, total - done);
        for (int32_t i = 0; i < items; ++i)
            next[static_cast<size_t>(done + i)] = GetI32(&chunk[8 + i * kIndexTabItemSize]);
        done += items;
        offset = GetI32(&chunk[kChunkNextOffset]);
    }
    // Records appended in key order (auto-increment keys) chain 0, 1, 2, ...:
    // the chain then visits exactly what the natural list holds, in its order.
    if (ChainIsRecordOrder(next, Header_.StartIndex(IndexNo))) {
        *list = *Lists_[0];
        Lists_[static_cast<size_t>(IndexNo) + 1] = std::move(list);
        return;
    }
    // The walk marks each record it passes (next = kPassed), which stops it at
    // a chain that loops back.
    constexpr int32_t kPassed = -2;
    list->resize(Lists_[0]->size());
    TListElement* out = list->data();
    size_t used = 0;
    const int64_t lastStart = size - RecordSize_;
    const TRecordTabItem* items = RecordTab_.data();
    int32_t* links = next.data();
    int32_t r = total > 0 ? Header_.StartIndex(IndexNo) : -1;
    while (r >= 0 && r < total && links[r] != kPassed) {
        const int32_t following = links[r];
        links[r] = kPassed;
        const TRecordTabItem item = items[r];
        if (item.DeleteFlag == 0 && item.DataOffset >= kFixedAreaSize && item.DataOffset <= lastStart &&
            used < list->size())
            out[used++] = {item.DataOffset, r};
        r = following;
    }
    const bool leavesTable = total > 0 ? r >= total : Header_.StartIndex(IndexNo) != 0;
    if (leavesTable && MayMend && MendChain(IndexNo)) {
        BuildIndexList(IndexNo, false);
        return;
    }
    list->resize(used);
    if (list->size() < Lists_[0]->size()) {
        std::vector<uint8_t> visited(static_cast<size_t>(total), 0);
        for (int32_t k = 0; k < total; ++k)
            visited[static_cast<size_t>(k)] = links[k] == kPassed;
        RelinkMissing(IndexNo, *list, visited);
    }
    Lists_[static_cast<size_t>(IndexNo) + 1] = std::move(list);
}

// A batch cut short leaves chains through the records it did not commit
// (TTomeDBFileIO::SettleChain); they are bent back on disk, before any write
// to the table can take those numbers again. True when the chain changed.
bool TTomeTableIO::MendChain(int IndexNo) {
    if (Io_.ReadOnly() || Io_.FileReadOnly())
        return false;
    TTomeFileLock lock(Io_);
    if (!Io_.SettleChain(TableNo_, Header_, IndexNo, Header_.RecordTotal()))
        return false;
    Io_.Barrier();
    Io_.ReadTableHeader(TableNo_, Header_);
    return true;
}

// A live record that the chain does not reach (an interrupted write, a damaged
// chain) is put back where its key belongs, in memory and, when the image is
// writable, on disk too.
void TTomeTableIO::RelinkMissing(int IndexNo, TElementList& list, const std::vector<uint8_t>& visited) {
    const bool writable = !Io_.ReadOnly() && !Io_.FileReadOnly();
    const int listNo = IndexNo + 1;
    Lists_[static_cast<size_t>(listNo)] = std::make_unique<TElementList>(list);
    TElementList& target = *Lists_[static_cast<size_t>(listNo)];
    for (const TListElement& element : *Lists_[0]) {
        if (visited[static_cast<size_t>(element.RecIndex)])
            continue;
        TFieldBuffers key;
        for (int f = 0; f < FieldDefs_.Count(); ++f) {
            TFieldBufferItem& item = key.AddOwned(FieldDefs_.At(f).FieldType, FieldWidth(f));
            std::string value;
            ReadFieldValue(value, element.RecIndex, f);
            if (item.IsBlob())
                item.Blob->Assign(value);
            else
                std::memcpy(item.Data, value.data(),
                            std::min<size_t>(value.size(), static_cast<size_t>(item.DataSize)));
        }
        const int d = InsertPosition(key, IndexNo);
        if (writable)
            LinkAfter(IndexNo, target, d, element.RecIndex);
        target.insert(target.begin() + d, element);
    }
    list = target;
}

void TTomeTableIO::LoadIndexList(int i, bool ReloadRecTab) {
    if (i < 0 || i > IndexDefs_.Count())
        throw EDatabaseError("List index out of bounds");
    if (Lists_.size() > static_cast<size_t>(i) && Lists_[static_cast<size_t>(i)])
        return;
    TTomeFileLock lock(Io_);
    if (ReloadRecTab)
        ReadRecordTab();
    if (!Lists_[0])
        BuildNaturalList();
    if (i > 0)
        BuildMissingList(i - 1);
}

// An index list built later than the natural list must describe the same
// state of the file: when the header changed in between (another process
// wrote), the table is loaded again first.
void TTomeTableIO::BuildMissingList(int IndexNo) {
    TTomeFileLock lock(Io_);
    TTableHeader disk;
    Io_.ReadTableHeader(TableNo_, disk);
    if (!HeaderAsOnDisk(disk)) {
        Unload();
        Load();
    }
    if (!Lists_[static_cast<size_t>(IndexNo) + 1])
        BuildIndexList(IndexNo);
}

// Writes and key checks keep every index in step, so they need every list.
void TTomeTableIO::EnsureIndexLists() {
    for (int k = 0; k < IndexDefs_.Count(); ++k)
        if (!Lists_[static_cast<size_t>(k) + 1])
            BuildMissingList(k);
}

const TElementList& TTomeTableIO::IndexList(int i) {
    if (!Active())
        throw EDatabaseError("Cannot perform this operation on a closed dataset");
    LoadIndexList(i, false);
    return *Lists_[static_cast<size_t>(i)];
}

// ---- reading ---------------------------------------------------------------------

bool TTomeTableIO::FieldEncrypted(int Field) const {
    return Io_.AlgoBlock().Encrypt() && FieldDefs_.At(Field).DPMode == 0;
}

bool TTomeTableIO::FieldCompressed(int Field) const {
    const TTomeFieldDef& def = FieldDefs_.At(Field);
    return Io_.AlgoBlock().CompressBlob() && IsBlobType(def.FieldType) && def.DPMode == 0;
}

void TTomeTableIO::ReadRecord(TFieldBuffers& FieldBuffers, const TElementList& List, int Position) {
    if (Position < 0 || Position >= static_cast<int>(List.size()))
        throw EDatabaseError("No records");
    const int32_t dataOffset = List[static_cast<size_t>(Position)].DataOffset;
    const uint8_t* fixed = nullptr;
    {
        TTomeFileLock lock(Io_);
        fixed = FixedPart(List[static_cast<size_t>(Position)]);
    }
    const int count = std::min(FieldBuffers.Count(), FieldDefs_.Count());
    for (int i = 0; i < count; ++i) {
        TFieldBufferItem& item = FieldBuffers[i];
        if (!item.Active)
            continue;
        const int32_t at = FieldOffsets_[static_cast<size_t>(i)];
        if (IsBlobType(FieldDefs_.At(i).FieldType)) {
            if (item.Blob)
                item.Blob->SetDescriptor(this, static_cast<int64_t>(dataOffset) + at, FieldCompressed(i),
                                         FieldEncrypted(i));
        } else if (item.Data) {
            const size_t n = std::min<size_t>(static_cast<size_t>(item.DataSize), static_cast<size_t>(FieldWidth(i)));
            Io_.DecodeBuffer(&fixed[static_cast<size_t>(at)], item.Data, FieldEncrypted(i), n);
        }
    }
}

const uint8_t* TTomeTableIO::FieldBytes(const TListElement& element, int Field) {
    const uint8_t* stored = FixedPart(element) + FieldOffsets_[static_cast<size_t>(Field)];
    if (!FieldEncrypted(Field))
        return stored;
    FieldScratch_.resize(static_cast<size_t>(FieldWidth(Field)));
    Io_.DecodeBuffer(stored, FieldScratch_.data(), true, FieldScratch_.size());
    return FieldScratch_.data();
}

const std::vector<int64_t>* TTomeTableIO::IntegerKeyColumn(int Field) {
    if (!Io_.CacheUsable() || IsBlobType(FieldDefs_.At(Field).FieldType))
        return nullptr;
    if (FixedCacheEpoch_ != Io_.CacheEpoch()) {
        DropFixedCache();
        FixedCacheEpoch_ = Io_.CacheEpoch();
    }
    if (KeyColumnsRefused_)
        return nullptr;  // the cache is full; try again when it is dropped
    auto it = std::find_if(KeyColumns_.begin(), KeyColumns_.end(),
                           [Field](const auto& column) { return column.first == Field; });
    if (it == KeyColumns_.end())
        it = KeyColumns_.insert(KeyColumns_.end(), {Field, {}});
    if (!FillKeyColumn(Field, it->second)) {
        KeyColumns_.erase(it);
        KeyColumnsRefused_ = true;
        return nullptr;
    }
    return &it->second;
}

// Extends column to every record number. A value is only kept for a fixed
// part the cache holds, since writes reach the column through the cache;
// false when one could not be cached.
bool TTomeTableIO::FillKeyColumn(int Field, std::vector<int64_t>& column) {
    const int64_t size = Io_.ImageSize();
    column.reserve(RecordTab_.size());
    for (size_t r = column.size(); r < RecordTab_.size(); ++r) {
        const TRecordTabItem& item = RecordTab_[r];
        if (!RecordUsable(item, size)) {
            column.push_back(0);  // never listed, never tested
            continue;
        }
        const uint8_t* fixed = FixedPart({item.DataOffset, static_cast<int32_t>(r)});
        if (r >= CacheSlotOfRecord_.size() || CacheSlotOfRecord_[r] < 0)
            return false;
        column.push_back(DecodeIntegerKey(fixed, Field));
    }
    return true;
}

int64_t TTomeTableIO::DecodeIntegerKey(const uint8_t* fixed, int Field) {
    const auto width = static_cast<size_t>(FieldWidth(Field));
    const uint8_t* stored = fixed + FieldOffsets_[static_cast<size_t>(Field)];
    uint8_t plain[16] = {};
    if (FieldEncrypted(Field) && width <= sizeof plain) {
        Io_.DecodeBuffer(stored, plain, true, width);
        stored = plain;
    }
    return DecodeStoredValue(static_cast<TFieldType>(FieldDefs_.At(Field).FieldType), stored, width).intValue;
}

void TTomeTableIO::DropFixedCache() {
    KeyColumns_.clear();
    ProbeKeys_.clear();
    KeyColumnsRefused_ = false;
    SlotRecord_.clear();
    Io_.ReleaseCache(FixedCacheBytes_.size());
    CacheSlotOfRecord_.clear();
    CacheSlotOfRecord_.shrink_to_fit();
    CachedByOffset_.clear();
    FixedCacheBytes_.clear();
    FixedCacheBytes_.shrink_to_fit();
}

const uint8_t* TTomeTableIO::FixedPart(const TListElement& element) {
    if (!Io_.CacheUsable()) {
        FixedScratch_.resize(static_cast<size_t>(RecordSize_));
        Io_.ReadExact(element.DataOffset, FixedScratch_.data(), FixedScratch_.size());
        return FixedScratch_.data();
    }
    if (FixedCacheEpoch_ != Io_.CacheEpoch()) {
        DropFixedCache();
        FixedCacheEpoch_ = Io_.CacheEpoch();
    }
    const auto record = static_cast<size_t>(element.RecIndex);
    if (record < CacheSlotOfRecord_.size() && CacheSlotOfRecord_[record] >= 0) {
        const auto start = static_cast<size_t>(CacheSlotOfRecord_[record]) * static_cast<size_t>(RecordSize_);
        return &FixedCacheBytes_[start];
    }
    return CacheFixedPart(element);
}

// Reads a fixed part the cache does not hold and keeps it when the cap allows.
// A data offset some other record number already claims (a damaged record
// tab) is read but never cached, so one slot always has one owner.
const uint8_t* TTomeTableIO::CacheFixedPart(const TListElement& element) {
    const auto size = static_cast<size_t>(RecordSize_);
    FixedScratch_.resize(size);
    Io_.ReadExact(element.DataOffset, FixedScratch_.data(), size);
    if (size == 0 || element.RecIndex < 0 || CachedByOffset_.count(element.DataOffset) != 0 || !Io_.ReserveCache(size))
        return FixedScratch_.data();
    const auto record = static_cast<size_t>(element.RecIndex);
    if (record >= CacheSlotOfRecord_.size())
        CacheSlotOfRecord_.resize(std::max(record + 1, RecordTab_.size()), -1);
    const auto slot = static_cast<int32_t>(FixedCacheBytes_.size() / size);
    if (FixedCacheBytes_.size() + size > FixedCacheBytes_.capacity()) {
        // Room for every record at once where the cap allows: growing a step
        // at a time would copy the cache again and again on a first scan.
        const size_t every = std::max<size_t>(RecordTab_.size(), record + 1) * size;
        FixedCacheBytes_.reserve(std::max({FixedCacheBytes_.capacity() * 2, FixedCacheBytes_.size() + size,
                                           std::min(every, TTomeDBFileIO::kRecordCacheLimit)}));
    }
    FixedCacheBytes_.insert(FixedCacheBytes_.end(), FixedScratch_.begin(), FixedScratch_.end());
    CacheSlotOfRecord_[record] = slot;
    SlotRecord_.push_back(element.RecIndex);
    CachedByOffset_.emplace(element.DataOffset, slot);
    return &FixedCacheBytes_[static_cast<size_t>(slot) * size];
}

// Copies what was just written into every cached fixed part it overlaps.
void TTomeTableIO::ImageWritten(int64_t Position, const uint8_t* Bytes, size_t Count) {
    if (CachedByOffset_.empty() || Count == 0)
        return;
    const int64_t size = RecordSize_;
    const int64_t end = Position + static_cast<int64_t>(Count);
    auto it = CachedByOffset_.lower_bound(static_cast<int32_t>(std::max<int64_t>(Position - size + 1, 0)));
    for (; it != CachedByOffset_.end() && it->first < end; ++it) {
        const int64_t from = std::max<int64_t>(Position, it->first);
        const int64_t to = std::min<int64_t>(end, it->first + size);
        if (from >= to)
            continue;
        uint8_t* slot = &FixedCacheBytes_[static_cast<size_t>(it->second) * static_cast<size_t>(size)];
        std::memcpy(slot + (from - it->first), Bytes + (from - Position), static_cast<size_t>(to - from));
        const auto record = static_cast<size_t>(SlotRecord_[static_cast<size_t>(it->second)]);
        for (auto& [field, column] : KeyColumns_)
            if (record < column.size())
                column[record] = DecodeIntegerKey(slot, field);
        for (TProbeKeys& keys : ProbeKeys_)
            if (record < keys.Known.size() && keys.Known[record])
                keys.Values[record] = DecodeIntegerKey(slot, keys.Field);
    }
}

// Under the lock the cached fixed parts are exact, so a descriptor inside one
// needs no read from the file.
bool TTomeTableIO::CachedDescriptor(int64_t Position, uint8_t* Out) {
    if (CachedByOffset_.empty() || !Io_.CacheUsable() || FixedCacheEpoch_ != Io_.CacheEpoch())
        return false;
    auto it = CachedByOffset_.upper_bound(
        static_cast<int32_t>(std::min<int64_t>(Position, std::numeric_limits<int32_t>::max())));
    if (it == CachedByOffset_.begin())
        return false;
    --it;
    const int64_t within = Position - it->first;
    if (within + kBlobDescriptorSize > RecordSize_)
        return false;
    const size_t start = static_cast<size_t>(it->second) * static_cast<size_t>(RecordSize_);
    std::memcpy(Out, &FixedCacheBytes_[start + static_cast<size_t>(within)], kBlobDescriptorSize);
    return true;
}

void TTomeTableIO::ReadStoredBlob(int64_t DescriptorOffset, std::string& Out) {
    uint8_t descriptor[kBlobDescriptorSize];
    if (!CachedDescriptor(DescriptorOffset, descriptor))
        Io_.ReadExact(DescriptorOffset, descriptor, sizeof descriptor);
    const int32_t offset = GetI32(descriptor + kBDOffset);
    const int32_t size = GetI32(descriptor + kBDSize);
    Out.clear();
    if (size == 0)
        return;
    if (size < 0 || offset < kFixedAreaSize || static_cast<int64_t>(offset) + size > kMaxImageSize)
        Io_.RaiseDamaged();
    // A value cut off by the end of the image fails ReadExact as damage. The
    // image size (a stat outside the lock) is asked only when a damaged
    // descriptor could make the buffer cost real memory.
    constexpr int32_t kSizeCheckedBlob = 1 << 20;
    if (size > kSizeCheckedBlob && static_cast<int64_t>(offset) + size > Io_.ImageSize())
        Io_.RaiseDamaged();
    Out.resize(static_cast<size_t>(size));
    Io_.ReadExact(offset, Out.data(), Out.size());
}

void TTomeTableIO::SetPreEncodedBlob(int Field, std::string Stored) {
    if (Field < 0 || Field >= FieldDefs_.Count() || !IsBlobType(FieldDefs_.At(Field).FieldType))
        throw EDatabaseError("Pre-encoded value given for a field that is not a blob");
    if (Io_.AlgoBlock().CRC32())
        throw EDatabaseError("Pre-encoded blob values cannot be verified by CRC32");
    for (int k = 0; k < IndexDefs_.Count(); ++k)
        for (int32_t f : IndexDefs_.At(k).FieldIdxes)
            if (f == Field)
                throw EDatabaseError("Pre-encoded blob value given for an indexed field");
    PreEncodedBlobs_[Field] = std::move(Stored);
}

void TTomeTableIO::LoadBlob(int64_t DescriptorOffset, bool Compress, bool Encrypt, std::string& Out) {
    std::string stored;
    ReadStoredBlob(DescriptorOffset, stored);
    Out.clear();
    if (stored.empty())
        return;
    if (Encrypt) {
        std::string plain;
        Io_.DecodeStream(stored, plain, false, true);
        stored.swap(plain);
    }
    if (!Compress) {
        Out.swap(stored);
        return;
    }
    if (ClaimsUnreachableLength(stored))
        Io_.RaiseDamaged();
    Io_.DecodeStream(stored, Out, true, false);
}

void TTomeTableIO::ReadFieldValue(std::string& Stream, int32_t RecIndex, int Field) {
    if (RecIndex < 0 || RecIndex >= static_cast<int32_t>(RecordTab_.size()))
        Io_.RaiseDamaged();
    ReadKeyField({RecordTab_[static_cast<size_t>(RecIndex)].DataOffset, RecIndex}, Field, Stream, false);
}

void TTomeTableIO::ReadFieldValueInPieces(int32_t RecIndex, int Field, const TPieceSink& Sink) {
    if (RecIndex < 0 || RecIndex >= static_cast<int32_t>(RecordTab_.size()))
        Io_.RaiseDamaged();
    if (!IsBlobType(FieldDefs_.At(Field).FieldType)) {
        std::string value;
        ReadFieldValue(value, RecIndex, Field);
        Sink(value.data(), value.size());
        return;
    }
    std::string stored;
    ReadStoredBlob(static_cast<int64_t>(RecordTab_[static_cast<size_t>(RecIndex)].DataOffset) +
                       FieldOffsets_[static_cast<size_t>(Field)],
                   stored);
    DecodeStoredBlob(stored, Field, Sink);
}

void TTomeTableIO::DecodeStoredBlob(const std::string& Stored, int Field, const TPieceSink& Sink) {
    if (Stored.empty())
        return;
    Io_.DecodeStreamInPieces(Stored, FieldCompressed(Field), FieldEncrypted(Field), Sink);
}

bool TTomeTableIO::StoredBlobHolds(const std::string& Stored, int Field, const std::string& Value) {
    return Io_.StoredFormHolds(Stored, Value, FieldCompressed(Field), FieldEncrypted(Field));
}

// The decoded value of one field of the record at element; reuses out's memory.
void TTomeTableIO::ReadKeyField(const TListElement& element, int Field, std::string& out, bool useCache) {
    const int64_t at = static_cast<int64_t>(element.DataOffset) + FieldOffsets_[static_cast<size_t>(Field)];
    if (IsBlobType(FieldDefs_.At(Field).FieldType)) {
        LoadBlob(at, FieldCompressed(Field), FieldEncrypted(Field), out);
        return;
    }
    out.resize(static_cast<size_t>(FieldWidth(Field)));
    if (useCache && Io_.CacheUsable()) {
        const uint8_t* fixed = FixedPart(element);
        std::memcpy(out.data(), fixed + FieldOffsets_[static_cast<size_t>(Field)], out.size());
    } else {
        Io_.ReadExact(at, out.data(), out.size());
    }
    Io_.DecodeBuffer(out.data(), out.data(), FieldEncrypted(Field), out.size());
}

// ---- keys ----------------------------------------------------------------------------

int TTomeTableIO::CompareFieldValues(const void* Left, size_t LeftSize, const void* Right, size_t RightSize,
                                     int32_t FieldType, bool CaseInsensitive, bool Partial) {
    return CompareStoredValues(static_cast<TFieldType>(FieldType), Left, LeftSize, Right, RightSize, CaseInsensitive,
                               Partial);
}

int64_t TTomeTableIO::ProbeIntegerKey(const TListElement& element, int Field) {
    const uint8_t* fixed = FixedPart(element);  // drops everything cached when the epoch moved
    const auto record = static_cast<size_t>(element.RecIndex);
    auto keys =
        std::find_if(ProbeKeys_.begin(), ProbeKeys_.end(), [Field](const TProbeKeys& k) { return k.Field == Field; });
    if (keys != ProbeKeys_.end() && record < keys->Known.size() && keys->Known[record])
        return keys->Values[record];
    const int64_t value = DecodeIntegerKey(fixed, Field);
    if (element.RecIndex < 0 || record >= CacheSlotOfRecord_.size() || CacheSlotOfRecord_[record] < 0)
        return value;
    if (keys == ProbeKeys_.end())
        keys = ProbeKeys_.insert(ProbeKeys_.end(), TProbeKeys{Field, {}, {}});
    if (record >= keys->Known.size()) {
        keys->Known.resize(std::max(record + 1, RecordTab_.size()), 0);
        keys->Values.resize(keys->Known.size(), 0);
    }
    keys->Values[record] = value;
    keys->Known[record] = 1;
    return value;
}

int TTomeTableIO::CompareKeyAt(TFieldBuffers& Key, const TListElement& element, int IndexNo, int FieldCount,
                               bool Partial) {
    const TTomeIndexDef& index = IndexDefs_.At(IndexNo);
    const bool caseInsensitive = (index.Options & tiCaseInsensitive) != 0;
    int fields = static_cast<int>(index.FieldIdxes.size());
    if (FieldCount > 0 && FieldCount < fields)
        fields = FieldCount;
    int c = 0;
    for (int j = 0; j < fields && c == 0; ++j) {
        const int f = index.FieldIdxes[static_cast<size_t>(j)];
        TFieldBufferItem& item = Key[f];
        const auto type = static_cast<TFieldType>(FieldDefs_.At(f).FieldType);
        if (IsWholeNumber(type) && Io_.CacheUsable()) {
            const int64_t key = DecodeStoredValue(type, item.KeyData(), item.KeySize()).intValue;
            const int64_t stored = ProbeIntegerKey(element, f);
            c = key < stored ? -1 : (key > stored ? 1 : 0);
            continue;
        }
        ReadKeyField(element, f, KeyScratch_, true);
        c = CompareFieldValues(item.KeyData(), item.KeySize(), KeyScratch_.data(), KeyScratch_.size(),
                               FieldDefs_.At(f).FieldType, caseInsensitive, Partial);
    }
    return (index.Options & tiDescending) ? -c : c;
}

int TTomeTableIO::SearchIndex(TFieldBuffers& Key, const TElementList& List, int IndexNo, int& Result, int FieldCount,
                              bool Partial) {
    // Under the lock the keys come from the cached fixed parts instead of a
    // read from the file per comparison.
    TTomeFileLock lock(Io_);
    int lo = 0, hi = static_cast<int>(List.size()) - 1, position = -1;
    Result = -2;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        position = mid;
        const int c = CompareKeyAt(Key, List[static_cast<size_t>(mid)], IndexNo, FieldCount, Partial);
        if (c > 0) {
            lo = mid + 1;
            Result = 1;
        } else if (c < 0) {
            hi = mid - 1;
            Result = -1;
        } else {
            Result = 0;
            break;
        }
    }
    return position;
}

int TTomeTableIO::SearchIndexBound(TFieldBuffers& Key, const TElementList& List, int IndexNo, bool First, int& Result,
                                   int FieldCount, bool Partial) {
    TTomeFileLock lock(Io_);  // keys from the cached fixed parts, as in SearchIndex
    int lo = 0, hi = static_cast<int>(List.size()) - 1, position = -1;
    Result = -2;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareKeyAt(Key, List[static_cast<size_t>(mid)], IndexNo, FieldCount, Partial);
        if (c == 0) {
            position = mid;
            Result = 0;
            if (First)
                hi = mid - 1;
            else
                lo = mid + 1;
            continue;
        }
        if (Result != 0) {
            position = mid;
            Result = c > 0 ? 1 : -1;
        }
        if (c > 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return position;
}

int TTomeTableIO::InsertPosition(TFieldBuffers& Key, int IndexNo) {
    int result = 0;
    const int p = SearchIndex(Key, *Lists_[static_cast<size_t>(IndexNo) + 1], IndexNo, result, 0, false);
    if (result == 0 || result == 1)
        return p + 1;
    if (result == -2)
        return 0;
    return p;
}

int TTomeTableIO::PrimaryIndex() const {
    for (int k = 0; k < IndexDefs_.Count(); ++k)
        if (IndexDefs_.At(k).Options & tiPrimary)
            return k;
    return -1;
}

void TTomeTableIO::CheckUnique(TFieldBuffers& FieldBuffers) { CheckUniqueImpl(FieldBuffers, -1); }

void TTomeTableIO::CheckUniqueForModify(TFieldBuffers& FieldBuffers, int NaturalPos) {
    CheckUniqueImpl(FieldBuffers, NaturalPos);
}

void TTomeTableIO::CheckUniqueImpl(TFieldBuffers& FieldBuffers, int NaturalPos) {
    EnsureIndexLists();
    for (int k = 0; k < IndexDefs_.Count(); ++k) {
        const TTomeIndexDef& index = IndexDefs_.At(k);
        if ((index.Options & (tiPrimary | tiUnique)) == 0)
            continue;
        const TElementList& list = *Lists_[static_cast<size_t>(k) + 1];
        int result = 0;
        const int p = SearchIndex(FieldBuffers, list, k, result, 0, false);
        if (result != 0)
            continue;
        if (NaturalPos >= 0 && NaturalPosition(list[static_cast<size_t>(p)].RecIndex) == NaturalPos)
            continue;
        std::string text;
        for (size_t j = 0; j < index.FieldIdxes.size(); ++j) {
            if (j > 0)
                text += ",";
            text += ValueText(FieldBuffers[index.FieldIdxes[j]]);
        }
        throw EDatabaseError(FormatMessage("Invalid unique field value '%s'", text.c_str()));
    }
}

// ---- position mapping ----------------------------------------------------------------------

int TTomeTableIO::NaturalPosition(int32_t RecIndex) {
    const TElementList& list = *Lists_[0];
    auto it = std::lower_bound(list.begin(), list.end(), RecIndex,
                               [](const TListElement& e, int32_t r) { return e.RecIndex < r; });
    if (it == list.end() || it->RecIndex != RecIndex)
        return -1;
    return static_cast<int>(it - list.begin());
}

int TTomeTableIO::MapPosition(const TElementList& From, int Position, const TElementList& To) {
    if (Position < 0 || Position >= static_cast<int>(From.size()))
        return -1;
    if (&From == &To)
        return Position;
    const int32_t r = From[static_cast<size_t>(Position)].RecIndex;
    if (&To == Lists_[0].get())
        return NaturalPosition(r);
    for (size_t i = 0; i < To.size(); ++i)
        if (To[i].RecIndex == r)
            return static_cast<int>(i);
    return -1;
}

// ---- on-disk positions ----------------------------------------------------------------------

int64_t TTomeTableIO::HeaderPos() const { return Io_.TableHeaderOffset(TableNo_); }

// A record number without a loaded chunk means the view and the image disagree.
int64_t TTomeTableIO::RecordTabItemPos(int32_t RecIndex) const {
    const auto chunk = static_cast<size_t>(RecIndex / kChunkItems);
    if (RecIndex < 0 || chunk >= RecTabChunks_.size())
        Io_.RaiseDamaged();
    return static_cast<int64_t>(RecTabChunks_[chunk]) + 4 +
           static_cast<int64_t>(RecIndex % kChunkItems) * kRecordTabItemSize;
}

int64_t TTomeTableIO::IndexTabItemPos(int IndexNo, int32_t RecIndex) const {
    const auto chunk = static_cast<size_t>(RecIndex / kChunkItems);
    if (IndexNo < 0 || static_cast<size_t>(IndexNo) >= IndexTabChunks_.size() || RecIndex < 0 ||
        chunk >= IndexTabChunks_[static_cast<size_t>(IndexNo)].size())
        Io_.RaiseDamaged();
    return static_cast<int64_t>(IndexTabChunks_[static_cast<size_t>(IndexNo)][chunk]) + 4 +
           static_cast<int64_t>(RecIndex % kChunkItems) * kIndexTabItemSize;
}

}  // namespace tomedb
