#include "core/TunnelType.h"

#include "core/CoreLogging.h"

#include <QDebug>

const TunnelTypeOpenVPN243 TunnelTypeOpenVPN243::INSTANCE;
const TunnelTypeOpenConnect TunnelTypeOpenConnect::INSTANCE;

const TunnelType &TunnelType::OPENVPN243()
{
    return TunnelTypeOpenVPN243::INSTANCE;
}

const TunnelType &TunnelType::OPENCONNECT()
{
    return TunnelTypeOpenConnect::INSTANCE;
}

const TunnelType &TunnelType::fromString(const QString &name)
{
    const TunnelType *const candidates[] = {&OPENCONNECT(), &OPENVPN243()};
    for (const TunnelType *candidate : candidates) {
        if (candidate->toString() == name)
            return *candidate;
    }
    qCDebug(lcCore).noquote() << "static const TunnelType &TunnelType::fromString(const QString &)"
                              << QStringLiteral("Unexpected switch value: ") + name;
    return OPENVPN243();
}

bool TunnelType::operator==(const TunnelType &other) const
{
    return toString() == other.toString();
}

QString TunnelTypeOpenVPN243::toString() const
{
    return QStringLiteral("OpenVPN");
}

QString TunnelTypeOpenConnect::toString() const
{
    return QStringLiteral("OpenConnect");
}
