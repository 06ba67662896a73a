#pragma once
#include "openvpn/AbstractVpnCommand.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <functional>

class MtuPreference;
class OsAbstraction;
class Settings;

// The helper's "OpenVPN" command for one engine start: collected while the
// lifecycle handlers prepare the arguments, then started once.
class OpenVpnCommand : public AbstractVpnCommand
{
public:
    // Opens the developer's simulator instead of the helper: (engine process,
    // management port, the secret the engine shows).
    using SimulatorStarter = std::function<void(QProcess &, int, const QByteArray &)>;

    OpenVpnCommand(OsAbstraction &os, const QFileInfo &configFile, int managementPort);
    ~OpenVpnCommand() override;

    QString getProgram() override;
    void enableManagementUpDown() override;
    bool shouldPreventIpv6Leak() override;
    void start(QProcess &process) override;
    void enableManagementQueryRemote() override;
    void setCipher(const BackendOpenVPNConfigCipher &cipher) override;
    void addRemote(const QHostAddress &address) override;
    void enablePersistTun() override;
    void disablePersistTun() override;
    void setProxyDirect() override;
    void setHttpProxy(const QString &address, const QString &port) override;
    void setSocks5Proxy(const QString &address, const QString &port) override;

    // The helper's positional arguments, command name first.
    QStringList getArgumentsMacOSX() const;
    void setOpenVpn243Version();
    void setProxyFrom(const Settings &settings);
    void setTlsMinimumVersion(const Settings &settings);

    // WITH_OPENVPN_SIMULATOR is "true" in any case.
    static bool simulatorRequested();
    // The GUI installs the simulator; without one a simulator request only logs.
    static void setSimulatorStarter(SimulatorStarter starter);

private:
    void setProxy(const QString &kind, const QString &address, const QString &port);

    OsAbstraction &m_os;
    QFileInfo m_configFile;
    int m_managementPort;
    QStringList m_proxy;
    QStringList m_cipher;
    bool m_managementQueryRemote = false;
    bool m_managementUpDown = false;
    bool m_persistTun = false;
    QStringList m_remotes;
    QStringList m_tlsMinimumVersion;
    QString m_program;
    MtuPreference *m_mtuPreference = nullptr;
};
