#include "output/ZipBuilder.h"

#include "library/UserError.h"

#include <QIODevice>
#include <QtEndian>
#include <limits>
#include <zlib.h>

namespace {

constexpr quint64 kZipLimit = std::numeric_limits<quint32>::max();
// 1 January 2000, 00:00 in MS-DOS form: a fixed stamp keeps builds of the
// same book byte-identical.
constexpr quint16 kDosTime = 0;
constexpr quint16 kDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;
constexpr quint16 kUtf8Names = 0x0800;

[[noreturn]] void Fail(const QString& text) {
    throw EUserError(text, QStringLiteral("输出书稿"), 2);
}

void Put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
void Put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// Raw deflate (no zlib header), as ZIP wants it.
QByteArray Deflate(const QByteArray& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        Fail(QStringLiteral("无法压缩书稿。"));
    QByteArray out;
    out.resize(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    if (result != Z_STREAM_END) Fail(QStringLiteral("无法压缩书稿。"));
    return out;
}

}  // namespace

// The fields local header and central directory share: method, time, date,
// CRC, sizes and the name's length.
void TZipBuilder::PutEntryFields(QByteArray& out, const TEntry& entry) {
    Put16(out, entry.Method);
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, entry.Crc);
    Put32(out, entry.PackedSize);
    Put32(out, entry.Size);
    Put16(out, static_cast<quint16>(entry.Name.size()));
}

void TZipBuilder::AddStored(const QString& name, const QByteArray& data) { Add(name, data, false); }
void TZipBuilder::AddDeflated(const QString& name, const QByteArray& data) { Add(name, data, true); }

void TZipBuilder::Add(const QString& name, const QByteArray& data, bool deflate) {
    if (static_cast<quint64>(data.size()) >= kZipLimit || offset_ >= kZipLimit)
        Fail(QStringLiteral("书稿太大，超过 4 GB。"));
    TEntry entry;
    entry.Name = name.toUtf8();
    entry.Size = static_cast<quint32>(data.size());
    entry.Crc = static_cast<quint32>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()),
              static_cast<uInt>(data.size())));
    entry.Method = deflate ? 8 : 0;
    entry.Offset = static_cast<quint32>(offset_);
    const QByteArray packed = deflate ? Deflate(data) : QByteArray();
    const QByteArray& body = deflate ? packed : data;
    entry.PackedSize = static_cast<quint32>(body.size());
    QByteArray header;
    Put32(header, 0x04034b50);
    Put16(header, 20);
    Put16(header, kUtf8Names);
    PutEntryFields(header, entry);
    Put16(header, 0);
    header.append(entry.Name);
    Write(header);
    Write(body);
    entries_.push_back(entry);
}

void TZipBuilder::Finish() {
    if (offset_ >= kZipLimit) Fail(QStringLiteral("书稿太大，超过 4 GB。"));
    const quint32 directoryStart = static_cast<quint32>(offset_);
    QByteArray directory;
    for (const TEntry& entry : entries_) {
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, kUtf8Names);
        PutEntryFields(directory, entry);
        Put16(directory, 0);  // extra field
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, entry.Offset);
        directory.append(entry.Name);
    }
    if (entries_.size() >= 0xFFFF) Fail(QStringLiteral("书稿的章节太多。"));
    const quint32 directorySize = static_cast<quint32>(directory.size());
    Put32(directory, 0x06054b50);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, static_cast<quint16>(entries_.size()));
    Put16(directory, static_cast<quint16>(entries_.size()));
    Put32(directory, directorySize);
    Put32(directory, directoryStart);
    Put16(directory, 0);
    Write(directory);
}

void TZipBuilder::Write(const QByteArray& bytes) {
    if (device_.write(bytes) != bytes.size())
        Fail(QStringLiteral("无法写入书稿：%1").arg(device_.errorString()));
    offset_ += static_cast<quint64>(bytes.size());
}
