// TTomeTableIO: storage of one table of an open database.
//
// Created by the database (one per table name) and shared by every dataset on
// that table. While active (reference count > 0) it holds the TableHeader copy,
// the field and index definitions, the record tab, the chunk offsets and the
// ordered lists: list 0 = live records in ascending RecIndex (natural order),
// list k + 1 = live records in the order of index k (built when first asked
// for, and always before a write). It reads, appends,
// modifies and deletes records, keeps the on-disk index chains in step,
// enforces primary/unique keys, hands out auto-increment values and stores
// blob values in 64-byte-granular areas.
//
// Record values travel in TFieldBuffers (stored form, see TomeFieldBuffers.h).
// Errors: EDatabaseError ("Table '%s' not found", "Invalid unique field value
// '%s'", "Wait for unlock time out", "Database file '%s' is damaged", ...).
// A key violation is detected before anything is written.
//
// Crash safety: an append writes the record data, its index tab items and its
// record tab item first and commits by writing RecordTotal; only then are the
// index chains linked to it. A record that a crash left out of a chain is
// linked again when that index's list is next built. The bytes of a completed operation are those
// of the plain order (data, record tab, header, chains). A write asked to be
// durable (FlushAfter, or the file layer's DurableWrites) puts a barrier
// before its commit (RecordTotal, a modified fixed part, a delete flag) and
// syncs when done. Inside a write batch of the file layer the RecordTotal of
// appends is kept in memory and written when the batch ends (CommitBatch), or
// earlier when the batch asks for its appends to be durable
// (CommitBatchDurably).
//
// Record cache: the fixed parts of records read under the file lock are kept
// (bytes as stored, one slot per record number) while the file layer's
// CacheEpoch stays the same. Writes made through the file layer are copied
// into the slots they touch (the table is a TTomeWriteObserver), so our own
// writes keep the cache; a change by someone else, a failed write or
// unloading the table drops it. Blobs are never cached.
//
// Several processes: before each write the header is re-read under the file
// lock and, when another process changed it, the table is reloaded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeFieldBuffers.h"
#include "tomedb/storage/TomeTableDefs.h"

namespace tomedb {

// One entry of an ordered list: where the record's fixed part lies and its number.
struct TListElement {
    int32_t DataOffset = 0;
    int32_t RecIndex = 0;
    bool operator==(const TListElement&) const = default;
};
using TElementList = std::vector<TListElement>;

struct TRecordTabItem {
    int32_t DataOffset = 0;
    uint8_t DeleteFlag = 0;
};
using TRecordTabItems = std::vector<TRecordTabItem>;

// Notifications to the dataset that runs an append or a modify. Table is the
// caller's own pointer, handed back unchanged. IndexNumber -1 (with Position
// -1) announces the new element once before the per-index reports.
using TOnIndexInsert = std::function<void(void* Table, int IndexNumber, int Position, const TListElement& Element)>;
using TOnIndexMove = std::function<void(void* Table, int IndexNumber, int FromPosition, int ToPosition)>;

class TTomeTableIO final : private TTomeWriteObserver {
public:
    TTomeTableIO(TTomeDBFileIO& FileIO, const std::string& TableName);
    ~TTomeTableIO();
    TTomeTableIO(const TTomeTableIO&) = delete;
    TTomeTableIO& operator=(const TTomeTableIO&) = delete;

    // ---- life cycle -----------------------------------------------------------
    void Open();     // first call loads
    void Close();    // last call unloads; never below 0
    void Refresh();  // reload while active
    bool Active() const { return RefCount_ > 0; }

    // ---- lists -----------------------------------------------------------------
    // i = 0 natural order, i = k + 1 index k. The table must be active.
    const TElementList& IndexList(int i);
    void LoadIndexList(int i, bool ReloadRecTab);
    int ListCount() const { return static_cast<int>(Lists_.size()); }

