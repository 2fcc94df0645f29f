#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QtEndian>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Messages are a 4-byte big-endian length followed by UTF-8 text; longer
// claims than this are dropped so a stray client cannot make us buffer much.
constexpr quint32 kMaxMessageBytes = 64 * 1024;

bool IsStrippedTail(QChar c) { return c.unicode() <= 0x20 || c.category() == QChar::Other_Control; }

// A name without a folder lives in the temporary folder, as local socket
// names always have here.
QString SocketPath(const QString& name) {
    return name.startsWith(QLatin1Char('/')) ? name : QDir::tempPath() + QLatin1Char('/') + name;
}

// False when the path does not fit a socket address.
bool FillAddress(const QString& path, sockaddr_un& address) {
    const QByteArray bytes = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || size_t(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
    return true;
}

int NewSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

// A connected socket to the instance listening at path, or -1. A Unix-domain
// connect answers at once: refused when nobody listens on the file.
int ConnectTo(const QString& path) {
    sockaddr_un address;
    if (!FillAddress(path, address))
        return -1;
    const int fd = NewSocket();
    if (fd < 0)
        return -1;
    int result;
    do
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    while (result < 0 && errno == EINTR);
    if (result < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Writes all of bytes, waiting at most timeoutMs for room each time.
bool WriteAll(int fd, const QByteArray& bytes, int timeoutMs) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        pollfd ready{fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, timeoutMs);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        const ssize_t written = ::send(fd, data, size_t(left), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

bool SomeoneListens(const QString& path) {
    const int fd = ConnectTo(path);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// A listening socket bound to path, or -1 (errno EADDRINUSE when the file
// exists). Binding never replaces an existing file: that is the test of a
// running instance this class relies on.
int ListenAt(const QString& path) {
    sockaddr_un address;
    if (!FillAddress(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 || ::listen(fd, 16) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

struct TSingleInstance::Connection {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QByteArray pending;  // bytes of a message not yet complete
};

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

TSingleInstance::~TSingleInstance() { Close(); }

QString TSingleInstance::ServerName() {
    const QString overrideName = qEnvironmentVariable("QUILLORA_INSTANCE_NAME");
    if (!overrideName.isEmpty())
        return overrideName;
    return QStringLiteral("%1-%2").arg(QLatin1String(kInstanceName)).arg(getuid());
}

bool TSingleInstance::IsListening() const { return m_listenFd >= 0; }

bool TSingleInstance::Listen() {
    if (IsListening())
        return true;
    const QString path = SocketPath(ServerName());
    int fd = ListenAt(path);
    if (fd < 0 && errno == EADDRINUSE) {
        if (SomeoneListens(path))
            return false;
        // Nobody answers: the socket file is a leftover of a killed instance.
        ::unlink(QFile::encodeName(path).constData());
        fd = ListenAt(path);
    }
    if (fd < 0)
        return false;
    m_listenFd = fd;
    m_socketPath = path;
    m_listenNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listenNotifier, &QSocketNotifier::activated, this, &TSingleInstance::Accept);
    return true;
}

void TSingleInstance::Close() {
    while (!m_connections.empty())
        Drop(m_connections.back().get());
    if (m_listenFd < 0)
        return;
    delete m_listenNotifier;
    m_listenNotifier = nullptr;
    ::close(m_listenFd);
    m_listenFd = -1;
    ::unlink(QFile::encodeName(m_socketPath).constData());
}

bool TSingleInstance::SendToRunning(const QString& params, int timeoutMs) {
    const int fd = ConnectTo(SocketPath(ServerName()));
    if (fd < 0)
        return false;
    const QByteArray payload = params.toUtf8();
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), message.data());
    message += payload;
    const bool sent = WriteAll(fd, message, timeoutMs);
    ::close(fd);  // what was written is delivered all the same
    return sent;
}

void TSingleInstance::Accept() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return;  // EAGAIN: nothing more waiting
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        Connection* raw = connection.get();
        connect(connection->notifier, &QSocketNotifier::activated, this, [this, raw] {
            if (!ReadMessages(*raw))
                Drop(raw);
        });
        m_connections.push_back(std::move(connection));
    }
}

bool TSingleInstance::ReadMessages(Connection& connection) {
    char buffer[4096];
    bool open = true;
    for (;;) {
        const ssize_t got = ::read(connection.fd, buffer, sizeof buffer);
        if (got > 0) {
            connection.pending.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        open = got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        break;
    }
    QByteArray& pending = connection.pending;
    while (pending.size() >= 4) {
        const quint32 length = qFromBigEndian<quint32>(pending.constData());
        if (length > kMaxMessageBytes)
            return false;
        if (quint32(pending.size()) < 4 + length)
            break;
        const QString params = QString::fromUtf8(pending.mid(4, qsizetype(length)));
        pending.remove(0, qsizetype(4 + length));
        // Handed on from the event loop, not from inside the notifier's own
        // signal: the receiver may open a modal prompt, whose nested loop
        // could otherwise deliver this connection's end under us.
        QMetaObject::invokeMethod(
            this, [this, params] { emit paramsReceived(params); }, Qt::QueuedConnection);
    }
    return open;
}

void TSingleInstance::Drop(Connection* connection) {
    const auto found = std::find_if(m_connections.begin(), m_connections.end(),
                                    [connection](const auto& owned) { return owned.get() == connection; });
    if (found == m_connections.end())
        return;
    // The notifier may be the sender of the signal being handled.
    connection->notifier->setEnabled(false);
    connection->notifier->deleteLater();
    ::close(connection->fd);
    m_connections.erase(found);
}
