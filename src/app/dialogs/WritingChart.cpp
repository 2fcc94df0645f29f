#include "app/dialogs/WritingChart.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int kMargin = 6;
constexpr int kAxisLabelWidth = 48;
constexpr int kDateRowHeight = 16;

}  // namespace

TWritingChart::TWritingChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartDays"));
    setAccessibleName(tr("每日汉字图表"));
    setAccessibleDescription(tr("每天写的汉字数；数字见下方表格"));
    setMinimumHeight(120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QSize TWritingChart::sizeHint() const { return {560, 160}; }

void TWritingChart::SetDays(std::vector<TDayStats> days) {
    m_days = std::move(days);
    m_top = 1;
    m_bottom = 0;
    for (const TDayStats& day : m_days) {
        m_top = std::max(m_top, day.Chars);
        m_bottom = std::min(m_bottom, day.Chars);
    }
    update();
}

void TWritingChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = rect().adjusted(kMargin + kAxisLabelWidth, kMargin, -kMargin, -(kMargin + kDateRowHeight));
    if (m_days.empty() || plot.width() <= 0 || plot.height() <= 0)
        return;
    const double span = double(m_top) - double(m_bottom);
    const int axisY = plot.top() + int(plot.height() * (m_top / span));
    const double barWidth = double(plot.width()) / double(m_days.size());
    const QColor written = palette().color(QPalette::Highlight);
    const QColor cut = QColor(0xC0, 0x50, 0x40);
    for (size_t i = 0; i < m_days.size(); ++i) {
        const int chars = m_days[i].Chars;
        if (chars == 0)
            continue;
        const int height = int(plot.height() * (std::abs(chars) / span));
        const int x = plot.left() + int(barWidth * double(i));
        const int width = std::max(1, int(barWidth) - (barWidth > 3 ? 1 : 0));
        const QRect bar = chars > 0 ? QRect(x, axisY - height, width, height) : QRect(x, axisY, width, height);
        painter.fillRect(bar, chars > 0 ? written : cut);
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(plot.left(), axisY, plot.right(), axisY);
    const QRect topLabel(kMargin, plot.top(), kAxisLabelWidth - 4, 14);
    painter.drawText(topLabel, Qt::AlignRight | Qt::AlignTop, QString::number(m_top));
    painter.drawText(QRect(kMargin, axisY - 7, kAxisLabelWidth - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("0"));
    const QRect dates(plot.left(), plot.bottom() + 2, plot.width(), kDateRowHeight);
    painter.drawText(dates, Qt::AlignLeft | Qt::AlignVCenter, TWriteLog::DayText(m_days.front().Day));
    painter.drawText(dates, Qt::AlignRight | Qt::AlignVCenter, TWriteLog::DayText(m_days.back().Day));
}
