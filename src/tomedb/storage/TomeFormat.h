// The on-disk format of a TomeDB image, documented once.
//
// An image is a fixed area followed by appended structures:
//
//   offset 0     FileHeader      12 bytes  Magic "TomeDB\0", Version "2.0\0\0"
//   offset 12    ExtBlock      2305 bytes  Comments[257] (encrypted as one unit
//                                          when the database is encrypted),
//                                          ExtData[2048] (never encrypted)
//   offset 2317  AlgoBlock      472 bytes  compression/encryption settings,
//                                          RandomFill, PasswordCheck
//   offset 2789  TableDirectory 1032 bytes TableCount, ChangeCounter,
//                                          256 TableHeader offsets
//   offset 3821  appended: TableHeaders (4821 bytes), record tab chunks
//                (5124 bytes), index tab chunks (8196 bytes), record data
//                (fixed part + 64-byte-granular blob areas).
//
// Every integer is 32-bit little-endian whatever the host (ftLargeint slots
// and doubles are 8 bytes, little-endian too); offsets are signed and count
// from the start of the image, so an image stays below 2^31 bytes. Names are
// NUL-terminated 8-bit (GB18030) texts in fixed arrays. Nothing is moved or
// freed in place except blob areas, which may be rewritten or grown.
//
// An image may end in zero bytes that no structure covers: a durable writer
// appends into a tail of zeros it wrote ahead, so that its syncs do not grow
// the file (TomeDBFileIOTail.cpp), and cuts the rest off when it closes; a
// crash leaves it. Readers never reach those bytes, and appends go past them.
//
// This header holds only constants and the little-endian helpers; it cannot fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tomedb::format {

// ---- general -----------------------------------------------------------
constexpr char kMagic[] = "TomeDB";  // 6 characters and a NUL
constexpr char kVersion[] = "2.0";   // written into new images
constexpr char kIncompatibleVersion[] = "1.00";
constexpr int kMaxNameLength = 32;             // characters kept of any stored name
constexpr int kNameFieldSize = 33;             // name array incl. NUL
constexpr int64_t kMaxImageSize = 0x7FFFFFFF;  // offsets are signed 32-bit
// The unit a disk writes whole: a power cut keeps or loses each sector of a
// write on its own.
constexpr int64_t kSectorSize = 512;

// ---- FileHeader (offset 0) ---------------------------------------------
constexpr int kFileHeaderOffset = 0;
constexpr int kFileHeaderSize = 12;
constexpr int kMagicOffset = 0;
constexpr int kMagicSize = 7;
constexpr int kVersionOffset = 7;
constexpr int kVersionSize = 5;

// ---- ExtBlock (offset 12) ----------------------------------------------
constexpr int kExtBlockOffset = 12;
constexpr int kExtBlockSize = 2305;
constexpr int kCommentsOffsetInBlock = 0;
constexpr int kCommentsSize = 257;  // 256 characters and a NUL
constexpr int kMaxCommentLength = 256;
constexpr int kExtDataOffsetInBlock = 257;
constexpr int kExtDataSize = 2048;

// ---- AlgoBlock (offset 2317) -------------------------------------------
constexpr int kAlgoBlockOffset = 2317;
constexpr int kAlgoBlockSize = 472;
constexpr int kAlgoCompressBlob = 0;   // byte: 1 = blob fields compressed
constexpr int kAlgoCompressLevel = 1;  // byte: 0 best .. 3 fastest
constexpr int kAlgoCompressName = 2;   // 33 bytes
constexpr int kAlgoEncrypt = 35;       // byte: 1 = encrypted
constexpr int kAlgoEncryptMode = 36;   // byte: cipher mode 0-4
constexpr int kAlgoEncryptName = 37;   // 33 bytes
constexpr int kAlgoCRC32 = 70;         // byte: 1 = verified blob writes
constexpr int kAlgoRandomFill = 71;    // 256 bytes, each 20..122
constexpr int kRandomFillSize = 256;
constexpr int kRandomFillMin = 20;
constexpr int kRandomFillMax = 122;
constexpr int kAlgoPasswordCheck = 327;  // 129 bytes
constexpr int kPasswordCheckSize = 129;
constexpr int kMaxPasswordCheckLength = 128;
constexpr int kAlgoReserved = 456;  // 16 zero bytes

