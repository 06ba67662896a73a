#include "catalogue/HalvorixServerSite.h"

#include "catalogue/CatalogueLogging.h"
#include "catalogue/ConfigJson.h"
#include "catalogue/CountryCode.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "openconnect/OpenConnectJson.h"
#include "openvpn/ConnectVia.h"
#include "openvpn/Remote.h"
#include "prefs/Settings.h"

#include <QDebug>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>

namespace {
const char *const UNKNOWN_PROTOCOL = "Error: Protocol unknown -> switching back to default value UDP";

[[maybe_unused]] const int siteMetaType = qRegisterMetaType<HalvorixServerSite>("HalvorixServerSite");
[[maybe_unused]] const int siteListMetaType = qRegisterMetaType<QList<HalvorixServerSite>>("QList<HalvorixServerSite>");
} // namespace

HalvorixServerSite::HalvorixServerSite(const QString &countryCode, const QString &city, const QString &udpConfigFile,
                                       const QString &tcpConfigFile, bool stealth, bool bittorrent,
                                       const QDir &configDir, const QList<OpenVpnConfigCipher> &ciphers,
                                       const QHostAddress &dedicatedIp, const GeoLocation &location,
                                       const QString &dedicatedProtocol, int port)
    : m_configDir(configDir)
    , m_countryCode(countryCode)
    , m_city(city)
    , m_udpConfigFile(udpConfigFile)
    , m_tcpConfigFile(tcpConfigFile)
    , m_bittorrent(bittorrent)
    , m_stealth(stealth)
    , m_ciphers(ciphers)
    , m_dedicatedIp(dedicatedIp)
    , m_location(location)
    , m_dedicatedProtocol(dedicatedProtocol)
    , m_port(port)
{
}

HalvorixServerSite HalvorixServerSite::publicServerSite(const QString &countryCode, const QString &city,
                                                        const QString &udpConfigFile, const QString &tcpConfigFile,
                                                        bool stealth, bool bittorrent, const QDir &configDir,
                                                        const QList<OpenVpnConfigCipher> &ciphers,
                                                        const GeoLocation &location, Settings &settings)
{
    HalvorixServerSite site(countryCode, city, udpConfigFile, tcpConfigFile, stealth, bittorrent, configDir, ciphers,
                            QHostAddress(), location, QString(), 0);
    site.refresh(settings);
    return site;
}

HalvorixServerSite HalvorixServerSite::dedicatedServerSite(const QString &countryCode, const QString &comment,
                                                           const QHostAddress &address, const QDir &configDir,
                                                           const ServerSiteProtocolFilter &protocolFilter,
                                                           const ServerSitePortFilter &portFilter)
{
    Settings settings;
    QList<OpenVpnConfigCipher> ciphers = ConfigJson(settings).getDefaultCiphers();
    protocolFilter.filterConfigCiphers(ciphers);
    portFilter.filterConfigCiphers(ciphers);

    const auto fileName = [&protocolFilter](const QString &protocol, const QString &name) {
        return protocolFilter.supportsProtocol(protocol) ? name : name + QStringLiteral(".off");
    };
    return HalvorixServerSite(countryCode, comment,
                              fileName(QStringLiteral("UDP"), QStringLiteral("dedicated-udp.conf")),
                              fileName(QStringLiteral("TCP"), QStringLiteral("dedicated-tcp.conf")), false, false,
                              configDir, ciphers, address, CountryCode::findByIsoCode(countryCode).getLocation(),
                              protocolFilter.getProtocol(), portFilter.getPort());
}

QString HalvorixServerSite::toString(Protocol protocol)
{
    switch (protocol) {
    case UDP: return QStringLiteral("UDP");
    case TCP: return QStringLiteral("TCP");
    }
    qCDebug(lcCatalogue) << UNKNOWN_PROTOCOL;
    return QStringLiteral("UDP");
}

