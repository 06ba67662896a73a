#include "gui/CalloutPlacement.h"

#include <QRegion>
#include <QVector>

#include <limits>

namespace {
double displacement(const QPointF &from, const QPointF &to)
{
    const QPointF d = to - from;
    return d.x() * d.x() + d.y() * d.y();
}

double area(const QRegion &region)
{
    double total = 0;
    for (const QRect &rect : region)
        total += double(rect.width()) * rect.height();
    return total;
}
} // namespace

CalloutPlacement::CalloutPlacement(const QRectF &bounds, const QList<QRectF> &covered)
    : m_bounds(bounds)
    , m_covered(covered)
{
}

QRectF CalloutPlacement::place(const QRectF &preferred, const QPointF &anchor, const QRectF &marker) const
{
    if (readsWhole(preferred) && !preferred.intersects(marker))
        return preferred;
    QRectF nearest;
    double nearestDisplacement = std::numeric_limits<double>::max();
    QRectF mostVisible = preferred;
    double mostVisibleArea = visibleArea(preferred);
    double mostVisibleDisplacement = 0;
    for (const QPointF &topLeft : candidates(preferred, anchor)) {
        const QRectF rect(topLeft, preferred.size());
        if (rect.intersects(marker))
            continue;
        const double moved = displacement(preferred.topLeft(), topLeft);
        if (readsWhole(rect)) {
            if (moved < nearestDisplacement) {
                nearest = rect;
                nearestDisplacement = moved;
            }
            continue;
        }
        const double shown = visibleArea(rect);
        if (shown > mostVisibleArea || (shown == mostVisibleArea && moved < mostVisibleDisplacement)) {
            mostVisible = rect;
            mostVisibleArea = shown;
            mostVisibleDisplacement = moved;
        }
    }
    return nearest.isNull() ? mostVisible : nearest;
}

bool CalloutPlacement::readsWhole(const QRectF &rect) const
{
    if (!m_bounds.contains(rect))
        return false;
    for (const QRectF &covered : m_covered) {
        if (rect.intersects(covered))
            return false;
    }
    return true;
}

// The preferred place and its mirror below the anchor, each moved so that one
// of its edges meets an edge of the map or of a covered rectangle.
QList<QPointF> CalloutPlacement::candidates(const QRectF &preferred, const QPointF &anchor) const
{
    const double w = preferred.width();
    const double h = preferred.height();
    QVector<double> xs {preferred.left(), m_bounds.left(), m_bounds.right() - w};
    QVector<double> ys {preferred.top(), 2 * anchor.y() - preferred.bottom(), m_bounds.top(), m_bounds.bottom() - h};
    for (const QRectF &covered : m_covered) {
        xs << covered.right() << covered.left() - w;
        ys << covered.bottom() << covered.top() - h;
    }
    QList<QPointF> points;
    for (const double x : xs) {
        for (const double y : ys)
            points << QPointF(x, y);
    }
    return points;
}

double CalloutPlacement::visibleArea(const QRectF &rect) const
{
    QRegion visible = QRegion(rect.toAlignedRect()) & m_bounds.toAlignedRect();
    for (const QRectF &covered : m_covered)
        visible -= covered.toAlignedRect();
    return area(visible);
}
