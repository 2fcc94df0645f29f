// Menu 编辑, the font boxes, menu 查找 (editor part) and the editor part of
// menu 插入: each runs one editor operation.
#include "app/AppGlobals.h"
#include "app/TfrmMain.h"
#include "editor/TqlvEditor.h"
#include "platform/DialogService.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QTextEdit>

void TfrmMain::munEditUndoClick() { if (m_editor) m_editor->Undo(); }
void TfrmMain::munEditRedoClick() { if (m_editor) m_editor->Redo(); }
void TfrmMain::munEditCutClick() { if (m_editor) m_editor->Cut(); }
void TfrmMain::munEditCopyClick() { if (m_editor) m_editor->Copy(); }
void TfrmMain::munCopyAllClick() { if (m_editor) m_editor->CopyAll(); }
void TfrmMain::munEditPasteClick() { if (m_editor) m_editor->Paste(); }
void TfrmMain::munEditDelClick() { if (m_editor) m_editor->DeleteSelection(); }
void TfrmMain::munDelLineClick() { if (m_editor) m_editor->DeleteLine(); }
void TfrmMain::munDelFromBeginClick() { if (m_editor) m_editor->DeleteToStart(); }
void TfrmMain::munDelFromEndClick() { if (m_editor) m_editor->DeleteToEnd(); }
void TfrmMain::munEditSelAllClick() { if (m_editor) m_editor->SelectAll(); }
void TfrmMain::munSelFromBeginClick() { if (m_editor) m_editor->SelectToStart(); }
void TfrmMain::munSelFromEndClick() { if (m_editor) m_editor->SelectToEnd(); }

void TfrmMain::munEditFontClick() {
    if (!m_editor)
        return;
    if (const std::optional<QFont> font = Dialogs().ChooseFont(m_editor->Control()->currentFont())) {
        m_editor->SetFont(*font);
        UpdateEditActions();
    }
}

void TfrmMain::munEditBGClick() {
    if (!m_editor)
        return;
    const QColor current = m_editor->Control()->palette().color(QPalette::Base);
    if (const std::optional<QColor> color = Dialogs().ChooseColor(current))
        m_editor->SetColor(*color);
}

// The item has already toggled its check mark when this runs.
void TfrmMain::munEditWrapClick() {
    if (m_editor)
        m_editor->SetWordWrap(Action(QStringLiteral("munEditWrap"))->isChecked());
}

void TfrmMain::comboxFontNameChange() {
    if (!m_editor)
        return;
    m_editor->SetSelFontName(comboxFontName->currentText());
    m_editor->Focus();
}

void TfrmMain::comboxFontSizeChange() {
    if (!m_editor)
        return;
    m_editor->SetSelFontSize(comboxFontSize->currentText().toInt());
    m_editor->Focus();
}

void TfrmMain::munFindSearchClick() { if (m_editor) m_editor->Find(); }
void TfrmMain::munFindNextClick() { if (m_editor) m_editor->FindNext(); }
void TfrmMain::munFindReplaceClick() { if (m_editor) m_editor->Replace(); }
void TfrmMain::munInsertTimeClick() { if (m_editor) m_editor->InsertTime(); }
void TfrmMain::munInsertDateClick() { if (m_editor) m_editor->InsertDate(); }

// Clipboard watching: while checked, text newly put on the clipboard is
// inserted at the caret; checking inserts the current clipboard text at once.
void TfrmMain::munEditWatchClipperClick() {
    QAction* item = Action(QStringLiteral("munEditWatchClipper"));
    QClipboard* clipboard = QGuiApplication::clipboard();
    disconnect(m_clipboardWatch);
    if (!item->isChecked() || !clipboard)
        return;
    auto insertClipboardText = [this, clipboard] {
        const QString text = clipboard->text();
        if (m_editor && !text.isEmpty())
            m_editor->InsertText(text);
    };
    m_clipboardWatch = connect(clipboard, &QClipboard::dataChanged, this, insertClipboardText);
    insertClipboardText();
}
