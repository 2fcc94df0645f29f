// TMailMessage: one mail as the mail dialog hands it to TSmtpClient — sender,
// recipients, subject, plain-text body lines and attachment file paths — and
// the header encoding it goes out with. Texts are kept as QString; on the wire
// the body is UTF-8 and any header word or attachment name that is not plain
// ASCII is encoded (RFC 2047 for header words, RFC 2231 for file names), so a
// Chinese subject or picture name arrives readable.
//
// Building a message never fails; the client checks addresses and files when
// it sends.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TMailMessage {
    QString FromAddress;
    QString FromName;
    QString Subject;
    QStringList Recipients;
    QStringList Attachments;  // file paths
    QStringList Body;         // lines, without line breaks

    // Empties every field (done by the client after a successful send).
    void Clear();
    // The body lines joined by CR LF.
    QString BodyText() const;
};

namespace mailheaders {

// A header value: kept as it is when it is printable ASCII, else one or more
// RFC 2047 "=?UTF-8?B?...?=" words, folded between words. Line breaks in the
// input become blanks, so no input can add a header line of its own.
QByteArray EncodeHeaderText(const QString& text);
// "Name <address>" with the name encoded as above (quoted when it holds
// specials); "<address>" alone for an empty name.
QByteArray FormatMailbox(const QString& name, const QString& address);
// The Content-Disposition value of an attachment called fileName: a plain
// quoted filename for ASCII names, else RFC 2231 filename*=UTF-8''...
QByteArray AttachmentDisposition(const QString& fileName);
// True when address can stand between "<" and ">" in a command: not empty, no
// blank, control character, angle bracket or line break.
bool IsUsableAddress(const QString& address);

}  // namespace mailheaders
