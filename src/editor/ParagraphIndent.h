// The paragraph indent of Chinese prose: two ideographic spaces (U+3000) at
// the start of a paragraph. Pure functions on text; nothing here can fail.
#pragma once

#include <QString>
#include <QStringView>

namespace paragraphindent {

inline constexpr QChar kIdeographicSpace{0x3000};

// The indent itself: two U+3000.
QString Indent();
// Blanks an indent is made of or replaces: space, tab, no-break space, U+3000.
bool IsIndentBlank(QChar c);
qsizetype LeadingBlanks(QStringView paragraph);
// The paragraph starting with exactly the indent, whatever blanks it started
// with; a paragraph of blanks only (or empty) is returned as it is.
QString Normalised(const QString& paragraph);

}  // namespace paragraphindent
