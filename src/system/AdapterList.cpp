#include "system/AdapterList.h"

#include "system/NetworkSetup.h"

#include <QSettings>

const char *const AdapterList::SettingsGroup = "saved-network-adapter-state";

AdapterList::AdapterList(const QString &networkSetupProgram, StelvaneRunner &runner)
    : m_networkSetupProgram(networkSetupProgram)
    , m_runner(runner)
{
}

QList<Adapter> AdapterList::adapterAddresses() const
{
    NetworkSetup networkSetup(m_networkSetupProgram);
    QList<Adapter> adapters;
    for (const QString &service : networkSetup.listAllNetworkServices())
        adapters << Adapter(service, networkSetup);
    return adapters;
}

void AdapterList::pushNameServers(const QString &stage, const QStringList &servers) const
{
    // One listing serves both: saving changes nothing on the system.
    const QList<Adapter> adapters = adapterAddresses();
    saveNameServers(stage, adapters);
    if (!servers.isEmpty())
        setNameServers(adapters, servers);
}

void AdapterList::saveNameServers(const QString &stage, const QList<Adapter> &adapters)
{
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.beginGroup(stage);
    settings.remove(QString());
    for (const Adapter &adapter : adapters)
        adapter.saveNameServers(settings);
    settings.endGroup();
    settings.endGroup();
    // On disk before anything is changed: a crash from here on can be undone.
    settings.sync();
}

void AdapterList::setNameServers(const QStringList &servers) const
{
    setNameServers(adapterAddresses(), servers);
}

// One service after the other: each run rewrites the one store of network settings.
void AdapterList::setNameServers(const QList<Adapter> &adapters, const QStringList &servers) const
{
    for (const Adapter &adapter : adapters)
        adapter.setNameServers(m_runner, servers);
}

void AdapterList::removeNameServers() const
{
    for (const Adapter &adapter : adapterAddresses())
        adapter.removeNameServers(m_runner);
}

void AdapterList::restoreNameServers(const QString &stage) const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.beginGroup(stage);
    for (const Adapter &adapter : adapterAddresses())
        adapter.restoreNameServers(m_runner, settings);
}
