// The world map with the shipped art on a real X server (label gui-xvfb):
// the default view with the catalogue's sites and the hovered site's callout,
// the own location in Dallas with its callout, and the connection view from
// Dallas to London. Each view is written as a screenshot for people to look
// at; the probes check that land, sea, nests and the curve are where the
// projection puts them.
#define QTEST_QPA_MOUSE_HANDLING

#include "MapTestSites.h"
#include "Screenshot.h"

#include "core/VpnConnectionState.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapWidget.h"

#include <QApplication>
#include <QTest>

namespace {
// Land is drawn in a light steel blue over the dark sea gradient.
bool isLand(const QColor &pixel)
{
    return pixel.red() > 60 && pixel.blue() > 120;
}

bool isSea(const QColor &pixel)
{
    return pixel.red() < 45 && pixel.blue() > 60;
}

bool isNestOrange(const QColor &pixel)
{
    return pixel.red() > 200 && pixel.green() > 100 && pixel.blue() < 150;
}

bool isCurveGreen(const QColor &pixel)
{
    return pixel.green() > 120 && pixel.red() < 90 && pixel.blue() < 90;
}

int countAround(const QImage &image, const QPoint &centre, int radius, bool (*test)(const QColor &))
{
    int found = 0;
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x)
            found += image.rect().contains(x, y) && test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return found;
}
} // namespace

class TestOrvalVpnMapXvfb : public QObject
{
    Q_OBJECT

    QScopedPointer<OrvalVpnMapWidget> m_map;

    QPoint onScreen(double latitude, double longitude) const
    {
        return m_map->matrix(0, 0).map(MapProjection::toMap(longitude, latitude)).toPoint();
    }

    QColor pixelAt(const QImage &image, double latitude, double longitude) const
    {
        return image.pixelColor(onScreen(latitude, longitude));
    }

    // What the X server shows of the map, once it shows the land at the place.
    QImage shown(double landLatitude, double landLongitude)
    {
        QApplication::processEvents();
        QImage image;
        const auto grab = [&] {
            image = Screenshot::grabScreen(QRect(m_map->mapToGlobal(QPoint()), m_map->size()));
            return image.size() == m_map->size() && isLand(pixelAt(image, landLatitude, landLongitude));
        };
        if (!QTest::qWaitFor(grab, 10000))
            qWarning("the map did not show land at %f, %f", landLatitude, landLongitude);
        return image;
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // The size of the map panel in the main window.
        m_map.reset(new OrvalVpnMapWidget);
        m_map->resize(787, 560);
        m_map->setServerSites(MapTestSites::catalogue());
        m_map->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_map.data()));
    }

    void cleanupTestCase() { m_map.reset(); }

    void defaultView()
    {
        // Hovering over Sao Paulo shows its callout (Europe's would stand
        // under the banner, which is drawn over the sites).
        QTest::mouseMove(m_map.data(), onScreen(-23.5505, -46.6333));
        const QImage image = shown(39.0, -98.0);
        QVERIFY(!Screenshot::save(image, QStringLiteral("default-view")).isEmpty());

        // Kansas, the Sahara and the Brazilian interior are land; the two
        // Atlantics and the Gulf of Mexico are sea.
        QVERIFY(isLand(pixelAt(image, 39.0, -98.0)));
        QVERIFY(isLand(pixelAt(image, 23.0, 10.0)));
        QVERIFY(isLand(pixelAt(image, -10.0, -55.0)));
        QVERIFY(isSea(pixelAt(image, 30.0, -40.0)));
        QVERIFY(isSea(pixelAt(image, -30.0, -15.0)));
        QVERIFY(isSea(pixelAt(image, 25.0, -90.0)));
        // The orange nests sit on the sites (those away from the hovered
        // site's marker and callout).
        const QPoint hovered = onScreen(-23.5505, -46.6333);
        int checked = 0;
        for (const HalvorixServerSite &site : MapTestSites::catalogue()) {
            const QPoint at = onScreen(site.getLocation().getLatitude(), site.getLocation().getLongitude());
            if (!image.rect().adjusted(20, 20, -20, -20).contains(at) || (at - hovered).manhattanLength() < 250)
                continue;
            QVERIFY2(countAround(image, at, 12, isNestOrange) > 20, qPrintable(site.getCity()));
            ++checked;
        }
        QVERIFY(checked >= 6);
    }

    void ownLocation()
    {
        m_map->setStartLocation(MapTestSites::dallas());
        VpnConnectionState state {QSharedPointer<NullConnectionParameters>::create()};
        state.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress("203.0.113.7"), 1);
        m_map->setPublicIp(state);
        // The mouse at the east edge, over the Atlantic: the nearest site,
        // London, and its callout lie beyond the edge and leave the own
        // location's callout in clear view.
        QTest::mouseMove(m_map.data(), QPoint(780, 150));
        const QImage image = shown(39.0, -98.0);
        QVERIFY(!Screenshot::save(image, QStringLiteral("own-location-dallas")).isEmpty());
        // Centred on Dallas at zoom 1.
        const QPointF dallas = m_map->matrix(0, 0).map(MapProjection::toMap(MapTestSites::dallas()));
        QVERIFY(qAbs(dallas.x() - 787 / 2.0) < 1e-6 && qAbs(dallas.y() - 560 / 2.0) < 1e-6);
    }

    void connectedView()
    {
        m_map->setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        // The mouse leaves the map: the hover callout is gone anyway while connected.
        QTest::mouseMove(m_map.data(), QPoint(5, 5));
        const QImage image = shown(39.0, -98.0);
        QVERIFY(!Screenshot::save(image, QStringLiteral("connected-dallas-london")).isEmpty());

        // Both ends and the middle of the curve from Dallas to London are in view and green.
        const QPointF home = MapProjection::toMap(MapTestSites::dallas());
        const QPointF site = MapProjection::toMap(MapTestSites::london().getLocation());
        const QPointF control((home.x() + site.x()) / 2 + 0.3 * (site.y() - home.y()),
                              (home.y() + site.y()) / 2 + 0.3 * (home.x() - site.x()));
        const QPoint middle = m_map->matrix(0, 0).map(0.25 * home + 0.5 * control + 0.25 * site).toPoint();
        QVERIFY(image.rect().contains(middle));
        QVERIFY(countAround(image, middle, 3, isCurveGreen) > 5);
        QVERIFY(image.rect().contains(onScreen(32.7767, -96.7970)));
        QVERIFY(image.rect().contains(onScreen(51.5074, -0.1278)));
    }
};

QTEST_MAIN(TestOrvalVpnMapXvfb)
#include "tst_orvalvpnmapxvfb.moc"
