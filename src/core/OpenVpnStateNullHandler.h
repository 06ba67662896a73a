#pragma once
#include "core/OpenVpnStateHandler.h"

// Ignores every state. A handler that wants per-state operations derives from
// NullHandler and this class, forwards onState() to dispatch() and overrides
// only the states it cares about.
class OpenVpnStateNullHandler : protected OpenVpnStateHandler
{
protected:
    void on(const OpenVpnStateConnecting &) override {}
    void on(const OpenVpnStateTcpConnect &) override {}
    void on(const OpenVpnStateWait &) override {}
    void on(const OpenVpnStateResolve &) override {}
    void on(const OpenVpnStateAuth &) override {}
    void on(const OpenVpnStateGetConfig &) override {}
    void on(const OpenVpnStateAssignIp &) override {}
    void on(const OpenVpnStateAddRoutes &) override {}
    void on(const OpenVpnStateConnected &) override {}
    void on(const OpenVpnStateReconnecting &) override {}
    void on(const OpenVpnStateExiting &) override {}
    void on(const OpenVpnStateUnknown &) override {}

    ~OpenVpnStateNullHandler() = default;
};
