#include "app/TViewEvents.h"

#include <QApplication>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>

TViewEvents::TViewEvents(QTreeWidget* view) : QObject(view), m_view(view), m_viewport(view->viewport()) {
    view->installEventFilter(this);
    m_viewport->installEventFilter(this);
}

TViewEvents* TViewEvents::Attach(QTreeWidget* view) { return new TViewEvents(view); }

bool TViewEvents::Editing(const QTreeWidget* view) {
    // An in-place editor is a direct child of the view's viewport, shown from
    // the start of the edit until its end (then hidden and deleted later).
    // Asked this way it holds also while the window is not active.
    const QList<QWidget*> children = view->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return std::any_of(children.begin(), children.end(), [](const QWidget* child) { return !child->isHidden(); });
}

bool TViewEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view) {
        if (event->type() == QEvent::KeyPress && keyDown && !Editing(m_view))
            return keyDown(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
    if (watched == m_viewport)
        return ViewportEvent(event);
    return false;
}

bool TViewEvents::ViewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonRelease:
            // Released after the view updated its selection on the press.
            if (click && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                click();
            return false;
        case QEvent::MouseButtonDblClick:
            if (dblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                dblClick();
            return false;
        case QEvent::ToolTip: {
            if (!hint)
                return false;
            auto* help = static_cast<QHelpEvent*>(event);
            QTreeWidgetItem* item = m_view->itemAt(help->pos());
            const QString text = item ? hint(item) : QString();
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, m_view->viewport());
            return true;
        }
        default:
            return DragEvent(event);
    }
}

bool TViewEvents::DragEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!dragOver || !drop)
        return false;
    auto* dropEvent = static_cast<QDropEvent*>(event);
    if (!dragOver(dropEvent->source())) {
        dropEvent->ignore();
        return true;
    }
    // Copy, never move: the source view must not remove items on its own.
    dropEvent->setDropAction(Qt::CopyAction);
    dropEvent->accept();
    if (type == QEvent::Drop)
        drop(dropEvent->source(), m_view->itemAt(dropEvent->position().toPoint()));
    return true;
}
