#pragma once
#include "core/VpnProcess.h"

// No engine exists.
class NullVpnProcess : public VpnProcess
{
public:
    bool isStopped() override { return true; }
    void sendResultTo(VpnFrontend &) override {}
    void sendUpdatedStateTo(VpnFrontend &, VpnConnectionState &) override {}
    void sendUserNamePassword(const QString &, const QString &) override {}
    void stop() override {}
};
