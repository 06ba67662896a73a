#include "system/DnsStages.h"

#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"
#include "system/NameServerFilter.h"
#include "system/SystemLogging.h"

#include <QDebug>
#include <QHostAddress>

QStringList DnsStages::getStartupDns(Settings &settings)
{
    return settings.getDnsPreferenceActionOnStart().getNameServerDNSs();
}

QStringList DnsStages::getOnConnectDns(Settings &settings)
{
    return settings.getDnsPreferenceActionBeforeConnect().getNameServerDNSs();
}

QStringList DnsStages::getAfterConnectDns(Settings &settings)
{
    return settings.getDnsPreferenceActionAfterConnect().getNameServerDNSs();
}

QStringList DnsStages::validNameServers(const QStringList &servers)
{
    QStringList valid;
    for (const QString &server : servers) {
        QHostAddress address;
        // setAddress alone accepts a scope suffix ("fe80::1%en0"), which
        // is no name-server address.
        if (server.contains(QLatin1Char('%')) || !address.setAddress(server.trimmed())
            || !NameServerFilter::isDNSAddressValid(address)) {
            qCWarning(lcSystem) << "Ignoring invalid name server:" << server;
            continue;
        }
        valid << address.toString();
    }
    return valid;
}
