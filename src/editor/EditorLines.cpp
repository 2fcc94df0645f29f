// Lines as the control shows them: with word wrap on every wrapped display
// line counts, with it off every paragraph is one line.
#include "editor/TqlvEditor.h"

#include "editor/EditorText.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>

namespace {

QTextLayout* LaidOut(const QTextDocument& document, const QTextBlock& block) {
    // Asking for the block's rectangle makes the layout lay the block out.
    document.documentLayout()->blockBoundingRect(block);
    return block.layout();
}

// Lines of a block before the caret's own block. Laying out the whole text
// before the caret would take seconds on a long manuscript, so a block the
// control has not laid out yet (it lays out in the background) counts as one
// line until it has been.
int LinesIn(const QTextBlock& block) {
    const QTextLayout* layout = block.layout();
    return layout ? std::max(1, layout->lineCount()) : 1;
}

// Index of the display line within its block, and that line's start and
// length relative to the block.
struct TLineInBlock {
    int index = 0;
    int start = 0;
    int length = 0;
};

TLineInBlock LineInBlock(const QTextDocument& document, const QTextBlock& block, int offset) {
    QTextLayout* layout = LaidOut(document, block);
    if (layout->lineCount() == 0)
        return {0, 0, block.length() - 1};
    QTextLine line = layout->lineForTextPosition(std::clamp(offset, 0, block.length() - 1));
    if (!line.isValid())
        line = layout->lineAt(layout->lineCount() - 1);
    return {line.lineNumber(), line.textStart(), line.textLength()};
}

// The block holding position; a position past the end (a cursor reported
// while the text is still changing) counts as the end.
QTextBlock BlockAt(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(std::max(0, position));
    return block.isValid() ? block : document.lastBlock();
}

}  // namespace

int TqlvEditor::LineIndexAt(int position) const {
    const QTextDocument& document = *m_control->document();
    const QTextBlock block = BlockAt(document, position);
    if (!WordWrap())
        return block.blockNumber();
    int lines = 0;
    for (QTextBlock b = document.firstBlock(); b.isValid() && b != block; b = b.next())
        lines += LinesIn(b);
    return lines + LineInBlock(document, block, position - block.position()).index;
}

int TqlvEditor::LineStartAt(int position) const {
    const QTextDocument& document = *m_control->document();
    const QTextBlock block = BlockAt(document, position);
    if (!WordWrap())
        return block.position();
    return block.position() + LineInBlock(document, block, position - block.position()).start;
}

int TqlvEditor::LineStartOfIndex(int lineIndex) const {
    const QTextDocument& document = *m_control->document();
    if (!WordWrap()) {
        const int last = document.blockCount() - 1;
        return document.findBlockByNumber(std::clamp(lineIndex, 0, last)).position();
    }
    QTextBlock block = document.firstBlock();
    while (block.next().isValid()) {
        const int lines = LinesIn(block);
        if (lineIndex < lines)
            break;
        lineIndex -= lines;
        block = block.next();
    }
    QTextLayout* layout = LaidOut(document, block);
    if (layout->lineCount() == 0)
        return block.position();
    const int line = std::clamp(lineIndex, 0, layout->lineCount() - 1);
    return block.position() + layout->lineAt(line).textStart();
}

int TqlvEditor::CaretLine() const { return LineIndexAt(SelectionEnd()); }

int TqlvEditor::CaretColumn() const {
    const int end = SelectionEnd();
    return end - LineStartAt(end);
}

void TqlvEditor::GotoLine(int lineNumber) {
    // Line number 0 (or less) stands for the caret's own line; a number past
    // the last line goes to the last line.
    const int index = lineNumber - 1;
    const int position = index < 0 ? LineStartAt(SelectionEnd()) : LineStartOfIndex(index);
    SelectRange(position, position);
    Focus();
}

int TqlvEditor::CaretParagraph() const { return BlockAt(*m_control->document(), SelectionEnd()).blockNumber(); }

void TqlvEditor::GotoParagraph(int paragraphNumber) {
    const QTextDocument& document = *m_control->document();
    const int index = std::clamp(paragraphNumber - 1, 0, document.blockCount() - 1);
    const int position = document.findBlockByNumber(index).position();
    SelectRange(position, position);
    Focus();
}

void TqlvEditor::DeleteLine() {
    const QTextDocument& document = *m_control->document();
    const int start = SelectionStart();
    const QTextBlock block = BlockAt(document, start);
    int from = block.position();
    int to = from + block.length() - 1;  // before the paragraph separator
    if (WordWrap()) {
        QTextLayout* layout = LaidOut(document, block);
        const TLineInBlock line = LineInBlock(document, block, start - block.position());
        from = block.position() + line.start;
        if (line.index < layout->lineCount() - 1)
            to = from + line.length;  // a wrapped line has no break of its own
    }
    if (to == block.position() + block.length() - 1 && block.next().isValid())
        ++to;  // the line's break goes with it
    QTextCursor cursor = m_control->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_control->setTextCursor(cursor);
    m_control->ensureCursorVisible();
}
