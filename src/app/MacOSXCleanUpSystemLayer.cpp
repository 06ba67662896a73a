#include "app/MacOSXCleanUpSystemLayer.h"

#include "prefs/Settings.h"
#include "system/InternetKillSwitchManager.h"

MacOSXCleanUpSystemLayer::MacOSXCleanUpSystemLayer()
    : m_dnsStack(m_osAbstraction)
    , m_blackHoleRouteManager(m_osAbstraction, m_frontend)
{
}

void MacOSXCleanUpSystemLayer::recoverDnsStack(const QStringList &stageNames)
{
    m_dnsStack.setStack(stageNames);
    m_dnsStack.popAll();
}

void MacOSXCleanUpSystemLayer::removeRoutesToDns()
{
    m_osAbstraction.removeRoutesToDns();
}

void MacOSXCleanUpSystemLayer::cleanUpBlackHoleRoutes()
{
    m_blackHoleRouteManager.cleanUpBlackHoleRoutes();
}

void MacOSXCleanUpSystemLayer::enableKillSwitchInterfaces()
{
    Settings settings;
    InternetKillSwitchManager::enableInterfaces(m_osAbstraction, settings);
}
