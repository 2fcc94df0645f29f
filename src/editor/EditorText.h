// Small helpers between the control's text and the plain text the rest of
// the application sees. Internal to the editor.
#pragma once

#include <QFont>
#include <QString>

class QTextDocument;
class QTextEdit;

namespace editortext {

// The control separates paragraphs with U+2029 and soft line breaks with
// U+2028; outside the editor both are CR LF.
QString ToCrLf(const QString& raw);
// Position after the last character.
int EndPosition(const QTextDocument& document);
// The font at the caret or selection, unset attributes taken from the
// document's default font.
QFont FontAtCursor(const QTextEdit& control);
// Splits text into lines at CR LF, LF or CR. A final line break does not
// start another line, so "a\nb\n" and "a\nb" both give {"a", "b"}.
QStringList SplitLines(const QString& text);

}  // namespace editortext