HalvorixServerSite::Protocol HalvorixServerSite::fromString(const QString &text)
{
    const QString upper = text.toUpper();
    if (upper == QLatin1String("UDP"))
        return UDP;
    if (upper == QLatin1String("TCP"))
        return TCP;
    qCDebug(lcCatalogue) << UNKNOWN_PROTOCOL;
    return UDP;
}

QString HalvorixServerSite::getId() const
{
    const QString second = m_dedicatedIp.isNull() ? m_city : m_dedicatedIp.toString();
    return m_countryCode + QLatin1Char('-') + second;
}

void HalvorixServerSite::refresh(Settings &settings)
{
    const QString id = getId();
    m_pinnedIp = settings.getPinnedIP(id);
    m_pinned = settings.hasPinnedIP(id);
}

QDir HalvorixServerSite::getConfigDir() const
{
    return m_configDir;
}

QString HalvorixServerSite::getCountryCode() const
{
    return m_countryCode;
}

QString HalvorixServerSite::getCity() const
{
    return m_city;
}

QString HalvorixServerSite::getUdpConfigFile() const
{
    return m_udpConfigFile;
}

QString HalvorixServerSite::getTcpConfigFile() const
{
    return m_tcpConfigFile;
}

bool HalvorixServerSite::isBittorrent() const
{
    return m_bittorrent;
}

bool HalvorixServerSite::isStealth() const
{
    return m_stealth;
}

QList<OpenVpnConfigCipher> HalvorixServerSite::getConfigCiphers() const
{
    return m_ciphers;
}

QHostAddress HalvorixServerSite::getPinnedIp() const
{
    return m_pinnedIp;
}

bool HalvorixServerSite::isPinned() const
{
    return m_pinned;
}

QHostAddress HalvorixServerSite::getDedicatedIp() const
{
    return m_dedicatedIp;
}

GeoLocation HalvorixServerSite::getLocation() const
{
    return m_location;
}

QString HalvorixServerSite::getDedicatedProtocol() const
{
    return m_dedicatedProtocol;
}

int HalvorixServerSite::getPort() const
{
    return m_port;
}

QList<OpenVpnConfigCipher> HalvorixServerSite::supportedCiphers(Protocol protocol) const
{
    const QString text = toString(protocol);
    QList<OpenVpnConfigCipher> result;
    for (const OpenVpnConfigCipher &cipher : m_ciphers) {
        if (cipher.getProtocol() == text)
            result.append(cipher);
    }
    return result;
}

QList<OpenVpnConfigCipher> HalvorixServerSite::supportedCiphers(const ConnectVia &connectVia) const
{
    return supportedCiphers(connectVia.getProtocol());
}

OpenVpnConfigCipher HalvorixServerSite::getCipherByProtocolPortAuth(Protocol protocol, int port,
                                                                    const QString &auth) const
{
    for (const OpenVpnConfigCipher &cipher : supportedCiphers(protocol)) {
        if (cipher.getPort() == port && cipher.getAuth() == auth)
            return cipher;
    }
    return OpenVpnConfigCipher();
}

BackendOpenVPNConfigCipher HalvorixServerSite::getBackendCipher(Protocol protocol, const QString &cipherName, int port,
                                                                const QString &auth) const
{
    const OpenVpnConfigCipher offer = getCipherByProtocolPortAuth(protocol, port, auth);
    if (!offer.getCiphers().contains(cipherName))
        return BackendOpenVPNConfigCipher();
    return BackendOpenVPNConfigCipher::createBackendOpenVpnConfigCipher(
        cipherName, offer.getPort(), auth, offer.getTlsCrypt(), offer.getTlskey(), offer.getScrambleMethod(),
        offer.getScrambleMask(), offer.getStunnelPort());
}

