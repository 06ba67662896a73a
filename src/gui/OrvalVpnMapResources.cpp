#include "gui/OrvalVpnMapResources.h"

#include "gui/MapProjection.h"

OrvalVpnMapResources::OrvalVpnMapResources()
{
    background.load(QStringLiteral(":/map/background-1024.png"));
    map.load(QStringLiteral(":/map/orvalvpn-map-alpha-lakes-2048.png"));
    banner.load(QStringLiteral(":/images/map-banner.png"));
    marker.load(QStringLiteral(":/images/orval2.png"));
    nest.load(QStringLiteral(":/images/nest.png"));
    home.load(QStringLiteral(":/images/home.png"));
    factsBackground.load(QStringLiteral(":/images/serversite-facts-bg.png"));
}

double OrvalVpnMapResources::mapWidth() const
{
    return map.isNull() ? MapProjection::MAP_WIDTH : map.width();
}
