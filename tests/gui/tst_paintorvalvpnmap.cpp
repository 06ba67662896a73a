// One frame of the world map rendered offscreen into an image, with synthetic
// art in plain colours so that each element can be found by its colour: the
// map copies, nests, the own location, callouts, the banner and the
// connection curve; and the callout texts.
#include "MapTestSites.h"

#include "gui/CalloutPlacement.h"

#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapResources.h"
#include "gui/PaintOrvalVpnMap.h"

#include <QPainter>
#include <QTest>
#include <QTextDocument>

namespace {
const QColor BACKGROUND(20, 20, 20);
const QColor LAND(0, 0, 255);
const QColor NEST(255, 255, 0);
const QColor HOME(255, 0, 255);
const QColor MARKER(0, 255, 255);
const QColor BACKDROP(250, 250, 250);
const QColor BANNER(255, 128, 0);
// The home image is drawn at opacity 0.75 over the background.
const QColor HOME_ON_BACKGROUND(0.75 * 255 + 0.25 * 20, 0.25 * 20, 0.75 * 255 + 0.25 * 20);

// A map of half the shipped width: the painter must take its scale from the image.
const int MAP_WIDTH = 1024;
// The block of land on the synthetic map: longitude 20 to 30, latitude 10 to 20.
const QPointF BLOCK_CENTRE(25, 15);

QImage solid(int width, int height, const QColor &colour)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

bool is(const QColor &pixel, const QColor &colour)
{
    return qAbs(pixel.red() - colour.red()) + qAbs(pixel.green() - colour.green()) + qAbs(pixel.blue() - colour.blue())
           < 30;
}

bool isCurveGreen(const QColor &pixel)
{
    return pixel.green() > 100 && pixel.red() < 60 && pixel.blue() < 60;
}

int count(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &test)
{
    int found = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            found += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return found;
}

// A callout stands above its anchor: its backdrop fills the strip between
// 90 and 52 pixels above the anchor.
bool hasCalloutAbove(const QImage &image, const QPointF &anchor)
{
    const QRect strip(int(anchor.x()) - 30, int(anchor.y()) - 90, 60, 38);
    return count(image, strip, [](const QColor &pixel) { return is(pixel, BACKDROP); }) > 200;
}

GeoLocation place(double latitude, double longitude, const QString &country = QStringLiteral("USA"))
{
    return GeoLocation(latitude, longitude, country);
}

// One frame's inputs, with defaults that show all three copies of the map.
struct Frame
{
    bool connected = false;
    HalvorixServerSite connectedSite;
    double zoom = 0.25;
    QPointF centre = QPointF(MAP_WIDTH / 2, MAP_WIDTH / 2);
    QList<HalvorixServerSite> sites;
    GeoLocation start;
    QPointF mouse;
    QString publicIp = QStringLiteral("n/a");
    QSize size = QSize(1000, 600);
    bool showingServerList = false;
    // Under see-through panels: callouts are placed clear of it.
    QRegion covered;

    QTransform matrix() const
    {
        QTransform transform;
        transform.translate(size.width() * 0.5, size.height() * 0.5);
        transform.scale(zoom, zoom);
        transform.translate(-centre.x(), -centre.y());
        return transform;
    }

    // Where a place shows in copy i.
    QPointF at(const GeoLocation &location, int copy = 0) const
    {
        return matrix().map(MapProjection::toMap(location, MAP_WIDTH) + QPointF(copy * MAP_WIDTH, 0));
    }

    PaintOrvalVpnMap painter(const OrvalVpnMapResources &resources) const
    {
        PaintOrvalVpnMap frame(&resources, connected, connectedSite, matrix(), sites, start, mouse, publicIp,
                               size.width(), size.height(), showingServerList);
        frame.setCoveredArea(covered);
        return frame;
    }
    QImage render(const OrvalVpnMapResources &resources, const QPointF &entryShift = QPointF()) const
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(entryShift);
        this->painter(resources).paint(&painter);
        return image;
    }
};

