// The automatic snapshots (on closing, at exit, on the timer), 稿件库 ▸
// 从备份恢复… with its dialog, and the options dialog's 备份 tab.
#include "AppFixture.h"
#include "support/SpoiltValues.h"

#include "app/TBackupService.h"
#include "app/TStatusPanels.h"
#include "platform/TextCodec.h"
#include "settings/BackupSettings.h"

#include <sys/resource.h>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <csignal>

namespace {

QStringList DocNames(const QString& file, const QString& password = QString()) {
    TqlvDocData reader;
    if (!reader.OpenDocData(file, [&] { return password; }))
        return {};
    QStringList names;
    for (const TViewItem& item : reader.LoadDocList(0))
        names << item.Caption;
    return names;
}

QStringList Snapshots(TAppFixture& f, const QString& library) {
    return f.Context().Backups().BackupOf(library).SnapshotPaths();
}

void AddDoc(TAppFixture& f, const QString& name) {
    TDocAttr attr;
    attr.DocName = name;
    attr.Txt = name + QStringLiteral("的正文");
    f.Data().AddDoc(0, attr);
}

// Answers the restore dialog: records the rows it shows, picks row `pick`.
struct RestoreAnswer {
    int pick = 0;
    QStringList rows;  // "folders/manuscripts/state" per row
    QList<bool> selectable;
    QStringList sizes;
    bool okEnabled = false;
    TScriptedDialogs::DialogHandler Handler() {
        return [this](QDialog& d) {
            auto* list = d.findChild<QTreeWidget*>(QStringLiteral("lvBackups"));
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* item = list->topLevelItem(i);
                rows << item->text(2) + '/' + item->text(3) + '/' + item->text(4);
                selectable << bool(item->flags() & Qt::ItemIsSelectable);
                sizes << item->text(1);
            }
            if (pick < 0)
                return TScriptedDialogs::Click(d, "btnCancel");
            list->setCurrentItem(list->topLevelItem(pick));
            okEnabled = d.findChild<QPushButton*>(QStringLiteral("btnOK"))->isEnabled();
            return TScriptedDialogs::Click(d, okEnabled ? "btnOK" : "btnCancel");
        };
    }
};

}  // namespace

class TestBackupCommands : public QObject {
    Q_OBJECT

private slots:
    // The registry store is shared by the tests of this file: start each
    // from the first-run settings.
    void init() {
        TqlvRegConfig config;
        WriteBackupSettings(config, TBackupSettings{true, 30, DefaultBackupFolder(), 10, 7});
    }

