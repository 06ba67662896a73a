#include "backend/ConnectionTimerHandler.h"

#include "core/VpnConnectionState.h"

ConnectionTimerHandler::ConnectionTimerHandler(VpnConnectionState &connectionState)
    : m_connectionState(connectionState)
    , m_startedAt(QDateTime::currentDateTime())
{
    m_stopWatch.reset();
    publish();
}

void ConnectionTimerHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void ConnectionTimerHandler::on(const OpenVpnStateConnected &)
{
    ++m_connectionCount;
    m_stopWatch.start();
    m_connectedAt = QDateTime::currentDateTime();
    publish();
}

void ConnectionTimerHandler::leave()
{
    m_stopWatch.stop();
    m_connectionTime = m_stopWatch.elapsed();
    m_connectedAt = QDateTime();
    publish();
}

void ConnectionTimerHandler::publish()
{
    m_connectionState.updateConnectionTimes(m_connectionCount, m_startedAt, m_connectionTime, m_connectedAt);
}
