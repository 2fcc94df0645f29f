// Keeps Quillora to one running instance per user.
//
// The first instance listens on a local socket named after the instance name
// "QuilloraVer1.3" and the user id. A later start connects to it, sends its
// joined command line (possibly empty) and ends; the running instance emits
// paramsReceived for each message, on its GUI thread.
//
// A socket file left behind by a killed instance is recognised (nobody answers
// on it) and replaced, so a crash never blocks the next start.
//
// The socket is a plain Unix-domain stream socket in the temporary folder
// (where earlier builds kept theirs, so they and this one find each other),
// watched by the event loop: no network library is loaded for it.
// TSingleInstance owns its socket and its connections; it is not thread-safe.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QSocketNotifier;

// Instance name: window caption, application title and socket name prefix.
inline constexpr const char* kInstanceName = "QuilloraVer1.3";

// Joins parameters 1..n (args[0] is the program) with single blanks and strips
// trailing blanks and control characters, so an unquoted path with blanks
// arrives whole. Empty when there are no parameters.
QString JoinParams(const QStringList& args);

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit TSingleInstance(QObject* parent = nullptr);
    ~TSingleInstance() override;

    // Per-user socket name; QUILLORA_INSTANCE_NAME overrides it (tests).
    static QString ServerName();

    // Becomes the running instance. Returns false when another live instance
    // already listens (then the caller hands over its parameters and ends).
    bool Listen();
    bool IsListening() const;

    // Sends `params` to the running instance. Returns false when none answers
    // within timeoutMs.
    static bool SendToRunning(const QString& params, int timeoutMs = 3000);

signals:
    void paramsReceived(const QString& params);

private:
    struct Connection;
    void Accept();
    // Reads what the connection has; false once the peer has gone (or sent
    // a message too long to take), and the connection is to be dropped.
    bool ReadMessages(Connection& connection);
    void Drop(Connection* connection);
    void Close();

    int m_listenFd = -1;
    QString m_socketPath;  // the file m_listenFd is bound to
    QSocketNotifier* m_listenNotifier = nullptr;
    std::vector<std::unique_ptr<Connection>> m_connections;
};
