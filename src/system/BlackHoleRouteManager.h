#pragma once

#include "system/BlackHoleRoute.h"

#include <QSharedPointer>
#include <QWeakPointer>

class ConnectionParameters;
class OsAbstraction;
class Settings;
class VpnFrontend;

// Decides which black-hole route object a connection gets: the global one
// while the Internet is blocked whenever no tunnel is up, the one the previous
// connection still holds, or a new one from the preferences.
class BlackHoleRouteManager
{
public:
    BlackHoleRouteManager(OsAbstraction &osAbstraction, VpnFrontend &frontend);
    ~BlackHoleRouteManager();

    BlackHoleRouteManager(const BlackHoleRouteManager &) = delete;
    BlackHoleRouteManager &operator=(const BlackHoleRouteManager &) = delete;

    // The IPv4 set, and the IPv6 set when asked, for as long as the manager lives.
    void enableGlobalBlackHoleRoutes(bool ipv6);
    QSharedPointer<BlackHoleRoute> getBlackHoleRoutes(Settings &settings,
                                                      QSharedPointer<ConnectionParameters> parameters);
    bool isNetworkGloballyProtected() const;
    // Removes both sets, whoever added them (what a crashed run left behind).
    void cleanUpBlackHoleRoutes();

private:
    // Whether the global object already holds the IPv4 set and exactly the asked IPv6 set.
    bool hasGlobalRoutes(bool ipv6) const;

    QSharedPointer<BlackHoleRoute> m_globalRoute;
    QWeakPointer<BlackHoleRoute> m_lastRoute;
    OsAbstraction &m_osAbstraction;
    VpnFrontend &m_frontend;
};
