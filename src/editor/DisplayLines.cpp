#include "editor/DisplayLines.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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

int DisplayLineAt(const QTextDocument& document, bool wrapped, int position) {
    const QTextBlock block = BlockAt(document, position);
    if (!wrapped)
        return block.blockNumber();
    int lines = 0;
    for (QTextBlock b = document.firstBlock(); b.isValid() && b != block; b = b.next())
        lines += LinesIn(b);
    return lines + LineInBlock(document, block, position - block.position()).index;
}

int DisplayLineStart(const QTextDocument& document, bool wrapped, int position) {
    const QTextBlock block = BlockAt(document, position);
    if (!wrapped)
        return block.position();
    return block.position() + LineInBlock(document, block, position - block.position()).start;
}

int DisplayLineStartOfIndex(const QTextDocument& document, bool wrapped, int lineIndex) {
    if (!wrapped) {
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

int ParagraphAt(const QTextDocument& document, int position) { return BlockAt(document, position).blockNumber(); }

int ParagraphStart(const QTextDocument& document, int paragraphNumber) {
    const int index = std::clamp(paragraphNumber - 1, 0, document.blockCount() - 1);
    return document.findBlockByNumber(index).position();
}

TTextRange DisplayLineWithBreak(const QTextDocument& document, bool wrapped, int position) {
    const QTextBlock block = BlockAt(document, position);
    int from = block.position();
    int to = from + block.length() - 1;  // before the paragraph separator
    if (wrapped) {
        QTextLayout* layout = LaidOut(document, block);
        const TLineInBlock line = LineInBlock(document, block, position - block.position());
        from = block.position() + line.start;
        if (line.index < layout->lineCount() - 1)
            to = from + line.length;  // a wrapped line has no break of its own
    }
    if (to == block.position() + block.length() - 1 && block.next().isValid())
        ++to;  // the line's break goes with it
    return {from, to};
}
