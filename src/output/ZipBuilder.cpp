#include "output/ZipBuilder.h"

#include "library/UserError.h"

#include <zlib.h>
#include <QIODevice>
#include <QtEndian>
#include <functional>
#include <limits>

namespace {

constexpr quint64 kZipLimit = std::numeric_limits<quint32>::max();
// 1 January 2000, 00:00 in MS-DOS form: a fixed stamp keeps builds of the
// same book byte-identical.
constexpr quint16 kDosTime = 0;
constexpr quint16 kDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;
constexpr quint16 kUtf8Names = 0x0800;
constexpr quint16 kDataDescriptor = 0x0008;
constexpr qsizetype kChunk = 1 << 20;

[[noreturn]] void Fail(const QString& text) { throw EUserError(text, QStringLiteral("输出书稿"), 2); }

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

// Deflates what is written to it (raw deflate, no zlib header, as ZIP wants
// it) and hands the packed bytes to sink, keeping the CRC and both sizes. A
// sink that fails makes writes fail (-1), so the writer filling it stops;
// Finish() then says false.
class TDeflateDevice : public QIODevice {
public:
    explicit TDeflateDevice(std::function<bool(const char*, qsizetype)> sink) : sink_(std::move(sink)) {
        if (deflateInit2(&stream_, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            Fail(QStringLiteral("无法压缩书稿。"));
        open(QIODevice::WriteOnly);
    }
    ~TDeflateDevice() override { deflateEnd(&stream_); }
    bool Finish() { return Consume() && Pump(Z_FINISH); }
    quint32 Crc() const { return crc_; }
    quint64 Size() const { return size_; }
    quint64 Packed() const { return packed_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (failed_)
            return -1;
        pending_.append(data, static_cast<qsizetype>(length));
        if (pending_.size() >= kChunk && !Consume())
            return -1;
        return length;
    }

private:
    bool Consume() {
        if (failed_)
            return false;
        crc_ = static_cast<quint32>(
            crc32(crc_, reinterpret_cast<const Bytef*>(pending_.constData()), static_cast<uInt>(pending_.size())));
        size_ += static_cast<quint64>(pending_.size());
        stream_.next_in = reinterpret_cast<Bytef*>(pending_.data());
        stream_.avail_in = static_cast<uInt>(pending_.size());
        const bool ok = Pump(Z_NO_FLUSH);
        pending_.clear();
        return ok;
    }
    bool Pump(int flush) {
        char out[64 * 1024];
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(out);
            stream_.avail_out = sizeof out;
            if (deflate(&stream_, flush) == Z_STREAM_ERROR)
                failed_ = true;
            const qsizetype produced = static_cast<qsizetype>(sizeof out - stream_.avail_out);
            if (!failed_ && produced > 0 && !sink_(out, produced))
                failed_ = true;
            packed_ += static_cast<quint64>(produced);
        } while (!failed_ && stream_.avail_out == 0);
        return !failed_;
    }

    std::function<bool(const char*, qsizetype)> sink_;
    z_stream stream_{};
    QByteArray pending_;
    quint32 crc_ = static_cast<quint32>(crc32(0, nullptr, 0));
    quint64 size_ = 0;
    quint64 packed_ = 0;
    bool failed_ = false;
};

QByteArray Deflate(const QByteArray& data) {
    QByteArray packed;
    TDeflateDevice deflated([&packed](const char* bytes, qsizetype length) {
        packed.append(bytes, length);
        return true;
    });
    if (deflated.write(data) != data.size() || !deflated.Finish())
        Fail(QStringLiteral("无法压缩书稿。"));
    return packed;
}

}  // namespace

void TZipBuilder::AddStreamed(const QString& name, const std::function<void(QIODevice&)>& fill) {
    if (offset_ >= kZipLimit)
        Fail(QStringLiteral("书稿太大，超过 4 GB。"));
    TEntry entry;
    entry.Name = name.toUtf8();
    entry.Method = 8;
    entry.Flags = kDataDescriptor;
    entry.Offset = static_cast<quint32>(offset_);
    Write(LocalHeader(entry));
    TDeflateDevice deflated([this](const char* data, qsizetype length) {
        if (device_.write(data, length) != length)
            return false;
        offset_ += static_cast<quint64>(length);
        return true;
    });
    fill(deflated);
    if (!deflated.Finish())
        Fail(QStringLiteral("无法写入书稿：%1").arg(device_.errorString()));
    if (deflated.Size() >= kZipLimit || deflated.Packed() >= kZipLimit)
        Fail(QStringLiteral("书稿太大，超过 4 GB。"));
    entry.Crc = deflated.Crc();
    entry.Size = static_cast<quint32>(deflated.Size());
    entry.PackedSize = static_cast<quint32>(deflated.Packed());
    QByteArray descriptor;
    Put32(descriptor, 0x08074b50);
    Put32(descriptor, entry.Crc);
    Put32(descriptor, entry.PackedSize);
    Put32(descriptor, entry.Size);
    Write(descriptor);
    entries_.push_back(entry);
}

QByteArray TZipBuilder::LocalHeader(const TEntry& entry) const {
    QByteArray header;
    Put32(header, 0x04034b50);
    Put16(header, 20);
    Put16(header, kUtf8Names | entry.Flags);
    PutEntryFields(header, entry);
    Put16(header, 0);  // extra field
    header.append(entry.Name);
    return header;
}

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
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()), static_cast<uInt>(data.size())));
    entry.Method = deflate ? 8 : 0;
    entry.Offset = static_cast<quint32>(offset_);
    const QByteArray packed = deflate ? Deflate(data) : QByteArray();
    const QByteArray& body = deflate ? packed : data;
    entry.PackedSize = static_cast<quint32>(body.size());
    Write(LocalHeader(entry));
    Write(body);
    entries_.push_back(entry);
}

void TZipBuilder::Finish() {
    if (offset_ >= kZipLimit)
        Fail(QStringLiteral("书稿太大，超过 4 GB。"));
    const quint32 directoryStart = static_cast<quint32>(offset_);
    QByteArray directory;
    for (const TEntry& entry : entries_) {
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, kUtf8Names | entry.Flags);
        PutEntryFields(directory, entry);
        Put16(directory, 0);  // extra field
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, entry.Offset);
        directory.append(entry.Name);
    }
    if (entries_.size() >= 0xFFFF)
        Fail(QStringLiteral("书稿的章节太多。"));
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
