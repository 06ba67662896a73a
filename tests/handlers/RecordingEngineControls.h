#pragma once

#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/AbstractVpnCommand.h"

#include <QStringList>

// The engine command and management socket as handlers see them, writing
// down every call into a shared list.
class RecordingVpnCommand : public AbstractVpnCommand
{
public:
    explicit RecordingVpnCommand(QStringList &calls)
        : m_calls(calls)
    {
    }

    QString getProgram() override { return QStringLiteral("/bundle/Helpers/Stelvane"); }
    void enableManagementUpDown() override { m_calls << QStringLiteral("enableManagementUpDown"); }
    bool shouldPreventIpv6Leak() override { return true; }
    void start(QProcess &) override { m_calls << QStringLiteral("start"); }
    void enableManagementQueryRemote() override { m_calls << QStringLiteral("enableManagementQueryRemote"); }
    void setCipher(const BackendOpenVPNConfigCipher &) override { m_calls << QStringLiteral("setCipher"); }
    void addRemote(const QHostAddress &) override { m_calls << QStringLiteral("addRemote"); }
    void enablePersistTun() override { m_calls << QStringLiteral("enablePersistTun"); }
    void disablePersistTun() override { m_calls << QStringLiteral("disablePersistTun"); }
    void setProxyDirect() override { m_calls << QStringLiteral("setProxyDirect"); }
    void setHttpProxy(const QString &, const QString &) override { m_calls << QStringLiteral("setHttpProxy"); }
    void setSocks5Proxy(const QString &, const QString &) override { m_calls << QStringLiteral("setSocks5Proxy"); }

private:
    QStringList &m_calls;
};

class RecordingManagementSocket : public AbstractManagementSocket
{
public:
    explicit RecordingManagementSocket(QStringList &calls)
        : m_calls(calls)
    {
    }

    void startVPN(QSharedPointer<ConnectionParameters>) override { m_calls << QStringLiteral("startVPN"); }
    bool isProcessRunning() override { return true; }
    void sendSigTerm() override { m_calls << QStringLiteral("sendSigTerm"); }
    void sendUsernamePassword(const QString &username, const QString &password) override
    {
        m_calls << QStringLiteral("sendUsernamePassword %1 %2").arg(username, password);
    }

private:
    QStringList &m_calls;
};
