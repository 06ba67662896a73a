#include "backend/NullTunnelHandler.h"

#include "backend/BackendLogging.h"
#include "core/OpenVpnGenericState.h"
#include "core/VpnStateTracker.h"

#include <QDebug>

NullTunnelHandler::NullTunnelHandler(VpnStateTracker &stateTracker)
    : m_stateTracker(stateTracker)
{
    qCDebug(lcBackend) << "NullTunnelHandler::NullTunnelHandler(VpnStateTracker &)";
}

NullTunnelHandler::~NullTunnelHandler()
{
    qCDebug(lcBackend) << "virtual NullTunnelHandler::~NullTunnelHandler()";
}

void NullTunnelHandler::onState(const OpenVpnGenericState &state)
{
    m_stateTracker.updateState(state.name, state.cause, state.localIp, state.remoteIp);
}