// ---- TableDirectory (offset 2789) ---------------------------------------
constexpr int kTableDirectoryOffset = 2789;
constexpr int kTableDirectorySize = 1032;
constexpr int kDirTableCount = 0;
// Change counter: the 4 bytes after TableCount, zero in a new image. Every
// writer adds one (wrapping) before its first write under the file lock, so a
// reader that finds the counter unchanged after taking the lock knows that no
// one wrote since it last looked, however coarse the file times are. Readers
// that do not know the counter ignore it.
constexpr int kDirChangeCounter = 4;
constexpr int kDirOffsets = 8;  // 256 x int32
constexpr int kMaxTables = 256;

constexpr int kFixedAreaSize = 3821;  // size of a new, empty image

// ---- TableHeader (4821 bytes, appended) ---------------------------------
constexpr int kTableHeaderSize = 4821;
constexpr int kTHTableName = 0;  // 33 bytes
constexpr int kTHRecTabOffset = 33;
constexpr int kTHRecordTotal = 37;
constexpr int kTHAutoIncCounter = 41;
constexpr int kTHFieldCount = 45;
constexpr int kTHFieldTab = 49;  // 96 x FieldTabItem
constexpr int kTHIndexCount = 4177;
constexpr int kTHIndexHeaders = 4181;  // 8 x IndexHeader
constexpr int kTHReserved = 4805;      // 16 zero bytes; the commit slots below
constexpr int kFieldSlots = 96;
constexpr int kMaxFields = 95;  // a list of 96 or more is refused
constexpr int kMaxIndexes = 8;

// FieldTabItem (43 bytes)
constexpr int kFieldTabItemSize = 43;
constexpr int kFIName = 0;       // 33 bytes
constexpr int kFIType = 33;      // byte
constexpr int kFIDataSize = 34;  // int32
constexpr int kFIDPMode = 38;    // byte
constexpr int kMinStringSize = 1;
constexpr int kMaxStringSize = 8192;

// IndexHeader (78 bytes)
constexpr int kIndexHeaderSize = 78;
constexpr int kIHName = 0;       // 33 bytes
constexpr int kIHOptions = 33;   // byte, TTMIndexOptions bits
constexpr int kIHFieldIdx = 34;  // 8 x int32, -1 after the last
constexpr int kIHIndexTabOffset = 66;
constexpr int kIHStartIndex = 70;
constexpr int kMaxIndexFields = 8;

