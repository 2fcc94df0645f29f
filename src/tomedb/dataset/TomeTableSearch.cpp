// TTomeTable: filters, key search, FindRecord, Locate, Lookup and ranges.
#include <algorithm>
#include <cmath>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeTable.h"
#include "tomedb/filter/FilterParser.h"
#include "tomedb/filter/KeyFilter.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {
namespace {

// Enters a transient state (key, filter) with a buffer of its own and leaves it
// again whatever happens.
class TStateScope {
public:
    TStateScope(TDataSetState& state, TRecordBuffer*& target, TDataSetState temporary, TRecordBuffer* buffer)
        : state_(state), target_(target), savedState_(state), savedTarget_(target) {
        state_ = temporary;
        target_ = buffer;
    }
    ~TStateScope() {
        state_ = savedState_;
        target_ = savedTarget_;
    }
    TStateScope(const TStateScope&) = delete;
    TStateScope& operator=(const TStateScope&) = delete;

private:
    TDataSetState& state_;
    TRecordBuffer*& target_;
    TDataSetState savedState_;
    TRecordBuffer* savedTarget_;
};

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : names) {
        if (c == ';') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    for (std::string& p : parts) {
        const size_t start = p.find_first_not_of(' ');
        const size_t end = p.find_last_not_of(' ');
        p = start == std::string::npos ? std::string() : p.substr(start, end - start + 1);
    }
    return parts;
}

}  // namespace

// ---------------------------------------------------------------------------
// Filters

bool TTomeTable::RecordPasses() {
    bool accept = true;
    if (OnFilterRecord)
        OnFilterRecord(*this, accept);
    if (accept && !filter_.empty())
        accept = parser_->Evaluate(filterOptions_);
    return accept;
}

// The records whose stored key passes, in list order, without evaluating the
// expression tree for each of them.
void TTomeTable::ScanByIntegerKey(const TIntegerKeyFilter& keys, TElementList& passed) {
    TTomeFileLock lock(*database_->FileIO());
    const int field = keys.Field();
    const auto width = static_cast<size_t>(layout_.widths[static_cast<size_t>(field)]);
    const std::vector<int64_t>* column = tableIO_->IntegerKeyColumn(field);
    const int count = static_cast<int>(records_.size());
    for (int i = 0; i < count; ++i) {
        const TListElement& element = records_[static_cast<size_t>(i)];
        const auto record = static_cast<size_t>(element.RecIndex);
        const bool passes = column && record < column->size()
                                ? keys.PassesValue((*column)[record])
                                : keys.Passes(tableIO_->FieldBytes(element, field), width);
        if (passes)
            passed.push_back(element);
        if (OnFilterProgress) {
            position_ = i;
            OnFilterProgress(*this, i * 100 / count);
        }
    }
}

bool TTomeTable::FilterScanFields(std::vector<int>& fields) const {
    if (OnFilterRecord)
        return false;
    fields = parser_->Nodes().FieldIndexes();
    return true;
}

void TTomeTable::ActivateFilter() {
    if (filter_.empty() && !OnFilterRecord) {  // nothing can reject a record
        position_ = -1;
        First();
        return;
    }
    if (!filter_.empty())
        parser_->Parse(filter_);
    TElementList passed;
    TIntegerKeyFilter keys;
    if (!OnFilterRecord && keys.Recognise(parser_->Nodes())) {
        ScanByIntegerKey(keys, passed);
    } else {
        TStateScope scope(state_, filterTarget_, dsFilter, &filterBuffer_);
        // One file lock for the whole scan: the per-record reads nest inside
        // it instead of taking and releasing the lock once per record.
        TTomeFileLock lock(*database_->FileIO());
        std::vector<int> fields;
        TFieldBuffers bound;
        BindScanBuffers(filterBuffer_, bound, FilterScanFields(fields) ? &fields : nullptr);
        const int count = static_cast<int>(records_.size());
        for (int i = 0; i < count; ++i) {
            position_ = i;
            ScanRecordInto(filterBuffer_, bound, records_, i);
            if (RecordPasses())
                passed.push_back(records_[static_cast<size_t>(i)]);
            if (OnFilterProgress)
                OnFilterProgress(*this, i * 100 / count);
        }
    }
    if (passed.size() != records_.size())
        records_ = std::move(passed);
    position_ = -1;
    First();
}

