#pragma once

#include <QHostAddress>
#include <QMap>
#include <QSharedPointer>
#include <QString>

class ConnectionParameters;
class OsAbstraction;
class PushedOptions;
class Settings;
class VpnFrontend;

// The engine's vpnc-script, run inside the client: the engine hands over the
// script's environment and the client makes the network changes through the
// operating-system interface. An environment that lacks or garbles what its
// step needs is refused with std::invalid_argument before anything changes.
class VpncScript
{
public:
    static bool createAndExecuteVpncScript(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters,
                                           VpnFrontend &frontend, const PushedOptions &options);

    VpncScript(VpnFrontend &frontend, QSharedPointer<ConnectionParameters> parameters, const PushedOptions &options);

    bool execute(OsAbstraction &os, Settings &settings);
    // Connect and reconnecting report false when a system change failed;
    // connect then takes back what it had set. Disconnect is best effort.
    bool connectScript(OsAbstraction &os, Settings &settings) const;
    bool reconnectingScript(OsAbstraction &os, Settings &settings) const;
    bool disconnectScript(OsAbstraction &os, Settings &settings) const;

    // Linux and macOS interface names: at most 15 characters, no separators.
    static bool isValidDeviceName(const QString &name);

private:
    QString reason() const;
    QString device() const;
    QHostAddress address(const QString &name) const;
    void validate() const;
    [[noreturn]] void reject(const QString &message) const;
    void tellUser(const QString &message, const QString &informativeText) const;
    void undoConnect(OsAbstraction &os) const;

    VpnFrontend &m_frontend;
    QSharedPointer<ConnectionParameters> m_parameters;
    QMap<QString, QString> m_environment;
};
