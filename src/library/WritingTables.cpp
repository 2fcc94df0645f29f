#include "library/WritingTables.h"

#include "library/DocDataEngine.h"
#include "library/TableAccess.h"

#include <QtGlobal>
#include <algorithm>
#include <exception>

namespace {

using tomedb::MakeFieldItem;
using tomedb::TTomeFieldItem;

TTomeFieldItem Field(const char* name, int type, int size = 0) {
    return MakeFieldItem(name, type, size, static_cast<uint8_t>(tomedb::dpmDefault));
}

struct TTableDef {
    const char* name;
    std::vector<TTomeFieldItem> fields;
    const char* indexName;
    const char* indexField;
};

std::vector<TTableDef> Definitions() {
    using namespace tomedb;
    return {
        {"WriteLog",
         {Field("ID", ftAutoInc), Field("LogDay", ftDate), Field("DocID", ftInteger), Field("cnDelta", ftInteger),
          Field("enDelta", ftInteger), Field("Seconds", ftInteger)},
         "ByDocID",
         "DocID"},
        {"Goals",
         {Field("ID", ftAutoInc), Field("Kind", ftInteger), Field("TargetID", ftInteger), Field("Chars", ftInteger),
          Field("Deadline", ftDate), Field("Daily", ftInteger)},
         nullptr,
         nullptr},
        {"DocHistory",
         {Field("ID", ftAutoInc), Field("DocID", ftInteger), Field("SavedAt", ftDateTime), Field("cnCount", ftInteger),
          Field("Txt", ftMemo)},
         "ByDocID",
         "DocID"},
    };
}

bool HasTable(const std::vector<std::string>& names, const char* name) {
    return std::any_of(names.begin(), names.end(), [name](const std::string& each) {
        return QString::fromStdString(each).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    });
}

}  // namespace

TWritingTables::TWritingTables(TqlvDocData& data) : m_data(data) {}

void TWritingTables::EnsureForWriting() {
    if (!m_data.Opened())
        return;
    if (m_openPath == tableaccess::PathName(m_data.GetDocDataName()) && WriteLog.Active() && Goals.Active() &&
        DocHistory.Active())
        return;  // the usual case: created and opened by an earlier save
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_data));
    std::vector<std::string> names;
    TDocDataEngine::Database(m_data).GetTableNames(names);
    bool created = false;
    for (const TTableDef& def : Definitions()) {
        if (HasTable(names, def.name))
            continue;
        TDocDataEngine::Database(m_data).CreateTable(def.name, def.fields);
        if (def.indexName)
            TDocDataEngine::Database(m_data).CreateIndex(def.name, def.indexName, 0, {def.indexField});
        created = true;
    }
    if (created)
        m_openPath.clear();  // reopen: a table opened before may be missing its sibling
    OpenExisting();
}

bool TWritingTables::OpenForReading() {
    if (!m_data.Opened())
        return false;
    OpenExisting();
    return WriteLog.Active() || Goals.Active() || DocHistory.Active();
}

void TWritingTables::OpenExisting() {
    const QString path = m_data.GetDocDataName();
    const std::string name = tableaccess::PathName(path);
    // The library may have been closed or swapped since the last call.
    const bool current = name == m_openPath && (WriteLog.Active() || Goals.Active() || DocHistory.Active());
    if (current)
        return;
    std::vector<std::string> names;
    TDocDataEngine::Database(m_data).GetTableNames(names);
    const struct {
        tomedb::TTomeTable* table;
        const char* name;
    } tables[] = {{&WriteLog, "WriteLog"}, {&Goals, "Goals"}, {&DocHistory, "DocHistory"}};
    for (const auto& entry : tables) {
        entry.table->Close();
        if (!HasTable(names, entry.name))
            continue;
        entry.table->SetDatabaseName(name);
        entry.table->SetTableName(entry.name);
        entry.table->Open();
    }
    m_openPath = name;
}

bool RecordReadable(const char* what, const std::function<void()>& read) {
    try {
        read();
        return true;
    } catch (const std::exception& error) {
        qWarning("%s: damaged record skipped (%s)", what, error.what());
        return false;
    }
}
