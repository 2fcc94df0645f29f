// What happens to the main window from outside: the first show, names handed
// over by a second start, dropped files and closing. The window does its own
// part (coming to the front, leaving full screen, storing the layout) and
// hands the rest to the session through TWindowCommands.
#include "app/TAppContext.h"
#include "app/TFullScreenWriting.h"
#include "app/TQuickHide.h"
#include "app/TfrmMain.h"
#include "editor/TqlvEditor.h"
#include "settings/IniConfig.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

namespace {

QStringList LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

}  // namespace

void TfrmMain::SetCommandLine(const QString& joinedParams) { m_commandLine = joinedParams; }

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_firstShowDone)
        return;
    m_firstShowDone = true;
    // After the window is on screen, so prompts of the opens have a parent.
    QTimer::singleShot(0, this, &TfrmMain::FirstShow);
}

void TfrmMain::FirstShow() { m_commands.openAtStart(m_commandLine); }

void TfrmMain::PassParams(const QString& name) { m_commands.openHandedOver(name); }

void TfrmMain::BringToFront() {
    if (!isVisible())
        return;
    // A minimised window is restored, not only raised behind its icon.
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void TfrmMain::DropFiles(const QStringList& paths) { m_commands.openDropped(paths); }

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    DropFiles(files);
}

// Files dropped on the editor open like files dropped on the window; other
// drops (text) stay the editor's.
bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    const bool editorArea = m_editor && watched == m_editor->Control()->viewport();
    if (editorArea && acceptDrops()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!LocalFiles(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = LocalFiles(drop->mimeData());
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                DropFiles(files);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// 取消 at the save prompt keeps the window open with its text; past the
// prompt, closing is never refused.
void TfrmMain::closeEvent(QCloseEvent* event) {
    if (!m_shutdownDone && !m_commands.mayClose()) {
        event->ignore();
        return;
    }
    Shutdown();
    event->accept();
}

void TfrmMain::Shutdown() {
    if (m_shutdownDone)
        return;
    m_shutdownDone = true;
    m_timerAutoSave->stop();
    m_fullScreen->Leave();  // the layout stored is the window's own, not the full screen
    m_quickHide->Unregister();
    m_commands.closeLibraries();
    SaveLayout();
    m_context.IniConfig().WriteSkin(SkinStyle(), SkinTheme());
}
