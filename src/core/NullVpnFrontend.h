#pragma once
#include "core/VpnFrontend.h"

// Ignores everything the backend reports; frontends that react to a few of
// its messages derive from it and override only those.
class NullVpnFrontend : public VpnFrontend
{
public:
    void onVpnStartupProgress(const VpnStartupProgress &) override {}
    void onVpnStartupResult(const VpnStartupResult &) override {}
    void onUpdateState(const VpnConnectionState &) override {}
    void onReceiveErrorMessage(const ErrorMessage &) override {}
    void onReceiveFatalErrorMessage(const ErrorMessage &) override {}
    void vpnTerminated(VpnTerminationReport) override {}
    void onEventClosed(quint64) override {}
    void vpnPasswordRequest(const PasswordRequestMessage &) override {}
    void onUpdateByteCount(ByteCount) override {}
    void onConnected() override {}
    void onNewConfigWasDownloaded() override {}
    void showFrontend() override {}
    void hideFrontend() override {}
    void toggleVisibility() override {}
};
