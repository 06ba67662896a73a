#pragma once
#include "core/IpPoolList.h"

// A pool list whose shuffle also puts its members in a random order, so that
// equal-priority servers share the load.
class ShuffleIpPoolList : public IpPoolList
{
public:
    void shuffleIps() override;
    QString toString() const override;
};
