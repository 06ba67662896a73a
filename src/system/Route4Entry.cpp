#include "system/Route4Entry.h"

Route4Entry::Route4Entry(const QString &iface, const QHostAddress &destination, quint32 mask,
                         const QHostAddress &gateway, quint32 metric)
    : iface(iface)
    , destination(destination)
    , mask(mask)
    , gateway(gateway)
    , metric(metric)
{
}

bool Route4Entry::isDefaultRoute() const
{
    return mask == 0 && destination == QHostAddress(QHostAddress::AnyIPv4);
}

QString Route4Entry::toString() const
{
    return QStringLiteral("Route4Entry[iface=%1, destination=%2, mask=%3, gateway=%4, metric=%5]")
        .arg(iface, destination.toString(), QHostAddress(mask).toString(), gateway.toString())
        .arg(metric);
}

bool Route4Entry::metricLessThan(const Route4Entry &a, const Route4Entry &b)
{
    return a.metric < b.metric;
}

bool Route4Entry::operator==(const Route4Entry &other) const
{
    return iface == other.iface && destination == other.destination && mask == other.mask && gateway == other.gateway
           && metric == other.metric;
}