// The callout's lines as text; each image shows as "[image]", so that markup
// turned into an image would show too.
QStringList plainLines(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText()
        .replace(QChar::ObjectReplacementCharacter, QStringLiteral("[image]"))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class TestPaintOrvalVpnMap : public QObject
{
    Q_OBJECT

    OrvalVpnMapResources m_art;

private slots:
    void initTestCase()
    {
        // The real flags for the callouts; every other image is replaced.
        Q_INIT_RESOURCE(vpnbackend);
        m_art.background = solid(16, 16, BACKGROUND);
        m_art.map = QImage(MAP_WIDTH, MAP_WIDTH, QImage::Format_ARGB32_Premultiplied);
        m_art.map.fill(Qt::transparent);
        const QRectF block(MapProjection::toMap(20, 20, MAP_WIDTH), MapProjection::toMap(30, 10, MAP_WIDTH));
        QPainter(&m_art.map).fillRect(block, LAND);
        m_art.banner = solid(224, 79, BANNER);
        m_art.marker = solid(60, 60, MARKER);
        m_art.nest = solid(174, 174, NEST);
        m_art.home = solid(60, 60, HOME);
        m_art.factsBackground = solid(170, 90, BACKDROP);
    }

    void resourcesLoadTheShippedImages()
    {
        const OrvalVpnMapResources shipped;
        QCOMPARE(shipped.background.size(), QSize(1024, 1024));
        QCOMPARE(shipped.map.size(), QSize(2048, 2048));
        QCOMPARE(shipped.banner.size(), QSize(224, 79));
        QCOMPARE(shipped.marker.size(), QSize(60, 60));
        QCOMPARE(shipped.nest.size(), QSize(174, 174));
        QCOMPARE(shipped.home.size(), QSize(60, 60));
        QCOMPARE(shipped.factsBackground.size(), QSize(170, 90));
        QCOMPARE(shipped.mapWidth(), 2048.0);
        QCOMPARE(m_art.mapWidth(), double(MAP_WIDTH));
        OrvalVpnMapResources missing;
        missing.map = QImage();
        QCOMPARE(missing.mapWidth(), MapProjection::MAP_WIDTH);
    }

    // Every map widget holds resources: they share one decoded copy of each image.
    void resourcesShareOneDecodedCopy()
    {
        const OrvalVpnMapResources first;
        const OrvalVpnMapResources second;
        const QList<QPair<const QImage *, const QImage *>> images {{&first.background, &second.background},
                                                                   {&first.map, &second.map},
                                                                   {&first.banner, &second.banner},
                                                                   {&first.marker, &second.marker},
                                                                   {&first.nest, &second.nest},
                                                                   {&first.home, &second.home},
                                                                   {&first.factsBackground, &second.factsBackground}};
        for (const auto &pair : images) {
            QVERIFY(!pair.first->isNull());
            QCOMPARE(pair.first->constBits(), pair.second->constBits());
        }
    }

    // A 100x60 callout in a 400x300 map whose preferred place ends 20 pixels
    // above its anchor; the marker is 30x30 on the anchor.
    void calloutPlacement_data()
    {
        QTest::addColumn<QList<QRectF>>("covered");
        QTest::addColumn<QPointF>("anchor");
        QTest::addColumn<QPointF>("placed");
        const QList<QRectF> none;
        const QRectF banner(190, 5, 200, 70);
        QTest::newRow("fits above") << none << QPointF(200, 150) << QPointF(150, 70);
        QTest::newRow("at the top: flipped below") << none << QPointF(200, 40) << QPointF(150, 60);
        QTest::newRow("at the left edge: shifted in") << none << QPointF(20, 150) << QPointF(0, 70);
        QTest::newRow("at the right edge: shifted in") << none << QPointF(390, 150) << QPointF(300, 70);
        QTest::newRow("under the banner: flipped below")
            << QList<QRectF> {banner} << QPointF(300, 120) << QPointF(250, 140);
        QTest::newRow("beside a side panel: shifted beside it")
            << QList<QRectF> {QRectF(0, 0, 150, 300)} << QPointF(170, 150) << QPointF(150, 70);
        // Just below the bar the callout would cover its marker: it goes above the bar.
        QTest::newRow("never over its marker")
            << QList<QRectF> {QRectF(0, 60, 400, 30)} << QPointF(200, 150) << QPointF(150, 0);
        QTest::newRow("nothing fits whole: shows most, nearest")
            << QList<QRectF> {QRectF(0, 0, 400, 250)} << QPointF(200, 150) << QPointF(150, 240);
    }

    void calloutPlacement()
    {
        QFETCH(QList<QRectF>, covered);
        QFETCH(QPointF, anchor);
        QFETCH(QPointF, placed);
        const QRectF preferred(anchor.x() - 50, anchor.y() - 80, 100, 60);
        const QRectF marker(anchor - QPointF(15, 15), QSizeF(30, 30));
        const CalloutPlacement placement(QRectF(0, 0, 400, 300), covered);
        const QRectF rect = placement.place(preferred, anchor, marker);
        QCOMPARE(rect, QRectF(placed, preferred.size()));
        QVERIFY(!rect.intersects(marker));
    }

    // The callouts go where the placement puts them, clear of the covered
    // area and the banner, and are drawn there.
    void calloutsAreDrawnClearOfTheCoveredArea_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::newRow("hovered") << false;
        QTest::newRow("connected") << true;
    }

    void calloutsAreDrawnClearOfTheCoveredArea()
    {
        QFETCH(bool, connected);
        Frame frame;
        frame.zoom = 1.0;
        frame.centre = QPointF(540, 480);
        const HalvorixServerSite site = MapTestSites::site("DEU", "Covered", 30, 20);
        frame.sites = {site};
        frame.connected = connected;
        frame.connectedSite = site;
        const QPointF anchor = frame.at(site.getLocation());
        frame.mouse = anchor;
        // A panel over the place above the site.
        const QRect panel(int(anchor.x()) - 150, 0, 300, int(anchor.y()) - 40);
        frame.covered = panel;
        const QImage image = frame.render(m_art);

        const QList<PaintOrvalVpnMap::Callout> callouts = frame.painter(m_art).callouts();
        QCOMPARE(callouts.size(), 1);
        const QRectF rect = callouts.first().rect;
        QVERIFY(!rect.intersects(panel));
        QVERIFY(QRectF(image.rect()).contains(rect));
        QVERIFY2(rect.top() > anchor.y(), "flipped below its site");
        const auto backdrop = [](const QColor &pixel) { return is(pixel, BACKDROP); };
        QCOMPARE(count(image, panel, backdrop), 0);
        QVERIFY(count(image, rect.toRect(), backdrop) > rect.width() * rect.height() / 2);
        // The marker on the site stays in sight.
        QVERIFY(is(image.pixelColor(anchor.toPoint()), MARKER));
    }

    // What a later frame repaints: the callouts that changed, the nests whose
    // stacking changed, or everything when the view did.
    void changedRegion_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("hover moves to another site") << "other site";
        QTest::newRow("mouse moves, same site nearest") << "same site";
        QTest::newRow("public IP, idle") << "ip idle";
        QTest::newRow("public IP, connected") << "ip connected";
        QTest::newRow("server list shown") << "server list";
        QTest::newRow("zoom") << "zoom";
        QTest::newRow("overlapping nests swap") << "swap";
    }

    void changedRegion()
    {
        QFETCH(QString, change);
        Frame frame;
        frame.zoom = 1.0;
        frame.centre = QPointF(540, 480);
        const HalvorixServerSite west = MapTestSites::site("USA", "West", 30, -20);
        const HalvorixServerSite east = MapTestSites::site("DEU", "East", 30, 20);
        const HalvorixServerSite touching = MapTestSites::site("DEU", "Touching", 31, 21);
        frame.sites = {west, east};
        frame.start = place(-20, 0.5);
        frame.mouse = frame.at(west.getLocation());
        frame.connected = change == "ip connected";
        frame.connectedSite = east;
        if (change == "swap") {
            // No callouts: only the nests' stacking changes.
            frame.showingServerList = true;
            frame.sites = {east, touching, west};
        }
        const PaintOrvalVpnMap before = frame.painter(m_art);

        Frame after = frame;
        QRegion expected;
        // Each rectangle with a pixel around it for antialiased edges.
        const auto touched = [](const QRectF &rect) { return rect.toAlignedRect().adjusted(-1, -1, 1, 1); };
        const auto area = [&](const QList<PaintOrvalVpnMap::Callout> &callouts) {
            QRegion region;
            for (const PaintOrvalVpnMap::Callout &callout : callouts)
                region += QRegion(touched(callout.rect)) + touched(callout.marker);
            return region;
        };
        if (change == "other site") {
            after.sites = {east, west};
            after.mouse = frame.at(east.getLocation());
            expected = area({before.callouts().at(1), after.painter(m_art).callouts().at(1)});
        } else if (change == "same site") {
            after.mouse += QPointF(3, 2);
        } else if (change.startsWith("ip")) {
            after.publicIp = QStringLiteral("203.0.113.7");
            if (change == "ip idle")
                expected = area({before.callouts().first(), after.painter(m_art).callouts().first()});
        } else if (change == "server list") {
            after.showingServerList = true;
            expected = area(before.callouts());
        } else if (change == "zoom") {
            after.zoom = 1.05;
            expected = QRect(QPoint(), frame.size);
        } else if (change == "swap") {
            after.sites = {touching, east, west};
            after.mouse = frame.at(touching.getLocation());
            // The synthetic nest is 174 pixels wide, drawn at 0.3.
            const QSizeF nest(52.2, 52.2);
            const QRectF overlap = QRectF(frame.at(east.getLocation()) - QPointF(26.1, 26.1), nest)
                                   & QRectF(frame.at(touching.getLocation()) - QPointF(26.1, 26.1), nest);
            QVERIFY(!overlap.isEmpty());
            expected = touched(overlap);
        }
        QCOMPARE(after.painter(m_art).changedFrom(before), expected & QRect(QPoint(), frame.size));
    }

    // Each copy is the painter's own transform times copy i: the block shows
    // exactly three times, one map width (times the zoom) apart.
    void mapCopiesAreNotAccumulated_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QPointF>("entryShift");
        QTest::newRow("zoom 0.25") << 0.25 << QPointF(512, 512) << QPointF();
        QTest::newRow("zoom 0.4, centred east") << 0.4 << QPointF(700, 450) << QPointF();
        QTest::newRow("painter already translated") << 0.3 << QPointF(512, 480) << QPointF(13, 7);
    }

    void mapCopiesAreNotAccumulated()
    {
        QFETCH(double, zoom);
        QFETCH(QPointF, centre);
        QFETCH(QPointF, entryShift);
        Frame frame;
        frame.zoom = zoom;
        frame.centre = centre;
        const QImage image = frame.render(m_art, entryShift);

        const QPointF block = frame.at(place(BLOCK_CENTRE.y(), BLOCK_CENTRE.x())) + entryShift;
        const int row = qRound(block.y());
        QList<double> runs; // centres of the runs of land along the block's row
        int runStart = -1;
        for (int x = 0; x <= image.width(); ++x) {
            const bool land = x < image.width() && is(image.pixelColor(x, row), LAND);
            if (land && runStart < 0)
                runStart = x;
            if (!land && runStart >= 0) {
                runs << (runStart + x - 1) / 2.0;
                runStart = -1;
            }
        }
        QList<double> expected;
        for (int copy = -1; copy <= 1; ++copy) {
            const double x = block.x() + copy * zoom * MAP_WIDTH;
            if (x > 5 && x < image.width() - 5)
                expected << x;
        }
        QCOMPARE(runs.size(), expected.size());
        for (int i = 0; i < runs.size(); ++i)
            QVERIFY2(qAbs(runs[i] - expected[i]) < 2,
                     qPrintable(QString("run at %1, expected %2").arg(runs[i]).arg(expected[i])));
    }

    void nests_data()
    {
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("north-east") << 40.0 << 60.0 << true;
        QTest::newRow("south-west") << -33.9 << -70.0 << true;
        QTest::newRow("latitude 0") << 0.0 << 60.0 << false;
        QTest::newRow("longitude 0") << 40.0 << 0.0 << false;
    }

    void nests()
    {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QFETCH(bool, drawn);
        Frame frame;
        frame.sites = {MapTestSites::site("DEU", "Site", latitude, longitude)};
        frame.showingServerList = true; // no callout over the nests
        const QImage image = frame.render(m_art);
        int copies = 0;
        for (int copy = -1; copy <= 1; ++copy) {
            const QPoint at = frame.at(place(latitude, longitude), copy).toPoint();
            if (!image.rect().contains(at))
                continue;
            ++copies;
            // 174 pixels drawn at 0.3: about 52 across, whatever the zoom.
            QCOMPARE(is(image.pixelColor(at), NEST), drawn);
            QCOMPARE(is(image.pixelColor(at + QPoint(24, 24)), NEST), drawn);
            QVERIFY(!is(image.pixelColor(at + QPoint(28, 28)), NEST));
        }
        QCOMPARE(copies, 3);
        if (!drawn)
            QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, NEST); }), 0);
    }

    // The own location shows once, in the copy nearest the widget's centre.
    void homeInTheCopyNearestTheCentre_data()
    {
        QTest::addColumn<double>("centreX");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<int>("copy");
        QTest::newRow("centre in the west half, home far east") << 100.0 << 170.0 << -1;
        QTest::newRow("centre in the east half, home far west") << 900.0 << -170.0 << 1;
        QTest::newRow("centre and home close") << 500.0 << 10.0 << 0;
    }

    void homeInTheCopyNearestTheCentre()
    {
        QFETCH(double, centreX);
        QFETCH(double, longitude);
        QFETCH(int, copy);
        Frame frame;
        frame.centre = QPointF(centreX, 450);
        frame.start = place(30, longitude);
        frame.showingServerList = true;
        const QImage image = frame.render(m_art);
        for (int i = -1; i <= 1; ++i) {
            const QPoint at = frame.at(frame.start, i).toPoint();
            if (image.rect().contains(at))
                QVERIFY2(is(image.pixelColor(at), HOME_ON_BACKGROUND) == (i == copy), qPrintable(QString::number(i)));
        }
        // 60 pixels at 0.6: 36 across.
        const QPoint at = frame.at(frame.start, copy).toPoint();
        QVERIFY(is(image.pixelColor(at + QPoint(16, 16)), HOME_ON_BACKGROUND));
        QVERIFY(!is(image.pixelColor(at + QPoint(20, 20)), HOME_ON_BACKGROUND));
    }

    void noHomeWithoutOwnLocation()
    {
        Frame frame;
        frame.start = place(0, 10);
        const QImage image = frame.render(m_art);
        QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, HOME_ON_BACKGROUND); }), 0);
        QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, BACKDROP); }), 0);
    }

    // 200 pixels wide, 10 from the right edge, 5 from the top and
    // 200 * 79 / 224 = 70.54 high: its last row is row 75.
    void bannerRectangle()
    {
        Frame frame;
        const QImage image = frame.render(m_art);
        const QRect expected(790, 5, 200, 71);
        QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, BANNER); }),
                 expected.width() * expected.height());
        QVERIFY(is(image.pixelColor(790, 5), BANNER));
        QVERIFY(is(image.pixelColor(989, 75), BANNER));
        QVERIFY(!is(image.pixelColor(989, 76), BANNER));
        QVERIFY(!is(image.pixelColor(990, 40), BANNER));
    }

    void callouts_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("showingServerList");
        QTest::addColumn<bool>("withSites");
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("home");
        QTest::addColumn<bool>("vpn");
        QTest::newRow("idle") << false << false << true << true << true << false;
        QTest::newRow("connected") << true << false << true << false << false << true;
        QTest::newRow("server list shown") << false << true << true << false << false << false;
        QTest::newRow("connected, server list shown") << true << true << true << false << false << true;
        QTest::newRow("no sites") << false << false << false << false << true << false;
    }

    void callouts()
    {
        QFETCH(bool, connected);
        QFETCH(bool, showingServerList);
        QFETCH(bool, withSites);
        QFETCH(bool, hover);
        QFETCH(bool, home);
        QFETCH(bool, vpn);
        Frame frame;
        frame.zoom = 1.0;
        frame.centre = QPointF(540, 480);
        frame.start = place(30, -100);
        const HalvorixServerSite hovered = MapTestSites::site("DEU", "Hovered", 30, 20);
        const HalvorixServerSite connectedSite = MapTestSites::site("JPN", "Connected", -30, 120);
        if (withSites)
            frame.sites = {hovered, connectedSite};
        frame.connected = connected;
        frame.connectedSite = connectedSite;
        frame.showingServerList = showingServerList;
        frame.mouse = frame.at(hovered.getLocation());
        const QImage image = frame.render(m_art);

        QCOMPARE(hasCalloutAbove(image, frame.at(hovered.getLocation())), hover);
        QCOMPARE(hasCalloutAbove(image, frame.at(frame.start)), home);
        QCOMPARE(hasCalloutAbove(image, frame.at(connectedSite.getLocation())), vpn);
        // The marker goes with the site callouts; the home image and nests always show.
        QCOMPARE(is(image.pixelColor(frame.at(hovered.getLocation()).toPoint()), MARKER), hover);
        QCOMPARE(is(image.pixelColor(frame.at(connectedSite.getLocation()).toPoint()), MARKER), vpn);
        // (Probed off its centre, west of the curve that starts there.)
        QVERIFY(is(image.pixelColor(frame.at(frame.start).toPoint() - QPoint(14, 14)), HOME_ON_BACKGROUND));
        if (withSites && !hover)
            QVERIFY(is(image.pixelColor(frame.at(hovered.getLocation()).toPoint()), NEST));
    }

    void noCalloutForASiteThatIsNotPlaced()
    {
        Frame frame;
        frame.zoom = 1.0;
        frame.sites = {MapTestSites::site("DEU", "Nowhere", 0, 20)};
        frame.mouse = frame.at(frame.sites.first().getLocation());
        frame.connected = true;
        frame.connectedSite = frame.sites.first();
        QImage image = frame.render(m_art);
        QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, BACKDROP); }), 0);
        frame.connected = false;
        image = frame.render(m_art);
        QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, BACKDROP); }), 0);
    }

    // The hovered site's marker and callout go to whichever copy of the site
    // lies nearer to the mouse: near the west edge, a site at 179 E is drawn
    // in the left copy.
    void hoverMarkerInTheCopyNearestTheMouse()
    {
        Frame frame;
        frame.zoom = 1.0;
        frame.centre = MapProjection::toMap(-175, 20, MAP_WIDTH);
        const HalvorixServerSite site = MapTestSites::site("FJI", "Suva", 20, 179);
        frame.sites = {site};
        frame.mouse = frame.at(place(20, -179.5));
        const QImage image = frame.render(m_art);
        const QPointF left = frame.at(site.getLocation(), -1);
        QVERIFY(image.rect().contains(left.toPoint()));
        QVERIFY(is(image.pixelColor(left.toPoint()), MARKER));
        QVERIFY(hasCalloutAbove(image, left));
        QCOMPARE(count(image, image.rect(), [](const QColor &pixel) { return is(pixel, MARKER); }),
                 count(image, QRect(left.toPoint() - QPoint(30, 30), QSize(60, 60)),
                       [](const QColor &pixel) { return is(pixel, MARKER); }));
    }

    void curve_data()
    {
        QTest::addColumn<GeoLocation>("start");
        QTest::addColumn<GeoLocation>("site");
        QTest::addColumn<bool>("drawn");
        const GeoLocation london(51.5074, -0.1278, "GBR");
        QTest::newRow("Dallas to London") << MapTestSites::dallas() << london << true;
        QTest::newRow("Sydney to London") << place(-33.8688, 151.2093, "AUS") << london << true;
        QTest::newRow("no own location") << GeoLocation() << london << false;
        QTest::newRow("own location on the equator") << place(0, -96.8) << london << false;
        QTest::newRow("site not placed") << MapTestSites::dallas() << GeoLocation(51.5, 0, "GBR") << false;
    }

    void curve()
    {
        QFETCH(GeoLocation, start);
        QFETCH(GeoLocation, site);
        QFETCH(bool, drawn);
        Frame frame;
        frame.zoom = 0.6;
        frame.centre =
            (MapProjection::toMap(MapTestSites::dallas(), MAP_WIDTH) + MapProjection::toMap(site, MAP_WIDTH)) / 2;
        frame.start = start;
        frame.connected = true;
        frame.connectedSite = MapTestSites::site("GBR", "London", site.getLatitude(), site.getLongitude());
        const QImage image = frame.render(m_art);
        const int green = count(image, image.rect(), isCurveGreen);
        if (!drawn) {
            QCOMPARE(green, 0);
            return;
        }
        QVERIFY2(green > 100, qPrintable(QString::number(green)));
        // The quadratic curve's middle: a quarter of each end and half the
        // control point, the midpoint pushed sideways by 0.3 of the segment.
        const QPointF home = MapProjection::toMap(start, MAP_WIDTH);
        const QPointF end = MapProjection::toMap(site, MAP_WIDTH);
        const QPointF control((home.x() + end.x()) / 2 + 0.3 * (end.y() - home.y()),
                              (home.y() + end.y()) / 2 + 0.3 * (home.x() - end.x()));
        const QPoint middle = frame.matrix().map(0.25 * home + 0.5 * control + 0.25 * end).toPoint();
        QVERIFY(count(image, QRect(middle - QPoint(2, 2), QSize(5, 5)), isCurveGreen) > 5);
    }

    void siteCallout_data()
    {
        QTest::addColumn<HalvorixServerSite>("site");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("plain") << MapTestSites::site("DEU", "Frankfurt", 50.1, 8.7)
                               << QStringList {"Germany", "Frankfurt"};
        QTest::newRow("stealth") << MapTestSites::site("GBR", "London", 51.5, -0.1, true)
                                 << QStringList {"United Kingdom", "London", "Stealth"};
        QTest::newRow("markup in the city")
            << MapTestSites::site("DEU", "<b>X</b>", 50.1, 8.7) << QStringList {"Germany", "<b>X</b>"};
        // An unknown code is shown as it is, as the country's name.
        QTest::newRow("markup as the country code")
            << MapTestSites::site("<i>Q</i>", "Town", 50.1, 8.7) << QStringList {"<i>Q</i>", "Town"};
        QTest::newRow("placeholder in the city")
            << MapTestSites::site("DEU", "%3 & %2", 50.1, 8.7, true) << QStringList {"Germany", "%3 & %2", "Stealth"};
    }

    void siteCallout()
    {
        QFETCH(HalvorixServerSite, site);
        QFETCH(QStringList, lines);
        QCOMPARE(plainLines(PaintOrvalVpnMap::siteCalloutHtml(site)), QStringList("[image]") + lines);
    }

    void homeCallout_data()
    {
        QTest::addColumn<QString>("publicIp");
        QTest::newRow("address") << "203.0.113.7";
        QTest::newRow("detecting") << "Detecting..";
        QTest::newRow("markup") << "<img src=\"file:///etc/passwd\"><b>1</b>";
    }

    void homeCallout()
    {
        QFETCH(QString, publicIp);
        QCOMPARE(plainLines(PaintOrvalVpnMap::homeCalloutHtml(publicIp)),
                 QStringList({"[image]", "You are here!", "IP: " + publicIp, "Not protected!"}));
    }
};

QTEST_MAIN(TestPaintOrvalVpnMap)
#include "tst_paintorvalvpnmap.moc"
