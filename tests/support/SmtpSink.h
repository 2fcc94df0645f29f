// TSmtpSink: a real SMTP server for a test, run by smtp_sink.py (Debian's
// python3-aiosmtpd) on 127.0.0.1. It writes each message it takes to its own
// folder as a decoded JSON summary; Received() reads them back in order.
// The server stops when the object is destroyed. Started() is false (with
// Error()) when it could not start: Missing() without python3-aiosmtpd,
// PortTaken() when a requested port is in use.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

struct TSmtpSinkOptions {
    int port = 0;         // 0: a free port
    QStringList refuse;   // recipients answered with 550
    QString login;        // "user:password" to require a login
    bool silent = false;  // accept and never answer
    QString tls;          // "cert.pem,key.pem": offer and require STARTTLS
};

class TSmtpSink {
public:
    using Options = TSmtpSinkOptions;

    explicit TSmtpSink(const Options& options = Options()) {
        QStringList args{QStringLiteral("-W"), QStringLiteral("ignore"), ScriptPath(), QStringLiteral("--out"),
                         m_dir.path()};
        if (options.port)
            args << QStringLiteral("--port") << QString::number(options.port);
        for (const QString& address : options.refuse)
            args << QStringLiteral("--refuse") << address;
        if (!options.login.isEmpty())
            args << QStringLiteral("--auth") << options.login;
        if (!options.tls.isEmpty())
            args << QStringLiteral("--tls") << options.tls;
        if (options.silent)
            args << QStringLiteral("--silent");
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"), args);
        if (!m_process.waitForStarted()) {
            m_error = m_process.errorString();
            return;
        }
        while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        if (line.startsWith(QLatin1String("PORT ")))
            m_port = line.mid(5).toInt();
        else
            m_error = line.isEmpty() ? QStringLiteral("smtp_sink.py did not start") : line;
    }

    ~TSmtpSink() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    bool Started() const { return m_port > 0; }
    // python3-aiosmtpd is not installed (scripts/install-deps.sh installs it).
    bool Missing() const { return m_error.startsWith(QLatin1String("MISSING")); }
    // The requested port is taken by another program.
    bool PortTaken() const { return m_error.startsWith(QLatin1String("ERROR")); }
    QString Error() const { return m_error; }
    int Port() const { return m_port; }

    // The messages taken so far, first first.
    QList<QJsonObject> Received() const {
        QList<QJsonObject> messages;
        for (int n = 1;; ++n) {
            QFile file(m_dir.filePath(QString::number(n) + QStringLiteral(".json")));
            if (!file.open(QIODevice::ReadOnly))
                return messages;
            messages << QJsonDocument::fromJson(file.readAll()).object();
        }
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    // tests/run-isolated.sh names the source tree.
    static QString ScriptPath() {
        return qEnvironmentVariable("QUILLORA_SOURCE_DIR") + QStringLiteral("/tests/support/smtp_sink.py");
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_error;
    int m_port = 0;
};
