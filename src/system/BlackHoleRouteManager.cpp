#include "system/BlackHoleRouteManager.h"

#include "backend/NullConnectionParameters.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRouteImpl.h"
#include "system/NullBlackHoleRoute.h"
#include "system/OsAbstraction.h"

#include <QDebug>

BlackHoleRouteManager::BlackHoleRouteManager(OsAbstraction& osAbstraction, VpnFrontend& frontend)
    : globalRoute(QSharedPointer<NullBlackHoleRoute>::create()), osAbstraction(osAbstraction), frontend(frontend)
{
}

BlackHoleRouteManager::~BlackHoleRouteManager()
{
    globalRoute.reset();
    lastRoute.clear();
}

void BlackHoleRouteManager::enableGlobalBlackHoleRoutes(bool ipv6)
{
    if (hasGlobalRoutes(ipv6)) {
        lastRoute = globalRoute;
        return;
    }
    // The old object goes first: removing its routes after the new one has
    // added the same routes would leave none.
    globalRoute.reset();
    globalRoute = QSharedPointer<BlackHoleRouteImpl>::create(
        frontend, QSharedPointer<ConnectionParameters>(new NullConnectionParameters), osAbstraction, true, ipv6);
    lastRoute = globalRoute;
}

bool BlackHoleRouteManager::hasGlobalRoutes(bool ipv6) const
{
    const auto* current = dynamic_cast<const BlackHoleRouteImpl*>(globalRoute.data());
    return current && current->hasIpv4() && current->hasIpv6() == ipv6;
}

QSharedPointer<BlackHoleRoute> BlackHoleRouteManager::getBlackHoleRoutes(Settings& settings,
                                                                         QSharedPointer<ConnectionParameters> parameters)
{
    if (const QSharedPointer<BlackHoleRoute> held = lastRoute.toStrongRef())
        return held;
    const QSharedPointer<BlackHoleRoute> route = QSharedPointer<BlackHoleRouteImpl>::create(
        frontend, std::move(parameters), osAbstraction, settings.seamlessReconnect(), settings.preventIPv6Leak());
    lastRoute = route;
    return route;
}

bool BlackHoleRouteManager::isNetworkGloballyProtected() const
{
    return globalRoute->isActive();
}

void BlackHoleRouteManager::cleanUpBlackHoleRoutes()
{
    qDebug() << "Removing BlackHoleRoutes";
    osAbstraction.removeProtectiveSimpleSplittedDefaultRoute();
    qDebug() << "Removing IPv6 BlackHoleRoutes";
    osAbstraction.removeProtectiveSimpleSplittedIPV6DefaultRoute();
}
