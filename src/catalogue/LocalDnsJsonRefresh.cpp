#include "catalogue/LocalDnsJsonRefresh.h"

#include "catalogue/CatalogueLogging.h"
#include "core/IpPoolInterface.h"

#include <QDebug>
#include <QMetaEnum>

LocalDnsJsonRefresh::LocalDnsJsonRefresh(const QStringList &hostNames, bool stamp, QObject *parent)
    : QObject(parent)
    , m_table(DnsJson::getLocalDnsCache())
    , m_hostNames(hostNames)
    , m_listSize(hostNames.size())
    , m_stamp(stamp)
{
    // A records, not ANY: resolvers answer ANY with a refusal or a stub record
    // (RFC 8482), which would empty the cache.
    m_lookup.setType(QDnsLookup::A);
    connect(&m_lookup, &QDnsLookup::finished, this, &LocalDnsJsonRefresh::onHostLookedUp);
}

void LocalDnsJsonRefresh::doNextLookUpIfNeeded()
{
    if (m_next >= m_hostNames.size()) {
        if (m_stamp)
            m_table.updateLastModifiedTimestamp();
        m_table.saveToLocalCache();
        emit dnslookupfinished();
        return;
    }
    m_currentHostname = m_hostNames.at(m_next++);
    ++m_currentIndex;
    emit lookingUpHostname(m_currentHostname, m_currentIndex, m_listSize);
    doLookUp();
}

void LocalDnsJsonRefresh::doLookUp()
{
    if (m_stop)
        return;
    qCDebug(lcCatalogue) << "LocalDnsJsonRefresh: look up Ips for hostname: " << m_currentHostname;
    m_lookup.setName(m_currentHostname);
    if (!m_currentHostname.isEmpty() && QHostAddress(m_currentHostname).isNull()) {
        if (!isLookingUp())
            m_lookup.lookup();
        m_started = true;
        return;
    }
    qCDebug(lcCatalogue) << "LocalDnsJsonRefresh: no look up is needed for: " << m_currentHostname;
    doNextLookUpIfNeeded();
}

void LocalDnsJsonRefresh::onHostLookedUp()
{
    if (m_lookup.error() != QDnsLookup::NoError) {
        qCDebug(lcCatalogue) << "LocalDnsJsonRefresh Warning: DNS Lookup failed for: " << m_currentHostname
                             << " errorStr: " << m_lookup.errorString() << " error code: "
                             << QMetaEnum::fromType<QDnsLookup::Error>().valueToKey(m_lookup.error());
    } else {
        qCDebug(lcCatalogue) << "LocalDnsJsonRefresh: look up done for: " << m_currentHostname;
        m_table.updateDnsList(m_currentHostname, addressesOfCurrentHost());
    }
    doNextLookUpIfNeeded();
}

QList<QHostAddress> LocalDnsJsonRefresh::addressesOfCurrentHost() const
{
    QList<QHostAddress> kept;
    for (const QDnsHostAddressRecord &record : m_lookup.hostAddressRecords()) {
        const QHostAddress address = record.value();
        if (record.name().compare(m_currentHostname, Qt::CaseInsensitive) == 0
            && address.protocol() == QAbstractSocket::IPv4Protocol && IpPoolInterface::isValidIpAddress(address))
            kept.append(address);
        else
            qCDebug(lcCatalogue) << "Ignoring additional record for hostname: " << record.name()
                                 << " IP: " << address.toString();
    }
    return kept;
}
