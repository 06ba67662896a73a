#include "gui/CompareHalvorixServerSiteByDistanceToMouse.h"

#include "catalogue/HalvorixServerSite.h"
#include "gui/MapProjection.h"

#include <QLineF>
#include <QtMath>

CompareHalvorixServerSiteByDistanceToMouse::CompareHalvorixServerSiteByDistanceToMouse(const QPointF &point,
                                                                                       double mapWidth)
    : point(point)
    , mapWidth(mapWidth)
{
}

bool CompareHalvorixServerSiteByDistanceToMouse::operator()(const HalvorixServerSite &first,
                                                            const HalvorixServerSite &second) const
{
    return distance(first) < distance(second);
}

double CompareHalvorixServerSiteByDistanceToMouse::distance(const HalvorixServerSite &site) const
{
    const QPointF projected = MapProjection::toMap(site.getLocation(), mapWidth);
    const QPair<int, int> copies = nearestCopies(point.x(), mapWidth);
    const QPointF inCopy(projected.x() + copies.first * mapWidth, projected.y());
    const QPointF inNeighbour(projected.x() + copies.second * mapWidth, projected.y());
    return qMin(QLineF(point, inCopy).length(), QLineF(point, inNeighbour).length());
}

QPair<int, int> CompareHalvorixServerSiteByDistanceToMouse::nearestCopies(double x, double mapWidth)
{
    const int copy = qFloor(x / mapWidth);
    const double withinCopy = x / mapWidth - copy - 0.5;
    return qMakePair(copy, copy + (withinCopy < 0 ? -1 : 1));
}
