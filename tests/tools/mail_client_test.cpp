// The SMTP client against a real server on 127.0.0.1: what arrives (greeting
// name, envelope, decoded Chinese headers and body, attachments byte-exact),
// how refusals and logins are reported, and the zip writer of the pictures.
#include "library/UserError.h"
#include "support/SmtpSink.h"
#include "support/ZipEntries.h"
#include "tools/mail/TSmtpClient.h"
#include "tools/mail/TZipArchive.h"

#include <gtest/gtest.h>
#include <QJsonArray>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

TSmtpSettings Local(int port, const QString& client = QStringLiteral("writer")) {
    TSmtpSettings settings;
    settings.Host = QStringLiteral("127.0.0.1");
    settings.Port = port;
    settings.ClientName = client;
    settings.User = client;
    settings.ConnectTimeoutSeconds = 10;
    return settings;
}

TMailMessage Message(const QString& to = QStringLiteral("editor@example.org")) {
    TMailMessage message;
    message.FromAddress = QStringLiteral("me@example.org");
    message.FromName = QStringLiteral("王小明");
    message.Subject = QStringLiteral("稿件");
    message.Recipients << to;
    message.Body << QStringLiteral("正文");
    return message;
}

#define REQUIRE_SINK(sink)                            \
    if ((sink).Missing())                             \
        GTEST_SKIP() << (sink).Error().toStdString(); \
    ASSERT_TRUE((sink).Started()) << (sink).Error().toStdString()

}  // namespace

TEST(SmtpClient, ChineseMessageArrivesDecodedWithItsAttachments) {
    TSmtpSink sink;
    REQUIRE_SINK(sink);
    QTemporaryDir dir;
    const QByteArray picture = QByteArray::fromHex("89504e470d0a1a0a000102") + " binary\r\n.dot";
    TMailMessage message = Message();
    // Long enough to need more than one encoded word.
    message.Subject = QStringLiteral("第一章：春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。");
    message.FromName = QStringLiteral("王小明 (Wang)");
    message.Body =
        QStringList{QStringLiteral("第一行"), QString(), QStringLiteral(".以点开头的行"), QStringLiteral("end")};
    message.Attachments << WriteFile(dir, QStringLiteral("插图 一.png"), picture)
                        << WriteFile(dir, QStringLiteral("notes.txt"), "plain");
    TSmtpClient client;
    client.Configure(Local(sink.Port(), QStringLiteral("writer.example")));
    client.Send(message);

    EXPECT_TRUE(message.Recipients.isEmpty()) << "a sent message is cleared";
    const QList<QJsonObject> got = sink.Received();
    ASSERT_EQ(got.size(), 1);
    const QJsonObject& m = got.first();
    EXPECT_EQ(m["helo"].toString(), "writer.example");
    EXPECT_EQ(m["mail_from"].toString(), "me@example.org");
    EXPECT_EQ(m["rcpt_tos"].toArray().first().toString(), "editor@example.org");
    EXPECT_EQ(m["from_name"].toString(), QStringLiteral("王小明 (Wang)"));
    EXPECT_EQ(m["from_address"].toString(), "me@example.org");
    EXPECT_EQ(m["subject"].toString(), QStringLiteral("第一章：春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。"));
    EXPECT_EQ(m["body_type"].toString(), "text/plain");
    EXPECT_EQ(m["body_charset"].toString(), "utf-8");
    QString body = m["body"].toString().replace("\r\n", "\n");
    if (body.endsWith('\n'))
        body.chop(1);  // the reader ends the last line
    EXPECT_EQ(body, QStringLiteral("第一行\n\n.以点开头的行\nend"));
    const QJsonArray attachments = m["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_EQ(attachments[0].toObject()["name"].toString(), QStringLiteral("插图 一.png"));
    EXPECT_EQ(TSmtpSink::ReadFile(attachments[0].toObject()["file"].toString()), picture);
    EXPECT_EQ(attachments[1].toObject()["name"].toString(), "notes.txt");
    EXPECT_EQ(TSmtpSink::ReadFile(attachments[1].toObject()["file"].toString()), "plain");
}

TEST(SmtpClient, LineBreaksInHeaderTextsAddNoHeaderLines) {
    TSmtpSink sink;
    REQUIRE_SINK(sink);
    TMailMessage message = Message();
    message.Subject = QStringLiteral("Hello\r\nBcc: spy@example.org");
    message.FromName = QStringLiteral("Me\nX-Evil: 1");
    TSmtpClient client;
    client.Configure(Local(sink.Port()));
    client.Send(message);
    const QList<QJsonObject> got = sink.Received();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0]["bcc"].toString(), "");
    EXPECT_EQ(got[0]["subject"].toString(), "Hello  Bcc: spy@example.org");
    EXPECT_EQ(got[0]["from_name"].toString(), "Me X-Evil: 1");
}

