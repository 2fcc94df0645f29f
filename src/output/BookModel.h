// TBook: a book as the writers see it. The title and author come first, then
// the sections in reading order: folders become part headings, manuscripts
// chapters whose heading is the manuscript's name. Levels count from 1 (a
// top-level part or chapter); a chapter sits one level below its part.
//
// Paragraphs are final text: every non-empty line of a manuscript, indented
// by two ideographic spaces unless it already starts with one; blank lines
// and characters XML cannot carry are dropped. Plain values, nothing fails.
#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <vector>

struct TBookSection {
    enum class Kind { Part, Chapter };
    Kind SectionKind = Kind::Chapter;
    int Level = 1;
    QString Heading;
    QStringList Paragraphs;  // empty for a part and for an empty manuscript
};

struct TBook {
    QString Title;
    QString Author;  // may be empty
    std::vector<TBookSection> Sections;
};

// Progress of a long step: (done, total) units; returning false cancels the
// step, which then raises EBookCancelled. An empty function never cancels.
using TBookProgress = std::function<bool(qint64 done, qint64 total)>;

// The user cancelled a build through the progress callback.
class EBookCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "book build cancelled"; }
};

// The paragraphs of a manuscript's text (see above).
QStringList BookParagraphs(const QString& text);
// Text with every character XML 1.0 cannot carry removed (C0 controls other
// than tab, lone surrogates, U+FFFE/U+FFFF).
QString XmlSafeText(const QString& text);
// The name of a book file the writers use in titles and navigation: Title,
// or "未命名" when it is empty.
QString BookTitleText(const TBook& book);
// Calls progress and raises EBookCancelled when it asks to stop.
void ReportBookProgress(const TBookProgress& progress, qint64 done, qint64 total);
