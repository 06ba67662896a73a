#include "catalogue/ServerSitePortFilter.h"

#include "catalogue/CatalogueLogging.h"
#include "catalogue/ServerSitePortFilterException.h"

#include <QDebug>

#include <algorithm>

const QString ServerSitePortFilter::ANYPORT = QStringLiteral("Any");

namespace {
[[maybe_unused]] const int portFilterMetaType = qRegisterMetaType<ServerSitePortFilter>("ServerSitePortFilter");
}

ServerSitePortFilter::ServerSitePortFilter(int port)
    : m_port(port)
{
    if (port < 0 || port > 65535)
        throw ServerSitePortFilterException(QStringLiteral("Wrong port detected: ") + QString::number(port));
}

int ServerSitePortFilter::getPort() const
{
    return m_port;
}

QString ServerSitePortFilter::displayString() const
{
    return m_port == 0 ? ANYPORT : QString::number(m_port);
}

void ServerSitePortFilter::filterConfigCiphers(QList<OpenVpnConfigCipher> &ciphers) const
{
    if (m_port == 0)
        return;
    ciphers.erase(std::remove_if(ciphers.begin(), ciphers.end(),
                                 [this](const OpenVpnConfigCipher &cipher) { return cipher.getPort() != m_port; }),
                  ciphers.end());
}

bool ServerSitePortFilter::supportsPort(int port) const
{
    return m_port == 0 || m_port == port;
}

QList<ServerSitePortFilter> ServerSitePortFilter::createPortFilterList(const QList<OpenVpnConfigCipher> &ciphers)
{
    QList<int> ports;
    for (const OpenVpnConfigCipher &cipher : ciphers) {
        if (!ports.contains(cipher.getPort()))
            ports.append(cipher.getPort());
    }
    std::sort(ports.begin(), ports.end());

    QList<ServerSitePortFilter> filters {ServerSitePortFilter()};
    for (int port : ports) {
        try {
            filters.append(ServerSitePortFilter(port));
        } catch (const ServerSitePortFilterException &e) {
            qCDebug(lcCatalogue) << "ServerSitePortFilter could not be created: " << e.getMessage();
        }
    }
    return filters;
}
