// TZipBuilder: writes a ZIP archive (the container of DOCX, ODT and EPUB) to
// a device as entries are added: each entry is stored or deflated with zlib
// and written at once, or streamed (AddStreamed: deflated as it is written,
// its sizes in a data descriptor, so a large part is never held whole);
// Finish() writes the central directory. Entries keep
// the order they are added in (EPUB and ODT need "mimetype" first, stored).
//
// The device belongs to the caller and must stay open. No ZIP64: an archive
// or entry past 4 GiB, or a device that refuses bytes, raises EUserError.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class QIODevice;

class TZipBuilder {
public:
    explicit TZipBuilder(QIODevice& device) : device_(device) {}
    void AddStored(const QString& name, const QByteArray& data);
    void AddDeflated(const QString& name, const QByteArray& data);
    // fill writes the entry's bytes to the device it is given; what it
    // throws passes through (the archive is then unfinished).
    void AddStreamed(const QString& name, const std::function<void(QIODevice&)>& fill);
    void Finish();

private:
    struct TEntry {
        QByteArray Name;
        quint32 Crc = 0;
        quint32 Size = 0;
        quint32 PackedSize = 0;
        quint32 Offset = 0;
        quint16 Method = 0;
        quint16 Flags = 0;
    };
    QByteArray LocalHeader(const TEntry& entry) const;
    static void PutEntryFields(QByteArray& out, const TEntry& entry);
    void Add(const QString& name, const QByteArray& data, bool deflate);
    void Write(const QByteArray& bytes);

    QIODevice& device_;
    std::vector<TEntry> entries_;
    quint64 offset_ = 0;
};
