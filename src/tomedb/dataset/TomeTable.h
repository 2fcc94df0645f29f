// TTomeTable: record-at-a-time access to one table of a TTomeDatabase, in the
// order of its current index, narrowed by an optional filter and key range.
// It offers field objects (TField) with typed conversions, navigation,
// bookmarks, Append / Insert / Edit / Post / Cancel / Delete with the usual
// dataset states, key search on the current index, FindRecord, Locate and
// Lookup, master-detail ranges and Refresh. No UI framework is involved.
//
// Ownership: the creator owns the table. While open, the table holds a
// reference on its database (through the session, which may create and free a
// temporary database for it) and on the shared table storage object; it owns
// its record list (a snapshot of the visible records), its record buffers and
// its field objects, which live from Open to Close.
//
// Errors are EDatabaseError with the engine's messages ("Table '%s' not
// found", "No index currently active" and "Circular datalinks are not
// allowed" are prefixed "<Name>: " when the table has a Name). A cancelled
// login raises EAbort. Filter syntax errors come from the filter parser.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/dataset/TomeField.h"
#include "tomedb/dataset/TomeRecordBuffer.h"
#include "tomedb/dataset/TomeVariant.h"
#include "tomedb/filter/FilterTypes.h"
#include "tomedb/storage/TomeBlobStream.h"
#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeTableDefs.h"

namespace tomedb {

class TTomeDatabase;
class TTomeSession;
class TTomeTableIO;
class TTomeLockScope;
class TFilterParser;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter };
enum TDataAction { daFail, daAbort, daRetry };
enum TLocateOption : uint32_t { loCaseInsensitive = 1u << 0, loPartialKey = 1u << 1 };
using TLocateOptions = uint32_t;

// What FieldDefs and IndexDefs of an open table show.
struct TTableFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int32_t Size = 0;
    bool Required = false;
};
enum TIndexOption : uint32_t {
    ixPrimary = 1u << 0,
    ixUnique = 1u << 1,
    ixDescending = 1u << 2,
    ixCaseInsensitive = 1u << 3,
};
struct TTableIndexDef {
    std::string Name;
    std::string Fields;  // key field names joined by commas: "A,B"
    uint32_t Options = 0;
};

using TDataSetNotifyEvent = std::function<void(TTomeTable& table)>;
using TFilterRecordEvent = std::function<void(TTomeTable& table, bool& accept)>;
using TTableProgressEvent = std::function<void(TTomeTable& table, int percent)>;
using TDataSetErrorEvent = std::function<void(TTomeTable& table, const EDatabaseError& error, TDataAction& action)>;

class TTomeTable : private TFilterRecordSource {
public:
    // With a database as owner the table takes its DatabaseName and SessionName.
    explicit TTomeTable(TTomeDatabase* owner = nullptr, const std::string& name = std::string());
    ~TTomeTable() override;
    TTomeTable(const TTomeTable&) = delete;
    TTomeTable& operator=(const TTomeTable&) = delete;

