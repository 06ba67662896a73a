#include "openvpn/PushedOptions.h"

void PushedOptions::setUpDown(const QString& value)
{
    upDown = value;
}

QString PushedOptions::getUpDown() const
{
    return upDown;
}

void PushedOptions::addOption(QString nameValue)
{
    const QString name = nameValue.section('=', 0, 0, QString::SectionSkipEmpty);
    const QString value = nameValue.section('=', 1, -1, QString::SectionSkipEmpty);
    options.insert(name, value);
}

QString PushedOptions::getOption(const QString& name) const
{
    return options.value(name);
}

QHash<QString, QString> PushedOptions::getOptions() const
{
    return options;
}

QStringList PushedOptions::getForeignOptions() const
{
    QStringList foreign;
    for (int n = 1;; ++n) {
        const auto it = options.constFind(QStringLiteral("foreign_option_%1").arg(n));
        if (it == options.constEnd())
            return foreign;
        foreign.append(it.value());
    }
}

QStringList PushedOptions::getDnsServers() const
{
    QStringList servers;
    for (const QString& option : getForeignOptions()) {
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
    const auto it = options.constFind(QStringLiteral("route_vpn_gateway"));
    if (it == options.constEnd())
        return QHostAddress();
    return QHostAddress(it.value());
}
