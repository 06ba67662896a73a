#pragma once

#include <QHostAddress>
#include <QString>

// One usable IPv4 route of the kernel's routing table.
class Route4Entry
{
public:
    Route4Entry() = default;
    Route4Entry(const QString &iface, const QHostAddress &destination, quint32 mask, const QHostAddress &gateway,
                quint32 metric);

    QString iface;
    QHostAddress destination;
    quint32 mask = 0;     // 255.255.255.0 has the top 24 bits set
    QHostAddress gateway; // null for a link-level gateway
    quint32 metric = 1;   // 1 ordinary, 2 interface-scoped

    bool isDefaultRoute() const;
    QString toString() const;

    static bool metricLessThan(const Route4Entry &a, const Route4Entry &b);

    bool operator==(const Route4Entry &other) const;
};
