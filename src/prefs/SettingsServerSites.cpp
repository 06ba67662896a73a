#include "prefs/Settings.h"

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSitePortFilterException.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "core/TunnelType.h"
#include "openconnect/OpenConnectConnectVia.h"
#include "prefs/PrefsLogging.h"
#include "prefs/SettingsKeys.h"

#include <QDebug>

namespace {
using SettingsKeys::DEFAULT_SERVER_SITE;

const QString KEY_SERVER_SITE = QStringLiteral("connect/serverSite");
const QString KEY_TUNNEL_TYPE = QStringLiteral("connect/tunnelType");
const QString KEY_OPENCONNECT_VIA = QStringLiteral("connect/protocol-openconnect");
const QString KEY_DEDICATED_IP = QStringLiteral("server-sites/dedicated-ip");
} // namespace

// Per-site keys.

QString Settings::esc(const QString &text)
{
    return QString(text).replace(QLatin1Char('/'), QLatin1Char('_'));
}

QString Settings::key_serverSite_public(const QString &siteId, const QString &keyWord)
{
    return QStringLiteral("server-sites/public/%1/%2").arg(esc(siteId), keyWord);
}

void Settings::setPinnedIP(const QString &siteId, const QHostAddress &address)
{
    setTopLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip")), address.toString());
}

QHostAddress Settings::getPinnedIP(const QString &siteId)
{
    return QHostAddress(
        topLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip")), QString()).toString());
}

void Settings::setHasPinnedIP(const QString &siteId, bool enabled)
{
    setTopLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip-enabled")), enabled);
}

bool Settings::hasPinnedIP(const QString &siteId)
{
    return topLevelValue(key_serverSite_public(siteId, QStringLiteral("pinned-ip-enabled")), false).toBool()
           && !getPinnedIP(siteId).isNull();
}

void Settings::forgetPinnedIP(const QString &siteId)
{
    removeTopLevel(key_serverSite_public(siteId, QStringLiteral("pinned-ip")));
    removeTopLevel(key_serverSite_public(siteId, QStringLiteral("pinned-ip-enabled")));
}

// Dedicated-IP sites.

QList<HalvorixServerSite> Settings::serverSitesWithDedicatedIp() const
{
    QList<HalvorixServerSite> sites;
    if (!hasConfigDir())
        return sites;
    const QDir directory = configDir();
    leaveGroup();
    const int count = readPosition().beginReadArray(KEY_DEDICATED_IP);
    for (int i = 0; i < count; ++i) {
        readPosition().setArrayIndex(i);
        // A damaged port must not cost the user the entry, nor stop the reading.
        ServerSitePortFilter portFilter;
        try {
            portFilter = ServerSitePortFilter(value(QStringLiteral("port"), 0).toInt());
        } catch (const ServerSitePortFilterException &e) {
            qCDebug(lcPrefs) << "Settings::serverSitesWithDedicatedIp:" << e.getMessage() << "- any port is used";
        }
        sites << HalvorixServerSite::dedicatedServerSite(
            text("country-code"), text("comment"), QHostAddress(text("ip-address", QStringLiteral("0.0.0.0"))),
            directory, ServerSiteProtocolFilter(text("protocol")), portFilter);
    }
    readPosition().endArray();
    enterGroup();
    return sites;
}

void Settings::setServerSitesWithDedicatedIp(const QList<HalvorixServerSite> &sites)
{
    leaveGroup();
    clearTopLevelGroup(KEY_DEDICATED_IP);
    beginWriteArray(KEY_DEDICATED_IP);
    int index = 0;
    for (const HalvorixServerSite &site : sites) {
        if (site.getDedicatedIp().isNull())
            continue;
        setArrayIndex(index++);
        store("country-code", site.getCountryCode());
        // A dedicated site keeps the user's comment where a catalogue site keeps its city.
        store("comment", site.getCity());
        store("ip-address", site.getDedicatedIp().toString());
        store("protocol", site.getDedicatedProtocol());
        store("port", site.getPort());
    }
    endArray();
    enterGroup();
}

// Connection choice.

QString Settings::defaultServerSite()
{
    return topLevelValue(KEY_SERVER_SITE, DEFAULT_SERVER_SITE).toString();
}

bool Settings::hasDefaultServerSite()
{
    return containsTopLevel(KEY_SERVER_SITE);
}

void Settings::setDefaultServerSite(const QString &siteId)
{
    setTopLevelValue(KEY_SERVER_SITE, siteId);
}

void Settings::setDefaultServerSite(const QString &siteId, const OpenVpnConfigurationModel &model)
{
    setDefaultServerSite(siteId);
    leaveGroup();
    model.writeTo(*this);
    enterGroup();
}

void Settings::setDefaultServerSite(const QString &siteId, const OpenConnectConnectVia &connectVia,
                                    const OpenVpnConfigurationModel &model)
{
    setDefaultServerSite(siteId, model);
    const int kind = connectVia.getType();
    switch (kind) {
    case OpenConnectConnectVia::Udp:
    case OpenConnectConnectVia::Tcp:
        setTopLevelValue(KEY_OPENCONNECT_VIA, HalvorixServerSite::toString(connectVia.getProtocol()));
        break;
    case OpenConnectConnectVia::TcpWithStealthProxy:
    case OpenConnectConnectVia::TcpWithCustomProxy: break;
    default: qCWarning(lcPrefs) << "Unexpected switch value (OpenConnectConnectVia::Type)" << kind;
    }
}

void Settings::removeDefaultServerSite()
{
    removeTopLevel(KEY_SERVER_SITE);
}

const TunnelType &Settings::getDefaultTunnelType()
{
    return TunnelType::fromString(topLevelValue(KEY_TUNNEL_TYPE, QStringLiteral("OpenVPN")).toString());
}

void Settings::setDefaultTunnelType(const TunnelType &tunnelType)
{
    setTopLevelValue(KEY_TUNNEL_TYPE, tunnelType.toString());
}

bool Settings::hasDefaultOpenConnectConnectVia()
{
    return containsTopLevel(KEY_OPENCONNECT_VIA);
}

const OpenConnectConnectVia &Settings::defaultOpenConnectConnectVia()
{
    return OpenConnectConnectVia::fromString(topLevelValue(KEY_OPENCONNECT_VIA, QString()).toString());
}

bool Settings::hasDefaultOpenVpn243SelectionConfigCipher()
{
    leaveGroup();
    const bool has = OpenVpnConfigurationModel::checkIfDefaultValueExists(*this);
    enterGroup();
    return has;
}

OpenVpnConfigurationModel Settings::defaultOpenVpn243SelectionConfigCipher()
{
    leaveGroup();
    const OpenVpnConfigurationModel model = OpenVpnConfigurationModel::readFrom(*this);
    enterGroup();
    return model;
}

QString Settings::getDefaultOpenVPN243Protocol()
{
    leaveGroup();
    const QString protocol = OpenVpnConfigurationModel::getOpenVPN243ProtocolFromSettings(*this);
    enterGroup();
    return protocol;
}
