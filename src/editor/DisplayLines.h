// Lines of a text document as a text control shows them: with word wrap on,
// every wrapped display line counts; with it off, every paragraph is one line.
// Positions are character positions in the document; a position past the end
// counts as the end. Only the blocks asked about are laid out: a block the
// control has not laid out yet (it lays out in the background) before the one
// asked about counts as one line.
#pragma once

class QTextDocument;

// The index (from 0) of the display line holding position.
int DisplayLineAt(const QTextDocument& document, bool wrapped, int position);
// Where the display line holding position starts.
int DisplayLineStart(const QTextDocument& document, bool wrapped, int position);
// Where display line lineIndex (from 0, clamped to the lines there are) starts.
int DisplayLineStartOfIndex(const QTextDocument& document, bool wrapped, int lineIndex);
// The paragraph (from 0) holding position, whatever the wrapping.
int ParagraphAt(const QTextDocument& document, int position);
// Where paragraph paragraphNumber (from 1, clamped) starts.
int ParagraphStart(const QTextDocument& document, int paragraphNumber);

struct TTextRange {
    int from = 0;
    int to = 0;
};
// The display line holding position, with the line break that ends it when it
// ends its paragraph and another paragraph follows.
TTextRange DisplayLineWithBreak(const QTextDocument& document, bool wrapped, int position);
