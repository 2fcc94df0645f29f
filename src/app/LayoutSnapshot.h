// TLayoutSnapshot: what full-screen writing changes of a main window, taken
// before and put back after — the window's state and normal geometry, which
// of the given controls (bars, side panel) were visible, and the sizes of
// every splitter in the window. Plain data with weak pointers: a control
// destroyed in between is skipped on restore. Nothing here can fail.
#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <QSplitter>
#include <vector>

class QMainWindow;
class QWidget;

struct TLayoutSnapshot {
    Qt::WindowStates State;
    QRect Geometry;  // the window's normal geometry (frame excluded)
    std::vector<std::pair<QPointer<QWidget>, bool>> Visible;
    std::vector<std::pair<QPointer<QSplitter>, QList<int>>> Splitters;  // the shown ones

    // The window as it is now, with the visibility of `controls`.
    static TLayoutSnapshot Take(QMainWindow& window, const QList<QWidget*>& controls);
    // Shows and hides the controls as they were, brings back the window's
    // state and geometry, then the sizes of the splitters that were shown (a
    // splitter on a hidden tab is laid out when its tab is shown).
    void Restore(QMainWindow& window) const;
};
