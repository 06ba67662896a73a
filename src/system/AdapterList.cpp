#include "system/AdapterList.h"

#include "system/NetworkSetup.h"
#include "system/StelvaneRunner.h"
#include "system/SystemPrograms.h"

#include <QSettings>

const char *const AdapterList::SettingsGroup = "saved-network-adapter-state";

AdapterList::AdapterList()
    : AdapterList(SystemPrograms::networksetup(), StelvaneRunner::bundledHelperPath())
{
}

AdapterList::AdapterList(const QString &networkSetupProgram, const QString &helperProgram)
    : m_networkSetupProgram(networkSetupProgram)
    , m_helperProgram(helperProgram)
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

void AdapterList::saveNameServers(const QString &stage) const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.beginGroup(stage);
    settings.remove(QString());
    for (const Adapter &adapter : adapterAddresses())
        adapter.saveNameServers(settings);
    settings.endGroup();
    settings.endGroup();
    // On disk before anything is changed: a crash from here on can be undone.
    settings.sync();
}

void AdapterList::setNameServers(const QStringList &servers) const
{
    StelvaneRunner runner(m_helperProgram, StelvaneRunner::Timeouts());
    for (const Adapter &adapter : adapterAddresses())
        adapter.setNameServers(runner, servers);
}

void AdapterList::removeNameServers() const
{
    StelvaneRunner runner(m_helperProgram, StelvaneRunner::Timeouts());
    for (const Adapter &adapter : adapterAddresses())
        adapter.removeNameServers(runner);
}

void AdapterList::restoreNameServers(const QString &stage) const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.beginGroup(stage);
    StelvaneRunner runner(m_helperProgram, StelvaneRunner::Timeouts());
    for (const Adapter &adapter : adapterAddresses())
        adapter.restoreNameServers(runner, settings);
}
