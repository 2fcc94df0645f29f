#include "app/dialogs/TfrmWritingStats.h"
#include "platform/ErrorText.h"

#include "app/dialogs/WritingChart.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QLabel* NamedLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A progress bar keeps int ranges; its text says the figures themselves.
QProgressBar* ProgressBar(const char* name, int value, int maximum, const QString& accessibleName) {
    auto* bar = new QProgressBar;
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, std::max(maximum, 1));
    bar->setValue(std::clamp(value, 0, std::max(maximum, 1)));
    bar->setAccessibleName(accessibleName);
    return bar;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TfrmWritingStats::TfrmWritingStats(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWritingStats"));
    setWindowTitle(tr("写作统计"));
    resize(640, 620);

    m_lblStreak = NamedLabel("lblStreak");
    m_lblToday = NamedLabel("lblToday");
    m_pbToday = ProgressBar("pbToday", 0, 1, tr("今日进度"));
    m_cbRange = new QComboBox;
    m_cbRange->setObjectName(QStringLiteral("cbRange"));
    for (int days : kRanges)
        m_cbRange->addItem(tr("最近%1天").arg(days), days);
    auto* lblRange = new QLabel(tr("范围(&R)："));
    lblRange->setBuddy(m_cbRange);
    m_cbRange->setAccessibleName(tr("范围"));
    connect(m_cbRange, &QComboBox::currentIndexChanged, this, &TfrmWritingStats::ShowRange);

    auto* top = new QHBoxLayout;
    top->addWidget(m_lblStreak);
    top->addSpacing(16);
    top->addWidget(m_lblToday);
    top->addWidget(m_pbToday, 1);
    top->addSpacing(16);
    top->addWidget(lblRange);
    top->addWidget(m_cbRange);

    m_chart = new TWritingChart;
    m_tblDays = new QTableWidget(0, 4);
    m_tblDays->setObjectName(QStringLiteral("tblDays"));
    m_tblDays->setAccessibleName(tr("每日统计"));
    m_tblDays->setHorizontalHeaderLabels({tr("日期"), tr("汉字"), tr("英文单词"), tr("时长")});
    m_tblDays->verticalHeader()->setVisible(false);
    m_tblDays->horizontalHeader()->setStretchLastSection(true);
    m_tblDays->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblDays->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* goalsGroup = new QGroupBox(tr("目标"));
    goalsGroup->setObjectName(QStringLiteral("groupGoals"));
    m_goalsPanel = new QWidget;
    m_goalsPanel->setObjectName(QStringLiteral("panelGoals"));
    m_goalRows = new QVBoxLayout(m_goalsPanel);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("scrollGoals"));
    scroll->setAccessibleName(tr("目标"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_goalsPanel);
    (new QVBoxLayout(goalsGroup))->addWidget(scroll);

    auto* btnExportCsv = new QPushButton(tr("导出CSV…"));
    btnExportCsv->setObjectName(QStringLiteral("btnExportCsv"));
    btnExportCsv->setAutoDefault(false);
    connect(btnExportCsv, &QPushButton::clicked, this, [this] {
        if (OnExportCsv)
            OnExportCsv(ShownDays());
    });
    auto* btnClose = new QPushButton(tr("关闭"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnExportCsv);
    buttons->addStretch();
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_chart);
    layout->addWidget(m_tblDays, 1);
    layout->addWidget(goalsGroup);
    layout->addLayout(buttons);
}

void TfrmWritingStats::Fill(TWritingStatsData data) {
    m_data = std::move(data);
    m_lblStreak->setText(TranslatedText(TWriteLog::StreakText(m_data.Streak)));
    m_lblToday->setText(TodayText(m_data.TodayChars, m_data.DailyGoal));
    m_pbToday->setVisible(m_data.DailyGoal > 0);
    m_pbToday->setRange(0, std::max(m_data.DailyGoal, 1));
    m_pbToday->setValue(std::clamp(m_data.TodayChars, 0, std::max(m_data.DailyGoal, 1)));
    ShowRange();
    ShowGoals();
}

