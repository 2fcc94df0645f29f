// The library centre (稿件库中心): the registry list it shows and keeps, the
// attributes of the selected library (open or not, encrypted or not), and
// the ways it hands a library to the window to open.
#include "AppFixture.h"

#include "app/dialogs/TfrmDBCenter.h"
#include "settings/RegConfig.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

QListWidget* List(QDialog& d) { return d.findChild<QListWidget*>("lvDB"); }

QStringList Captions(QDialog& d) {
    QStringList names;
    for (int i = 0; i < List(d)->count(); ++i)
        names << List(d)->item(i)->text();
    return names;
}

void Select(QDialog& d, const QString& caption) {
    const QList<QListWidgetItem*> found = List(d)->findItems(caption, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(caption));
    List(d)->setCurrentItem(found.first());
}

QString Shown(QDialog& d, const char* label) { return d.findChild<QLabel*>(label)->text(); }

bool Enabled(QDialog& d, const char* button) { return d.findChild<QPushButton*>(button)->isEnabled(); }

bool OwnDatabase(QDialog& d) { return static_cast<TfrmDBCenter&>(d).OwnDatabaseConnected(); }

// Answers the engine's login form.
TScriptedDialogs::DialogHandler Login(const QString& password, bool ok = true) {
    return [=](QDialog& d) {
        TScriptedDialogs::SetText(d, "PasswordEdit", password);
        return TScriptedDialogs::Click(d, ok ? "OkButton" : "CancelButton");
    };
}

int LoginsAsked(const TScriptedDialogs& dialogs) {
    int count = 0;
    for (const TDialogRequestRecord& request : dialogs.Requests())
        count += request.caption == QStringLiteral("稿件库密码");
    return count;
}

}  // namespace

class TestLibraryCentre : public QObject {
    Q_OBJECT

private slots:
    void libraryWhoseFileIsGoneLeavesListAndRegistry() {
        TAppFixture f;
        const QString kept = f.MakeLibrary(QStringLiteral("留下"));
        const QString gone = f.MakeLibrary(QStringLiteral("删掉"));
        f.Data().AddToDBCenter(kept);
        f.Data().AddToDBCenter(gone);
        QVERIFY(QFile::remove(gone));
        QStringList listed;
        f.dialogs.QueueDialog([&](QDialog& d) {
            listed = Captions(d);
            return int(QDialog::Rejected);
        });
        f.Trigger("munDocCenter");
        QCOMPARE(listed, QStringList{"留下"});
        QCOMPARE(f.Data().GetDBCenterList(), QStringList{"留下"});
        QVERIFY(f.dialogs.Messages().empty());
    }