    void closingTakesASnapshotOnlyWhenChanged_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("关闭稿件库") << "close";
        QTest::newRow("opening another library") << "open";
        QTest::newRow("exit") << "exit";
    }
    void closingTakesASnapshotOnlyWhenChanged() {
        QFETCH(QString, how);
        TAppFixture f;
        const QString other = f.MakeLibrary(QStringLiteral("另一个"));
        const QString file = f.OpenSeededLibrary({{QStringLiteral("一"), QStringLiteral("正文")}});
        auto close = [&] {
            if (how == "close")
                f.Trigger("munDocCloseBase");
            else if (how == "open")
                f.Commands().Library().OpenLibrary(other);
            else
                f.Main().close();
        };
        close();
        QCOMPARE(Snapshots(f, file).size(), 1);  // never backed up before
        QCOMPARE(DocNames(Snapshots(f, file).first()), QStringList({"一"}));
        if (how == "exit")
            return;  // the application is done
        f.Commands().Library().OpenLibrary(file);
        close();
        QCOMPARE(Snapshots(f, file).size(), 1);  // unchanged: nothing new
        f.Commands().Library().OpenLibrary(file);
        AddDoc(f, QStringLiteral("二"));
        close();
        QCOMPARE(Snapshots(f, file).size(), 2);
        QCOMPARE(DocNames(Snapshots(f, file).first()), QStringList({"一", "二"}));
        QVERIFY(f.dialogs.Messages().empty());
    }

    void switchedOffTakesNone() {
        TAppFixture f;
        TBackupSettings settings = ReadBackupSettings(f.Context().RegConfig());
        settings.Enabled = false;
        WriteBackupSettings(f.Context().RegConfig(), settings);
        f.Context().Backups().ApplySettings();
        QVERIFY(!f.Context().Backups().Timer().isActive());
        const QString file = f.OpenSeededLibrary({});
        f.Context().Backups().Tick();
        f.Trigger("munDocCloseBase");
        QVERIFY(Snapshots(f, file).isEmpty());
    }

    void timerSnapshotsWhileEditing() {
        TAppFixture f;
        const TBackupService& service = f.Context().Backups();
        QVERIFY(service.Timer().isActive());
        QCOMPARE(service.Timer().interval(), 30 * 60 * 1000);  // the default
        const QString file = f.OpenSeededLibrary({});
        f.Context().Backups().Tick();
        QCOMPARE(Snapshots(f, file).size(), 1);
        f.Context().Backups().Tick();
        QCOMPARE(Snapshots(f, file).size(), 1);  // nothing changed meanwhile
        AddDoc(f, QStringLiteral("新"));
        f.Context().Backups().Tick();
        QCOMPARE(Snapshots(f, file).size(), 2);
    }

    void fullDiskOnClosingIsReportedAndTheLibraryStillCloses() {
        TAppFixture f;
        const QString file = f.OpenSeededLibrary({{QStringLiteral("一"), QString(3000, QChar(0x5B57))}});
        f.Context().Backups().BackupOf(file).Folder();
        const QByteArray before = [&] {
            QFile in(file);
            in.open(QIODevice::ReadOnly);
            return in.readAll();
        }();
        struct rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit full = {rlim_t(2048), old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &full);
        f.Trigger("munDocCloseBase");
        ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!f.Data().Opened());
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("备份稿件库"));
        QVERIFY(f.dialogs.Messages().at(0).text.contains(QStringLiteral("磁盘空间不足")));
        QVERIFY(Snapshots(f, file).isEmpty());
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), before);
    }

    // A library that fails its check is still copied, and the writer is told:
    // in a message on closing, as a status bar note from the timer.
    void damagedLibraryIsBackedUpAndSaidSo_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("关闭稿件库") << "close";
        QTest::newRow("timer") << "timer";
    }
    void damagedLibraryIsBackedUpAndSaidSo() {
        QFETCH(QString, how);
        TAppFixture f;
        const QString text = QString(3000, QChar(0x5B57));
        const QString file = f.OpenSeededLibrary({{QStringLiteral("一"), text}});
        QCOMPARE(SpoilStoredValuesIn(file, text), 1);  // under the open library
        QSignalSpy notes(&f.Context().Backups(), &TBackupService::DamagedLibrary);
        if (how == "close")
            f.Trigger("munDocCloseBase");
        else
            f.Context().Backups().Tick();
        const QStringList snapshots = Snapshots(f, file);
        QCOMPARE(snapshots.size(), 1);
        QVERIFY(TLibraryBackup::Inspect(snapshots.first(), std::string()).Damaged);
        const QString note = TBackupService::DamagedNote(file);
        if (how == "close") {
            QCOMPARE(f.dialogs.Messages().size(), size_t(1));
            QCOMPARE(f.dialogs.Messages().at(0).caption, QString("备份稿件库"));
            QCOMPARE(f.dialogs.Messages().at(0).text, note);
            QVERIFY(notes.isEmpty());
        } else {
            QCOMPARE(notes.size(), 1);
            QVERIFY(f.dialogs.Messages().empty());
            QCOMPARE(f.Main().findChild<TStatusPanels*>()->PanelText(8), note);
        }
    }

    void restoreIsOnlyOfferedWithALibraryOpen() {
        TAppFixture f;
        QVERIFY(!f.Main().Action("munDocRestore")->isEnabled());
        f.OpenSeededLibrary({});
        QVERIFY(f.Main().Action("munDocRestore")->isEnabled());
        f.Trigger("munDocCloseBase");
        QVERIFY(!f.Main().Action("munDocRestore")->isEnabled());
    }

    // Restoring asks first (naming the snapshot's time), says it is done,
    // leaves no manuscript named that is not open, and lists the snapshot
    // that holds what it replaced as such; 否 changes nothing.
    void restoreBringsBackTheChosenStateAndKeepsTheCurrentOne_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << 1;
        QTest::newRow("no") << 2;
    }
    void restoreBringsBackTheChosenStateAndKeepsTheCurrentOne() {
        QFETCH(int, answer);
        TAppFixture f;
        const QString file = f.OpenSeededLibrary({{QStringLiteral("一"), QStringLiteral("正文")}});
        f.Context().Backups().Tick();  // holds 一
        AddDoc(f, QStringLiteral("二"));
        f.Data().AddFolder(0, QStringLiteral("卷"));
        f.Context().Backups().Tick();     // holds 一, 二, 卷
        AddDoc(f, QStringLiteral("三"));  // not backed up yet
        f.Main().LoadLibraryViews();
        f.SelectDoc(QStringLiteral("一"));
        f.Trigger("munFileOpen");
        const QString shownTime =
            f.Context().Backups().BackupOf(file).Snapshots({}).at(1).Time.toString("yyyy-MM-dd HH:mm:ss");
        RestoreAnswer choice;
        choice.pick = 1;  // the older one
        f.dialogs.QueueDialog(choice.Handler());
        f.dialogs.QueueMessageAnswer(answer);
        f.Trigger("munDocRestore");
        QCOMPARE(choice.rows, QStringList({"1/2/", "0/1/"}));  // newest first
        QVERIFY(choice.okEnabled);
        QVERIFY2(f.dialogs.Messages().at(0).text.contains(shownTime), qPrintable(f.dialogs.Messages().at(0).text));
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), file);
        if (answer == 2) {
            QCOMPARE(f.dialogs.Messages().size(), size_t(1));
            QVERIFY(f.DocItem(QStringLiteral("三")));
            QCOMPARE(f.Panel(1), QString("稿件：一"));
            return;
        }
        QCOMPARE(f.DocItem(QStringLiteral("二")), nullptr);
        QVERIFY(f.DocItem(QStringLiteral("一")));
        QCOMPARE(f.dialogs.MessageTexts().at(1), "已从 " + shownTime + " 的备份恢复稿件库。");
        QVERIFY(!f.Editor().IsEnabled());
        QVERIFY(f.Panel(1) != QString("稿件：一"));
        QCOMPARE(f.Panel(5), QString("状态：已恢复"));
        // What was replaced (with 三) is the newest snapshot now, marked so.
        const QStringList after = Snapshots(f, file);
        QCOMPARE(after.size(), 3);
        QCOMPARE(DocNames(after.first()), QStringList({"一", "二", "三"}));
        RestoreAnswer look;
        look.pick = -1;
        f.dialogs.QueueDialog(look.Handler());
        f.Trigger("munDocRestore");
        QCOMPARE(look.rows, QStringList({"1/3/恢复前的备份", "1/2/", "0/1/"}));
        for (const QString& size : look.sizes)  // as the library's own size is shown
            QVERIFY2(QRegularExpression("^[0-9]+ 字节$").match(size).hasMatch(), qPrintable(size));
    }

    void restoreOfAnEncryptedSnapshotAsksItsPassword() {
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("密库"), {{QStringLiteral("旧稿"), QStringLiteral("字")}},
                                           QStringLiteral("旧"));
        f.dialogs.QueuePassword(QStringLiteral("旧"));
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        f.Context().Backups().Tick();
        // The password changes after the snapshot: the open library's own no longer opens it.
        QVERIFY(f.Data().ChangePassword(QStringLiteral("新"), true));
        AddDoc(f, QStringLiteral("新稿"));
        RestoreAnswer answer;
        f.dialogs.QueueDialog(answer.Handler());
        f.dialogs.QueuePassword(QStringLiteral("旧"));
        f.dialogs.ClearRecords();
        f.Trigger("munDocRestore");
        QCOMPARE(answer.rows, QStringList({"?/?/已加密"}));
        int asked = 0;
        for (const TDialogRequestRecord& request : f.dialogs.Requests())
            asked += request.kind == "password";
        QCOMPARE(asked, 1);  // once for the snapshot, not again to reopen
        QVERIFY(f.Data().Opened());
        QVERIFY(f.DocItem(QStringLiteral("旧稿")));
        QCOMPARE(f.DocItem(QStringLiteral("新稿")), nullptr);
        QCOMPARE(DocNames(Snapshots(f, file).first(), QStringLiteral("新")), QStringList({"旧稿", "新稿"}));
    }

    void wrongPasswordOrDamagedSnapshotLeavesTheLibraryOpen_data() {
        QTest::addColumn<QString>("trouble");
        QTest::newRow("wrong password") << "password";
        QTest::newRow("damaged snapshot") << "damaged";
    }
    void wrongPasswordOrDamagedSnapshotLeavesTheLibraryOpen() {
        QFETCH(QString, trouble);
        TAppFixture f;
        const QString file =
            f.MakeLibrary(QStringLiteral("库"), {{QStringLiteral("稿"), QStringLiteral("字")}}, QStringLiteral("旧"));
        f.dialogs.QueuePassword(QStringLiteral("旧"));
        QVERIFY(f.Commands().Library().OpenLibrary(file));
        f.Context().Backups().Tick();
        const QString snapshot = Snapshots(f, file).first();
        if (trouble == "password") {
            QVERIFY(f.Data().ChangePassword(QStringLiteral("新"), true));
            f.dialogs.QueuePassword(QStringLiteral("错"));
        } else {
            QFile cut(snapshot);
            QVERIFY(cut.resize(cut.size() / 2));
        }
        RestoreAnswer answer;
        f.dialogs.QueueDialog(answer.Handler());
        f.Trigger("munDocRestore");
        QVERIFY(f.Data().Opened());
        if (trouble == "password") {
            QCOMPARE(f.dialogs.Messages().size(), size_t(1));
            QCOMPARE(f.dialogs.Messages().at(0).text, QString("密码错误，无法打开这个备份！"));
        } else {
            // Shown as damaged, not selectable, and the dialog cannot restore it.
            QCOMPARE(answer.rows, QStringList({"?/?/已损坏"}));
            QCOMPARE(answer.selectable, QList<bool>({false}));
            QVERIFY(!answer.okEnabled);
        }
        QCOMPARE(Snapshots(f, file).size(), 1);  // nothing was closed or replaced
    }

    void noSnapshotsYetIsSaid() {
        TAppFixture f;
        f.OpenSeededLibrary({});
        f.Trigger("munDocRestore");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList({"这个稿件库还没有备份。"}));
    }

    void optionsTabStoresTheSettingsAndAppliesThemAtOnce() {
        TAppFixture f;
        const QString folder = f.Path("备份到这里");
        TBackupSettings shown;
        f.dialogs.QueueDialog([&](QDialog& d) {
            shown = {
                d.findChild<QCheckBox*>("chkAutoBackup")->isChecked(),
                d.findChild<QSpinBox*>("spinBackupTime")->value(), d.findChild<QLineEdit*>("editBackupPath")->text(),
                d.findChild<QSpinBox*>("spinBackupKeep")->value(), d.findChild<QSpinBox*>("spinBackupDays")->value()};
            d.findChild<QSpinBox*>("spinBackupTime")->setValue(5);
            d.findChild<QSpinBox*>("spinBackupKeep")->setValue(3);
            d.findChild<QSpinBox*>("spinBackupDays")->setValue(0);
            TScriptedDialogs::SetText(d, "editBackupPath", folder);
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munToolOption");
        // What a first run shows.
        QCOMPARE(shown, (TBackupSettings{true, 30, AppPath() + "Backups/", 10, 7}));
        const TBackupSettings stored = ReadBackupSettings(f.Context().RegConfig());
        QCOMPARE(stored, (TBackupSettings{true, 5, folder, 3, 0}));
        QCOMPARE(f.Context().Backups().Timer().interval(), 5 * 60 * 1000);
        const QString file = f.OpenSeededLibrary({});
        f.Context().Backups().Tick();
        QVERIFY(Snapshots(f, file).first().startsWith(folder + "/"));
    }
};

QTEST_MAIN(TestBackupCommands)
#include "tst_backup_commands.moc"
