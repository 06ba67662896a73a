#include "backend/ConnectionTimerHandler.h"

#include "backend/VpnConnectionState.h"

ConnectionTimerHandler::ConnectionTimerHandler(VpnConnectionState& connectionState)
    : connectionState(connectionState)
    , startedAt(QDateTime::currentDateTime())
{
    stopWatch.reset();
    publish();
}

void ConnectionTimerHandler::onState(const OpenVpnGenericState& state)
{
    dispatch(state);
}

void ConnectionTimerHandler::on(const OpenVpnStateConnected&)
{
    ++connectionCount;
    stopWatch.start();
    connectedAt = QDateTime::currentDateTime();
    publish();
}

void ConnectionTimerHandler::leave()
{
    stopWatch.stop();
    connectionTime = stopWatch.elapsed();
    connectedAt = QDateTime();
    publish();
}

void ConnectionTimerHandler::publish()
{
    connectionState.updateConnectionTimes(connectionCount, startedAt, connectionTime, connectedAt);
}
