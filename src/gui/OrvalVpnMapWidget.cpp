#include "gui/OrvalVpnMapWidget.h"

#include "backend/ConnectionParameters.h"
#include "backend/VpnConnectionState.h"
#include "gui/CompareHalvorixServerSiteByDistanceToMouse.h"
#include "gui/MapProjection.h"
#include "gui/PaintOrvalVpnMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {
const double DEFAULT_ZOOM = 0.67;
const QPointF DEFAULT_PAN(218, 124);
const QPointF CONNECTED_VIEW_OFFSET(350, 0);
const double MIN_ZOOM = 0.4;
const double MAX_ZOOM = 3.0;
const double ZOOM_STEP = 1.05;
// The connection view leaves this much room around the two ends of the curve.
const double CONNECTION_FIT_MARGIN = 1.6;
const double MOVE_STEP = 5.0;
} // namespace

OrvalVpnMapWidget::OrvalVpnMapWidget(QWidget *parent)
    : QWidget(parent)
    , pan(DEFAULT_PAN)
    , zoomFactor(DEFAULT_ZOOM)
    , center(MapProjection::MAP_WIDTH / 2, MapProjection::MAP_WIDTH / 2)
    , publicIp(tr("n/a"))
    , dragging(false)
    , connected(false)
    , showingServerList(false)
{
    setMouseTracking(true);
    update();
}

OrvalVpnMapWidget::~OrvalVpnMapWidget() = default;

QTransform OrvalVpnMapWidget::matrix(int dx, int dy) const
{
    const double w = mapWidth();
    QTransform transform;
    transform.translate(width() * 0.5, height() * 0.5);
    transform.translate(viewOffset.x() * 0.5, viewOffset.y() * 0.5);
    transform.scale(zoomFactor, zoomFactor);
    transform.translate(-center.x(), -center.y());
    transform.translate(pan.x(), pan.y());
    transform.translate(dx * w, dy * w);
    return transform;
}

QPointF OrvalVpnMapWidget::getPan() const
{
    return pan;
}

double OrvalVpnMapWidget::getZoomFactor() const
{
    return zoomFactor;
}

QPointF OrvalVpnMapWidget::getViewOffset() const
{
    return viewOffset;
}

QPointF OrvalVpnMapWidget::getCenter() const
{
    return center;
}

QString OrvalVpnMapWidget::getPublicIp() const
{
    return publicIp;
}

bool OrvalVpnMapWidget::isConnected() const
{
    return connected;
}

void OrvalVpnMapWidget::mainWindowIsShowingServerList()
{
    showingServerList = true;
    update();
}

void OrvalVpnMapWidget::mainWindowisNotShowingServerList()
{
    showingServerList = false;
    update();
}

void OrvalVpnMapWidget::onDisconnected()
{
    connected = false;
    viewOffset = QPointF();
}

void OrvalVpnMapWidget::setConnectedServerSite(QSharedPointer<ConnectionParameters> parameters)
{
    if (!parameters)
        return;
    connected = true;
    connectedServerSite = parameters->getServerSite();
    viewOffset = CONNECTED_VIEW_OFFSET;
    pan = QPointF();

    const QPointF site = MapProjection::toMap(connectedServerSite.getLocation(), mapWidth());
    if (!PaintOrvalVpnMap::isSet(startLocation)) {
        // No own location to fit in: the site alone, as close as two
        // coincident ends would be shown.
        center = site;
        zoomFactor = MAX_ZOOM / CONNECTION_FIT_MARGIN;
    } else {
        const QPointF home = MapProjection::toMap(startLocation, mapWidth());
        center = (site + home) / 2;
        // Equal coordinates give an infinite fit, which the bound turns into the closest zoom.
        const double fitX = qBound(MIN_ZOOM, (width() - viewOffset.x()) / qAbs(site.x() - home.x()), MAX_ZOOM);
        const double fitY = qBound(MIN_ZOOM, height() / qAbs(site.y() - home.y()), MAX_ZOOM);
        zoomFactor = qMin(fitX, fitY) / CONNECTION_FIT_MARGIN;
    }
    update();
}

void OrvalVpnMapWidget::setStartLocation(GeoLocation start)
{
    zoomFactor = 1.0;
    startLocation = start;
    pan = QPointF();
    viewOffset = QPointF();
    center = MapProjection::toMap(start, mapWidth());
    update();
}

void OrvalVpnMapWidget::centerAroundLocation(GeoLocation center)
{
    pan = QPointF();
    viewOffset = QPointF();
    this->center = MapProjection::toMap(center, mapWidth());
    update();
}

void OrvalVpnMapWidget::setPublicIp(const VpnConnectionState &connectionState)
{
    switch (connectionState.getPublicIpDetectionState()) {
    case VpnConnectionState::QUERYING:
        // One more dot per attempt, starting again after three.
        publicIp = tr("Detecting") + QStringLiteral(".").repeated(qMax(0, connectionState.getDetectionCycle() % 4));
        break;
    case VpnConnectionState::FOUND: publicIp = connectionState.getDetectedPublicIpAddress().toString(); break;
    case VpnConnectionState::DETECTION_FAILED: publicIp = tr("Detection Failed."); break;
    default: publicIp = tr("n/a"); break;
    }
    update();
}

