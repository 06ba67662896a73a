#pragma once

#include "core/VpnFrontend.h"

#include <QObject>

class QNetworkAccessManager;
class VpnBackend;
class WhatIsMyLocation;

// The frontend without a window, attached for the whole GUI run: it logs
// every backend message, knows whether a connection runs, runs the user's
// after-connect and after-disconnect scripts, empties the HTTP access cache
// when a connection comes or goes, and steers the location look-up. It never
// answers the backend.
//
// It also follows the run's phase for the run mode's quit: a start-up is
// active from its first progress message to its result; a started engine
// runs until its termination report. runEnded() tells when either ends.
class DaemonVpnFrontend : public QObject, public VpnFrontend
{
    Q_OBJECT

public:
    DaemonVpnFrontend(QNetworkAccessManager *networkAccessManager, VpnBackend &backend,
                      WhatIsMyLocation &whatIsMyLocation);

    // An engine was started and has not reported its end.
    bool isRunning() const { return m_running; }
    // A start-up's pipeline runs: it has not yet given its result.
    bool isStarting() const { return m_starting; }
    // Something a quit must stop or abort.
    bool isActive() const { return m_running || m_starting; }

    void onVpnStartupProgress(const VpnStartupProgress &progress) override;
    void onVpnStartupResult(const VpnStartupResult &result) override;
    void onUpdateState(const VpnConnectionState &state) override;
    void onReceiveErrorMessage(const ErrorMessage &message) override;
    void onReceiveFatalErrorMessage(const ErrorMessage &message) override;
    void vpnTerminated(VpnTerminationReport report) override;
    void onEventClosed(quint64 eventId) override;
    void vpnPasswordRequest(const PasswordRequestMessage &request) override;
    void onUpdateByteCount(ByteCount byteCount) override;
    void onConnected() override;
    void onNewConfigWasDownloaded() override;
    void showFrontend() override {}
    void hideFrontend() override {}
    void toggleVisibility() override {}

signals:
    // A start-up ended without an engine, or a started engine ended.
    void runEnded();

private:
    void runScript(bool switchedOn, const QString &displayName, const QString &program);

    QNetworkAccessManager *m_networkAccessManager;
    VpnBackend *m_backend;
    WhatIsMyLocation *m_whatIsMyLocation;
    bool m_running = false;
    bool m_starting = false;
};
