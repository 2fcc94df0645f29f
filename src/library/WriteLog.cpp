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
        RecordReadable("WriteLog", [&] {
            found = static_cast<int>(log.FieldByName("LogDay").AsDateTime()) == today;
        });
    }
    if (found) {
        log.Edit();
        for (const auto& [field, delta] : {std::pair{"cnDelta", cnDelta}, std::pair{"enDelta", enDelta},
                                           std::pair{"Seconds", std::max(seconds, 0)}})
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

std::vector<TDayStats> TWriteLog::Daily(int days) {
    const int today = Today();
    const int from = today - std::max(days, 1) + 1;
    std::vector<TDayStats> out(static_cast<size_t>(today - from + 1));
    for (size_t i = 0; i < out.size(); ++i)
        out[i].Day = from + static_cast<int>(i);
    for (const TDayStats& sum : SumsSince(from))
        if (sum.Day <= today)
            out[static_cast<size_t>(sum.Day - from)] = sum;
    return out;
}

int TWriteLog::Streak() {
    const int today = Today();
    std::map<int, TDayStats> byDay;
    for (const TDayStats& sum : SumsSince(0))
        byDay[sum.Day] = sum;
    auto wrote = [&](int d) {
        const auto it = byDay.find(d);
        return it != byDay.end() && Wrote(it->second);
    };
    int day = wrote(today) ? today : today - 1;
    int streak = 0;
    while (wrote(day)) {
        ++streak;
        --day;
    }
    return streak;
}

int TWriteLog::TodayChars() {
    const std::vector<TDayStats> today = SumsSince(Today());
    return today.empty() || today.front().Day != Today() ? 0 : today.front().Chars;
}

QString TWriteLog::StreakText(int days) { return QStringLiteral("连续写作 %1 天").arg(days); }

QString TWriteLog::DayText(int day) {
    return kDayZero.addDays(day).toString(QStringLiteral("yyyy-MM-dd"));
}

QByteArray TWriteLog::Csv(const std::vector<TDayStats>& rows) {
    QString text = QStringLiteral("日期,汉字,英文单词,时长\r\n");
    for (const TDayStats& row : rows) {
        const int s = row.Seconds;
        text += QStringLiteral("%1,%2,%3,%4:%5:%6\r\n")
                    .arg(DayText(row.Day))
                    .arg(row.Chars)
                    .arg(row.Words)
                    .arg(s / 3600)
                    .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(s % 60, 2, 10, QLatin1Char('0'));
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
