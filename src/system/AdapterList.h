#pragma once

#include "system/Adapter.h"

#include <QList>
#include <QString>
#include <QStringList>

// The name servers of every network service: saved per stage in the settings
// store (group "saved-network-adapter-state"), set, switched to DHCP and
// restored. Every operation lists the services anew, once. Failures are thrown:
// NetworkSetupFailed when the services cannot be listed, StelvaneRunnerFailed
// at the first helper run that fails (later services are left alone).
class AdapterList
{
public:
    AdapterList(const QString &networkSetupProgram, StelvaneRunner &runner);

    QList<Adapter> adapterAddresses() const;

    // Saves every service's name servers under stage (on disk before any
    // change), then sets servers when not empty.
    void pushNameServers(const QString &stage, const QStringList &servers) const;
    void setNameServers(const QStringList &servers) const;
    void removeNameServers() const;
    void restoreNameServers(const QString &stage) const;

    static const char *const SettingsGroup;

private:
    static void saveNameServers(const QString &stage, const QList<Adapter> &adapters);
    void setNameServers(const QList<Adapter> &adapters, const QStringList &servers) const;

    QString m_networkSetupProgram;
    StelvaneRunner &m_runner;
};
