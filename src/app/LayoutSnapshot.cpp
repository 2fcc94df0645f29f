#include "app/LayoutSnapshot.h"

#include <QLayout>
#include <QMainWindow>

TLayoutSnapshot TLayoutSnapshot::Take(QMainWindow& window, const QList<QWidget*>& controls) {
    TLayoutSnapshot snapshot;
    snapshot.State = window.windowState();
    snapshot.Geometry = window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen) ? window.normalGeometry()
                                                                                            : window.geometry();
    for (QWidget* control : controls)
        snapshot.Visible.emplace_back(control, control->isVisibleTo(&window));
    for (QSplitter* splitter : window.findChildren<QSplitter*>())
        if (splitter->isVisible())
            snapshot.Splitters.emplace_back(splitter, splitter->sizes());
    return snapshot;
}

void TLayoutSnapshot::Restore(QMainWindow& window) const {
    for (const auto& [control, visible] : Visible)
        if (control)
            control->setVisible(visible);
    window.setWindowState(State);
    if (!(State & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        window.setGeometry(Geometry);
    // The splitters get their sizes once the layout has its final size, or
    // the first resize would share the difference out again.
    if (QLayout* layout = window.layout())
        layout->activate();
    for (const auto& [splitter, sizes] : Splitters)
        if (splitter)
            splitter->setSizes(sizes);
}
