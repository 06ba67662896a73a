#include "core/OpenVpnStateHandler.h"

// Each operation gets a value of its own per-state type, built from the
// generic one, so that a plain OpenVpnGenericState is never read as a subtype.
void OpenVpnStateHandler::dispatch(const OpenVpnGenericState &state)
{
    switch (state.state) {
    case OpenVpnState::CONNECTING: on(OpenVpnStateConnecting(state)); break;
    case OpenVpnState::TCP_CONNECT: on(OpenVpnStateTcpConnect(state)); break;
    case OpenVpnState::RESOLVE: on(OpenVpnStateResolve(state)); break;
    case OpenVpnState::WAIT: on(OpenVpnStateWait(state)); break;
    case OpenVpnState::AUTH: on(OpenVpnStateAuth(state)); break;
    case OpenVpnState::GET_CONFIG: on(OpenVpnStateGetConfig(state)); break;
    case OpenVpnState::ASSIGN_IP: on(OpenVpnStateAssignIp(state)); break;
    case OpenVpnState::ADD_ROUTES: on(OpenVpnStateAddRoutes(state)); break;
    case OpenVpnState::CONNECTED: on(OpenVpnStateConnected(state)); break;
    case OpenVpnState::RECONNECTING: on(OpenVpnStateReconnecting(state)); break;
    case OpenVpnState::EXITING: on(OpenVpnStateExiting(state)); break;
    case OpenVpnState::UNKNOWN: on(OpenVpnStateUnknown(state)); break;
    }
}
