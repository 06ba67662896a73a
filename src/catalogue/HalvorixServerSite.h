#pragma once

#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/OpenVpnConfigCipher.h"
#include "core/GeoLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

class ConnectVia;
class ServerSitePortFilter;
class Settings;
class ServerSiteProtocolFilter;

// One server site of the catalogue: a place (country and city) or a user's
// dedicated IP address, its OpenVPN files, its cipher offers, its map
// position and the user's pin of one server address. A plain value.
class Remote;

class HalvorixServerSite
{
public:
    enum Protocol { UDP = 0, TCP = 1 };

    HalvorixServerSite() = default;
    // The stealth flag comes before the bittorrent flag here.
    HalvorixServerSite(const QString &countryCode, const QString &city, const QString &udpConfigFile,
                       const QString &tcpConfigFile, bool stealth, bool bittorrent, const QDir &configDir,
                       const QList<OpenVpnConfigCipher> &ciphers, const QHostAddress &dedicatedIp,
                       const GeoLocation &location, const QString &dedicatedProtocol, int port);

    // A catalogue site, its pin already read from the preferences.
    static HalvorixServerSite publicServerSite(const QString &countryCode, const QString &city,
                                               const QString &udpConfigFile, const QString &tcpConfigFile, bool stealth,
                                               bool bittorrent, const QDir &configDir,
                                               const QList<OpenVpnConfigCipher> &ciphers, const GeoLocation &location,
                                               Settings &settings);
    // The site of a user's dedicated address: the configuration's default
    // offers that pass both filters, the dedicated OpenVPN files (".off" for
    // an excluded protocol) and the location of the country. No pin.
    static HalvorixServerSite dedicatedServerSite(const QString &countryCode, const QString &comment,
                                                  const QHostAddress &address, const QDir &configDir,
                                                  const ServerSiteProtocolFilter &protocolFilter,
                                                  const ServerSitePortFilter &portFilter);

    // "UDP" or "TCP"; anything else is logged and taken as UDP.
    static QString toString(Protocol protocol);
    // Case-insensitive; anything else is logged and taken as UDP.
    static Protocol fromString(const QString &text);

    // Country "-" city, or country "-" dedicated address for a dedicated site.
    QString getId() const;

    // Reloads the pinned address and its flag from the preferences.
    void refresh(Settings &settings);

    QDir getConfigDir() const;
    QString getCountryCode() const;
    QString getCity() const;
    QString getUdpConfigFile() const;
    QString getTcpConfigFile() const;
    bool isBittorrent() const;
    bool isStealth() const;
    QList<OpenVpnConfigCipher> getConfigCiphers() const;
    QHostAddress getPinnedIp() const;
    bool isPinned() const;
    QHostAddress getDedicatedIp() const;
    GeoLocation getLocation() const;
    QString getDedicatedProtocol() const;
    int getPort() const;

    // The offers of one protocol, in stored order.
    QList<OpenVpnConfigCipher> supportedCiphers(Protocol protocol) const;
    QList<OpenVpnConfigCipher> supportedCiphers(const ConnectVia &connectVia) const;
    // The first offer of the protocol on that port with that digest; invalid when none.
    OpenVpnConfigCipher getCipherByProtocolPortAuth(Protocol protocol, int port, const QString &auth) const;
    // The matching offer as a backend cipher when it accepts the cipher name; invalid otherwise.
    BackendOpenVPNConfigCipher getBackendCipher(Protocol protocol, const QString &cipherName, int port,
                                                const QString &auth) const;
    // The first flagged default, else the hard-coded default, else the first offer.
    OpenVpnConfigCipher getDefaultCipherFor(Protocol protocol) const;
    bool supportStealthCipher() const;
    QList<OpenVpnConfigCipher> getCipherListByProtocolPorts(Protocol protocol, const QList<int> &ports) const;

    // The site's OpenVPN file for the protocol; the file is not opened.
    QFileInfo getOpenVpnConfigFile(Protocol protocol) const;
    // The hosts named on the "remote" lines of an OpenVPN file, in file order.
    QStringList getRemoteServers(const QFileInfo &file) const;
    // The server an OpenConnect connection contacts: a host drawn from the "remote"
    // lines of the site's UDP file (whatever the protocol), the OpenConnect default
    // port, and the protocol's text; "SERVERNOTFOUND" when there is none. The caller
    // owns the result.
    Remote *getOpenConnectServer(Protocol protocol) const;
    // "comment (address / Protocol: p / Port: n)" for the dedicated-IP list.
    QString getDedicatedIpDisplayInfo() const;

    // Offers, pin, dedicated address and the location's country code take no part.
    bool operator==(const HalvorixServerSite &other) const;
    bool operator!=(const HalvorixServerSite &other) const;

private:
    QDir m_configDir;
    QString m_countryCode;
    QString m_city;
    QString m_udpConfigFile;
    QString m_tcpConfigFile;
    bool m_bittorrent = false;
    bool m_stealth = false;
    QList<OpenVpnConfigCipher> m_ciphers;
    QHostAddress m_pinnedIp;
    bool m_pinned = false;
    QHostAddress m_dedicatedIp;
    GeoLocation m_location;
    QString m_dedicatedProtocol;
    int m_port = 0;
};

Q_DECLARE_METATYPE(HalvorixServerSite)
Q_DECLARE_METATYPE(QList<HalvorixServerSite>)
