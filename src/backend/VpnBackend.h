#ifndef VPNBACKEND_H
#define VPNBACKEND_H

#include "prefs/DnsListEntry.h"

#include <QSharedPointer>
#include <QString>

#include <functional>

class ConnectionParameters;

// What a user interface asks of the backend.
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
    virtual void login(const QString& userName, const QString& password) = 0;
    virtual void stopVPN() = 0;
    virtual void setSystemNameServers(DnsListEntry nameServers) = 0;
    virtual void closeEvent(quint64 eventId) = 0;
    virtual void refreshPublicIp() = 0;
};

#endif // VPNBACKEND_H
