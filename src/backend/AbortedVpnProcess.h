#pragma once
#include "core/VpnProcess.h"
#include "core/VpnStartupResult.h"

// The start-up failed or was aborted; only its result remains to be told.
class AbortedVpnProcess : public VpnProcess
{
public:
    explicit AbortedVpnProcess(VpnStartupResult result);

    bool isStopped() override;
    void sendResultTo(VpnFrontend &frontend) override;
    void sendUpdatedStateTo(VpnFrontend &, VpnConnectionState &) override;
    void sendUserNamePassword(const QString &, const QString &) override;
    void stop() override;

private:
    VpnStartupResult m_result;
};
