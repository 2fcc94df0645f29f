// TTomeDBFileIO: the file layer of one open database (owned by the database).
//
// It opens and validates an image (disk file or caller-owned memory image),
// creates new images, appends tables and indexes, reads and writes the comment
// and extra-data areas, holds the cross-process file lock and runs the
// compression/encryption steps under a per-database critical section. Table
// storage (TTomeTableIO) reads and writes records through ReadExact/WriteAt.
//
// Errors are EDatabaseError with the engine's messages. Taking the lock of a
// disk file that another process has since replaced (a rebuild renames a new
// file over the old one) raises "Database file '%s' was replaced by another
// program; close it and open it again" instead of working on the old file,
// where writes would be lost. Every offset, count
// and size read from an image is checked against the image before use; a
// violation raises "Database file '%s' is damaged" (RaiseDamaged). Locked
// operations release the lock on every path. Not thread-safe except for the
// encode/decode steps, which serialise themselves.
//
// Record cache support: tables may keep bytes read under the file lock. Our
// own writes keep them true: WriteAt hands every written range to the
// registered TTomeWriteObservers, which patch what they hold. CacheEpoch()
// changes when cached bytes may be stale for any other reason: on Close, when
// a write fails half-way, and when the outermost Lock() finds that someone
// else wrote (the change counter of the table directory, the size, the change
// times or the file identity differ from what this object last saw). Cached
// bytes may be used only while CacheUsable() (the lock is held on a medium
// that can detect foreign writes). The bytes cached by all tables of one
// database are capped at kRecordCacheLimit through ReserveCache/ReleaseCache.
//
// Write barriers: a power cut may lose any write the medium has not yet been
// told to make durable, in any order. Barrier() (fdatasync on a disk file)
// sits between the bytes a commit depends on and the commit itself; the
// schema operations always call it, table storage for durable writes. With
// DurableWrites set (the application's saves) every record write also ends
// with a sync, so it is on disk when it returns; a durable append instead
// makes do with one sync through a commit slot (CommitAppend, TomeFormat.h),
// and what it writes after that sync is rolled forward at the next open if a
// cut lost it. Without DurableWrites writes are
// ordered as described but not forced to disk; an append whose data a cut
// lost is recognised and undone in the first lock period after opening
// (SettleInterruptedAppends). Between BeginBatch and EndBatch (bulk work:
// imports) the file lock is held, barriers are skipped and the record counts
// that commit appends are written once at EndBatch, between one pair of
// barriers, so a cut loses the batch's appends and nothing else; the index
// chains it linked to them are mended when table storage next walks them.
//
// The rebuild primitives (RebuildDatabase, Compact, Repair, ChangePassword)
// belong to this class as well and are added with the rebuild work.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/dataproc/DataProcessMgr.h"
#include "tomedb/storage/TomeBlobDecoder.h"
#include "tomedb/storage/TomeMedium.h"
#include "tomedb/storage/TomeStorageOwner.h"
#include "tomedb/storage/TomeStructures.h"

namespace tomedb {

enum TTomeDBMediumType { mtDisk, mtMemory };

// Told of every range this file layer wrote successfully, with the bytes as
// they now are in the image; used to keep caches of image bytes exact.
// FileLayerGone: the file layer is being destroyed; forget it.
class TTomeWriteObserver {
public:
    virtual void ImageWritten(int64_t Position, const uint8_t* Bytes, size_t Count) = 0;
    virtual void FileLayerGone() = 0;
    // A write batch ends: write what its appends left to commit (the file
    // layer syncs before and after).
    virtual void CommitBatch() {}
    // A running batch makes its appends so far durable (CommitBatchAppends);
    // called with barriers in force.
    virtual void CommitBatchDurably() {}

protected:
    ~TTomeWriteObserver() = default;
};

// The caller's description of one field of a table to create.
struct TTomeFieldItem {
    std::string FieldName;
    int32_t FieldType = 0;
    int32_t DataSize = 0;
    uint8_t DPMode = 0;
};

class TTomeDBFileIO {
public:
    explicit TTomeDBFileIO(TTomeStorageOwner* owner = nullptr);
    ~TTomeDBFileIO();
    TTomeDBFileIO(const TTomeDBFileIO&) = delete;
    TTomeDBFileIO& operator=(const TTomeDBFileIO&) = delete;

