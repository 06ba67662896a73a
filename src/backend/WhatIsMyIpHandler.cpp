#include "backend/WhatIsMyIpHandler.h"

#include "core/VpnStateTracker.h"
#include "websvc/WhatIsMyIp.h"

WhatIsMyIpHandler::WhatIsMyIpHandler(VpnStateTracker &stateTracker, WhatIsMyIp &whatIsMyIp)
    : m_stateTracker(stateTracker)
    , m_whatIsMyIp(whatIsMyIp)
{
    connect(&whatIsMyIp, &WhatIsMyIp::updateIp, this, &WhatIsMyIpHandler::onPublicIp, Qt::DirectConnection);
}

void WhatIsMyIpHandler::onOpenVpnStarted(QProcess &)
{
    m_stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onOpenVpnFailedToStart()
{
    m_stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onOpenVpnTerminated()
{
    m_stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onFatal(const QString &)
{
    m_stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onState(const OpenVpnGenericState &state)
{
    dispatch(state);
}

void WhatIsMyIpHandler::on(const OpenVpnStateConnected &)
{
    m_whatIsMyIp.queryMyIp();
}

void WhatIsMyIpHandler::on(const OpenVpnStateReconnecting &)
{
    m_stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::on(const OpenVpnStateExiting &)
{
    m_stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onPublicIp(VpnConnectionState::PublicIpDetectionState state, QHostAddress address, int attempt)
{
    m_stateTracker.updatedDetectedPublicIp(state, address, attempt);
}