void TTomeTable::DeactivateFilter() {
    SelectIndex();
    position_ = -1;
    First();
}

void TTomeTable::SetFiltered(bool value) {
    if (!Active()) {
        filtered_ = value;
        return;
    }
    CheckBrowseMode();
    if (value != filtered_) {
        if (value) {
            try {
                ActivateFilter();
            } catch (...) {
                position_ = -1;
                First();
                throw;
            }
        } else {
            DeactivateFilter();
        }
        filtered_ = value;
    }
    First();
}

void TTomeTable::SetFilter(const std::string& value) {
    if (Active()) {
        CheckBrowseMode();
        if (!value.empty())
            parser_->Parse(value);
    }
    const std::string previous = filter_;
    filter_ = value;
    if (!Active() || !filtered_ || previous == value)
        return;
    try {
        DeactivateFilter();
        ActivateFilter();
    } catch (...) {
        filter_ = previous;
        position_ = -1;
        First();
        throw;
    }
}

void TTomeTable::SetFilterOptions(TFilterOptions value) {
    if (Active())
        CheckBrowseMode();
    const TFilterOptions previous = filterOptions_;
    filterOptions_ = value;
    if (!Active() || !filtered_ || previous == value)
        return;
    DeactivateFilter();
    ActivateFilter();
}

// ---------------------------------------------------------------------------
// Key search

void TTomeTable::FillKeyBuffer(TRecordBuffer& key, const TVariantArray& values, int index) {
    InitNewRecord(key);
    const TTomeIndexDef& def = tableIO_->IndexDefs().At(index);
    TStateScope scope(state_, filterTarget_, dsSetKey, &key);
    for (size_t i = 0; i < def.FieldIdxes.size(); ++i) {
        TField& field = *fields_.at(static_cast<size_t>(def.FieldIdxes[i]));
        if (i < values.size())
            field.SetAsVariant(values[i]);
        else
            field.Clear();
    }
}

bool TTomeTable::FindKey(const TVariantArray& values) {
    CheckActive();
    CheckBrowseMode();
    if (currentIndex_ < 0)
        Error("No index currently active");
    FillKeyBuffer(keyBuffers_[0], values, currentIndex_);
    rangeFieldCount_ = rangeActive_ ? rangeFieldCount_ : 0;
    keyFieldCount_ = static_cast<int>(values.size());
    return GotoKey();
}

void TTomeTable::SetKey() {
    CheckActive();
    CheckBrowseMode();
    if (currentIndex_ < 0)
        Error("No index currently active");
    InitNewRecord(keyBuffers_[0]);
    keyFieldCount_ = static_cast<int>(tableIO_->IndexDefs().At(currentIndex_).FieldIdxes.size());
    state_ = dsSetKey;
    filterTarget_ = &keyBuffers_[0];
}

void TTomeTable::EditKey() { SetKey(); }

bool TTomeTable::GotoKey() {
    CheckActive();
    if (state_ == dsSetKey) {
        state_ = dsBrowse;
        filterTarget_ = nullptr;
    }
    CheckBrowseMode();
    if (currentIndex_ < 0)
        Error("No index currently active");
    if (BeforeScroll)
        BeforeScroll(*this);
    TFieldBuffers buffers;
    FillFieldBuffers(keyBuffers_[0], buffers);
    const int keyFields = static_cast<int>(tableIO_->IndexDefs().At(currentIndex_).FieldIdxes.size());
    const int count = keyFieldCount_ > 0 ? std::min(keyFieldCount_, keyFields) : keyFields;
    int result = -2;
    const int at = tableIO_->SearchIndexBound(buffers, records_, currentIndex_, true, result, count, false);
    if (result != 0 || at < 0)
        return false;
    DoScroll(at);
    bof_ = eof_ = false;
    if (AfterScroll)
        AfterScroll(*this);
    return true;
}