    // ---- properties ------------------------------------------------------------
    const std::string& Name() const { return name_; }
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& value);  // also empties TableName, IndexName
    const std::string& SessionName() const { return sessionName_; }
    void SetSessionName(const std::string& value);
    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& value);
    const std::string& IndexName() const { return indexName_; }
    void SetIndexName(const std::string& value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    TTomeDBMediumType MediumType() const { return mediumType_; }
    void SetMediumType(TTomeDBMediumType value);
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& value);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool value);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(TFilterOptions value);
    TTomeTable* MasterSource() const { return masterSource_; }
    void SetMasterSource(TTomeTable* master);
    const std::string& MasterFields() const { return masterFields_; }
    void SetMasterFields(const std::string& value);

    // ---- events --------------------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeScroll, AfterScroll, BeforeRefresh,
        AfterRefresh, BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel,
        AfterCancel, BeforeDelete, AfterDelete, OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    // Reports how far a filter scan got (percent); it is not meant to read the
    // record being tested, which a scan by integer key does not load.
    TTableProgressEvent OnFilterProgress;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;

    // ---- open / close / state --------------------------------------------------------
    void Open();
    void Close();
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool value) { value ? Open() : Close(); }
    TDataSetState State() const { return state_; }
    bool CanModify() const;
    TTomeDatabase* Database() const { return database_; }

    // ---- navigation -----------------------------------------------------------------
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const { return Active() ? static_cast<int>(records_.size()) : 0; }
    int RecNo() const;
    void SetRecNo(int value);
    int32_t GetBookmark() const;
    void GotoBookmark(int32_t bookmark);
    bool BookmarkValid(int32_t bookmark) const;
    void Refresh();

    // ---- fields ----------------------------------------------------------------------
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int index) const { return *fields_.at(static_cast<size_t>(index)); }
    TField* FindField(const std::string& name) const;
    TField& FieldByName(const std::string& name) const;
    const std::vector<TTableFieldDef>& FieldDefs() const { return fieldDefs_; }
    const std::vector<TTableIndexDef>& IndexDefs() const { return indexDefs_; }
    // A stream on a blob field of the active record.
    std::unique_ptr<TTomeBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode);
    bool Modified() const { return modified_; }
    // The value of blob field `fieldIndex` of the current record into `out`
    // (its memory reused), without keeping it in the record's buffer: for
    // walks that read each value once. False when the table is not browsing
    // a record or the field is not a blob.
    bool ReadBlobInto(int fieldIndex, std::string& out);
    // Stored form of blob field `fieldIndex` of the current record, exactly as
    // in the file (still compressed and encrypted as this table stores it);
    // nullopt when the table is not browsing a record or the field is not a
    // blob. Raises EDatabaseError as reading the value would when damaged.
    std::optional<std::string> StoredBlobValue(int fieldIndex);
    // The value a stored form (StoredBlobValue of this field) decodes to.
    std::string DecodeStoredBlobValue(int fieldIndex, const std::string& stored);
    // Whether a stored form (StoredBlobValue of this field) decodes to value;
    // as comparing DecodeStoredBlobValue with it, but a compressed value that
    // differs in length or checksum is told apart without being decompressed.
    bool StoredBlobHolds(int fieldIndex, const std::string& stored, const std::string& value);
    // A decoder of this field's stored forms for use on another thread (see
    // TTomeBlobDecoder); null when the table is closed, the field is not a
    // blob, or its algorithms cannot be copied (decode here then).
    std::unique_ptr<TTomeBlobDecoder> NewBlobDecoder(int fieldIndex) const;
    // While appending: the next Post writes `stored` (StoredBlobValue of
    // `sourceField` of `source`) as field `fieldIndex` instead of encoding the
    // field's value, so a value is copied without being decoded and encoded
    // again. Only when that gives the same value: both tables of one open
    // database file (same algorithms and key), both fields processed alike,
    // the target field in no index and no CRC32 check of the file; false
    // (nothing handed) otherwise. Cancel and a new Append drop it.
    bool SetStoredBlobValue(int fieldIndex, const TTomeTable& source, int sourceField, std::string stored);

    // ---- editing ------------------------------------------------------------------------
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();

    // ---- searching -----------------------------------------------------------------------
    bool FindKey(const TVariantArray& values);
    void SetKey();
    void EditKey();
    bool GotoKey();
    bool FindRecord(bool restart, bool forward);
    bool FindFirst() { return FindRecord(true, true); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }
    bool FindLast() { return FindRecord(true, false); }
    bool Locate(const std::string& keyFields, const TVariantArray& values, TLocateOptions options);
    TVariantArray Lookup(const std::string& keyFields, const TVariantArray& values, const std::string& resultFields);

    // ---- used by TField ------------------------------------------------------------------
    uint8_t* FieldSlot(int fieldIndex);
    std::optional<std::string> ReadBlobValue(int fieldIndex);
    void WriteBlobValue(int fieldIndex, const std::string& bytes);
    void CheckFieldWrite(const TField& field);
    void FieldWritten(const TField& field);

    // ---- used by TTomeDatabase -----------------------------------------------------------
    void CloseForDatabase();
    void DatabaseConnectionChanged() {}
    void DatabaseMediumChanged(TTomeDBMediumType value) { mediumType_ = value; }
    void DatabaseDestroyed(TTomeDatabase* database);
    // Re-reads the records after the storage was reloaded (rebuild).
    void RefreshAfterReload();
    // Called by a master table whose current record or state changed.
    void MasterChanged();

    [[noreturn]] void Error(const std::string& message) const;

