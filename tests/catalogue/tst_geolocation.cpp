#include "core/GeoLocation.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

class TestGeoLocation : public QObject
{
    Q_OBJECT

private slots:
    void defaultIsOriginWithoutCode()
    {
        const GeoLocation location;
        QCOMPARE(location.getLatitude(), 0.0);
        QCOMPARE(location.getLongitude(), 0.0);
        QVERIFY(location.getCountryCode().isEmpty());
    }

    void distance_data()
    {
        QTest::addColumn<double>("lat1");
        QTest::addColumn<double>("lon1");
        QTest::addColumn<double>("lat2");
        QTest::addColumn<double>("lon2");
        QTest::addColumn<double>("km");
        QTest::newRow("same point") << 48.856667 << 2.3508 << 48.856667 << 2.3508 << 0.0;
        QTest::newRow("half the equator") << 0.0 << 0.0 << 0.0 << 180.0 << 12742.0 * M_PI / 2;
        QTest::newRow("pole to pole") << 90.0 << 0.0 << -90.0 << 0.0 << 12742.0 * M_PI / 2;
        QTest::newRow("London to Paris") << 51.5 << -0.116667 << 48.856667 << 2.3508 << 342.4;
        QTest::newRow("across the date line") << 0.0 << 179.5 << 0.0 << -179.5 << 111.19;
        QTest::newRow("one degree of latitude") << 10.0 << 20.0 << 11.0 << 20.0 << 111.19;
        QTest::newRow("antipodes off the axes") << -87.505 << 10.1 << 87.505 << -169.9 << 12742.0 * M_PI / 2;
    }

    void distance()
    {
        QFETCH(double, lat1);
        QFETCH(double, lon1);
        QFETCH(double, lat2);
        QFETCH(double, lon2);
        QFETCH(double, km);
        const GeoLocation a(lat1, lon1, QStringLiteral("AA"));
        const GeoLocation b(lat2, lon2);
        const double forward = a.distanceEarth(b);
        QVERIFY2(std::fabs(forward - km) < 0.1, qPrintable(QString::number(forward, 'f', 4)));
        QCOMPARE(b.distanceEarth(a), forward);
    }

    void countryCodesTakeNoPartInDistance()
    {
        QCOMPARE(GeoLocation(1, 2, QStringLiteral("FR")).distanceEarth(GeoLocation(1, 2, QStringLiteral("DE"))), 0.0);
    }

    void earthRadius() { QCOMPARE(GeoLocation::EARTH_RADIUS_KM, 6371.0); }

    void writeThenReadUnderPrefix()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("preferences"));
        GeoLocation(-33.433333, -70.666667, QStringLiteral("CL")).writeTo(settings, QStringLiteral("my-location"));
        QCOMPARE(settings.value(QStringLiteral("my-location-latitude")).toDouble(), -33.433333);
        QCOMPARE(settings.value(QStringLiteral("my-location-longitude")).toDouble(), -70.666667);
        QCOMPARE(settings.value(QStringLiteral("my-location-countrycode")).toString(), QStringLiteral("CL"));
        settings.sync();

        QSettings reread(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        reread.beginGroup(QStringLiteral("preferences"));
        const GeoLocation back = GeoLocation::readFrom(reread, QStringLiteral("my-location"));
        QCOMPARE(back.getLatitude(), -33.433333);
        QCOMPARE(back.getLongitude(), -70.666667);
        QCOMPARE(back.getCountryCode(), QStringLiteral("CL"));
    }

    void readingAbsentOrMalformedKeysGivesDefaults()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("here-latitude"), QStringLiteral("north"));
        const GeoLocation location = GeoLocation::readFrom(settings, QStringLiteral("here"));
        QCOMPARE(location.getLatitude(), 0.0);
        QCOMPARE(location.getLongitude(), 0.0);
        QVERIFY(location.getCountryCode().isEmpty());
    }

    void travelsInAVariant()
    {
        const QVariant variant = QVariant::fromValue(GeoLocation(1.5, 2.5, QStringLiteral("X")));
        QCOMPARE(variant.value<GeoLocation>().getLongitude(), 2.5);
        QVERIFY(QMetaType::type("GeoLocation") != QMetaType::UnknownType);
    }
};

QTEST_GUILESS_MAIN(TestGeoLocation)
#include "tst_geolocation.moc"
