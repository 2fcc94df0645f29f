// Menu 稿件库's new, open and close, the create-library dialog, the password
// prompts, and what the window does with libraries it cannot open or write.
#include "AppFixture.h"

#include "app/dialogs/TTomeDBLoginForm.h"
#include "settings/RegConfig.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <csignal>

namespace {

// Fills the create dialog; the confirmation defaults to the password.
TScriptedDialogs::DialogHandler CreateDialog(const QString& name, const QString& password = {},
                                             std::optional<QString> confirm = std::nullopt) {
    return [=](QDialog& d) {
        TScriptedDialogs::SetText(d, "editDataBaseName", name);
        TScriptedDialogs::SetText(d, "editDataBaseComment", QStringLiteral("我的小说"));
        if (!password.isNull()) {
            TScriptedDialogs::SetChecked(d, "chkModifyPas", true);
            TScriptedDialogs::SetText(d, "editPas", password);
            TScriptedDialogs::SetText(d, "editConfirmPas", confirm.value_or(password));
        }
        return TScriptedDialogs::Click(d, "btnCreate");
    };
}

}  // namespace

class TestLibraryCommands : public QObject {
    Q_OBJECT

private slots:
    void createEncryptedLibraryRegistersAndOpensIt() {
        TAppFixture f;
        const QString name = f.Path("小说");
        f.dialogs.QueueDialog(CreateDialog(name, QStringLiteral("芝麻开门")));
        f.Trigger("munDocBase");
        QVERIFY(f.Data().Opened());
        for (const TDialogRequestRecord& request : f.dialogs.Requests())
            QVERIFY(request.kind != "password");  // the password just set is not asked for
        QCOMPARE(f.Data().GetDocDataName(), name + ".qdb");
        QVERIFY(f.Data().IsEncrypted());
        QCOMPARE(f.Data().GetDBCenterPath(QStringLiteral("小说")), name + ".qdb");
        QCOMPARE(f.Panel(0), QString("稿件库：小说"));
        QCOMPARE(f.Main().DocTree()->topLevelItem(0)->text(0), QString("稿件夹"));
        QVERIFY(!f.Editor().IsEnabled());
        QVERIFY(f.dialogs.Messages().empty());
        // Creating does not make it the last library.
        QVERIFY(f.Context().RegConfig().ReadLastDB().isEmpty());
    }

