#include "backend/NullTunnelHandler.h"

#include "core/OpenVpnGenericState.h"
#include "core/VpnStateTracker.h"

#include <QDebug>

NullTunnelHandler::NullTunnelHandler(VpnStateTracker &stateTracker)
    : m_stateTracker(stateTracker)
{
    qDebug() << "NullTunnelHandler::NullTunnelHandler(VpnStateTracker &)";
}

NullTunnelHandler::~NullTunnelHandler()
{
    qDebug() << "virtual NullTunnelHandler::~NullTunnelHandler()";
}

void NullTunnelHandler::onState(const OpenVpnGenericState &state)
{
    m_stateTracker.updateState(state.name, state.cause, state.localIp, state.remoteIp);
}
