// Opening, closing, locking, raw access and the encode/decode steps of the
// file layer. Table and index creation, comments and extra data are in
// TomeDBFileIOSchema.cpp.
#include "tomedb/storage/TomeDBFileIO.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>

#include "tomedb/TomeError.h"
#include "tomedb/dataproc/PasswordCheck.h"
#include "tomedb/storage/TomeDiskMedium.h"
#include "tomedb/storage/TomeMemoryImage.h"
#include "tomedb/storage/TomeWriteBehind.h"

namespace tomedb {

using namespace format;

TTomeDBFileIO::TTomeDBFileIO(TTomeStorageOwner* owner)
    : Owner_(owner ? owner : &DefaultOwner_), Compress_(this), Encrypt_(this) {
    ConnectProgress();
}

TTomeDBFileIO::~TTomeDBFileIO() {
    for (TTomeWriteObserver* observer : WriteObservers_)
        observer->FileLayerGone();
    try {
        Close();
    } catch (...) {
        // Closing a descriptor cannot be reported from a destructor.
    }
}

void TTomeDBFileIO::ConnectProgress() {
    TTomeStorageOwner* owner = Owner_;
    auto connect = [owner](TProgressEvent& event, TTomeProgressKind kind) {
        if (owner->HasProgressHandler(kind))
            event = [owner, kind](int percent) { owner->Progress(kind, percent); };
    };
    connect(Compress_.OnEncodeProgress, TTomeProgressKind::Compress);
    connect(Compress_.OnDecodeProgress, TTomeProgressKind::Uncompress);
    connect(Encrypt_.OnEncodeProgress, TTomeProgressKind::Encrypt);
    connect(Encrypt_.OnDecodeProgress, TTomeProgressKind::Decrypt);
}

// Steps 4 and 5 of opening: magic and version of the 12-byte FileHeader.
void TTomeDBFileIO::ValidateHeader(TTomeMedium& medium, const std::string& name) {
    uint8_t header[kFileHeaderSize] = {};
    medium.ReadAt(0, header, sizeof header);
    const std::string magic(reinterpret_cast<char*>(header + kMagicOffset),
                            FixedTextLength(header + kMagicOffset, kMagicSize));
    if (magic != kMagic)
        throw EDatabaseError(FormatMessage("Database file '%s' is a invalid TomeDB", name.c_str()));
    const std::string version(reinterpret_cast<char*>(header + kVersionOffset),
                              FixedTextLength(header + kVersionOffset, kVersionSize));
    if (version == kIncompatibleVersion)
        throw EDatabaseError("Version 1.00 is not compatible");
    if (version.compare(kVersion) > 0)
        throw EDatabaseError("Version of database file is too High");
}

void TTomeDBFileIO::Open(const std::string& FileName, TTomeDBMediumType MediumType, int64_t BaseOffset, bool ReadOnly,
                         bool Exclusive) {
    if (IsOpen())
        return;
    MediumType_ = MediumType;
    Exclusive_ = Exclusive;
    ReadOnly_ = ReadOnly;
    BaseOffset_ = BaseOffset;
    if (MediumType == mtMemory) {
        TTomeMemoryImage* image = FindMemoryImage(FileName);
        if (!image)
            throw EDatabaseError(FormatMessage("Invalid database name '%s'", FileName.c_str()));
        ValidateHeader(*image, FileName);
        FileReadOnly_ = false;
        Medium_ = image;
    } else {
        if (!TomeFileExists(FileName))
            throw EDatabaseError(FormatMessage("Cannot open file %s", FileName.c_str()));
        FileReadOnly_ = TomeFileIsReadOnly(FileName);
        // Validated on the descriptor it is opened with: a file that is no
        // database is closed again at once, having been read only.
        auto medium = std::make_unique<TTomeDiskMedium>(FileName, TTomeDiskMedium::Mode::OpenExisting,
                                                        FileReadOnly_ || ReadOnly, Exclusive, BaseOffset);
        ValidateHeader(*medium, FileName);
        OwnedMedium_ = std::move(medium);
        Medium_ = OwnedMedium_.get();
    }
    FileName_ = FileName;
    AbsolutePath_ = MediumType == mtDisk ? AbsolutePathOf(FileName) : std::string();
    Flushed_ = true;
    LoadFixedBlocks();
    SharedMedium_ = MediumType == mtDisk || SeesForeignWrites(*Medium_);
    SettlePending_ = !ReadOnly_ && !FileReadOnly_;
}

void TTomeDBFileIO::OpenMedium(TTomeMedium& Medium, const std::string& DisplayName, bool ReadOnly) {
    if (IsOpen())
        return;
    MediumType_ = mtMemory;
    ReadOnly_ = ReadOnly;
    Exclusive_ = false;
    BaseOffset_ = 0;
    ValidateHeader(Medium, DisplayName);
    FileReadOnly_ = false;
    Medium_ = &Medium;
    FileName_ = DisplayName;
    Flushed_ = true;
    LoadFixedBlocks();
    SharedMedium_ = SeesForeignWrites(Medium);
    SettlePending_ = !ReadOnly_;
}

// Steps 7 and 8: AlgoBlock (once) and TableDirectory.
void TTomeDBFileIO::LoadFixedBlocks() {
    if (ImageSize() < kFixedAreaSize)
        RaiseDamaged();
    ReadExact(kAlgoBlockOffset, Algo_.Bytes.data(), Algo_.Bytes.size());
    SelectAlgorithms();
    ReloadDirectory();
}

void TTomeDBFileIO::SelectAlgorithms() {
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    if (Algo_.CompressBlob())
        Compress_.SetAlgoName(Algo_.CompressAlgoName());
    if (Algo_.Encrypt()) {
        Encrypt_.SetAlgoName(Algo_.EncryptAlgoName());
        if (Algo_.EncryptMode() > 4)
            RaiseDamaged();
        Encrypt_.SetMode(Algo_.EncryptMode());
    }
}

void TTomeDBFileIO::ReloadDirectory() {
    TTableDirectory directory;
    ReadExact(kTableDirectoryOffset, directory.Bytes.data(), directory.Bytes.size());
    const int32_t count = directory.TableCount();
    if (count < 0 || count > kMaxTables)
        RaiseDamaged();
    Directory_ = directory;
}

void TTomeDBFileIO::WriteDirectory() {
    WriteAt(kTableDirectoryOffset, Directory_.Bytes.data(), Directory_.Bytes.size());
}

// The path as it was when opened, so that a later change of the working
// folder cannot make it name another file; empty when that cannot be told.
std::string TTomeDBFileIO::AbsolutePathOf(const std::string& name) {
    if (!name.empty() && name[0] == '/')
        return name;
    char* folder = ::getcwd(nullptr, 0);
    if (!folder)
        return std::string();
    std::string path = std::string(folder) + "/" + name;
    std::free(folder);
    return path;
}

bool TTomeDBFileIO::SeesForeignWrites(TTomeMedium& medium) {
    TTomeMediumStamp probe;
    return medium.ChangeStamp(probe);
}

void TTomeDBFileIO::BufferWrites(size_t limit) {
    if (!IsOpen() || WriteBehind_)
        return;
    CutTail();  // the buffering medium keeps no tail
    WriteBehind_ = std::make_unique<TTomeWriteBehindMedium>(*Medium_, limit);
    Medium_ = WriteBehind_.get();
}

void TTomeDBFileIO::DiscardBufferedWrites() {
    if (WriteBehind_)
        WriteBehind_->Discard();
}

void TTomeDBFileIO::Close() {
    if (!IsOpen())
        return;
    std::exception_ptr failure;
    if (BatchDepth_ > 0) {  // what the batch appended is committed, not dropped
        BatchDepth_ = 1;
        try {
            EndBatch();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    CloseCommitSlots();
    CutTail();
    if (WriteBehind_)
        WriteBehind_->WritePending();
    SharedMedium_ = false;
    if (LockDepth_ > 0)
        Medium_->Unlock();
    LockDepth_ = 0;
    SizeKnown_ = false;
    ++CacheEpoch_;
    StampValid_ = false;
    Unsettled_.clear();
    RecTabMemo_.clear();
    Medium_ = nullptr;
    WriteBehind_.reset();
    OwnedMedium_.reset();
    Flushed_ = true;
    Unsynced_ = false;
    ForeignUnsynced_ = false;
    if (failure)
        std::rethrow_exception(failure);
}

void TTomeDBFileIO::Flush() {
    if (!IsOpen())
        return;
    Medium_->Flush();  // nothing for a memory image; a caller's medium sees the barrier
    if (Unsynced_)
        ++BarrierCount_;
    Unsynced_ = false;
    Flushed_ = true;
    MediumSynced();
}

// ---- durability --------------------------------------------------------------

void TTomeDBFileIO::Barrier() {
    if (!IsOpen() || !Unsynced_ || BatchDepth_ > 0 || Unpublished_)
        return;
    Medium_->Flush();
    Unsynced_ = false;
    ++BarrierCount_;
    MediumSynced();
}

void TTomeDBFileIO::BeginBatch() {
    if (!IsOpen())
        return;
    Lock();
    Barrier();
    ++BatchDepth_;
}

void TTomeDBFileIO::EndBatch() {
    if (!IsOpen() || BatchDepth_ == 0)
        return;
    if (--BatchDepth_ > 0) {
        Unlock();
        return;
    }
    try {
        Barrier();
        const std::vector<TTomeWriteObserver*> observers = WriteObservers_;
        for (TTomeWriteObserver* observer : observers)
            observer->CommitBatch();
        Barrier();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

// ---- lock ------------------------------------------------------------------

bool TTomeDBFileIO::TryLockOnce() { return Medium_->TryLock(); }

void TTomeDBFileIO::Lock() {
    if (!IsOpen())
        return;
    if (LockDepth_++ > 0)
        return;
    WroteUnderLock_ = false;  // a new lock period: its first write is checked again
    if (SharedMedium_)
        TakeFileLock();
    if (SettlePending_) {
        SettlePending_ = false;
        if (SettleOnUse_)
            Unsettled_.assign(static_cast<size_t>(Directory_.TableCount()), true);
        else
            SettleInterruptedAppends();
    }
}

void TTomeDBFileIO::TakeFileLock() {
    int failures = 0;
    while (!TryLockOnce()) {
        ++failures;
        const int32_t retries = Owner_->LockRetryCount();
        if (retries > 0 && failures > retries) {  // 0 (and a negative count) waits for ever
            LockDepth_ = 0;
            throw EDatabaseError("Wait for unlock time out");
        }
        const int32_t wait = Owner_->LockWaitTime();
        std::this_thread::sleep_for(std::chrono::milliseconds(wait > 0 ? wait : 0));
    }
    const uint64_t epochBefore = CacheEpoch_;
    const uint64_t linksBefore = StampValid_ ? LastStamp_.Links : 0;
    CheckForeignWrites();
    // A file renamed over ours, or ours moved or deleted, takes a name from
    // our file and so changes its link count and change time: the path is
    // looked up only then, not in every lock period.
    if (CacheEpoch_ != epochBefore || !StampValid_ || LastStamp_.Links != linksBefore)
        CheckStillAtPath();
}

// Another process that rebuilt the database renamed a new file over ours;
// this object is left on the old, unlinked file, where anything it wrote
// would be lost. A file that was moved or deleted has no successor to
// compare with and is let be.
void TTomeDBFileIO::CheckStillAtPath() {
    if (MediumType_ != mtDisk || !StampValid_ || AbsolutePath_.empty())
        return;
    struct stat atPath {};
    if (::stat(AbsolutePath_.c_str(), &atPath) != 0)
        return;
    if (static_cast<uint64_t>(atPath.st_ino) == LastStamp_.Inode &&
        static_cast<uint64_t>(atPath.st_dev) == LastStamp_.Device)
        return;
    Medium_->Unlock();
    LockDepth_ = 0;
    StampValid_ = false;  // so the next lock period looks at the path again
    throw EDatabaseError(FormatMessage("Database file '%s' was replaced by another program; close it and open it again",
                                       FileName_.c_str()));
}

// A file deleted while open still takes writes through its descriptor, and
// they vanish with the last close: refuse them, so the caller keeps what it
// meant to write. Reading goes on. Asked once per lock period, at its first
// write; a file that was only moved keeps its name count and is written.
void TTomeDBFileIO::RefuseWriteToDeletedFile() {
    if (MediumType_ != mtDisk)
        return;
    TTomeMediumStamp now;
    if (!Medium_->ChangeStamp(now) || now.Links > 0)
        return;
    throw EDatabaseError(FormatMessage("Database file '%s' was deleted while open; nothing more can be written to it",
                                       FileName_.c_str()));
}

void TTomeDBFileIO::Unlock() {
    if (!IsOpen() || LockDepth_ == 0)
        return;
    if (--LockDepth_ > 0)
        return;
    if (!SharedMedium_)
        return;
    SizeKnown_ = false;
    RestampAfterOwnWrites();
    Medium_->Unlock();
}

// Runs once the outermost lock is held: nobody else can write until Unlock, so
// a file whose change counter, size, times and identity are as this object
// left them still holds the bytes the tables cached. The counter settles what
// coarse file times cannot (two writes within one tick).
void TTomeDBFileIO::CheckForeignWrites() {
    WroteUnderLock_ = false;
    SizeKnown_ = false;
    TTomeMediumStamp now;
    const bool valid = Medium_->ChangeStamp(now);
    const uint32_t counter = valid ? ReadChangeCounter() : 0;
    if (!valid || !StampValid_ || counter != LastChangeCounter_ || !now.SameFileState(LastStamp_)) {
        ++CacheEpoch_;
        ForeignUnsynced_ = true;  // maybe another writer's, left unsynced
    }
    LastStamp_ = now;
    LastChangeCounter_ = counter;
    StampValid_ = valid;
}

// Our own writes change the file times; take them as the new baseline before
// others may write, so that they do not look like someone else's. Our writes
// never change the file's names: if they changed meanwhile (a program that
// does not lock renamed a file over ours), the baseline is dropped so that
// the next lock period looks at the path.
void TTomeDBFileIO::RestampAfterOwnWrites() {
    if (!WroteUnderLock_ || !StampValid_)
        return;
    WroteUnderLock_ = false;
    const uint64_t links = LastStamp_.Links;
    StampValid_ = Medium_->ChangeStamp(LastStamp_) && LastStamp_.Links == links;
}

// A counter that cannot be read (a cut image) reads as one nobody wrote, so
// that whatever was cached is dropped.
uint32_t TTomeDBFileIO::ReadChangeCounter() {
    uint8_t bytes[4];
    if (Medium_->ReadAt(kTableDirectoryOffset + kDirChangeCounter, bytes, 4) != 4)
        return LastChangeCounter_ + 0x80000000u;
    return static_cast<uint32_t>(GetI32(bytes));
}

// Advances the change counter before the first write of a lock period (and
// before every write made without the lock), on media that others may share.
void TTomeDBFileIO::CountChange() {
    if (!SharedMedium_)
        return;
    const uint32_t next = (LockDepth_ > 0 ? LastChangeCounter_ : ReadChangeCounter()) + 1;
    uint8_t bytes[4];
    PutI32(bytes, static_cast<int32_t>(next));
    Medium_->WriteAt(kTableDirectoryOffset + kDirChangeCounter, bytes, 4);
    LastChangeCounter_ = next;
    Directory_.SetChangeCounter(next);
}

void TTomeDBFileIO::AddWriteObserver(TTomeWriteObserver* Observer) {
    if (std::find(WriteObservers_.begin(), WriteObservers_.end(), Observer) == WriteObservers_.end())
        WriteObservers_.push_back(Observer);
}

void TTomeDBFileIO::RemoveWriteObserver(TTomeWriteObserver* Observer) {
    WriteObservers_.erase(std::remove(WriteObservers_.begin(), WriteObservers_.end(), Observer), WriteObservers_.end());
}

bool TTomeDBFileIO::ReserveCache(size_t Bytes) {
    if (Bytes > kRecordCacheLimit - CacheBytes_)
        return false;
    CacheBytes_ += Bytes;
    return true;
}

void TTomeDBFileIO::ReleaseCache(size_t Bytes) { CacheBytes_ -= Bytes < CacheBytes_ ? Bytes : CacheBytes_; }

bool TTomeDBFileIO::CheckPassword(const std::string& Password) {
    if (!IsOpen())
        return false;
    if (!Algo_.Encrypt())
        return true;
    if (PasswordCheckString(Password) != Algo_.PasswordCheck())
        return false;
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    Encrypt_.InitKey(Password);
    return true;
}

// ---- raw access --------------------------------------------------------------

void TTomeDBFileIO::RaiseDamaged() const {
    throw EDatabaseError(FormatMessage("Database file '%s' is damaged", FileName_.c_str()));
}

void TTomeDBFileIO::ReadExact(int64_t Position, void* Buffer, size_t Count) {
    if (!IsOpen())
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (Position < 0 || Position > kMaxImageSize)
        RaiseDamaged();
    if (Medium_->ReadAt(Position, Buffer, Count) != Count)
        RaiseDamaged();
}

void TTomeDBFileIO::WriteAt(int64_t Position, const void* Buffer, size_t Count) {
    if (!IsOpen())
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (ReadOnly_ || FileReadOnly_)
        throw EDatabaseError("Cannot modify a read-only database");
    if (MediumType_ == mtDisk)
        Flushed_ = false;  // a memory image is always "flushed"
    if (!Unsettled_.empty() && !Settling_)
        SettleRemainingTables();
    RecTabMemo_.clear();
    Unsynced_ = true;
    if (LockDepth_ == 0 || !WroteUnderLock_)
        RefuseWriteToDeletedFile();
    // What another writer left unsynced (a one-sync append's RecordTotal among
    // it) reaches the disk before this object changes anything it covers.
    if (ForeignUnsynced_ && !Unpublished_) {
        if (AnyCommitSlotInUse()) {
            Medium_->Flush();
            ++BarrierCount_;
            MediumSynced();
        } else {
            ForeignUnsynced_ = false;  // no slot vouches for anything unsynced
        }
    }
    try {
        if (LockDepth_ == 0 || !WroteUnderLock_)
            CountChange();
        if (LockDepth_ > 0)
            WroteUnderLock_ = true;
        else
            StampValid_ = false;  // an unlocked write: no baseline until the next lock
        Medium_->WriteAt(Position, Buffer, Count);
    } catch (...) {
        ++CacheEpoch_;  // a failed write may have changed some of the bytes
        SizeKnown_ = false;
        throw;
    }
    if (SizeKnown_)
        KnownSize_ = std::max<int64_t>(KnownSize_, Position + static_cast<int64_t>(Count));
    for (TTomeWriteObserver* observer : WriteObservers_)
        observer->ImageWritten(Position, static_cast<const uint8_t*>(Buffer), Count);
}

void TTomeDBFileIO::WriteCount(int64_t Position, int32_t From, int32_t To) {
    uint8_t bytes[4];
    PutI32(bytes, To);
    const int64_t absolute = BaseOffset_ + Position;
    const auto low = static_cast<size_t>(kSectorSize - absolute % kSectorSize);  // bytes before the boundary
    if (low >= sizeof bytes) {
        WriteAt(Position, bytes, sizeof bytes);
        return;
    }
    // Little-endian: the high bytes lie past the boundary. Growing, they go
    // first (a cut leaves the new high bytes over the old low ones: no
    // less than From); shrinking, they go last (no less than To).
    const bool highFirst = To > From;
    for (int step = 0; step < 2; ++step) {
        if (step == 1)
            Barrier();
        if ((step == 0) == highFirst)
            WriteAt(Position + static_cast<int64_t>(low), bytes + low, sizeof bytes - low);
        else
            WriteAt(Position, bytes, low);
    }
}

// While the lock is held only this object can change the size, so it is
// asked of the medium once per lock period and then kept up by WriteAt.
int64_t TTomeDBFileIO::ImageSize() {
    if (!IsOpen())
        throw EDatabaseError("Cannot perform this operation on a closed database");
    if (LockDepth_ == 0 || !SharedMedium_)
        return Medium_->Size();
    if (!SizeKnown_) {
        KnownSize_ = Medium_->Size();
        SizeKnown_ = true;
    }
    return KnownSize_;
}

int32_t TTomeDBFileIO::TableHeaderOffset(int TableNo) const {
    if (TableNo < 0 || TableNo >= Directory_.TableCount())
        throw EDatabaseError(FormatMessage("Table number %d out of range", TableNo));
    return Directory_.Offset(TableNo);
}

// ---- encode / decode -----------------------------------------------------------

void TTomeDBFileIO::EncodeStream(const std::string& Source, std::string& Dest, bool Compress, bool Encrypt) {
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    if (!Compress && !Encrypt) {
        Dest = Source;
        return;
    }
    std::string packed;
    const std::string* input = &Source;
    if (Compress) {
        Compress_.EncodeStream(Source, packed);
        input = &packed;
    }
    if (Encrypt)
        Encrypt_.EncodeStream(*input, Dest);
    else
        Dest.swap(packed);
}

void TTomeDBFileIO::DecodeStream(const std::string& Source, std::string& Dest, bool Compress, bool Encrypt) {
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    if (!Compress && !Encrypt) {
        Dest = Source;
        return;
    }
    std::string plain;
    const std::string* input = &Source;
    if (Encrypt) {
        Encrypt_.DecodeStream(Source, plain);
        input = &plain;
    }
    if (Compress)
        Compress_.DecodeStream(*input, Dest);
    else
        Dest.swap(plain);
}

void TTomeDBFileIO::DecodeStreamInPieces(const std::string& Source, bool Compress, bool Encrypt,
                                         const TPieceSink& Sink) {
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    std::string plain;
    const std::string* input = &Source;
    if (Encrypt) {
        Encrypt_.DecodeStream(Source, plain);
        input = &plain;
    }
    if (Compress)
        Compress_.DecodeInPieces(*input, Sink);
    else if (!input->empty())
        Sink(input->data(), input->size());
}

bool TTomeDBFileIO::StoredFormHolds(const std::string& Stored, const std::string& Value, bool Compress, bool Encrypt) {
    if (Stored.empty())
        return Value.empty();  // an empty value is stored as nothing, whatever the steps
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    std::string plain;
    const std::string* packed = &Stored;
    if (Encrypt) {
        Encrypt_.DecodeStream(Stored, plain);
        packed = &plain;
    }
    if (!Compress)
        return *packed == Value;
    if (Compress_.Algo() && Compress_.Algo()->RulesOut(*packed, Value))
        return false;
    std::string decoded;
    Compress_.DecodeStream(*packed, decoded);
    return decoded == Value;
}

std::unique_ptr<TTomeBlobDecoder> TTomeDBFileIO::NewBlobDecoder(bool Compress, bool Encrypt) {
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    std::unique_ptr<TCompressAlgo> compress;
    std::unique_ptr<TEncryptAlgo> encrypt;
    if (Compress && !(Compress_.Algo() && (compress = Compress_.Algo()->NewDecoder())))
        return nullptr;
    if (Encrypt && !(Encrypt_.Algo() && (encrypt = Encrypt_.Algo()->KeyedCopy())))
        return nullptr;
    return std::make_unique<TTomeBlobDecoder>(std::move(compress), std::move(encrypt),
                                              FormatMessage("Database file '%s' is damaged", FileName_.c_str()));
}

void TTomeDBFileIO::EncodeBuffer(const void* Source, void* Dest, bool Encrypt, size_t Size) {
    if (!Encrypt) {
        if (Source != Dest)
            std::memmove(Dest, Source, Size);
        return;
    }
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    Encrypt_.EncodeBuffer(Source, Dest, Size);
}

void TTomeDBFileIO::DecodeBuffer(const void* Source, void* Dest, bool Encrypt, size_t Size) {
    if (!Encrypt) {
        if (Source != Dest)
            std::memmove(Dest, Source, Size);
        return;
    }
    std::lock_guard<std::recursive_mutex> guard(ProcessLock_);
    Encrypt_.DecodeBuffer(Source, Dest, Size);
}

}  // namespace tomedb