    // ---- open / close ----------------------------------------------------
    void Open(const std::string& FileName, TTomeDBMediumType MediumType, int64_t BaseOffset, bool ReadOnly,
              bool Exclusive);
    // Opens an image on a caller-owned medium (fault-injection tests, tools);
    // validated exactly as a memory image. displayName is used in messages.
    void OpenMedium(TTomeMedium& Medium, const std::string& DisplayName, bool ReadOnly);
    void Close();
    bool IsOpen() const { return Medium_ != nullptr; }
    bool IsFlushed() const { return Flushed_; }
    void Flush();
    // Gathers writes in memory (up to `limit` bytes) and writes them down in
    // large pieces; for an image no one else uses yet. Close writes what is
    // pending; Flush also syncs it.
    void BufferWrites(size_t limit);
    // Drops the gathered writes unwritten: for an image that is being given up
    // after a failed write, so that closing it does not fail again.
    void DiscardBufferedWrites();

    // ---- durability (see above) -------------------------------------------
    void Barrier();
    // An image nobody else can see yet (a rebuild's new file): its writes
    // need no ordering, so barriers are skipped and the builder syncs the
    // finished image once with Flush before publishing it.
    void SetUnpublished(bool Unpublished) { Unpublished_ = Unpublished; }
    bool DurableWrites() const { return DurableWrites_; }
    void SetDurableWrites(bool Durable) { DurableWrites_ = Durable; }
    // Set before the first lock: what an interrupted write left is settled
    // table by table, each when table storage first loads it, and every table
    // still unsettled before the first write; an open then reads only the
    // tables it uses. Off: every table is settled in the first lock period.
    // Whoever reads table headers raw (not through TTomeTableIO) leaves it off.
    void SetSettleTablesOnUse(bool OnUse) { SettleOnUse_ = OnUse; }
    // Settles table TableNo if it waits for it (see SetSettleTablesOnUse).
    // The caller holds the lock. Failures are left to the table's readers.
    void SettleBeforeUse(int TableNo);
    // Reads the record tab chunk at Offset (kRecordTabChunkSize bytes), from
    // what SettleBeforeUse just read of it when nothing was written since.
    void ReadRecordTabChunk(int32_t Offset, uint8_t* Out);
    // Forgets the chunks SettleBeforeUse kept.
    void DropRecordTabMemo() { RecTabMemo_.clear(); }
    // Nested calls only count; the outermost EndBatch commits and syncs. A
    // failing EndBatch still ends the batch and releases the lock.
    void BeginBatch();
    void EndBatch();
    bool InBatch() const { return BatchDepth_ > 0; }
    // Inside the outermost batch: makes what the batch appended so far
    // durable now, so that its later writes may depend on it (a save keeps
    // the text it replaces before writing the new one). A table that
    // appended one record commits it through a commit slot with one sync, as
    // a durable append outside a batch does; one that appended more gets its
    // count between two barriers. The batch goes on. Nothing outside a batch
    // or in a nested one, whose outer batch orders its own writes.
    void CommitBatchAppends();
    // Whether a commit slot of table TableNo still vouches for an unsynced
    // RecordTotal (a write to that table inside a batch then syncs first).
    bool CommitSlotAwaitsSync(int TableNo) const;
    // Barriers that reached the medium (diagnostics and tests).
    uint64_t BarrierCount() const { return BarrierCount_; }

