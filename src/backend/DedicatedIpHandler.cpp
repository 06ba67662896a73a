#include "backend/DedicatedIpHandler.h"

#include "backend/IpPoolList.h"
#include "backend/RemoteAnswer.h"
#include "openvpn/AbstractVpnCommand.h"

DedicatedIpHandler::DedicatedIpHandler(IpPoolList& ipPools)
    : ipPools(ipPools)
{
}

void DedicatedIpHandler::onOpenVpnPrepareArguments(AbstractVpnCommand& command)
{
    command.addRemote(ipPools.getIp());
    command.enableManagementQueryRemote();
}

void DedicatedIpHandler::onRemote(Remote& remote)
{
    RemoteAnswer::answerFromPools(ipPools, remote);
}
