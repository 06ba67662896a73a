#include "prefs/Settings.h"

#include "prefs/MtuPreference.h"
#include "prefs/PrefsLogging.h"

#include <QDebug>

// Connection.

Settings::TlsMinimumVersion Settings::getTlsMinimumVersion() const
{
    const QString stored = text("tls-minimum-version", QStringLiteral("1.2"));
    if (stored == QLatin1String("1.0"))
        return TLS_1_0;
    if (stored != QLatin1String("1.2"))
        qCDebug(lcPrefs) << "Settings::TlsMinimumVersion Settings::getTlsMinimumVersion() const"
                         << "Unexpected switch value: " << stored;
    return TLS_1_2;
}

void Settings::setTlsMinimumVersion(TlsMinimumVersion v)
{
    store("tls-minimum-version", v == TLS_1_0 ? QStringLiteral("1.0") : QStringLiteral("1.2"));
}

MtuPreference *Settings::getMtuPreference() const
{
    return MtuPreference::readFrom(*this);
}
void Settings::setMtuPreference(const MtuPreference *preference)
{
    preference->writeTo(*this);
}
bool Settings::getCheckTunTapOnConnect() const
{
    return flag("check-tuntap-on-connect", true);
}
void Settings::setCheckTunTapOnConnect(bool v)
{
    store("check-tuntap-on-connect", v);
}
bool Settings::getRefreshDNSCache() const
{
    return flag("refresh-local-dns-cache", true);
}
void Settings::setRefreshDNSCache(bool v)
{
    store("refresh-local-dns-cache", v);
}
bool Settings::getLookupHostnameBeforeConnecting() const
{
    return flag("lookup-hostname-before-connecting", true);
}
void Settings::setLookupHostnameBeforeConnecting(bool v)
{
    store("lookup-hostname-before-connecting", v);
}
