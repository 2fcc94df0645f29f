// TLibraryReader: reads the attributes (TDBAttr) of a library file other than
// the one the data layer has open, for the library centre. It owns its own
// database and the library's four tables; Read connects them (the engine's
// login step asks for the password of an encrypted library) and they stay
// connected until Close or the next Read, so a selection that stays put reads
// once.
//
// Read raises what the engine raises: tomedb::EAbort when the password prompt
// was cancelled, tomedb::EDatabaseError for a damaged file or a wrong
// password; after a failure the reader is closed.
#pragma once

#include "library/DocDataTypes.h"
#include "tomedb/TomeDB.h"

#include <QString>
#include <string>

class TLibraryReader {
public:
    TLibraryReader();
    ~TLibraryReader();
    TLibraryReader(const TLibraryReader&) = delete;
    TLibraryReader& operator=(const TLibraryReader&) = delete;

    // knownPassword (the engine's password bytes; empty for none) is tried
    // first on an encrypted library, so that its prompt does not ask again.
    TDBAttr Read(const QString& path, const std::string& knownPassword = {});
    // The password that opened the library last read; empty when the library
    // is not encrypted or nothing is connected.
    std::string Password() const;
    void Close();
    bool Connected() const { return m_database.Connected(); }

private:
    // Declared before the tables: tables go before their database.
    tomedb::TTomeDatabase m_database;
    tomedb::TTomeTable m_docs;
    tomedb::TTomeTable m_folders;
    tomedb::TTomeTable m_marks;
    tomedb::TTomeTable m_pics;
};
