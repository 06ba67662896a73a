#include "backend/IpPoolHandler.h"

#include "backend/RemoteAnswer.h"
#include "core/IpPoolList.h"
#include "openvpn/AbstractVpnCommand.h"

IpPoolHandler::IpPoolHandler(IpPoolList &ipPools)
    : m_ipPools(ipPools)
{
}

void IpPoolHandler::onOpenVpnPrepareArguments(AbstractVpnCommand &command)
{
    command.enableManagementQueryRemote();
}

void IpPoolHandler::onOpenVpnFailedToStart()
{
    m_ipPools.clear();
}

void IpPoolHandler::onOpenVpnTerminated()
{
    m_ipPools.clear();
}

void IpPoolHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void IpPoolHandler::onRemote(Remote &remote)
{
    RemoteAnswer::answerFromPools(m_ipPools, remote);
}

void IpPoolHandler::on(const OpenVpnStateConnected &)
{
    m_reconnectCount = 0;
}

void IpPoolHandler::on(const OpenVpnStateReconnecting &)
{
    const int previous = m_reconnectCount++;
    if (previous >= RECONNECTS_BEFORE_RESHUFFLE)
        m_ipPools.shuffleIps();
}
