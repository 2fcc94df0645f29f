#include "tools/mail/SmtpError.h"

#include <utility>

ESmtpError::ESmtpError(TSmtpFailure kind, QString text, QString serverReply)
    : m_kind(kind), m_text(std::move(text)), m_reply(std::move(serverReply)),
      m_what((m_text + (m_reply.isEmpty() ? QString() : QStringLiteral(": ") + m_reply)).toUtf8()) {}
