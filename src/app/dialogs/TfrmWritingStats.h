// TfrmWritingStats: the dialog "写作统计". It shows what its caller read from
// the library's writing log and goals (TWritingStatsData): a table of days
// (日期, 汉字, 英文单词, 时长) for the last 30, 90 or 365 days, chosen in a
// selector, a bar chart of the same days (the table is its text
// alternative), the streak "连续写作 N 天", today against the daily goal, and
// each goal with a progress bar, what remains and what it needs a day.
//
// The dialog reads and writes nothing itself: "导出CSV…" hands the rows shown
// (oldest first) to OnExportCsv, which the caller sets. Nothing here fails.
#pragma once

#include "library/WriteLog.h"
#include "library/WritingGoals.h"

#include <QDialog>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QTableWidget;
class QVBoxLayout;
class TWritingChart;

// One goal as the dialog shows it; Target names it ("稿件库", "稿件夹：…", "稿件：…").
struct TGoalRow {
    QString Target;
    TGoal Goal;
    TGoalProgress Progress;
};

struct TWritingStatsData {
    std::vector<TDayStats> Days;  // the longest range, oldest first, today last
    int Streak = 0;
    int TodayChars = 0;
    int DailyGoal = 0;  // characters a day; 0 when no goal asks for any
    std::vector<TGoalRow> Goals;
};

class TfrmWritingStats : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRanges[] = {30, 90, 365};

    explicit TfrmWritingStats(QWidget* parent = nullptr);
    void Fill(TWritingStatsData data);
    // Days shown: 30, 90 or 365.
    void SetRange(int days);
    int Range() const;
    // The rows of the table, oldest first.
    std::vector<TDayStats> ShownDays() const;

    std::function<void(const std::vector<TDayStats>&)> OnExportCsv;

    // "已写 x / y 字，还差 r 字，…" for one goal.
    static QString ProgressText(const TGoalRow& row);
    static QString TodayText(int todayChars, int dailyGoal);

private:
    void ShowRange();
    void ShowGoals();

    TWritingStatsData m_data;
    QLabel* m_lblStreak = nullptr;
    QLabel* m_lblToday = nullptr;
    QProgressBar* m_pbToday = nullptr;
    QComboBox* m_cbRange = nullptr;
    TWritingChart* m_chart = nullptr;
    QTableWidget* m_tblDays = nullptr;
    QWidget* m_goalsPanel = nullptr;
    QVBoxLayout* m_goalRows = nullptr;
};
