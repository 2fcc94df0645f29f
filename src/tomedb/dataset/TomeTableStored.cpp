// TTomeTable: blob values in their stored form, for copying a value from one
// table to another without decoding and encoding it again.
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

namespace {

bool InAnIndex(const TTomeTableIO& table, int field) {
    for (int k = 0; k < table.IndexDefs().Count(); ++k)
        for (int32_t f : table.IndexDefs().At(k).FieldIdxes)
            if (f == field)
                return true;
    return false;
}

bool IsBlobField(const TTomeTableIO& table, int field) {
    return field >= 0 && field < table.FieldDefs().Count() && IsBlobType(table.FieldDefs().At(field).FieldType);
}

}  // namespace

TOptimBlobStream* TTomeTable::BrowsedBlob(int fieldIndex) {
    if (state_ != dsBrowse || !hasCurrent_ || !tableIO_ || !IsBlobField(*tableIO_, fieldIndex) ||
        fieldIndex >= static_cast<int>(current_.blobs.size()))
        return nullptr;
    return current_.blobs[static_cast<size_t>(fieldIndex)].get();
}

bool TTomeTable::ReadBlobInto(int fieldIndex, std::string& out) {
    TOptimBlobStream* blob = BrowsedBlob(fieldIndex);
    if (!blob)
        return false;
    if (blob->Loaded()) {
        out = blob->Data();
    } else if (blob->DescriptorOffset() == 0) {
        out.clear();
    } else {
        tableIO_->LoadBlob(blob->DescriptorOffset(), tableIO_->FieldCompressed(fieldIndex),
                           tableIO_->FieldEncrypted(fieldIndex), out);
    }
    return true;
}

std::optional<std::string> TTomeTable::StoredBlobValue(int fieldIndex) {
    TOptimBlobStream* blob = BrowsedBlob(fieldIndex);
    if (!blob)
        return std::nullopt;
    std::string stored;
    if (blob->DescriptorOffset() != 0)
        tableIO_->ReadStoredBlob(blob->DescriptorOffset(), stored);
    return stored;
}

std::string TTomeTable::DecodeStoredBlobValue(int fieldIndex, const std::string& stored) {
    CheckActive();
    std::string value;
    tableIO_->DecodeStoredBlob(stored, fieldIndex,
                               [&value](const char* piece, size_t size) { value.append(piece, size); });
    return value;
}

bool TTomeTable::StoredBlobHolds(int fieldIndex, const std::string& stored, const std::string& value) {
    CheckActive();
    return tableIO_->StoredBlobHolds(stored, fieldIndex, value);
}

std::unique_ptr<TTomeBlobDecoder> TTomeTable::NewBlobDecoder(int fieldIndex) const {
    if (!tableIO_ || !IsBlobField(*tableIO_, fieldIndex))
        return nullptr;
    return tableIO_->FileIO().NewBlobDecoder(tableIO_->FieldCompressed(fieldIndex),
                                             tableIO_->FieldEncrypted(fieldIndex));
}

bool TTomeTable::SetStoredBlobValue(int fieldIndex, const TTomeTable& source, int sourceField, std::string stored) {
    if (state_ != dsInsert || !tableIO_ || !source.tableIO_)
        return false;
    const TTomeTableIO& to = *tableIO_;
    const TTomeTableIO& from = *source.tableIO_;
    if (&to.FileIO() != &from.FileIO() || to.FileIO().AlgoBlock().CRC32())
        return false;
    if (!IsBlobField(to, fieldIndex) || !IsBlobField(from, sourceField) || InAnIndex(to, fieldIndex))
        return false;
    if (to.FieldCompressed(fieldIndex) != from.FieldCompressed(sourceField) ||
        to.FieldEncrypted(fieldIndex) != from.FieldEncrypted(sourceField))
        return false;
    storedForPost_.emplace_back(fieldIndex, std::move(stored));
    modified_ = true;
    return true;
}

}  // namespace tomedb
