#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "openvpn/AbstractVpnCommand.h"

#include <QString>
#include <QStringList>

class OsAbstraction;
class QProcess;

// The start of the OpenConnect engine: the privileged helper's "OpenConnect"
// command with its positional arguments. The engine has no proxy arguments, so
// a proxy asked for by a handler is remembered and the start is refused.
class OpenConnectCommand : public AbstractVpnCommand
{
public:
    static constexpr int RECONNECT_TIMEOUT_SECONDS = 172800;

    OpenConnectCommand(OsAbstraction &os, const QString &host, int port, HalvorixServerSite::Protocol protocol,
                       int cmdFdPort, int cmdFdWritePort, int reconnectTimeout);

    QString getProgram() override;
    QStringList getArgumentsMacOSX() const;
    // The helper's argument list for an application directory; "OpenConnect" first.
    static QStringList helperArguments(const QString &applicationDir, const QString &host, int port,
                                       HalvorixServerSite::Protocol protocol, int cmdFdPort, int cmdFdWritePort,
                                       int reconnectTimeout);
    void start(QProcess &process) override;

    void enableManagementUpDown() override {}
    bool shouldPreventIpv6Leak() override;
    void enableManagementQueryRemote() override {}
    void setCipher(const BackendOpenVPNConfigCipher &) override {}
    // A handler's address (a dedicated IP) replaces the host of the server URL.
    void addRemote(const QHostAddress &address) override;
    void enablePersistTun() override {}
    void disablePersistTun() override {}
    void setProxyDirect() override;
    void setHttpProxy(const QString &address, const QString &port) override;
    void setSocks5Proxy(const QString &address, const QString &port) override;
    // The last proxy choice asked for a proxy the engine cannot use.
    bool isProxyRequested() const;

    QString getHost() const;

private:
    OsAbstraction &m_os;
    QString m_host;
    int m_port;
    HalvorixServerSite::Protocol m_protocol;
    int m_cmdFdPort;
    int m_cmdFdWritePort;
    int m_reconnectTimeout;
    bool m_proxyRequested = false;
};
