// The main window's map on a real X server with twm: pictures for people to
// look at (build/screenshots/tst_mainwindowmapxvfb-*.png) of the default view
// with the nests under the bottom panel, hover callouts near the banner and
// the panels, and the connected site's callout beside the status panel.
#include "MainWindowMapSteps.h"
#include "MainWindowServices.h"
#include "Screenshot.h"

#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "prefs/Settings.h"

#include <QGuiApplication>
#include <QTest>

Q_DECLARE_METATYPE(VpnFrontend *)

namespace {

HalvorixServerSite site(const QString &id)
{
    for (const HalvorixServerSite &site : HalvorixConfig::getServerSites()) {
        if (site.getId() == id)
            return site;
    }
    qFatal("No site %s in the catalogue", qPrintable(id));
}

} // namespace

class TestMainWindowMapXvfb : public QObject
{
    Q_OBJECT

    QScopedPointer<MainWindowServices> m_world;

    OrvalVPNMainWindow &window(bool ownLocation)
    {
        Settings settings;
        settings.clear();
        settings.setDefaultServerSite(QStringLiteral("CHE-Zurich"));
        settings.setMyLocation(ownLocation ? GeoLocation(32.7767, -96.7970, QStringLiteral("USA")) : GeoLocation());
        m_world.reset(new MainWindowServices);
        OrvalVPNMainWindow &window = m_world->create();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("main window not exposed");
        return window;
    }

    static OrvalVpnMapWidget &map(OrvalVPNMainWindow &window)
    {
        return *window.findChild<OrvalVpnMapWidget *>(QStringLiteral("map"));
    }

    static void shoot(QWidget &window, const QString &name)
    {
        QTest::qWait(50);
        QVERIFY(!Screenshot::saveWidget(window, name).isEmpty());
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        LocalConfigSource().execute();
    }

    void cleanup() { m_world.reset(); }

    void defaultView() { shoot(window(false), QStringLiteral("default")); }

    void hover_data()
    {
        QTest::addColumn<QString>("site");
        QTest::addColumn<bool>("ownLocation");
        QTest::newRow("united-kingdom") << "GBR-London" << false;
        QTest::newRow("canada") << "CAN-Toronto" << false;
        QTest::newRow("sweden") << "SWE-Stockholm" << false;
        QTest::newRow("brazil") << "BRA-Sao Paulo" << false;
        QTest::newRow("south-africa") << "ZAF-Johannesburg" << false;
        QTest::newRow("canada-with-own-location") << "CAN-Toronto" << true;
    }

    void hover()
    {
        QFETCH(QString, site);
        QFETCH(bool, ownLocation);
        OrvalVPNMainWindow &main = window(ownLocation);
        MainWindowMapSteps::hover(map(main), ::site(site));
        shoot(main, QStringLiteral("hover-") + QTest::currentDataTag());
    }

    void connected_data()
    {
        QTest::addColumn<QString>("site");
        QTest::newRow("japan") << "JPN-Tokyo";
        QTest::newRow("united-kingdom") << "GBR-London";
        QTest::newRow("australia") << "AUS-Sydney";
        QTest::newRow("usa-los-angeles") << "USA-Los Angeles";
    }

    void connected()
    {
        QFETCH(QString, site);
        OrvalVPNMainWindow &main = window(true);
        MainWindowMapSteps::connect(main, ::site(site));
        shoot(main, QStringLiteral("connected-") + QTest::currentDataTag());
    }
};

QTEST_MAIN(TestMainWindowMapXvfb)
#include "tst_mainwindowmapxvfb.moc"
