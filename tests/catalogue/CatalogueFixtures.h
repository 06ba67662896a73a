#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigCipher.h"

#include <QDir>
#include <QHostAddress>
#include <QStringList>

// Small builders for offers and sites shared by the catalogue tests.
namespace fixtures {

struct OfferSpec
{
    QString protocol = QStringLiteral("UDP");
    int port = 1194;
    QStringList ciphers { QStringLiteral("AES-128-GCM") };
    QString auth;
    bool isDefault = false;
    QString scrambleMethod;
    int stunnelPort = 0;
    QString cipher = QStringLiteral("AES-128-GCM");
    QString tlsCrypt;
    QString tlsKey;
};

inline OpenVpnConfigCipher offer(const OfferSpec& spec)
{
    return OpenVpnConfigCipher(spec.cipher, spec.ciphers, spec.protocol, spec.port, spec.auth, spec.tlsCrypt,
                               spec.tlsKey, spec.isDefault, spec.scrambleMethod, QString(), spec.stunnelPort);
}

inline OpenVpnConfigCipher offer(const QString& protocol, int port, const QString& auth = QString(),
                                 const QStringList& ciphers = { QStringLiteral("AES-128-GCM") })
{
    OfferSpec spec;
    spec.protocol = protocol;
    spec.port = port;
    spec.auth = auth;
    spec.ciphers = ciphers;
    return offer(spec);
}

inline OpenVpnConfigCipher stealthOffer(const QString& protocol, int port)
{
    OfferSpec spec;
    spec.protocol = protocol;
    spec.port = port;
    spec.scrambleMethod = QStringLiteral("xormask");
    return offer(spec);
}

inline HalvorixServerSite site(const QString& country, const QString& city,
                               const QList<OpenVpnConfigCipher>& ciphers = {}, bool stealth = false,
                               const GeoLocation& location = GeoLocation(), const QDir& dir = QDir(QStringLiteral("/tmp")))
{
    return HalvorixServerSite(country, city, city + QStringLiteral("-udp.conf"), city + QStringLiteral("-tcp.conf"),
                              stealth, false, dir, ciphers, QHostAddress(), location, QString(), 0);
}

}
