// TRecordExchange: importing text files into a record store and exporting its
// records as text files, for the import and export dialogs and for qdb alike.
// No widgets: progress goes to a callback that may cancel, and every run ends
// with a tally of what was done and what failed.
//
// An imported record is dated today and carries its text's size and counts.
// Import is all or nothing: every file is read and checked first (a missing,
// unreadable, special or non-text file fails the run before anything is
// stored); then all records are stored in one write batch, and a failure
// while storing removes the records of the run already appended.
// Export writes each record as "<name>.txt" (GB18030, CR LF) into a folder;
// a record that cannot be read or written is named in the tally and does not
// stop the others.
//
// The store (TRecordStore) must outlive the exchange; engine errors other
// than those of single records are raised.
#pragma once

#include "library/DocDataTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TExportNames;

namespace tomedb {
class TTomeWriteBatch;
}

// The records an exchange reads and writes: the manuscripts of a library or
// the materials of the materials store.
class TRecordStore {
public:
    virtual ~TRecordStore() = default;
    // Appends a record in folderID; its ID.
    virtual int AddRecord(int folderID, const TDocAttr& attr) = 0;
    // Name and text of a record; DocName stays empty when the record is gone.
    virtual void ReadRecord(int id, TDocAttr& attr) = 0;
    // What an export needs before the text: at least the name (empty when the
    // record is gone). By default the whole record, text included.
    virtual void ReadRecordHead(int id, TDocAttr& attr) { ReadRecord(id, attr); }
    // Writes the record's text to path as an exported text file (GB18030,
    // CR LF), replacing it only when complete; false with *error when the file
    // could not be written. A record that cannot be read raises the engine's
    // error and leaves path as it was. By default it writes head.Txt, as read
    // by ReadRecordHead; a store that keeps large values may stream instead.
    virtual bool WriteRecordText(int id, const TDocAttr& head, const QString& path, QString* error);
    virtual void RemoveRecords(const QList<int>& ids) = 0;
    // A write batch over the store's database, ended by its Finish().
    virtual std::unique_ptr<tomedb::TTomeWriteBatch> BeginWrites() = 0;
};

// Called before each file or record with how many are done, the total and the
// next name; false cancels the run.
using TExchangeStep = std::function<bool(int done, int total, const QString& name)>;

// Why one file or record failed.
enum class TExchangeFault {
    Missing,      // no such file / the record is gone
    Unreadable,   // the file could not be opened or read (detail: the system's reason)
    NotAFile,     // a FIFO, device, socket or folder
    NotText,      // binary, or invalid in every candidate encoding
    BadName,      // the record's name cannot be a file name in the folder
    WriteFailed,  // the file could not be written (detail: the message)
    Damaged,      // the record could not be read from the store (detail: the engine's message)
};

struct TExchangeFailure {
    QString name;  // the file's path or the record's name
    TExchangeFault fault;
    QString detail;
};

struct TImportedRecord {
    int id = 0;
    QString name;
};

struct TExportedRecord {
    int id = 0;
    QString name;
    QString path;
    bool renamed = false;  // got a number because an earlier record took the name
};

struct TImportTally {
    QList<TImportedRecord> stored;  // empty unless the run succeeded
    QList<TExchangeFailure> failures;
    bool cancelled = false;
    bool Succeeded() const { return failures.isEmpty() && !cancelled; }
};

struct TExportTally {
    QList<TExportedRecord> written;
    QList<TExchangeFailure> failures;
    bool cancelled = false;
    int total = 0;
};

// A file to import: its path as the file system's bytes.
struct TImportFile {
    QByteArray path;
    // The manuscript name: the file name without its last extension, decoded by
    // the text rule.
    QString RecordName() const;
};

class TRecordExchange {
public:
    explicit TRecordExchange(TRecordStore& store) : m_store(store) {}
    void SetProgress(TExchangeStep progress) { m_progress = std::move(progress); }

    TImportTally Import(const QList<TImportFile>& files, int folderID);
    // Records by ID into folder (made when missing is the caller's part).
    // listedNames, when given, name the records that cannot be read (as the
    // caller listed them); else they are named "ID <n>".
    TExportTally Export(const QList<int>& ids, const QString& folder, const QStringList& listedNames = {});

    // Reads and decodes one file to import; false with *failure set when it
    // cannot be imported. Never blocks on a FIFO.
    static bool ReadImportFile(const QByteArray& path, QString* text, TExchangeFailure* failure);
    // The record of an imported text: dated today, with its size and counts.
    static TDocAttr Described(TDocAttr attr);

private:
    bool Step(int done, int total, const QString& name);
    void WriteRecord(int id, const TDocAttr& attr, TExportNames& names, TExportNames alone, TExportTally& tally);

    TRecordStore& m_store;
    TExchangeStep m_progress;
};
