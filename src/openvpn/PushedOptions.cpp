#include "openvpn/PushedOptions.h"

void PushedOptions::setUpDown(const QString &value)
{
    m_upDown = value;
}

QString PushedOptions::getUpDown() const
{
    return m_upDown;
}

void PushedOptions::addOption(QString nameValue)
{
    const QString name = nameValue.section('=', 0, 0, QString::SectionSkipEmpty);
    const QString value = nameValue.section('=', 1, -1, QString::SectionSkipEmpty);
    m_options.insert(name, value);
}

QString PushedOptions::getOption(const QString &name) const
{
    return m_options.value(name);
}

QHash<QString, QString> PushedOptions::getOptions() const
{
    return m_options;
}

QStringList PushedOptions::getForeignOptions() const
{
    QStringList foreign;
    for (int n = 1;; ++n) {
        const auto it = m_options.constFind(QStringLiteral("foreign_option_%1").arg(n));
        if (it == m_options.constEnd())
            return foreign;
        foreign.append(it.value());
    }
}

QStringList PushedOptions::getDnsServers() const
{
    QStringList servers;
    for (const QString &option : getForeignOptions()) {
        if (option.contains(QLatin1String("DNS")))
            servers.append(option.split(' ').last());
    }
    return servers;
}

bool PushedOptions::hasDnsServers() const
{
    return !getDnsServers().isEmpty();
}

QHostAddress PushedOptions::getRouteVPNGateway() const
{
    const auto it = m_options.constFind(QStringLiteral("route_vpn_gateway"));
    if (it == m_options.constEnd())
        return QHostAddress();
    return QHostAddress(it.value());
}