    // ---- one-sync appends (TomeDBFileIOCommit.cpp; reasoning in TomeFormat.h) --
    // Where the items of the record an append made live lie.
    struct TCommitPlaces {
        int64_t RecTabItem = 0;
        std::vector<int64_t> IndexItems;  // one per index
    };
    // Writes the commit slot vouching for record NewTotal-1 of the table and
    // syncs: the append is durable when this returns. The caller then writes
    // RecordTotal and the index chains, which the next sync takes along.
    void CommitAppend(int TableNo, const TTableHeader& Header, int32_t NewTotal, const TCommitPlaces& Places);
    // Before any write other than a durable append: syncs the RecordTotal a
    // one-sync append left unsynced, so that no slot has to vouch for it any
    // more.
    void SyncCommitTail();
    // Syncs what one-sync appends left, zeroes their commit slots and cuts
    // off the zero tail, so the file is at rest (reserved bytes zero, no
    // tail) while it stays open: a copy taken now equals the file after
    // closing. A failure keeps the slots for later.
    void SettleCommitSlots();
    // ---- appended space (TomeDBFileIOTail.cpp) --------------------------
    // Durable appends fill a tail of zeros written ahead at the image end
    // when the medium asks for one (TTomeMedium::TailReserve), so that their
    // syncs find the file's size unchanged. Nothing points into the tail;
    // readers take it as unused bytes, and Close cuts it off.
    // Where the next appended structure goes: the image end, or for a
    // durable write the start of this object's zero tail while the image
    // still ends where that tail ends (no other writer appended since).
    int64_t AppendPosition(bool Durable);
    // Bytes are about to be written at At, which AppendPosition(Durable) gave:
    // extends the tail past them if the medium asks for one and moves its
    // start beyond them.
    void ClaimAppended(int64_t At, int64_t Bytes, bool Durable);

    // Mends index IndexNo of table TableNo when its chain passes through
    // record numbers at or beyond Total (what an interrupted batch leaves; see
    // TomeDBFileIOSettle.cpp); true when it wrote. Table storage calls it,
    // under the lock, when a walk of the chain meets such a link; the caller
    // then reads the chain again.
    bool SettleChain(int TableNo, const TTableHeader& Header, int IndexNo, int32_t Total);

    // ---- cross-process lock (byte 1); nested calls only count -------------
    void Lock();
    void Unlock();

    // ---- record cache bookkeeping (see above) --------------------------------
    uint64_t CacheEpoch() const { return CacheEpoch_; }
    bool CacheUsable() const { return LockDepth_ > 0 && StampValid_; }
    bool ReserveCache(size_t Bytes);
    void ReleaseCache(size_t Bytes);
    void AddWriteObserver(TTomeWriteObserver* Observer);
    void RemoveWriteObserver(TTomeWriteObserver* Observer);
    static constexpr size_t kRecordCacheLimit = 64u << 20;

    bool CheckPassword(const std::string& Password);

    // ---- structure --------------------------------------------------------
    bool CreateDatabase(const std::string& FileName, bool CompressBlob, uint8_t CompressLevel,
                        const std::string& CompressAlgoName, bool Encrypt, const std::string& EncryptAlgoName,
                        const std::string& Password, bool CRC32, TTomeDBMediumType MediumType = mtDisk);
    bool CreateTable(const std::string& TableName, const std::vector<TTomeFieldItem>& Items);
    bool DeleteTable(const std::string& TableName);
    bool CreateIndex(const std::string& TableName, const std::string& IndexName, TTMIndexOptions Options,
                     const std::vector<std::string>& FieldNames);
    int FindTable(const std::string& TableName) const;
    // Raises "damaged" for a header that fails TTableHeader::CheckSane.
    void ReadTableHeader(int TableNo, TTableHeader& Header);
    void WriteTableHeader(int TableNo, const TTableHeader& Header);
    void GetTableNames(std::vector<std::string>& List);
    int TableCount() const { return Directory_.TableCount(); }
    int32_t TableHeaderOffset(int TableNo) const;

    bool SetComments(const std::string& Text, const std::string& Password);
    bool GetComments(std::string& Text, const std::string& Password);
    bool SetExtData(const void* Buffer, int32_t Size);
    bool GetExtData(void* Buffer);  // copies kExtDataSize (2048) bytes

