#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigCipher.h"

#include <QDir>
#include <QHostAddress>
#include <QStringList>

// Small builders for offers and sites shared by the catalogue tests.
namespace fixtures {

struct OfferFields
{
    QString protocol = QStringLiteral("UDP");
    int port = 1194;
    QStringList ciphers {QStringLiteral("AES-128-GCM")};
    QString auth;
    bool isDefault = false;
    QString scrambleMethod;
    int stunnelPort = 0;
    QString cipher = QStringLiteral("AES-128-GCM");
    QString tlsCrypt;
    QString tlsKey;
};

inline OpenVpnConfigCipher offer(const OfferFields &fields)
{
    return OpenVpnConfigCipher(fields.cipher, fields.ciphers, fields.protocol, fields.port, fields.auth,
                               fields.tlsCrypt, fields.tlsKey, fields.isDefault, fields.scrambleMethod, QString(),
                               fields.stunnelPort);
}

inline OpenVpnConfigCipher offer(const QString &protocol, int port, const QString &auth = QString(),
                                 const QStringList &ciphers = {QStringLiteral("AES-128-GCM")})
{
    OfferFields fields;
    fields.protocol = protocol;
    fields.port = port;
    fields.auth = auth;
    fields.ciphers = ciphers;
    return offer(fields);
}

inline OpenVpnConfigCipher stealthOffer(const QString &protocol, int port)
{
    OfferFields fields;
    fields.protocol = protocol;
    fields.port = port;
    fields.scrambleMethod = QStringLiteral("xormask");
    return offer(fields);
}

inline HalvorixServerSite site(const QString &country, const QString &city,
                               const QList<OpenVpnConfigCipher> &ciphers = {}, bool stealth = false,
                               const GeoLocation &location = GeoLocation(),
                               const QDir &dir = QDir(QStringLiteral("/tmp")))
{
    return HalvorixServerSite(country, city, city + QStringLiteral("-udp.conf"), city + QStringLiteral("-tcp.conf"),
                              stealth, false, dir, ciphers, QHostAddress(), location, QString(), 0);
}

} // namespace fixtures
