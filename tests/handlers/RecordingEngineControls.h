#pragma once

#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/AbstractVpnCommand.h"

#include <QStringList>

// The engine command and management socket as handlers see them, writing
// down every call into a shared list.
class RecordingVpnCommand : public AbstractVpnCommand
{
public:
    explicit RecordingVpnCommand(QStringList& calls)
        : calls(calls)
    {
    }

    QString getProgram() override { return QStringLiteral("/bundle/Helpers/Stelvane"); }
    void enableManagementUpDown() override { calls << QStringLiteral("enableManagementUpDown"); }
    bool shouldPreventIpv6Leak() override { return true; }
    void start(QProcess&) override { calls << QStringLiteral("start"); }
    void enableManagementQueryRemote() override { calls << QStringLiteral("enableManagementQueryRemote"); }
    void setCipher(const BackendOpenVPNConfigCipher&) override { calls << QStringLiteral("setCipher"); }
    void addRemote(const QHostAddress&) override { calls << QStringLiteral("addRemote"); }
    void enablePersistTun() override { calls << QStringLiteral("enablePersistTun"); }
    void disablePersistTun() override { calls << QStringLiteral("disablePersistTun"); }
    void setProxyDirect() override { calls << QStringLiteral("setProxyDirect"); }
    void setHttpProxy(const QString&, const QString&) override { calls << QStringLiteral("setHttpProxy"); }
    void setSocks5Proxy(const QString&, const QString&) override { calls << QStringLiteral("setSocks5Proxy"); }

private:
    QStringList& calls;
};

class RecordingManagementSocket : public AbstractManagementSocket
{
public:
    explicit RecordingManagementSocket(QStringList& calls)
        : calls(calls)
    {
    }

    void startVPN(QSharedPointer<ConnectionParameters>) override { calls << QStringLiteral("startVPN"); }
    bool isProcessRunning() override { return true; }
    void sendSigTerm() override { calls << QStringLiteral("sendSigTerm"); }
    void sendUsernamePassword(const QString& username, const QString& password) override
    {
        calls << QStringLiteral("sendUsernamePassword %1 %2").arg(username, password);
    }

private:
    QStringList& calls;
};