    // ---- records -----------------------------------------------------------------
    void ReadRecord(TFieldBuffers& FieldBuffers, const TElementList& List, int Position);
    void AppendRecord(TFieldBuffers& FieldBuffers, bool FlushAfter, const TOnIndexInsert& OnIndexInsert = nullptr,
                      void* Table = nullptr);
    void ModifyRecord(TFieldBuffers& FieldBuffers, int NaturalPosition, const TOnIndexMove& OnIndexMove = nullptr,
                      void* Table = nullptr, bool FlushAfter = false);
    void DeleteRecord(int NaturalPosition, bool FlushAfter);
    // The stored bytes of non-blob Field of element (decrypted when the field
    // is encrypted), from the record cache when it may be used; FieldWidth
    // bytes, valid until the next read. The caller holds the file lock.
    const uint8_t* FieldBytes(const TListElement& element, int Field);
    // The decoded values of integer Field for every record number (index by
    // RecIndex), taken from the record cache and kept in step with it; null
    // when the cache may not be used or cannot hold every fixed part. Valid
    // until the next read or write. The caller holds the file lock.
    const std::vector<int64_t>* IntegerKeyColumn(int Field);
    // Decoded stored value of one field of record RecIndex (the caller holds the
    // lock or accepts an unlocked read). Non-blob: DataSize bytes; blob: the value.
    void ReadFieldValue(std::string& Stream, int32_t RecIndex, int Field);
    // The same value handed to Sink in pieces: a blob is decompressed a piece
    // at a time, so a small stored value that claims to expand enormously never
    // takes more memory than a piece. For callers that only check or stream
    // values. Fails as ReadFieldValue does.
    void ReadFieldValueInPieces(int32_t RecIndex, int Field, const TPieceSink& Sink);
    // Decodes Stored (blob Field's bytes as in the image) into Sink in pieces.
    void DecodeStoredBlob(const std::string& Stored, int Field, const TPieceSink& Sink);
    // Whether Stored (blob Field's bytes as in the image) decodes to Value
    // (TTomeDBFileIO::StoredFormHolds).
    bool StoredBlobHolds(const std::string& Stored, int Field, const std::string& Value);

    // ---- keys ---------------------------------------------------------------------
    int SearchIndex(TFieldBuffers& Key, const TElementList& List, int IndexNo, int& Result, int FieldCount,
                    bool Partial);
    int SearchIndexBound(TFieldBuffers& Key, const TElementList& List, int IndexNo, bool First, int& Result,
                         int FieldCount, bool Partial);
    int InsertPosition(TFieldBuffers& Key, int IndexNo);
    // THE key comparison: two values in stored form of FieldType; -1, 0 or 1.
    // Texts collate with ICU for the default locale (GB18030 bytes); numbers,
    // dates, times and booleans by value. Shares its rules with filters.
    static int CompareFieldValues(const void* Left, size_t LeftSize, const void* Right, size_t RightSize,
                                  int32_t FieldType, bool CaseInsensitive, bool Partial);
    int PrimaryIndex() const;
    void CheckUnique(TFieldBuffers& FieldBuffers);
    void CheckUniqueForModify(TFieldBuffers& FieldBuffers, int NaturalPosition);

    // ---- position mapping ------------------------------------------------------------
    int NaturalPosition(int32_t RecIndex);
    int MapPosition(const TElementList& From, int Position, const TElementList& To);

    // ---- definitions and state ------------------------------------------------------------
    const std::string& TableName() const { return TableName_; }
    int TableNo() const { return TableNo_; }
    const TTomeFieldDefs& FieldDefs() const { return FieldDefs_; }
    const TTomeIndexDefs& IndexDefs() const { return IndexDefs_; }
    int32_t RecordSize() const { return RecordSize_; }
    const TIntegerAry& FieldOffsets() const { return FieldOffsets_; }
    int AutoIncField() const { return AutoIncField_; }
    const TTableHeader& Header() const { return Header_; }
    const TRecordTabItems& RecordTab() const { return RecordTab_; }
    TTomeDBFileIO& FileIO() const { return Io_; }
    // Fixed parts held by the record cache (diagnostics and tests).
    size_t CachedRecordCount() const { return CachedByOffset_.size(); }
    bool FieldEncrypted(int Field) const;
    bool FieldCompressed(int Field) const;
    // Stored width of each field (DataSize of a buffer item).
    int32_t FieldWidth(int Field) const;

