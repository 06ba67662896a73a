#pragma once

#include "core/VpnFrontend.h"

#include <QStringList>

// A frontend that writes down every message with the details the handlers
// decide: "error <message>|<informative>", "fatal <message>",
// "terminated failedToStart=<bool>", "password <failures>", "bytes <in> <out>"...
class RecordingFrontendLog : public VpnFrontend
{
public:
    QStringList calls;
    // The detail line of each fatal message, in order.
    QStringList fatalDetails;

    void onVpnStartupProgress(const VpnStartupProgress &p) override
    {
        calls << "progress " + p.getProgressMessageKey();
    }
    void onVpnStartupResult(const VpnStartupResult &) override { calls << QStringLiteral("result"); }
    void onUpdateState(const VpnConnectionState &s) override { calls << "state " + s.getState(); }
    void onReceiveErrorMessage(const ErrorMessage &m) override
    {
        calls << "error " + m.getMessage() + "|" + m.getInformativeText();
    }
    void onReceiveFatalErrorMessage(const ErrorMessage &m) override
    {
        calls << QStringLiteral("fatal %1 vpnFatal=%2").arg(m.getMessage()).arg(m.isVpnFatal());
        fatalDetails << m.getInformativeText();
    }
    void vpnTerminated(VpnTerminationReport r) override
    {
        calls << QStringLiteral("terminated failedToStart=%1").arg(r.getFailedToStartFlag() ? "true" : "false");
    }
    void onEventClosed(quint64 id) override { calls << QStringLiteral("closed %1").arg(id); }
    void vpnPasswordRequest(const PasswordRequestMessage &m) override
    {
        calls << QStringLiteral("password %1").arg(m.getPasswordFailures());
    }
    void onUpdateByteCount(ByteCount c) override
    {
        calls << QStringLiteral("bytes %1 %2").arg(c.getBytesReceived()).arg(c.getBytesSent());
    }
    void onConnected() override { calls << QStringLiteral("connected"); }
    void onNewConfigWasDownloaded() override { calls << QStringLiteral("newconfig"); }
    void showFrontend() override {}
    void hideFrontend() override {}
    void toggleVisibility() override {}
};
