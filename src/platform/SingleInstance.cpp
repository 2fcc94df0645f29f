#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>
#include <QtEndian>

#include <unistd.h>

namespace {

// Messages are a 4-byte big-endian length followed by UTF-8 text; longer
// claims than this are dropped so a stray client cannot make us buffer much.
constexpr quint32 kMaxMessageBytes = 64 * 1024;
constexpr char kPendingProperty[] = "quilloraPending";

bool IsStrippedTail(QChar c) { return c.unicode() <= 0x20 || c.category() == QChar::Other_Control; }

}  // namespace

QString JoinParams(const QStringList& args) {
    QString joined;
    for (int i = 1; i < args.size(); ++i) {
        joined += args.at(i);
        joined += QLatin1Char(' ');
    }
    while (!joined.isEmpty() && IsStrippedTail(joined.back()))
        joined.chop(1);
    return joined;
}

TSingleInstance::TSingleInstance(QObject* parent) : QObject(parent) {}

TSingleInstance::~TSingleInstance() {
    if (m_server)
        m_server->close();
}

QString TSingleInstance::ServerName() {
    const QString overrideName = qEnvironmentVariable("QUILLORA_INSTANCE_NAME");
    if (!overrideName.isEmpty())
        return overrideName;
    return QStringLiteral("%1-%2").arg(QLatin1String(kInstanceName)).arg(getuid());
}

bool TSingleInstance::IsListening() const { return m_server && m_server->isListening(); }

bool TSingleInstance::SomeoneListens(const QString& name) {
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool alive = probe.waitForConnected(1000);
    if (alive)
        probe.disconnectFromServer();
    return alive;
}

bool TSingleInstance::Listen() {
    if (IsListening())
        return true;
    if (!m_server) {
        m_server = new QLocalServer(this);
        // No socket options: with them Qt builds the socket elsewhere and
        // renames it into place, silently replacing a live instance's socket.
        // Without them listen() fails on an existing name, which is the test
        // this class relies on. The name carries the user id.
        connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    }
    const QString name = ServerName();
    if (m_server->listen(name))
        return true;
    if (SomeoneListens(name))
        return false;
    // Nobody answers: the socket file is a leftover of a killed instance.
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

bool TSingleInstance::SendToRunning(const QString& params, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const QByteArray payload = params.toUtf8();
    QByteArray header(4, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), header.data());
    socket.write(header + payload);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

void TSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadMessage(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            ReadMessage(socket);
            socket->deleteLater();
        });
        // Data may have arrived together with the connection.
        if (socket->bytesAvailable() > 0)
            ReadMessage(socket);
    }
}

void TSingleInstance::ReadMessage(QLocalSocket* socket) {
    QByteArray pending = socket->property(kPendingProperty).toByteArray() + socket->readAll();
    while (pending.size() >= 4) {
        const quint32 length = qFromBigEndian<quint32>(pending.constData());
        if (length > kMaxMessageBytes) {
            pending.clear();
            socket->abort();
            break;
        }
        if (quint32(pending.size()) < 4 + length)
            break;
        const QString params = QString::fromUtf8(pending.mid(4, int(length)));
        pending.remove(0, int(4 + length));
        // Handed on from the event loop, not from inside this socket's own
        // signal: the receiver may open a modal prompt, whose nested loop
        // can deliver the socket's disconnect and delete it under us.
        QMetaObject::invokeMethod(
            this, [this, params] { emit paramsReceived(params); }, Qt::QueuedConnection);
    }
    socket->setProperty(kPendingProperty, pending);
}
