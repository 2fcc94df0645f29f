#include "app/commands/TLibraryFindCommands.h"

#include "app/TAppContext.h"
#include "app/TBackupService.h"
#include "app/ViewFill.h"
#include "app/commands/CommandSteps.h"
#include "app/commands/TFolderCommands.h"
#include "app/commands/TMainView.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/dialogs/TfrmLibraryFind.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/DialogService.h"
#include "platform/ErrorText.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

using commandsteps::RunStep;

namespace {

const char kCaption[] = QT_TRANSLATE_NOOP("Commands", "在稿件库中查找");  // translated where shown

}  // namespace

TLibraryFindCommands::TLibraryFindCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts,
                                           TFolderCommands& folders)
    : m_main(main), m_context(context), m_manuscripts(manuscripts), m_folders(folders) {}

// A worker only runs while the dialog is shown, which the window cannot
// outlast; still, never leave a thread running behind.
TLibraryFindCommands::~TLibraryFindCommands() {
    if (m_worker) {
        m_cancel = true;
        m_worker->wait();
        delete m_worker;
    }
}

void TLibraryFindCommands::munFindLibraryClick() {
    if (!m_context.DocData().Opened() || m_dialog)
        return;
    TfrmLibraryFind dialog(m_main.Window());
    m_dialog = &dialog;
    dialog.SetUndoEnabled(m_context.LibrarySearch().CanUndo());
    connect(&dialog, &TfrmLibraryFind::FindAllRequested, this, &TLibraryFindCommands::FindAll);
    connect(&dialog, &TfrmLibraryFind::ReplaceAllRequested, this, &TLibraryFindCommands::ReplaceAll);
    connect(&dialog, &TfrmLibraryFind::UndoRequested, this, &TLibraryFindCommands::UndoReplace);
    connect(&dialog, &TfrmLibraryFind::CancelRequested, this, [this] { m_cancel = true; });
    connect(&dialog, &TfrmLibraryFind::HitActivated, this, &TLibraryFindCommands::OpenHit);
    m_context.Dialogs().ExecDialog(dialog);
    // Closed while a worker ran: it was told to stop; nothing follows it.
    m_cancel = true;
    WaitForWork();
    m_dialog = nullptr;
}

TSearchQuery TLibraryFindCommands::Query() const {
    TSearchQuery query;
    query.Pattern = m_dialog->Pattern();
    query.Regex = m_dialog->Regex();
    query.CaseSensitive = m_dialog->CaseSensitive();
    if (m_dialog->FolderOnly())
        query.FolderID = ItemID(m_main.DocTree()->currentItem());
    return query;
}

// ---- the buttons -------------------------------------------------------------

void TLibraryFindCommands::FindAll() {
    if (m_dialog->Pattern().isEmpty() || m_worker)
        return;
    m_dialog->ClearHits();
    auto found = std::make_shared<TSearchResult>();
    const TSearchQuery query = Query();
    RunOffThread([this, found,
                  query](const TSearchControl& control) { *found = m_context.LibrarySearch().Find(query, control); },
                 [this, found] {
                     if (!found->Cancelled)
                         m_dialog->ShowHits(found->Hits, TranslatedText(found->Summary()));
                 });
}

void TLibraryFindCommands::ReplaceAll() {
    if (m_dialog->Pattern().isEmpty() || m_worker)
        return;
    // The editor's unsaved text goes into the library first, or is dropped
    // when the manuscript gets the replaced text; 取消 gives up the replace.
    if (!m_manuscripts.SavePrompt(QCoreApplication::translate("Commands", kCaption)))
        return;
    m_dialog->ClearHits();
    auto plan = std::make_shared<TReplacePlan>();
    const TSearchQuery query = Query();
    const QString replacement = m_dialog->Replacement();
    RunOffThread(
        [this, plan, query, replacement](const TSearchControl& control) {
            *plan = m_context.LibrarySearch().PlanReplace(query, replacement, control);
        },
        [this, plan] { ApplyPlan(*plan); });
}

void TLibraryFindCommands::ApplyPlan(const TReplacePlan& plan) {
    if (plan.Cancelled)
        return;
    if (!plan.Skipped.isEmpty())
        m_context.Dialogs().Warn(
            tr("这些稿件保存的文字无法原样读出，不做替换：\n") + plan.Skipped.join(QStringLiteral("、")),
            QCoreApplication::translate("Commands", kCaption));
    if (plan.Changes.empty()) {
        m_dialog->ShowSummary(TranslatedText(TSearchResult{}.Summary()));
        return;
    }
    if (!m_context.Dialogs().Confirm(TranslatedText(plan.Question()),
                                     QCoreApplication::translate("Commands", kCaption)))
        return;
    auto applied = std::make_shared<TReplacePlan>(plan);
    auto outcome = std::make_shared<TReplaceOutcome>();
    RunOffThread(
        [this, applied, outcome](const TSearchControl& control) {
            *outcome = m_context.LibrarySearch().ApplyReplace(*applied, control);
        },
        [this, applied, outcome] {
            if (outcome->Cancelled)
                return;
            m_lastReplaced.clear();
            for (const TReplaceChange& change : applied->Changes)
                m_lastReplaced.insert(change.DocID);
            ReloadBoundDoc(m_lastReplaced);
            m_dialog->ShowSummary(tr("已替换 %1 处，涉及 %2 篇稿件").arg(outcome->HitCount).arg(outcome->DocCount));
        });
}

