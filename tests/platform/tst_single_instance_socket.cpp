// The running instance's side of a hand-over: a name arrives from the event
// loop, never from inside the socket's own signal, so a receiver may open a
// modal prompt (a nested event loop) while the sender disconnects.
#include "platform/SingleInstance.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

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
};

QTEST_MAIN(TestSingleInstanceSocket)
#include "tst_single_instance_socket.moc"
