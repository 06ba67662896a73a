#include "backend/WhatIsMyIpHandler.h"

#include "backend/VpnStateTracker.h"
#include "websvc/WhatIsMyIp.h"

WhatIsMyIpHandler::WhatIsMyIpHandler(VpnStateTracker& stateTracker, WhatIsMyIp& whatIsMyIp)
    : stateTracker(stateTracker)
    , whatIsMyIp(whatIsMyIp)
{
    connect(&whatIsMyIp, &WhatIsMyIp::updateIp, this, &WhatIsMyIpHandler::onPublicIp, Qt::DirectConnection);
}

void WhatIsMyIpHandler::onOpenVpnStarted(QProcess&)
{
    stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onOpenVpnFailedToStart()
{
    stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onOpenVpnTerminated()
{
    stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onFatal(const QString&)
{
    stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onState(const OpenVpnGenericState& state)
{
    dispatch(state);
}

void WhatIsMyIpHandler::on(const OpenVpnStateConnected&)
{
    whatIsMyIp.queryMyIp();
}

void WhatIsMyIpHandler::on(const OpenVpnStateReconnecting&)
{
    stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::on(const OpenVpnStateExiting&)
{
    stateTracker.clearDetectedPublicIp();
}

void WhatIsMyIpHandler::onPublicIp(VpnConnectionState::PublicIpDetectionState state, QHostAddress address, int attempt)
{
    stateTracker.updatedDetectedPublicIp(state, address, attempt);
}
