#pragma once
#include "core/ByteCount.h"
#include "core/ErrorMessage.h"
#include "core/PasswordRequestMessage.h"
#include "core/VpnConnectionState.h"
#include "core/VpnStartupProgress.h"
#include "core/VpnStartupResult.h"
#include "core/VpnTerminationReport.h"

// What the backend tells a user interface.
class VpnFrontend
{
public:
    virtual ~VpnFrontend() = default;

    virtual void onVpnStartupProgress(const VpnStartupProgress &progress) = 0;
    virtual void onVpnStartupResult(const VpnStartupResult &result) = 0;
    virtual void onUpdateState(const VpnConnectionState &state) = 0;
    virtual void onReceiveErrorMessage(const ErrorMessage &message) = 0;
    virtual void onReceiveFatalErrorMessage(const ErrorMessage &message) = 0;
    virtual void vpnTerminated(VpnTerminationReport report) = 0;
    // The user closed the notice of that event.
    virtual void onEventClosed(quint64 eventId) = 0;
    virtual void vpnPasswordRequest(const PasswordRequestMessage &request) = 0;
    virtual void onUpdateByteCount(ByteCount byteCount) = 0;
    virtual void onConnected() = 0;
    virtual void onNewConfigWasDownloaded() = 0;
    virtual void showFrontend() = 0;
    virtual void hideFrontend() = 0;
    virtual void toggleVisibility() = 0;
};
