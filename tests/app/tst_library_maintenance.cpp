// The library attributes dialog and the maintenance of the open library:
// the attributes shown, the description, password changes, compaction and
// repair behind a progress window, failed rebuilds, the desktop launcher, and
// compaction on exit.
#include "AppFixture.h"

#include "app/dialogs/TfrmProgress.h"
#include "platform/RegistryStore.h"
#include "settings/RegConfig.h"

#include <sys/resource.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <csignal>

namespace {

QString LabelText(QDialog& d, const char* name) { return d.findChild<QLabel*>(name)->text(); }

// True when a handle of its own opens the library with this password
// (an empty answer to the prompt included).
bool OpensWith(const QString& file, const QString& password) {
    TqlvDocData reader;
    try {
        return reader.OpenDocData(file, [&] { return password; });
    } catch (const EUserError&) {
        return false;
    }
}

bool AsksPassword(const QString& file) {
    TqlvDocData reader;
    bool asked = false;
    try {
        reader.OpenDocData(file, [&] {
            asked = true;
            return QString();
        });
    } catch (const EUserError&) {
    }
    return asked;
}

QString StoredComment(const QString& file, const QString& password) {
    TqlvDocData reader;
    reader.OpenDocData(file, [&] { return password; });
    TDBAttr attr;
    reader.GetDocDataAttr(attr);
    return attr.Comment;
}

QStringList DocNames(const QString& file, const QString& password = {}) {
    TqlvDocData reader;
    reader.OpenDocData(file, [&] { return password; });
    QStringList names;
    for (const TViewItem& item : reader.LoadDocList(0))
        names << item.Caption;
    return names;
}

// Deletes every manuscript whose name is not in `keep`, through a handle of
// its own, so the file holds dead space a compaction gives back.
void DeleteAllBut(const QString& file, const QStringList& keep) {
    TqlvDocData writer;
    writer.OpenDocData(file);
    QList<int> gone;
    for (const TViewItem& item : writer.LoadDocList(0))
        if (!keep.contains(item.Caption))
            gone << item.ID;
    writer.DeleteSelectedDocs(gone);
}

QList<TSeedDoc> LongDocs(int count) {
    QList<TSeedDoc> docs;
    for (int i = 0; i < count; ++i)
        docs.append({QStringLiteral("稿%1").arg(i), QString(3000, QChar(0x4E00 + i * 37))});
    return docs;
}

// Records every progress window shown: that it appeared, and where its bar
// stood when it went away.
class TProgressWatch : public QObject {
public:
    TProgressWatch() { qApp->installEventFilter(this); }
    ~TProgressWatch() override { qApp->removeEventFilter(this); }
    QStringList captions;
    QList<int> finalPercents;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* progress = qobject_cast<TfrmProgress*>(watched)) {
            if (event->type() == QEvent::Show)
                captions << progress->windowTitle();
            else if (event->type() == QEvent::Hide)
                finalPercents << progress->Percent();
        }
        return false;
    }
};

}  // namespace

