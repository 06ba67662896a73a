// The main window's map on a real X server with twm: pictures for people to
// look at (build/screenshots/tst_mainwindowmapxvfb-*.png) of the default view
// with the nests under the bottom panel, hover callouts near the banner and
// the panels, and the connected site's callout beside the status panel.
#include "MainWindowServices.h"
#include "Screenshot.h"
#include "SiteConnectionParameters.h"

#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapWidget.h"
#include "prefs/Settings.h"

#include <QGuiApplication>
#include <QMouseEvent>
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

    void defaultView()
    {
        shoot(window(false), QStringLiteral("default"));
    }

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

    // The mouse on the site, or the map's edge nearest it.
    void hover()
    {
        QFETCH(QString, site);
        QFETCH(bool, ownLocation);
        OrvalVPNMainWindow &main = window(ownLocation);
        OrvalVpnMapWidget &view = map(main);
        const QPointF at = view.matrix(0, 0).map(MapProjection::toMap(::site(site).getLocation()));
        const QPoint mouse(qBound(0, int(at.x()), view.width() - 1), qBound(0, int(at.y()), view.height() - 1));
        QMouseEvent move(QEvent::MouseMove, mouse, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
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
        const auto connection = QSharedPointer<ConnectionParameters>(
            new SiteConnectionParameters(::site(site), HalvorixServerSite::UDP, QStringLiteral("AES-256-GCM")));
        main.onVpnStartupProgress(
            VpnStartupProgress(connection, QStringLiteral("INIT_CONNECTION"), VpnStartupProgress::INITIAL));
        VpnConnectionState state(connection);
        state.updateState(QStringLiteral("CONNECTED"), QStringLiteral("SUCCESS"), QStringLiteral("10.8.0.6"),
                          QStringLiteral("192.0.2.1"));
        main.onUpdateState(state);
        shoot(main, QStringLiteral("connected-") + QTest::currentDataTag());
    }
};

QTEST_MAIN(TestMainWindowMapXvfb)
#include "tst_mainwindowmapxvfb.moc"
