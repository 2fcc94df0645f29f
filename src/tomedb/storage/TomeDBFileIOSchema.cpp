// Structural operations of the file layer: new images, tables, indexes,
// the comment and extra-data areas.
#include <unistd.h>

#include <cstring>
#include <memory>
#include <random>

#include "tomedb/TomeError.h"
#include "tomedb/dataproc/PasswordCheck.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeDiskMedium.h"
#include "tomedb/storage/TomeMemoryImage.h"

namespace tomedb {

using namespace format;

namespace {

void PutAlgoName(uint8_t* dest, const std::string& name) { PutFixedText(dest, kNameFieldSize, kMaxNameLength, name); }

void FillRandom(uint8_t* dest) {
    std::random_device seed;
    std::mt19937 generator(seed());
    std::uniform_int_distribution<int> value(kRandomFillMin, kRandomFillMax);
    for (int i = 0; i < kRandomFillSize; ++i)
        dest[i] = static_cast<uint8_t>(value(generator));
}

[[noreturn]] void Raise(const char* format, const std::string& arg) {
    throw EDatabaseError(FormatMessage(format, arg.c_str()));
}

}  // namespace

// Encrypts or decrypts the 257 comment bytes in place with a private manager
// (cipher mode 0, key from Password).
void TTomeDBFileIO::CryptComments(uint8_t* comments, const std::string& Password, bool encode) const {
    TEncryptMgr manager;
    manager.SetAlgoName(Algo_.EncryptAlgoName());
    manager.SetMode(0);
    manager.InitKey(Password);
    if (encode)
        manager.EncodeBuffer(comments, comments, kCommentsSize);
    else
        manager.DecodeBuffer(comments, comments, kCommentsSize);
}

std::array<uint8_t, 3821> TTomeDBFileIO::BuildNewImage(bool CompressBlob, uint8_t CompressLevel,
                                                       const std::string& CompressAlgoName, bool Encrypt,
                                                       const std::string& EncryptAlgoName, const std::string& Password,
                                                       bool CRC32) const {
    std::array<uint8_t, kFixedAreaSize> image{};
    std::memcpy(&image[kMagicOffset], kMagic, sizeof kMagic);
    std::memcpy(&image[kVersionOffset], kVersion, sizeof kVersion);
    if (Encrypt) {
        TEncryptMgr manager;  // an unregistered name raises here, before anything is written
        manager.SetAlgoName(EncryptAlgoName);
        manager.SetMode(0);
        manager.InitKey(Password);
        manager.EncodeBuffer(&image[kExtBlockOffset], &image[kExtBlockOffset], kCommentsSize);
    }
    uint8_t* algo = &image[kAlgoBlockOffset];
    algo[kAlgoCompressBlob] = CompressBlob ? 1 : 0;
    algo[kAlgoCompressLevel] = CompressLevel;
    PutAlgoName(algo + kAlgoCompressName, CompressAlgoName);
    algo[kAlgoEncrypt] = Encrypt ? 1 : 0;
    algo[kAlgoEncryptMode] = 0;
    PutAlgoName(algo + kAlgoEncryptName, EncryptAlgoName);
    algo[kAlgoCRC32] = CRC32 ? 1 : 0;
    FillRandom(algo + kAlgoRandomFill);
    PutFixedText(algo + kAlgoPasswordCheck, kPasswordCheckSize, kMaxPasswordCheckLength, PasswordCheckString(Password));
    return image;
}

bool TTomeDBFileIO::CreateDatabase(const std::string& FileName, bool CompressBlob, uint8_t CompressLevel,
                                   const std::string& CompressAlgoName, bool Encrypt,
                                   const std::string& EncryptAlgoName, const std::string& Password, bool CRC32,
                                   TTomeDBMediumType MediumType) {
    const auto image =
        BuildNewImage(CompressBlob, CompressLevel, CompressAlgoName, Encrypt, EncryptAlgoName, Password, CRC32);
    try {
        if (MediumType == mtMemory) {
            TTomeMemoryImage* memory = FindMemoryImage(FileName);
            if (!memory)
                return false;
            memory->Bytes().clear();
            memory->WriteAt(0, image.data(), image.size());
            return true;
        }
        std::unique_ptr<TTomeDiskMedium> file =
            std::make_unique<TTomeDiskMedium>(FileName, TTomeDiskMedium::Mode::CreateTruncate, false, false, 0);
        try {
            file->WriteAt(0, image.data(), image.size());
            file->Flush();
        } catch (const EDatabaseError&) {
            // A file without its whole header is no database: none is left behind.
            file.reset();
            ::unlink(FileName.c_str());
            throw;
        }
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

void TTomeDBFileIO::ValidateFieldItems(const std::vector<TTomeFieldItem>& Items) const {
    if (Items.size() > static_cast<size_t>(kMaxFields))
        throw EDatabaseError("Too many fields");
    if (Items.empty())
        throw EDatabaseError("Field name expected");
    for (const TTomeFieldItem& item : Items) {
        if (!IsAcceptedFieldType(item.FieldType))
            Raise("Field '%s' is of an unsupported type", item.FieldName);
        if (!IsValidName(item.FieldName))
            Raise("Invalid field name '%s'", item.FieldName);
        if (IsStringType(item.FieldType) && (item.DataSize < kMinStringSize || item.DataSize > kMaxStringSize))
            throw EDatabaseError("Invalid field size");
        if (IsBlobType(item.FieldType) && item.DataSize != 0)
            throw EDatabaseError("Invalid field size");
    }
    for (size_t i = 0; i < Items.size(); ++i)
        for (size_t j = i + 1; j < Items.size(); ++j)
            if (SameNameAscii(Items[i].FieldName, Items[j].FieldName))
                Raise("Duplicate field name '%s'", Items[i].FieldName);
    int autoIncs = 0;
    for (const TTomeFieldItem& item : Items)
        autoIncs += item.FieldType == ftAutoInc ? 1 : 0;
    if (autoIncs > 1)
        throw EDatabaseError("Duplicate AutoInc field");
}

bool TTomeDBFileIO::CreateTable(const std::string& TableName, const std::vector<TTomeFieldItem>& Items) {
    if (!IsValidName(TableName))
        Raise("Invalid table name '%s'", TableName);
    std::string autoIncName;
    {
        TTomeFileLock lock(*this);
        ValidateFieldItems(Items);
        ReloadDirectory();
        const int count = Directory_.TableCount();
        if (count >= kMaxTables)
            throw EDatabaseError("Too many tables");
        if (FindTable(TableName) >= 0)
            Raise("Duplicate table name '%s'", TableName);
        TTableHeader header;
        header.SetTableName(TableName);
        header.SetFieldCount(static_cast<int32_t>(Items.size()));
        for (size_t i = 0; i < Items.size(); ++i) {
            const TTomeFieldItem& item = Items[i];
            const int32_t size = IsStringType(item.FieldType) ? item.DataSize : 0;
            header.SetField(static_cast<int>(i), item.FieldName, item.FieldType, size, item.DPMode);
            if (item.FieldType == ftAutoInc)
                autoIncName = header.FieldName(static_cast<int>(i));
        }
        // The header goes first and the directory entry that publishes it last,
        // so an interrupted create never leaves an entry pointing past the end.
        const int64_t end = ImageSize();
        if (end + kTableHeaderSize > kMaxImageSize)
            RaiseDamaged();
        WriteAt(end, header.Bytes.data(), header.Bytes.size());
        Barrier();
        Directory_.SetOffset(count, static_cast<int32_t>(end));
        Directory_.SetTableCount(count + 1);
        WriteDirectory();
        SyncIfDurable();
    }
    if (autoIncName.empty())
        return true;
    // The automatic primary index is part of the table: when it cannot be made
    // (false or an error) the table is dropped again.
    try {
        if (CreateIndex(TableName, autoIncName, tiPrimary, {autoIncName}))
            return true;
    } catch (const EDatabaseError&) {
        DeleteTable(TableName);
        throw;
    }
    DeleteTable(TableName);
    return false;
}

bool TTomeDBFileIO::DeleteTable(const std::string& TableName) {
    if (!IsValidName(TableName))
        Raise("Invalid table name '%s'", TableName);
    TTomeFileLock lock(*this);
    ReloadDirectory();
    const int n = FindTable(TableName);
    if (n < 0)
        Raise("Table '%s' not found", TableName);
    const int count = Directory_.TableCount();
    const int32_t dropped = Directory_.Offset(n);
    for (int i = n; i + 1 < count; ++i)
        Directory_.SetOffset(i, Directory_.Offset(i + 1));
    Directory_.SetTableCount(count - 1);
    WriteDirectory();
    // The header stays in the file; without a name, a search for tables the
    // directory lost does not take it for one.
    const uint8_t noName = 0;
    NamesByOffset_.erase(dropped);
    WriteAt(dropped + kTHTableName, &noName, 1);
    SyncIfDurable();
    return true;
}

void TTomeDBFileIO::CheckIndexRequest(const TTableHeader& header, const std::string& IndexName, TTMIndexOptions Options,
                                      const std::vector<std::string>& FieldNames, int32_t (&fieldIdx)[8]) const {
    const int indexCount = header.IndexCount();
    if (indexCount >= kMaxIndexes)
        throw EDatabaseError("Too many indexes");
    for (int k = 0; k < indexCount; ++k)
        if (SameNameAscii(header.IndexName(k), CutText(IndexName, kMaxNameLength)) ||
            SameNameAscii(header.IndexName(k), IndexName))
            Raise("Duplicate index name '%s'", IndexName);
    if (Options & tiPrimary)
        for (int k = 0; k < indexCount; ++k)
            if (header.IndexOptions(k) & tiPrimary)
                throw EDatabaseError("Duplicate primary index");
    if (header.RecordTotal() > 0)
        throw EDatabaseError("Fail to create index");
    if (FieldNames.empty())
        throw EDatabaseError("Field name expected");
    for (size_t i = 0; i < FieldNames.size(); ++i)
        for (size_t j = i + 1; j < FieldNames.size(); ++j)
            if (SameNameAscii(FieldNames[i], FieldNames[j]))
                Raise("Duplicate field name '%s'", FieldNames[i]);
    for (int j = 0; j < kMaxIndexFields; ++j)
        fieldIdx[j] = -1;
    for (size_t i = 0; i < FieldNames.size(); ++i) {
        int found = -1;
        for (int f = 0; f < header.FieldCount() && found < 0; ++f)
            if (SameNameAscii(header.FieldName(f), FieldNames[i]))
                found = f;
        if (found < 0)
            Raise("Field '%s' not found", FieldNames[i]);
        if (i < static_cast<size_t>(kMaxIndexFields))
            fieldIdx[i] = found;
    }
}

bool TTomeDBFileIO::CreateIndex(const std::string& TableName, const std::string& IndexName, TTMIndexOptions Options,
                                const std::vector<std::string>& FieldNames) {
    if (!IsValidName(TableName))
        Raise("Invalid table name '%s'", TableName);
    if (!IsValidName(IndexName))
        Raise("Invalid index name '%s'", IndexName);
    TTomeFileLock lock(*this);
    ReloadDirectory();
    const int n = FindTable(TableName);
    if (n < 0)
        Raise("Table '%s' not found", TableName);
    TTableHeader header;
    ReadTableHeader(n, header);
    int32_t fieldIdx[kMaxIndexFields];
    CheckIndexRequest(header, IndexName, Options, FieldNames, fieldIdx);
    const int k = header.IndexCount();
    header.SetIndex(k, IndexName, static_cast<uint8_t>(Options & 0x0F), fieldIdx, static_cast<int32_t>(ImageSize()));
    header.SetIndexCount(k + 1);
    // The new index header first; the count that makes it part of the table
    // once it is on disk.
    const int64_t at = TableHeaderOffset(n);
    const int indexHeader = kTHIndexHeaders + kIndexHeaderSize * k;
    WriteAt(at + indexHeader, &header.Bytes[static_cast<size_t>(indexHeader)], kIndexHeaderSize);
    Barrier();
    WriteAt(at + kTHIndexCount, &header.Bytes[kTHIndexCount], 4);
    SyncIfDurable();
    return true;
}

int TTomeDBFileIO::FindTable(const std::string& TableName) const {
    if (!IsOpen())
        return -1;
    const std::string cut = CutText(TableName, kMaxNameLength);
    auto* self = const_cast<TTomeDBFileIO*>(this);
    for (int i = 0; i < Directory_.TableCount(); ++i) {
        TTableHeader header;
        self->ReadTableHeader(i, header);
        const std::string name = header.TableName();
        if (SameNameAscii(name, TableName) || SameNameAscii(name, cut))
            return i;
    }
    return -1;
}

void TTomeDBFileIO::ReadTableHeader(int TableNo, TTableHeader& Header) {
    const int32_t offset = TableHeaderOffset(TableNo);
    if (offset < kFixedAreaSize)
        RaiseDamaged();
    ReadExact(offset, Header.Bytes.data(), Header.Bytes.size());
    // Every reader indexes the field and index tables by these counts.
    if (!Header.CheckSane(ImageSize()))
        RaiseDamaged();
}

void TTomeDBFileIO::WriteTableHeader(int TableNo, const TTableHeader& Header) {
    WriteAt(TableHeaderOffset(TableNo), Header.Bytes.data(), Header.Bytes.size());
}

// Only the name at the start of each header is read, and only once while
// nobody else writes: a header keeps its name where it lies (a new table's
// header goes to the end of the image; a deleted table leaves the directory).
void TTomeDBFileIO::GetTableNames(std::vector<std::string>& List) {
    if (NamesEpoch_ != CacheEpoch_) {
        NamesByOffset_.clear();
        NamesEpoch_ = CacheEpoch_;
    }
    List.clear();
    for (int i = 0; i < Directory_.TableCount(); ++i) {
        const int32_t offset = TableHeaderOffset(i);
        if (offset < kFixedAreaSize)
            RaiseDamaged();
        auto known = NamesByOffset_.find(offset);
        if (known == NamesByOffset_.end()) {
            char name[kNameFieldSize];
            ReadExact(offset + kTHTableName, name, sizeof name);
            known =
                NamesByOffset_
                    .emplace(offset,
                             std::string(name, FixedTextLength(reinterpret_cast<const uint8_t*>(name), sizeof name)))
                    .first;
        }
        List.push_back(known->second);
    }
}

// ---- comments and extra data ----------------------------------------------------

bool TTomeDBFileIO::SetComments(const std::string& Text, const std::string& Password) {
    try {
        TTomeFileLock lock(*this);
        std::array<uint8_t, kExtBlockSize> block;
        ReadExact(kExtBlockOffset, block.data(), block.size());
        uint8_t* comments = &block[kCommentsOffsetInBlock];
        if (Algo_.Encrypt())
            CryptComments(comments, Password, false);
        PutFixedText(comments, kCommentsSize, kMaxCommentLength, Text);
        if (Algo_.Encrypt())
            CryptComments(comments, Password, true);
        WriteAt(kExtBlockOffset, block.data(), block.size());
        SyncIfDurable();
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

bool TTomeDBFileIO::GetComments(std::string& Text, const std::string& Password) {
    try {
        TTomeFileLock lock(*this);
        std::array<uint8_t, kCommentsSize> comments;
        ReadExact(kExtBlockOffset + kCommentsOffsetInBlock, comments.data(), comments.size());
        if (Algo_.Encrypt())
            CryptComments(comments.data(), Password, false);
        Text = GetFixedText(comments.data(), comments.size());
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

bool TTomeDBFileIO::SetExtData(const void* Buffer, int32_t Size) {
    try {
        TTomeFileLock lock(*this);
        std::array<uint8_t, kExtBlockSize> block;
        ReadExact(kExtBlockOffset, block.data(), block.size());
        uint8_t* ext = &block[kExtDataOffsetInBlock];
        std::memset(ext, 0, kExtDataSize);
        const int32_t n = Size < 0 ? 0 : (Size > kExtDataSize ? kExtDataSize : Size);
        if (n > 0)
            std::memcpy(ext, Buffer, static_cast<size_t>(n));
        WriteAt(kExtBlockOffset, block.data(), block.size());
        SyncIfDurable();
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

bool TTomeDBFileIO::GetExtData(void* Buffer) {
    try {
        TTomeFileLock lock(*this);
        ReadExact(kExtBlockOffset + kExtDataOffsetInBlock, Buffer, kExtDataSize);
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

}  // namespace tomedb
