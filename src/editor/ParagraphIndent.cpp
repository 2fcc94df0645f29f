#include "editor/ParagraphIndent.h"

namespace paragraphindent {

QString Indent() { return QString(2, kIdeographicSpace); }

bool IsIndentBlank(QChar c) { return c == u' ' || c == u'\t' || c == QChar(0x00A0) || c == kIdeographicSpace; }

qsizetype LeadingBlanks(QStringView paragraph) {
    qsizetype count = 0;
    while (count < paragraph.size() && IsIndentBlank(paragraph[count]))
        ++count;
    return count;
}

QString Normalised(const QString& paragraph) {
    const qsizetype blanks = LeadingBlanks(paragraph);
    if (blanks == paragraph.size())
        return paragraph;
    return Indent() + paragraph.mid(blanks);
}

}  // namespace paragraphindent
