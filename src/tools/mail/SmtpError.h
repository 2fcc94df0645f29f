// ESmtpError: what a failed mail transfer throws, and the kinds of failure it
// tells apart. Its own header so that the libcurl loader and the SMTP client
// can both raise it without including each other.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

enum class TSmtpFailure {
    CannotConnect,           // no server answered at Host:Port
    AuthenticationRequired,  // the server wants a login and no password was set
    AuthenticationFailed,    // the server refused the user and password
    Refused,                 // the server refused a command (sender, recipient, data)
    BadMessage,              // an unusable address or an attachment that cannot be read
    Cancelled,
    Other,  // transport failure (TLS, lost connection ...)
};

class ESmtpError : public std::exception {
public:
    ESmtpError(TSmtpFailure kind, QString text, QString serverReply = QString());
    TSmtpFailure Kind() const { return m_kind; }
    // What went wrong, in the transport's words (English).
    const QString& Text() const { return m_text; }
    // The server's last reply (code and text) when it refused something.
    const QString& ServerReply() const { return m_reply; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    TSmtpFailure m_kind;
    QString m_text;
    QString m_reply;
    QByteArray m_what;
};
