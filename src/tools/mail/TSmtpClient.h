// TSmtpClient: sends TMailMessages to one SMTP server over libcurl.
//
// The client greets the server with the configured client name (EHLO, or
// HELO when EHLO is refused), uses STARTTLS whenever the server offers it,
// and speaks TLS from the start on port 465. It authenticates only when a
// password is set and the server offers authentication. One client keeps its
// connection between sends to the same server.
//
// Threads: Send blocks until the server has taken the message or refused it;
// run it off the window thread. Cancel may be called from any thread and
// makes a running Send, or one about to start, end with
// TSmtpFailure::Cancelled. One Send at a time.
//
// Failures: Send throws ESmtpError and then nothing has been delivered by this
// call. A refusal carries the server's own reply text.
#pragma once

#include "tools/mail/SmtpError.h"
#include "tools/mail/TMailMessage.h"

#include <QString>
#include <atomic>
#include <memory>

struct TSmtpSettings {
    QString Host;
    int Port = 25;
    QString ClientName;  // the name given in the greeting
    QString User;        // authentication user (used with Password)
    QString Password;    // empty: no authentication is tried
    QString CaFile;      // extra trusted certificates (PEM); empty: the system's
    int ConnectTimeoutSeconds = 30;
};

class TSmtpClient {
public:
    TSmtpClient();
    ~TSmtpClient();
    TSmtpClient(const TSmtpClient&) = delete;
    TSmtpClient& operator=(const TSmtpClient&) = delete;

    void Configure(const TSmtpSettings& settings);
    const TSmtpSettings& Settings() const { return m_settings; }

    // Sends message; after a successful send the message is cleared.
    void Send(TMailMessage& message);
    void Cancel() { m_cancel = true; }

private:
    struct Transfer;
    void CheckMessage(const TMailMessage& message) const;
    [[noreturn]] void Fail(int code, const Transfer& transfer) const;
    // The libcurl handle (CURL*), made on first use; throws ESmtpError when
    // libcurl cannot be loaded.
    void* Handle();

    TSmtpSettings m_settings;
    void* m_curl = nullptr;  // CURL*, kept for connection reuse; null until the first send
    std::atomic<bool> m_cancel{false};
};

// The URL the client connects to: smtps:// on port 465, else smtp://, with
// the client name as the path (the name libcurl greets with).
QString SmtpUrl(const TSmtpSettings& settings);