// ---------------------------------------------------------------------------
// Record search

bool TTomeTable::FindRecord(bool restart, bool forward) {
    CheckActive();
    CheckBrowseMode();
    if (BeforeScroll)
        BeforeScroll(*this);
    if (!filter_.empty())
        parser_->Parse(filter_);
    const int count = static_cast<int>(records_.size());
    int found = -1;
    {
        TStateScope scope(state_, filterTarget_, dsFilter, &filterBuffer_);
        TTomeFileLock lock(*database_->FileIO());
        std::vector<int> fields;
        TFieldBuffers bound;
        BindScanBuffers(filterBuffer_, bound, FilterScanFields(fields) ? &fields : nullptr);
        int i = forward ? (restart ? 0 : position_ + 1) : (restart ? count - 1 : position_ - 1);
        for (; i >= 0 && i < count; i += forward ? 1 : -1) {
            ScanRecordInto(filterBuffer_, bound, records_, i);
            if (RecordPasses()) {
                found = i;
                break;
            }
        }
    }
    if (found < 0)
        return false;
    DoScroll(found);
    bof_ = eof_ = false;
    if (AfterScroll)
        AfterScroll(*this);
    return true;
}

// ---------------------------------------------------------------------------
// Locate and Lookup

std::vector<int> TTomeTable::ParseFieldList(const std::string& names) const {
    std::vector<int> result;
    for (const std::string& name : SplitNames(names))
        result.push_back(FieldByName(name).Index());
    return result;
}

int TTomeTable::LocateRecord(const std::vector<int>& fields, const TVariantArray& values, TLocateOptions options) {
    TRecordBuffer& scratch = keyBuffers_[3];
    InitNewRecord(scratch);
    {
        TStateScope scope(state_, filterTarget_, dsFilter, &scratch);
        for (size_t i = 0; i < fields.size(); ++i)
            fields_.at(static_cast<size_t>(fields[i]))->SetAsVariant(i < values.size() ? values[i] : TVariant());
    }
    const bool caseInsensitive = options & loCaseInsensitive;
    const bool partial = options & loPartialKey;
    bool anyString = false;
    for (int f : fields)
        anyString |= IsStringType(layout_.types[static_cast<size_t>(f)]);
    const TTomeIndexDefs& indexes = tableIO_->IndexDefs();
    for (int k = 0; k < indexes.Count(); ++k) {
        const TTomeIndexDef& def = indexes.At(k);
        if (def.FieldIdxes.size() != fields.size() || !std::equal(fields.begin(), fields.end(), def.FieldIdxes.begin()))
            continue;
        if (anyString && ((def.Options & tiCaseInsensitive) != 0) != caseInsensitive)
            continue;
        TFieldBuffers buffers;
        FillFieldBuffers(scratch, buffers);
        tableIO_->LoadIndexList(k + 1, false);
        const TElementList& full = tableIO_->IndexList(k + 1);
        int result = -2;
        const int at =
            tableIO_->SearchIndexBound(buffers, full, k, true, result, static_cast<int>(fields.size()), partial);
        if (result != 0 || at < 0)
            return -1;
        return FindEntry(full[static_cast<size_t>(at)].RecIndex);
    }
    // No usable index: scan the record list.
    TStateScope scope(state_, filterTarget_, dsFilter, &filterBuffer_);
    TTomeFileLock lock(*database_->FileIO());
    TFieldBuffers bound;
    BindScanBuffers(filterBuffer_, bound, &fields);
    for (int i = 0; i < static_cast<int>(records_.size()); ++i) {
        ScanRecordInto(filterBuffer_, bound, records_, i);
        bool equal = true;
        for (int f : fields) {
            const auto at = static_cast<size_t>(f);
            std::string left, right;
            const void *l = nullptr, *r = nullptr;
            size_t ls = 0, rs = 0;
            if (scratch.blobs[at]) {
                left = scratch.blobs[at]->Data();
                right = filterBuffer_.blobs[at]->Data();
                l = left.data(), r = right.data(), ls = left.size(), rs = right.size();
            } else {
                l = scratch.fixed.data() + layout_.offsets[at];
                r = filterBuffer_.fixed.data() + layout_.offsets[at];
                ls = rs = static_cast<size_t>(layout_.widths[at]);
            }
            if (TTomeTableIO::CompareFieldValues(l, ls, r, rs, layout_.types[at], caseInsensitive, partial) != 0) {
                equal = false;
                break;
            }
        }
        if (equal)
            return i;
    }
    return -1;
}

