#include "core/OpenVpnGenericState.h"

namespace {

struct StateName
{
    OpenVpnState state;
    const char *name;
};

const StateName KNOWN_STATES[] = {
    {OpenVpnState::CONNECTING, "CONNECTING"},
    {OpenVpnState::TCP_CONNECT, "TCP_CONNECT"},
    {OpenVpnState::RESOLVE, "RESOLVE"},
    {OpenVpnState::WAIT, "WAIT"},
    {OpenVpnState::AUTH, "AUTH"},
    {OpenVpnState::GET_CONFIG, "GET_CONFIG"},
    {OpenVpnState::ASSIGN_IP, "ASSIGN_IP"},
    {OpenVpnState::ADD_ROUTES, "ADD_ROUTES"},
    {OpenVpnState::CONNECTED, "CONNECTED"},
    {OpenVpnState::RECONNECTING, "RECONNECTING"},
    {OpenVpnState::EXITING, "EXITING"},
};

} // namespace

OpenVpnGenericState::OpenVpnGenericState(const QString &name, OpenVpnState state)
    : name(name)
    , state(state)
{
}

QString OpenVpnGenericState::nameOf(OpenVpnState state)
{
    for (const StateName &known : KNOWN_STATES) {
        if (known.state == state)
            return QString::fromLatin1(known.name);
    }
    return QString();
}

OpenVpnGenericState OpenVpnGenericState::fromStateLine(const QString &name, const QString &cause,
                                                       const QString &localIp, const QString &remoteIp)
{
    for (const StateName &known : KNOWN_STATES) {
        if (name != QLatin1String(known.name))
            continue;
        switch (known.state) {
        case OpenVpnState::ASSIGN_IP: return OpenVpnStateAssignIp(localIp);
        case OpenVpnState::CONNECTED: return OpenVpnStateConnected(cause, localIp, remoteIp);
        case OpenVpnState::RECONNECTING: return OpenVpnStateReconnecting(cause);
        default: return OpenVpnGenericState(name, known.state);
        }
    }
    OpenVpnGenericState unknown(name, OpenVpnState::UNKNOWN);
    unknown.cause = cause;
    unknown.localIp = localIp;
    unknown.remoteIp = remoteIp;
    return unknown;
}
