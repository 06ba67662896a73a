#pragma once

#include <QPair>
#include <QPointF>

class HalvorixServerSite;

// Orders server sites by their distance on the map to a point in map pixels.
// The map is drawn as side-by-side copies, so a site is measured in the copy
// that holds the point and in the neighbouring copy on the point's side: a
// site just across the date line from the point counts as near.
class CompareHalvorixServerSiteByDistanceToMouse
{
public:
    CompareHalvorixServerSiteByDistanceToMouse(const QPointF &point, double mapWidth);

    // True when the first site lies strictly nearer to the point.
    bool operator()(const HalvorixServerSite &first, const HalvorixServerSite &second) const;
    double distance(const HalvorixServerSite &site) const;

    // The index of the map copy that holds the map abscissa x, and of its
    // neighbour on the side of x's half of that copy.
    static QPair<int, int> nearestCopies(double x, double mapWidth);

private:
    QPointF m_point;
    double m_mapWidth;
};
