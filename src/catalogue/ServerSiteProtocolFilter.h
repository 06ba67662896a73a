#pragma once

#include "catalogue/OpenVpnConfigCipher.h"

#include <QList>
#include <QMetaType>
#include <QString>

// The protocol of a dedicated IP address: "UDP", "TCP", or any (empty).
class ServerSiteProtocolFilter
{
public:
    static const QString ANYPROTOCOL;

    ServerSiteProtocolFilter() = default;
    // The empty text is any protocol; other texts become "UDP" or "TCP"
    // (an unknown text is logged and taken as UDP).
    explicit ServerSiteProtocolFilter(const QString &protocol);

    // "UDP", "TCP", or empty for any protocol.
    QString getProtocol() const;
    // "Any" for any protocol, else the protocol.
    QString displayString() const;
    // Drops the offers of other protocols; keeps all for any protocol.
    void filterConfigCiphers(QList<OpenVpnConfigCipher> &ciphers) const;
    bool supportsProtocol(const QString &protocol) const;

    // "Any", then one filter per distinct protocol of the offers, in order of appearance.
    static QList<ServerSiteProtocolFilter> createProtocolFilterList(const QList<OpenVpnConfigCipher> &ciphers);

private:
    QString m_protocol;
};

Q_DECLARE_METATYPE(ServerSiteProtocolFilter)
