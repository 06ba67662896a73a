#include "gui/PaintOrvalVpnMap.h"

#include "catalogue/CountryCode.h"
#include "gui/CompareHalvorixServerSiteByDistanceToMouse.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapResources.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStringList>
#include <QTextDocument>
#include <QUrl>

namespace {
// Restores the painter on leaving the scope, so that no step's transform,
// opacity or hints leak into the next.
class SavedPainterState
{
public:
    explicit SavedPainterState(QPainter *painter)
        : m_painter(painter)
    {
        painter->save();
    }
    ~SavedPainterState() { m_painter->restore(); }
    SavedPainterState(const SavedPainterState &) = delete;
    SavedPainterState &operator=(const SavedPainterState &) = delete;

private:
    QPainter *m_painter;
};

const QString CALLOUT_STYLE =
    QStringLiteral("img { float: left;}div { float: right; border-style: solid; border-color: black;}");
const QString FLAG_URL = QStringLiteral("mydata://flag.png");
// The callout text ends this many pixels above its anchor.
constexpr double CALLOUT_LIFT = 50.0;
} // namespace

PaintOrvalVpnMap::PaintOrvalVpnMap(const OrvalVpnMapResources *resources, bool connected,
                                   const HalvorixServerSite &connectedServerSite, const QTransform &viewMatrix,
                                   const QList<HalvorixServerSite> &serverSitesByDistance,
                                   const GeoLocation &startLocation, const QPointF &mousePosition,
                                   const QString &publicIp, int width, int height, bool showingServerList)
    : m_resources(resources)
    , m_connected(connected)
    , m_connectedServerSite(connectedServerSite)
    , m_viewMatrix(viewMatrix)
    , m_serverSitesByDistance(serverSitesByDistance)
    , m_startLocation(startLocation)
    , m_mousePosition(mousePosition)
    , m_publicIp(publicIp)
    , m_width(width)
    , m_height(height)
    , m_showingServerList(showingServerList)
{
}

void PaintOrvalVpnMap::paint(QPainter *painter) const
{
    {
        const SavedPainterState state(painter);
        const QImage &background = m_resources->background;
        painter->drawImage(QRectF(0, 0, m_width, m_height), background, QRectF(background.rect()));
    }
    paintMap(painter);
    paintOrvals(painter);
    paintBanner(painter);
    if (m_connected)
        paintVpnMarker(painter, m_connectedServerSite);
}

bool PaintOrvalVpnMap::isSet(const GeoLocation &location)
{
    return location.getLatitude() != 0.0 && location.getLongitude() != 0.0;
}

QString PaintOrvalVpnMap::homeCalloutHtml(const QString &publicIp)
{
    static const QString html =
        QStringLiteral("<html><body><table><tr><td><img src=\"mydata://flag.png\"/></td><td><div><br/><b>You are "
                       "here!</b><br>IP: %1</br><br>%2</br></div></td></table></body></html>");
    return html.arg(publicIp.toHtmlEscaped(), QStringLiteral("Not protected!"));
}

QString PaintOrvalVpnMap::siteCalloutHtml(const HalvorixServerSite &site)
{
    static const QString html = QStringLiteral(
        "<html><style>img { float: left;}div { float: right; border-style: solid; border-color: "
        "black;}</style><body><table><tr><td><img src=\"mydata://flag.png\"></td><td><div><br/><b>%1</b><br/>%2%3</"
        "div></td></table></body></html>");
    QStringList tags;
    if (site.isStealth())
        tags << QStringLiteral("Stealth");
    const QString tagLine = tags.isEmpty() ? QString() : QStringLiteral("<br/>") + tags.join(QStringLiteral(", "));
    // One pass over all placeholders: a "%2" inside the country name or the
    // city must stay text, not be filled in turn.
    return html.arg(CountryCode::findByIsoCode(site.getCountryCode()).getName().toHtmlEscaped(),
                    site.getCity().toHtmlEscaped(), tagLine);
}

void PaintOrvalVpnMap::paintMap(QPainter *painter) const
{
    const QImage &map = m_resources->map;
    const double w = mapWidth();
    // Each copy starts again from the painter's own transform: combined ones
    // would shift and scale the later copies twice.
    for (int i = -1; i <= 1; ++i) {
        const SavedPainterState state(painter);
        painter->setWorldTransform(copy(i), true);
        painter->drawImage(QRectF(0, 0, w, w), map, QRectF(0, 0, map.width(), map.height()));
    }
}

void PaintOrvalVpnMap::paintOrvals(QPainter *painter) const
{
    const SavedPainterState state(painter);
    painter->setOpacity(1.0);
    // Nearest to the mouse last, on top.
    for (auto site = m_serverSitesByDistance.crbegin(); site != m_serverSitesByDistance.crend(); ++site)
        paintNest(painter, site->getLocation());
    if (m_connected)
        paintConnectLocations(painter);
    paintHome(painter, m_startLocation);
    if (!m_serverSitesByDistance.isEmpty() && !m_connected && !m_showingServerList)
        paintOrvalMarker(painter, m_serverSitesByDistance.first());
}

void PaintOrvalVpnMap::paintVpnMarker(QPainter *painter, const HalvorixServerSite &site) const
{
    if (!isSet(site.getLocation()))
        return;
    paintSiteMarker(painter, site, copy(0).map(project(site.getLocation())));
}

