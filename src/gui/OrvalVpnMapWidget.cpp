#include "gui/OrvalVpnMapWidget.h"

#include "catalogue/ConnectionParameters.h"
#include "core/VpnConnectionState.h"
#include "gui/CompareHalvorixServerSiteByDistanceToMouse.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapCallouts.h"

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
    , m_pan(DEFAULT_PAN)
    , m_zoomFactor(DEFAULT_ZOOM)
    , m_center(MapProjection::MAP_WIDTH / 2, MapProjection::MAP_WIDTH / 2)
    , m_publicIp(tr("n/a"))
    , m_dragging(false)
    , m_connected(false)
    , m_showingServerList(false)
    , m_callouts(QSharedPointer<OrvalVpnMapCallouts>::create())
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
    transform.translate(m_viewOffset.x() * 0.5, m_viewOffset.y() * 0.5);
    transform.scale(m_zoomFactor, m_zoomFactor);
    transform.translate(-m_center.x(), -m_center.y());
    transform.translate(m_pan.x(), m_pan.y());
    transform.translate(dx * w, dy * w);
    return transform;
}

QPointF OrvalVpnMapWidget::getPan() const
{
    return m_pan;
}

double OrvalVpnMapWidget::getZoomFactor() const
{
    return m_zoomFactor;
}

QPointF OrvalVpnMapWidget::getViewOffset() const
{
    return m_viewOffset;
}

QPointF OrvalVpnMapWidget::getCenter() const
{
    return m_center;
}

QString OrvalVpnMapWidget::getPublicIp() const
{
    return m_publicIp;
}

bool OrvalVpnMapWidget::isConnected() const
{
    return m_connected;
}

void OrvalVpnMapWidget::mainWindowIsShowingServerList()
{
    changeFrame([this] { m_showingServerList = true; });
}

void OrvalVpnMapWidget::mainWindowisNotShowingServerList()
{
    changeFrame([this] { m_showingServerList = false; });
}

void OrvalVpnMapWidget::onDisconnected()
{
    m_connected = false;
    m_viewOffset = QPointF();
}

void OrvalVpnMapWidget::setConnectedServerSite(QSharedPointer<ConnectionParameters> parameters)
{
    if (!parameters)
        return;
    m_connected = true;
    m_connectedServerSite = parameters->getServerSite();
    m_viewOffset = CONNECTED_VIEW_OFFSET;
    m_pan = QPointF();

    const QPointF site = MapProjection::toMap(m_connectedServerSite.getLocation(), mapWidth());
    if (!PaintOrvalVpnMap::isSet(m_startLocation)) {
        // No own location to fit in: the site alone, as close as two
        // coincident ends would be shown.
        m_center = site;
        m_zoomFactor = MAX_ZOOM / CONNECTION_FIT_MARGIN;
    } else {
        const QPointF home = MapProjection::toMap(m_startLocation, mapWidth());
        m_center = (site + home) / 2;
        // Equal coordinates give an infinite fit, which the bound turns into the closest zoom.
        const double fitX = qBound(MIN_ZOOM, (width() - m_viewOffset.x()) / qAbs(site.x() - home.x()), MAX_ZOOM);
        const double fitY = qBound(MIN_ZOOM, height() / qAbs(site.y() - home.y()), MAX_ZOOM);
        m_zoomFactor = qMin(fitX, fitY) / CONNECTION_FIT_MARGIN;
    }
    update();
}

void OrvalVpnMapWidget::setStartLocation(GeoLocation start)
{
    m_zoomFactor = 1.0;
    m_startLocation = start;
    m_pan = QPointF();
    m_viewOffset = QPointF();
    m_center = MapProjection::toMap(start, mapWidth());
    update();
}

void OrvalVpnMapWidget::centerAroundLocation(GeoLocation center)
{
    m_pan = QPointF();
    m_viewOffset = QPointF();
    this->m_center = MapProjection::toMap(center, mapWidth());
    update();
}

void OrvalVpnMapWidget::setPublicIp(const VpnConnectionState &connectionState)
{
    changeFrame([&] { m_publicIp = publicIpText(connectionState); });
}

QString OrvalVpnMapWidget::publicIpText(const VpnConnectionState &connectionState)
{
    switch (connectionState.getPublicIpDetectionState()) {
    case VpnConnectionState::QUERYING:
        // One more dot per attempt, starting again after three.
        return tr("Detecting") + QStringLiteral(".").repeated(qMax(0, connectionState.getDetectionCycle() % 4));
    case VpnConnectionState::FOUND: return connectionState.getDetectedPublicIpAddress().toString();
    case VpnConnectionState::DETECTION_FAILED: return tr("Detection Failed.");
    default: return tr("n/a");
    }
}

void OrvalVpnMapWidget::showDefault()
{
    m_zoomFactor = DEFAULT_ZOOM;
    m_pan = DEFAULT_PAN;
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
    m_serverSites = newServerSites;
    update();
}

