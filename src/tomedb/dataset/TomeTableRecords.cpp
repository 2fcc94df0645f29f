// TTomeTable: index selection, record buffers, navigation, bookmarks, blobs.
#include <algorithm>
#include <cstring>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeStructures.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

// ---------------------------------------------------------------------------
// Index selection

int TTomeTable::FindIndexNumber(const std::string& name) const {
    if (!tableIO_ || name.empty())
        return -1;
    return tableIO_->IndexDefs().IndexOf(name);
}

void TTomeTable::SelectIndex() {
    currentIndex_ = FindIndexNumber(indexName_);
    if (currentIndex_ < 0)
        currentIndex_ = tableIO_->PrimaryIndex();
    tableIO_->LoadIndexList(currentIndex_ + 1, false);
    records_ = tableIO_->IndexList(currentIndex_ + 1);
    rangeActive_ = false;
    rangeFieldCount_ = 0;
    position_ = -1;
}

void TTomeTable::SetIndexName(const std::string& value) {
    if (!Active()) {
        indexName_ = value;
        if (value.empty())
            currentIndex_ = -1;
        return;
    }
    CheckBrowseMode();
    indexName_ = value;
    SelectIndex();
    if (masterSource_ && !masterFields_.empty() && masterSource_->Active())
        ApplyRange();
    First();
}

// ---------------------------------------------------------------------------
// Buffers

void TTomeTable::InitNewRecord(TRecordBuffer& buffer) {
    std::fill(buffer.fixed.begin(), buffer.fixed.end(), 0);
    buffer.bookmark = -1;
    const TDateTime now = Now();
    for (int i = 0; i < layout_.Count(); ++i) {
        const auto at = static_cast<size_t>(i);
        uint8_t* slot = buffer.fixed.data() + layout_.offsets[at];
        switch (layout_.types[at]) {
            case ftDate:
                format::PutI32(slot, DateTimeToDayNumber(now));
                break;
            case ftTime:
                format::PutI32(slot, DateTimeToTimeMs(now));
                break;
            case ftDateTime:
                format::PutF64(slot, DateTimeToStoredMs(0));
                break;
            default:
                break;
        }
        if (buffer.blobs[at]) {
            buffer.blobs[at] = std::make_unique<TOptimBlobStream>(tableIO_);
            buffer.blobs[at]->SetSize(0);  // marks it loaded: nothing to read
        }
    }
}

// Items that already point at another record buffer (and own nothing) are
// bound again in place, which spares a scan one allocation per field and record.
void TTomeTable::FillFieldBuffers(TRecordBuffer& buffer, TFieldBuffers& buffers) {
    bool reusable = buffers.Count() == layout_.Count();
    for (int i = 0; reusable && i < buffers.Count(); ++i)
        reusable = !buffers[i].OwnsValue;
    if (!reusable) {
        buffers.Clear();
        for (int i = 0; i < layout_.Count(); ++i)
            buffers.Add();
    }
    for (int i = 0; i < layout_.Count(); ++i) {
        const auto at = static_cast<size_t>(i);
        TFieldBufferItem& item = buffers[i];
        item.FieldType = layout_.types[at];
        item.DataSize = layout_.widths[at];
        item.OwnsValue = false;
        item.Active = true;
        item.Blob = buffer.blobs[at] ? buffer.blobs[at].get() : nullptr;
        item.Data = buffer.blobs[at] ? nullptr : buffer.fixed.data() + layout_.offsets[at];
    }
}

void TTomeTable::ReadRecordInto(TRecordBuffer& buffer, const TElementList& list, int position) {
    // ReadRecord calls nothing back, so one set of items per thread serves
    // every table; they are bound afresh on each call and own nothing.
    thread_local TFieldBuffers buffers;
    FillFieldBuffers(buffer, buffers);
    tableIO_->ReadRecord(buffers, list, position);
    buffer.bookmark = list[static_cast<size_t>(position)].RecIndex;
}

