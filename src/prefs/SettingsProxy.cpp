#include "prefs/Settings.h"

#include "prefs/PrefsLogging.h"

#include <QDebug>

namespace {
const char *const KEY_PROXY_SETTINGS = "proxy-settings";
const char *const KEY_PROXY_PROTOCOL = "proxy-custom-protocol";
} // namespace

// Proxy.

Settings::ProxySettings Settings::getProxySettings() const
{
    const QString stored = text(KEY_PROXY_SETTINGS, QStringLiteral("DIRECT"));
    if (stored == QLatin1String("DIRECT"))
        return DIRECT;
    if (stored == QLatin1String("STEALTH"))
        return STEALTH;
    if (stored == QLatin1String("CUSTOM"))
        return CUSTOM;
    qCDebug(lcPrefs) << "Settings::ProxySettings Settings::getProxySettings() const"
                     << "Unexpected switch value: " << stored;
    return DIRECT;
}

void Settings::setProxySettings(ProxySettings v)
{
    QString stored = QStringLiteral("DIRECT");
    switch (v) {
    case DIRECT: break;
    case STEALTH: stored = QStringLiteral("STEALTH"); break;
    case CUSTOM: stored = QStringLiteral("CUSTOM"); break;
    default:
        qCDebug(lcPrefs) << "void Settings::setProxySettings(Settings::ProxySettings)"
                         << "Unexpected switch value: " << static_cast<int>(v);
    }
    store(KEY_PROXY_SETTINGS, stored);
}

QString Settings::getStealthProxyId() const
{
    return text("proxy-stealth-proxy-id");
}
void Settings::setStealthProxyId(const QString &v)
{
    store("proxy-stealth-proxy-id", v);
}

Settings::ProxyProtocol Settings::getProxyProtocol() const
{
    const QString stored = text(KEY_PROXY_PROTOCOL, QStringLiteral("HTTP"));
    if (stored == QLatin1String("HTTP"))
        return HTTP;
    if (stored == QLatin1String("SOCKS5"))
        return SOCKS5;
    qCDebug(lcPrefs) << "Settings::ProxyProtocol Settings::getProxyProtocol() const"
                     << "Unexpected switch value: " << stored;
    return HTTP;
}

void Settings::setProxyProtocol(ProxyProtocol v)
{
    QString stored = QStringLiteral("HTTP");
    switch (v) {
    case HTTP: break;
    case SOCKS5: stored = QStringLiteral("SOCKS5"); break;
    default:
        qCDebug(lcPrefs) << "void Settings::setProxyProtocol(Settings::ProxyProtocol)"
                         << "Unexpected switch value: " << static_cast<int>(v);
    }
    store(KEY_PROXY_PROTOCOL, stored);
}

QString Settings::getProxyAddress() const
{
    return text("proxy-custom-address");
}
void Settings::setProxyAddress(const QString &v)
{
    store("proxy-custom-address", v);
}
QString Settings::getProxyPort() const
{
    return text("proxy-custom-port");
}
void Settings::setProxyPort(const QString &v)
{
    store("proxy-custom-port", v);
}
