// TTomeTable: construction, properties, opening and closing, field objects.
#include "tomedb/dataset/TomeTable.h"

#include <algorithm>

#include "tomedb/TomeError.h"
#include "tomedb/dataset/TomeDatabase.h"
#include "tomedb/dataset/TomeSession.h"
#include "tomedb/filter/FilterParser.h"
#include "tomedb/storage/TomeStructures.h"
#include "tomedb/storage/TomeTableIO.h"

namespace tomedb {

TTomeTable::TTomeTable(TTomeDatabase* owner, const std::string& name)
    : name_(name), parser_(new TFilterParser(static_cast<TFilterRecordSource*>(this))) {
    if (owner) {
        databaseName_ = owner->DatabaseName();
        sessionName_ = owner->SessionName();
    }
}

TTomeTable::~TTomeTable() {
    try {
        Close();
    } catch (...) {
        // Closing releases only memory and counters; nothing worth raising here.
    }
    SetMasterSource(nullptr);
    for (TTomeTable* detail : std::vector<TTomeTable*>(details_))
        detail->masterSource_ = nullptr;
}

[[noreturn]] void TTomeTable::Error(const std::string& message) const {
    if (name_.empty())
        DatabaseError(message);
    DatabaseError(FormatMessage("%s: %s", name_.c_str(), message.c_str()));
}

void TTomeTable::CheckActive() const {
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset");
}

void TTomeTable::CheckInactive() const {
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset");
}

// ---------------------------------------------------------------------------
// Properties

void TTomeTable::SetDatabaseName(const std::string& value) {
    CheckInactive();
    databaseName_ = value;
    tableName_.clear();
    indexName_.clear();
}

void TTomeTable::SetSessionName(const std::string& value) {
    CheckInactive();
    sessionName_ = value;
}

void TTomeTable::SetTableName(const std::string& value) {
    CheckInactive();
    tableName_ = value;
}

void TTomeTable::SetMediumType(TTomeDBMediumType value) {
    CheckInactive();
    mediumType_ = value;
    TTomeSession* session = Sessions().FindSession(sessionName_);
    TTomeDatabase* database = session ? session->FindDatabase(databaseName_) : nullptr;
    if (database && !database->Connected())
        database->SetMediumType(value);
}

void TTomeTable::SetMasterSource(TTomeTable* master) {
    for (TTomeTable* m = master; m; m = m->masterSource_)
        if (m == this)
            Error("Circular datalinks are not allowed");
    if (masterSource_) {
        auto& list = masterSource_->details_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    masterSource_ = master;
    if (master)
        master->details_.push_back(this);
    if (Active())
        MasterChanged();
}

void TTomeTable::SetMasterFields(const std::string& value) {
    const std::string previous = masterFields_;
    masterFields_ = value;
    if (!Active() || !masterSource_)
        return;
    try {
        if (!value.empty())
            masterSource_->ParseFieldList(value);
        MasterChanged();
    } catch (...) {
        masterFields_ = previous;
        throw;
    }
}

// ---------------------------------------------------------------------------
// Open and close

void TTomeTable::Open() {
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(*this);
    try {
        OpenCursor();
    } catch (...) {
        CloseCursor();
        throw;
    }
    state_ = dsBrowse;
    try {
        if (masterSource_ && !masterFields_.empty() && masterSource_->Active())
            ApplyRange();
        if (filtered_)
            ActivateFilter();
        if (!rangeActive_ && !filtered_)
            First();
    } catch (...) {
        CloseCursor();
        throw;
    }
    if (AfterOpen)
        AfterOpen(*this);
    for (TTomeTable* detail : std::vector<TTomeTable*>(details_))
        detail->MasterChanged();
}

void TTomeTable::OpenCursor() {
    // A database of this name living in the default session moves to the
    // session this table names.
    if (!sessionName_.empty() && !databaseName_.empty()) {
        TTomeSession* named = Sessions().FindSession(sessionName_);
        if (named && !named->FindDatabase(databaseName_)) {
            TTomeDatabase* other = DefaultSession().FindDatabase(databaseName_);
            if (other && !other->Connected() && SameNameAscii(other->SessionName(), sessionName_))
                other->Open();
        }
    }
    session_ = Sessions().OpenSession(sessionName_);
    database_ = session_->OpenDatabase(databaseName_, true, this);
    database_->AttachDataSet(this);
    database_->CheckCanAccess();
    tableIO_ = database_->FindTableIO(tableName_);
    if (!tableIO_)
        Error(FormatMessage("Table '%s' not found", tableName_.c_str()));
    tableIO_->Open();
    records_.clear();
    position_ = -1;
    BuildFields();
    SelectIndex();
    for (TRecordBuffer& key : keyBuffers_) {
        key.Allocate(layout_, tableIO_);
        InitNewRecord(key);
    }
    current_.Allocate(layout_, tableIO_);
    filterBuffer_.Allocate(layout_, tableIO_);
}

void TTomeTable::BuildFields() {
    const TTomeFieldDefs& defs = tableIO_->FieldDefs();
    fieldDefs_.clear();
    fields_.clear();
    layout_ = TRecordLayout{};
    for (int i = 0; i < defs.Count(); ++i) {
        const TTomeFieldDef& def = defs.At(i);
        const auto type = static_cast<TFieldType>(def.FieldType);
        const int32_t size = IsStringType(type) ? def.DataSize : 0;
        fieldDefs_.push_back(TTableFieldDef{def.Name, type, size, false});
        fields_.push_back(std::make_unique<TField>(*this, i, def.Name, type, size));
        layout_.types.push_back(def.FieldType);
        layout_.offsets.push_back(tableIO_->FieldOffsets().at(static_cast<size_t>(i)));
        layout_.widths.push_back(tableIO_->FieldWidth(i));
    }
    layout_.recordSize = tableIO_->RecordSize();
    indexDefs_.clear();
    const TTomeIndexDefs& indexes = tableIO_->IndexDefs();
    for (int k = 0; k < indexes.Count(); ++k) {
        const TTomeIndexDef& def = indexes.At(k);
        TTableIndexDef item;
        item.Name = def.Name;
        for (size_t j = 0; j < def.FieldIdxes.size(); ++j) {
            if (j)
                item.Fields += ",";
            item.Fields += defs.At(def.FieldIdxes[j]).Name;
        }
        item.Options = def.Options & 0x0F;  // primary, unique, descending, case-insensitive
        indexDefs_.push_back(item);
    }
}

void TTomeTable::Close() {
    if (!Active() && !database_)
        return;
    if (Active() && BeforeClose)
        BeforeClose(*this);
    CloseCursor();
    if (AfterClose)
        AfterClose(*this);
    for (TTomeTable* detail : std::vector<TTomeTable*>(details_))
        detail->MasterChanged();
}

void TTomeTable::CloseCursor() {
    if (tableIO_)
        tableIO_->Close();
    tableIO_ = nullptr;
    ResetState();
    TTomeDatabase* database = database_;
    TTomeSession* session = session_;
    database_ = nullptr;
    session_ = nullptr;
    if (database) {
        database->DetachDataSet(this);
        if (session)
            session->CloseDatabase(database);
    }
}

void TTomeTable::ResetState() {
    records_.clear();
    position_ = -1;
    rangeActive_ = false;
    rangeFieldCount_ = 0;
    eof_ = bof_ = true;
    hasCurrent_ = false;
    modified_ = false;
    state_ = dsInactive;
    current_.Release();
    filterBuffer_.Release();
    for (TRecordBuffer& key : keyBuffers_)
        key.Release();
    fields_.clear();
    fieldDefs_.clear();
    indexDefs_.clear();
    storedForPost_.clear();
}

void TTomeTable::CloseForDatabase() {
    // The database is closing: it uncounts its tables itself.
    if (tableIO_)
        tableIO_->Close();
    tableIO_ = nullptr;
    const bool wasActive = Active();
    if (wasActive && BeforeClose)
        BeforeClose(*this);
    ResetState();
    if (database_)
        database_->DetachDataSet(this);
    database_ = nullptr;
    session_ = nullptr;
    if (wasActive && AfterClose)
        AfterClose(*this);
}

void TTomeTable::DatabaseDestroyed(TTomeDatabase* database) {
    if (database_ != database)
        return;
    CloseForDatabase();
}

bool TTomeTable::CanModify() const {
    if (!Active() || readOnly_ || !database_)
        return false;
    if (database_->ReadOnly())
        return false;
    const TTomeDBFileIO* io = database_->FileIO();
    return !(io && io->FileReadOnly());
}

// ---------------------------------------------------------------------------
// Fields

TField* TTomeTable::FindField(const std::string& name) const {
    for (const auto& field : fields_)
        if (SameNameAscii(field->FieldName(), name))
            return field.get();
    return nullptr;
}

TField& TTomeTable::FieldByName(const std::string& name) const {
    TField* field = FindField(name);
    if (!field)
        DatabaseError(FormatMessage("Field '%s' not found", name.c_str()));
    return *field;
}

int TTomeTable::FindField(std::string_view name) const {
    const TField* field = FindField(std::string(name));
    return field ? field->Index() : -1;
}

TFieldType TTomeTable::GetFieldType(int index) const { return fields_.at(static_cast<size_t>(index))->DataType(); }

TFieldData TTomeTable::GetFieldData(int index) {
    TFieldData data;
    TRecordBuffer* buffer = ActiveBuffer();
    if (!buffer || index < 0 || index >= layout_.Count()) {
        data.isNull = true;
        return data;
    }
    const auto i = static_cast<size_t>(index);
    if (buffer->blobs[i]) {
        fieldDataScratch_ = buffer->blobs[i]->Data();
        data.data = fieldDataScratch_.data();
        data.size = fieldDataScratch_.size();
        return data;
    }
    data.data = buffer->fixed.data() + layout_.offsets[i];
    data.size = static_cast<size_t>(layout_.widths[i]);
    return data;
}

}  // namespace tomedb