    // ---- encode / decode steps (under the critical section) ----------------
    void EncodeStream(const std::string& Source, std::string& Dest, bool Compress, bool Encrypt);
    void DecodeStream(const std::string& Source, std::string& Dest, bool Compress, bool Encrypt);
    // DecodeStream handing the value to Sink in pieces: decompression never
    // holds more than a piece of the result.
    void DecodeStreamInPieces(const std::string& Source, bool Compress, bool Encrypt, const TPieceSink& Sink);
    // Whether Stored (a value encoded with these steps) decodes to Value: it
    // is decrypted, but decompressed only when the compression's framing
    // cannot rule Value out (TCompressAlgo::RulesOut). Raises as DecodeStream
    // does when it has to decode damaged bytes.
    bool StoredFormHolds(const std::string& Stored, const std::string& Value, bool Compress, bool Encrypt);
    // A decoder of values stored with these steps that shares no state with
    // this database (see TTomeBlobDecoder); null when an algorithm in use
    // cannot be copied or none is selected.
    std::unique_ptr<TTomeBlobDecoder> NewBlobDecoder(bool Compress, bool Encrypt);
    void EncodeBuffer(const void* Source, void* Dest, bool Encrypt, size_t Size);
    void DecodeBuffer(const void* Source, void* Dest, bool Encrypt, size_t Size);

    // ---- raw access for table storage -------------------------------------
    // Reads exactly count bytes at position or raises "... is damaged".
    void ReadExact(int64_t Position, void* Buffer, size_t Count);
    void WriteAt(int64_t Position, const void* Buffer, size_t Count);
    // Changes the 32-bit count at Position from From to To (a RecordTotal).
    // A count whose bytes straddle a sector boundary goes down in two writes
    // with a barrier between, in the order that lets a cut tear it only into
    // a value beyond the smaller of the two, never below it: a torn count
    // may claim records that SettleInterruptedAppends then drops, but never
    // hides committed ones.
    void WriteCount(int64_t Position, int32_t From, int32_t To);
    int64_t ImageSize();
    [[noreturn]] void RaiseDamaged() const;

    // ---- state -------------------------------------------------------------
    const std::string& FileName() const { return FileName_; }
    TTomeDBMediumType MediumType() const { return MediumType_; }
    bool Exclusive() const { return Exclusive_; }
    bool ReadOnly() const { return ReadOnly_; }
    bool FileReadOnly() const { return FileReadOnly_; }
    int64_t BaseOffset() const { return BaseOffset_; }
    const TAlgoBlock& AlgoBlock() const { return Algo_; }
    TTomeStorageOwner& Owner() const { return *Owner_; }
    TCompressMgr& CompressMgr() { return Compress_; }
    TEncryptMgr& EncryptMgr() { return Encrypt_; }

private:
    void ValidateHeader(TTomeMedium& medium, const std::string& name);
    void LoadFixedBlocks();
    void ReloadDirectory();
    void WriteDirectory();
    void SelectAlgorithms();
    void ConnectProgress();
    bool TryLockOnce();
    void TakeFileLock();
    void CheckForeignWrites();
    void CheckStillAtPath();
    void RefuseWriteToDeletedFile();
    void RestampAfterOwnWrites();
    static bool SeesForeignWrites(TTomeMedium& medium);
    static std::string AbsolutePathOf(const std::string& name);
    void SyncIfDurable() {
        if (DurableWrites_ && BatchDepth_ == 0)
            Flush();
    }
    void SettleInterruptedAppends();
    void SettleTables(const std::vector<int>& Tables, bool KeepChunks = false);
    void SettleRemainingTables();
    bool SettleTable(int TableNo, bool KeepChunks = false);
    int32_t RollForward(int TableNo, const TTableHeader& Header, int32_t Total);
    bool SlotVouches(const TTableHeader& Header, int32_t NewTotal, uint32_t Checksum);
    uint32_t CommitChecksum(const TTableHeader& Header, int32_t NewTotal, const TCommitPlaces& Places);
    int64_t RecordTabItemAt(const TTableHeader& Header, int32_t RecIndex);
    void MediumSynced();
    bool AnyCommitSlotInUse();
    void ClearSettledSlots();
    void CloseCommitSlots();
    void CutTail();
    class TIndexTabReader;
    uint32_t ReadChangeCounter();
    void CountChange();
    void ValidateFieldItems(const std::vector<TTomeFieldItem>& Items) const;
    void CheckIndexRequest(const TTableHeader& header, const std::string& IndexName, TTMIndexOptions Options,
                           const std::vector<std::string>& FieldNames, int32_t (&fieldIdx)[8]) const;
    void CryptComments(uint8_t* comments, const std::string& Password, bool encode) const;
    std::array<uint8_t, 3821> BuildNewImage(bool CompressBlob, uint8_t CompressLevel,
                                            const std::string& CompressAlgoName, bool Encrypt,
                                            const std::string& EncryptAlgoName, const std::string& Password,
                                            bool CRC32) const;

