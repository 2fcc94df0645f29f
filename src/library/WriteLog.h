// The writing log (`WriteLog`): one row a day per manuscript with the change
// in its Chinese and English counts and the seconds spent typing in it.
// TWriteLog adds a save's delta (called from the save path, TManuscriptSaves)
// and answers the statistics: one row a day for the last N days, the current
// streak, today's net characters, and the CSV export. Rows of deleted
// manuscripts stay. A damaged row is skipped with a trace note.
#pragma once

#include "library/WritingTables.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct TDayStats {
    int Day = 0;  // days since 30 December 1899
    int Chars = 0;
    int Words = 0;
    int Seconds = 0;
};

// What the statistics show, from one pass over the log: the days of Daily,
// the streak and today's net characters.
struct TWritingSummary {
    std::vector<TDayStats> Days;
    int Streak = 0;
    int TodayChars = 0;
};

class TWriteLog {
public:
    TWriteLog(TWritingTables& tables, TClock clock);
    // Adds the deltas to today's row of docID (a new row when there is none);
    // nothing when all three are 0. The tables must be open for writing.
    void Add(int docID, int cnDelta, int enDelta, int seconds);
    // Days from today-(days-1) to today, oldest first; days without rows are
    // included with zeros.
    std::vector<TDayStats> Daily(int days);
    // Days in a row with writing, counted back from today (from yesterday when
    // nothing was written yet today): "连续写作 N 天".
    int Streak();
    int TodayChars();
    // Daily(days), Streak() and TodayChars() read in one pass.
    TWritingSummary Summary(int days);

    // The caption of the streak.
    static QString StreakText(int days);
    // UTF-8 with a byte-order mark; header 日期,汉字,英文单词,时长 (seconds shown as h:mm:ss).
    static QByteArray Csv(const std::vector<TDayStats>& rows);
    static QString DayText(int day);           // yyyy-MM-dd
    static QString DurationText(int seconds);  // h:mm:ss

private:
    int Today() const;
    // Sums of every readable row from `fromDay` on, by day.
    std::vector<TDayStats> SumsSince(int fromDay);
    std::vector<TDayStats> DaysOf(const std::vector<TDayStats>& sums, int days) const;
    int StreakOf(const std::vector<TDayStats>& sums) const;
    TWritingTables& m_tables;
    TClock m_clock;
};
