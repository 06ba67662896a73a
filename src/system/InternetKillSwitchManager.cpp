#include "system/InternetKillSwitchManager.h"

#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

InternetKillSwitchManager::InternetKillSwitchManager(OsAbstraction &osAbstraction)
    : m_osAbstraction(osAbstraction)
{
}

InternetKillSwitchManager::~InternetKillSwitchManager()
{
    Settings settings;
    if (settings.shouldRemoveInternetKillSwitchOnClose())
        enableInterfaces(m_osAbstraction, settings);
}

void InternetKillSwitchManager::enableInterfaces(OsAbstraction &os, Settings &settings)
{
    for (const QString &service : settings.internetKillSwitchDisabledInterfaces())
        os.enableInterface(service);
    settings.setInternetKillSwitchDisabledInterfaces(QStringList());
}
