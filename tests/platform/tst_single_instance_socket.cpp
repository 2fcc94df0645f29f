// The running instance's side of a hand-over: a name arrives from the event
// loop, never from inside the socket's own signal, so a receiver may open a
// modal prompt (a nested event loop) while the sender disconnects.
#include "platform/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstring>
#include <memory>

namespace {

// A raw client on the running instance's socket (in the temporary folder),
// as a stray program could be: it sends bytes and goes.
void SendRaw(const QByteArray& bytes) {
    const QByteArray path = QFile::encodeName(QDir::tempPath() + "/" + TSingleInstance::ServerName());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    QCOMPARE(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
}

}  // namespace

class TestSingleInstanceSocket : public QObject {
    Q_OBJECT

private slots:
    void init() {
        qputenv("QUILLORA_INSTANCE_NAME",
                "QuilloraSocketTest-" + QByteArray::number(QCoreApplication::applicationPid()));
    }

    void receiverMayRunANestedLoopWhileTheSenderGoes() {
        TSingleInstance running;
        QVERIFY(running.Listen());
        QStringList received;
        connect(&running, &TSingleInstance::paramsReceived, this, [&](const QString& params) {
            received << params;
            // What a save prompt does: run a nested loop until answered. The
            // sender's disconnect is delivered in it.
            QEventLoop prompt;
            QTimer::singleShot(300, &prompt, &QEventLoop::quit);
            prompt.exec();
        });
        for (const QString& name : {QStringLiteral("/稿件/一.txt"), QStringLiteral("/稿件/二.txt")})
            QVERIFY(TSingleInstance::SendToRunning(name));
        QTRY_COMPARE(received, (QStringList{"/稿件/一.txt", "/稿件/二.txt"}));
        QTest::qWait(400);  // both prompts finished; the sockets are gone, the instance lives
        QVERIFY(running.IsListening());
    }

    // What is not a whole message of a sane length is dropped; the instance
    // goes on taking hand-overs.
    void strayClientsAreDropped_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("length claim too long") << QByteArray(
            "\xff\xff\xff\xff"
            "abc",
            7);
        QTest::newRow("message cut short") << QByteArray(
            "\x00\x00\x00\x09"
            "abc",
            7);
        QTest::newRow("half a header") << QByteArray("\x00\x00", 2);
        QTest::newRow("nothing") << QByteArray();
    }
    void strayClientsAreDropped() {
        QFETCH(QByteArray, bytes);
        TSingleInstance running;
        QVERIFY(running.Listen());
        QStringList received;
        connect(&running, &TSingleInstance::paramsReceived, this, [&](const QString& params) { received << params; });
        SendRaw(bytes);
        QVERIFY(TSingleInstance::SendToRunning(QStringLiteral("/稿件/三.txt")));
        QTRY_COMPARE(received, QStringList{"/稿件/三.txt"});
        QVERIFY(running.IsListening());
    }

    // A second instance is refused while the first listens; once it has
    // gone, its socket file is gone too and the name is free.
    void oneListenerAtATime() {
        auto first = std::make_unique<TSingleInstance>();
        QVERIFY(first->Listen());
        TSingleInstance second;
        QVERIFY(!second.Listen());
        first.reset();
        QVERIFY(!TSingleInstance::SendToRunning(QStringLiteral("x"), 500));
        QVERIFY(second.Listen());
    }
};

QTEST_MAIN(TestSingleInstanceSocket)
#include "tst_single_instance_socket.moc"
