#include "backend/LocalDnsJsonRefreshHandler.h"

#include "catalogue/HalvorixConfig.h"

LocalDnsJsonRefreshHandler::LocalDnsJsonRefreshHandler()
    : LocalDnsJsonRefreshHandler(HalvorixConfig::getHostNamesFromHalvorixServerSites())
{
}

LocalDnsJsonRefreshHandler::LocalDnsJsonRefreshHandler(const QStringList &hostNames)
{
    m_scheduler.setHostNames(hostNames);
}

void LocalDnsJsonRefreshHandler::onOpenVpnFailedToStart()
{
    stop();
}

void LocalDnsJsonRefreshHandler::onOpenVpnTerminated()
{
    stop();
}

void LocalDnsJsonRefreshHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void LocalDnsJsonRefreshHandler::on(const OpenVpnStateConnected &)
{
    // Reschedules rather than stacks when the tunnel comes up again.
    m_scheduler.startRefreshing();
}

void LocalDnsJsonRefreshHandler::on(const OpenVpnStateReconnecting &)
{
    stop();
}

void LocalDnsJsonRefreshHandler::on(const OpenVpnStateExiting &)
{
    stop();
}

void LocalDnsJsonRefreshHandler::stop()
{
    // Also withdraws a first refresh that is still only scheduled.
    m_scheduler.stopRefreshing();
}
