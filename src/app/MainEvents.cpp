// What happens to the main window from outside: the first show (command-line
// file, last library), names handed over by a second start, dropped files,
// the auto-save tick and the shutdown sequence.
#include "app/OpenRules.h"
#include "app/TAppContext.h"
#include "app/TBackupService.h"
#include "app/TFullScreenWriting.h"
#include "app/TQuickHide.h"
#include "app/TfrmMain.h"
#include "app/Trace.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/DialogService.h"
#include "settings/IniConfig.h"
#include "settings/RegConfig.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <exception>

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

// Runs one shutdown step; an error is shown and the next step still runs, so
// closing always stores the layout and the skin.
template <typename Step>
void RunShutdownStep(TDialogService& dialogs, Step&& step) {
    try {
        step();
    } catch (const std::exception& error) {
        dialogs.Warn(QString::fromUtf8(error.what()), QCoreApplication::translate("MainEvents", "退出"));
    }
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

void TfrmMain::FirstShow() {
    const QString params = m_commandLine;
    if (IsTextFileName(params))
        m_manuscripts->OpenTextFile(params);
    if (IsLibraryFileName(params))
        m_library->OpenLibrary(params);
    TqlvRegConfig& preferences = m_context.RegConfig();
    if (preferences.ReadAutoOpen() && !preferences.ReadLastDB().isEmpty())
        m_library->OpenLibrary(preferences.ReadLastDB());
    Trace(QStringLiteral("Ready"));
}

void TfrmMain::PassParams(const QString& name) {
    Trace(QStringLiteral("PassParams: ") + name);
    if (isVisible()) {
        // A minimised window is restored, not only raised behind its icon.
        if (isMinimized())
            setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        raise();
        activateWindow();
    }
    if (name.isEmpty())
        return;
    const QFileInfo file(name);
    if (file.exists() && IsTextFileName(name))
        m_manuscripts->OpenTextFile(name);
    if (file.exists() && IsLibraryFileName(name))
        m_library->OpenLibrary(name);
}

void TfrmMain::DropFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    const QString& path = paths.first();
    Trace(QStringLiteral("DropFiles: ") + path);
    if (IsLibraryFileName(path))
        m_library->OpenLibrary(path);
    else if (IsTextFileName(path))
        m_manuscripts->OpenTextFile(path);
    else
        m_context.Dialogs().Inform(tr("文件不为可接受格式!"), tr("打开"));
}

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

void TfrmMain::closeEvent(QCloseEvent* event) {
    // 取消 at the save prompt keeps the window open with its text; past the
    // prompt, closing is never refused.
    bool cancelled = false;
    if (!m_shutdownDone)
        RunShutdownStep(m_context.Dialogs(), [&] { cancelled = !m_manuscripts->SavePrompt(tr("退出")); });
    if (cancelled) {
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
    timerAutoSave->stop();
    m_fullScreen->Leave();  // the layout stored is the window's own, not the full screen
    m_quickHide->Unregister();
    RunShutdownStep(m_context.Dialogs(), [this] {
        TqlvDocData& data = m_context.DocData();
        if (data.Opened() && m_context.RegConfig().ReadDBFlags().AutoCompress)
            data.CompressDocData();
    });
    // After the compaction, so the snapshot holds the compacted file.
    RunShutdownStep(m_context.Dialogs(), [this] { m_context.Backups().Finish(); });
    RunShutdownStep(m_context.Dialogs(), [this] { m_context.Documents().CompressDocuments(); });
    SaveLayout();
    m_context.IniConfig().WriteSkin(SkinStyle(), SkinTheme());
}
