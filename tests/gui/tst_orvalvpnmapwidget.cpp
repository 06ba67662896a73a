// The map widget's view state and input, offscreen: the view transform, the
// continent views, zoom steps and the wheel, the pan limit, the nearest site
// across the date line, mouse sequences, the connection view and the
// public-IP text.
#define QTEST_QPA_MOUSE_HANDLING

#include "MapTestSites.h"

#include "core/VpnConnectionState.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapWidget.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <utility>

namespace {
const double W = 2048.0; // the shipped map's width

bool near(const QPointF &actual, const QPointF &expected, double tolerance = 0.01)
{
    return qAbs(actual.x() - expected.x()) < tolerance && qAbs(actual.y() - expected.y()) < tolerance;
}

QString text(const QPointF &point)
{
    return QStringLiteral("(%1, %2)").arg(point.x(), 0, 'f', 3).arg(point.y(), 0, 'f', 3);
}

// One left-button drag by the offset, starting at the point.
void drag(QWidget &widget, const QPoint &from, const QPoint &by)
{
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&widget, from + by / 2);
    QTest::mouseMove(&widget, from + by);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, from + by);
}

void sendWheel(QWidget &widget, int delta, Qt::KeyboardModifiers modifiers, bool *accepted = nullptr)
{
    const QPoint position(widget.width() / 2, widget.height() / 2);
    QWheelEvent event(position, widget.mapToGlobal(position), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QApplication::sendEvent(&widget, &event);
    if (accepted)
        *accepted = event.isAccepted();
}

// Records the region of every paint event the widget gets.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget *widget) { widget->installEventFilter(this); }
    QList<QRegion> regions;

    // Lets the pending repaints happen and returns their regions.
    QList<QRegion> take()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return std::exchange(regions, {});
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions << static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

bool covers(const QRegion &region, const QRect &rect)
{
    return (QRegion(rect) - region).isEmpty();
}

QRegion united(const QList<QRegion> &regions)
{
    QRegion all;
    for (const QRegion &region : regions)
        all += region;
    return all;
}

VpnConnectionState detection(int state, int cycle, const QHostAddress &address = QHostAddress())
{
    VpnConnectionState connectionState {QSharedPointer<NullConnectionParameters>::create()};
    connectionState.updatedDetectedPublicIp(static_cast<VpnConnectionState::PublicIpDetectionState>(state), address,
                                            cycle);
    return connectionState;
}
} // namespace

class TestOrvalVpnMapWidget : public QObject
{
    Q_OBJECT

    QScopedPointer<OrvalVpnMapWidget> m_widget;

    // A fresh widget of the size, shown so that the mouse reaches it.
    OrvalVpnMapWidget &map(int width = 1000, int height = 600)
    {
        m_widget.reset(new OrvalVpnMapWidget);
        m_widget->resize(width, height);
        m_widget->show();
        if (!QTest::qWaitForWindowExposed(m_widget.data()))
            qWarning("map widget not exposed");
        return *m_widget;
    }

    // Where a place shows in the widget (central copy).
    QPoint onScreen(const OrvalVpnMapWidget &view, double latitude, double longitude)
    {
        return view.matrix(0, 0).map(MapProjection::toMap(longitude, latitude)).toPoint();
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        qRegisterMetaType<HalvorixServerSite>();
    }

    void cleanup() { m_widget.reset(); }

    void startsWithTheDefaultView()
    {
        OrvalVpnMapWidget &view = map();
        QCOMPARE(view.getZoomFactor(), 0.67);
        QCOMPARE(view.getPan(), QPointF(218, 124));
        QCOMPARE(view.getCenter(), QPointF(1024, 1024));
        QCOMPARE(view.getViewOffset(), QPointF(0, 0));
        QCOMPARE(view.getPublicIp(), QStringLiteral("n/a"));
        QVERIFY(!view.isConnected());
        QVERIFY(view.hasMouseTracking());
    }

