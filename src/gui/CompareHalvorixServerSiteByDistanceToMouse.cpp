#include "gui/CompareHalvorixServerSiteByDistanceToMouse.h"

#include "catalogue/HalvorixServerSite.h"
#include "gui/MapProjection.h"

#include <QLineF>
#include <QtMath>

CompareHalvorixServerSiteByDistanceToMouse::CompareHalvorixServerSiteByDistanceToMouse(const QPointF &point,
                                                                                       double mapWidth)
    : m_point(point)
    , m_mapWidth(mapWidth)
{
}

bool CompareHalvorixServerSiteByDistanceToMouse::operator()(const HalvorixServerSite &first,
                                                            const HalvorixServerSite &second) const
{
    return distance(first) < distance(second);
}

double CompareHalvorixServerSiteByDistanceToMouse::distance(const HalvorixServerSite &site) const
{
    const QPointF projected = MapProjection::toMap(site.getLocation(), m_mapWidth);
    const QPair<int, int> copies = nearestCopies(m_point.x(), m_mapWidth);
    const QPointF inCopy(projected.x() + copies.first * m_mapWidth, projected.y());
    const QPointF inNeighbour(projected.x() + copies.second * m_mapWidth, projected.y());
    return qMin(QLineF(m_point, inCopy).length(), QLineF(m_point, inNeighbour).length());
}

QPair<int, int> CompareHalvorixServerSiteByDistanceToMouse::nearestCopies(double x, double mapWidth)
{
    const int copy = qFloor(x / mapWidth);
    const double withinCopy = x / mapWidth - copy - 0.5;
    return qMakePair(copy, copy + (withinCopy < 0 ? -1 : 1));
}
