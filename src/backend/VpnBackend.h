#pragma once
#include "prefs/DnsListEntry.h"

#include <QSharedPointer>
#include <QString>

#include <functional>

class ConnectionParameters;

// What a user interface asks of the backend.
//
// Re-entrancy contract. The start-up processes events while it waits
// (StartupWaits, VpnStartupImpl::startVPN, TunManagerHandler), so a frontend's
// call can arrive while startVPN is still on the stack, and the backend's
// reports reach frontends from inside those nested event loops. Therefore:
// - a frontend never deletes itself or another frontend from one of its
//   slots, only deleteLater(), so nothing still on the stack is freed;
// - Connect is disabled while a start runs (a startVPN arriving anyway is
//   ignored);
// - quitting during a start is an abort(): the start-up unwinds first, the
//   backend is never torn down under it.
class VpnBackend
{
public:
    virtual ~VpnBackend() = default;

    // A callback that sends an error (message, informative text) to the frontends.
    virtual std::function<void(QString, QString)> getErrorSender() = 0;
    virtual void sendErrorMessageToFrontend(QString message, QString informativeText) = 0;
    virtual void startVPN(QSharedPointer<ConnectionParameters> parameters, QString userName, QString password) = 0;
    virtual void skip() = 0;
    virtual void abort() = 0;
    virtual void login(const QString &userName, const QString &password) = 0;
    virtual void stopVPN() = 0;
    virtual void setSystemNameServers(DnsListEntry nameServers) = 0;
    virtual void closeEvent(quint64 eventId) = 0;
    virtual void refreshPublicIp() = 0;
};
