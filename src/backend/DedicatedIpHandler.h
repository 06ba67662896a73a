#pragma once
#include "core/NullHandler.h"

class IpPoolList;

// For a site with a dedicated address: puts it on the engine's command line
// as a remote and answers every remote query with the pools' choice.
class DedicatedIpHandler : public NullHandler
{
public:
    explicit DedicatedIpHandler(IpPoolList &ipPools);

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onRemote(Remote &remote) override;

private:
    IpPoolList &m_ipPools;
};