private:
    friend class TTomeTableStorageEvents;

    // TFilterRecordSource
    int FindField(std::string_view name) const override;
    TFieldType GetFieldType(int index) const override;
    TFieldData GetFieldData(int index) override;

    // open / close (TomeTable.cpp)
    void OpenCursor();
    void CloseCursor();
    void BuildFields();
    void ResetState();
    void CheckActive() const;
    void CheckInactive() const;

    // records and buffers (TomeTableRecords.cpp)
    void SelectIndex();
    int FindIndexNumber(const std::string& name) const;
    void InitNewRecord(TRecordBuffer& buffer);
    void ReadRecordInto(TRecordBuffer& buffer, const TElementList& list, int position);
    void FetchCurrent();
    void ClearCurrent();
    void FillFieldBuffers(TRecordBuffer& buffer, class TFieldBuffers& buffers);
    // Scans read only the fields they test: BindScanBuffers binds buffers to
    // buffer once, active for `fields` only (every field when null), and
    // ScanRecordInto then reads one record through them.
    void BindScanBuffers(TRecordBuffer& buffer, TFieldBuffers& buffers, const std::vector<int>* fields);
    // The blob of `fieldIndex` in the browsed record; null when not browsing or not a blob.
    TOptimBlobStream* BrowsedBlob(int fieldIndex);
    void ScanRecordInto(TRecordBuffer& buffer, TFieldBuffers& bound, const TElementList& list, int position);
    // The fields a filter scan reads: those of the parsed expression, or every
    // field (false) when an OnFilterRecord handler may look at any of them.
    bool FilterScanFields(std::vector<int>& fields) const;
    void ScanByIntegerKey(const class TIntegerKeyFilter& keys, TElementList& passed);
    TRecordBuffer* ActiveBuffer();
    void DoScroll(int newPosition);
    int FindEntry(int32_t recIndex) const;

    // editing (TomeTableEdit.cpp)
    void StartInsert();
    void PostInsert();
    void PostEdit();
    void RunWithErrorEvent(const TDataSetErrorEvent& handler, const std::function<void()>& step);
    void LockedWrite(std::optional<TTomeLockScope>& held, const std::function<void()>& write);
    void ReadBackAfterWrite(bool keepPosted);
    void OnStorageIndexInsert(int indexNumber, int position, const TListElement& entry);
    void OnStorageIndexMove(int indexNumber, int from, int to);
    int KeySearchPosition(TRecordBuffer& key, bool afterEqual);

    // filtering and searching (TomeTableFilter.cpp)
    void ActivateFilter();
    void DeactivateFilter();
    bool RecordPasses();
    int CompareKeyWithEntry(TRecordBuffer& key, const TListElement& entry, int index, int fieldCount, bool partial,
                            bool caseInsensitive);
    int BoundSearch(TRecordBuffer& key, const TElementList& list, int index, int fieldCount, bool first, bool partial,
                    int& result);
    void FillKeyBuffer(TRecordBuffer& key, const TVariantArray& values, int index);
    std::vector<int> ParseFieldList(const std::string& names) const;
    int LocateRecord(const std::vector<int>& fields, const TVariantArray& values, TLocateOptions options);
    void ApplyRange();
    void CancelRange();

    // identity and settings
    std::string name_;
    std::string databaseName_;
    std::string sessionName_;
    std::string tableName_;
    std::string indexName_;
    bool readOnly_ = false;
    TTomeDBMediumType mediumType_ = mtDisk;
    std::string filter_;
    bool filtered_ = false;
    TFilterOptions filterOptions_ = 0;
    TTomeTable* masterSource_ = nullptr;
    std::string masterFields_;
    std::vector<TTomeTable*> details_;

    // open state
    TDataSetState state_ = dsInactive;
    TTomeDatabase* database_ = nullptr;
    TTomeSession* session_ = nullptr;
    TTomeTableIO* tableIO_ = nullptr;
    TElementList records_;
    int position_ = -1;
    int currentIndex_ = -1;
    bool rangeActive_ = false;
    int rangeFieldCount_ = 0;
    int keyFieldCount_ = 0;
    bool eof_ = true;
    bool bof_ = true;
    bool hasCurrent_ = false;
    bool modified_ = false;
    TRecordLayout layout_;
    TRecordBuffer current_;
    TRecordBuffer keyBuffers_[4];  // search key, range start, range end, spare
    TRecordBuffer filterBuffer_;
    TRecordBuffer* filterTarget_ = nullptr;
    TDataSetState stateBeforeStep_ = dsInactive;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<TTableFieldDef> fieldDefs_;
    std::vector<TTableIndexDef> indexDefs_;
    std::unique_ptr<TFilterParser> parser_;
    std::string fieldDataScratch_;
    // Stored blob forms the next Post of an appended record writes (SetStoredBlobValue).
    std::vector<std::pair<int, std::string>> storedForPost_;
};

}  // namespace tomedb
