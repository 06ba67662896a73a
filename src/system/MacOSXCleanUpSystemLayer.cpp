#include "system/MacOSXCleanUpSystemLayer.h"

#include "prefs/Settings.h"
#include "system/InternetKillSwitchManager.h"

MacOSXCleanUpSystemLayer::MacOSXCleanUpSystemLayer()
    : dnsStack(osAbstraction), blackHoleRouteManager(osAbstraction, frontend)
{
}

void MacOSXCleanUpSystemLayer::recoverDnsStack(const QStringList& stageNames)
{
    dnsStack.setStack(stageNames);
    dnsStack.popAll();
}

void MacOSXCleanUpSystemLayer::removeRoutesToDns()
{
    osAbstraction.removeRoutesToDns();
}

void MacOSXCleanUpSystemLayer::cleanUpBlackHoleRoutes()
{
    blackHoleRouteManager.cleanUpBlackHoleRoutes();
}

void MacOSXCleanUpSystemLayer::enableKillSwitchInterfaces()
{
    Settings settings;
    InternetKillSwitchManager::enableInterfaces(osAbstraction, settings);
}
