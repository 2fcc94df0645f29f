#include "tools/mail/TMailMessage.h"

namespace {

// Encoded words stay under the 75 character limit: 45 bytes of UTF-8 give
// 60 Base64 characters plus 12 of "=?UTF-8?B?" and "?=".
constexpr int kWordBytes = 45;

QString OneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return line;
}

bool IsPlainAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    // Text that looks like an encoded word would be decoded by the reader.
    return !text.contains(QLatin1String("=?"));
}

// UTF-8 pieces of at most kWordBytes bytes, never cutting a character.
QList<QByteArray> Utf8Pieces(const QString& text) {
    QList<QByteArray> pieces;
    QByteArray piece;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray bytes = text.mid(i, len).toUtf8();
        i += len - 1;
        if (piece.size() + bytes.size() > kWordBytes) {
            pieces << piece;
            piece.clear();
        }
        piece += bytes;
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}

QByteArray EncodedWords(const QString& text) {
    QByteArray out;
    for (const QByteArray& piece : Utf8Pieces(text)) {
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + piece.toBase64() + "?=";
    }
    return out;
}

bool NeedsQuotes(const QString& name) {
    for (QChar c : name)
        if (QStringLiteral("()<>[]:;@\\,.\"").contains(c))
            return true;
    return false;
}

QByteArray Quoted(const QByteArray& text) {
    QByteArray out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

}  // namespace

void TMailMessage::Clear() { *this = TMailMessage(); }

QString TMailMessage::BodyText() const { return Body.join(QStringLiteral("\r\n")); }

namespace mailheaders {

QByteArray EncodeHeaderText(const QString& text) {
    const QString line = OneLine(text);
    return IsPlainAscii(line) ? line.toLatin1() : EncodedWords(line);
}

QByteArray FormatMailbox(const QString& name, const QString& address) {
    const QByteArray angle = "<" + OneLine(address).toUtf8() + ">";
    const QString display = OneLine(name).trimmed();
    if (display.isEmpty())
        return angle;
    if (!IsPlainAscii(display))
        return EncodedWords(display) + " " + angle;
    const QByteArray ascii = display.toLatin1();
    return (NeedsQuotes(display) ? Quoted(ascii) : ascii) + " " + angle;
}

QByteArray AttachmentDisposition(const QString& fileName) {
    const QString name = OneLine(fileName);
    if (IsPlainAscii(name))
        return "attachment; filename=" + Quoted(name.toLatin1());
    const QByteArray percent = name.toUtf8().toPercentEncoding(QByteArray("!#$&+-.^_`|~"));
    return "attachment; filename*=UTF-8''" + percent;
}

bool IsUsableAddress(const QString& address) {
    if (address.isEmpty())
        return false;
    for (QChar c : address)
        if (c.unicode() <= 0x20 || c == QLatin1Char('<') || c == QLatin1Char('>') || c.unicode() == 0x7F)
            return false;
    return true;
}

}  // namespace mailheaders
