// TWritingChart: the bar chart of the statistics dialog, one bar a day for
// the Chinese characters written (net: a day of cutting draws below the
// axis). It paints with QPainter only; its text alternative is the dialog's
// table of the same days, which its accessible description points to.
// Holds a copy of the days it shows; nothing can fail.
#pragma once

#include "library/WriteLog.h"

#include <QWidget>
#include <vector>

class TWritingChart : public QWidget {
    Q_OBJECT
public:
    explicit TWritingChart(QWidget* parent = nullptr);
    // Days oldest first.
    void SetDays(std::vector<TDayStats> days);
    const std::vector<TDayStats>& Days() const { return m_days; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TDayStats> m_days;
    int m_top = 0;     // the largest day, at least 1
    int m_bottom = 0;  // the most negative day, or 0
};
