#pragma once

#include "core/NullHandler.h"

class VpnStateTracker;

// The tunnel handler of a connection without stunnel in front of the engine:
// it only passes every engine state on to the backend.
class NullTunnelHandler : public NullHandler
{
public:
    explicit NullTunnelHandler(VpnStateTracker &stateTracker);
    ~NullTunnelHandler() override;

    void onState(const OpenVpnGenericState &state) override;

private:
    VpnStateTracker &m_stateTracker;
};
