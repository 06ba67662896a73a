#pragma once
#include "core/VpnProcess.h"

// A start-up pipeline is running. Stopping goes through the pipeline's abort
// flag instead, and state updates of the half-started engine stay hidden.
class StartingVpnProcess : public VpnProcess
{
public:
    bool isStopped() override { return false; }
    void sendResultTo(VpnFrontend &) override {}
    void sendUpdatedStateTo(VpnFrontend &, VpnConnectionState &) override {}
    void sendUserNamePassword(const QString &, const QString &) override {}
    void stop() override {}
};