    // Loads a blob value whose descriptor lies at DescriptorOffset (lazy blob load).
    void LoadBlob(int64_t DescriptorOffset, bool Compress, bool Encrypt, std::string& Out);
    // Stored bytes of the blob whose descriptor lies at DescriptorOffset, exactly
    // as in the image (not decrypted, not decompressed); empty for an empty value.
    // Raises "damaged" when the descriptor points outside the image. No lock taken.
    void ReadStoredBlob(int64_t DescriptorOffset, std::string& Out);
    // Hands the next AppendRecord the already encoded bytes of blob Field: they
    // are written as they are instead of encoding the buffer's value. The caller
    // vouches that they are what this table's encoding of the value would give.
    // Refused (EDatabaseError) for a non-blob field, an indexed field (keys need
    // the plain value) and an image with CRC32 set (the verified write needs it).
    // Every AppendRecord, successful or not, drops what was handed in.
    void SetPreEncodedBlob(int Field, std::string Stored);
    // Text of a buffer's key value as used in "Invalid unique field value '%s'".
    static std::string ValueText(TFieldBufferItem& Item);

    // Tries of a verified (CRC32) blob write before it gives up.
    static constexpr int kVerifiedWriteAttempts = 3;

private:
    void Load();
    void Unload();
    void ReadDefinitions();
    void ReadRecordTab();
    void BuildNaturalList();
    void BuildIndexList(int IndexNo, bool MayMend = true);
    bool MendChain(int IndexNo);
    void BuildMissingList(int IndexNo);
    static bool ChainIsRecordOrder(const std::vector<int32_t>& next, int32_t start);
    void EnsureIndexLists();
    void RelinkMissing(int IndexNo, TElementList& list, const std::vector<uint8_t>& visited);
    void LinkAfter(int IndexNo, const TElementList& list, int position, int32_t recIndex);
    bool RecordUsable(const TRecordTabItem& item, int64_t imageSize) const;
    void SyncBeforeWrite();
    int CompareKeyAt(TFieldBuffers& Key, const TListElement& element, int IndexNo, int FieldCount, bool Partial);
    // useCache: the key probes of a search; ReadFieldValue always reads the image.
    void ReadKeyField(const TListElement& element, int Field, std::string& out, bool useCache);
    // The value of whole-number Field of element under the lock, from the
    // probe keys when known; the caller checked Io_.CacheUsable().
    int64_t ProbeIntegerKey(const TListElement& element, int Field);
    // The 20 bytes of the blob descriptor at Position from a cached fixed
    // part; false when the cache may not be used or does not hold them.
    bool CachedDescriptor(int64_t Position, uint8_t* Out);
    void CheckUniqueImpl(TFieldBuffers& FieldBuffers, int NaturalPosition);
    // The stored fixed part of element, from the cache when it may be used;
    // valid until the next call. The caller holds the lock or accepts a raw read.
    const uint8_t* FixedPart(const TListElement& element);
    const uint8_t* CacheFixedPart(const TListElement& element);
    void DropFixedCache();
    bool FillKeyColumn(int Field, std::vector<int64_t>& column);
    int64_t DecodeIntegerKey(const uint8_t* fixed, int Field);
    void ImageWritten(int64_t Position, const uint8_t* Bytes, size_t Count) override;
    void FileLayerGone() override { Observing_ = false; }
    void CommitBatch() override;
    void CommitBatchDurably() override;
    bool HeaderAsOnDisk(const TTableHeader& Disk) const;

