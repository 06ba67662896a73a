#pragma once
#include "backend/DnsJsonIpPool.h"

// A host name's addresses in the local DNS cache dns_local.json.
class DnsJsonCacheIpPool : public DnsJsonIpPool
{
public:
    explicit DnsJsonCacheIpPool(const QString &hostname);

    QString toString() const override;
};
