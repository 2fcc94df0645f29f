#include "library/LibraryReader.h"

#include "library/TqlvDocData.h"

#include <QFile>

TLibraryReader::TLibraryReader() { m_database.SetKeepConnection(true); }

TLibraryReader::~TLibraryReader() { Close(); }

void TLibraryReader::Close() {
    for (tomedb::TTomeTable* table : {&m_docs, &m_folders, &m_pics, &m_marks})
        table->Close();
    m_database.Close();
    // Tables find their database by its name: a closed reader must not be
    // found by the data layer's tables on the same file.
    m_database.SetDatabaseName(std::string());
}

std::string TLibraryReader::Password() const {
    return m_database.Connected() && m_database.Encrypted() ? m_database.Password() : std::string();
}

TDBAttr TLibraryReader::Read(const QString& path, const std::string& knownPassword) {
    Close();
    try {
        const std::string name = QFile::encodeName(path).toStdString();
        m_database.SetDatabaseName(name);
        m_database.Open();
        if (!knownPassword.empty() && !m_database.CanAccess())
            m_database.SetPassword(knownPassword);
        const struct {
            tomedb::TTomeTable* table;
            const char* name;
        } tables[] = {{&m_docs, "Docs"}, {&m_folders, "DocFloder"}, {&m_pics, "Pics"}, {&m_marks, "DocMark"}};
        for (const auto& entry : tables) {
            entry.table->SetDatabaseName(name);
            entry.table->SetTableName(entry.name);
        }
        for (const auto& entry : tables)
            entry.table->Open();
        TDBAttr attr;
        TqlvDocData::GatherDBAttr(m_database, m_folders, m_docs, m_pics, m_marks, attr);
        return attr;
    } catch (...) {
        Close();
        throw;
    }
}
