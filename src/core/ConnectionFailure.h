#pragma once
#include <QCoreApplication>
#include <QString>

// Why an attempt to connect failed, as the engine told it: the engine's own
// cause word (from its state line or a log message the driver recognised),
// where the client tried ("UDP 1194") and the server's own text, if any.
// Two failures are the same when all three match.
class ConnectionFailure
{
    Q_DECLARE_TR_FUNCTIONS(ConnectionFailure)

public:
    // Causes the drivers recognise in the engines' messages, beyond the
    // words of the engine's state lines.
    static constexpr const char *CERTIFICATE = "certificate";
    static constexpr const char *NO_ANSWER = "no-answer";
    static constexpr const char *REFUSED = "refused";
    static constexpr const char *RESOLVE = "resolve";
    static constexpr const char *TIMEOUT = "timeout";
    // The engine's word for a refused login (also the state line's).
    static constexpr const char *AUTH_FAILURE = "auth-failure";

    ConnectionFailure() = default;
    explicit ConnectionFailure(const QString &cause, const QString &where = QString(),
                               const QString &serverText = QString());

    bool isNull() const { return m_cause.isEmpty(); }
    QString cause() const { return m_cause; }
    QString where() const { return m_where; }
    QString serverText() const { return m_serverText; }

    // One short sentence for the user; an unknown cause gives the engine's word.
    QString describe() const;
    // Shown next to the state while the engine tries again.
    QString retryText() const;
    // The headline of the notice when the client gives up.
    QString stopMessage() const;
    // A refused login the user can mend by typing other credentials.
    bool isAboutCredentials() const;

    bool operator==(const ConnectionFailure &other) const;
    bool operator!=(const ConnectionFailure &other) const { return !(*this == other); }

private:
    QString m_cause;
    QString m_where;
    QString m_serverText;
};