void TTomeTable::BindScanBuffers(TRecordBuffer& buffer, TFieldBuffers& buffers, const std::vector<int>* fields) {
    FillFieldBuffers(buffer, buffers);
    if (!fields)
        return;
    for (int i = 0; i < buffers.Count(); ++i)
        buffers[i].Active = false;
    for (int f : *fields)
        if (f >= 0 && f < buffers.Count())
            buffers[f].Active = true;
}

void TTomeTable::ScanRecordInto(TRecordBuffer& buffer, TFieldBuffers& bound, const TElementList& list, int position) {
    tableIO_->ReadRecord(bound, list, position);
    buffer.bookmark = list[static_cast<size_t>(position)].RecIndex;
}

void TTomeTable::FetchCurrent() {
    if (position_ >= 0 && position_ < static_cast<int>(records_.size())) {
        ReadRecordInto(current_, records_, position_);
        hasCurrent_ = true;
    } else {
        hasCurrent_ = false;
    }
    modified_ = false;
    for (auto& field : fields_)
        field->SetModified(false);
}

TRecordBuffer* TTomeTable::ActiveBuffer() {
    switch (state_) {
        case dsBrowse:
            return hasCurrent_ ? &current_ : nullptr;
        case dsEdit:
        case dsInsert:
            return &current_;
        case dsSetKey:
        case dsFilter:
            return filterTarget_;
        default:
            return nullptr;
    }
}

uint8_t* TTomeTable::FieldSlot(int fieldIndex) {
    TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer || fieldIndex < 0 || fieldIndex >= layout_.Count())
        return nullptr;
    return buffer->fixed.data() + layout_.offsets[static_cast<size_t>(fieldIndex)];
}

std::optional<std::string> TTomeTable::ReadBlobValue(int fieldIndex) {
    TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer || fieldIndex < 0 || fieldIndex >= layout_.Count())
        return std::nullopt;
    TOptimBlobStream* blob = buffer->blobs[static_cast<size_t>(fieldIndex)].get();
    if (!blob)
        DatabaseError("General error");
    return blob->Data();
}

void TTomeTable::WriteBlobValue(int fieldIndex, const std::string& bytes) {
    TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer || fieldIndex < 0 || fieldIndex >= layout_.Count())
        return;
    TOptimBlobStream* blob = buffer->blobs[static_cast<size_t>(fieldIndex)].get();
    if (!blob)
        DatabaseError("General error");
    blob->SetSize(0);  // marks the value loaded so the stored one never replaces it
    blob->Seek(0, TTomeMemoryStream::soBeginning);
    if (!bytes.empty())
        blob->Write(bytes.data(), bytes.size());
    blob->Seek(0, TTomeMemoryStream::soBeginning);
}

void TTomeTable::CheckFieldWrite(const TField& /*field*/) {
    if (state_ == dsEdit || state_ == dsInsert || state_ == dsSetKey || state_ == dsFilter)
        return;
    DatabaseError("Dataset not in edit or insert mode");
}

void TTomeTable::FieldWritten(const TField& /*field*/) {
    if (state_ == dsEdit || state_ == dsInsert)
        modified_ = true;
}

std::unique_ptr<TTomeBlobStream> TTomeTable::CreateBlobStream(TField& field, TBlobStreamMode mode) {
    CheckActive();
    if (!field.IsBlob())
        DatabaseError("General error");
    if (mode != bmRead)
        CheckFieldWrite(field);
    TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer) {
        // No record: an empty stream that writes nowhere.
        static thread_local TOptimBlobStream empty;
        empty.SetSize(0);
        return std::make_unique<TTomeBlobStream>(empty, bmRead);
    }
    TOptimBlobStream& value = *buffer->blobs[static_cast<size_t>(field.Index())];
    TField* target = &field;
    return std::make_unique<TTomeBlobStream>(value, mode, [this, target] {
        target->SetModified(true);
        FieldWritten(*target);
    });
}

// ---------------------------------------------------------------------------
// Navigation

void TTomeTable::DoScroll(int newPosition) {
    position_ = newPosition;
    FetchCurrent();
    for (TTomeTable* detail : std::vector<TTomeTable*>(details_))
        detail->MasterChanged();
}

