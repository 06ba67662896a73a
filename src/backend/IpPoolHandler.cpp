#include "backend/IpPoolHandler.h"

#include "backend/IpPoolList.h"
#include "backend/RemoteAnswer.h"
#include "openvpn/AbstractVpnCommand.h"

IpPoolHandler::IpPoolHandler(IpPoolList& ipPools)
    : ipPools(ipPools)
{
}

void IpPoolHandler::onOpenVpnPrepareArguments(AbstractVpnCommand& command)
{
    command.enableManagementQueryRemote();
}

void IpPoolHandler::onOpenVpnFailedToStart()
{
    ipPools.clear();
}

void IpPoolHandler::onOpenVpnTerminated()
{
    ipPools.clear();
}

void IpPoolHandler::onState(const OpenVpnGenericState& state)
{
    dispatch(state);
}

void IpPoolHandler::onRemote(Remote& remote)
{
    RemoteAnswer::answerFromPools(ipPools, remote);
}

void IpPoolHandler::on(const OpenVpnStateConnected&)
{
    reconnectCount = 0;
}

void IpPoolHandler::on(const OpenVpnStateReconnecting&)
{
    const int previous = reconnectCount++;
    if (previous >= RECONNECTS_BEFORE_RESHUFFLE)
        ipPools.shuffleIps();
}
