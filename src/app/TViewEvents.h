// TViewEvents: turns the raw events of one of the side panel's trees or lists
// into the calls its command group handles: keys pressed on the view itself,
// a left click anywhere in it (also on empty space), a double click, a hint
// request over an item, and drags over / drops onto it.
//
// Drops are taken over completely: the view's own item moving never runs, the
// handler decides what moves, and the drag source is told the data was
// copied, so it removes nothing by itself. Attach() makes the filter a child
// of the view; it lives and dies with it. Unset callbacks are ignored.
#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

class TViewEvents : public QObject {
    Q_OBJECT
public:
    // Key on the view while no caption is edited in it; true when handled.
    std::function<bool(int key)> keyDown;
    std::function<void()> click;
    std::function<void()> dblClick;
    // The hint for the item under the pointer; empty for none.
    std::function<QString(QTreeWidgetItem* item)> hint;
    // Whether a drag from source may be dropped here.
    std::function<bool(QObject* source)> dragOver;
    // A drop from source; target is the item under the drop point or null.
    std::function<void(QObject* source, QTreeWidgetItem* target)> drop;

    static TViewEvents* Attach(QTreeWidget* view);
    // True while an in-place caption edit is under way in view.
    static bool Editing(const QTreeWidget* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TViewEvents(QTreeWidget* view);
    bool ViewportEvent(QEvent* event);
    bool DragEvent(QEvent* event);

    QTreeWidget* m_view;
    QWidget* m_viewport;  // compared only: it may be dying when an event comes
};