void TTomeTable::First() {
    CheckActive();
    CheckBrowseMode();
    if (BeforeScroll)
        BeforeScroll(*this);
    DoScroll(records_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = records_.empty();
    if (AfterScroll)
        AfterScroll(*this);
}

void TTomeTable::Last() {
    CheckActive();
    CheckBrowseMode();
    if (BeforeScroll)
        BeforeScroll(*this);
    DoScroll(static_cast<int>(records_.size()) - 1);
    eof_ = true;
    bof_ = records_.empty();
    if (AfterScroll)
        AfterScroll(*this);
}

void TTomeTable::Next() {
    CheckActive();
    CheckBrowseMode();
    if (eof_)
        return;
    if (BeforeScroll)
        BeforeScroll(*this);
    if (position_ + 1 < static_cast<int>(records_.size())) {
        DoScroll(position_ + 1);
        bof_ = false;
    } else {
        eof_ = true;
    }
    if (AfterScroll)
        AfterScroll(*this);
}

void TTomeTable::Prior() {
    CheckActive();
    CheckBrowseMode();
    if (bof_)
        return;
    if (BeforeScroll)
        BeforeScroll(*this);
    if (position_ > 0) {
        DoScroll(position_ - 1);
        eof_ = false;
    } else {
        bof_ = true;
    }
    if (AfterScroll)
        AfterScroll(*this);
}

int TTomeTable::RecNo() const {
    if (!Active() || records_.empty())
        return 0;
    if (state_ == dsInsert)
        return position_ + 1 > 0 ? position_ + 1 : 1;
    return position_ < 0 ? 1 : position_ + 1;
}

void TTomeTable::SetRecNo(int value) {
    CheckActive();
    CheckBrowseMode();
    if (value < 0 || value > RecordCount() || value == RecNo())
        return;
    if (BeforeScroll)
        BeforeScroll(*this);
    // RecNo 0 is "before the first record": the first record is shown with Bof set.
    DoScroll(value == 0 ? (records_.empty() ? -1 : 0) : value - 1);
    bof_ = value <= 1;
    eof_ = records_.empty();
    if (AfterScroll)
        AfterScroll(*this);
}

int TTomeTable::FindEntry(int32_t recIndex) const {
    for (size_t i = 0; i < records_.size(); ++i)
        if (records_[i].RecIndex == recIndex)
            return static_cast<int>(i);
    return -1;
}

int32_t TTomeTable::GetBookmark() const {
    if (!Active() || !hasCurrent_)
        return -1;
    return current_.bookmark;
}

bool TTomeTable::BookmarkValid(int32_t bookmark) const { return Active() && bookmark >= 0 && FindEntry(bookmark) >= 0; }

void TTomeTable::GotoBookmark(int32_t bookmark) {
    CheckActive();
    CheckBrowseMode();
    const int at = FindEntry(bookmark);
    if (at < 0)
        DatabaseError("Bookmark not found");
    if (BeforeScroll)
        BeforeScroll(*this);
    DoScroll(at);
    bof_ = eof_ = false;
    if (AfterScroll)
        AfterScroll(*this);
}

void TTomeTable::Refresh() {
    CheckActive();
    CheckBrowseMode();
    if (BeforeRefresh)
        BeforeRefresh(*this);
    const int32_t bookmark = GetBookmark();
    const bool hadRange = rangeActive_;
    SelectIndex();
    if (hadRange || (masterSource_ && !masterFields_.empty() && masterSource_->Active()))
        ApplyRange();
    if (filtered_)
        ActivateFilter();
    const int at = bookmark >= 0 ? FindEntry(bookmark) : -1;
    DoScroll(at >= 0 ? at : (records_.empty() ? -1 : 0));
    bof_ = position_ <= 0;
    eof_ = records_.empty();
    if (AfterRefresh)
        AfterRefresh(*this);
}

void TTomeTable::RefreshAfterReload() {
    if (!Active())
        return;
    // The layout is unchanged by a rebuild, so field objects stay valid.
    if (state_ == dsEdit || state_ == dsInsert)
        Cancel();
    hasCurrent_ = false;
    Refresh();
}

}  // namespace tomedb
