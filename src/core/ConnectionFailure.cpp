#include "core/ConnectionFailure.h"

#include <QRegularExpression>
#include <algorithm>
#include <iterator>

namespace {
struct Sentence
{
    const char *cause;
    const char *plain;
    // With %1 for where the client tried; null when where adds nothing.
    const char *withWhere;
};

// Each cause the engines report, in one sentence.
const Sentence SENTENCES[] = {
    {ConnectionFailure::CERTIFICATE, QT_TRANSLATE_NOOP("ConnectionFailure", "the server's certificate is not trusted"),
     nullptr},
    {ConnectionFailure::NO_ANSWER, QT_TRANSLATE_NOOP("ConnectionFailure", "no answer from the server"),
     QT_TRANSLATE_NOOP("ConnectionFailure", "no answer from the server on %1")},
    {ConnectionFailure::REFUSED, QT_TRANSLATE_NOOP("ConnectionFailure", "the server refused the connection"),
     QT_TRANSLATE_NOOP("ConnectionFailure", "the server refused the connection on %1")},
    {ConnectionFailure::RESOLVE, QT_TRANSLATE_NOOP("ConnectionFailure", "the server's name could not be resolved"),
     nullptr},
    {ConnectionFailure::TIMEOUT, QT_TRANSLATE_NOOP("ConnectionFailure", "no connection within 60 seconds"), nullptr},
    {"connection-failed", QT_TRANSLATE_NOOP("ConnectionFailure", "the server could not be reached"),
     QT_TRANSLATE_NOOP("ConnectionFailure", "the server could not be reached on %1")},
    {"tls-error", QT_TRANSLATE_NOOP("ConnectionFailure", "the secure channel to the server could not be set up"),
     nullptr},
    {"connection-reset", QT_TRANSLATE_NOOP("ConnectionFailure", "the server closed the connection"), nullptr},
    {"ping-restart", QT_TRANSLATE_NOOP("ConnectionFailure", "the server stopped answering"), nullptr},
    {"ping-exit", QT_TRANSLATE_NOOP("ConnectionFailure", "the server stopped answering"), nullptr},
    {ConnectionFailure::AUTH_FAILURE, QT_TRANSLATE_NOOP("ConnectionFailure", "the server refused the login"), nullptr},
    {"auth-failure (auth-token)",
     QT_TRANSLATE_NOOP("ConnectionFailure", "the server no longer accepts the session's token"), nullptr},
    {"server-pushed-connection-reset", QT_TRANSLATE_NOOP("ConnectionFailure", "the server asked for a new connection"),
     nullptr},
    {"server-pushed-halt", QT_TRANSLATE_NOOP("ConnectionFailure", "the server ended the connection"), nullptr},
    {"remote-exit", QT_TRANSLATE_NOOP("ConnectionFailure", "the server ended the connection"), nullptr},
    {"inactive", QT_TRANSLATE_NOOP("ConnectionFailure", "the connection was idle for too long"), nullptr},
    {"init_instance", QT_TRANSLATE_NOOP("ConnectionFailure", "the connection could not be set up"), nullptr},
};

const Sentence *sentenceOf(const QString &cause)
{
    const auto found = std::find_if(std::begin(SENTENCES), std::end(SENTENCES),
                                    [&](const Sentence &row) { return cause == QLatin1String(row.cause); });
    return found == std::end(SENTENCES) ? nullptr : found;
}
} // namespace

ConnectionFailure::ConnectionFailure(const QString &cause, const QString &where, const QString &serverText)
    : m_cause(cause)
    , m_where(where)
    , m_serverText(serverText)
{
}

QString ConnectionFailure::describe() const
{
    if (!m_serverText.isEmpty())
        return tr("the server refused the connection: %1").arg(m_serverText);
    const Sentence *sentence = sentenceOf(m_cause);
    if (!sentence)
        return m_cause;
    if (sentence->withWhere && !m_where.isEmpty())
        return tr(sentence->withWhere).arg(m_where);
    return tr(sentence->plain);
}

QString ConnectionFailure::retryText() const
{
    return tr("Reconnecting: %1").arg(describe());
}

QString ConnectionFailure::stopMessage() const
{
    QString sentence = describe();
    if (sentence.endsWith(QLatin1Char('.')))
        sentence.chop(1);
    return tr("Could not connect: %1.").arg(sentence);
}

bool ConnectionFailure::isAboutCredentials() const
{
    if (!m_cause.startsWith(QLatin1String(AUTH_FAILURE)))
        return false;
    // Texts that name the credentials, and the engine's challenge and session
    // forms, are the user's to answer.
    static const QRegularExpression credentials(
        QStringLiteral("\\b(password|passphrase|credentials?|user ?name|login|token|otp)\\b|^SESSION:|^CRV1:"),
        QRegularExpression::CaseInsensitiveOption);
    return m_serverText.isEmpty() || credentials.match(m_serverText).hasMatch();
}

bool ConnectionFailure::operator==(const ConnectionFailure &other) const
{
    return m_cause == other.m_cause && m_where == other.m_where && m_serverText == other.m_serverText;
}
