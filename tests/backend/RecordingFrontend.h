#pragma once
#include "core/VpnFrontend.h"

#include <QStringList>

#include <functional>

// Logs each call as "<name>:<operation> <detail>".
class RecordingFrontend : public VpnFrontend
{
public:
    RecordingFrontend(const QString &name, QStringList &log)
        : m_name(name)
        , m_log(log)
    {
    }

    void onVpnStartupProgress(const VpnStartupProgress &p) override
    {
        note("progress " + p.getProgressMessageKey(), p.getId());
    }
    void onVpnStartupResult(const VpnStartupResult &r) override { note("result " + r.getMessage(), r.getId()); }
    void onUpdateState(const VpnConnectionState &s) override { note("state " + s.getState(), s.getId()); }
    void onReceiveErrorMessage(const ErrorMessage &m) override { note("error " + m.getMessage(), m.getId()); }
    void onReceiveFatalErrorMessage(const ErrorMessage &m) override { note("fatal " + m.getMessage(), m.getId()); }
    void vpnTerminated(VpnTerminationReport r) override { note("terminated", r.getId()); }
    void onEventClosed(quint64 id) override { note("closed", id); }
    void vpnPasswordRequest(const PasswordRequestMessage &m) override
    {
        note(QStringLiteral("password %1").arg(m.getPasswordFailures()), m.getId());
    }
    void onUpdateByteCount(ByteCount c) override { note(QStringLiteral("bytes %1").arg(c.getBytesReceived()), 0); }
    void onConnected() override { note("connected", 0); }
    void onNewConfigWasDownloaded() override { note("newconfig", 0); }
    void showFrontend() override { note("show", 0); }
    void hideFrontend() override { note("hide", 0); }
    void toggleVisibility() override
    {
        note("toggle", 0);
        if (onToggle)
            onToggle();
    }

    std::function<void()> onToggle;
    QList<quint64> ids;

private:
    void note(const QString &what, quint64 id)
    {
        m_log << m_name + ":" + what;
        ids << id;
    }

    QString m_name;
    QStringList &m_log;
};