bool TTomeTable::Locate(const std::string& keyFields, const TVariantArray& values, TLocateOptions options) {
    CheckActive();
    CheckBrowseMode();
    const std::vector<int> fields = ParseFieldList(keyFields);
    if (BeforeScroll)
        BeforeScroll(*this);
    const int at = LocateRecord(fields, values, options);
    if (at < 0)
        return false;
    DoScroll(at);
    bof_ = eof_ = false;
    if (AfterScroll)
        AfterScroll(*this);
    return true;
}

TVariantArray TTomeTable::Lookup(const std::string& keyFields, const TVariantArray& values,
                                 const std::string& resultFields) {
    CheckActive();
    CheckBrowseMode();
    const std::vector<int> fields = ParseFieldList(keyFields);
    const std::vector<int> results = ParseFieldList(resultFields);
    const int at = LocateRecord(fields, values, 0);
    TVariantArray out;
    if (at < 0) {
        out.resize(results.size());
        return out;
    }
    TStateScope scope(state_, filterTarget_, dsFilter, &filterBuffer_);
    ReadRecordInto(filterBuffer_, records_, at);
    for (int r : results)
        out.push_back(fields_.at(static_cast<size_t>(r))->AsVariant());
    return out;
}

// ---------------------------------------------------------------------------
// Master-detail ranges

void TTomeTable::MasterChanged() {
    if (!Active() || !masterSource_ || masterFields_.empty())
        return;
    if (state_ == dsEdit || state_ == dsInsert)
        CheckBrowseMode();
    if (masterSource_->Active()) {
        ApplyRange();
    } else if (rangeActive_) {
        CancelRange();
    }
}

void TTomeTable::CancelRange() {
    SelectIndex();
    if (filtered_)
        ActivateFilter();
    else
        First();
}

void TTomeTable::ApplyRange() {
    if (currentIndex_ < 0)
        Error("No index currently active");
    const std::vector<int> masterFields = masterSource_->ParseFieldList(masterFields_);
    SelectIndex();  // drops a filtered list; Filtered itself keeps its value
    const TTomeIndexDef& def = tableIO_->IndexDefs().At(currentIndex_);
    const size_t n = std::min(masterFields.size(), def.FieldIdxes.size());
    TVariantArray values;
    for (size_t i = 0; i < n; ++i)
        values.push_back(masterSource_->Fields(masterFields[i]).AsVariant());
    FillKeyBuffer(keyBuffers_[1], values, currentIndex_);
    FillKeyBuffer(keyBuffers_[2], values, currentIndex_);
    rangeFieldCount_ = static_cast<int>(n);
    if (!records_.empty()) {
        const TElementList& full = tableIO_->IndexList(currentIndex_ + 1);
        TFieldBuffers start, end;
        FillFieldBuffers(keyBuffers_[1], start);
        FillFieldBuffers(keyBuffers_[2], end);
        int r1 = -2, r2 = -2;
        int first = tableIO_->SearchIndexBound(start, full, currentIndex_, true, r1, rangeFieldCount_, false);
        int last = tableIO_->SearchIndexBound(end, full, currentIndex_, false, r2, rangeFieldCount_, false);
        if (first >= 0 && last >= 0) {
            if (r1 == 1)
                ++first;
            if (r2 == -1)
                --last;
            TElementList ranged;
            for (int i = first; i <= last && i < static_cast<int>(full.size()); ++i)
                ranged.push_back(full[static_cast<size_t>(i)]);
            records_ = std::move(ranged);
        }
    }
    rangeActive_ = true;
    position_ = -1;
    First();
}

}  // namespace tomedb
