#pragma once
#include "backend/AddressListIpPool.h"

// The literal addresses of a site's configuration file.
class StaticIpPool : public AddressListIpPool
{
public:
    explicit StaticIpPool(const QList<QHostAddress> &addresses);

    void shuffleIps() override;
};
