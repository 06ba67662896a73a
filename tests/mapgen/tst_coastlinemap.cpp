#include "CoastlineMap.h"
#include "gui/MapProjection.h"

#include <QTest>
#include <QTextStream>

namespace {
const int WIDTH = 360;
const QColor LAND(0x4a, 0x73, 0x96);

// The dump as GMT writes it: a header with the level, then "lon<TAB>lat" lines.
QString segment(int level, const QVector<QPointF> &points)
{
    QString text = QStringLiteral("> Shore Bin # 1, Level %1\n").arg(level);
    for (const QPointF &point : points)
        text += QStringLiteral("%1\t%2\n").arg(point.x(), 0, 'f', 4).arg(point.y(), 0, 'f', 4);
    return text;
}

bool read(CoastlineMap &map, QString dump, QString *error)
{
    QTextStream in(&dump);
    return map.read(in, error);
}

int alphaAt(const QImage &image, double longitude, double latitude)
{
    return qAlpha(image.pixel(MapProjection::toMap(longitude, latitude, WIDTH).toPoint()));
}
} // namespace

class TestCoastlineMap : public QObject
{
    Q_OBJECT

private slots:
    // An island cut in two at a bin edge, with a lake in it.
    void fillsLandAndCutsLakes()
    {
        CoastlineMap map;
        QString error;
        QVERIFY2(read(map,
                      segment(1, {{10, 0}, {30, 0}, {30, 20}}) + segment(2, {{16, 6}, {24, 6}, {24, 14}})
                          + segment(1, {{30, 20}, {10, 20}, {10, 0}}) + segment(2, {{24, 14}, {16, 14}, {16, 6}}),
                      &error),
                 qPrintable(error));
        QCOMPARE(map.ringCount(1), 1);
        QCOMPARE(map.ringCount(2), 1);
        const QImage image = map.render(WIDTH, LAND);
        QCOMPARE(image.size(), QSize(WIDTH, WIDTH));
        QCOMPARE(alphaAt(image, 12, 3), 255);
        QCOMPARE(image.pixelColor(MapProjection::toMap(12, 3, WIDTH).toPoint()), LAND);
        QCOMPARE(alphaAt(image, 20, 10), 0);
        QCOMPARE(alphaAt(image, 40, 10), 0);
        QCOMPARE(alphaAt(image, -20, -10), 0);
    }

    // GMT gives a polygon across the antimeridian as pieces ending at 180 and
    // going on from -180; both halves are land, the rest of the world is not.
    void joinsRingsAcrossTheAntimeridian()
    {
        CoastlineMap map;
        QString error;
        QVERIFY2(read(map,
                      segment(1, {{170, 10}, {180, 10}}) + segment(1, {{-180, 10}, {-170, 10}, {-170, 30}})
                          + segment(1, {{-170, 30}, {-180, 30}}) + segment(1, {{180, 30}, {170, 30}, {170, 10}}),
                      &error),
                 qPrintable(error));
        QCOMPARE(map.ringCount(1), 1);
        const QImage image = map.render(WIDTH, LAND);
        QCOMPARE(alphaAt(image, 175, 20), 255);
        QCOMPARE(alphaAt(image, -175, 20), 255);
        QCOMPARE(alphaAt(image, 0, 20), 0);
        QCOMPARE(alphaAt(image, 175, 40), 0);
    }

    // A ring round the South Pole is land from its coast down to the map's
    // bottom, wherever along the coast the ring happens to start.
    void closesRingsRoundAPoleAlongThePole_data()
    {
        QTest::addColumn<QString>("dump");
        QTest::newRow("starts at the antimeridian")
            << segment(1, {{-180, -70}, {-90, -65}, {0, -70}, {90, -65}, {180, -70}});
        QTest::newRow("crosses the antimeridian")
            << segment(1, {{0, -70}, {90, -65}, {180, -70}}) + segment(1, {{-180, -70}, {-90, -65}, {0, -70}});
    }

    void closesRingsRoundAPoleAlongThePole()
    {
        QFETCH(QString, dump);
        CoastlineMap map;
        QString error;
        QVERIFY2(read(map, dump, &error), qPrintable(error));
        const QImage image = map.render(WIDTH, LAND);
        for (const double longitude : {-179.0, -90.0, 0.0, 90.0, 179.0}) {
            QCOMPARE(alphaAt(image, longitude, -75), 255);
            QCOMPARE(alphaAt(image, longitude, -84), 255);
            QCOMPARE(alphaAt(image, longitude, -55), 0);
        }
    }

    void refusesBrokenDumps_data()
    {
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QString>("reason");
        QTest::newRow("open ring") << segment(1, {{0, 0}, {10, 0}, {10, 10}}) << "stays open";
        QTest::newRow("lake closing land")
            << segment(1, {{0, 0}, {10, 0}, {10, 10}}) + segment(2, {{10, 10}, {0, 0}}) << "stays open";
        QTest::newRow("point before a header") << QStringLiteral("1\t2\n") << "not a point";
        QTest::newRow("header without level") << QStringLiteral("> Shore Bin # 1\n") << "without a level";
        QTest::newRow("latitude out of range") << QStringLiteral("> Level 1\n0\t91\n") << "not a point";
        QTest::newRow("three fields") << QStringLiteral("> Level 1\n0\t1\t2\n") << "not a point";
    }

    void refusesBrokenDumps()
    {
        QFETCH(QString, dump);
        QFETCH(QString, reason);
        CoastlineMap map;
        QString error;
        QVERIFY(!read(map, dump, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestCoastlineMap)
#include "tst_coastlinemap.moc"
