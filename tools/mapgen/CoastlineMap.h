#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QPainterPath>
#include <QPolygonF>
#include <QVector>

class QTextStream;

// The shoreline polygons of the GSHHG dump made by tools/mapgen/dump-coastline,
// and the square Mercator world map drawn from them.
class CoastlineMap
{
public:
    // Reads the dump: segments, each after a header line "> ... Level L", of
    // "longitude latitude" lines. GMT cuts every polygon at the edges of its
    // bins and at the antimeridian, so the segments of each level are joined end
    // to start into closed rings. Returns false with a reason when the input is
    // malformed or a ring stays open.
    bool read(QTextStream &in, QString *error);

    int ringCount(int level) const;

    // Level 1 (land) filled with the land colour, level 2 (lakes) cut out again:
    // sea and lakes are transparent. width x width pixels, through MapProjection.
    QImage render(int width, const QColor &land) const;

private:
    struct Segment
    {
        int level = 0;
        QVector<QPointF> points; // x longitude, y latitude, in degrees
    };

    bool joinRings(const QVector<Segment> &segments, QString *error);
    static QPolygonF unwrapped(QPolygonF ring);
    QPainterPath projectedPath(int level, int width) const;

    // Per level, rings in degrees with continuous longitudes (they may leave
    // -180..180); a ring around a pole is closed along that pole.
    QMap<int, QVector<QPolygonF>> m_rings;
};
