#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>

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

int GBCharLength(std::string_view bytes, std::size_t pos) {
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

namespace {

// Length of the well-formed UTF-8 sequence at p (2..4), 0 when it is not one:
// no overlong forms, no surrogates, nothing above U+10FFFF.
int Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = p[0];
    auto trail = [&](int i, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
        return p + i < end && p[i] >= lo && p[i] <= hi;
    };
    if (lead >= 0xC2 && lead <= 0xDF)
        return trail(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = lead == 0xED ? 0x9F : 0xBF;
        return trail(1, lo, hi) && trail(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = lead == 0xF4 ? 0x8F : 0xBF;
        return trail(1, lo, hi) && trail(2) && trail(3) ? 4 : 0;
    }
    return 0;
}

}  // namespace

bool IsUtf8Text(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    bool nonAscii = false;
    while (p < end) {
        // ASCII runs are the common case; test eight bytes at a time.
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = Utf8SequenceLength(p, end);
        if (length == 0)
            return false;
        nonAscii = true;
        p += length;
    }
    return nonAscii;
}

// GB18030 is ASCII wherever the text is: plain ASCII needs no converter, so a
// session that never meets other text never loads the converter's tables.
QByteArray ToGB(const QString& text) {
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? text.toLatin1() : QByteArray(GBEncoder().encode(text));
}

QString FromGB(const QByteArray& bytes) {
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
    return ascii ? QString::fromLatin1(bytes) : QString(GBDecoder().decode(bytes));
}

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
        const int next = pos + GBCharLength(std::string_view(bytes.constData(), bytes.size()), pos);
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
    if (bytes.startsWith("\x84\x31\x95\x33"))  // GB18030 byte-order mark
        return Decode("GB18030", QByteArrayView(bytes).sliced(4));
    if (IsUtf8Text(std::string_view(bytes.constData(), bytes.size())))
        return Decode("UTF-8", bytes);
    return FromGB(bytes);
}

namespace {

// Where a BOM-less file's NUL bytes sit: UTF-16 LE puts the zero high byte of
// an ASCII character at odd offsets, BE at even ones. Empty when there is no
// NUL byte; "mixed" when they fall on both sides or the length is odd.
enum class TZeroPattern { None, OddOnly, EvenOnly, Mixed };

TZeroPattern ZeroPattern(const QByteArray& bytes) {
    bool even = false, odd = false;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0')
            (i % 2 ? odd : even) = true;
    if (!even && !odd)
        return TZeroPattern::None;
    if (bytes.size() % 2 || (even && odd))
        return TZeroPattern::Mixed;
    return odd ? TZeroPattern::OddOnly : TZeroPattern::EvenOnly;
}

std::optional<QString> DecodeStrict(const char* encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

}  // namespace

std::optional<QString> DecodeImportedText(const QByteArray& bytes) {
    const bool marked = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
                        bytes.startsWith("\xFE\xFF") || bytes.startsWith("\x84\x31\x95\x33");
    if (marked)
        return DecodeTextFile(bytes);
    switch (ZeroPattern(bytes)) {
        case TZeroPattern::OddOnly:
            return DecodeStrict("UTF-16LE", bytes);
        case TZeroPattern::EvenOnly:
            return DecodeStrict("UTF-16BE", bytes);
        case TZeroPattern::Mixed:
            return std::nullopt;
        case TZeroPattern::None:
            break;
    }
    if (IsUtf8Text(std::string_view(bytes.constData(), bytes.size())))
        return Decode("UTF-8", bytes);
    return DecodeStrict("GB18030", bytes);
}

QString DecodeFileName(const QByteArray& bytes) {
    if (IsUtf8Text(std::string_view(bytes.constData(), bytes.size())))
        return QString::fromUtf8(bytes);
    return FromGB(bytes);
}

QByteArray EncodeTextFile(const QString& text) { return ToGB(ToCrLf(text)); }

QString WithCrLf(const QString& text) { return ToCrLf(text); }

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

// Writes to target through a temporary file in its folder and a rename
// onto target: fill writes the content to the descriptor and returns false
// (errno set) when it could not. The rename replaces the directory entry
// itself, so whatever stood there (a file or a symbolic link) is replaced and
// never written through. path is the name shown in messages. An exception
// from fill removes the temporary file and propagates; target is untouched.
bool WriteAtomicTo(const QString& target, const QString& path, const std::function<bool(int)>& fill, QString* error) {
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
    bool ok = false;
    try {
        ok = fill(fd) && ::fsync(fd) == 0;
    } catch (...) {
        ::close(fd);
        ::unlink(tempName.constData());
        throw;
    }
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

bool WriteAtomicTo(const QString& target, const QString& path, const QByteArray& bytes, QString* error) {
    return WriteAtomicTo(
        target, path, [&bytes](int fd) { return WriteAll(fd, bytes); }, error);
}

}  // namespace

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    return WriteAtomicTo(RealTarget(path), path, bytes, error);
}

bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error) {
    return WriteAtomicTo(QFileInfo(path).absoluteFilePath(), path, bytes, error);
}

bool WriteFileReplacingInPieces(const QString& path, const std::function<void(const TPieceWriter&)>& produce,
                                QString* error) {
    auto fill = [&produce](int fd) {
        bool written = true;
        produce([fd, &written](const QByteArray& piece) {
            written = written && WriteAll(fd, piece);
            return written;
        });
        return written;
    };
    return WriteAtomicTo(QFileInfo(path).absoluteFilePath(), path, fill, error);
}

QByteArray TGbTextFileEncoder::Add(const char* data, size_t size) {
    carry_.append(data, size);
    // Whole characters only, and never a last CR whose LF may come next;
    // the last four bytes wait, as they may begin a character.
    size_t cut = 0;
    while (carry_.size() - cut > 4)
        cut += static_cast<size_t>(GBCharLength(carry_, cut));
    if (cut > 0 && carry_[cut - 1] == '\r')
        --cut;
    const QByteArray encoded = Encode(std::string_view(carry_.data(), cut));
    carry_.erase(0, cut);
    return encoded;
}

QByteArray TGbTextFileEncoder::Finish() {
    const QByteArray encoded = Encode(carry_);
    carry_.clear();
    return encoded;
}

// ASCII without line breaks stays as it is; the rest goes the whole way.
QByteArray TGbTextFileEncoder::Encode(std::string_view bytes) {
    const bool plain = std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
    });
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return plain ? raw : EncodeTextFile(FromGB(raw));
}

bool WriteTextFile(const QString& path, const QString& text, QString* error) {
    return WriteFileAtomic(path, EncodeTextFile(text), error);
}