// ---- commit slots: one sync per durable append ---------------------------
// The 16 reserved bytes of a TableHeader hold two commit slots of 8 bytes:
// NewTotal (int32) and Checksum (CRC-32 of NewTotal's 4 bytes, then record
// NewTotal-1's record tab item, fixed part, stored blob bytes and its item in
// each index, all as stored). Slot NewTotal mod 2 is used, so two appends in
// a row never write the same slot.
//
// Why one sync is enough. A durable append writes everything new (record,
// blobs, record tab and index items, chunk links, AutoIncCounter) and its
// commit slot, then syncs once: from here it is acknowledged. Only then are
// RecordTotal and the index chains written, left to the next sync. So
// RecordTotal never reaches the disk before what it makes live, which is
// what the barrier before it used to guarantee; readers that know nothing of
// the slots see a valid file at every moment. What a cut can lose is the
// RecordTotal of an acknowledged append: the first writable open finds a slot
// whose NewTotal is RecordTotal+1 and whose checksum matches the bytes on
// disk, and sets RecordTotal to NewTotal (repeated while a slot continues the
// count); a lost chain link is made again when the table loads. A cut
// before the sync leaves a slot whose checksum does not match (a torn or
// lost piece of the record, or of the slot itself) or a RecordTotal already
// past it: nothing is rolled forward, and the append is undone as before.
// Checksums cover stored (encrypted) bytes, so no password is needed.
// A slot counts only while RecordTotal is exactly NewTotal-1 and its record
// is whole. RecordTotal only grows (undoing an interrupted append never
// passes a whole record), so a stale slot (older writers leave the slots
// alone) cannot roll a count forward by mistake.
//
// What keeps a slot true until its RecordTotal is on disk: the next append
// writes the other slot and touches none of the bytes a slot covers before
// its own sync; every other record write (modify, delete, an append that is
// not durable) syncs first, and so does a writer's first write after another
// writer's (schema changes touch no covered bytes). Once a sync
// has passed the RecordTotal a slot vouches for, the slot is zeroed again
// (unsynced: a stale slot is harmless), and closing zeroes the last one, so
// a file at rest has zero reserved bytes as before.
//
// Limits. Before the first writable open after a cut, a read-only open or a
// program that does not read the slots may miss the last acknowledged append
// of a table (its RecordTotal was lost); a program that appends to that table
// before then makes the slot stale and the append is lost. A modify still
// pays two syncs: it rewrites a live fixed part in place, and the 16 reserved
// bytes cannot hold a copy of the old or new fixed part to undo or redo it.
constexpr int kTHCommitSlots = kTHReserved;
constexpr int kCommitSlotSize = 8;
constexpr int kCommitSlotCount = 2;
constexpr int kCSNewTotal = 0;
constexpr int kCSChecksum = 4;

// ---- record tab chunk (5124 bytes) --------------------------------------
constexpr int kChunkItems = 1024;
constexpr int kChunkNextOffset = 0;                                        // int32: next chunk, 0 for the last
constexpr int kRecordTabItemSize = 5;                                      // DataOffset int32, DeleteFlag byte
constexpr int kRecordTabChunkSize = 4 + kChunkItems * kRecordTabItemSize;  // 5124

// ---- index tab chunk (8196 bytes) ---------------------------------------
constexpr int kIndexTabItemSize = 8;                                     // RecIndex int32, Next int32 (-1 last)
constexpr int kIndexTabChunkSize = 4 + kChunkItems * kIndexTabItemSize;  // 8196

// ---- record data --------------------------------------------------------
constexpr int kBlobDescriptorSize = 20;  // BlobOffset, BlobSize, AreaSize, 8 reserved
constexpr int kBDOffset = 0;
constexpr int kBDSize = 4;
constexpr int kBDAreaSize = 8;
constexpr int kBlobAreaGranule = 64;

// Bytes reserved for a stored blob of `size` bytes: always a multiple of 64
// and always larger than the value (an empty value gets 64).
constexpr int32_t BlobAreaSize(int32_t size) { return size - (size % kBlobAreaGranule) + kBlobAreaGranule; }

// Byte of the file locked between processes (absolute, not shifted by BaseOffset).
constexpr int64_t kLockByte = 1;

// ---- little-endian access -----------------------------------------------
inline int32_t GetI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}
inline void PutI32(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline int16_t GetI16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }
inline void PutI16(uint8_t* p, int16_t value) {
    const auto v = static_cast<uint16_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline int64_t GetI64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return static_cast<int64_t>(v);
}
inline void PutI64(uint8_t* p, int64_t value) {
    auto v = static_cast<uint64_t>(value);
    for (int i = 0; i < 8; ++i, v >>= 8)
        p[i] = static_cast<uint8_t>(v);
}
inline double GetF64(const uint8_t* p) {
    const int64_t bits = GetI64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline void PutF64(uint8_t* p, double value) {
    int64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutI64(p, bits);
}

// Text of a fixed NUL-terminated array (at most `size` bytes, up to the first NUL).
inline size_t FixedTextLength(const uint8_t* p, size_t size) {
    size_t n = 0;
    while (n < size && p[n] != 0)
        ++n;
    return n;
}

}  // namespace tomedb::format
