// TTomeTable: Append / Insert / Edit / Post / Cancel / Delete.
#include <algorithm>
#include <optional>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

void TTomeTable::RunWithErrorEvent(const TDataSetErrorEvent& handler, const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return;
        } catch (const EDatabaseError& error) {
            if (!handler)
                throw;
            TDataAction action = daFail;
            handler(*this, error, action);
            if (action == daFail)
                throw;
            if (action == daAbort)
                throw EAbort();
            // daRetry: run the step again
        }
    }
}

void TTomeTable::CheckBrowseMode() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void TTomeTable::StartInsert() {
    CheckActive();
    CheckBrowseMode();
    if (!CanModify())
        DatabaseError("Cannot modify a read-only dataset");
    if (BeforeInsert)
        BeforeInsert(*this);
    InitNewRecord(current_);
    storedForPost_.clear();
    for (auto& field : fields_)
        field->SetModified(false);
    state_ = dsInsert;
    modified_ = false;
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        state_ = dsBrowse;
        FetchCurrent();
        throw;
    }
    if (AfterInsert)
        AfterInsert(*this);
}

void TTomeTable::Append() { StartInsert(); }

void TTomeTable::Insert() { StartInsert(); }

void TTomeTable::Edit() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert)
        return;
    if (records_.empty() || !hasCurrent_) {
        Insert();
        return;
    }
    if (!CanModify())
        DatabaseError("Cannot modify a read-only dataset");
    if (BeforeEdit)
        BeforeEdit(*this);
    RunWithErrorEvent(OnEditError, [this] { FetchCurrent(); });
    state_ = dsEdit;
    modified_ = false;
    if (AfterEdit)
        AfterEdit(*this);
}

void TTomeTable::Post() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert)
        DatabaseError("Dataset not in edit or insert mode");
    if (BeforePost)
        BeforePost(*this);
    // The write and the read-back share one lock period, so no other program
    // can replace the file between them: a replacement is seen before
    // anything is written, and a post that wrote is never reported as failed.
    std::optional<TTomeLockScope> held;
    RunWithErrorEvent(OnPostError, [this, &held] {
        LockedWrite(held, [this] {
            if (state_ == dsInsert)
                PostInsert();
            else
                PostEdit();
        });
    });
    state_ = dsBrowse;
    storedForPost_.clear();
    ReadBackAfterWrite(true);
    held.reset();
    eof_ = bof_ = records_.empty();
    database_->TickAutoFlush();
    if (AfterPost)
        AfterPost(*this);
    for (TTomeTable* detail : std::vector<TTomeTable*>(details_))
        detail->MasterChanged();
}

// Takes the file lock into `held` and writes; a failed write gives the lock
// back before the error handler runs, so that a handler that waits does not
// keep other programs out.
void TTomeTable::LockedWrite(std::optional<TTomeLockScope>& held, const std::function<void()>& write) {
    held.emplace(*database_);
    try {
        write();
    } catch (...) {
        held.reset();
        throw;
    }
}

// Reads the current record after a write that landed. Failing to read it
// does not undo the write, so it is not reported: after a post the buffer
// just written stands for the record, after a delete there is none.
void TTomeTable::ReadBackAfterWrite(bool keepPosted) {
    try {
        FetchCurrent();
    } catch (const EDatabaseError&) {
        const bool onRecord = position_ >= 0 && position_ < static_cast<int>(records_.size());
        hasCurrent_ = keepPosted && onRecord;
        if (hasCurrent_)
            current_.bookmark = records_[static_cast<size_t>(position_)].RecIndex;
        modified_ = false;
        for (auto& field : fields_)
            field->SetModified(false);
    }
}

int TTomeTable::KeySearchPosition(TRecordBuffer& key, bool /*afterEqual*/) {
    if (records_.empty())
        return 0;
    TFieldBuffers buffers;
    FillFieldBuffers(key, buffers);
    int result = -2;
    const int p = tableIO_->SearchIndex(buffers, records_, currentIndex_, result, 0, false);
    if (result == -2 || p < 0)
        return 0;
    return (result == 0 || result == 1) ? p + 1 : p;
}

