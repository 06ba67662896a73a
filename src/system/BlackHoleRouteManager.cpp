#include "system/BlackHoleRouteManager.h"

#include "catalogue/NullConnectionParameters.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRouteImpl.h"
#include "system/NullBlackHoleRoute.h"
#include "system/OsAbstraction.h"
#include "system/SystemLogging.h"

#include <QDebug>

BlackHoleRouteManager::BlackHoleRouteManager(OsAbstraction &osAbstraction, VpnFrontend &frontend)
    : m_globalRoute(QSharedPointer<NullBlackHoleRoute>::create())
    , m_osAbstraction(osAbstraction)
    , m_frontend(frontend)
{
}

BlackHoleRouteManager::~BlackHoleRouteManager()
{
    m_globalRoute.reset();
    m_lastRoute.clear();
}

void BlackHoleRouteManager::enableGlobalBlackHoleRoutes(bool ipv6)
{
    if (hasGlobalRoutes(ipv6)) {
        m_lastRoute = m_globalRoute;
        return;
    }
    // The old object goes first: removing its routes after the new one has
    // added the same routes would leave none.
    m_globalRoute.reset();
    m_globalRoute = QSharedPointer<BlackHoleRouteImpl>::create(
        m_frontend, QSharedPointer<ConnectionParameters>(new NullConnectionParameters), m_osAbstraction, true, ipv6);
    m_lastRoute = m_globalRoute;
}

bool BlackHoleRouteManager::hasGlobalRoutes(bool ipv6) const
{
    const auto *current = dynamic_cast<const BlackHoleRouteImpl *>(m_globalRoute.data());
    return current && current->hasIpv4() && current->hasIpv6() == ipv6;
}

QSharedPointer<BlackHoleRoute>
BlackHoleRouteManager::getBlackHoleRoutes(Settings &settings, QSharedPointer<ConnectionParameters> parameters)
{
    if (const QSharedPointer<BlackHoleRoute> held = m_lastRoute.toStrongRef())
        return held;
    const QSharedPointer<BlackHoleRoute> route = QSharedPointer<BlackHoleRouteImpl>::create(
        m_frontend, std::move(parameters), m_osAbstraction, settings.seamlessReconnect(), settings.preventIPv6Leak());
    m_lastRoute = route;
    return route;
}

bool BlackHoleRouteManager::isNetworkGloballyProtected() const
{
    return m_globalRoute->isActive();
}

void BlackHoleRouteManager::cleanUpBlackHoleRoutes()
{
    qCDebug(lcSystem) << "Removing BlackHoleRoutes";
    qCDebug(lcSystem) << "Removing IPv6 BlackHoleRoutes";
    m_osAbstraction.removeProtectiveRoutes(true, true);
}