    void passwordAndConfirmationThatDifferKeepTheDialogOpen() {
        TAppFixture f;
        int firstClick = -1;
        QString confirmAfterRefusal = "not read";
        f.dialogs.QueueDialog([&](QDialog& d) {
            firstClick = CreateDialog(f.Path("错"), "abc", QStringLiteral("abd"))(d);
            confirmAfterRefusal = d.findChild<QLineEdit*>("editConfirmPas")->text();
            // Typed again, the two agree and the library is made.
            TScriptedDialogs::SetText(d, "editConfirmPas", "abc");
            return TScriptedDialogs::Click(d, "btnCreate");
        });
        f.dialogs.QueuePassword("abc");
        f.Trigger("munDocBase");
        QCOMPARE(firstClick, int(QDialog::Rejected));  // still open
        QVERIFY(confirmAfterRefusal.isEmpty());
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"两次输入的密码不一致！"});
        QVERIFY(f.Data().Opened());
        QVERIFY(f.Data().IsEncrypted());
    }

    void createRefusalsAreShownAndKeepTheOpenLibrary_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty name") << ""
                                    << "稿件库名称不能为空！";
        QTest::newRow("existing file") << "库"
                                       << "稿件库已经存在！";
    }
    void createRefusalsAreShownAndKeepTheOpenLibrary() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TAppFixture f;
        const QString open = f.OpenSeededLibrary({{"a", "1"}});
        f.dialogs.QueueDialog(CreateDialog(name.isEmpty() ? name : f.Path(name)));
        f.Trigger("munDocBase");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{message});
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), open);
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 1);
    }

    // A relative name is created in the documents folder (XDG_DOCUMENTS_DIR),
    // never in the working folder, and the dialog shows the full path; an
    // empty name keeps the dialog open.
    void relativeNameLiesInTheDocumentsFolder() {
        TAppFixture f;
        const QString documents = QDir::homePath() + QStringLiteral("/我的文档");
        QFile dirs(qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + "/.config") + "/user-dirs.dirs");
        QVERIFY(QDir().mkpath(QFileInfo(dirs).absolutePath()));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/我的文档\"\n");
        dirs.close();
        int emptyClick = -1;
        QString shown;
        f.dialogs.QueueDialog([&](QDialog& d) {
            emptyClick = TScriptedDialogs::Click(d, "btnCreate");
            TScriptedDialogs::SetText(d, "editDataBaseName", QStringLiteral("小说"));
            shown = d.findChild<QLabel*>("lblFullPath")->text();
            return TScriptedDialogs::Click(d, "btnCreate");
        });
        f.Trigger("munDocBase");
        dirs.remove();
        QCOMPARE(emptyClick, int(QDialog::Rejected));
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"稿件库名称不能为空！"});
        const QString expected = documents + QStringLiteral("/小说.qdb");
        QCOMPARE(shown, expected);
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), expected);
        QVERIFY(QFileInfo::exists(expected));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath(QStringLiteral("小说.qdb"))));
    }

    void browseButtonProposesAName() {
        TAppFixture f;
        const QString chosen = f.Path("选的.qdb");
        f.dialogs.QueueDialog([](QDialog& d) {
            TScriptedDialogs::Click(d, "btnOpen");
            return TScriptedDialogs::Click(d, "btnCreate");
        });
        f.dialogs.QueueSaveFileName(chosen);
        f.Trigger("munDocBase");
        const TDialogRequestRecord& browse = f.dialogs.Requests().at(0);  // inside the create dialog
        QCOMPARE(browse.caption, QString("新建稿件库"));
        QCOMPARE(browse.fileName, QString("稿件库"));
        QCOMPARE(f.Data().GetDocDataName(), chosen);
    }

    // Every library that cannot be opened gives one clear message, leaves
    // the window in the no-library mode and still becomes the last library.
    void unopenableLibraries_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("messageStart");
        QTest::newRow("missing file") << "missing"
                                      << "找不到稿件库文件：";
        QTest::newRow("not a library") << "junk"
                                       << "无法打开稿件库：";
        QTest::newRow("damaged library") << "damaged"
                                         << "无法打开稿件库：";
        QTest::newRow("wrong password") << "password"
                                        << "密码错误，无法打开稿件库！";
        QTest::newRow("cancelled password") << "cancel"
                                            << "密码错误，无法打开稿件库！";
    }
    void unopenableLibraries() {
        QFETCH(QString, kind);
        QFETCH(QString, messageStart);
        TAppFixture f;
        QString path = f.Path("坏.qdb");
        if (kind == "junk") {
            QFile junk(path);
            junk.open(QIODevice::WriteOnly);
            junk.write(QByteArray(4096, 'x'));
        } else if (kind == "damaged") {
            path = f.MakeLibrary(QStringLiteral("坏"), {{"a", "text"}});
            QFile file(path);
            file.open(QIODevice::ReadWrite);
            file.seek(0);
            file.write(QByteArray(64, '\xff'));
        } else if (kind == "password" || kind == "cancel") {
            path = f.MakeLibrary(QStringLiteral("坏"), {}, QStringLiteral("对的"));
            if (kind == "password")
                f.dialogs.QueuePassword(QStringLiteral("错的"));
        }
        f.Context().RegConfig().ReadDBFlags();  // makes the preferences key LastDB lives in
        f.Editor().SetText(QStringLiteral("还在"));
        f.Editor().SetModified(false);
        QVERIFY(!f.Commands().Library().OpenLibrary(path));
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QVERIFY2(f.dialogs.Messages().at(0).text.startsWith(messageStart), qPrintable(f.dialogs.Messages().at(0).text));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("打开稿件库"));
        QVERIFY(!f.Data().Opened());
        QVERIFY(f.Editor().IsEnabled());
        QCOMPARE(f.Main().StatusPanels()->PanelWidth(0), 0);
        QCOMPARE(f.Context().RegConfig().ReadLastDB(), path);
        // The window is usable: a good library opens afterwards.
        f.dialogs.ClearRecords();
        QVERIFY(f.Commands().Library().OpenLibrary(f.MakeLibrary(QStringLiteral("好"))));
        QVERIFY(f.dialogs.Messages().empty());
    }

    void missingFileKeepsTheLibraryThatWasOpen() {
        TAppFixture f;
        const QString open = f.OpenSeededLibrary({{"a", "1"}, {"b", "2"}});
        f.Commands().Library().OpenLibrary(f.Path("不存在.qdb"));
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), open);
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 2);
    }

    // A library the user may not write, or whose folder went away: Save
    // reports it and the text stays in the editor, still marked modified.
    void failedSaveKeepsTheText_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "readonly";
        QTest::newRow("vanished folder") << "vanished";
        QTest::newRow("full disk") << "full";
    }
    void failedSaveKeepsTheText() {
        QFETCH(QString, kind);
        TAppFixture f;
        QTemporaryDir own;
        const QString folder = own.path() + "/库夹";
        QDir().mkpath(folder);
        TqlvDocData maker;
        QString file;
        maker.CreateDocData(folder + "/书", {}, {}, true, false, false, 2, &file);
        maker.CloseDocData();
        maker.OpenDocData(file);
        TDocAttr attr;
        attr.DocName = QStringLiteral("甲");
        maker.AddDoc(0, attr);
        maker.CloseDocData();
        if (kind == "readonly")
            ::chmod(QFile::encodeName(file).constData(), 0444);
        if (kind == "readonly" && ::geteuid() == 0)
            f.Data().SetReadOnly(true);  // root writes a file whatever its mode says
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        f.Editor().InsertText(QStringLiteral("不能丢的字"));
        if (kind == "vanished")
            QVERIFY(QDir(folder).removeRecursively());
        // A disk that is full: no file of this process may grow any more.
        struct rlimit before {};
        ::getrlimit(RLIMIT_FSIZE, &before);
        if (kind == "full") {
            ::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit full = {rlim_t(QFileInfo(file).size()), before.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &full);
            f.Editor().InsertText(QString(20000, QChar(0x5B57)));
        }
        f.Trigger("munFileSave");
        ::setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("保存"));
        QVERIFY(f.Editor().GetText().startsWith(QStringLiteral("不能丢的字")));
        QVERIFY(f.Editor().IsModified());
        QCOMPARE(f.Panel(5), QString("状态：已修改"));  // still unsaved
    }

    // A wrong password is asked again, three times in all, in Chinese.
    void wrongPasswordIsAskedAgain_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("opened");
        QTest::newRow("right at the second try") << QStringList{"错", "密"} << true;
        QTest::newRow("right at the third try") << QStringList{"错", "错", "密"} << true;
        QTest::newRow("wrong three times") << QStringList{"错", "错", "错"} << false;
        QTest::newRow("cancelled") << QStringList{""} << false;
    }
    void wrongPasswordIsAskedAgain() {
        QFETCH(QStringList, typed);
        QFETCH(bool, opened);
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("锁"), {{"甲", "1"}}, QStringLiteral("密"));
        for (const QString& password : typed)
            f.dialogs.QueuePassword(password);
        f.dialogs.QueuePassword(QStringLiteral("密"));  // a fourth is never asked for
        QCOMPARE(f.Commands().Library().OpenLibrary(file), opened);
        QCOMPARE(f.dialogs.PendingAnswers(), 1);
        QCOMPARE(f.dialogs.MessageTexts(), opened ? QStringList() : QStringList{"密码错误，无法打开稿件库！"});
    }

    void loginFormAnswersTheEngine_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK returns the password") << true;
        QTest::newRow("Cancel returns nothing") << false;
    }
    void loginFormAnswersTheEngine() {
        QFETCH(bool, accept);
        TScriptedDialogs dialogs;
        QString title, database;
        bool readOnly = false;
        dialogs.QueueDialog([&](QDialog& d) {
            title = d.windowTitle();
            database = d.findChild<QLineEdit*>("DatabaseEdit")->text();
            readOnly = d.findChild<QLineEdit*>("DatabaseEdit")->isReadOnly();
            TScriptedDialogs::SetText(d, "PasswordEdit", QStringLiteral("密"));
            return TScriptedDialogs::Click(d, accept ? "OkButton" : "CancelButton");
        });
        TQtDBLogin login(dialogs);
        const std::optional<std::string> answer = login.Login(QFile::encodeName("/书/库.qdb").toStdString());
        QCOMPARE(title, QString("稿件库密码"));
        QCOMPARE(database, QString("/书/库.qdb"));
        QVERIFY(readOnly);
        QCOMPARE(answer.has_value(), accept);
        if (accept)  // the password's bytes are GB18030, as the library hashes them
            QCOMPARE(QByteArray::fromStdString(*answer), QByteArray("\xc3\xdc"));
    }
};

QTEST_MAIN(TestLibraryCommands)
#include "tst_library_commands.moc"
