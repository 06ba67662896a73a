#include "openvpn/OpenVpnFailureLog.h"

#include <QPair>
#include <QRegularExpression>
#include <QVector>

namespace {
struct LogPattern
{
    const char *pattern;
    const char *cause;
};

// The engine's own texts, first match wins: the certificate checks, the
// TCP connect (refused before the rest), the UDP reads the network refused,
// the TLS deadline, the name look-up.
const LogPattern PATTERNS[] = {
    {"^VERIFY (X509NAME |KU |EKU )?ERROR", ConnectionFailure::CERTIFICATE},
    {"certificate verify failed", ConnectionFailure::CERTIFICATE},
    {"^TCP: connect to .* failed: Connection refused", ConnectionFailure::REFUSED},
    {"^TCP: connect to .* failed: (No route to host|Network is unreachable|Connection timed out)",
     ConnectionFailure::NO_ANSWER},
    {"^read UDP.*\\[(ECONNREFUSED|EHOSTUNREACH|ENETUNREACH)\\]", ConnectionFailure::NO_ANSWER},
    {"^TLS Error: TLS key negotiation failed to occur", ConnectionFailure::NO_ANSWER},
    {"^RESOLVE: Cannot resolve host address", ConnectionFailure::RESOLVE},
};

// Compiled once: the engine logs every packet error.
const QVector<QPair<QRegularExpression, const char *>> &compiledPatterns()
{
    static const QVector<QPair<QRegularExpression, const char *>> compiled = [] {
        QVector<QPair<QRegularExpression, const char *>> rows;
        for (const LogPattern &row : PATTERNS)
            rows.append({QRegularExpression(QLatin1String(row.pattern)), row.cause});
        return rows;
    }();
    return compiled;
}
} // namespace

ConnectionFailure OpenVpnFailureLog::fromLogMessage(const QString &message, const QString &where)
{
    for (const auto &row : compiledPatterns()) {
        if (row.first.match(message).hasMatch())
            return ConnectionFailure(QLatin1String(row.second), where);
    }
    return ConnectionFailure();
}

ConnectionFailure OpenVpnFailureLog::fromVerificationFailed(const QString &line)
{
    const int start = line.indexOf(QLatin1String("['"));
    const int end = line.lastIndexOf(QLatin1String("']"));
    if (start < 0 || end < start + 2)
        return ConnectionFailure();
    const QString reason = line.mid(start + 2, end - start - 2).trimmed();
    if (reason.isEmpty())
        return ConnectionFailure();
    return ConnectionFailure(QLatin1String(ConnectionFailure::AUTH_FAILURE), QString(), reason);
}

QString OpenVpnFailureLog::where(const QString &protocol, int port)
{
    const QString family =
        protocol.startsWith(QLatin1String("tcp"), Qt::CaseInsensitive) ? QStringLiteral("TCP") : QStringLiteral("UDP");
    return QStringLiteral("%1 %2").arg(family).arg(port);
}