void TfrmWritingStats::SetRange(int days) {
    const int index = m_cbRange->findData(days);
    if (index >= 0)
        m_cbRange->setCurrentIndex(index);
}

int TfrmWritingStats::Range() const { return m_cbRange->currentData().toInt(); }

std::vector<TDayStats> TfrmWritingStats::ShownDays() const {
    const size_t shown = std::min(m_data.Days.size(), static_cast<size_t>(std::max(Range(), 0)));
    return {m_data.Days.end() - static_cast<std::ptrdiff_t>(shown), m_data.Days.end()};
}

// The table lists today first; the chart runs left to right, oldest first.
void TfrmWritingStats::ShowRange() {
    const std::vector<TDayStats> days = ShownDays();
    m_chart->SetDays(days);
    m_tblDays->setUpdatesEnabled(false);
    m_tblDays->setRowCount(static_cast<int>(days.size()));
    int row = 0;
    for (auto it = days.rbegin(); it != days.rend(); ++it, ++row) {
        m_tblDays->setItem(row, 0, Cell(TWriteLog::DayText(it->Day), Qt::AlignLeft));
        m_tblDays->setItem(row, 1, Cell(QString::number(it->Chars), Qt::AlignRight));
        m_tblDays->setItem(row, 2, Cell(QString::number(it->Words), Qt::AlignRight));
        m_tblDays->setItem(row, 3, Cell(TWriteLog::DurationText(it->Seconds), Qt::AlignRight));
    }
    m_tblDays->setUpdatesEnabled(true);
}

void TfrmWritingStats::ShowGoals() {
    while (QLayoutItem* item = m_goalRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (m_data.Goals.empty()) {
        QLabel* none = NamedLabel("lblNoGoal");
        none->setText(tr("尚未设置目标。"));
        m_goalRows->addWidget(none);
    }
    int n = 0;
    for (const TGoalRow& row : m_data.Goals) {
        auto* box = new QWidget;
        box->setObjectName(QStringLiteral("goal%1").arg(n++));
        auto* rows = new QFormLayout(box);
        rows->setContentsMargins(0, 0, 0, 0);
        QProgressBar* bar = ProgressBar("pbGoal", row.Progress.Written, row.Goal.Chars, row.Target);
        bar->setFormat(QStringLiteral("%1 / %2").arg(row.Progress.Written).arg(row.Goal.Chars));
        QLabel* target = NamedLabel("lblGoalTarget");
        target->setText(row.Target);
        target->setBuddy(bar);
        QLabel* detail = NamedLabel("lblGoalDetail");
        detail->setText(ProgressText(row));
        bar->setAccessibleDescription(detail->text());
        rows->addRow(target, bar);
        rows->addRow(QString(), detail);
        m_goalRows->addWidget(box);
    }
    m_goalRows->addStretch();
}

QString TfrmWritingStats::TodayText(int todayChars, int dailyGoal) {
    if (dailyGoal <= 0)
        return tr("今日：%1 字").arg(todayChars);
    return tr("今日：%1 / %2 字").arg(todayChars).arg(dailyGoal);
}

QString TfrmWritingStats::ProgressText(const TGoalRow& row) {
    const TGoalProgress& p = row.Progress;
    QString text = tr("已写 %1 / %2 字").arg(p.Written).arg(row.Goal.Chars);
    if (p.Reached)
        return text + tr("，已完成。");
    text += tr("，还差 %1 字").arg(p.Remaining);
    const QString deadline = row.Goal.Deadline != 0 ? TWriteLog::DayText(row.Goal.Deadline) : QString();
    if (p.Overdue)
        return text + tr("，已过截止日期 %1。").arg(deadline);
    if (p.DaysLeft > 0)
        return text + tr("，截止 %1，还有 %2 天，每天需写 %3 字。").arg(deadline).arg(p.DaysLeft).arg(p.PerDay);
    if (p.PerDay > 0)
        return text + tr("，每天 %1 字。").arg(p.PerDay);
    return text + tr("，无截止日期。");
}
