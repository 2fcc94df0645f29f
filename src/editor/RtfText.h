// The editor's rich-text file form: a small RTF writer for plain text with
// one font, and a reader that extracts the plain text of an RTF stream
// (paragraphs, tabs, \uN and \'hh characters in code page 936/GB18030;
// formatting, pictures and other destinations are skipped). Pure functions.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <optional>

// text: paragraphs separated by LF, CR LF or CR.
QByteArray WriteRtfText(const QString& text, const QFont& font);
// std::nullopt when bytes are not an RTF stream.
std::optional<QString> ReadRtfText(const QByteArray& bytes);
