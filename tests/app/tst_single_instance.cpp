// One running instance per user, across real processes: a second start hands
// its joined command line to the first and ends; a socket left behind by a
// killed instance does not block the next start.
#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSingleInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_instanceName;
    QList<QProcess*> m_started;

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLORA_HOME", m_dir.path() + "/home/");
        env.insert("QUILLORA_INSTANCE_NAME", m_instanceName);
        env.insert("QUILLORA_TRACE", "1");
        env.insert("QUILLORA_SPLASH_MS", "0");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        return env;
    }

    QProcess* Start(const QStringList& args) {
        auto* process = new QProcess(this);
        process->setProcessEnvironment(Environment());
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(QStringLiteral(QUILLORA_EXECUTABLE), args);
        m_started << process;
        return process;
    }

    // Waits until the process printed `line` (the app traces "Ready" once its
    // window is up and the socket listens).
    static bool WaitForLine(QProcess* process, const QString& line, QString* all, int timeoutMs = 60000) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            process->waitForReadyRead(200);
            *all += QString::fromUtf8(process->readAllStandardOutput());
            if (all->split('\n').contains(line))
                return true;
            if (process->state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

    static void Stop(QProcess* process) {
        if (process->state() == QProcess::NotRunning)
            return;
        process->kill();
        process->waitForFinished(10000);
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        static int counter = 0;
        m_instanceName = QStringLiteral("QuilloraTest-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        QDir().mkpath(m_dir.path() + "/home");
    }

    void cleanup() {
        for (QProcess* process : m_started)
            Stop(process);
        qDeleteAll(m_started);
        m_started.clear();
        QFile::remove(QDir::tempPath() + "/" + m_instanceName);
    }

    // The second start's file, a path with a blank given unquoted (two
    // parameters), reaches the first instance, which opens it; the second
    // process ends at once without a window of its own.
    void secondStartHandsOverItsFile() {
        const QString folder = m_dir.path() + "/My Books";
        QVERIFY(QDir().mkpath(folder));
        QFile file(folder + "/a.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("第一章\r\n");
        file.close();

        QProcess* first = Start({});
        QString firstOut;
        QVERIFY2(WaitForLine(first, "Ready", &firstOut), qPrintable(firstOut));

        const QStringList parts = file.fileName().split(' ');
        QCOMPARE(parts.size(), 2);
        QProcess* second = Start(parts);
        QVERIFY(second->waitForFinished(60000));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY2(!second->readAllStandardOutput().contains("Ready"), "the second start showed a window");

        QVERIFY2(WaitForLine(first, "OpenTextFile: " + file.fileName(), &firstOut), qPrintable(firstOut));
        QVERIFY(firstOut.contains("PassParams: " + file.fileName()));
        QCOMPARE(first->state(), QProcess::Running);
    }

    // A start without parameters only brings the first one forward.
    void secondStartWithoutParametersChangesNothing() {
        QProcess* first = Start({});
        QString firstOut;
        QVERIFY2(WaitForLine(first, "Ready", &firstOut), qPrintable(firstOut));
        QProcess* second = Start({});
        QVERIFY(second->waitForFinished(60000));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(WaitForLine(first, "PassParams: ", &firstOut));
        QVERIFY(!firstOut.contains("OpenTextFile"));
    }

    // A killed instance leaves its socket file; the next start replaces it
    // and is then the instance that later starts hand over to.
    void staleSocketDoesNotBlockTheNextStart() {
        QProcess* first = Start({});
        QString out;
        QVERIFY2(WaitForLine(first, "Ready", &out), qPrintable(out));
        first->kill();
        QVERIFY(first->waitForFinished(10000));
        QVERIFY2(QFile::exists(QDir::tempPath() + "/" + m_instanceName), "expected a stale socket file");

        QProcess* next = Start({});
        QString nextOut;
        QVERIFY2(WaitForLine(next, "Ready", &nextOut), qPrintable(nextOut));

        const QString path = m_dir.path() + "/b.txt";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QProcess* third = Start({path});
        QVERIFY(third->waitForFinished(60000));
        QCOMPARE(third->exitCode(), 0);
        QVERIFY2(WaitForLine(next, "OpenTextFile: " + path, &nextOut), qPrintable(nextOut));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
