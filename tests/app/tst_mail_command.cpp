// 稿件 ▸ 发送邮件 end to end: the dialog the command prepares (subject, body,
// the zipped pictures in the picture folder) and what a real SMTP server on
// 127.0.0.1 receives when the user sends it; the messages of the dialog.
#include "AppFixture.h"

#include "app/dialogs/TfrmMail.h"
#include "settings/RegConfig.h"
#include "support/SmtpSink.h"
#include "support/ZipEntries.h"

#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

const QString kText = QStringLiteral("春眠不觉晓，\r\n处处闻啼鸟。");

void ConfigureMail(TAppFixture& f, int port, const QString& user = QStringLiteral("writer.local")) {
    TMailConfig config;
    config.FromAddress = QStringLiteral("me@example.org");
    config.FromName = QStringLiteral("王小明");
    config.Server = QStringLiteral("127.0.0.1");
    config.Port = QString::number(port);
    config.User = user;
    f.Context().RegConfig().WriteMailConfig(config);
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

// What the mail dialog showed when it opened.
struct TShownMail {
    QString subject;
    QString content;
    QStringList attachments;
    QString state;
    bool finished = false;
};

// Reads the dialog, fills the recipient and sends (waiting for the outcome
// when the send started), then closes it.
TScriptedDialogs::DialogHandler SendTo(const QString& recipient, TShownMail& shown,
                                       const QString& subject = QString()) {
    return [=, &shown](QDialog& d) {
        auto& mail = static_cast<TfrmMail&>(d);
        shown.subject = mail.editSubject->text();
        shown.content = mail.memoContent->toPlainText();
        shown.attachments = mail.AttachmentPaths();
        if (!subject.isNull())
            mail.editSubject->setText(subject);
        mail.editMailTo->setText(recipient);
        QSignalSpy finished(&mail, &TfrmMail::SendFinished);
        TScriptedDialogs::Click(d, "btnSend");
        if (mail.Sending())
            shown.finished = finished.wait(60000);
        shown.state = mail.lblState->text();
        return TScriptedDialogs::Click(d, "btnClose");
    };
}

#define REQUIRE_SINK(sink)                 \
    if ((sink).Missing())                  \
        QSKIP(qPrintable((sink).Error())); \
    QVERIFY2((sink).Started(), qPrintable((sink).Error()))

}  // namespace