void PaintOrvalVpnMap::paintNest(QPainter *painter, const GeoLocation &location) const
{
    if (!isSet(location))
        return;
    const QPointF projected = project(location);
    for (int i = -1; i <= 1; ++i) {
        const SavedPainterState state(painter);
        painter->translate(copy(i).map(projected));
        drawCentred(painter, m_resources->nest, 0.3);
    }
}

void PaintOrvalVpnMap::paintConnectLocations(QPainter *painter) const
{
    // A curve from or to an unknown place would start in the Gulf of Guinea.
    if (!isSet(m_startLocation) || !isSet(m_connectedServerSite.getLocation()))
        return;
    const QPointF home = project(m_startLocation);
    const QPointF site = project(m_connectedServerSite.getLocation());
    // The midpoint pushed sideways, perpendicular to the segment, by 0.3 of its length.
    const QPointF control((home.x() + site.x()) / 2 + 0.3 * (site.y() - home.y()),
                          (home.y() + site.y()) / 2 + 0.3 * (home.x() - site.x()));
    QPainterPath path(home);
    path.quadTo(control, site);

    QPen wide(QBrush(Qt::green), 6.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    wide.setCosmetic(true);
    const QPen thin(QBrush(Qt::green), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);

    const SavedPainterState state(painter);
    painter->setWorldTransform(copy(int(int(site.x()) / mapWidth())));
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setOpacity(0.4);
    painter->strokePath(path, wide);
    painter->setOpacity(1.0);
    painter->strokePath(path, thin);
}

void PaintOrvalVpnMap::paintHome(QPainter *painter, const GeoLocation &location) const
{
    if (!isSet(location))
        return;
    const SavedPainterState state(painter);
    painter->translate(getLocationToDrawNextToReference(location, QPointF(m_width * 0.5, m_height * 0.5)));
    if (!m_connected && !m_showingServerList)
        paintCallout(painter, homeCalloutHtml(m_publicIp), location.getCountryCode());
    painter->setOpacity(0.75);
    drawCentred(painter, m_resources->home, 0.6);
}

void PaintOrvalVpnMap::paintOrvalMarker(QPainter *painter, const HalvorixServerSite &site) const
{
    if (!isSet(site.getLocation()))
        return;
    paintSiteMarker(painter, site, getLocationToDrawNextToReference(site.getLocation(), m_mousePosition));
}

QPointF PaintOrvalVpnMap::getLocationToDrawNextToReference(const GeoLocation &location, const QPointF &reference) const
{
    const QPointF onMap = copy(0).inverted().map(reference);
    const QPair<int, int> copies = CompareHalvorixServerSiteByDistanceToMouse::nearestCopies(onMap.x(), mapWidth());
    const QPointF projected = project(location);
    const QPointF inCopy = copy(copies.first).map(projected);
    const QPointF inNeighbour = copy(copies.second).map(projected);
    return QLineF(inNeighbour, reference).length() < QLineF(inCopy, reference).length() ? inNeighbour : inCopy;
}

void PaintOrvalVpnMap::paintBanner(QPainter *painter) const
{
    const QImage &banner = m_resources->banner;
    if (banner.isNull())
        return;
    const SavedPainterState state(painter);
    // 200 pixels wide, 10 from the right edge and 5 from the top, aspect kept.
    const QRectF target(m_width - 210, 5, 200, 200.0 * banner.height() / banner.width());
    painter->drawImage(target, banner, QRectF(banner.rect()));
}

void PaintOrvalVpnMap::paintCallout(QPainter *painter, const QString &html, const QString &countryCode) const
{
    QTextDocument document;
    document.setDefaultStyleSheet(CALLOUT_STYLE);
    document.addResource(QTextDocument::ImageResource, QUrl(FLAG_URL),
                         QVariant::fromValue(QPixmap(CountryCode::findByIsoCode(countryCode).getFlagPath())));
    document.setHtml(html);
    const QSizeF size = document.size();

    const SavedPainterState state(painter);
    painter->translate(-size.width() * 0.5, -size.height() - CALLOUT_LIFT);
    const QImage &backdrop = m_resources->factsBackground;
    painter->drawImage(QRectF(0, 0, int(size.width() * 1.2), int(size.height() * 1.3)), backdrop,
                       QRectF(backdrop.rect()));
    document.drawContents(painter);
}

void PaintOrvalVpnMap::paintSiteMarker(QPainter *painter, const HalvorixServerSite &site, const QPointF &anchor) const
{
    const SavedPainterState state(painter);
    painter->translate(anchor);
    paintCallout(painter, siteCalloutHtml(site), site.getCountryCode());
    drawCentred(painter, m_resources->marker, 0.75);
}

void PaintOrvalVpnMap::drawCentred(QPainter *painter, const QImage &image, double scale) const
{
    const SavedPainterState state(painter);
    painter->scale(scale, scale);
    painter->drawImage(QPointF(-image.width() / 2.0, -image.height() / 2.0), image);
}

QTransform PaintOrvalVpnMap::copy(int i) const
{
    QTransform transform(m_viewMatrix);
    transform.translate(i * mapWidth(), 0);
    return transform;
}

QPointF PaintOrvalVpnMap::project(const GeoLocation &location) const
{
    return MapProjection::toMap(location, mapWidth());
}

double PaintOrvalVpnMap::mapWidth() const
{
    return m_resources->mapWidth();
}