void TTomeTable::PostInsert() {
    TFieldBuffers buffers;
    FillFieldBuffers(current_, buffers);
    TListElement added{};
    int reported = -1;
    const int current = currentIndex_;
    // Handed again on every try: a failed append drops what it was given.
    for (const auto& [field, stored] : storedForPost_)
        tableIO_->SetPreEncodedBlob(field, stored);
    tableIO_->AppendRecord(
        buffers, false,
        [&added, &reported, current](void*, int indexNumber, int position, const TListElement& element) {
            if (indexNumber == -1)
                added = element;
            if (indexNumber == current && current >= 0)
                reported = position;
        },
        this);
    const int count = static_cast<int>(records_.size());
    if (currentIndex_ < 0) {
        records_.push_back(added);
        if (position_ < 0)
            position_ = static_cast<int>(records_.size()) - 1;
        return;
    }
    int at = 0;
    if (filtered_ || rangeActive_ || reported < 0 || reported > count)
        at = KeySearchPosition(current_, true);
    else
        at = reported;
    at = std::clamp(at, 0, count);
    records_.insert(records_.begin() + at, added);
    position_ = at;
}

void TTomeTable::PostEdit() {
    if (position_ < 0 || position_ >= static_cast<int>(records_.size()))
        DatabaseError("No records");
    const TListElement entry = records_[static_cast<size_t>(position_)];
    const int natural = tableIO_->NaturalPosition(entry.RecIndex);
    if (natural < 0)
        DatabaseError("Record not found");
    TFieldBuffers buffers;
    FillFieldBuffers(current_, buffers);
    int from = -1, to = -1;
    const int current = currentIndex_;
    tableIO_->ModifyRecord(
        buffers, natural,
        [&from, &to, current](void*, int indexNumber, int fromPosition, int toPosition) {
            if (indexNumber == current) {
                from = fromPosition;
                to = toPosition;
            }
        },
        this, false);
    if (currentIndex_ < 0)
        return;
    const bool plain = !filtered_ && !rangeActive_;
    if (plain && from < 0)
        return;  // the entry did not move
    records_.erase(records_.begin() + position_);
    int at = 0;
    if (plain && from == position_) {
        at = to > from ? to - 1 : to;
    } else {
        at = KeySearchPosition(current_, true);
    }
    at = std::clamp(at, 0, static_cast<int>(records_.size()));
    records_.insert(records_.begin() + at, entry);
    position_ = at;
}

void TTomeTable::Cancel() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    if (BeforeCancel)
        BeforeCancel(*this);
    state_ = dsBrowse;
    storedForPost_.clear();
    FetchCurrent();
    if (AfterCancel)
        AfterCancel(*this);
}

void TTomeTable::Delete() {
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (records_.empty())
        DatabaseError("Cannot perform this operation on an empty dataset");
    if (!CanModify())
        DatabaseError("Cannot modify a read-only dataset");
    if (state_ == dsEdit)
        state_ = dsBrowse;  // pending changes are dropped with the record
    if (BeforeDelete)
        BeforeDelete(*this);
    if (BeforeScroll)
        BeforeScroll(*this);
    if (position_ < 0)
        position_ = 0;
    std::optional<TTomeLockScope> held;  // as in Post
    RunWithErrorEvent(OnDeleteError, [this, &held] {
        LockedWrite(held, [this] {
            const int natural = tableIO_->NaturalPosition(records_[static_cast<size_t>(position_)].RecIndex);
            if (natural >= 0)
                tableIO_->DeleteRecord(natural, false);
        });
    });
    records_.erase(records_.begin() + position_);
    if (position_ >= static_cast<int>(records_.size()))
        position_ = static_cast<int>(records_.size()) - 1;
    ReadBackAfterWrite(false);
    held.reset();
    eof_ = bof_ = records_.empty();
    database_->TickAutoFlush();
    if (AfterDelete)
        AfterDelete(*this);
    if (AfterScroll)
        AfterScroll(*this);
    for (TTomeTable* detail : std::vector<TTomeTable*>(details_))
        detail->MasterChanged();
}

}  // namespace tomedb