    void addingTheSameFileTwiceLeavesOneEntry() {
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("小说"));
        f.dialogs.QueueOpenFileNames({file});
        f.dialogs.QueueOpenFileNames({file});
        QStringList listed;
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::Click(d, "btnAdd");
            TScriptedDialogs::Click(d, "btnAdd");
            listed = Captions(d);
            return int(QDialog::Rejected);
        });
        f.Trigger("munDocCenter");
        QCOMPARE(listed, QStringList{"小说"});
        QCOMPARE(f.Data().GetDBCenterList(), QStringList{"小说"});
        QCOMPARE(f.Data().GetDBCenterPath("小说"), file);
        const TDialogRequestRecord& add = f.dialogs.Requests().at(1);
        QCOMPARE(add.kind, QString("openMany"));
        QCOMPARE(add.caption, QString("添加稿件库"));
    }

    // "移除(&D)" and the Delete key ask first; only "是(&Y)" removes the entry,
    // and never the file.
    void removingAnEntryKeepsTheFile_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("answer");
        QTest::newRow("button, yes") << false << 1;
        QTest::newRow("button, no") << false << 2;
        QTest::newRow("Delete key, yes") << true << 1;
    }
    void removingAnEntryKeepsTheFile() {
        QFETCH(bool, byKey);
        QFETCH(int, answer);
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("小说"));
        f.Data().AddToDBCenter(file);
        f.dialogs.QueueMessageAnswer(answer);
        QStringList listed;
        bool buttonsAfter = true;
        f.dialogs.QueueDialog([&](QDialog& d) {
            Select(d, "小说");
            if (byKey)
                QTest::keyClick(List(d), Qt::Key_Delete);
            else
                TScriptedDialogs::Click(d, "btnDel");
            listed = Captions(d);
            buttonsAfter = Enabled(d, "btnOpen") && Enabled(d, "btnDel");
            return int(QDialog::Rejected);
        });
        f.Trigger("munDocCenter");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"确实要将此稿件库从列表中移除吗？"});
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("移除稿件库"));
        QCOMPARE(f.dialogs.Messages().at(0).buttons, 2);
        const bool removed = answer == 1;
        QCOMPARE(listed.isEmpty(), removed);
        QCOMPARE(f.Data().GetDBCenterList().isEmpty(), removed);
        QCOMPARE(buttonsAfter, !removed);
        QVERIFY(QFileInfo::exists(file));
    }

    void selectingTheOpenLibraryReadsNoSecondCopy() {
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("开着的"), {{"甲", "1"}, {"乙", "2"}}, QStringLiteral("密"));
        f.Data().AddToDBCenter(file);
        f.dialogs.QueuePassword(QStringLiteral("密"));
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        QString docs, encrypted;
        bool own = true;
        f.dialogs.QueueDialog([&](QDialog& d) {
            Select(d, "开着的");
            docs = Shown(d, "lblDoc");
            encrypted = Shown(d, "lblEncrept");
            own = OwnDatabase(d);
            return int(QDialog::Rejected);
        });
        f.Trigger("munDocCenter");
        QCOMPARE(docs, QString("2"));
        QCOMPARE(encrypted, QString("是"));
        QVERIFY(!own);
        QCOMPARE(LoginsAsked(f.dialogs), 0);
        QVERIFY(f.Data().Opened());
    }

    // Another library is read through the centre's own database, which asks
    // an encrypted library's password and is closed again when the
    // selection moves on or the centre closes.
    void otherLibrariesAreReadThroughTheCentre_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("readable");
        QTest::newRow("plain") << QString() << QString() << true;
        QTest::newRow("encrypted, right password") << "密"
                                                   << "密" << true;
        QTest::newRow("encrypted, wrong password") << "密"
                                                   << "错" << false;
    }
    void otherLibrariesAreReadThroughTheCentre() {
        QFETCH(QString, password);
        QFETCH(QString, answer);
        QFETCH(bool, readable);
        TAppFixture f;
        const QString other = f.MakeLibrary(QStringLiteral("别的"), {{"甲", "1"}}, password);
        const QString plain = f.MakeLibrary(QStringLiteral("另一"));
        f.Data().AddToDBCenter(other);
        f.Data().AddToDBCenter(plain);
        QString docs;
        bool connectedWhileSelected = false, connectedAfterMove = true;
        f.dialogs.QueueDialog([&](QDialog& d) {
            Select(d, "别的");
            docs = Shown(d, "lblDoc");
            connectedWhileSelected = OwnDatabase(d);
            List(d)->clearSelection();
            connectedAfterMove = OwnDatabase(d);
            return int(QDialog::Rejected);
        });
        if (!password.isEmpty())  // asked while the centre is shown
            f.dialogs.QueueDialog(Login(answer));
        f.Trigger("munDocCenter");
        QCOMPARE(LoginsAsked(f.dialogs), password.isEmpty() ? 0 : 1);
        QCOMPARE(docs, readable ? QString("1") : QString());
        QCOMPARE(connectedWhileSelected, readable);
        QVERIFY(!connectedAfterMove);
        QCOMPARE(f.dialogs.Messages().size(), size_t(readable ? 0 : 1));
        if (!readable)
            QCOMPARE(f.dialogs.Messages().at(0).caption, QString("稿件库中心"));
    }

    // 打开, a double click and Enter all hand the selected library to the
    // window; choosing the open one reopens it.
    void chosenLibraryOpens_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("alreadyOpen");
        QTest::newRow("button") << "button" << false;
        QTest::newRow("double click") << "double" << false;
        QTest::newRow("Enter key") << "enter" << false;
        QTest::newRow("the open library again") << "button" << true;
    }
    void chosenLibraryOpens() {
        QFETCH(QString, how);
        QFETCH(bool, alreadyOpen);
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("要开的"), {{"甲", "1"}});
        f.Data().AddToDBCenter(file);
        f.Context().RegConfig().ReadDBFlags();  // makes the preferences key LastDB lives in
        if (alreadyOpen)
            QVERIFY(f.Commands().Library().OpenLibrary(file));
        f.dialogs.QueueDialog([&](QDialog& d) {
            Select(d, "要开的");
            if (how == "button")
                return TScriptedDialogs::Click(d, "btnOpen");
            if (how == "double")
                emit List(d)->itemDoubleClicked(List(d)->currentItem());
            else
                QTest::keyClick(List(d), Qt::Key_Return);
            return d.result();
        });
        f.Trigger("munDocCenter");
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), file);
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 1);
        QCOMPARE(f.Context().RegConfig().ReadLastDB(), file);
    }

    // The password typed in the centre opens the library; it is not asked
    // again while the application runs, not even after closing it.
    void encryptedLibraryIsAskedForOncePerRun() {
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("锁"), {{"甲", "1"}}, QStringLiteral("密"));
        f.Data().AddToDBCenter(file);
        f.dialogs.QueueDialog([&](QDialog& d) {
            Select(d, "锁");
            return TScriptedDialogs::Click(d, "btnOpen");
        });
        f.dialogs.QueueDialog(Login(QStringLiteral("密")));
        f.Trigger("munDocCenter");
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), file);
        f.Trigger("munDocCloseBase");
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        f.dialogs.QueueDialog([&](QDialog& d) {  // read again by the centre
            Select(d, "锁");
            return int(QDialog::Rejected);
        });
        f.Trigger("munDocCenter");
        QCOMPARE(LoginsAsked(f.dialogs), 1);
        int passwordPrompts = 0;
        for (const TDialogRequestRecord& request : f.dialogs.Requests())
            passwordPrompts += request.kind == "password";
        QCOMPARE(passwordPrompts, 0);
        QVERIFY(f.dialogs.Messages().empty());
    }

    void creatingFromTheCentreClosesItsDatabaseAndOpensTheNewLibrary() {
        TAppFixture f;
        const QString old = f.OpenSeededLibrary({{"甲", "1"}});
        const QString other = f.MakeLibrary(QStringLiteral("别的"));
        f.Data().AddToDBCenter(other);
        const QString created = f.Path("新建的");
        bool connectedBefore = false;
        f.dialogs.QueueDialog([&](QDialog& d) {
            Select(d, "别的");
            connectedBefore = OwnDatabase(d);
            return TScriptedDialogs::Click(d, "btnCreate");
        });
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::SetText(d, "editDataBaseName", created);
            return TScriptedDialogs::Click(d, "btnCreate");
        });
        f.Trigger("munDocCenter");
        QVERIFY(connectedBefore);
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), created + ".qdb");
        QCOMPARE(f.Data().GetDBCenterPath("新建的"), created + ".qdb");
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 0);
        QVERIFY(QFileInfo::exists(old));
    }

    void closingTheCentreChangesNothing() {
        TAppFixture f;
        const QString open = f.OpenSeededLibrary({{"甲", "1"}});
        f.dialogs.QueueDialog([](QDialog& d) { return TScriptedDialogs::Click(d, "tbnCancel"); });
        f.Trigger("munDocCenter");
        QCOMPARE(f.Data().GetDocDataName(), open);
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 1);
    }
};

QTEST_MAIN(TestLibraryCentre)
#include "tst_library_centre.moc"