class TestLibraryMaintenance : public QObject {
    Q_OBJECT

private slots:
    void freshLibraryAttributes_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("levelIndex");
        QTest::addColumn<QString>("level");
        QTest::newRow("plain, 最快") << QString() << 0 << "最快";
        QTest::newRow("plain, 标准") << QString() << 2 << "标准";
        QTest::newRow("encrypted, 最好") << "密" << 3 << "最好";
    }
    void freshLibraryAttributes() {
        QFETCH(QString, password);
        QFETCH(int, levelIndex);
        QFETCH(QString, level);
        TAppFixture f;
        QString file;
        {
            TqlvDocData maker;
            maker.CreateDocData(f.Path("新书"), QStringLiteral("描述文字"), password, true, !password.isEmpty(), false,
                                levelIndex, &file);
        }
        f.dialogs.QueuePassword(password);
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        QMap<QString, QString> shown;
        int page = -1;
        bool passwordTicked = false;
        f.dialogs.QueueDialog([&](QDialog& d) {
            for (const char* name : {"lblDBName", "lblDBSize", "lblFloder", "lblDoc", "lblPics", "lblMark", "lblDate",
                                     "lblCompressed", "lblCompressLevel", "lblEncrept"})
                shown[name] = LabelText(d, name);
            shown["editComments"] = d.findChild<QLineEdit*>("editComments")->text();
            shown["editPos"] = d.findChild<QLineEdit*>("editPos")->text();
            page = d.findChild<QTabWidget*>("pcAttribute")->currentIndex();
            passwordTicked = d.findChild<QCheckBox*>("chkDBPas")->isChecked();
            return TScriptedDialogs::Click(d, "btnCancel");
        });
        f.Trigger("munDocAttribute");
        QCOMPARE(page, 0);
        QCOMPARE(shown["lblDBName"], QString("新书"));
        QCOMPARE(shown["lblDBSize"], QString::number(QFileInfo(file).size()) + " 字节");
        QCOMPARE(shown["editComments"], QString("描述文字"));
        QCOMPARE(shown["editPos"], file);
        for (const char* count : {"lblFloder", "lblDoc", "lblPics", "lblMark"})
            QCOMPARE(shown[count], QString("0"));
        QVERIFY(!shown["lblDate"].isEmpty());
        QCOMPARE(shown["lblCompressed"], QString("是"));
        QCOMPARE(shown["lblCompressLevel"], level);
        QCOMPARE(shown["lblEncrept"], password.isEmpty() ? QString("否") : QString("是"));
        QCOMPARE(passwordTicked, !password.isEmpty());
        QVERIFY(f.dialogs.Messages().empty());
    }

    // The attribute dialogs are as wide as their texts (a long description,
    // location or publication is shown whole) and give dates in the
    // interface language's form, never with English month names.
    void attributeDialogsFitTheirContent_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("date");
        QTest::newRow("稿件库属性") << "munDocAttribute" << QStringList{"editComments", "editPos"} << "lblDate";
        QTest::newRow("稿件属性") << "munFileAttribute" << QStringList{"editDocName", "editPublish"} << "lblCDate";
    }
    void attributeDialogsFitTheirContent() {
        QFETCH(QString, item);
        QFETCH(QStringList, edits);
        QFETCH(QString, date);
        TAppFixture f;
        const QString longText = QString(40, QChar(0x957F)) + QStringLiteral("的说明");
        QString file;
        {
            TqlvDocData maker;
            QVERIFY(QDir().mkpath(f.Path(QString(8, QChar(0x6DF1)))));
            maker.CreateDocData(f.Path(QString(8, QChar(0x6DF1)) + "/书"), longText, {}, true, false, false, 2, &file);
            maker.CloseDocData();
            QVERIFY(maker.OpenDocData(file));
            TDocAttr attr;
            attr.DocName = longText;
            attr.Publish = longText;
            maker.AddDoc(0, attr);
        }
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        f.SelectDoc(longText);
        QStringList cut;
        QString dateText;
        f.dialogs.QueueDialog([&](QDialog& d) {
            d.adjustSize();
            for (const QString& name : edits) {
                const auto* edit = d.findChild<QLineEdit*>(name);
                // Whole, unless wider than most of the screen.
                const int screen = QGuiApplication::primaryScreen()->availableGeometry().width() * 2 / 3;
                if (edit->width() < qMin(screen, edit->fontMetrics().horizontalAdvance(edit->text())))
                    cut << name;
            }
            dateText = LabelText(d, qPrintable(date));
            return TScriptedDialogs::Click(d, "btnCancel");
        });
        f.Trigger(qPrintable(item));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(',')));
        QVERIFY(!dateText.isEmpty());
        QVERIFY2(!dateText.contains(QRegularExpression("[A-Za-z]")), qPrintable(dateText));
    }

    void maintenanceItemsOpenTheToolsPage_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("page");
        QTest::newRow("属性") << "munDocAttribute" << 0;
        QTest::newRow("压缩稿件库") << "munDocCompact" << 1;
        QTest::newRow("修复稿件库") << "munDocRepair" << 1;
        QTest::newRow("修改密码") << "munDocModifyPas" << 1;
        QTest::newRow("创建快捷方式") << "munDocShortCut" << 1;
    }
    void maintenanceItemsOpenTheToolsPage() {
        QFETCH(QString, item);
        QFETCH(int, page);
        TAppFixture f;
        f.OpenSeededLibrary({});
        int shownPage = -1;
        f.dialogs.QueueDialog([&](QDialog& d) {
            shownPage = d.findChild<QTabWidget*>("pcAttribute")->currentIndex();
            return int(QDialog::Rejected);
        });
        f.Trigger(item.toLatin1().constData());
        QCOMPARE(shownPage, page);
    }

    // What "确定" does to the password, on an encrypted library ("密") and
    // on a plain one.
    void passwordOnConfirm_data() {
        QTest::addColumn<QString>("password");  // of the library
        QTest::addColumn<int>("ticked");        // -1 leave the box as shown
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opensWith");  // afterwards; "-" = no password asked
        QTest::newRow("encrypted, description only") << "密" << -1 << ""
                                                     << "密";
        QTest::newRow("encrypted, unticked") << "密" << 0 << ""
                                             << "-";
        QTest::newRow("encrypted, new password") << "密" << -1 << "新密"
                                                 << "新密";
        QTest::newRow("plain, description only") << "" << -1 << ""
                                                 << "-";
        QTest::newRow("plain, ticked with a password") << "" << 1 << "新密"
                                                       << "新密";
    }
    void passwordOnConfirm() {
        QFETCH(QString, password);
        QFETCH(int, ticked);
        QFETCH(QString, typed);
        QFETCH(QString, opensWith);
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("书"), {{"甲", "正文"}}, password);
        f.dialogs.QueuePassword(password);
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        int result = -1;
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::SetText(d, "editComments", QStringLiteral("改过的描述"));
            if (ticked >= 0)
                TScriptedDialogs::SetChecked(d, "chkDBPas", ticked == 1);
            TScriptedDialogs::SetText(d, "editDBPas", typed);
            TScriptedDialogs::SetText(d, "editDBConfirm", typed);
            result = TScriptedDialogs::Click(d, "btnOK");
            return result;
        });
        f.Trigger("munDocAttribute");
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(f.dialogs.Messages().empty());
        QVERIFY(f.Data().Opened());
        f.Trigger("munDocCloseBase");
        if (opensWith == "-") {
            QVERIFY(!AsksPassword(file));
        } else {
            QVERIFY(!OpensWith(file, QString()));
            QVERIFY(OpensWith(file, opensWith));
        }
        QCOMPARE(StoredComment(file, opensWith == "-" ? QString() : opensWith), QString("改过的描述"));
        QCOMPARE(DocNames(file, opensWith == "-" ? QString() : opensWith), QStringList{"甲"});
    }

    void differingPasswordsKeepTheDialogOpen() {
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("书"), {}, QStringLiteral("密"));
        f.dialogs.QueuePassword(QStringLiteral("密"));
        f.Commands().Library().OpenLibrary(file);
        int first = -1;
        QString confirmAfter = "not read";
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::SetText(d, "editComments", QStringLiteral("先存下"));
            TScriptedDialogs::SetText(d, "editDBPas", "abc");
            TScriptedDialogs::SetText(d, "editDBConfirm", "abd");
            first = TScriptedDialogs::Click(d, "btnOK");
            confirmAfter = d.findChild<QLineEdit*>("editDBConfirm")->text();
            return TScriptedDialogs::Click(d, "btnCancel");
        });
        f.Trigger("munDocAttribute");
        QCOMPARE(first, int(QDialog::Rejected));  // still open
        QVERIFY(confirmAfter.isEmpty());
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"两次输入的密码不一致！"});
        f.Trigger("munDocCloseBase");
        QVERIFY(OpensWith(file, QStringLiteral("密")));
        QCOMPARE(StoredComment(file, QStringLiteral("密")), QString("先存下"));
    }

    // The tool buttons rebuild the library behind a progress window and say
    // when they are done; the manuscripts survive and dead space goes.
    void compactAndRepairFromTheDialog_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("message");
        QTest::newRow("compact") << "btnCompress"
                                 << "压缩稿件库"
                                 << "已完成对稿件库的压缩！";
        QTest::newRow("repair") << "btnRepairDB"
                                << "修复稿件库"
                                << "已完成对稿件库的修复！";
    }
    void compactAndRepairFromTheDialog() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, message);
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("书"), LongDocs(30));
        DeleteAllBut(file, {QStringLiteral("稿3"), QStringLiteral("稿7")});
        const qint64 before = QFileInfo(file).size();
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        TProgressWatch watch;
        QString sizeAfter;
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::Click(d, button.toLatin1().constData());
            sizeAfter = LabelText(d, "lblDBSize");
            return TScriptedDialogs::Click(d, "btnCancel");
        });
        f.Trigger("munDocCompact");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{message});
        QCOMPARE(f.dialogs.Messages().at(0).caption, caption);
        QCOMPARE(f.dialogs.Messages().at(0).icon, 1);
        QCOMPARE(watch.captions, QStringList{caption});
        QCOMPARE(watch.finalPercents, QList<int>{100});
        const qint64 after = QFileInfo(file).size();
        QVERIFY2(after < before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
        QCOMPARE(sizeAfter, QString::number(after) + " 字节");  // the page shows the new size
        // The window goes on working with the rebuilt file.
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 2);
        f.SelectDoc(QStringLiteral("稿7"));
        f.Trigger("munFileOpen");
        QCOMPARE(f.Editor().GetText(), QString(3000, QChar(0x4E00 + 7 * 37)));
    }

    // A rebuild that cannot be done is reported; the library stays as it was.
    void failedRebuildsAreReported_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        for (const char* kind : {"readonly", "full"}) {
            QTest::addRow("compact, %s", kind) << "btnCompress" << kind << "压缩稿件库";
            QTest::addRow("repair, %s", kind) << "btnRepairDB" << kind << "修复稿件库";
            QTest::addRow("password, %s", kind) << "btnOK" << kind << "修改密码";
        }
    }
    void failedRebuildsAreReported() {
        QFETCH(QString, item);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("书"), LongDocs(5));
        if (kind == "readonly")
            f.Data().SetReadOnly(true);
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        const QByteArray bytesBefore = [&] {
            QFile in(file);
            in.open(QIODevice::ReadOnly);
            return in.readAll();
        }();
        struct rlimit before {};
        ::getrlimit(RLIMIT_FSIZE, &before);
        if (kind == "full") {
            ::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit full = {rlim_t(2048), before.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &full);
        }
        f.dialogs.QueueDialog([&](QDialog& d) {
            if (item == "btnOK") {
                TScriptedDialogs::SetChecked(d, "chkDBPas", true);
                TScriptedDialogs::SetText(d, "editDBPas", "新");
                TScriptedDialogs::SetText(d, "editDBConfirm", "新");
                return TScriptedDialogs::Click(d, "btnOK");
            }
            TScriptedDialogs::Click(d, item.toLatin1().constData());
            return TScriptedDialogs::Click(d, "btnCancel");
        });
        f.Trigger("munDocCompact");
        ::setrlimit(RLIMIT_FSIZE, &before);
        // The rebuild's own report comes last (a read-only library refuses
        // the description before it).
        QVERIFY(!f.dialogs.Messages().empty());
        QCOMPARE(f.dialogs.Messages().back().caption, caption);
        for (const TShownMessage& message : f.dialogs.Messages())
            QCOMPARE(message.icon, 2);
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        QCOMPARE(in.readAll(), bytesBefore);
        QVERIFY(QDir(QFileInfo(file).absolutePath()).entryList({"TDB*"}, QDir::Files).isEmpty());
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 5);
    }

    void launcherGoesOnTheDesktop() {
        TAppFixture f;
        QTemporaryDir desktop;
        qputenv("XDG_DESKTOP_DIR", desktop.path().toUtf8());
        const QString file = f.OpenSeededLibrary({});
        f.dialogs.QueueDialog([](QDialog& d) {
            TScriptedDialogs::Click(d, "btnShotrCut");
            return TScriptedDialogs::Click(d, "btnCancel");
        });
        f.Trigger("munDocShortCut");
        qunsetenv("XDG_DESKTOP_DIR");
        const QString link = desktop.path() + "/库.desktop";
        QVERIFY(QFileInfo(link).isExecutable());
        QFile entry(link);
        entry.open(QIODevice::ReadOnly);
        QVERIFY(entry.readAll().contains(("Path=" + QFileInfo(file).absolutePath()).toUtf8()));
        QVERIFY(f.dialogs.Messages().empty());
    }

    // Closing the window compacts the open library when AutoCompress is set,
    // without a word.
    void compactionOnExit_data() {
        QTest::addColumn<bool>("autoCompress");
        QTest::newRow("AutoCompress set") << true;
        QTest::newRow("AutoCompress not set") << false;
    }
    void compactionOnExit() {
        QFETCH(bool, autoCompress);
        TAppFixture f;
        TRegistry config(TRegRoot::HKEY_LOCAL_MACHINE);
        QVERIFY(config.OpenKey(QStringLiteral("\\SoftWare\\Veltrix\\Quilr1.3\\Config"), true));
        config.WriteBool(QStringLiteral("AutoCompress"), autoCompress);
        config.WriteBool(QStringLiteral("AutoOpen"), false);
        config.CloseKey();
        const QString file = f.MakeLibrary(QStringLiteral("书"), LongDocs(20));
        DeleteAllBut(file, {QStringLiteral("稿1")});
        const qint64 before = QFileInfo(file).size();
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        TProgressWatch watch;
        f.Main().close();
        QVERIFY(f.dialogs.Messages().empty());
        QVERIFY(watch.captions.isEmpty());
        const qint64 after = QFileInfo(file).size();
        QCOMPARE(after < before, autoCompress);
        f.Data().CloseDocData();
        QCOMPARE(DocNames(file), QStringList{"稿1"});
    }
};

QTEST_MAIN(TestLibraryMaintenance)
#include "tst_library_maintenance.moc"
