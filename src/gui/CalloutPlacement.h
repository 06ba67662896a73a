#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

// Where a map callout goes so that it reads whole: inside the map and clear
// of what covers parts of it (the see-through panels, the banner). A callout
// prefers its place above its site; where that is cut off it flips below
// the site or moves inward, as little as it can, and never over the site's
// own marker.
class CalloutPlacement
{
public:
    CalloutPlacement(const QRectF &bounds, const QList<QRectF> &covered);

    // preferred: the callout's rectangle above its anchor; marker: the
    // rectangle of the site's marker, which the callout must leave visible.
    // Returns preferred when it reads whole there; else the nearest place
    // that does; else, when none does, the place that shows most of it.
    QRectF place(const QRectF &preferred, const QPointF &anchor, const QRectF &marker) const;

    bool readsWhole(const QRectF &rect) const;

private:
    QList<QPointF> candidates(const QRectF &preferred, const QPointF &anchor) const;
    double visibleArea(const QRectF &rect) const;

    QRectF m_bounds;
    QList<QRectF> m_covered;
};