void OrvalVpnMapWidget::zoomIn()
{
    m_zoomFactor = qMin(MAX_ZOOM, m_zoomFactor * ZOOM_STEP);
    limitDrawingBeyondMap();
    update();
}

void OrvalVpnMapWidget::zoomOut()
{
    m_zoomFactor = qMax(MIN_ZOOM, m_zoomFactor / ZOOM_STEP);
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
    if (!m_dragging && event->button() == Qt::LeftButton && !m_serverSites.isEmpty())
        emit serverSiteSelected(m_closestServerSite);
    m_dragging = false;
}

void OrvalVpnMapWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF before = mouseOnMap();
    updateMousePos(event);
    if (event->buttons() != Qt::LeftButton)
        return;
    m_dragging = true;
    // The map follows the mouse.
    m_pan += mouseOnMap() - before;
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
    // The painter clips to the event's region: a partial repaint draws little.
    QPainter painter(this);
    frame().paint(&painter);
}

bool OrvalVpnMapWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Where the shown panels stand decides where the callouts go.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize: update(); break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

PaintOrvalVpnMap OrvalVpnMapWidget::frame() const
{
    PaintOrvalVpnMap frame(&m_resources, m_connected, m_connectedServerSite, matrix(0, 0),
                           serverSitesOrderdByDistanceTo2(mouseOnMap()), m_startLocation, m_mousePosition, m_publicIp,
                           width(), height(), m_showingServerList);
    frame.setCoveredArea(coveredArea());
    frame.setCallouts(m_callouts);
    return frame;
}

void OrvalVpnMapWidget::changeFrame(const std::function<void()> &change)
{
    // A hidden map is painted whole when it shows again.
    if (!isVisible()) {
        change();
        return;
    }
    const PaintOrvalVpnMap before = frame();
    change();
    const QRegion changed = frame().changedFrom(before);
    if (!changed.isEmpty())
        update(changed);
}

void OrvalVpnMapWidget::setOverlays(const QList<QWidget *> &overlays)
{
    for (const QPointer<QWidget> &overlay : qAsConst(m_overlays)) {
        if (overlay)
            overlay->removeEventFilter(this);
    }
    m_overlays.clear();
    for (QWidget *overlay : overlays) {
        overlay->installEventFilter(this);
        m_overlays.append(overlay);
    }
    update();
}

QList<QRectF> OrvalVpnMapWidget::calloutRects() const
{
    QList<QRectF> rects;
    for (const PaintOrvalVpnMap::Callout &callout : frame().callouts())
        rects << callout.rect;
    return rects;
}

QRegion OrvalVpnMapWidget::coveredArea() const
{
    QRegion area;
    for (const QPointer<QWidget> &overlay : m_overlays) {
        if (overlay && overlay->isVisibleTo(this))
            area += QRect(overlay->mapTo(this, QPoint(0, 0)), overlay->size());
    }
    return area;
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
    changeFrame([&] {
        m_mousePosition = QPointF(qRound(event->localPos().x()), qRound(event->localPos().y()));
        m_closestServerSite = findClosestToMouse();
    });
    emit closestServerSiteToMouse(m_closestServerSite);
}

void OrvalVpnMapWidget::limitDrawingBeyondMap()
{
    // Keep the view's horizontal span inside the three drawn copies (map x
    // from -w to 2w) and its vertical shift within a third of the map.
    const double w = mapWidth();
    const double halfView = (width() / 2) / m_zoomFactor;
    if (m_pan.x() > m_center.x() + w - halfView)
        m_pan.setX(m_center.x() + w - halfView);
    if (m_pan.x() < m_center.x() - 2 * w + halfView)
        m_pan.setX(m_center.x() - 2 * w + halfView);
    m_pan.setY(qBound(-w / 3, m_pan.y(), w / 3));
}

HalvorixServerSite OrvalVpnMapWidget::findClosestToMouse() const
{
    const QList<HalvorixServerSite> ordered = serverSitesOrderdByDistanceTo2(mouseOnMap());
    return ordered.isEmpty() ? HalvorixServerSite() : ordered.first();
}

QList<HalvorixServerSite> OrvalVpnMapWidget::serverSitesOrderdByDistanceTo2(QPointF point) const
{
    QList<HalvorixServerSite> ordered = m_serverSites;
    std::sort(ordered.begin(), ordered.end(), CompareHalvorixServerSiteByDistanceToMouse(point, mapWidth()));
    return ordered;
}

void OrvalVpnMapWidget::showPreset(double zoom, double longitude, double latitude)
{
    m_zoomFactor = zoom;
    m_pan = QPointF();
    m_viewOffset = QPointF();
    m_center = MapProjection::toMap(longitude, latitude, mapWidth());
    update();
}

void OrvalVpnMapWidget::moveBy(double x, double y)
{
    m_pan += QPointF(x, y);
    update();
}

QPointF OrvalVpnMapWidget::mouseOnMap() const
{
    return matrix(0, 0).inverted().map(m_mousePosition);
}

double OrvalVpnMapWidget::mapWidth() const
{
    return m_resources.mapWidth();
}
