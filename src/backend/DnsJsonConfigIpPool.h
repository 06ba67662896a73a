#pragma once
#include "backend/DnsJsonIpPool.h"

// A host name's addresses in the configuration's dns.json.
class DnsJsonConfigIpPool : public DnsJsonIpPool
{
public:
    explicit DnsJsonConfigIpPool(const QString &hostname);

    QString toString() const override;
};
