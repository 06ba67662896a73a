#include "gui/CalloutPlacement.h"

#include <QRegion>
#include <QVector>

#include <algorithm>

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
    QList<QRectF> places;
    for (const QPointF &topLeft : candidates(preferred, anchor)) {
        const QRectF rect(topLeft, preferred.size());
        if (!rect.intersects(marker))
            places << rect;
    }
    // Nearest first.
    std::stable_sort(places.begin(), places.end(), [&](const QRectF &a, const QRectF &b) {
        return displacement(preferred.topLeft(), a.topLeft()) < displacement(preferred.topLeft(), b.topLeft());
    });
    for (const QRectF &rect : qAsConst(places)) {
        if (readsWhole(rect))
            return rect;
    }
    // None reads whole: the place that shows most of it, the nearest of equals.
    QRectF best = preferred;
    double bestArea = visibleArea(preferred);
    for (const QRectF &rect : qAsConst(places)) {
        const double shown = visibleArea(rect);
        if (shown > bestArea) {
            best = rect;
            bestArea = shown;
        }
    }
    return best;
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
