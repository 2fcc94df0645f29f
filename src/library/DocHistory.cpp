#include "library/DocHistory.h"

#include "library/DocDataEngine.h"
#include "library/TableAccess.h"
#include "library/UserError.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

using namespace tableaccess;

namespace {

const QString kHistoryCaption = QStringLiteral("历史版本");

int MonthOf(tomedb::TDateTime t) {
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(t)));
    return date.year() * 12 + date.month();
}

}  // namespace

std::vector<bool> VersionsToKeep(const std::vector<tomedb::TDateTime>& savedAt,
                                 tomedb::TDateTime now) {
    std::vector<bool> keep(savedAt.size(), false);
    std::vector<size_t> order(savedAt.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // Newest first: the first one met in a day or month is its newest.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return savedAt[a] > savedAt[b]; });
    std::map<int, bool> dayTaken, monthTaken;
    for (size_t i : order) {
        const double age = now - savedAt[i];
        bool& dayHasOne = dayTaken[static_cast<int>(std::floor(savedAt[i]))];
        bool& monthHasOne = monthTaken[MonthOf(savedAt[i])];
        if (age < 7)
            keep[i] = true;
        else if (age < 90)
            keep[i] = !dayHasOne;
        else
            keep[i] = !monthHasOne;
        // A day or month whose newest is kept by a younger rule needs no other.
        dayHasOne = dayHasOne || keep[i];
        monthHasOne = monthHasOne || keep[i];
    }
    return keep;
}

TDocHistory::TDocHistory(TWritingTables& tables, TClock clock)
    : m_tables(tables), m_clock(clock ? std::move(clock) : TClock(tomedb::Now)) {}

void TDocHistory::Keep(int docID, tomedb::TDateTime savedAt, int cnCount, const QString& text) {
    tomedb::TTomeTable& history = m_tables.DocHistory;
    Unfilter(history);
    history.Append();
    history.FieldByName("DocID").SetAsInteger(docID);
    history.FieldByName("SavedAt").SetAsDateTime(savedAt);
    history.FieldByName("cnCount").SetAsInteger(cnCount);
    SetMemoText(history, "Txt", text);
    history.Post();
    Thin(docID);
}

void TDocHistory::Thin(int docID) {
    const std::vector<TDocVersion> versions = Versions(docID, false);
    std::vector<tomedb::TDateTime> times;
    for (const TDocVersion& v : versions)
        times.push_back(v.SavedAt);
    const std::vector<bool> keep = VersionsToKeep(times, m_clock());
    tomedb::TTomeTable& history = m_tables.DocHistory;
    for (size_t i = 0; i < versions.size(); ++i)
        if (!keep[i] && !versions[i].Damaged && FindByID(history, versions[i].ID))
            history.Delete();
}

tomedb::TDateTime TDocHistory::NewestSavedAt(int docID) {
    for (const TDocVersion& v : Versions(docID, false))
        if (!v.Damaged)
            return v.SavedAt;
    return 0;
}

std::vector<TDocVersion> TDocHistory::Versions(int docID, bool checkTexts) {
    std::vector<TDocVersion> out;
    if (!m_tables.OpenForReading() || !m_tables.DocHistory.Active())
        return out;
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    tomedb::TTomeTable& history = m_tables.DocHistory;
    FilterBy(history, QStringLiteral("DocID"), docID);
    for (history.First(); !history.Eof(); history.Next()) {
        TDocVersion version;
        version.Damaged = !RecordReadable("DocHistory", [&] {
            version.ID = CurrentID(history);
            version.SavedAt = history.FieldByName("SavedAt").AsDateTime();
            version.Chars = FieldInt(history, "cnCount");
            if (checkTexts)
                (void)history.FieldByName("Txt").AsString();
        });
        out.push_back(version);
    }
    std::stable_sort(out.begin(), out.end(), [](const TDocVersion& a, const TDocVersion& b) {
        return a.SavedAt != b.SavedAt ? a.SavedAt > b.SavedAt : a.ID > b.ID;
    });
    return out;
}

QString TDocHistory::Text(int docID, int versionID) {
    if (!m_tables.OpenForReading() || !m_tables.DocHistory.Active())
        throw EUserError(QStringLiteral("此版本不存在。"), kHistoryCaption, 1);
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    tomedb::TTomeTable& history = m_tables.DocHistory;
    if (!FindByID(history, versionID) || FieldInt(history, "DocID") != docID)
        throw EUserError(QStringLiteral("此版本不存在。"), kHistoryCaption, 1);
    QString text;
    if (!RecordReadable("DocHistory", [&] { text = FieldText(history, "Txt"); }))
        throw EUserError(QStringLiteral("此版本已损坏，无法恢复。"), kHistoryCaption, 1);
    return text;
}

void TDocHistory::DeleteVersions(const QList<int>& docIDs) {
    if (!m_tables.OpenForReading() || !m_tables.DocHistory.Active())
        return;
    DeleteWhereAny(m_tables.DocHistory, QStringLiteral("DocID"), docIDs);
}
