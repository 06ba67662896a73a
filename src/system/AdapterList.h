#pragma once

#include "system/Adapter.h"

#include <QList>
#include <QString>
#include <QStringList>

// The name servers of every network service: saved per stage in the settings
// store (group "saved-network-adapter-state"), set, switched to DHCP and
// restored. Every operation lists the services anew. Failures are thrown:
// NetworkSetupFailed when the services cannot be listed, StelvaneRunnerFailed
// at the first helper run that fails (later services are left alone).
class AdapterList
{
public:
    // The system's networksetup and the bundle's helper.
    AdapterList();
    AdapterList(const QString &networkSetupProgram, const QString &helperProgram);

    QList<Adapter> adapterAddresses() const;

    void saveNameServers(const QString &stage) const;
    void setNameServers(const QStringList &servers) const;
    void removeNameServers() const;
    void restoreNameServers(const QString &stage) const;

    static const char *const SettingsGroup;

private:
    QString m_networkSetupProgram;
    QString m_helperProgram;
};
