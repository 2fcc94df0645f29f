// The main window's status bar `StBarMain`: nine fixed-width text panels in a
// row, addressed by index like the panels of a classic status bar. A panel of
// width 0 is hidden; in a window too narrow for all, panels shrink and elide
// their text rather than run past the window. After them, the writing panels
// "今日：N 字" and "目标：x / y" (StBarToday, StBarGoal), hidden while they
// have no text. Owned by the main window (Qt parent).
#pragma once

#include <QStatusBar>
#include <QVector>

class QLabel;

class TStatusPanels : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 9;

    explicit TStatusPanels(QWidget* parent = nullptr);

    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    int PanelWidth(int index) const;
    void SetPanelWidth(int index, int width);
    Qt::Alignment PanelAlignment(int index) const;
    QLabel* Panel(int index) const;

    // The writing panels; an empty text hides its panel.
    void SetWritingTexts(const QString& today, const QString& goal);
    QLabel* TodayPanel() const { return m_today; }
    QLabel* GoalPanel() const { return m_goal; }

signals:
    // After SetWritingTexts, so the full-screen footer can repeat them.
    void WritingTextsChanged();

private:
    QVector<QLabel*> m_panels;
    QVector<int> m_widths;
    QLabel* m_today = nullptr;
    QLabel* m_goal = nullptr;
};