class TestMailCommand : public QObject {
    Q_OBJECT

private slots:
    void sendsTheManuscriptWithItsPicturesZipped() {
        TSmtpSink sink;
        REQUIRE_SINK(sink);
        TAppFixture f;
        ConfigureMail(f, sink.Port());
        const QString pictures = f.Path(QStringLiteral("图片"));
        f.Context().RegConfig().WritePaths(f.Path("docs"), pictures, QString(), f.Path("files"));
        f.OpenSeededLibrary({{QStringLiteral("春晓"), kText}});
        const int id = ItemID(f.DocItem(QStringLiteral("春晓")));
        const QByteArray cover = QByteArray::fromHex("ffd8ffe000104a464946") + QByteArray(3000, '\x7f');
        const QByteArray map = QByteArray::fromHex("47494638396101000100") + "map";
        f.Data().AddPicture(WriteFile(f.Path(QStringLiteral("封面.jpg")), cover), id);
        f.Data().AddPicture(WriteFile(f.Path(QStringLiteral("地图.gif")), map), id);
        f.SelectDoc(QStringLiteral("春晓"));
        f.Editor().SetText(kText);
        TShownMail shown;
        f.dialogs.QueueDialog(SendTo(QStringLiteral("editor@example.org"), shown));
        f.Trigger("munFileMail");

        const QString archive = pictures + QStringLiteral("/春晓.zip");
        QCOMPARE(shown.subject, QStringLiteral("春晓"));
        QCOMPARE(shown.content, QStringLiteral("春眠不觉晓，\n处处闻啼鸟。"));
        QCOMPARE(shown.attachments, QStringList{archive});
        QVERIFY(shown.finished);
        QVERIFY(f.dialogs.Messages().empty());
        QCOMPARE(shown.state, QStringLiteral("邮件已发送。"));
        const QList<QJsonObject> got = sink.Received();
        QCOMPARE(got.size(), 1);
        const QJsonObject& m = got.first();
        QCOMPARE(m["helo"].toString(), QStringLiteral("writer.local"));
        QCOMPARE(m["mail_from"].toString(), QStringLiteral("me@example.org"));
        QCOMPARE(m["from_name"].toString(), QStringLiteral("王小明"));
        QCOMPARE(m["rcpt_tos"].toArray().first().toString(), QStringLiteral("editor@example.org"));
        QCOMPARE(m["subject"].toString(), QStringLiteral("春晓"));
        QVERIFY(m["body"].toString().startsWith(QStringLiteral("春眠不觉晓，\r\n处处闻啼鸟。")) ||
                m["body"].toString().startsWith(QStringLiteral("春眠不觉晓，\n处处闻啼鸟。")));
        const QJsonArray attachments = m["attachments"].toArray();
        QCOMPARE(attachments.size(), 1);
        QCOMPARE(attachments[0].toObject()["name"].toString(), QStringLiteral("春晓.zip"));
        const QString received = attachments[0].toObject()["file"].toString();
        QCOMPARE(TSmtpSink::ReadFile(received), TSmtpSink::ReadFile(archive));
        const QMap<QString, QByteArray> entries = ZipEntries(received);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.value(QStringLiteral("封面.jpg")), cover);
        QCOMPARE(entries.value(QStringLiteral("地图.gif")), map);
    }

    void manuscriptWithoutPicturesSendsNoAttachment() {
        TSmtpSink sink;
        REQUIRE_SINK(sink);
        TAppFixture f;
        ConfigureMail(f, sink.Port());
        f.OpenSeededLibrary({{QStringLiteral("无图"), kText}});
        f.SelectDoc(QStringLiteral("无图"));
        TShownMail shown;
        f.dialogs.QueueDialog(SendTo(QStringLiteral("editor@example.org"), shown));
        f.Trigger("munFileMail");
        QVERIFY(shown.attachments.isEmpty());
        QVERIFY(shown.finished);
        const QList<QJsonObject> got = sink.Received();
        QCOMPARE(got.size(), 1);
        QVERIFY(got[0]["attachments"].toArray().isEmpty());
    }

    void configuredPort2525IsUsed() {
        TSmtpSinkOptions options;
        options.port = 2525;
        TSmtpSink sink(options);
        if (sink.PortTaken())
            QSKIP("port 2525 is in use on this machine");
        REQUIRE_SINK(sink);
        TAppFixture f;
        ConfigureMail(f, 2525);
        TShownMail shown;
        f.dialogs.QueueDialog(SendTo(QStringLiteral("editor@example.org"), shown, QStringLiteral("端口")));
        f.Trigger("munFileMail");
        QVERIFY(shown.finished);
        QCOMPARE(sink.Received().size(), 1);
    }

    void messagesOfTheDialog_data() {
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("configured");
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("replyPart");
        const QString fill = QStringLiteral("请填写收件人地址和邮件主题！");
        QTest::newRow("empty subject") << "editor@example.org"
                                       << "" << true << true << fill << "";
        QTest::newRow("empty recipient") << ""
                                         << "主题" << true << true << fill << "";
        QTest::newRow("no preferences") << "editor@example.org"
                                        << "主题" << false << true << QStringLiteral("请先在“选项”配置发送邮件选项！")
                                        << "";
        QTest::newRow("server not listening") << "editor@example.org"
                                              << "主题" << true << false << QStringLiteral("无法连接！") << "";
        QTest::newRow("recipient refused") << "nobody@example.org"
                                           << "主题" << true << true << QStringLiteral("邮件没有发出") << "550 5.1.1";
    }

    void messagesOfTheDialog() {
        QFETCH(QString, recipient);
        QFETCH(QString, subject);
        QFETCH(bool, configured);
        QFETCH(bool, listening);
        QFETCH(QString, message);
        QFETCH(QString, replyPart);
        TSmtpSinkOptions options;
        options.refuse << QStringLiteral("nobody@example.org");
        auto sink = std::make_unique<TSmtpSink>(options);
        REQUIRE_SINK(*sink);
        const int port = sink->Port();
        if (!listening)
            sink.reset();
        TAppFixture f;
        if (configured)
            ConfigureMail(f, port);
        else
            f.Context().RegConfig().WriteMailConfig(TMailConfig());  // as on a first run
        TShownMail shown;
        f.dialogs.QueueDialog(SendTo(recipient, shown, subject));
        f.Trigger("munFileMail");
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        const TShownMessage& shownBox = f.dialogs.Messages().front();
        QVERIFY2(shownBox.text.startsWith(message), qPrintable(shownBox.text));
        QVERIFY2(shownBox.text.contains(replyPart), qPrintable(shownBox.text));
        QCOMPARE(shownBox.caption, QStringLiteral("发送邮件"));
        QVERIFY(shown.state != QStringLiteral("邮件已发送。"));
        if (sink)
            QVERIFY(sink->Received().isEmpty());
    }

    void asksForThePasswordWhenTheServerWantsALogin() {
        TSmtpSinkOptions options;
        options.login = QStringLiteral("writer:芝麻开门");
        TSmtpSink sink(options);
        REQUIRE_SINK(sink);
        TAppFixture f;
        ConfigureMail(f, sink.Port(), QStringLiteral("writer"));
        TShownMail shown;
        QString promptTitle;
        f.dialogs.QueueDialog(SendTo(QStringLiteral("editor@example.org"), shown, QStringLiteral("登录")));
        bool masked = false;
        f.dialogs.QueueDialog([&](QDialog& d) {
            promptTitle = d.objectName();
            masked = d.findChild<QLineEdit*>("editPassword")->echoMode() == QLineEdit::Password;
            TScriptedDialogs::SetText(d, "editPassword", QStringLiteral("芝麻开门"));
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munFileMail");
        QCOMPARE(promptTitle, QStringLiteral("frmMailPassword"));
        QVERIFY(masked);
        QVERIFY(shown.finished);
        QCOMPARE(shown.state, QStringLiteral("邮件已发送。"));
        QCOMPARE(sink.Received().size(), 1);
        QVERIFY(f.dialogs.Messages().empty());
        // The password is not kept in the preferences.
        QVERIFY(!TSmtpSink::ReadFile(AppPath() + QStringLiteral("registry.ini")).contains("芝麻开门"));
    }

    void cancelStopsASendToAServerThatNeverAnswers() {
        TSmtpSinkOptions options;
        options.silent = true;
        TSmtpSink sink(options);
        REQUIRE_SINK(sink);
        TAppFixture f;
        ConfigureMail(f, sink.Port());
        bool cancelled = false;
        QString state;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto& mail = static_cast<TfrmMail&>(d);
            mail.editSubject->setText(QStringLiteral("取消"));
            mail.editMailTo->setText(QStringLiteral("editor@example.org"));
            QSignalSpy finished(&mail, &TfrmMail::SendFinished);
            TScriptedDialogs::Click(d, "btnSend");
            if (!mail.Sending() || !mail.btnCancel->isEnabled() || mail.btnSend->isEnabled())
                return int(QDialog::Rejected);
            TScriptedDialogs::Click(d, "btnCancel");
            cancelled = finished.wait(60000) && !finished.first().first().toBool();
            state = mail.lblState->text();
            return TScriptedDialogs::Click(d, "btnClose");
        });
        f.Trigger("munFileMail");
        QVERIFY(cancelled);
        QCOMPARE(state, QStringLiteral("邮件没有发出。"));
        QVERIFY2(f.dialogs.Messages().empty(), qPrintable(f.dialogs.MessageTexts().join('|')));
        QVERIFY(!QApplication::overrideCursor());
    }

    void withoutALibraryTheBodyIsTheEditorsText() {
        TAppFixture f;
        f.Editor().SetText(kText);
        TShownMail shown;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto& mail = static_cast<TfrmMail&>(d);
            shown.subject = mail.editSubject->text();
            shown.content = mail.memoContent->toPlainText();
            shown.attachments = mail.AttachmentPaths();
            return int(QDialog::Rejected);
        });
        f.Trigger("munFileMail");
        QCOMPARE(f.dialogs.Requests().size(), size_t(1));
        QCOMPARE(f.dialogs.Requests().front().caption, QStringLiteral("发送邮件"));
        QCOMPARE(shown.subject, QString());
        QCOMPARE(shown.content, QStringLiteral("春眠不觉晓，\n处处闻啼鸟。"));
        QVERIFY(shown.attachments.isEmpty());
    }

    void withALibraryAndNoManuscriptSelectedNothingOpens() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), kText}});
        f.Main().DocList()->clearSelection();
        f.Main().DocList()->setCurrentItem(nullptr);
        f.Main().ToolButton("tbMail")->click();
        QVERIFY(f.dialogs.Requests().empty());
    }

    void clickingAnAttachmentRemovesIt() {
        TAppFixture f;
        QStringList left;
        f.dialogs.QueueDialog([&](QDialog& d) {
            auto& mail = static_cast<TfrmMail&>(d);
            mail.AddAttachment(QStringLiteral("/tmp/a.zip"));
            mail.AddAttachment(QStringLiteral("/tmp/b.txt"));
            emit mail.listAttach->itemClicked(mail.listAttach->item(0));
            left = mail.AttachmentPaths();
            return int(QDialog::Rejected);
        });
        f.Trigger("munFileMail");
        QCOMPARE(left, QStringList{QStringLiteral("/tmp/b.txt")});
    }
};

QTEST_MAIN(TestMailCommand)
#include "tst_mail_command.moc"