    TTomeStorageSettings DefaultOwner_;
    TTomeStorageOwner* Owner_;
    std::string FileName_;
    std::string AbsolutePath_;  // of a disk file, for CheckStillAtPath
    TTomeDBMediumType MediumType_ = mtDisk;
    bool Exclusive_ = false;
    bool ReadOnly_ = false;
    bool FileReadOnly_ = false;
    int64_t BaseOffset_ = 0;
    bool Flushed_ = true;
    int LockDepth_ = 0;
    // The image may be written by others (a disk file, or a medium that can
    // tell): the file lock is taken and the change counter kept. Otherwise
    // (memory images) locking only counts and nothing is cached.
    bool SharedMedium_ = false;
    bool SizeKnown_ = false;  // KnownSize_ is the image size (only under the lock)
    int64_t KnownSize_ = 0;
    uint64_t CacheEpoch_ = 1;
    size_t CacheBytes_ = 0;
    bool StampValid_ = false;      // LastStamp_ describes the image as this object left it
    bool WroteUnderLock_ = false;  // and so the change counter was advanced
    TTomeMediumStamp LastStamp_;
    uint32_t LastChangeCounter_ = 0;  // as this object last saw or wrote it
    std::vector<TTomeWriteObserver*> WriteObservers_;
    bool Unsynced_ = false;       // written since the last barrier
    bool SettlePending_ = false;  // SettleInterruptedAppends has yet to run
    bool SettleOnUse_ = false;
    std::vector<bool> Unsettled_;  // by table number, with SettleOnUse_
    bool Settling_ = false;
    // Record tab chunks the last SettleBeforeUse read: offset -> bytes, valid
    // in the cache epoch RecTabMemoEpoch_ until the next write.
    std::map<int32_t, std::vector<uint8_t>> RecTabMemo_;
    uint64_t RecTabMemoEpoch_ = 0;
    bool DurableWrites_ = false;
    bool Unpublished_ = false;
    int BatchDepth_ = 0;
    uint64_t BarrierCount_ = 0;
    // Commit slots (absolute positions) whose RecordTotal is not yet synced,
    // and those a sync has since made needless, to be zeroed.
    std::vector<int64_t> SlotsAwaitingSync_;
    std::vector<int64_t> SlotsToClear_;
    // Another writer may have left writes unsynced (a one-sync append's tail
    // among them): the next write of this object syncs first.
    bool ForeignUnsynced_ = false;
    // This object's zero tail: [TailStart_, TailEnd_), in force while the
    // image ends at TailEnd_ (-1: none).
    int64_t TailStart_ = 0;
    int64_t TailEnd_ = -1;

    std::unique_ptr<TTomeMedium> OwnedMedium_;                   // mtDisk
    std::unique_ptr<class TTomeWriteBehindMedium> WriteBehind_;  // over the image, after BufferWrites
    TTomeMedium* Medium_ = nullptr;                              // the image while open

    TCompressMgr Compress_;
    TEncryptMgr Encrypt_;
    TAlgoBlock Algo_;
    TTableDirectory Directory_;
    // Table names read from the headers, by header offset, while CacheEpoch_
    // is NamesEpoch_ (see GetTableNames).
    std::map<int32_t, std::string> NamesByOffset_;
    uint64_t NamesEpoch_ = 0;
    std::recursive_mutex ProcessLock_;
};

// Scoped Lock/Unlock of the file layer.
class TTomeFileLock {
public:
    explicit TTomeFileLock(TTomeDBFileIO& io) : Io_(io) { Io_.Lock(); }
    ~TTomeFileLock() { Io_.Unlock(); }
    TTomeFileLock(const TTomeFileLock&) = delete;
    TTomeFileLock& operator=(const TTomeFileLock&) = delete;

private:
    TTomeDBFileIO& Io_;
};

}  // namespace tomedb
