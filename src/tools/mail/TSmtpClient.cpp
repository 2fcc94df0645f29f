#include "tools/mail/TSmtpClient.h"

#include "tools/mail/CurlLibrary.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>
#include <vector>

namespace {

struct SlistDeleter {
    void operator()(curl_slist* list) const { Curl().slist_free_all(list); }
};
struct MimeDeleter {
    void operator()(curl_mime* mime) const { Curl().mime_free(mime); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

void Append(Slist& list, const QByteArray& line) {
    curl_slist* grown = Curl().slist_append(list.get(), line.constData());
    if (!grown)
        throw std::bad_alloc();
    list.release();
    list.reset(grown);
}

QByteArray DateHeader() {
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc() / 60;
    const int minutes = std::abs(offset);
    return "Date: " + QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1() +
           (offset < 0 ? "-" : "+") + QByteArray::number(minutes / 60).rightJustified(2, '0') +
           QByteArray::number(minutes % 60).rightJustified(2, '0');
}

bool IsConnectFailure(CURLcode code) {
    return code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_OPERATION_TIMEDOUT ||
           code == CURLE_URL_MALFORMAT;
}

}  // namespace

// What one Send collects: the server's replies and the option storage that
// libcurl reads while it runs.
struct TSmtpClient::Transfer {
    QStringList lastReply;      // lines of the server's latest reply
    QStringList refusal;        // the latest reply with a code of 400 or more
    bool replyComplete = true;  // the next incoming line starts a new reply
    char error[CURL_ERROR_SIZE] = {};
    std::atomic<bool>* cancel = nullptr;

    static int Debug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        auto* t = static_cast<Transfer*>(self);
        if (!t || type != CURLINFO_HEADER_IN)
            return 0;
        const QString text = QString::fromUtf8(data, qsizetype(size)).trimmed();
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (t->replyComplete)
                t->lastReply.clear();
            t->lastReply << line.trimmed();
            // "250-..." continues a reply; "250 ..." ends it.
            t->replyComplete = !(line.size() > 3 && line.at(3) == QLatin1Char('-'));
            if (t->replyComplete && line.left(3).toInt() >= 400)
                t->refusal = t->lastReply;
        }
        return 0;
    }
    static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* t = static_cast<Transfer*>(self);
        return t && t->cancel->load() ? 1 : 0;
    }
};

TSmtpClient::TSmtpClient() = default;

TSmtpClient::~TSmtpClient() {
    if (m_curl)
        Curl().easy_cleanup(static_cast<CURL*>(m_curl));
}

// The transfer handle is made at the first send: libcurl is loaded only then.
CURL* TSmtpClient::Handle() {
    if (!m_curl)
        m_curl = Curl().easy_init();
    if (!m_curl)
        throw std::bad_alloc();
    return static_cast<CURL*>(m_curl);
}

void TSmtpClient::Configure(const TSmtpSettings& settings) { m_settings = settings; }

QString SmtpUrl(const TSmtpSettings& settings) {
    QUrl url;
    url.setScheme(settings.Port == 465 ? QStringLiteral("smtps") : QStringLiteral("smtp"));
    url.setHost(settings.Host);
    url.setPort(settings.Port);
    url.setPath(QLatin1Char('/') + settings.ClientName);
    return url.toString(QUrl::FullyEncoded);
}

void TSmtpClient::CheckMessage(const TMailMessage& message) const {
    if (!mailheaders::IsUsableAddress(message.FromAddress))
        throw ESmtpError(TSmtpFailure::BadMessage,
                         QStringLiteral("Unusable sender address '%1'").arg(message.FromAddress));
    if (message.Recipients.isEmpty())
        throw ESmtpError(TSmtpFailure::BadMessage, QStringLiteral("No recipient"));
    for (const QString& to : message.Recipients)
        if (!mailheaders::IsUsableAddress(to))
            throw ESmtpError(TSmtpFailure::BadMessage, QStringLiteral("Unusable recipient address '%1'").arg(to));
    for (const QString& path : message.Attachments)
        if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
            throw ESmtpError(TSmtpFailure::BadMessage, QStringLiteral("Cannot read attachment '%1'").arg(path));
    if (m_settings.Port < 1 || m_settings.Port > 65535 || m_settings.Host.trimmed().isEmpty())
        throw ESmtpError(TSmtpFailure::CannotConnect,
                         QStringLiteral("No server at '%1:%2'").arg(m_settings.Host).arg(m_settings.Port));
}

