// EUserError: a failure the user caused (an empty or existing library name, a
// wrong password, a picture path too long, a picture file that is gone). The
// data layers raise it with the message, caption and icon the application
// shows; they show nothing themselves. Icon: 0 none, 1 information, 2 warning.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <utility>

class EUserError : public std::exception {
public:
    EUserError(QString text, QString caption, int icon = 1)
        : m_text(std::move(text)), m_caption(std::move(caption)), m_icon(icon), m_what(m_text.toUtf8()) {}

    const QString& Text() const { return m_text; }
    const QString& Caption() const { return m_caption; }
    int Icon() const { return m_icon; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_text;
    QString m_caption;
    int m_icon;
    QByteArray m_what;
};
