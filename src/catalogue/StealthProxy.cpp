#include "catalogue/StealthProxy.h"

#include <QRegularExpression>

#include <stdexcept>

namespace {

// Anchored at \A and \z: a "$" alone would also accept a trailing line feed.
const QRegularExpression &ipv4Expression()
{
    static const QRegularExpression expression(QRegularExpression::anchoredPattern(QStringLiteral(
        "^(([0-9]|[1-9][0-9]|1[0-9]{2}|2[0-4][0-9]|25[0-5])\\.){3}([0-9]|[1-9][0-9]|1[0-9]{2}|2[0-4][0-9]|25[0-5])$")));
    return expression;
}

const QRegularExpression &hostNameExpression()
{
    static const QRegularExpression expression(
        QRegularExpression::anchoredPattern(QStringLiteral("^(([a-zA-Z0-9]|[a-zA-Z0-9][a-zA-Z0-9\\-]*[a-zA-Z0-9])\\.)*("
                                                           "[A-Za-z0-9]|[A-Za-z0-9][A-Za-z0-9\\-]*[A-Za-z0-9])$")));
    return expression;
}

std::string utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

[[noreturn]] void rejectHost(const QString &what)
{
    throw std::invalid_argument(utf8(QStringLiteral("Not a valid hostname or IP address: ") + what));
}

} // namespace

StealthProxy::StealthProxy(const QString &countryCode, const QString &city, const QString &host, const QString &port,
                           const QString &password, const QString &method)
    : m_countryCode(countryCode)
    , m_city(city)
    , m_port(check_port(port))
    , m_password(password)
    , m_method(method)
{
    setHostnameOrAddress(host);
}

QString StealthProxy::getId() const
{
    return m_countryCode + QLatin1Char('-') + m_city;
}

QString StealthProxy::getCountryCode() const
{
    return m_countryCode;
}

QString StealthProxy::getCity() const
{
    return m_city;
}

QString StealthProxy::getHost() const
{
    return m_host;
}

StealthProxy::HostKind StealthProxy::getHostKind() const
{
    return m_hostKind;
}

quint16 StealthProxy::getPort() const
{
    return m_port;
}

QString StealthProxy::getPassword() const
{
    return m_password;
}

QString StealthProxy::getMethod() const
{
    return m_method;
}

quint16 StealthProxy::check_port(const QString &port)
{
    bool ok = false;
    const uint value = port.toUInt(&ok, 10);
    if (!ok)
        throw std::invalid_argument(utf8(QStringLiteral("Not a port number: %1").arg(port)));
    if (value > 65535)
        throw std::range_error(utf8(QStringLiteral("Port number out of range: %1").arg(port)));
    return static_cast<quint16>(value);
}

void StealthProxy::setHostnameOrAddress(const QString &host)
{
    if (host.isNull())
        rejectHost(QStringLiteral("Null-String"));
    if (host.isEmpty())
        rejectHost(QStringLiteral("Empty-String"));
    const QString quoted = QLatin1Char('\'') + host + QLatin1Char('\'');
    if (host.trimmed().isEmpty())
        rejectHost(quoted);
    if (ipv4Expression().match(host).hasMatch()) {
        m_host = host;
        m_hostKind = IPV4_ADDRESS;
    } else if (hostNameExpression().match(host).hasMatch()) {
        m_host = host;
        m_hostKind = HOSTNAME;
    } else {
        rejectHost(quoted);
    }
}
