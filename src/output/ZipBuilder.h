// TZipBuilder: writes a ZIP archive (the container of DOCX, ODT and EPUB) to
// a device as entries are added: each entry is stored or deflated with zlib
// and written at once; Finish() writes the central directory. Entries keep
// the order they are added in (EPUB and ODT need "mimetype" first, stored).
//
// The device belongs to the caller and must stay open. No ZIP64: an archive
// or entry past 4 GiB, or a device that refuses bytes, raises EUserError.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QIODevice;

class TZipBuilder {
public:
    explicit TZipBuilder(QIODevice& device) : device_(device) {}
    void AddStored(const QString& name, const QByteArray& data);
    void AddDeflated(const QString& name, const QByteArray& data);
    void Finish();

private:
    struct TEntry {
        QByteArray Name;
        quint32 Crc = 0;
        quint32 Size = 0;
        quint32 PackedSize = 0;
        quint32 Offset = 0;
        quint16 Method = 0;
    };
    static void PutEntryFields(QByteArray& out, const TEntry& entry);
    void Add(const QString& name, const QByteArray& data, bool deflate);
    void Write(const QByteArray& bytes);

    QIODevice& device_;
    std::vector<TEntry> entries_;
    quint64 offset_ = 0;
};
