// Find and replace. The two dialogs are modeless and kept once created; they
// share the last search text, and FindNext repeats the last search with the
// options of the dialog used last.
#include "editor/TqlvEditor.h"

#include "editor/FindDialog.h"
#include "editor/ReplaceDialog.h"
#include "platform/DialogService.h"
#include "platform/Skin.h"

#include <QLineEdit>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

QTextDocument::FindFlags FlagsOf(const TSearchOptions& options) {
    QTextDocument::FindFlags flags;
    if (options.matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options.wholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (!options.down)
        flags |= QTextDocument::FindBackward;
    return flags;
}

template <typename Dialog>
void ShowModeless(Dialog* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->editFind->setFocus();
}

// The dialogs are drawn in the skin of the service the editor asks through.
void DrawInServiceSkin(QWidget* dialog) {
    if (const TSkin* skin = InstalledDialogService().Skin())
        skin->ApplyTo(dialog);
}

}  // namespace

QString TqlvEditor::SelectionPrefill() const {
    // A search text is one line: take the selection up to its first break.
    const QString selected = m_control->textCursor().selectedText();
    const qsizetype lineEnd = selected.indexOf(QChar::ParagraphSeparator);
    return lineEnd < 0 ? selected : selected.left(lineEnd);
}

void TqlvEditor::Find() {
    const bool created = !m_findDialog;
    if (created) {
        m_findDialog = new TfrmFind(m_control->window());
        DrawInServiceSkin(m_findDialog);
        connect(m_findDialog, &TfrmFind::FindNextClicked, this, [this] {
            m_lastSearch = m_findDialog->Options();
            SearchAndSelect(m_lastSearch, true);
            KeepDialogOffSelection(m_findDialog);
        });
    }
    const QString prefill = SelectionPrefill();
    if (!prefill.isEmpty())
        m_findDialog->SetSearchText(prefill);
    else if (created)
        m_findDialog->SetSearchText(m_replaceDialog ? m_replaceDialog->Options().text : m_lastSearch.text);
    ShowModeless(m_findDialog.data());
}

void TqlvEditor::Replace() {
    const bool created = !m_replaceDialog;
    if (created) {
        m_replaceDialog = new TfrmReplace(m_control->window());
        DrawInServiceSkin(m_replaceDialog);
        connect(m_replaceDialog, &TfrmReplace::FindNextClicked, this, [this] {
            m_lastSearch = m_replaceDialog->Options();
            SearchAndSelect(m_lastSearch, true);
            KeepDialogOffSelection(m_replaceDialog);
        });
        connect(m_replaceDialog, &TfrmReplace::ReplaceClicked, this,
                [this] { RunReplaceFromDialog(m_replaceDialog->Options(), m_replaceDialog->ReplaceText()); });
        connect(m_replaceDialog, &TfrmReplace::ReplaceAllClicked, this,
                [this] { RunReplaceAllFromDialog(m_replaceDialog->Options(), m_replaceDialog->ReplaceText()); });
    }
    // A dialog made new takes over the other one's text as it stands there,
    // searched for or not.
    const QString prefill = SelectionPrefill();
    if (!prefill.isEmpty())
        m_replaceDialog->SetSearchText(prefill);
    else if (created)
        m_replaceDialog->SetSearchText(m_findDialog ? m_findDialog->Options().text : m_lastSearch.text);
    ShowModeless(m_replaceDialog.data());
}

bool TqlvEditor::FindNext() {
    if (m_lastSearch.text.isEmpty())
        return false;
    const bool found = SearchAndSelect(m_lastSearch, true);
    if (found) {
        KeepDialogOffSelection(m_findDialog);
        KeepDialogOffSelection(m_replaceDialog);
    }
    return found;
}

bool TqlvEditor::SearchAndSelect(const TSearchOptions& options, bool reportNotFound) {
    if (options.text.isEmpty())
        return false;
    QTextDocument* document = m_control->document();
    QTextCursor from(document);
    from.setPosition(options.down ? SelectionEnd() : SelectionStart());
    QTextCursor found = document->find(options.text, from, FlagsOf(options));
    QString note;
    if (found.isNull()) {
        // Once round: on from the other end of the text, with a note saying so.
        from.movePosition(options.down ? QTextCursor::Start : QTextCursor::End);
        found = document->find(options.text, from, FlagsOf(options));
        note = options.down ? tr("已查找到文档末尾，从开头继续查找") : tr("已查找到文档开头，从末尾继续查找");
    }
    if (found.isNull()) {
        emit SearchNote(QString());
        if (reportNotFound)
            ShowNotFound();
        return false;
    }
    SelectRange(found.selectionStart(), found.selectionEnd());
    emit SearchNote(note);
    return true;
}

bool TqlvEditor::SelectionMatches(const TSearchOptions& options) const {
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString selected = m_control->textCursor().selectedText();
    return !selected.isEmpty() && selected.compare(options.text, cs) == 0;
}

void TqlvEditor::RunReplaceFromDialog(const TSearchOptions& options, const QString& replacement) {
    m_lastSearch = options;
    // Replace the match that is selected, or else the next one: every press
    // replaces one occurrence, the first press too.
    if (!SelectionMatches(options) && !SearchAndSelect(options, true))
        return;
    QTextCursor cursor = m_control->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(replacement);
    // Searching up goes on before the replaced text, down after it.
    if (!options.down)
        cursor.setPosition(start);
    m_control->setTextCursor(cursor);
    SearchAndSelect(options, true);
    KeepDialogOffSelection(m_replaceDialog);
}

void TqlvEditor::RunReplaceAllFromDialog(const TSearchOptions& options, const QString& replacement) {
    m_lastSearch = options;
    if (options.text.isEmpty())
        return;
    QTextDocument* document = m_control->document();
    QTextCursor from(document);
    from.setPosition(options.down ? SelectionStart() : SelectionEnd());
    int replaced = 0;
    m_selectionReportingSuspended = true;
    QTextCursor editBlock(document);
    editBlock.beginEditBlock();  // one undo step for the whole run
    for (;;) {
        QTextCursor found = document->find(options.text, from, FlagsOf(options));
        if (found.isNull())
            break;
        const int start = found.selectionStart();
        found.insertText(replacement);
        // Continue behind (down) or before (up) the inserted text, so a
        // replacement containing the search text is never searched again.
        from.setPosition(options.down ? found.position() : start);
        ++replaced;
    }
    editBlock.endEditBlock();
    if (replaced > 0)
        SelectRange(from.position(), from.position());
    m_selectionReportingSuspended = false;
    ReportSelection();
    if (replaced == 0)
        ShowNotFound();
    else
        emit SearchNote(tr("全部替换：已替换 %1 处").arg(replaced));
}

void TqlvEditor::KeepDialogOffSelection(QWidget* dialog) {
    if (!dialog || !dialog->isVisible() || !m_control)
        return;
    const QRect caret = m_control->cursorRect();
    const QRect match(m_control->viewport()->mapToGlobal(caret.topLeft()), caret.size());
    const QRect frame = dialog->frameGeometry();
    if (!frame.intersects(match.adjusted(0, -8, 0, 8)))
        return;
    const int above = match.top() - frame.height() - 16;
    const QScreen* screen = dialog->screen();
    const int screenTop = screen ? screen->availableGeometry().top() : 0;
    const int y = above >= screenTop ? above : match.bottom() + 16;
    dialog->move(frame.left(), y);
}

void TqlvEditor::ShowNotFound() {
    InstalledDialogService().Inform(tr("已完成对文档的搜索，没有找到搜索项！"), tr("查找"));
}