void TLibraryFindCommands::UndoReplace() {
    if (m_worker || !m_context.LibrarySearch().CanUndo())
        return;
    if (const std::optional<int> bound = BoundDoc(); bound && m_lastReplaced.contains(*bound)) {
        if (!m_manuscripts.SavePrompt(QCoreApplication::translate("Commands", kCaption)))
            return;  // 取消: the replacement stays, and so does the text
    }
    auto outcome = std::make_shared<TUndoOutcome>();
    RunOffThread([this, outcome](const TSearchControl&) { *outcome = m_context.LibrarySearch().UndoReplace(); },
                 [this, outcome] {
                     ReloadBoundDoc(m_lastReplaced);
                     m_lastReplaced.clear();
                     m_dialog->ClearHits();
                     if (!outcome->Message.isEmpty())
                         m_context.Dialogs().Warn(TranslatedText(outcome->Message),
                                                  QCoreApplication::translate("Commands", kCaption));
                 });
}

// The manuscript opens as a click on it in the list opens it (the save
// prompt included); then the hit is selected in the editor.
void TLibraryFindCommands::OpenHit(int index) {
    if (m_worker || index < 0 || size_t(index) >= m_dialog->Hits().size())
        return;
    const TSearchHit hit = m_dialog->Hits()[size_t(index)];
    if (!m_folders.OpenDocInFolder(hit.FolderID, hit.DocID) || BoundDoc() != hit.DocID)
        return;
    QTextEdit* control = m_main.Editor()->Control();
    const QTextBlock block = control->document()->findBlockByNumber(hit.Line - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + hit.Span.Start);
    cursor.setPosition(block.position() + hit.Span.Start + hit.Span.Length, QTextCursor::KeepAnchor);
    control->setTextCursor(cursor);
    control->ensureCursorVisible();
}

// ---- the worker --------------------------------------------------------------

void TLibraryFindCommands::RunOffThread(TWork work, std::function<void()> then) {
    m_cancel = false;
    m_error = nullptr;
    m_then = std::move(then);
    m_dialog->SetBusy(true);
    QTimer* autoSave = m_main.AutoSaveTimer();
    m_autoSaveWasActive = autoSave->isActive();
    autoSave->stop();
    m_context.Backups().Hold(true);
    QPointer<TfrmLibraryFind> dialog = m_dialog;
    TSearchControl control;
    control.Cancel = &m_cancel;
    control.Progress = [dialog](int done, int total) {
        QMetaObject::invokeMethod(
            dialog,
            [dialog, done, total] {
                if (dialog)
                    dialog->SetProgress(done, total);
            },
            Qt::QueuedConnection);
    };
    m_worker = QThread::create([this, work = std::move(work), control] {
        try {
            work(control);
        } catch (...) {
            m_error = std::current_exception();
        }
    });
    connect(m_worker, &QThread::finished, this, &TLibraryFindCommands::WorkFinished);
    m_worker->start();
}

void TLibraryFindCommands::WorkFinished() {
    if (!m_worker)
        return;
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_context.Backups().Hold(false);
    if (m_autoSaveWasActive)
        m_main.AutoSaveTimer()->start();
    const std::function<void()> then = std::move(m_then);
    m_then = nullptr;
    if (!m_dialog)
        return;
    m_dialog->SetBusy(false);
    m_dialog->SetUndoEnabled(m_context.LibrarySearch().CanUndo());
    if (m_error) {
        const std::exception_ptr error = m_error;
        m_error = nullptr;
        RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kCaption),
                [&] { std::rethrow_exception(error); });
        return;
    }
    if (then && !m_cancel)
        then();
}

void TLibraryFindCommands::WaitForWork() {
    if (!m_worker)
        return;
    m_worker->wait();
    m_then = nullptr;  // the dialog it would fill is gone
    WorkFinished();
}

// ---- the editor ---------------------------------------------------------------

std::optional<int> TLibraryFindCommands::BoundDoc() const {
    TqlvEditor* editor = m_main.Editor();
    if (!editor->IsEnabled())
        return std::nullopt;
    try {
        return editor->GetDocumentId();
    } catch (const EEditorError&) {
        return std::nullopt;
    }
}

// The manuscript in the editor shows what the library now holds.
void TLibraryFindCommands::ReloadBoundDoc(const QSet<int>& changed) {
    const std::optional<int> bound = BoundDoc();
    if (!bound || !changed.contains(*bound))
        return;
    QString text;
    if (!RunStep(m_context.Dialogs(), QCoreApplication::translate("Commands", kCaption),
                 [&] { text = m_context.DocData().LoadDocText(*bound); }))
        return;
    TqlvEditor* editor = m_main.Editor();
    editor->SetText(text);
    editor->SetModified(false);
}
