#include "CoastlineMap.h"

#include "gui/MapProjection.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextStream>

namespace {
// The dump has four decimals; -180 and 180 are the same meridian.
using PointKey = QPair<qint64, qint64>;

PointKey keyOf(const QPointF &point)
{
    qint64 longitude = qRound64(point.x() * 10000.0);
    if (longitude == -1800000)
        longitude = 1800000;
    return {longitude, qRound64(point.y() * 10000.0)};
}

// Mercator cannot reach the poles; a ring closed along a pole only has to pass
// well beyond the map's edge.
constexpr double POLE_LATITUDE = 89.5;
} // namespace

bool CoastlineMap::read(QTextStream &in, QString *error)
{
    static const QRegularExpression header(QStringLiteral("^>.*Level\\s+(\\d+)\\s*$"));
    QVector<Segment> segments;
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('>'))) {
            const QRegularExpressionMatch match = header.match(line);
            if (!match.hasMatch()) {
                *error = QStringLiteral("line %1: a segment header without a level").arg(lineNumber);
                return false;
            }
            segments.append(Segment {match.captured(1).toInt(), {}});
            continue;
        }
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        bool longitudeOk = false;
        bool latitudeOk = false;
        const double longitude = fields.value(0).toDouble(&longitudeOk);
        const double latitude = fields.value(1).toDouble(&latitudeOk);
        if (segments.isEmpty() || fields.size() != 2 || !longitudeOk || !latitudeOk || qAbs(longitude) > 180.0
            || qAbs(latitude) > 90.0) {
            *error = QStringLiteral("line %1: not a point of a segment: %2").arg(lineNumber).arg(line);
            return false;
        }
        segments.last().points.append(QPointF(longitude, latitude));
    }
    return joinRings(segments, error);
}

bool CoastlineMap::joinRings(const QVector<Segment> &segments, QString *error)
{
    QMultiHash<PointKey, int> starts;
    for (int i = 0; i < segments.size(); ++i)
        starts.insert(keyOf(segments[i].points.value(0)), i);
    QVector<bool> used(segments.size(), false);
    for (int i = 0; i < segments.size(); ++i) {
        if (used[i])
            continue;
        used[i] = true;
        const int level = segments[i].level;
        QPolygonF ring(segments[i].points);
        while (ring.size() < 3 || keyOf(ring.last()) != keyOf(ring.first())) {
            int next = -1;
            for (auto it = starts.constFind(keyOf(ring.last())); it != starts.cend() && it.key() == keyOf(ring.last());
                 ++it) {
                if (!used[it.value()] && segments[it.value()].level == level) {
                    next = it.value();
                    break;
                }
            }
            if (next < 0) {
                *error = QStringLiteral("a level %1 ring starting at (%2, %3) stays open")
                             .arg(level)
                             .arg(ring.first().x())
                             .arg(ring.first().y());
                return false;
            }
            used[next] = true;
            ring += QPolygonF(segments[next].points.mid(1));
        }
        m_rings[level].append(unwrapped(ring));
    }
    return true;
}

QPolygonF CoastlineMap::unwrapped(QPolygonF ring)
{
    double shift = 0.0;
    for (int i = 1; i < ring.size(); ++i) {
        const double step = ring[i].x() + shift - ring[i - 1].x();
        if (step > 180.0)
            shift -= 360.0;
        else if (step < -180.0)
            shift += 360.0;
        ring[i].rx() += shift;
    }
    // A ring that ends a full turn away from where it starts goes round a pole
    // (Antarctica): close it along that pole instead of across the whole map.
    if (qAbs(ring.last().x() - ring.first().x()) > 180.0) {
        const double pole = ring.boundingRect().center().y() < 0.0 ? -POLE_LATITUDE : POLE_LATITUDE;
        ring << QPointF(ring.last().x(), pole) << QPointF(ring.first().x(), pole);
    }
    return ring;
}

int CoastlineMap::ringCount(int level) const
{
    return m_rings.value(level).size();
}

QPainterPath CoastlineMap::projectedPath(int level, int width) const
{
    QPainterPath path;
    for (const QPolygonF &ring : m_rings.value(level)) {
        QPolygonF projected;
        projected.reserve(ring.size());
        for (const QPointF &point : ring)
            projected << MapProjection::toMap(point.x(), qBound(-POLE_LATITUDE, point.y(), POLE_LATITUDE), width);
        path.addPolygon(projected);
        path.closeSubpath();
    }
    return path;
}

QImage CoastlineMap::render(int width, const QColor &land) const
{
    QImage image(width, width, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPainterPath landPath = projectedPath(1, width);
    const QPainterPath lakePath = projectedPath(2, width);
    // Unwrapped rings may reach past either side: draw them a map width to the
    // left and right as well. All land first, so that no copy fills a lake again.
    const int offsets[] = {-width, 0, width};
    for (const int offset : offsets)
        painter.fillPath(landPath.translated(offset, 0), land);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    for (const int offset : offsets)
        painter.fillPath(lakePath.translated(offset, 0), Qt::black);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
