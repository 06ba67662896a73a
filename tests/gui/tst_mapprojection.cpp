#include "core/GeoLocation.h"
#include "gui/MapProjection.h"

#include <QTest>

class TestMapProjection : public QObject
{
    Q_OBJECT

private slots:
    void projectsOntoTheSquareMap_data()
    {
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("west edge on the equator") << -180.0 << 0.0 << 0.0 << 1024.0;
        QTest::newRow("prime meridian") << 0.0 << 0.0 << 1024.0 << 1024.0;
        QTest::newRow("east edge") << 180.0 << 0.0 << 2048.0 << 1024.0;
        QTest::newRow("top edge") << 0.0 << 85.0511 << 1024.0 << 0.0;
        QTest::newRow("bottom edge") << 0.0 << -85.0511 << 1024.0 << 2048.0;
        QTest::newRow("Dallas") << -96.7970 << 32.7767 << 473.33 << 826.45;
        QTest::newRow("Sydney") << 151.2093 << -33.8688 << 1884.21 << 1228.99;
        QTest::newRow("Europe") << 25.0 << 50.0 << 1166.22 << 694.57;
    }

    void projectsOntoTheSquareMap()
    {
        QFETCH(double, longitude);
        QFETCH(double, latitude);
        QFETCH(double, x);
        QFETCH(double, y);
        const QPointF point = MapProjection::toMap(longitude, latitude);
        QVERIFY2(qAbs(point.x() - x) < 0.01, qPrintable(QString::number(point.x(), 'f', 4)));
        QVERIFY2(qAbs(point.y() - y) < 0.01, qPrintable(QString::number(point.y(), 'f', 4)));
        const QPointF fromLocation = MapProjection::toMap(GeoLocation(latitude, longitude));
        QCOMPARE(fromLocation, point);
    }

    void scalesWithTheMapWidth()
    {
        const QPointF full = MapProjection::toMap(-96.797, 32.7767);
        const QPointF half = MapProjection::toMap(-96.797, 32.7767, 1024);
        QCOMPARE(half, full / 2);
    }

    void maxLatitudeReachesTheEdgesExactly()
    {
        QVERIFY(qAbs(MapProjection::toY(MapProjection::MAX_LATITUDE)) < 1e-9);
        QVERIFY(qAbs(MapProjection::toY(-MapProjection::MAX_LATITUDE) - 2048.0) < 1e-9);
    }
};

QTEST_APPLESS_MAIN(TestMapProjection)
#include "tst_mapprojection.moc"
