// Writing a book file: the format is taken from the file's extension
// (.docx .odt .epub .pdf .html/.htm .md .txt). The book goes to a temporary
// file in the destination folder that is renamed over the chosen name only
// when complete, so a cancelled or failed build never leaves half a book
// there (and an existing file stays as it was).
//
// Usage (a dialog or qdb):
//   TBook book = BuildBook(data, scope, title, author, loadProgress);  // BookSource.h
//   WriteBookFile(book, path, *BookFormatOfPath(path), TBookPage::A5, writeProgress);
// Failures raise EUserError with the message to show (unknown format, a
// folder that cannot be written, a full disk); cancelling through progress
// raises EBookCancelled. PDF needs a QGuiApplication (the offscreen platform
// will do); without one it raises EUserError.
#pragma once

#include "output/BookModel.h"

#include <QString>
#include <QStringList>
#include <optional>

enum class TBookFormat { Docx, Odt, Epub, Pdf, Html, Markdown, Text };
enum class TBookPage { A5, A4 };

// nullopt for an extension no writer knows.
std::optional<TBookFormat> BookFormatOfPath(const QString& path);
// The usual extension of a format, with its dot (".epub", ".md", ...).
QString BookFormatExtension(TBookFormat format);
// The extensions accepted, with their dots (".docx", ...), for messages and
// file dialogs.
QStringList BookFormatExtensions();
// The message for a path whose extension no writer knows.
QString UnknownBookFormatText(const QString& path);

void WriteBookFile(const TBook& book, const QString& path, TBookFormat format, TBookPage page = TBookPage::A5,
                   const TBookProgress& progress = {});