void TSmtpClient::Fail(int code, const Transfer& transfer) const {
    CURL* curl = static_cast<CURL*>(m_curl);
    const CURLcode result = CURLcode(code);
    long reply = 0;
    Curl().easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
    const QString text =
        transfer.error[0] ? QString::fromUtf8(transfer.error) : QString::fromUtf8(Curl().easy_strerror(result));
    // The refusal, not the goodbye that follows it.
    const QString serverReply =
        (transfer.refusal.isEmpty() ? transfer.lastReply : transfer.refusal).join(QLatin1Char('\n'));
    if (result == CURLE_ABORTED_BY_CALLBACK)
        throw ESmtpError(TSmtpFailure::Cancelled, text);
    if (IsConnectFailure(result) && transfer.lastReply.isEmpty())
        throw ESmtpError(TSmtpFailure::CannotConnect, text);
    if (reply == 530 && m_settings.Password.isEmpty())
        throw ESmtpError(TSmtpFailure::AuthenticationRequired, text, serverReply);
    if (result == CURLE_LOGIN_DENIED || reply == 535)
        throw ESmtpError(TSmtpFailure::AuthenticationFailed, text, serverReply);
    if (reply >= 400)
        throw ESmtpError(TSmtpFailure::Refused, text, serverReply);
    throw ESmtpError(TSmtpFailure::Other, text, serverReply);
}

void TSmtpClient::Send(TMailMessage& message) {
    // A Cancel that came before this call started still counts; the next
    // send starts afresh.
    struct ResetCancel {
        std::atomic<bool>& flag;
        ~ResetCancel() { flag = false; }
    } resetCancel{m_cancel};
    CheckMessage(message);
    CURL* curl = Handle();
    Transfer transfer;
    transfer.cancel = &m_cancel;

    Slist recipients;
    for (const QString& to : message.Recipients)
        Append(recipients, "<" + to.toUtf8() + ">");
    Slist headers;
    Append(headers, DateHeader());
    Append(headers, "From: " + mailheaders::FormatMailbox(message.FromName, message.FromAddress));
    QByteArray toLine = "To: ";
    for (qsizetype i = 0; i < message.Recipients.size(); ++i)
        toLine += (i ? ", <" : "<") + message.Recipients.at(i).toUtf8() + ">";
    Append(headers, toLine);
    Append(headers, "Subject: " + mailheaders::EncodeHeaderText(message.Subject));

    std::unique_ptr<curl_mime, MimeDeleter> mime(Curl().mime_init(curl));
    const QByteArray body = message.BodyText().toUtf8();
    curl_mimepart* text = Curl().mime_addpart(mime.get());
    Curl().mime_data(text, body.constData(), size_t(body.size()));
    Curl().mime_type(text, "text/plain; charset=UTF-8");
    Curl().mime_encoder(text, "base64");
    std::vector<Slist> partHeaders;
    for (const QString& path : message.Attachments) {
        curl_mimepart* part = Curl().mime_addpart(mime.get());
        Curl().mime_filedata(part, QFile::encodeName(path).constData());
        Curl().mime_filename(part, nullptr);  // the disposition below names it
        Curl().mime_type(part, "application/octet-stream");
        Curl().mime_encoder(part, "base64");
        Slist disposition;
        Append(disposition, "Content-Disposition: " + mailheaders::AttachmentDisposition(QFileInfo(path).fileName()));
        Curl().mime_headers(part, disposition.get(), 0);
        partHeaders.push_back(std::move(disposition));
    }

    const QByteArray url = SmtpUrl(m_settings).toUtf8();
    const QByteArray from = "<" + message.FromAddress.toUtf8() + ">";
    const QByteArray user = m_settings.User.toUtf8();
    const QByteArray password = m_settings.Password.toUtf8();
    const QByteArray caFile = QFile::encodeName(m_settings.CaFile);
    Curl().easy_setopt(curl, CURLOPT_URL, url.constData());
    Curl().easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    if (!caFile.isEmpty())
        Curl().easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (password.isEmpty()) {
        Curl().easy_setopt(curl, CURLOPT_USERNAME, nullptr);
        Curl().easy_setopt(curl, CURLOPT_PASSWORD, nullptr);
    } else {
        Curl().easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        Curl().easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    Curl().easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    Curl().easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients.get());
    Curl().easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    Curl().easy_setopt(curl, CURLOPT_MIMEPOST, mime.get());
    Curl().easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_settings.ConnectTimeoutSeconds));
    Curl().easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    Curl().easy_setopt(curl, CURLOPT_ERRORBUFFER, transfer.error);
    Curl().easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // routes the replies to Debug
    Curl().easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Transfer::Debug);
    Curl().easy_setopt(curl, CURLOPT_DEBUGDATA, &transfer);
    Curl().easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    Curl().easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::Progress);
    Curl().easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode result = Curl().easy_perform(curl);
    // Nothing set above may outlive this call.
    Curl().easy_setopt(curl, CURLOPT_MIMEPOST, nullptr);
    Curl().easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    Curl().easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    Curl().easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    Curl().easy_setopt(curl, CURLOPT_DEBUGDATA, nullptr);
    Curl().easy_setopt(curl, CURLOPT_XFERINFODATA, nullptr);
    if (result != CURLE_OK) {
        transfer.error[CURL_ERROR_SIZE - 1] = 0;
        Fail(result, transfer);
    }
    message.Clear();
}
