#pragma once
#include "backend/AddressListIpPool.h"

#include <QSharedPointer>

class DnsJson;

// The addresses of one host name in a DNS table (the configuration's dns.json
// or the local cache dns_local.json). Every shuffle reloads the table, so it
// sees the current contents of the file.
class DnsJsonIpPool : public AddressListIpPool
{
public:
    using Source = DnsJson (*)();

    DnsJsonIpPool(const QString &hostname, Source source);

    static QSharedPointer<IpPoolInterface> getLocalLookupIpPoolFromConfig(const QString &hostname);
    static QSharedPointer<IpPoolInterface> getLocalLookupIpPoolFromCache(const QString &hostname);

    void shuffleIps() override;
    virtual QString getHostname() const;

private:
    void resolveHostname();

    QString m_hostname;
    Source m_source;
};
