#include "backend/PinnedIpPool.h"

#include "backend/BackendLogging.h"
#include "prefs/Settings.h"

#include <QDebug>

PinnedIpPool::PinnedIpPool(const QString &siteId)
    : IpPoolInterface(PINNED_STATIC_IP)
    , m_siteId(siteId)
{
}

bool PinnedIpPool::hasValidIp() const
{
    Settings settings;
    return settings.hasPinnedIP(m_siteId) && isValidIpAddress(settings.getPinnedIP(m_siteId));
}

QHostAddress PinnedIpPool::getIp() const
{
    qCDebug(lcBackend) << "PinnedIpPool: get Ip";
    Settings settings;
    if (settings.hasPinnedIP(m_siteId)) {
        // A stored "0.0.0.0" or any-address is no server to connect to.
        const QHostAddress pinned = settings.getPinnedIP(m_siteId);
        if (isValidIpAddress(pinned))
            return pinned;
    }
    qCDebug(lcBackend) << "PinnedIpPool Warning: no valid PinnedIp";
    return QHostAddress();
}

void PinnedIpPool::shuffleIps()
{
}

QString PinnedIpPool::toString() const
{
    return QStringLiteral("Type: ") + typeToString(getType()) + QLatin1Char('\n');
}
