// The writing modes of the editor: the centred column, typewriter scrolling
// and focus dimming (held by the control, TqlvTextEdit) and the paragraph
// indent: Enter's new paragraph and 整理段首缩进.
#include "editor/TqlvEditor.h"

#include "editor/ParagraphIndent.h"
#include "editor/TqlvTextEdit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using paragraphindent::Indent;
using paragraphindent::LeadingBlanks;

TqlvTextEdit* TqlvEditor::TextEdit() const { return static_cast<TqlvTextEdit*>(m_control.data()); }

void TqlvEditor::SetColumnCharacters(int characters) { TextEdit()->SetColumnCharacters(characters); }
void TqlvEditor::SetTypewriterScrolling(bool on) { TextEdit()->SetTypewriterScrolling(on); }
void TqlvEditor::SetFocusMode(bool on) { TextEdit()->SetFocusMode(on); }
void TqlvEditor::SetParagraphIndent(bool on) { m_paragraphIndent = on; }

// One undo step: the selection goes, the part after the caret loses its
// leading blanks and starts the new paragraph behind the indent, and a part
// before the caret that is only blanks (an indent with nothing written
// after it) is emptied, so blank lines stay blank.
void TqlvEditor::BreakIndentedParagraph() {
    QTextCursor cursor = m_control->textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlock block = cursor.block();
    const int inBlock = cursor.position() - block.position();
    const QString text = block.text();
    const qsizetype blanksAfter = LeadingBlanks(QStringView(text).mid(inBlock));
    cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, int(blanksAfter));
    cursor.removeSelectedText();
    if (inBlock > 0 && LeadingBlanks(QStringView(text).left(inBlock)) == inBlock) {
        cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.insertBlock();
    cursor.insertText(Indent());
    cursor.endEditBlock();
    m_control->setTextCursor(cursor);
    m_control->ensureCursorVisible();
}

int TqlvEditor::NormaliseIndents() {
    QTextDocument* document = m_control->document();
    const QTextCursor selection = m_control->textCursor();
    QTextBlock first = document->firstBlock();
    QTextBlock last = document->lastBlock();
    if (selection.hasSelection()) {
        first = document->findBlock(selection.selectionStart());
        last = document->findBlock(selection.selectionEnd());
        // A selection ending at the start of a line leaves that line out.
        if (selection.selectionEnd() == last.position() && last != first)
            last = last.previous();
    }
    int changed = 0;
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const QString text = block.text();
        const qsizetype blanks = LeadingBlanks(text);
        const bool indented = blanks == 2 && text.startsWith(Indent());
        if (blanks < text.size() && !indented) {
            edit.setPosition(block.position());
            edit.setPosition(block.position() + int(blanks), QTextCursor::KeepAnchor);
            edit.insertText(Indent());
            ++changed;
        }
        if (block == last)
            break;
    }
    edit.endEditBlock();
    return changed;
}
