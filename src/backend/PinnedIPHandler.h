#pragma once
#include "core/NullHandler.h"

class IpPoolList;

// Asks the engine to query its remote and answers with the pools' choice,
// in which a pinned address has priority.
class PinnedIPHandler : public NullHandler
{
public:
    explicit PinnedIPHandler(IpPoolList &ipPools);

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onRemote(Remote &remote) override;

private:
    IpPoolList &m_ipPools;
};