    // Centre, offset, zoom, pan and copy, in that order: a point p lands at
    // (W/2, H/2) + offset/2 + zoom * (p - centre + pan + (dx * w, 0)).
    void transform_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("dx");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QPointF>("expected");
        const double shift = 0.67 * W;
        QTest::newRow("default, centre") << "default" << 0 << QPointF(1024, 1024) << QPointF(646.06, 383.08);
        QTest::newRow("default, copy -1") << "default" << -1 << QPointF(1024, 1024) << QPointF(646.06 - shift, 383.08);
        QTest::newRow("default, copy +1") << "default" << 1 << QPointF(1024, 1024) << QPointF(646.06 + shift, 383.08);
        QTest::newRow("default, origin") << "default" << 0 << QPointF(0, 0)
                                         << QPointF(500 + 0.67 * (218 - 1024), 300 + 0.67 * (124 - 1024));
        const QPointF europe = MapProjection::toMap(25, 50);
        QTest::newRow("Europe, its centre") << "europe" << 0 << europe << QPointF(500, 300);
        QTest::newRow("Europe, 100 map pixels east") << "europe" << 0 << europe + QPointF(100, 0) << QPointF(650, 300);
        QTest::newRow("Europe, copy +1") << "europe" << 1 << europe << QPointF(500 + 1.5 * W, 300);
        // The connection view's offset moves the centre by half of it.
        const QPointF midpoint =
            (MapProjection::toMap(MapTestSites::dallas()) + MapProjection::toMap(-0.1278, 51.5074)) / 2;
        QTest::newRow("connected, midpoint") << "connected" << 0 << midpoint << QPointF(675, 300);
    }

    void transform()
    {
        QFETCH(QString, view);
        QFETCH(int, dx);
        QFETCH(QPointF, point);
        QFETCH(QPointF, expected);
        OrvalVpnMapWidget &widget = map(1000, 600);
        if (view == "europe") {
            widget.showEurope();
        } else if (view == "connected") {
            widget.setStartLocation(MapTestSites::dallas());
            widget.setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        }
        const QPointF actual = widget.matrix(dx, 0).map(point);
        QVERIFY2(near(actual, expected), qPrintable(text(actual)));
        // The inverse takes the widget point back to the map.
        QVERIFY(near(widget.matrix(dx, 0).inverted().map(actual), point, 1e-6));
    }

    void presets_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("latitude");
        QTest::newRow("Europe") << "showEurope" << 1.5 << 25.0 << 50.0;
        QTest::newRow("North America") << "showNorthAmerica" << 1.0 << -105.0 << 40.0;
        QTest::newRow("Africa") << "showAfrica" << 1.0 << 20.0 << -5.0;
        QTest::newRow("Asia") << "showAsia" << 0.9 << 87.0 << 25.0;
        QTest::newRow("Australia") << "showAustralia" << 0.9 << 130.0 << -30.0;
    }

    void presets()
    {
        QFETCH(QString, slot);
        QFETCH(double, zoom);
        QFETCH(double, longitude);
        QFETCH(double, latitude);
        OrvalVpnMapWidget &view = map();
        // Start from a connection view, dragged: every part of it is replaced.
        view.setStartLocation(MapTestSites::dallas());
        view.setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        drag(view, QPoint(500, 300), QPoint(40, 30));
        QVERIFY(view.getPan() != QPointF());

        QVERIFY(QMetaObject::invokeMethod(&view, qPrintable(slot)));
        QCOMPARE(view.getZoomFactor(), zoom);
        QCOMPARE(view.getPan(), QPointF(0, 0));
        QCOMPARE(view.getViewOffset(), QPointF(0, 0));
        QVERIFY2(near(view.getCenter(), MapProjection::toMap(longitude, latitude), 1e-9),
                 qPrintable(text(view.getCenter())));
    }

    void europeCentresOnItsProjection()
    {
        OrvalVpnMapWidget &view = map();
        view.showEurope();
        QVERIFY2(near(view.getCenter(), QPointF(1166.22, 694.57)), qPrintable(text(view.getCenter())));
    }

    void showDefaultKeepsCentreAndOffset()
    {
        OrvalVpnMapWidget &view = map();
        view.setStartLocation(MapTestSites::dallas());
        view.setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        const QPointF centre = view.getCenter();
        view.showDefault();
        QCOMPARE(view.getZoomFactor(), 0.67);
        QCOMPARE(view.getPan(), QPointF(218, 124));
        QCOMPARE(view.getCenter(), centre);
        QCOMPARE(view.getViewOffset(), QPointF(350, 0));
    }

    void ownLocationAndCentring()
    {
        OrvalVpnMapWidget &view = map();
        view.setStartLocation(MapTestSites::dallas());
        QCOMPARE(view.getZoomFactor(), 1.0);
        QCOMPARE(view.getPan(), QPointF(0, 0));
        QVERIFY2(near(view.getCenter(), QPointF(473.33, 826.45)), qPrintable(text(view.getCenter())));

        view.zoomIn();
        view.centerAroundLocation(GeoLocation(-33.8688, 151.2093));
        QCOMPARE(view.getZoomFactor(), 1.05); // the zoom stays
        QCOMPARE(view.getPan(), QPointF(0, 0));
        QVERIFY2(near(view.getCenter(), QPointF(1884.21, 1228.99)), qPrintable(text(view.getCenter())));
    }

    // Each step multiplies or divides by 1.05 and stops exactly at the bound:
    // 2.9 goes to 3.0, not 3.045; 0.41 to 0.4.
    void zoomStepsStopAtTheBounds_data()
    {
        QTest::addColumn<bool>("in");
        QTest::addColumn<double>("bound");
        QTest::newRow("in") << true << 3.0;
        QTest::newRow("out") << false << 0.4;
    }

    void zoomStepsStopAtTheBounds()
    {
        QFETCH(bool, in);
        QFETCH(double, bound);
        OrvalVpnMapWidget &view = map();
        bool reachedFromWithinAStep = false;
        for (int step = 0; step < 60; ++step) {
            const double before = view.getZoomFactor();
            in ? view.zoomIn() : view.zoomOut();
            const double unbounded = in ? before * 1.05 : before / 1.05;
            const bool crossing = in ? unbounded > bound : unbounded < bound;
            QCOMPARE(view.getZoomFactor(), crossing ? bound : unbounded);
            reachedFromWithinAStep |= crossing && before != bound;
        }
        QVERIFY(reachedFromWithinAStep);
        QCOMPARE(view.getZoomFactor(), bound);
    }

    void wheel_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("delta");
        QTest::addColumn<double>("zoom");
        const int none = Qt::NoModifier;
        const int control = Qt::ControlModifier;
        const int controlShift = Qt::ControlModifier | Qt::ShiftModifier;
        const QList<QPair<int, double>> control_rows = {{120, 0.67 * 1.05}, {4, 0.67 * 1.05}, {-4, 0.67},
                                                        {-5, 0.67 / 1.05},  {0, 0.67},        {-120, 0.67 / 1.05}};
        for (const auto &row : control_rows)
            QTest::addRow("control, %d", row.first) << control << row.first << row.second;
        for (int delta : {120, 4, -4, -5, 0}) {
            QTest::addRow("no modifier, %d", delta) << none << delta << 0.67;
            QTest::addRow("control and shift, %d", delta) << controlShift << delta << 0.67;
        }
    }

    void wheel()
    {
        QFETCH(int, modifiers);
        QFETCH(int, delta);
        QFETCH(double, zoom);
        OrvalVpnMapWidget &view = map();
        bool accepted = false;
        sendWheel(view, delta, Qt::KeyboardModifiers(modifiers), &accepted);
        QVERIFY(qAbs(view.getZoomFactor() - zoom) < 1e-12);
        QVERIFY(accepted);
    }

    void panLimit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("zoomOutFully");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<int>("drags");
        QTest::addColumn<QPointF>("pan");
        // Vertical: a third of the map either way, whatever the rest.
        QTest::newRow("far down") << 1000 << false << QPoint(0, 500) << 1 << QPointF(218, W / 3);
        QTest::newRow("far up") << 1000 << false << QPoint(0, -500) << 2 << QPointF(218, -W / 3);
        // Horizontal: the view's span stays within map x -w .. 2w, so pan.x
        // within centre.x + w - hw/zoom and centre.x - 2w + hw/zoom.
        QTest::newRow("far east side") << 1000 << false << QPoint(900, 0) << 3 << QPointF(1024 + W - 500 / 0.67, 124);
        QTest::newRow("far west side") << 1000 << false << QPoint(-900, 0) << 3
                                       << QPointF(1024 - 2 * W + 500 / 0.67, 124);
        // hw/zoom beyond 1.5w: the two bounds cross and the lower one wins.
        QTest::newRow("crossing, dragged east")
            << 2600 << true << QPoint(900, 0) << 1 << QPointF(1024 - 2 * W + 1300 / 0.4, 124);
        QTest::newRow("crossing, dragged west")
            << 2600 << true << QPoint(-900, 0) << 1 << QPointF(1024 - 2 * W + 1300 / 0.4, 124);
    }

    void panLimit()
    {
        QFETCH(int, width);
        QFETCH(bool, zoomOutFully);
        QFETCH(QPoint, by);
        QFETCH(int, drags);
        QFETCH(QPointF, pan);
        OrvalVpnMapWidget &view = map(width, 600);
        while (zoomOutFully && view.getZoomFactor() > 0.4)
            view.zoomOut();
        const QPoint start(width / 2 - by.x() / 2, 300 - by.y() / 2);
        for (int i = 0; i < drags; ++i)
            drag(view, start, by);
        QVERIFY2(near(view.getPan(), pan), qPrintable(text(view.getPan())));
    }

    void zoomAppliesThePanLimit()
    {
        OrvalVpnMapWidget &view = map();
        drag(view, QPoint(100, 300), QPoint(800, 0));
        drag(view, QPoint(100, 300), QPoint(800, 0));
        drag(view, QPoint(100, 300), QPoint(800, 0));
        view.zoomOut();
        const double zoom = view.getZoomFactor();
        QVERIFY2(near(view.getPan(), QPointF(1024 + W - 500 / zoom, 124)), qPrintable(text(view.getPan())));
    }

    // Near the west edge of the central copy, a site just east of the date
    // line lies in the copy to the left and is the nearest; and the same the
    // other way round at the east edge.
    void nearestSiteAcrossTheDateLine_data()
    {
        QTest::addColumn<double>("mouseLongitude");
        QTest::addColumn<QList<HalvorixServerSite>>("sites");
        QTest::addColumn<QString>("nearest");
        const HalvorixServerSite suva = MapTestSites::site("FJI", "Suva", -18.0, 179.0);
        const HalvorixServerSite apia = MapTestSites::site("WSM", "Apia", -18.0, -179.0);
        const HalvorixServerSite honolulu = MapTestSites::site("USA", "Honolulu", -18.0, -157.8);
        const HalvorixServerSite noumea = MapTestSites::site("NCL", "Noumea", -18.0, 166.4);
        QTest::newRow("west edge, site at 179 E") << -179.5 << QList<HalvorixServerSite> {honolulu, suva} << "Suva";
        QTest::newRow("east edge, site at 179 W") << 179.5 << QList<HalvorixServerSite> {noumea, apia} << "Apia";
        QTest::newRow("mid-Pacific, no crossing") << -160.0 << QList<HalvorixServerSite> {suva, honolulu} << "Honolulu";
    }

    void nearestSiteAcrossTheDateLine()
    {
        QFETCH(double, mouseLongitude);
        QFETCH(QList<HalvorixServerSite>, sites);
        QFETCH(QString, nearest);
        OrvalVpnMapWidget &view = map();
        view.setServerSites(sites);
        view.centerAroundLocation(GeoLocation(-18.0, mouseLongitude));
        // Qt drops a move to where the mouse already is: come from elsewhere.
        QTest::mouseMove(&view, QPoint(10, 10));
        QSignalSpy closest(&view, &OrvalVpnMapWidget::closestServerSiteToMouse);
        QTest::mouseMove(&view, onScreen(view, -18.0, mouseLongitude));
        QCOMPARE(closest.count(), 1);
        QCOMPARE(closest.last().at(0).value<HalvorixServerSite>().getCity(), nearest);
    }

    void emptyMapSelectsNothing()
    {
        OrvalVpnMapWidget &view = map();
        QTest::mouseMove(&view, QPoint(300, 300));
        QSignalSpy selected(&view, &OrvalVpnMapWidget::serverSiteSelected);
        QSignalSpy closest(&view, &OrvalVpnMapWidget::closestServerSiteToMouse);
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
        QCOMPARE(selected.count(), 0);
        // Press and release each report the (empty) nearest site.
        QCOMPARE(closest.count(), 2);
        QCOMPARE(closest.at(1).at(0).value<HalvorixServerSite>(), HalvorixServerSite());
    }

    void mouseSequences_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<int>("selections");
        QTest::addColumn<bool>("panned");
        QTest::newRow("left click") << "press L, release L" << 1 << false;
        QTest::newRow("left drag") << "press L, move, release L" << 0 << true;
        QTest::newRow("click after a drag") << "press L, move, release L, press L, release L" << 1 << true;
        QTest::newRow("right click") << "press R, release R" << 0 << false;
        QTest::newRow("middle click") << "press M, release M" << 0 << false;
        QTest::newRow("right drag") << "press R, move, release R" << 0 << false;
        // Two buttons held: no drag, so the left release is still a click.
        QTest::newRow("two-button move") << "press L, press R, move, release R, release L" << 1 << false;
    }

    void mouseSequences()
    {
        QFETCH(QString, sequence);
        QFETCH(int, selections);
        QFETCH(bool, panned);
        OrvalVpnMapWidget &view = map();
        view.setServerSites(MapTestSites::catalogue());
        view.showEurope();
        // A move of a few pixels: a drag that takes Frankfurt along stays on
        // it, and without a drag Frankfurt is still the nearest site.
        QPoint position = onScreen(view, 50.1109, 8.6821);
        QTest::mouseMove(&view, position);
        QSignalSpy selected(&view, &OrvalVpnMapWidget::serverSiteSelected);
        const QMap<QString, Qt::MouseButton> buttons = {
            {"L", Qt::LeftButton}, {"R", Qt::RightButton}, {"M", Qt::MiddleButton}};
        for (const QString &step : sequence.split(", ")) {
            const QStringList words = step.split(' ');
            if (words.first() == "press") {
                QTest::mousePress(&view, buttons[words.last()], Qt::NoModifier, position);
            } else if (words.first() == "release") {
                QTest::mouseRelease(&view, buttons[words.last()], Qt::NoModifier, position);
            } else {
                position += QPoint(6, 4);
                QTest::mouseMove(&view, position);
            }
        }
        QCOMPARE(selected.count(), selections);
        for (const QList<QVariant> &signal : selected)
            QCOMPARE(signal.at(0).value<HalvorixServerSite>().getCity(), QStringLiteral("Frankfurt"));
        QCOMPARE(view.getPan() != QPointF(), panned);
    }

    // The map follows the mouse: the place under the button stays under it.
    void dragKeepsThePlaceUnderTheMouse()
    {
        OrvalVpnMapWidget &view = map();
        view.showEurope();
        const QPointF place = view.matrix(0, 0).inverted().map(QPointF(400, 250));
        drag(view, QPoint(400, 250), QPoint(120, 80));
        QVERIFY2(near(view.matrix(0, 0).map(place), QPointF(520, 330), 1e-6),
                 qPrintable(text(view.matrix(0, 0).map(place))));
    }

    void connectionView_data()
    {
        QTest::addColumn<bool>("home");
        QTest::addColumn<GeoLocation>("start");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QPointF>("centre");
        const QPointF london = MapProjection::toMap(-0.1278, 51.5074);
        const QPointF dallas = MapProjection::toMap(MapTestSites::dallas());
        // Width 787 - 350 over 549.94 map pixels apart, height 560 over 145.43: the width decides.
        QTest::newRow("Dallas to London") << true << MapTestSites::dallas() << 0.49664 << (london + dallas) / 2;
        QTest::newRow("home at the site") << true << GeoLocation(51.5074, -0.1278) << 1.875 << london;
        // No own location: the site alone, as close as coincident ends.
        QTest::newRow("no home") << false << GeoLocation() << 1.875 << london;
    }

    void connectionView()
    {
        QFETCH(bool, home);
        QFETCH(GeoLocation, start);
        QFETCH(double, zoom);
        QFETCH(QPointF, centre);
        OrvalVpnMapWidget &view = map(787, 560);
        if (home)
            view.setStartLocation(start);
        drag(view, QPoint(300, 300), QPoint(50, 50));
        view.setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        QVERIFY(view.isConnected());
        QVERIFY2(qAbs(view.getZoomFactor() - zoom) < 1e-5, qPrintable(QString::number(view.getZoomFactor())));
        QVERIFY(view.getZoomFactor() >= 0.25 && view.getZoomFactor() <= 1.875);
        QVERIFY2(near(view.getCenter(), centre, 1e-9), qPrintable(text(view.getCenter())));
        QCOMPARE(view.getPan(), QPointF(0, 0));
        QCOMPARE(view.getViewOffset(), QPointF(350, 0));
    }

    void disconnectingKeepsTheView()
    {
        OrvalVpnMapWidget &view = map(787, 560);
        view.setStartLocation(MapTestSites::dallas());
        view.setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        const double zoom = view.getZoomFactor();
        const QPointF centre = view.getCenter();
        view.onDisconnected();
        QVERIFY(!view.isConnected());
        QCOMPARE(view.getViewOffset(), QPointF(0, 0));
        QCOMPARE(view.getZoomFactor(), zoom);
        QCOMPARE(view.getCenter(), centre);
        QCOMPARE(view.getPan(), QPointF(0, 0));
    }

    void noParametersChangeNothing()
    {
        OrvalVpnMapWidget &view = map();
        view.setConnectedServerSite(QSharedPointer<ConnectionParameters>());
        QVERIFY(!view.isConnected());
        QCOMPARE(view.getZoomFactor(), 0.67);
        QCOMPARE(view.getViewOffset(), QPointF(0, 0));
    }

    void publicIp_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("cycle");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected");
        QTest::newRow("querying, cycle 5") << 1 << 5 << ""
                                           << "Detecting.";
        QTest::newRow("querying, cycle 4") << 1 << 4 << ""
                                           << "Detecting";
        QTest::newRow("querying, cycle 7") << 1 << 7 << ""
                                           << "Detecting...";
        QTest::newRow("querying, negative cycle") << 1 << -3 << ""
                                                  << "Detecting";
        QTest::newRow("found") << 2 << 1 << "203.0.113.7"
                               << "203.0.113.7";
        QTest::newRow("found, IPv6") << 2 << 1 << "2001:db8::7"
                                     << "2001:db8::7";
        QTest::newRow("failed") << 3 << 2 << ""
                                << "Detection Failed.";
        QTest::newRow("nothing detected") << 0 << 0 << ""
                                          << "n/a";
        QTest::newRow("unknown state") << 7 << 1 << ""
                                       << "n/a";
    }

    void publicIp()
    {
        QFETCH(int, state);
        QFETCH(int, cycle);
        QFETCH(QString, address);
        QFETCH(QString, expected);
        OrvalVpnMapWidget &view = map();
        view.setPublicIp(detection(1, 1)); // something else first
        view.setPublicIp(detection(state, cycle, QHostAddress(address)));
        QCOMPARE(view.getPublicIp(), expected);
    }

    void moveStepsPanByFivePixels_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QPointF>("pan");
        // The view moves that way, so the map moves the other.
        QTest::newRow("north") << "moveNorth" << QPointF(218, 129);
        QTest::newRow("south") << "moveSouth" << QPointF(218, 119);
        QTest::newRow("east") << "moveEast" << QPointF(213, 124);
        QTest::newRow("west") << "moveWest" << QPointF(223, 124);
    }

    void moveStepsPanByFivePixels()
    {
        QFETCH(QString, slot);
        QFETCH(QPointF, pan);
        OrvalVpnMapWidget &view = map();
        QVERIFY(QMetaObject::invokeMethod(&view, qPrintable(slot)));
        QCOMPARE(view.getPan(), pan);
    }

    // A mouse move repaints where the hovered callout was and where it goes,
    // not the whole map; a move that keeps the nearest site repaints nothing.
    void mouseMoveRepaintsOnlyWhatItChanges_data()
    {
        QTest::addColumn<QString>("to");
        QTest::newRow("to another site") << "Sao Paulo";
        QTest::newRow("same site nearest") << "London";
        QTest::newRow("drag") << "drag";
    }

    void mouseMoveRepaintsOnlyWhatItChanges()
    {
        QFETCH(QString, to);
        OrvalVpnMapWidget &view = map();
        const HalvorixServerSite saoPaulo = MapTestSites::site("BRA", "Sao Paulo", -23.5505, -46.6333);
        view.setServerSites({MapTestSites::london(), saoPaulo});
        const QPoint london = onScreen(view, 51.5074, -0.1278);
        const QPoint saoPauloAt = onScreen(view, -23.5505, -46.6333);
        QVERIFY(view.rect().contains(saoPauloAt));
        QTest::mouseMove(&view, london + QPoint(5, 5));
        PaintRecorder recorder(&view);
        recorder.take();

        if (to == "drag") {
            drag(view, london, QPoint(30, 0));
            QVERIFY(covers(united(recorder.take()), view.rect()));
            return;
        }
        QTest::mouseMove(&view, to == "Sao Paulo" ? saoPauloAt + QPoint(5, 5) : london + QPoint(8, 3));
        const QRegion painted = united(recorder.take());
        if (to == "London") {
            QVERIFY(painted.isEmpty());
            return;
        }
        // Both markers and the callouts above them, and little else.
        for (const QPoint &point : {london, saoPauloAt, london - QPoint(0, 70), saoPauloAt - QPoint(0, 70)})
            QVERIFY2(painted.contains(point), qPrintable(text(point)));
        double area = 0;
        for (const QRect &rect : painted)
            area += double(rect.width()) * rect.height();
        QVERIFY2(area < 0.1 * view.width() * view.height(), qPrintable(QString::number(area)));
    }

    // Public-IP updates arrive about once a second while connected: they
    // change no callout then, and repaint nothing. Idle, only the own
    // location's callout is repainted.
    void publicIpRepaintsOnlyTheOwnLocationsCallout_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::newRow("idle") << false;
        QTest::newRow("connected") << true;
    }

    void publicIpRepaintsOnlyTheOwnLocationsCallout()
    {
        QFETCH(bool, connected);
        OrvalVpnMapWidget &view = map();
        view.setStartLocation(MapTestSites::dallas());
        if (connected)
            view.setConnectedServerSite(MapTestSites::connectionTo(MapTestSites::london()));
        PaintRecorder recorder(&view);
        recorder.take();
        view.setPublicIp(detection(VpnConnectionState::FOUND, 0, QHostAddress("203.0.113.7")));
        const QRegion painted = united(recorder.take());
        if (connected) {
            QVERIFY(painted.isEmpty());
            return;
        }
        const QPoint home = onScreen(view, 32.7767, -96.7970);
        QVERIFY(painted.contains(home - QPoint(0, 70)));
        QVERIFY(!covers(painted, view.rect()));
    }

    // Hidden (the window in the tray), the map paints nothing, whatever
    // changes; shown again it is painted whole.
    void nothingIsPaintedWhileHidden()
    {
        OrvalVpnMapWidget &view = map();
        PaintRecorder recorder(&view);
        recorder.take();
        view.hide();
        view.setServerSites(MapTestSites::catalogue());
        view.setStartLocation(MapTestSites::dallas());
        view.setPublicIp(detection(VpnConnectionState::QUERYING, 1));
        view.mainWindowIsShowingServerList();
        view.mainWindowisNotShowingServerList();
        view.zoomIn();
        view.showEurope();
        QVERIFY(recorder.take().isEmpty());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(covers(united(recorder.take()), view.rect()));
    }

    void markersUnderPanelsAreDrawn_data()
    {
        QTest::addColumn<bool>("home");
        QTest::addColumn<bool>("registered");
        QTest::addColumn<bool>("nested");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("overlay") << false << true << false << false;
        QTest::newRow("overlay inside a container") << false << true << true << false;
        QTest::newRow("hidden overlay") << false << true << false << true;
        QTest::newRow("child that is no overlay") << false << false << false << false;
        QTest::newRow("home under an overlay") << true << true << false << false;
        QTest::newRow("home, no overlay") << true << false << false << false;
    }

    // A see-through panel over London, at the view's centre, where a site's
    // nest or the own location's home sits: the marker shows through the
    // panel whether or not it is one of the map's overlays.
    void markersUnderPanelsAreDrawn()
    {
        QFETCH(bool, home);
        QFETCH(bool, registered);
        QFETCH(bool, nested);
        QFETCH(bool, hidden);
        const QRect under(150, 100, 100, 100);
        const auto picture = [&](bool withMarker) {
            OrvalVpnMapWidget view;
            view.resize(400, 300);
            // Both pictures set a start (it resets the zoom); an unset one draws no home.
            view.setStartLocation(withMarker && home ? MapTestSites::london().getLocation() : GeoLocation());
            if (withMarker && !home)
                view.setServerSites({MapTestSites::london()});
            view.centerAroundLocation(MapTestSites::london().getLocation());
            view.mainWindowIsShowingServerList(); // no callouts
            QWidget *parent = &view;
            if (nested) {
                parent = new QWidget(&view);
                parent->setGeometry(100, 50, 250, 200);
            }
            auto *panel = new QWidget(parent);
            panel->setGeometry(QRect(parent->mapFrom(&view, under.topLeft()), under.size()));
            panel->setVisible(!hidden);
            if (registered)
                view.setOverlays({panel});
            return view.grab().toImage().copy(under);
        };
        QVERIFY(picture(true) != picture(false));
    }
};

QTEST_MAIN(TestOrvalVpnMapWidget)
#include "tst_orvalvpnmapwidget.moc"
