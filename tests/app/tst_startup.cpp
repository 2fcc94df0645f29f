// Start-up and shutdown run in-process: the joined command line, the
// extension rules, names handed over and dropped files, the skin rule, and
// what closing writes to Config.ini, including damaged input files.
#include "app/OpenRules.h"
#include "app/TAppContext.h"
#include "app/TQuilloraApp.h"
#include "app/TStatusPanels.h"
#include "app/TfrmMain.h"
#include "app/commands/TMainCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/AppPaths.h"
#include "platform/SingleInstance.h"
#include "settings/IniConfig.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The window of the application the running test started.
TfrmMain* frmMain = nullptr;

// Runs the start-up sequence and the first show, as the process would.
std::unique_ptr<TQuilloraApp> StartApp(const QStringList& params = {}) {
    auto app = std::make_unique<TQuilloraApp>(QStringList{"quillora"} + params);
    app->Startup();
    frmMain = app->MainWindow();
    app->MainWindow()->show();
    QTest::qWait(20);  // the first-show work runs right after the show
    return app;
}

QString PanelText(int index) { return frmMain->StatusPanels()->PanelText(index); }

// Where a first start puts the window: 4/5 of the screen's free area, centred.
QRect FirstStartBounds() {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QRect bounds(QPoint(), available.size() * 4 / 5);
    bounds.moveCenter(available.center());
    return bounds;
}

