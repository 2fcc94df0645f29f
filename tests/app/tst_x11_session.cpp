// The real executable under a real X server (Xvfb): the window titled
// "QuilloraVer1.3" appears, F12 hides it, the global Ctrl+F12 brings it back
// from wherever the focus is, and SIGTERM closes it like 退出, writing
// Config.ini. Skipped where Xvfb or xdotool is not installed.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestX11Session : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_display;
    QProcess m_xvfb;
    QProcess m_app;

    static QString FreeDisplay() {
        for (int n = 91; n < 160; ++n)
            if (!QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)) &&
                !QFile::exists(QString("/tmp/.X%1-lock").arg(n)))
                return QString(":%1").arg(n);
        return {};
    }

    QString VisibleWindows() {
        QProcess search;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        search.setProcessEnvironment(env);
        search.start("xdotool", {"search", "--onlyvisible", "--name", "^QuilloraVer1.3$"});
        search.waitForFinished(20000);
        return QString::fromUtf8(search.readAllStandardOutput()).trimmed();
    }

    bool Xdotool(const QStringList& args) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        tool.setProcessEnvironment(env);
        tool.start("xdotool", args);
        return tool.waitForFinished(20000) && tool.exitCode() == 0;
    }

    // Polls until the visible-window search gives a result or none; gives
    // up at once when the application has ended, so a crash at start-up is
    // reported as one rather than as a minute of waiting.
    bool WaitVisible(bool visible, int timeoutMs = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (m_app.state() == QProcess::NotRunning)
                return false;
            if (VisibleWindows().isEmpty() != visible)
                return true;
            QTest::qWait(200);
        }
        return false;
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("Xvfb or xdotool is not installed");
        m_display = FreeDisplay();
        QVERIFY(!m_display.isEmpty());
        m_xvfb.start("Xvfb", {m_display, "-screen", "0", "1024x700x24", "-nolisten", "tcp"});
        QVERIFY(m_xvfb.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists("/tmp/.X11-unix/X" + m_display.mid(1)) && clock.elapsed() < 20000)
            QTest::qWait(100);
        QVERIFY2(QFile::exists("/tmp/.X11-unix/X" + m_display.mid(1)), "Xvfb did not start");
    }

    void cleanupTestCase() {
        if (m_app.state() != QProcess::NotRunning) {
            m_app.kill();
            m_app.waitForFinished(10000);
        }
        if (m_xvfb.state() != QProcess::NotRunning) {
            m_xvfb.terminate();
            if (!m_xvfb.waitForFinished(10000))
                m_xvfb.kill();
        }
    }

    void windowHotKeyAndClose() {
        const QString home = m_dir.path() + "/home/";
        QDir().mkpath(home);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("QUILLORA_HOME", home);
        env.insert("QUILLORA_INSTANCE_NAME", QString("QuilloraX11Test-%1").arg(QCoreApplication::applicationPid()));
        env.insert("QUILLORA_SPLASH_MS", "0");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        // No session bus: whatever bus the caller has (or one auto-launched
        // for the fresh display) cannot stall the platform theme or the
        // accessibility probe; the window must come up without one.
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_dir.path() + "/no-bus");
        m_app.setProcessEnvironment(env);
        // The application's own output (a sanitizer report above all) goes
        // to the test log.
        m_app.setProcessChannelMode(QProcess::ForwardedChannels);
        m_app.start(QStringLiteral(QUILLORA_EXECUTABLE), {});
        QVERIFY(m_app.waitForStarted());
        QVERIFY2(WaitVisible(true, 60000),
                 m_app.state() == QProcess::NotRunning
                     ? qPrintable(QString("the application ended at start-up (exit %1)").arg(m_app.exitCode()))
                     : "no window titled QuilloraVer1.3");

        const QString window = VisibleWindows().split('\n').first();
        QVERIFY(Xdotool({"windowfocus", "--sync", window}));
        QTest::qWait(300);
        QVERIFY(Xdotool({"key", "F12"}));
        QVERIFY2(WaitVisible(false), "F12 did not hide the window");
        QVERIFY(Xdotool({"key", "ctrl+F12"}));
        QVERIFY2(WaitVisible(true), "Ctrl+F12 did not bring the window back");

        QVERIFY(!QFile::exists(home + "Config.ini"));
        ::kill(pid_t(m_app.processId()), SIGTERM);
        QVERIFY(m_app.waitForFinished(30000));
        QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
        QFile config(home + "Config.ini");
        QVERIFY(config.open(QIODevice::ReadOnly));
        const QByteArray text = config.readAll();
        QVERIFY(text.contains("[Config]") && text.contains("Width=") && text.contains("g_Style=2"));
    }
};

QTEST_MAIN(TestX11Session)
#include "tst_x11_session.moc"
