#pragma once
#include "core/OpenVpnGenericState.h"

// One operation per engine state. A handler calls dispatch() from its own
// onState() to reach the operation of the state it was given.
class OpenVpnStateHandler
{
public:
    virtual void on(const OpenVpnStateConnecting &state) = 0;
    virtual void on(const OpenVpnStateTcpConnect &state) = 0;
    virtual void on(const OpenVpnStateWait &state) = 0;
    virtual void on(const OpenVpnStateResolve &state) = 0;
    virtual void on(const OpenVpnStateAuth &state) = 0;
    virtual void on(const OpenVpnStateGetConfig &state) = 0;
    virtual void on(const OpenVpnStateAssignIp &state) = 0;
    virtual void on(const OpenVpnStateAddRoutes &state) = 0;
    virtual void on(const OpenVpnStateConnected &state) = 0;
    virtual void on(const OpenVpnStateReconnecting &state) = 0;
    virtual void on(const OpenVpnStateExiting &state) = 0;
    virtual void on(const OpenVpnStateUnknown &state) = 0;

    // Values outside the known range reach no operation.
    void dispatch(const OpenVpnGenericState &state);

protected:
    // Never owned or deleted through this interface.
    ~OpenVpnStateHandler() = default;
};