    // write helpers (TomeTableIOWrite.cpp)
    struct TBlobPlan;
    void NormalizeStrings(TFieldBuffers& FieldBuffers);
    int32_t AssignAutoInc(TFieldBuffers& FieldBuffers);
    int32_t HighestIndexedAutoInc();
    void EncodeSlot(TFieldBuffers& FieldBuffers, int Field, uint8_t* slot);
    void WriteBlobVerified(int Field, int64_t Position, const std::string& Plain, std::string& Stored);
    void WriteBlobArea(int Field, int64_t Position, const std::string& Plain, int32_t Area);
    void RewriteBlob(int Field, TFieldBufferItem& Item, uint8_t* descriptor);
    std::unique_ptr<TFieldBuffers> EffectiveKey(TFieldBuffers& FieldBuffers, const std::vector<uint8_t>& fixed);
    void MoveInIndex(int IndexNo, int Old, TFieldBuffers& Key, const TOnIndexMove& OnIndexMove, void* Table);
    int32_t ReadNext(int IndexNo, int32_t RecIndex);
    void WriteNext(int IndexNo, int32_t RecIndex, int32_t Next);
    void WriteIndexItem(int IndexNo, int32_t RecIndex, int32_t Next);
    void WriteStartIndex(int IndexNo, int32_t Value);
    void CheckBuffers(TFieldBuffers& FieldBuffers) const;
    void AppendLocked(TFieldBuffers& FieldBuffers, const TOnIndexInsert& OnIndexInsert, void* Table);
    void ModifyLocked(TFieldBuffers& FieldBuffers, int NaturalPosition, const TOnIndexMove& OnIndexMove, void* Table);
    void DeleteLocked(int NaturalPosition);
    template <class Step>
    void RunWrite(bool FlushAfter, Step step);

    // offsets of on-disk items
    int64_t RecordTabItemPos(int32_t RecIndex) const;
    int64_t IndexTabItemPos(int IndexNo, int32_t RecIndex) const;
    int64_t HeaderPos() const;

    TTomeDBFileIO& Io_;
    std::string TableName_;
    int RefCount_ = 0;
    int TableNo_ = -1;
    TTomeFieldDefs FieldDefs_;
    TTomeIndexDefs IndexDefs_;
    int32_t RecordSize_ = 0;
    TIntegerAry FieldOffsets_;
    int AutoIncField_ = -1;
    TTableHeader Header_;
    TRecordTabItems RecordTab_;
    TIntegerAry RecTabChunks_;
    std::vector<TIntegerAry> IndexTabChunks_;
    std::vector<std::unique_ptr<TElementList>> Lists_;
    std::string KeyScratch_;                     // reused by every probe of a search
    std::vector<uint8_t> FixedScratch_;          // reused by every ReadRecord
    std::vector<uint8_t> FieldScratch_;          // a decrypted field of FieldBytes
    std::vector<int32_t> CacheSlotOfRecord_;     // record number -> slot, -1 when none
    std::map<int32_t, int32_t> CachedByOffset_;  // data offset -> slot (write-through)
    std::vector<uint8_t> FixedCacheBytes_;       // slots of RecordSize_ bytes
    std::vector<int32_t> SlotRecord_;            // slot -> record number
    // Integer key columns built from the cache: field -> value by record number.
    std::vector<std::pair<int, std::vector<int64_t>>> KeyColumns_;
    // Keys met by searches on whole-number index fields, by record number,
    // kept only for records whose fixed part the cache holds (so writes reach
    // them) and dropped with the cache: probes then read a compact array
    // instead of a fixed part spread over the cache.
    struct TProbeKeys {
        int Field = -1;
        std::vector<int64_t> Values;
        std::vector<uint8_t> Known;
    };
    std::vector<TProbeKeys> ProbeKeys_;
    bool KeyColumnsRefused_ = false;  // the cache could not hold every fixed part
    uint64_t FixedCacheEpoch_ = 0;
    std::unordered_map<int, std::string> PreEncodedBlobs_;  // field -> stored bytes, next append only
    bool Observing_ = true;                                 // registered with Io_, which still exists
    bool Stale_ = false;                                    // a write failed half-way: reload before the next one
    bool OrderWrites_ = false;                              // the running write is durable: barrier before its commit
    bool Acknowledged_ = false;                             // the running write synced its commit (one-sync append)
    bool CommitPending_ = false;                            // appends of a batch wait for their RecordTotal
    int32_t DiskRecordTotal_ = 0;                           // RecordTotal in the image while CommitPending_
};

}  // namespace tomedb
