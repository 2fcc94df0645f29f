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

// Length of the well-formed GB18030 character at bytes[i] (1, 2 or 4), 0
// when it is not one (the decoder would make something else of it).
int WellFormedLength(const std::string& bytes, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    if (lead == 0x80 || lead == 0xFF || i + 1 >= bytes.size())
        return 0;
    const unsigned char second = at(i + 1);
    if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
        return 2;
    if (second < 0x30 || second > 0x39 || i + 3 >= bytes.size())
        return 0;
    const unsigned char third = at(i + 2), fourth = at(i + 3);
    if (third < 0x81 || third > 0xFE || fourth < 0x30 || fourth > 0x39)
        return 0;
    // Four-byte forms map U+0080..U+FFFF (81 30 81 30 .. 84 31 A4 39) and
    // U+10000..U+10FFFF (90 30 81 30 .. E3 32 9A 35); others are unassigned.
    const uint32_t code = (uint32_t(lead) << 24) | (uint32_t(second) << 16) | (uint32_t(third) << 8) | fourth;
    const bool bmp = code >= 0x81308130u && code <= 0x8431A439u;
    const bool beyond = code >= 0x90308130u && code <= 0xE3329A35u;
    return bmp || beyond ? 4 : 0;
}

}  // namespace

int VersionCharacters(QStringView text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pairedBreak = c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n');
        if (!pairedBreak && !c.isLowSurrogate())
            ++count;
    }
    return count;
}

int VersionCharacters(const std::string& gb18030) {
    int count = 0;
    for (size_t i = 0; i < gb18030.size();) {
        const int length = WellFormedLength(gb18030, i);
        if (length == 0)  // counted as the decoder reads it
            return VersionCharacters(Text(gb18030));
        const bool pairedBreak = gb18030[i] == '\r' && i + 1 < gb18030.size() && gb18030[i + 1] == '\n';
        count += pairedBreak ? 0 : 1;
        i += size_t(length);
    }
    return count;
}

std::vector<bool> VersionsToKeep(const std::vector<tomedb::TDateTime>& savedAt, tomedb::TDateTime now) {
    std::vector<bool> keep(savedAt.size(), false);
    std::vector<size_t> order(savedAt.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // Newest first: the first one met in a day or month is its newest.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return savedAt[a] > savedAt[b]; });
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

tomedb::TDateTime NextThinning(const std::vector<tomedb::TDateTime>& savedAt, tomedb::TDateTime now) {
    tomedb::TDateTime next = 0;
    for (tomedb::TDateTime t : savedAt) {
        for (double age : {7.0, 90.0}) {
            if (now - t >= age)
                continue;
            if (next == 0 || t + age < next)
                next = t + age;
            break;
        }
    }
    return next;
}

TDocHistory::TDocHistory(TWritingTables& tables, TClock clock)
    : m_tables(tables), m_clock(clock ? std::move(clock) : TClock(tomedb::Now)) {}

bool TKeptText::Is(const std::string& bytes) const {
    return From ? From->StoredBlobHolds(FromField, Stored, bytes) : Bytes == bytes;
}

std::string TKeptText::Decoded() const { return From ? From->DecodeStoredBlobValue(FromField, Stored) : Bytes; }

void TDocHistory::Keep(int docID, tomedb::TDateTime savedAt, int cnCount, const TKeptText& text) {
    tomedb::TTomeTable& history = m_tables.DocHistory;
    Unfilter(history);
    history.Append();
    history.FieldByName("DocID").SetAsInteger(docID);
    history.FieldByName("SavedAt").SetAsDateTime(savedAt);
    history.FieldByName("cnCount").SetAsInteger(cnCount);
    tomedb::TField& txt = history.FieldByName("Txt");
    // The stored form saves compressing (and encrypting) the text again.
    const bool copied = text.From && history.SetStoredBlobValue(txt.Index(), *text.From, text.FromField, text.Stored);
    if (!copied)
        txt.SetAsString(text.Decoded());
    history.Post();
}

tomedb::TDateTime TDocHistory::Thin(int docID) {
    const std::vector<TDocVersion> versions = Versions(docID, false);
    std::vector<tomedb::TDateTime> times;
    for (const TDocVersion& v : versions)
        times.push_back(v.SavedAt);
    const tomedb::TDateTime now = m_clock();
    const std::vector<bool> keep = VersionsToKeep(times, now);
    tomedb::TTomeTable& history = m_tables.DocHistory;
    std::vector<tomedb::TDateTime> left;
    for (size_t i = 0; i < versions.size(); ++i) {
        if (!keep[i] && !versions[i].Damaged && FindByID(history, versions[i].ID))
            history.Delete();
        else
            left.push_back(times[i]);
    }
    return NextThinning(left, now);
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
                version.Length = VersionCharacters(history.FieldByName("Txt").AsString());
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
