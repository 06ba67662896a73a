#include "openconnect/OpenConnectProgress.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
const QByteArray PROGRESS_KEYWORD = QByteArrayLiteral(">VPNINFO_PROGRESS");
}

QString OpenConnectProgress::progressText(const QByteArray &line)
{
    const QByteArray text = line.mid(PROGRESS_KEYWORD.size() + 1);
    const int nul = text.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? text : text.left(nul));
}

QString OpenConnectProgress::rest(const QString &text, const QString &keyword)
{
    return text.mid(keyword.size() + 1);
}

OpenConnectProgress::Cipher OpenConnectProgress::parseCipherSuite(const QString &text)
{
    static const QRegularExpression group(QStringLiteral("\\(([^()]*)\\)"));
    const QString description = text.trimmed().section(QLatin1Char(' '), -1);
    QStringList groups;
    for (auto match = group.globalMatch(description); match.hasNext();)
        groups << match.next().captured(1);
    Cipher cipher;
    if (groups.size() < 3 || !groups.first().startsWith(QLatin1String("TLS")))
        return cipher;
    const QString keyExchange = groups.at(1).section(QLatin1Char('-'), 0, 0);
    if (keyExchange.isEmpty() || groups.last().isEmpty())
        return cipher;
    cipher.valid = true;
    cipher.tlsVersion = QStringLiteral("TLSv") + groups.first().mid(3);
    cipher.cipher = keyExchange + QLatin1Char('-') + groups.last();
    return cipher;
}

QString OpenConnectProgress::parseLocalAddress(const QString &rest)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    return rest.trimmed().split(separators, Qt::SkipEmptyParts).value(0);
}

OpenConnectProgress::Counters OpenConnectProgress::parseByteCounts(const QString &rest)
{
    const QStringList fields = rest.split(QLatin1Char(','));
    Counters counters;
    if (fields.size() < 2)
        return counters;
    counters.valid = true;
    counters.received = fields.at(0).trimmed().toULongLong();
    counters.sent = fields.at(1).trimmed().toULongLong();
    return counters;
}

ConnectionFailure OpenConnectProgress::failureOf(const QString &text)
{
    static const QRegularExpression connect(QStringLiteral("^Failed to connect to .*:(\\d+): (.*)$"));
    static const QRegularExpression unreachable(
        QStringLiteral("^(No route to host|Network is unreachable|Connection timed out|Host is unreachable)"));
    const QRegularExpressionMatch match = connect.match(text.trimmed());
    if (match.hasMatch()) {
        const QString where = QStringLiteral("TCP %1").arg(match.captured(1));
        if (match.captured(2).startsWith(QLatin1String("Connection refused")))
            return ConnectionFailure(QLatin1String(ConnectionFailure::REFUSED), where);
        if (unreachable.match(match.captured(2)).hasMatch())
            return ConnectionFailure(QLatin1String(ConnectionFailure::NO_ANSWER), where);
        return ConnectionFailure();
    }
    if (text.startsWith(QLatin1String("getaddrinfo failed for host")))
        return ConnectionFailure(QLatin1String(ConnectionFailure::RESOLVE));
    return ConnectionFailure();
}

bool OpenConnectProgress::isErrorText(const QString &text)
{
    if (text.startsWith(QLatin1String("getaddrinfo failed for host")))
        return true;
    if (text.startsWith(QLatin1String("Failed to reconnect to")))
        return false;
    static const char *const prefixes[] = {"Permission denied", "Operation not permitted", "Failed to", "Unknown error",
                                           "Reconnect failed"};
    for (const char *prefix : prefixes) {
        if (text.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}
