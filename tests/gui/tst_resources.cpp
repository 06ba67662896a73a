#include "catalogue/CountryCode.h"
#include "gui/MapProjection.h"

#include <QFile>
#include <QImage>
#include <QTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        Q_INIT_RESOURCE(progress);
    }

    void imagesLoadWithTheirSizes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        const QList<QPair<QString, QSize>> images = {
            {":/images/icon-256.png", {256, 256}},
            {":/map/orvalvpn-map-alpha-lakes-2048.png", {2048, 2048}},
            {":/map/background-1024.png", {1024, 1024}},
            {":/map/background-light.png", {512, 512}},
            {":/images/map-banner.png", {224, 79}},
            {":/images/orval2.png", {60, 60}},
            {":/images/nest.png", {174, 174}},
            {":/images/home.png", {60, 60}},
            {":/images/serversite-facts-bg.png", {170, 90}},
            {":/images/trayicon-disconnected.png", {64, 64}},
            {":/images/trayicon-connecting.png", {64, 64}},
            {":/images/trayicon.png", {64, 64}},
            {":/images/ic_stealth.png", {64, 64}},
            {":/images/ic_bittorrent_on.png", {32, 32}},
            {":/images/warning.png", {32, 32}},
            {":/images/refresh.png", {16, 16}},
            {":/images/drop-down-arrow-gray.png.png", {16, 16}},
            {":/images/halvorix-pushpin.png", {14, 14}},
            {":/images/halvorix-pushpin-grey.png", {14, 14}},
            {":/images/halvorix-pushpin-disabled.png", {14, 14}},
            {":/images/halvorix-pushpin-grey-disabled.png", {14, 14}},
            {":/images/dedicated-ip.png", {32, 32}},
            {":/images/flag_empty.png", {32, 22}},
            {":/images/flag__a.png", {32, 22}},
            {":/images/flag__b.png", {32, 22}},
        };
        for (const auto &image : images)
            QTest::newRow(qPrintable(image.first)) << image.first << image.second;
        // Every country of the table, the two pseudo-countries and the placeholder.
        QList<CountryCode> countries = CountryCode::m_countryCodes;
        countries << CountryCode(QStringLiteral("not a country"));
        for (const CountryCode &country : countries)
            QTest::newRow(qPrintable(country.getName() + " " + country.getFlagPath()))
                << country.getFlagPath() << QSize(32, 22);
    }

    void imagesLoadWithTheirSizes()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QCOMPARE(image.size(), size);
        // Not a blank picture.
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y) {
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        }
        QVERIFY(painted);
    }

    void trayLooksDifferInPixels()
    {
        const QImage disconnected(QStringLiteral(":/images/trayicon-disconnected.png"));
        const QImage connecting(QStringLiteral(":/images/trayicon-connecting.png"));
        const QImage connected(QStringLiteral(":/images/trayicon.png"));
        QVERIFY(!disconnected.isNull() && !connecting.isNull() && !connected.isNull());
        QVERIFY(disconnected != connecting);
        QVERIFY(connecting != connected);
        QVERIFY(connected != disconnected);
    }

    void styleSheetsLoad_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"mainwindow", "logdialog", "progressbardialog", "serverlistwidget", "settingsdialog",
                                 "settingswidget", "dnslistdialog", "dnslistentrydialog", "serversiteentrydialog",
                                 "systemnameserversettingdialog", "internetkillswitchinterfacesdialog"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void styleSheetsLoad()
    {
        QFETCH(QString, name);
        QFile sheet(QStringLiteral(":/resources/%1.qss").arg(name));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        QVERIFY(!sheet.readAll().isEmpty());
    }

    // The loading and login pages keep the form's own look: they have no sheet.
    void pagesWithoutAStyleSheet()
    {
        QVERIFY(!QFile::exists(QStringLiteral(":/resources/loadingwidget.qss")));
        QVERIFY(!QFile::exists(QStringLiteral(":/resources/loginwidget.qss")));
    }

    void mapLandAndWaterAgreeWithTheProjection_data()
    {
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<bool>("land");
        QTest::newRow("Kansas") << -98.0 << 38.5 << true;
        QTest::newRow("Amazonia") << -60.0 << -5.0 << true;
        QTest::newRow("Sahara") << 15.0 << 22.0 << true;
        QTest::newRow("Siberia") << 100.0 << 62.0 << true;
        QTest::newRow("central Australia") << 134.0 << -24.0 << true;
        QTest::newRow("Antarctica") << 30.0 << -80.0 << true;
        QTest::newRow("Chukotka east of the antimeridian") << -175.0 << 66.5 << true;
        QTest::newRow("Chukotka west of the antimeridian") << 175.0 << 67.0 << true;
        QTest::newRow("Pacific") << -150.0 << 0.0 << false;
        QTest::newRow("North Atlantic") << -35.0 << 35.0 << false;
        QTest::newRow("Indian Ocean") << 80.0 << -30.0 << false;
        QTest::newRow("Lake Superior") << -87.5 << 47.7 << false;
        QTest::newRow("Caspian Sea") << 51.0 << 42.0 << false;
        QTest::newRow("Lake Victoria") << 33.0 << -1.0 << false;
    }

    void mapLandAndWaterAgreeWithTheProjection()
    {
        QFETCH(double, longitude);
        QFETCH(double, latitude);
        QFETCH(bool, land);
        static const QImage map(QStringLiteral(":/map/orvalvpn-map-alpha-lakes-2048.png"));
        QCOMPARE(map.width(), int(MapProjection::MAP_WIDTH));
        const QPoint pixel = MapProjection::toMap(longitude, latitude).toPoint();
        QCOMPARE(qAlpha(map.pixel(pixel)), land ? 255 : 0);
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
