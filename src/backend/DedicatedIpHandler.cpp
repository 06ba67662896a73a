#include "backend/DedicatedIpHandler.h"

#include "backend/RemoteAnswer.h"
#include "core/IpPoolList.h"
#include "openvpn/AbstractVpnCommand.h"

DedicatedIpHandler::DedicatedIpHandler(IpPoolList &ipPools)
    : m_ipPools(ipPools)
{
}

void DedicatedIpHandler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    command.addRemote(m_ipPools.getIp());
    command.enableManagementQueryRemote();
}

void DedicatedIpHandler::onRemote(Remote &remote)
{
    RemoteAnswer::answerFromPools(m_ipPools, remote);
}
