#pragma once
#include <QByteArray>
#include <QString>

class BackendOpenVPNConfigCipher;
class QHostAddress;
class QProcess;

// The engine start command as the lifecycle handlers see it while the
// arguments are prepared. Each engine driver has its own implementation;
// operations without meaning for an engine do nothing there.
class AbstractVpnCommand
{
public:
    virtual ~AbstractVpnCommand() = default;

    // The program start() runs.
    virtual QString getProgram() = 0;
    virtual void enableManagementUpDown() = 0;
    virtual bool shouldPreventIpv6Leak() = 0;
    // Starts the engine on the given process; returns at once.
    virtual void start(QProcess &process) = 0;
    virtual void enableManagementQueryRemote() = 0;
    virtual void setCipher(const BackendOpenVPNConfigCipher &cipher) = 0;
    virtual void addRemote(const QHostAddress &address) = 0;
    virtual void enablePersistTun() = 0;
    virtual void disablePersistTun() = 0;
    // Each proxy operation replaces the whole proxy choice: the last call wins.
    virtual void setProxyDirect() = 0;
    virtual void setHttpProxy(const QString &address, const QString &port) = 0;
    virtual void setSocks5Proxy(const QString &address, const QString &port) = 0;

    // The run's secret, which the helper hands to the engine; start() writes
    // it on the helper's standard input after the authentication lines.
    void setEngineSecret(const QByteArray &secret) { m_engineSecret = secret; }

protected:
    QByteArray engineSecretLine() const { return m_engineSecret + '\n'; }
    const QByteArray &engineSecret() const { return m_engineSecret; }

private:
    QByteArray m_engineSecret;
};
