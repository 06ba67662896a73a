#pragma once

#include "backend/VpnFrontend.h"

class QNetworkAccessManager;
class VpnBackend;
class WhatIsMyLocation;

// The frontend without a window, attached for the whole GUI run: it logs
// every backend message, knows whether a connection runs, runs the user's
// after-connect and after-disconnect scripts, empties the HTTP access cache
// when a connection comes or goes, and steers the location look-up. It never
// answers the backend.
class DaemonVpnFrontend : public VpnFrontend
{
public:
    DaemonVpnFrontend(QNetworkAccessManager* networkAccessManager, VpnBackend& backend,
                      WhatIsMyLocation& whatIsMyLocation);

    bool isRunning() const { return running; }

    void onVpnStartupProgress(const VpnStartupProgress& progress) override;
    void onVpnStartupResult(const VpnStartupResult& result) override;
    void onUpdateState(const VpnConnectionState& state) override;
    void onReceiveErrorMessage(const ErrorMessage& message) override;
    void onReceiveFatalErrorMessage(const ErrorMessage& message) override;
    void vpnTerminated(VpnTerminationReport report) override;
    void onEventClosed(quint64 eventId) override;
    void vpnPasswordRequest(const PasswordRequestMessage& request) override;
    void onUpdateByteCount(ByteCount byteCount) override;
    void onConnected() override;
    void onNewConfigWasDownloaded() override;
    void showFrontend() override {}
    void hideFrontend() override {}
    void toggleVisibility() override {}

private:
    void runScript(bool switchedOn, const QString& displayName, const QString& program);

    QNetworkAccessManager* networkAccessManager;
    VpnBackend* backend;
    WhatIsMyLocation* whatIsMyLocation;
    bool running = false;
};
