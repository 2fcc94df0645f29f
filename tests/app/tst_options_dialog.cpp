// The options dialog as the 首选项 command runs it: what it shows from the
// stored preferences, what "确定" and "取消" store, the two boxes that
// register at once, and the auto-save interval after a restart.
#include "app/OptionsCommand.h"
#include "app/TQuilloraApp.h"
#include "app/TfrmMain.h"
#include "app/dialogs/TfrmOption.h"
#include "platform/AppPaths.h"
#include "settings/DesktopIntegration.h"
#include "settings/OptionValues.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

using Handler = TScriptedDialogs::DialogHandler;

bool ClassesKey(const QString& key) { return TRegistry(TRegRoot::HKEY_CLASSES_ROOT).KeyExists(key); }

void WriteConfig(const QString& name, const QVariant& value) {
    TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
    QVERIFY(reg.OpenKey(TqlvRegConfig::kConfigKey, true));
    if (value.typeId() == QMetaType::Bool)
        reg.WriteBool(name, value.toBool());
    else
        reg.WriteString(name, value.toString());
}

// Runs the command once; `look` sees the dialog as opened, `act` drives it
// and returns the button to press.
bool RunOnce(TqlvRegConfig& config, std::function<void(TfrmOption&)> look,
             std::function<const char*(TfrmOption&)> act) {
    TScriptedDialogs dialogs;
    dialogs.QueueDialog([&](QDialog& d) {
        auto& option = static_cast<TfrmOption&>(d);
        if (look)
            look(option);
        return TScriptedDialogs::Click(d, act ? act(option) : "btnOK");
    });
    return RunOptionsDialog(dialogs, config, nullptr);
}

}  // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // A fresh store for each test.
        QFile::remove(RegistryStoreFile());
        TDesktopIntegration desktop;
        for (const QString& file : desktop.AllFiles())
            QFile::remove(file);
    }

    void opensOnTheFirstTabWithTheStoredPaths_data() {
        QTest::addColumn<bool>("pathKey");
        QTest::addColumn<QString>("expectedPic");
        QTest::newRow("no Path key: the application folder") << false << AppPath();
        QTest::newRow("Path key without ExPic: empty") << true << QString();
    }
    void opensOnTheFirstTabWithTheStoredPaths() {
        QFETCH(bool, pathKey);
        QFETCH(QString, expectedPic);
        TqlvRegConfig config;
        if (pathKey) {
            TRegistry raw(TRegRoot::HKEY_LOCAL_MACHINE);
            QVERIFY(raw.OpenKey(TqlvRegConfig::kPathKey, true));
            raw.WriteString("ExDoc", "/书");
        }
        RunOnce(
            config,
            [&](TfrmOption& d) {
                QCOMPARE(d.pageOption->currentIndex(), 0);
                QCOMPARE(d.editExportPic->text(), expectedPic);
                QCOMPARE(d.editExportDoc->text(), pathKey ? QString("/书") : AppPath());
                if (!pathKey) {
                    QCOMPARE(d.editExportFile->text(), AppPath());
                    QCOMPARE(d.editSkin->text(), AppPath());
                    QVERIFY(AppPath().endsWith('/'));
                }
            },
            nullptr);
    }

    void portShowsTwentyFiveUntilOneIsStored_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no MailConfig key") << QString() << "25";
        QTest::newRow("empty Port") << ""
                                    << "25";
        QTest::newRow("stored 587") << "587"
                                    << "587";
    }
    void portShowsTwentyFiveUntilOneIsStored() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        TqlvRegConfig config;
        if (!stored.isNull())
            config.WriteMailConfig({"a@b.c", "甲", "smtp.b.c", stored, "a"});
        QVERIFY(RunOnce(
            config, [&](TfrmOption& d) { QCOMPARE(d.editPort->text(), shown); }, nullptr));
        QCOMPARE(config.ReadMailConfig().Port, shown);
    }

    // chkQDB and chkPop act when clicked, whatever button ends the dialog.
    void associationBoxesActAtOnce_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("storedOn");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("key");
        const QString qdb = "\\QDBFile\\Shell\\Open\\Command";
        const QString verb = "\\txtFile\\Shell\\Quillora(&A)\\Command";
        QTest::newRow("tick qdb, OK") << "chkQDB" << false << true << "btnOK" << qdb;
        QTest::newRow("tick qdb, cancel") << "chkQDB" << false << true << "btnCancel" << qdb;
        QTest::newRow("untick qdb, OK") << "chkQDB" << true << false << "btnOK" << qdb;
        QTest::newRow("untick qdb, cancel") << "chkQDB" << true << false << "btnCancel" << qdb;
        QTest::newRow("tick verb, cancel") << "chkPop" << false << true << "btnCancel" << verb;
        QTest::newRow("untick verb, OK") << "chkPop" << true << false << "btnOK" << verb;
    }
    void associationBoxesActAtOnce() {
        QFETCH(QString, box);
        QFETCH(bool, storedOn);
        QFETCH(bool, tick);
        QFETCH(QString, button);
        QFETCH(QString, key);
        const char* flag = box == "chkQDB" ? "assQDB" : "assPop";
        TqlvRegConfig config;
        if (storedOn)
            WriteConfig(flag, true);
        const QByteArray boxName = box.toLatin1(), buttonName = button.toLatin1();
        bool keyOnOpening = false, keyAfterClick = false;
        RunOnce(config, nullptr, [&](TfrmOption& d) {
            keyOnOpening = ClassesKey(key);
            TScriptedDialogs::SetChecked(d, boxName.constData(), tick);
            keyAfterClick = ClassesKey(key);
            return buttonName.constData();
        });
        // Opening with the flag set writes the keys again; a click acts at
        // once, before any button, and stays.
        QCOMPARE(keyOnOpening, storedOn);
        QCOMPARE(keyAfterClick, tick);
        QCOMPARE(ClassesKey(key), tick);
        const bool ok = button == "btnOK";
        QCOMPARE(ReadOptions(config).assQDB || ReadOptions(config).assPop, ok ? tick : storedOn);
    }

    void cancelWritesNothing() {
        TqlvRegConfig config;
        const QByteArray before = [] {
            QFile f(RegistryStoreFile());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(!RunOnce(config, nullptr, [](TfrmOption& d) {
            TScriptedDialogs::SetCurrentText(d, "comboxFontSize", "48");
            TScriptedDialogs::SetText(d, "editSever", "smtp.changed");
            return "btnCancel";
        }));
        QCOMPARE(ReadOptions(config).FontSize, TqlvRegConfig::DefaultEditorStatus().FontSize);
        QCOMPARE(config.ReadMailConfig().Server, QString());
    }

    // A stored value missing from a pick-only list leaves the box empty, and
    // "确定" keeps the stored value instead of blanking it.
    void valuesMissingFromTheListsAreKept_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("stored");
        QTest::newRow("SaveTime 4") << "SaveTime"
                                    << "comboxAutoSave"
                                    << "4";
        QTest::newRow("FontSize 13") << "FontSize"
                                     << "comboxFontSize"
                                     << "13";
        QTest::newRow("IMEName of another machine") << "IMEName"
                                                    << "comboxIME"
                                                    << "某输入法";
        QTest::newRow("FontName not installed") << "FontName"
                                                << "comboxFontName"
                                                << "没有这种字体";
    }
    void valuesMissingFromTheListsAreKept() {
        QFETCH(QString, name);
        QFETCH(QString, box);
        QFETCH(QString, stored);
        WriteConfig(name, stored);
        TqlvRegConfig config;
        const QByteArray boxName = box.toLatin1();
        QVERIFY(RunOnce(
            config,
            [&](TfrmOption& d) {
                auto* combo = d.findChild<QComboBox*>(boxName);
                QVERIFY(combo && !combo->isEditable());
                QCOMPARE(combo->currentIndex(), -1);
            },
            nullptr));
        TRegistry reg(TRegRoot::HKEY_LOCAL_MACHINE);
        QVERIFY(reg.OpenKey(TqlvRegConfig::kConfigKey, false));
        QCOMPARE(reg.ReadString(name), stored);
    }

    void colourAndFolderChoices() {
        TqlvRegConfig config;
        TScriptedDialogs dialogs;
        dialogs.QueueColor(QColor(0x10, 0x20, 0x30));
        dialogs.QueueFolderName("/书/导出");
        dialogs.QueueFolderName(QString());  // cancelled: the box keeps its text
        dialogs.QueueDialog([](QDialog& d) {
            TScriptedDialogs::Click(d, "btnEditorColor");
            TScriptedDialogs::Click(d, "btnExportDoc");
            TScriptedDialogs::Click(d, "btnSkin");
            return TScriptedDialogs::Click(d, "btnOK");
        });
        QVERIFY(RunOptionsDialog(dialogs, config, nullptr));
        const TOptionValues values = ReadOptions(config);
        QCOMPARE(values.EditorColor, 0x00302010);
        QCOMPARE(values.ExDoc, QString("/书/导出"));
        QCOMPARE(values.Skin, AppPath());
        QCOMPARE(dialogs.Requests().at(1).caption, QString("请选择一个文件夹"));
    }

    void everyControlHasAnAccessibleName() {
        TScriptedDialogs dialogs;
        TfrmOption dialog(dialogs, {"ibus"}, {"Sans"});
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            const bool interactive = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                                     qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w);
            // The edit inside a combo or spin box is part of that box.
            if (!interactive || w->objectName().isEmpty() || qobject_cast<QComboBox*>(w->parentWidget()) ||
                qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
                continue;
            bool named = !w->accessibleName().isEmpty();
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                named = named || !button->text().isEmpty();
            for (QLabel* label : dialog.findChildren<QLabel*>())
                named = named || label->buddy() == w;
            QVERIFY2(named, qPrintable(w->objectName()));
        }
    }

    // 工具 ▸ 首选项 in the window; a new interval reaches the timer at the next start.
    void saveTimeThirteenGivesAutoSaveEvery780000msAfterARestart() {
        {
            TQuilloraApp app(QStringList{"quillora"});
            app.Startup();
            TScriptedDialogs dialogs;
            dialogs.QueueDialog([](QDialog& d) {
                TScriptedDialogs::SetChecked(d, "chkAutoSave", true);
                TScriptedDialogs::SetCurrentText(d, "comboxAutoSave", "13");
                return TScriptedDialogs::Click(d, "btnOK");
            });
            app.MainWindow()->Action("munToolOption")->trigger();
            QCOMPARE(dialogs.PendingAnswers(), 0);
            QCOMPARE(app.MainWindow()->AutoSaveTimer()->interval(), 300000);  // until the restart
        }
        TQuilloraApp app(QStringList{"quillora"});
        app.Startup();
        QVERIFY(app.MainWindow()->AutoSaveTimer()->isActive());
        QCOMPARE(app.MainWindow()->AutoSaveTimer()->interval(), 780000);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_options_dialog.moc"
