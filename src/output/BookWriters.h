// The format writers behind WriteBookFile (BookFile.h). Each writes the whole
// book to an open device, reports one progress unit per section and raises
// EBookCancelled when asked to stop, EUserError when the device refuses
// bytes. Internal to the output library.
#pragma once

#include "output/BookFile.h"
#include "output/BookModel.h"

#include <QByteArray>
#include <QXmlStreamWriter>
#include <functional>

class QIODevice;

void WriteDocx(const TBook& book, QIODevice& device, const TBookProgress& progress);
void WriteOdt(const TBook& book, QIODevice& device, const TBookProgress& progress);
void WriteEpub(const TBook& book, QIODevice& device, const TBookProgress& progress);
void WriteHtml(const TBook& book, QIODevice& device, const TBookProgress& progress);
void WriteMarkdown(const TBook& book, QIODevice& device, const TBookProgress& progress);
void WriteText(const TBook& book, QIODevice& device, const TBookProgress& progress);
void WritePdf(const TBook& book, QIODevice& device, TBookPage page, const TBookProgress& progress);

// An XML document (declaration included, UTF-8) written by fill, as bytes
// or onto a device (a streamed archive entry).
QByteArray XmlDocument(const std::function<void(QXmlStreamWriter&)>& fill);
void WriteXmlDocument(QIODevice& device, const std::function<void(QXmlStreamWriter&)>& fill);
// Writes bytes to device or raises EUserError.
void WriteBytes(QIODevice& device, const QByteArray& bytes);

// The East Asian and Western fonts books ask for; readers fall back on
// their own when absent.
inline const QString kBookFontAsian = QStringLiteral("Noto Serif CJK SC");
inline const QString kBookFontWestern = QStringLiteral("Noto Serif");
