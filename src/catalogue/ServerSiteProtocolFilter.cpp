#include "catalogue/ServerSiteProtocolFilter.h"

#include "catalogue/HalvorixServerSite.h"

#include <QStringList>

#include <algorithm>

const QString ServerSiteProtocolFilter::ANYPROTOCOL = QStringLiteral("Any");

namespace {
[[maybe_unused]] const int protocolFilterMetaType =
    qRegisterMetaType<ServerSiteProtocolFilter>("ServerSiteProtocolFilter");
}

ServerSiteProtocolFilter::ServerSiteProtocolFilter(const QString &protocol)
{
    if (!protocol.isEmpty())
        m_protocol = HalvorixServerSite::toString(HalvorixServerSite::fromString(protocol));
}

QString ServerSiteProtocolFilter::getProtocol() const
{
    return m_protocol;
}

QString ServerSiteProtocolFilter::displayString() const
{
    return m_protocol.isEmpty() ? ANYPROTOCOL : m_protocol;
}

void ServerSiteProtocolFilter::filterConfigCiphers(QList<OpenVpnConfigCipher> &ciphers) const
{
    if (m_protocol.isEmpty())
        return;
    ciphers.erase(
        std::remove_if(ciphers.begin(), ciphers.end(),
                       [this](const OpenVpnConfigCipher &cipher) { return cipher.getProtocol() != m_protocol; }),
        ciphers.end());
}

bool ServerSiteProtocolFilter::supportsProtocol(const QString &protocol) const
{
    return m_protocol.isEmpty() || protocol == m_protocol;
}

QList<ServerSiteProtocolFilter>
ServerSiteProtocolFilter::createProtocolFilterList(const QList<OpenVpnConfigCipher> &ciphers)
{
    QStringList protocols;
    for (const OpenVpnConfigCipher &cipher : ciphers) {
        if (!protocols.contains(cipher.getProtocol()))
            protocols.append(cipher.getProtocol());
    }
    QList<ServerSiteProtocolFilter> filters {ServerSiteProtocolFilter()};
    for (const QString &protocol : protocols)
        filters.append(ServerSiteProtocolFilter(protocol));
    return filters;
}
