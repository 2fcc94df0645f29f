// TLibraryFindCommands: 查找 ▸ 在稿件库中查找. Shows the dialog "在稿件库中查找"
// and does what its buttons ask through the context's TLibrarySearch: find
// every hit, replace them all after a yes to "将替换 N 处，涉及 M 篇稿件。",
// undo the last replace, open the manuscript of a hit with the hit selected.
//
// Finding, planning, replacing and undoing run on a worker thread, one at a
// time, while the dialog shows the progress and offers a cancel; meanwhile
// the dialog is the only window taking input and the auto-save and
// snapshot timers are held, so the worker is the only user of the library.
// The manuscript open in the editor is offered for saving before a replace
// or an undo and shows the new text afterwards. Failures are shown in a box (caption
// "在稿件库中查找") and change nothing.
//
// Owned by TMainCommands; uses the window's controls and the context's services.
#pragma once

#include "library/LibrarySearch.h"

#include <QObject>
#include <QSet>
#include <atomic>
#include <exception>
#include <functional>
#include <optional>

class QThread;
class TAppContext;
class TFolderCommands;
class TMainView;
class TManuscriptCommands;
class TfrmLibraryFind;

class TLibraryFindCommands : public QObject {
    Q_OBJECT
public:
    TLibraryFindCommands(TMainView& main, TAppContext& context, TManuscriptCommands& manuscripts,
                         TFolderCommands& folders);
    ~TLibraryFindCommands() override;

    void munFindLibraryClick();

private:
    using TWork = std::function<void(const TSearchControl& control)>;

    void FindAll();
    void ReplaceAll();
    void ApplyPlan(const TReplacePlan& plan);
    void UndoReplace();
    void OpenHit(int index);
    TSearchQuery Query() const;

    // Runs work on a worker thread with the dialog's progress and cancel,
    // then `then` on this thread unless the work raised (its error is shown).
    void RunOffThread(TWork work, std::function<void()> then);
    void WorkFinished();
    void WaitForWork();
    // The manuscript bound to the editor, when one is.
    std::optional<int> BoundDoc() const;
    void ReloadBoundDoc(const QSet<int>& changed);

    TMainView& m_main;
    TAppContext& m_context;
    TManuscriptCommands& m_manuscripts;
    TFolderCommands& m_folders;
    TfrmLibraryFind* m_dialog = nullptr;  // while shown
    QThread* m_worker = nullptr;
    std::atomic_bool m_cancel{false};
    std::exception_ptr m_error;
    std::function<void()> m_then;
    bool m_autoSaveWasActive = false;
    QSet<int> m_lastReplaced;  // the manuscripts the last replace changed
};
