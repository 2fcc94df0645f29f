#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringEncoder MakeEncoder() { return QStringEncoder("GB18030", QStringConverter::Flag::Stateless); }
QStringDecoder MakeDecoder(const char* name) { return QStringDecoder(name, QStringConverter::Flag::Stateless); }

// Opening a GB18030 converter costs more than converting a short name, and
// names are converted by the thousand; each thread keeps one of each, reset
// before every use.
QStringEncoder& GBEncoder() {
    thread_local QStringEncoder encoder = MakeEncoder();
    encoder.resetState();
    return encoder;
}

QStringDecoder& GBDecoder() {
    thread_local QStringDecoder decoder = MakeDecoder("GB18030");
    decoder.resetState();
    return decoder;
}

// Length of the GB18030 character starting at bytes[pos] (1, 2 or 4).
// A lead byte without a valid trail counts as one byte on its own.
int GBCharLength(const QByteArray& bytes, int pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x81 || lead > 0xFE || pos + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[pos + 1]);
    if (second >= 0x30 && second <= 0x39) {
        if (pos + 3 >= bytes.size())
            return 1;
        const auto third = static_cast<unsigned char>(bytes[pos + 2]);
        const auto fourth = static_cast<unsigned char>(bytes[pos + 3]);
        const bool valid = third >= 0x81 && third <= 0xFE && fourth >= 0x30 && fourth <= 0x39;
        return valid ? 4 : 1;
    }
    if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
        return 2;
    return 1;
}

bool HasNonAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder = MakeDecoder("UTF-8");
    QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString Decode(const char* codec, QByteArrayView bytes) {
    QStringDecoder decoder = MakeDecoder(codec);
    return decoder.decode(bytes);
}

// Lone LF and lone CR become CR LF; CR LF stays.
QString ToCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += QLatin1String("\r\n");
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

void SetError(QString* error, const QString& message) {
    if (error)
        *error = message;
}

// Writes all bytes to fd, retrying short writes and interrupted calls.
bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The file really written: a symbolic link is followed so that the link stays.
QString RealTarget(const QString& path) {
    QFileInfo info(path);
    if (info.isSymLink()) {
        QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return info.absoluteFilePath();
}

void SyncFolder(const QString& folder) {
    int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

QByteArray ToGB(const QString& text) { return GBEncoder().encode(text); }

QString FromGB(const QByteArray& bytes) { return GBDecoder().decode(bytes); }

std::string PasswordBytes(const QString& password) {
    const QByteArray bytes = ToGB(password);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

int GBLength(const QString& text) { return static_cast<int>(ToGB(text).size()); }

QByteArray CutGB(const QByteArray& bytes, int maxBytes) {
    if (maxBytes <= 0)
        return QByteArray();
    if (bytes.size() <= maxBytes)
        return bytes;
    int pos = 0;
    while (pos < bytes.size()) {
        const int next = pos + GBCharLength(bytes, pos);
        if (next > maxBytes)
            break;
        pos = next;
    }
    return bytes.left(pos);
}

QString CutToGBLength(const QString& text, int maxBytes) {
    const QByteArray bytes = ToGB(text);
    if (bytes.size() <= maxBytes)
        return text;
    return FromGB(CutGB(bytes, maxBytes));
}

QString DecodeTextFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Decode("UTF-8", QByteArrayView(bytes).sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return Decode("UTF-16LE", QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return Decode("UTF-16BE", QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\x84\x31\x95\x33"))   // GB18030 byte-order mark
        return Decode("GB18030", QByteArrayView(bytes).sliced(4));
    if (HasNonAscii(bytes) && IsValidUtf8(bytes))
        return Decode("UTF-8", bytes);
    return FromGB(bytes);
}

QByteArray EncodeTextFile(const QString& text) { return ToGB(ToCrLf(text)); }

bool ReadTextFile(const QString& path, QString* text, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("无法打开文件 \"%1\"：%2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        SetError(error, QStringLiteral("无法读取文件 \"%1\"：%2").arg(path, file.errorString()));
        return false;
    }
    if (text)
        *text = DecodeTextFile(bytes);
    return true;
}

namespace {

// Writes bytes to target through a temporary file in its folder and a rename
// onto target. The rename replaces the directory entry itself, so whatever
// stood there (a file or a symbolic link) is replaced and never written
// through. path is the name shown in messages.
bool WriteAtomicTo(const QString& target, const QString& path, const QByteArray& bytes,
                   QString* error) {
    const QString folder = QFileInfo(target).absolutePath();
    QByteArray tempName = QFile::encodeName(target + QStringLiteral(".tmp-XXXXXX"));
    int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        SetError(error, QStringLiteral("无法写入文件 \"%1\"：%2").arg(path, SystemError()));
        return false;
    }
    struct stat old {};
    const bool existed = ::lstat(QFile::encodeName(target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    ::fchmod(fd, existed ? (old.st_mode & 07777) : 0644);
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    QString reason = ok ? QString() : SystemError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = SystemError();
    }
    if (ok && ::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0) {
        ok = false;
        reason = SystemError();
    }
    if (!ok) {
        ::unlink(tempName.constData());
        SetError(error, QStringLiteral("无法写入文件 \"%1\"：%2").arg(path, reason));
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    return WriteAtomicTo(RealTarget(path), path, bytes, error);
}

bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error) {
    return WriteAtomicTo(QFileInfo(path).absoluteFilePath(), path, bytes, error);
}

bool WriteTextFile(const QString& path, const QString& text, QString* error) {
    return WriteFileAtomic(path, EncodeTextFile(text), error);
}
