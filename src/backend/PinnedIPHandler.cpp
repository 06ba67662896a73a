#include "backend/PinnedIPHandler.h"

#include "backend/RemoteAnswer.h"
#include "core/IpPoolList.h"
#include "openvpn/AbstractVpnCommand.h"

PinnedIPHandler::PinnedIPHandler(IpPoolList &ipPools)
    : m_ipPools(ipPools)
{
}

void PinnedIPHandler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    command.enableManagementQueryRemote();
}

void PinnedIPHandler::onRemote(Remote &remote)
{
    RemoteAnswer::answerFromPools(m_ipPools, remote);
}
