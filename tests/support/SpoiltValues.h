// Spoils the stored values of a library file on purpose, so that tests can
// show how a damaged record is met. Header-only; the library must be closed.
#pragma once

#include "platform/TextCodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Spoils every stored compressed value of `text` in `bytes` (its length, then
// the zlib stream): the first deflate block gets a reserved type. Returns how
// many. `text` must be long enough for the engine to compress it.
inline int SpoilStoredValues(QByteArray& bytes, const QString& text) {
    const qint32 length = static_cast<qint32>(ToGB(text).size());
    QByteArray prefix(4, '\0');
    for (int i = 0; i < 4; ++i)
        prefix[i] = static_cast<char>((length >> (8 * i)) & 0xff);
    prefix += '\x78';
    int spoilt = 0;
    for (qsizetype at = bytes.indexOf(prefix); at >= 0; at = bytes.indexOf(prefix, at + 1)) {
        bytes[at + 6] = '\x07';
        ++spoilt;
    }
    return spoilt;
}

// The same on a file; returns how many values were spoilt (0 when the file
// cannot be opened).
inline int SpoilStoredValuesIn(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return 0;
    QByteArray bytes = file.readAll();
    const int spoilt = SpoilStoredValues(bytes, text);
    file.seek(0);
    file.write(bytes);
    return spoilt;
}
