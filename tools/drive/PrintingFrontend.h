#pragma once

#include "core/VpnFrontend.h"

#include <QObject>

class EventLog;

// The driver's frontend: prints what the backend reports as event lines and
// tells the driver about the events it acts on.
class PrintingFrontend : public QObject, public VpnFrontend
{
    Q_OBJECT

public:
    explicit PrintingFrontend(const EventLog &log);

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
    // A start ended before the engine ran (aborted, or stopped by its checks).
    void startupEnded();
    void connected();
    void terminated();
    void newConfigWasDownloaded();

private:
    static QString errorText(const ErrorMessage &message);

    const EventLog &m_log;
};
