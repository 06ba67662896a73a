#pragma once

#include "catalogue/OpenVpnConfigCipher.h"

#include <QList>
#include <QMetaType>
#include <QString>

// One port of a dedicated IP address, or any port (0).
class ServerSitePortFilter
{
public:
    static const QString ANYPORT;

    ServerSitePortFilter() = default;
    // Throws ServerSitePortFilterException for a port outside 0 to 65535.
    explicit ServerSitePortFilter(int port);

    int getPort() const;
    // "Any" for any port, else the port number.
    QString displayString() const;
    // Drops the offers on other ports; keeps all for any port.
    void filterConfigCiphers(QList<OpenVpnConfigCipher> &ciphers) const;
    bool supportsPort(int port) const;

    // "Any", then one filter per distinct port of the offers, ascending.
    static QList<ServerSitePortFilter> createPortFilterList(const QList<OpenVpnConfigCipher> &ciphers);

private:
    int m_port = 0;
};

Q_DECLARE_METATYPE(ServerSitePortFilter)