void OrvalVpnMapWidget::showDefault()
{
    zoomFactor = DEFAULT_ZOOM;
    pan = DEFAULT_PAN;
    update();
}

void OrvalVpnMapWidget::showEurope()
{
    showPreset(1.5, 25, 50);
}

void OrvalVpnMapWidget::showNorthAmerica()
{
    showPreset(1.0, -105, 40);
}

void OrvalVpnMapWidget::showAfrica()
{
    showPreset(1.0, 20, -5);
}

void OrvalVpnMapWidget::showAsia()
{
    showPreset(0.9, 87, 25);
}

void OrvalVpnMapWidget::showAustralia()
{
    showPreset(0.9, 130, -30);
}

void OrvalVpnMapWidget::setServerSites(const QList<HalvorixServerSite> &newServerSites)
{
    serverSites = newServerSites;
    update();
}

void OrvalVpnMapWidget::zoomIn()
{
    zoomFactor = qMin(MAX_ZOOM, zoomFactor * ZOOM_STEP);
    limitDrawingBeyondMap();
    update();
}

void OrvalVpnMapWidget::zoomOut()
{
    zoomFactor = qMax(MIN_ZOOM, zoomFactor / ZOOM_STEP);
    limitDrawingBeyondMap();
    update();
}

void OrvalVpnMapWidget::moveNorth()
{
    moveBy(0, MOVE_STEP);
}

void OrvalVpnMapWidget::moveEast()
{
    moveBy(-MOVE_STEP, 0);
}

void OrvalVpnMapWidget::moveSouth()
{
    moveBy(0, -MOVE_STEP);
}

void OrvalVpnMapWidget::moveWest()
{
    moveBy(MOVE_STEP, 0);
}

void OrvalVpnMapWidget::mousePressEvent(QMouseEvent *event)
{
    updateMousePos(event);
}

void OrvalVpnMapWidget::mouseReleaseEvent(QMouseEvent *event)
{
    updateMousePos(event);
    // Only the end of a left click picks a site, and an empty map has none to pick.
    if (!dragging && event->button() == Qt::LeftButton && !serverSites.isEmpty())
        emit serverSiteSelected(closestServerSite);
    dragging = false;
}

void OrvalVpnMapWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF before = mouseOnMap();
    updateMousePos(event);
    if (event->buttons() != Qt::LeftButton)
        return;
    dragging = true;
    // The map follows the mouse.
    pan += mouseOnMap() - before;
    limitDrawingBeyondMap();
    update();
}

void OrvalVpnMapWidget::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier)
        zoom(event);
    else
        event->accept();
}

void OrvalVpnMapWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const PaintOrvalVpnMap frame(&resources, connected, connectedServerSite, matrix(0, 0),
                                 serverSitesOrderdByDistanceTo2(mouseOnMap()), startLocation, mousePosition, publicIp,
                                 width(), height(), showingServerList);
    frame.paint(&painter);
}

void OrvalVpnMapWidget::zoom(QWheelEvent *event)
{
    // An eighth of a degree per unit; half a degree up already counts as a turn.
    const int degrees = qRound(event->angleDelta().y() / 8.0);
    if (degrees > 0)
        zoomIn();
    else if (degrees < 0)
        zoomOut();
    event->accept();
}

void OrvalVpnMapWidget::updateMousePos(QMouseEvent *event)
{
    mousePosition = QPointF(qRound(event->localPos().x()), qRound(event->localPos().y()));
    closestServerSite = findClosestToMouse();
    emit closestServerSiteToMouse(closestServerSite);
    update();
}

void OrvalVpnMapWidget::limitDrawingBeyondMap()
{
    // Keep the view's horizontal span inside the three drawn copies (map x
    // from -w to 2w) and its vertical shift within a third of the map.
    const double w = mapWidth();
    const double halfView = (width() / 2) / zoomFactor;
    if (pan.x() > center.x() + w - halfView)
        pan.setX(center.x() + w - halfView);
    if (pan.x() < center.x() - 2 * w + halfView)
        pan.setX(center.x() - 2 * w + halfView);
    pan.setY(qBound(-w / 3, pan.y(), w / 3));
}

HalvorixServerSite OrvalVpnMapWidget::findClosestToMouse() const
{
    const QList<HalvorixServerSite> ordered = serverSitesOrderdByDistanceTo2(mouseOnMap());
    return ordered.isEmpty() ? HalvorixServerSite() : ordered.first();
}

QList<HalvorixServerSite> OrvalVpnMapWidget::serverSitesOrderdByDistanceTo2(QPointF point) const
{
    QList<HalvorixServerSite> ordered = serverSites;
    std::sort(ordered.begin(), ordered.end(), CompareHalvorixServerSiteByDistanceToMouse(point, mapWidth()));
    return ordered;
}

void OrvalVpnMapWidget::showPreset(double zoom, double longitude, double latitude)
{
    zoomFactor = zoom;
    pan = QPointF();
    viewOffset = QPointF();
    center = MapProjection::toMap(longitude, latitude, mapWidth());
    update();
}

void OrvalVpnMapWidget::moveBy(double x, double y)
{
    pan += QPointF(x, y);
    update();
}

QPointF OrvalVpnMapWidget::mouseOnMap() const
{
    return matrix(0, 0).inverted().map(mousePosition);
}

double OrvalVpnMapWidget::mapWidth() const
{
    return resources.mapWidth();
}
