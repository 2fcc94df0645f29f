#include "editor/EditorText.h"

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace editortext {

QString ToCrLf(const QString& raw) {
    QString text = raw;
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

int EndPosition(const QTextDocument& document) {
    // characterCount includes the document's final paragraph separator.
    return document.characterCount() - 1;
}

QFont FontAtCursor(const QTextEdit& control) {
    return control.currentCharFormat().font().resolve(control.document()->defaultFont());
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar ch = text.at(i);
        if (ch != u'\n' && ch != u'\r')
            continue;
        lines << text.mid(start, i - start);
        if (ch == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

}  // namespace editortext