OpenVpnConfigCipher HalvorixServerSite::getDefaultCipherFor(Protocol protocol) const
{
    const QList<OpenVpnConfigCipher> ciphers = supportedCiphers(protocol);
    for (const OpenVpnConfigCipher &cipher : ciphers) {
        if (cipher.isDefault())
            return cipher;
    }
    for (const OpenVpnConfigCipher &cipher : ciphers) {
        if (cipher.isHardCodedDefault())
            return cipher;
    }
    return ciphers.isEmpty() ? OpenVpnConfigCipher() : ciphers.first();
}

bool HalvorixServerSite::supportStealthCipher() const
{
    return std::any_of(m_ciphers.cbegin(), m_ciphers.cend(),
                       [](const OpenVpnConfigCipher &cipher) { return cipher.isStealth(); });
}

QList<OpenVpnConfigCipher> HalvorixServerSite::getCipherListByProtocolPorts(Protocol protocol,
                                                                            const QList<int> &ports) const
{
    QList<OpenVpnConfigCipher> result;
    for (const OpenVpnConfigCipher &cipher : supportedCiphers(protocol)) {
        if (ports.contains(cipher.getPort()))
            result.append(cipher);
    }
    return result;
}

QFileInfo HalvorixServerSite::getOpenVpnConfigFile(Protocol protocol) const
{
    switch (protocol) {
    case TCP: return QFileInfo(m_configDir.filePath(m_tcpConfigFile));
    case UDP: break;
    default: qCDebug(lcCatalogue) << "Error: unknown Protocol -> switch back to default value UDP"; break;
    }
    return QFileInfo(m_configDir.filePath(m_udpConfigFile));
}

QStringList HalvorixServerSite::getRemoteServers(const QFileInfo &file) const
{
    qCDebug(lcCatalogue) << file.absoluteFilePath();
    QFile input(file.absoluteFilePath());
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    // The host ends at any white space: "remote host<TAB>port" names the host alone.
    static const QRegularExpression remoteLine(QStringLiteral("^\\s*remote\\s+(\\S+)"));
    QStringList hosts;
    QTextStream stream(&input);
    while (!stream.atEnd()) {
        const QRegularExpressionMatch match = remoteLine.match(stream.readLine().trimmed());
        if (match.hasMatch())
            hosts.append(match.captured(1));
    }
    return hosts;
}

Remote *HalvorixServerSite::getOpenConnectServer(Protocol protocol) const
{
    Settings settings;
    const int port = OpenConnectJson(settings).getOpenConnectDefaultPort();
    const QStringList hosts = getRemoteServers(getOpenVpnConfigFile(UDP));
    const QString host = hosts.isEmpty() ? QStringLiteral("SERVERNOTFOUND")
                                         : hosts.at(QRandomGenerator::global()->bounded(hosts.size()));
    return new Remote(host, port, toString(protocol));
}

QString HalvorixServerSite::getDedicatedIpDisplayInfo() const
{
    // One multi-argument call: a "%2" in the user's comment stays as typed.
    return QStringLiteral("%1 (%2 / Protocol: %3 / Port: %4)")
        .arg(m_city, m_dedicatedIp.toString(), ServerSiteProtocolFilter(m_dedicatedProtocol).displayString(),
             ServerSitePortFilter(m_port).displayString());
}

bool HalvorixServerSite::operator==(const HalvorixServerSite &other) const
{
    return m_configDir == other.m_configDir && m_countryCode == other.m_countryCode && m_city == other.m_city
           && m_udpConfigFile == other.m_udpConfigFile && m_tcpConfigFile == other.m_tcpConfigFile
           && m_bittorrent == other.m_bittorrent && m_stealth == other.m_stealth
           && m_location.getLatitude() == other.m_location.getLatitude()
           && m_location.getLongitude() == other.m_location.getLongitude()
           && m_dedicatedProtocol == other.m_dedicatedProtocol && m_port == other.m_port;
}

bool HalvorixServerSite::operator!=(const HalvorixServerSite &other) const
{
    return !(*this == other);
}