TEST(SmtpClient, SecondSendFromOneClientArrivesToo) {
    TSmtpSink sink;
    REQUIRE_SINK(sink);
    TSmtpClient client;
    client.Configure(Local(sink.Port()));
    for (const char* subject : {"one", "two"}) {
        TMailMessage message = Message();
        message.Subject = QString::fromLatin1(subject);
        client.Send(message);
    }
    const QList<QJsonObject> got = sink.Received();
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[1]["subject"].toString(), "two");
}

struct FailureCase {
    const char* name;
    bool listening;
    const char* login;     // the server's "user:password", or ""
    const char* password;  // the client's
    const char* recipient;
    TSmtpFailure kind;
    const char* replyPart;  // part of the server reply the error carries
};

class SmtpFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(SmtpFailure, IsReportedAndNothingIsDelivered) {
    const FailureCase& c = GetParam();
    TSmtpSink::Options options;
    options.refuse << QStringLiteral("nobody@example.org");
    options.login = QString::fromLatin1(c.login);
    std::unique_ptr<TSmtpSink> sink = std::make_unique<TSmtpSink>(options);
    REQUIRE_SINK(*sink);
    const int port = sink->Port();
    if (!c.listening)
        sink.reset();
    TSmtpClient client;
    TSmtpSettings settings = Local(port, QStringLiteral("writer"));
    settings.Password = QString::fromLatin1(c.password);
    client.Configure(settings);
    TMailMessage message = Message(QString::fromLatin1(c.recipient));
    try {
        client.Send(message);
        FAIL() << "a failed send returned";
    } catch (const ESmtpError& e) {
        EXPECT_EQ(int(e.Kind()), int(c.kind)) << e.what();
        EXPECT_TRUE(e.ServerReply().contains(QString::fromLatin1(c.replyPart))) << e.what();
    }
    EXPECT_FALSE(message.Recipients.isEmpty()) << "an unsent message is kept";
    if (sink)
        EXPECT_TRUE(sink->Received().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SmtpFailure,
                         testing::Values(FailureCase{"NotListening", false, "", "", "editor@example.org",
                                                     TSmtpFailure::CannotConnect, ""},
                                         FailureCase{"RecipientRefused", true, "", "", "nobody@example.org",
                                                     TSmtpFailure::Refused, "550 5.1.1"},
                                         FailureCase{"LoginNeeded", true, "writer:secret", "", "editor@example.org",
                                                     TSmtpFailure::AuthenticationRequired, "530"},
                                         FailureCase{"WrongPassword", true, "writer:secret", "guess",
                                                     "editor@example.org", TSmtpFailure::AuthenticationFailed, "535"}),
                         [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(SmtpClient, LogsInWithTheRightPassword) {
    TSmtpSink::Options options;
    options.login = QStringLiteral("writer:秘密");
    TSmtpSink sink(options);
    REQUIRE_SINK(sink);
    TSmtpClient client;
    TSmtpSettings settings = Local(sink.Port());
    settings.Password = QStringLiteral("秘密");
    client.Configure(settings);
    TMailMessage message = Message();
    client.Send(message);
    EXPECT_EQ(sink.Received().size(), 1);
}

TEST(SmtpClient, UsesStartTlsWhenTheServerOffersIt) {
    QTemporaryDir dir;
    const QString cert = dir.filePath(QStringLiteral("cert.pem")), key = dir.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        GTEST_SKIP() << "openssl cannot make a test certificate";
    TSmtpSinkOptions options;
    options.tls = cert + QLatin1Char(',') + key;
    TSmtpSink sink(options);
    REQUIRE_SINK(sink);
    TSmtpClient client;
    TSmtpSettings settings = Local(sink.Port());
    settings.CaFile = cert;
    client.Configure(settings);
    TMailMessage message = Message();
    client.Send(message);
    const QList<QJsonObject> got = sink.Received();
    ASSERT_EQ(got.size(), 1);
    EXPECT_TRUE(got[0]["tls"].toBool());

    // A certificate the client does not trust stops the send.
    TSmtpClient untrusting;
    untrusting.Configure(Local(sink.Port()));
    TMailMessage second = Message();
    EXPECT_THROW(untrusting.Send(second), ESmtpError);
    EXPECT_EQ(sink.Received().size(), 1);
}

TEST(SmtpClient, RefusesUnusableAddressesBeforeConnecting) {
    TSmtpClient client;
    client.Configure(Local(1));
    for (const QString& to : {QString(), QStringLiteral("a b@example.org"), QStringLiteral("x@y>\r\nRCPT TO:<z@y")}) {
        TMailMessage message = Message(to);
        EXPECT_THROW(client.Send(message), ESmtpError) << to.toStdString();
    }
}

TEST(SmtpClient, UrlUsesImplicitTlsOnlyOnPort465) {
    TSmtpSettings settings = Local(465, QStringLiteral("me@example.org"));
    EXPECT_EQ(SmtpUrl(settings), "smtps://127.0.0.1:465/me@example.org");
    settings.Port = 587;
    EXPECT_EQ(SmtpUrl(settings), "smtp://127.0.0.1:587/me@example.org");
}

TEST(ZipArchive, PacksEveryListedFileByteExact) {
    QTemporaryDir dir, other;
    const QByteArray a("first picture"), b(QByteArray(5000, 'x') + "second"), c("same name, other folder");
    TZipArchive zip;
    zip.AddFile(WriteFile(dir, QStringLiteral("封面.jpg"), a));
    zip.AddFile(WriteFile(dir, QStringLiteral("插图.gif"), b));
    zip.AddFile(WriteFile(other, QStringLiteral("封面.jpg"), c));
    const QString archive = dir.filePath(QStringLiteral("sub/稿件.zip"));
    EXPECT_TRUE(zip.Pack(archive).isEmpty());
    EXPECT_TRUE(zip.Files().isEmpty());
    QMap<QString, int> methods;
    const QMap<QString, QByteArray> entries = ZipEntries(archive, &methods);
    ASSERT_EQ(entries.size(), 3);
    for (int method : methods)
        EXPECT_EQ(method, ZIP_CM_DEFLATE);
    EXPECT_EQ(entries.value(QStringLiteral("封面.jpg")), a);
    EXPECT_EQ(entries.value(QStringLiteral("插图.gif")), b);
    EXPECT_EQ(entries.value(QStringLiteral("封面 (2).jpg")), c);
}

TEST(ZipArchive, LeavesOutMissingFilesAndWritesNothingWithoutAny) {
    QTemporaryDir dir;
    TZipArchive zip;
    zip.AddFile(dir.filePath(QStringLiteral("gone.jpg")));
    zip.AddFile(WriteFile(dir, QStringLiteral("here.jpg"), "here"));
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    EXPECT_EQ(zip.Pack(archive), QStringList{dir.filePath(QStringLiteral("gone.jpg"))});
    EXPECT_EQ(ZipEntries(archive).keys(), QStringList{QStringLiteral("here.jpg")});

    zip.AddFile(dir.filePath(QStringLiteral("gone.jpg")));
    const QString none = dir.filePath(QStringLiteral("none.zip"));
    EXPECT_EQ(zip.Pack(none).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST(ZipArchive, UnwritableArchiveIsAUserError) {
    QTemporaryDir dir;
    TZipArchive zip;
    zip.AddFile(WriteFile(dir, QStringLiteral("p.jpg"), "p"));
    // A folder stands where the archive should go.
    QDir(dir.path()).mkdir(QStringLiteral("taken.zip"));
    EXPECT_THROW(zip.Pack(dir.filePath(QStringLiteral("taken.zip"))), EUserError);
}