// The window's place (its frame's corner) and its size.
QRect FirstStartPlace() { return QRect(frmMain->frameGeometry().topLeft(), frmMain->size()); }

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // Each test starts without Config.ini.
        QFile::remove(AppPath() + "Config.ini");
    }

    void joinedParameters_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("joined");
        QTest::newRow("none") << QStringList{"quillora"} << "";
        QTest::newRow("one") << QStringList{"quillora", "/a/b.txt"} << "/a/b.txt";
        QTest::newRow("path with a blank, unquoted")
            << QStringList{"quillora", "/home/u/My", "Books/a.txt"} << "/home/u/My Books/a.txt";
        QTest::newRow("quoted blanks kept") << QStringList{"quillora", "/x/a  b.txt"} << "/x/a  b.txt";
        QTest::newRow("trailing blanks and controls")
            << QStringList{"quillora", "/x/a.txt", " ", "\t\r\n"} << "/x/a.txt";
    }
    void joinedParameters() {
        QFETCH(QStringList, args);
        QFETCH(QString, joined);
        QCOMPARE(JoinParams(args), joined);
    }

    void extensionRules_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("text");
        QTest::addColumn<bool>("library");
        QTest::newRow("txt") << "/d/a.txt" << true << false;
        QTest::newRow("qdb") << "/d/books.qdb" << false << true;
        QTest::newRow("upper case is ignored") << "/d/NOTES.TXT" << false << false;
        QTest::newRow("substring of the extension") << "/d/a.txt2" << true << false;
        QTest::newRow("last dot counts") << "/d/a.qdb.txt" << true << false;
        QTest::newRow("dot in a folder only") << "/d/x.txt/readme" << false << false;
        QTest::newRow("no extension") << "/d/readme" << false << false;
    }
    void extensionRules() {
        QFETCH(QString, path);
        QFETCH(bool, text);
        QFETCH(bool, library);
        QCOMPARE(IsTextFileName(path), text);
        QCOMPARE(IsLibraryFileName(path), library);
    }

    void storedStyleOutsideRangeGivesStyleZero_data() {
        QTest::addColumn<QByteArray>("skinSection");
        QTest::addColumn<int>("style");
        QTest::newRow("no Config.ini") << QByteArray() << 2;
        QTest::newRow("9") << QByteArray("[Skin]\r\ng_Style=9\r\n") << 0;
        QTest::newRow("-1") << QByteArray("[Skin]\r\ng_Style=-1\r\n") << 0;
        QTest::newRow("3") << QByteArray("[Skin]\r\ng_Style=3\r\n") << 3;
        QTest::newRow("not a number") << QByteArray("[Skin]\r\ng_Style=abc\r\n") << 2;
    }
    void storedStyleOutsideRangeGivesStyleZero() {
        QFETCH(QByteArray, skinSection);
        QFETCH(int, style);
        if (!skinSection.isEmpty())
            WriteFile(AppPath() + "Config.ini", skinSection);
        auto app = StartApp();
        QCOMPARE(frmMain->SkinStyle(), style);
    }

    void startupStateWithoutLibrary() {
        auto app = StartApp();
        QVERIFY(app->Context() != nullptr);
        QVERIFY(!app->Context()->DocData().Opened());
        QCOMPARE(frmMain->windowTitle(), QString("QuilloraVer1.3"));
        QCOMPARE(PanelText(1), QString("稿件：新建稿件"));
        QCOMPARE(PanelText(5), QString("状态：新建"));
        QCOMPARE(frmMain->StatusPanels()->PanelWidth(0), 0);
        QVERIFY(app->Commands()->Manuscripts().CurrentFile().isEmpty());
        // First run: auto-save on every 5 minutes.
        QVERIFY(frmMain->AutoSaveTimer()->isActive());
        QCOMPARE(frmMain->AutoSaveTimer()->interval(), 300000);
        QVERIFY(!frmMain->Editor()->IsModified());
    }

    // The command line opens a ".txt" file; "NOTES.TXT" is ignored.
    void commandLineFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opened");
        QTest::newRow("lower-case txt") << "notes.txt" << true;
        QTest::newRow("upper-case TXT") << "NOTES.TXT" << false;
        QTest::newRow("other type") << "notes.doc" << false;
    }
    void commandLineFile() {
        QFETCH(QString, name);
        QFETCH(bool, opened);
        const QString path = AppPath() + name;
        WriteFile(path, "命令行里的文件");
        auto app = StartApp({path});
        QCOMPARE(frmMain->Editor()->GetText() == QString("命令行里的文件"), opened);
        QCOMPARE(PanelText(1), opened ? "稿件：" + path : QString("稿件：新建稿件"));
    }

    // A handed-over name is opened only when the file exists.
    void handedOverNames() {
        auto app = StartApp();
        const QString path = AppPath() + "handed.txt";
        frmMain->PassParams(path);  // does not exist yet
        QCOMPARE(PanelText(1), QString("稿件：新建稿件"));
        WriteFile(path, "交来的文件");
        frmMain->PassParams(path);
        QCOMPARE(frmMain->Editor()->GetText(), QString("交来的文件"));
        QCOMPARE(PanelText(1), "稿件：" + path);

        // Names longer than the 254 characters a window-message atom held
        // arrive whole (nothing is cut, so the file is found).
        const QString deep =
            AppPath() + QString(60, 'd') + "/" + QString(60, 'e') + "/" + QString(60, 'f') + "/" + QString(60, 'g');
        QVERIFY(QDir().mkpath(deep));
        const QString longPath = deep + "/长文件名.txt";
        QVERIFY(longPath.size() > 254);
        WriteFile(longPath, "很长的路径");
        frmMain->PassParams(longPath);
        QCOMPARE(frmMain->Editor()->GetText(), QString("很长的路径"));
    }

    // A name handed over while the first instance is still starting (splash)
    // is kept and opened once the main window is ready.
    // Qt's own dialogs and buttons speak the application's language.
    void qtDialogsAreChinese() {
        auto app = StartApp();
        QCOMPARE(QCoreApplication::translate("QFontDialog", "Select Font"), QString("选择字体"));
    }

    // A second start without a name brings a minimised window back.
    void secondStartRestoresAMinimisedWindow() {
        auto app = StartApp();
        frmMain->showMinimized();
        QTRY_VERIFY(frmMain->isMinimized());
        frmMain->PassParams(QString());
        QTRY_VERIFY(!frmMain->isMinimized());
    }

    void nameHandedOverDuringStartupIsKept() {
        qputenv("QUILLORA_INSTANCE_NAME",
                "QuilloraStartupTest-" + QByteArray::number(QCoreApplication::applicationPid()));
        const QString path = AppPath() + "early.txt";
        WriteFile(path, "启动时交来的");
        TQuilloraApp app(QStringList{"quillora"});
        QCOMPARE(app.ClaimInstance(), TQuilloraApp::Entry::FirstInstance);
        QVERIFY(TSingleInstance::SendToRunning(path));
        QCoreApplication::processEvents();  // arrives before the window exists
        app.Startup();
        frmMain = app.MainWindow();
        app.MainWindow()->show();
        QTRY_COMPARE(frmMain->Editor()->GetText(), QString("启动时交来的"));
        qunsetenv("QUILLORA_INSTANCE_NAME");
    }

    // Only the first of several dropped files counts; an unknown type is
    // refused with a message.
    void droppedFiles() {
        auto app = StartApp();
        TScriptedDialogs dialogs;
        const QString first = AppPath() + "first.txt";
        const QString second = AppPath() + "second.txt";
        WriteFile(first, "第一个");
        WriteFile(second, "第二个");

        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(AppPath() + "third.txt")});
        // As a real drag does: enter (which makes the window the target), then drop.
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frmMain, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frmMain, &drop);
        QCOMPARE(frmMain->Editor()->GetText(), QString("第一个"));
        QVERIFY(dialogs.Messages().empty());

        frmMain->DropFiles({AppPath() + "picture.png", first});
        QCOMPARE(dialogs.Messages().size(), size_t(1));
        const TShownMessage& message = dialogs.Messages().at(0);
        QCOMPARE(message.text, QString("文件不为可接受格式!"));
        QCOMPARE(message.caption, QString("打开"));
        QCOMPARE(message.icon, 1);
        QCOMPARE(message.buttons, 1);
    }

    // Closing stores layout and skin in Config.ini; the next start reads them.
    void closingWritesConfigAndNextStartRestoresIt() {
        {
            auto app = StartApp();
            TScriptedDialogs dialogs;
            frmMain->resize(700, 500);
            frmMain->move(120, 80);
            frmMain->Action("munMacOS")->trigger();
            QCOMPARE(frmMain->SkinStyle(), 1);
            frmMain->close();
            QVERIFY(dialogs.Messages().empty());  // unmodified text: nothing asked
        }
        const QSettings ini(AppPath() + "Config.ini", QSettings::IniFormat);
        QCOMPARE(ini.value("Skin/g_Style").toInt(), 1);
        QCOMPARE(ini.value("Config/Width").toInt(), 700);
        QCOMPARE(ini.value("Config/Height").toInt(), 500);
        const QByteArray raw = ReadFile(AppPath() + "Config.ini");
        QVERIFY(raw.contains("SpDoc=") && raw.contains("SpPic=") && raw.contains("SPFile="));
        QVERIFY(raw.contains("ChanelWidth="));

        auto app = StartApp();
        QCOMPARE(frmMain->SkinStyle(), 1);
        QCOMPARE(frmMain->size(), QSize(700, 500));
        QCOMPARE(frmMain->pos(), QPoint(120, 80));
    }

    void closingWithModifiedTextAsksToSave() {
        auto app = StartApp();
        TScriptedDialogs dialogs;
        dialogs.QueueMessageAnswer(2);
        frmMain->Editor()->InsertText("改过的内容");
        QVERIFY(frmMain->Editor()->IsModified());
        frmMain->close();
        QCOMPARE(dialogs.Messages().size(), size_t(1));
        QCOMPARE(dialogs.Messages().at(0).text, QString("稿件的内容已经更改，是否保存？"));
        QCOMPARE(dialogs.Messages().at(0).caption, QString("退出"));
        QCOMPARE(dialogs.Messages().at(0).buttons, 3);
        QVERIFY(QFile::exists(AppPath() + "Config.ini"));
    }

    // Damaged input files give the defaults; nothing crashes.
    void damagedConfigIniGivesDefaults() {
        WriteFile(AppPath() + "Config.ini",
                  QByteArray("\x00\xff[Config\r\nWidth=abc\r\nTop==\r\n[Skin]g_Style\r\n\x01\x02", 42));
        auto app = StartApp();
        QCOMPARE(FirstStartPlace(), FirstStartBounds());  // sizes that are no numbers: none stored
        QCOMPARE(frmMain->SkinStyle(), 2);
        frmMain->close();
    }

    // Without a stored size the window takes about 80 % of the screen,
    // centred; a window narrower than the status bar's panels shrinks them,
    // and none runs past its edge.
    void firstStartFillsMostOfTheScreenAndPanelsFit() {
        auto app = StartApp();
        QCOMPARE(FirstStartPlace(), FirstStartBounds());
        frmMain->resize(500, 400);
        QTRY_COMPARE(frmMain->statusBar()->width(), frmMain->width());
        for (int i = 0; i < TStatusPanels::kPanelCount; ++i) {
            const QWidget* panel = frmMain->StatusPanels()->Panel(i);
            if (!panel->isVisible())
                continue;
            QVERIFY2(panel->geometry().right() < frmMain->statusBar()->width(), qPrintable(QString::number(i)));
            QVERIFY(panel->width() > 0);
        }
        frmMain->close();
    }

    void damagedRegistryStoreGivesDefaults() {
        WriteFile(RegistryStoreFolder() + "registry.ini", QByteArray(300, '\xfe') + "\n[\\SoftWare\n=\n");
        auto app = StartApp();
        QVERIFY(frmMain->AutoSaveTimer()->isActive());
        QCOMPARE(frmMain->AutoSaveTimer()->interval(), 300000);
        frmMain->close();
        QFile::remove(RegistryStoreFolder() + "registry.ini");
    }

    // A layout that would put the window on no screen or make it unusably
    // small is corrected.
    void unreachableLayoutIsCorrected() {
        WriteFile(AppPath() + "Config.ini", "[Config]\r\nTop=-90000\r\nLeft=-90000\r\nWidth=5\r\nHeight=-3\r\n");
        auto app = StartApp();
        QVERIFY(frmMain->width() >= 130);
        QVERIFY(frmMain->height() >= 100);
        QCOMPARE(frmMain->pos(), QPoint(300, 200));
    }

    void unusableAppPathStillStarts() {
        TTempHome home;
        const QString notAFolder = home.Path() + "file";
        WriteFile(notAFolder, "x");
        qputenv("QUILLORA_HOME", QFile::encodeName(notAFolder));
        ResetAppPathsForTesting();
        QVERIFY(!AppPath().isEmpty());
        auto app = StartApp();
        frmMain->close();
        QVERIFY(QFile::exists(AppPath() + "Config.ini"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
