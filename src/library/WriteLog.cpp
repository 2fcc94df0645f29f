#include "library/WriteLog.h"

#include "library/DocDataEngine.h"
#include "library/TableAccess.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

const QDate kDayZero(1899, 12, 30);

bool Wrote(const TDayStats& day) { return day.Chars != 0 || day.Words != 0 || day.Seconds > 0; }

}  // namespace

TWriteLog::TWriteLog(TWritingTables& tables, TClock clock)
    : m_tables(tables), m_clock(clock ? std::move(clock) : TClock(tomedb::Now)) {}

int TWriteLog::Today() const { return static_cast<int>(std::floor(m_clock())); }

void TWriteLog::Add(int docID, int cnDelta, int enDelta, int seconds) {
    if (cnDelta == 0 && enDelta == 0 && seconds <= 0)
        return;
    tomedb::TTomeTable& log = m_tables.WriteLog;
    const int today = Today();
    tableaccess::FilterBy(log, QStringLiteral("DocID"), docID);
    // Rows go in by time, so today's row of the manuscript is its newest.
    bool found = false;
    if (log.RecordCount() > 0) {
        log.Last();
        RecordReadable("WriteLog", [&] { found = static_cast<int>(log.FieldByName("LogDay").AsDateTime()) == today; });
    }
    if (found) {
        log.Edit();
        for (const auto& [field, delta] :
             {std::pair{"cnDelta", cnDelta}, std::pair{"enDelta", enDelta}, std::pair{"Seconds", std::max(seconds, 0)}})
            log.FieldByName(field).SetAsInteger(log.FieldByName(field).AsInteger() + delta);
    } else {
        log.Append();
        log.FieldByName("LogDay").SetAsDateTime(today);
        log.FieldByName("DocID").SetAsInteger(docID);
        log.FieldByName("cnDelta").SetAsInteger(cnDelta);
        log.FieldByName("enDelta").SetAsInteger(enDelta);
        log.FieldByName("Seconds").SetAsInteger(std::max(seconds, 0));
    }
    log.Post();
}

std::vector<TDayStats> TWriteLog::SumsSince(int fromDay) {
    std::vector<TDayStats> out;
    if (!m_tables.OpenForReading() || !m_tables.WriteLog.Active())
        return out;
    tomedb::TTomeTable& log = m_tables.WriteLog;
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    tableaccess::Unfilter(log);
    std::map<int, TDayStats> byDay;
    tomedb::TField& day = log.FieldByName("LogDay");
    tomedb::TField& cn = log.FieldByName("cnDelta");
    tomedb::TField& en = log.FieldByName("enDelta");
    tomedb::TField& secs = log.FieldByName("Seconds");
    for (log.First(); !log.Eof(); log.Next()) {
        RecordReadable("WriteLog", [&] {
            const int d = static_cast<int>(day.AsDateTime());
            if (d < fromDay)
                return;
            TDayStats& sum = byDay[d];
            sum.Day = d;
            sum.Chars += static_cast<int>(cn.AsInteger());
            sum.Words += static_cast<int>(en.AsInteger());
            sum.Seconds += static_cast<int>(std::max<int64_t>(secs.AsInteger(), 0));
        });
    }
    out.reserve(byDay.size());
    for (const auto& entry : byDay)
        out.push_back(entry.second);
    return out;
}

// Sums holds one entry a day, oldest first (SumsSince).
std::vector<TDayStats> TWriteLog::DaysOf(const std::vector<TDayStats>& sums, int days) const {
    const int today = Today();
    const int from = today - std::max(days, 1) + 1;
    std::vector<TDayStats> out(static_cast<size_t>(today - from + 1));
    for (size_t i = 0; i < out.size(); ++i)
        out[i].Day = from + static_cast<int>(i);
    for (const TDayStats& sum : sums)
        if (sum.Day >= from && sum.Day <= today)
            out[static_cast<size_t>(sum.Day - from)] = sum;
    return out;
}

int TWriteLog::StreakOf(const std::vector<TDayStats>& sums) const {
    const int today = Today();
    // Walk back from the newest day; days after today (a clock set back) are ignored.
    auto it = std::find_if(sums.rbegin(), sums.rend(), [today](const TDayStats& s) { return s.Day <= today; });
    auto wroteOn = [&](int day) {
        while (it != sums.rend() && it->Day > day)
            ++it;
        return it != sums.rend() && it->Day == day && Wrote(*it);
    };
    int day = wroteOn(today) ? today : today - 1;
    int streak = 0;
    while (wroteOn(day)) {
        ++streak;
        --day;
    }
    return streak;
}

std::vector<TDayStats> TWriteLog::Daily(int days) {
    const int from = Today() - std::max(days, 1) + 1;
    return DaysOf(SumsSince(from), days);
}

int TWriteLog::Streak() { return StreakOf(SumsSince(0)); }

// Called after every save for the status bar, so it does not read the whole
// log: rows go in by time, and the walk back from the newest stops at the
// first row of an earlier day.
int TWriteLog::TodayChars() {
    if (!m_tables.OpenForReading() || !m_tables.WriteLog.Active())
        return 0;
    tomedb::TTomeTable& log = m_tables.WriteLog;
    const tomedb::TTomeLockScope lock(TDocDataEngine::Database(m_tables.Data()));
    tableaccess::Unfilter(log);
    const int today = Today();
    int chars = 0;
    for (log.Last(); !log.Bof(); log.Prior()) {
        int day = today;
        RecordReadable("WriteLog", [&] {
            day = static_cast<int>(log.FieldByName("LogDay").AsDateTime());
            if (day == today)
                chars += static_cast<int>(log.FieldByName("cnDelta").AsInteger());
        });
        if (day < today)
            break;
    }
    return chars;
}

TWritingSummary TWriteLog::Summary(int days) {
    const std::vector<TDayStats> sums = SumsSince(0);
    TWritingSummary summary;
    summary.Days = DaysOf(sums, days);
    summary.Streak = StreakOf(sums);
    summary.TodayChars = summary.Days.back().Chars;
    return summary;
}

QString TWriteLog::StreakText(int days) { return QStringLiteral("连续写作 %1 天").arg(days); }

QString TWriteLog::DayText(int day) { return kDayZero.addDays(day).toString(QStringLiteral("yyyy-MM-dd")); }

QString TWriteLog::DurationText(int seconds) {
    const int s = std::max(seconds, 0);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QByteArray TWriteLog::Csv(const std::vector<TDayStats>& rows) {
    QString text = QStringLiteral("日期,汉字,英文单词,时长\r\n");
    for (const TDayStats& row : rows)
        text += QStringLiteral("%1,%2,%3,%4\r\n")
                    .arg(DayText(row.Day))
                    .arg(row.Chars)
                    .arg(row.Words)
                    .arg(DurationText(row.Seconds));
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
