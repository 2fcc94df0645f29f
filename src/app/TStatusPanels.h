// The main window's status bar `StBarMain`: nine fixed-width text panels in a
// row, addressed by index like the panels of a classic status bar. A panel of
// width 0 is hidden; in a window too narrow for all, panels shrink and elide
// their text rather than run past the window. Owned by the main window (Qt parent).
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

private:
    QVector<QLabel*> m_panels;
    QVector<int> m_widths;
};
