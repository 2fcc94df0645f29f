// The 帮助 menu: the help page found beside the program or a clear message,
// the addresses handed to the desktop, and the about window.
#include "app/HelpLinks.h"
#include "app/TQuilloraApp.h"
#include "app/TfrmMain.h"
#include "app/dialogs/TfrmAbout.h"
#include "platform/AppPaths.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrlQuery>

// Receives what QDesktopServices would hand to the desktop.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestHelpMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        for (const char* scheme : {"file", "https", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_recorder, "open");
        m_app = std::make_unique<TQuilloraApp>(QStringList{"quillora"});
        m_app->Startup();
    }
    void cleanupTestCase() {
        m_app.reset();
        for (const char* scheme : {"file", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    void init() {
        m_recorder.urls.clear();
        QFile::remove(AppPath() + QString::fromUtf8(kHelpFileName));
    }

    void helpPageIsTheFirstFolderHoldingIt() {
        QTemporaryDir a, b;
        QFile page(b.filePath(QString::fromUtf8(kHelpFileName)));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QCOMPARE(FindHelpFile({a.path(), b.path() + '/'}), page.fileName());
        QCOMPARE(FindHelpFile({a.path()}), QString());
        QVERIFY(QDir(a.path()).mkdir(QString::fromUtf8(kHelpFileName)));  // a folder of that name is no page
        QCOMPARE(FindHelpFile({a.path()}), QString());
    }

    void f1OpensThePageOrSaysItIsMissing() {
        QCOMPARE(m_app->MainWindow()->Action("munHelpTopic")->shortcut(), QKeySequence(Qt::Key_F1));
        TScriptedDialogs dialogs;
        const bool shipped = !FindHelpFile(HelpFolders()).isEmpty();
        m_app->MainWindow()->Action("munHelpTopic")->trigger();
        if (!shipped) {
            QCOMPARE(m_recorder.urls.size(), 0);
            QCOMPARE(dialogs.Messages().size(), size_t(1));
            QVERIFY(dialogs.Messages().at(0).text.contains(QString::fromUtf8(kHelpFileName)));
        }
        // A page in the application folder is opened as a local file.
        m_recorder.urls.clear();
        QFile page(AppPath() + QString::fromUtf8(kHelpFileName));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        m_app->MainWindow()->Action("munHelpTopic")->trigger();
        QCOMPARE(m_recorder.urls, QList<QUrl>{QUrl::fromLocalFile(page.fileName())});
        m_recorder.urls.clear();
        m_app->MainWindow()->ToolButton("tbHelp")->click();  // the tool button does the same
        QCOMPARE(m_recorder.urls, QList<QUrl>{QUrl::fromLocalFile(page.fileName())});
    }

    void addressesGoToTheDesktop_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("scheme");
        QTest::newRow("home page") << "munHelpHome"
                                   << "https";
        QTest::newRow("home page button") << "tbHome"
                                          << "https";
        QTest::newRow("guest book") << "munHelpBBS"
                                    << "https";
        QTest::newRow("error report") << "munHelpWrong"
                                      << "mailto";
    }
    void addressesGoToTheDesktop() {
        QFETCH(QString, action);
        QFETCH(QString, scheme);
        if (QToolButton* button = m_app->MainWindow()->ToolButton(action))
            button->click();
        else
            m_app->MainWindow()->Action(action)->trigger();
        QCOMPARE(m_recorder.urls.size(), 1);
        QCOMPARE(m_recorder.urls.at(0).scheme(), scheme);
    }

    void errorReportCarriesSubjectAndBody() {
        const QUrl url = ErrorReportUrl();
        QVERIFY(url.isValid());
        // A mail program reads the percent-encoded form.
        const QUrlQuery query(QUrl::fromEncoded(url.toEncoded()));
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), QString("QuilloraVer1.2 Plus错误反馈"));
        QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded), QString("1.用户名称;2.使用的操作系统;3.错误报告;"));
    }

    void aboutShowsTheIconAndClosesOnAClick_data() {
        QTest::addColumn<bool>("onPicture");
        QTest::newRow("click on the picture") << true;
        QTest::newRow("click on the window") << false;
    }
    void aboutShowsTheIconAndClosesOnAClick() {
        QFETCH(bool, onPicture);
        m_app->MainWindow()->Action("munHelpAbout")->trigger();
        QPointer<TfrmAbout> about = m_app->MainWindow()->findChild<TfrmAbout*>();
        QVERIFY(about && about->isVisible() && !about->isModal());
        QCOMPARE(about->lblVersion->text(), QString("Quillora  版本：1.3.0"));
        QVERIFY(!about->imgLogo->pixmap().isNull());
        QWidget* target = onPicture ? static_cast<QWidget*>(about->imgLogo) : about.data();
        QTest::mouseClick(target, Qt::LeftButton, {}, onPicture ? QPoint(2, 2) : QPoint(1, 1));
        QTRY_VERIFY(about.isNull());  // closed and deleted
    }

private:
    TUrlRecorder m_recorder;
    std::unique_ptr<TQuilloraApp> m_app;
};

QTEST_MAIN(TestHelpMenu)
#include "tst_help_menu.moc"
