// TWritingTables: the library's own tables for writing statistics, goals and
// manuscript history (`WriteLog`, `Goals`, `DocHistory`), opened on the
// library TqlvDocData has open. The four manuscript tables are never touched;
// these three are created when a library without them is first used for
// writing (EnsureForWriting) and are compressed and encrypted like the rest.
// A library without them reads as having no log, no goals and no versions.
//
// Owned by the application context next to the data layer, and destroyed
// before it (the tables are attached to its database). Engine errors pass
// through; a damaged record is the reader's business (see RecordReadable).
#pragma once

#include "library/TqlvDocData.h"
#include "tomedb/TomeDB.h"

#include <functional>

// The clock the writing services read: days since 30 December 1899 with the
// time of day as fraction (tomedb::Now by default; tests inject their own).
using TClock = std::function<tomedb::TDateTime()>;

class TWritingTables {
public:
    explicit TWritingTables(TqlvDocData& data);
    TWritingTables(const TWritingTables&) = delete;
    TWritingTables& operator=(const TWritingTables&) = delete;

    TqlvDocData& Data() { return m_data; }
    // Creates any of the three tables the open library lacks and opens them.
    void EnsureForWriting();
    // Opens the tables the open library has; false when it has none of
    // them (or no library is open): there is then nothing to read.
    bool OpenForReading();

    tomedb::TTomeTable WriteLog;
    tomedb::TTomeTable Goals;
    tomedb::TTomeTable DocHistory;

private:
    void OpenExisting();
    TqlvDocData& m_data;
    std::string m_openPath;
};

// Runs read on the current record; a record the engine cannot read (a
// damaged row: checksum, decompression, decryption) is noted in the trace
// with `what` and skipped: false.
bool RecordReadable(const char* what, const std::function<void()>& read);
