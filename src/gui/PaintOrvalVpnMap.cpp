#include "gui/PaintOrvalVpnMap.h"

#include "catalogue/CountryCode.h"
#include "gui/CalloutPlacement.h"
#include "gui/CompareHalvorixServerSiteByDistanceToMouse.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVpnMapCallouts.h"
#include "gui/OrvalVpnMapResources.h"

#include <QHash>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTextDocument>
#include <QVector>

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

// The callout text ends this many pixels above its anchor.
constexpr double CALLOUT_LIFT = 50.0;
constexpr double NEST_SCALE = 0.3;
constexpr double HOME_SCALE = 0.6;
constexpr double MARKER_SCALE = 0.75;

QSizeF scaled(const QImage &image, double scale)
{
    return QSizeF(image.size()) * scale;
}

QRectF centredOn(const QPointF &centre, const QSizeF &size)
{
    return QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size);
}

// The pixels a drawn rectangle touches, antialiased edges included.
QRect touched(const QRectF &rect)
{
    return rect.toAlignedRect().adjusted(-1, -1, 1, 1);
}

bool samePlace(const GeoLocation &a, const GeoLocation &b)
{
    return a.getLatitude() == b.getLatitude() && a.getLongitude() == b.getLongitude()
           && a.getCountryCode() == b.getCountryCode();
}
} // namespace

bool PaintOrvalVpnMap::Callout::operator==(const Callout &other) const
{
    return html == other.html && countryCode == other.countryCode && rect == other.rect && marker == other.marker;
}

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
    , m_callouts(QSharedPointer<OrvalVpnMapCallouts>::create())
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

void PaintOrvalVpnMap::setCoveredArea(const QRegion &area)
{
    m_coveredArea = area;
}

void PaintOrvalVpnMap::setCallouts(const QSharedPointer<OrvalVpnMapCallouts> &callouts)
{
    m_callouts = callouts;
}

QList<PaintOrvalVpnMap::Callout> PaintOrvalVpnMap::callouts() const
{
    QList<Callout> shown;
    for (const std::optional<Callout> &callout : {homeCallout(), hoverCallout(), connectedCallout()}) {
        if (callout)
            shown << *callout;
    }
    return shown;
}

QRegion PaintOrvalVpnMap::changedFrom(const PaintOrvalVpnMap &before) const
{
    const QRect whole(0, 0, m_width, m_height);
    if (!sameView(before))
        return whole;
    QRegion changed;
    const QList<Callout> now = callouts();
    const QList<Callout> then = before.callouts();
    for (const Callout &callout : now + then) {
        if (!now.contains(callout) || !then.contains(callout))
            changed += QRegion(touched(callout.rect)) + touched(callout.marker);
    }
    return (changed + restackedNests(before)) & whole;
}

QRectF PaintOrvalVpnMap::bannerRect() const
{
    const QImage &banner = m_resources->banner;
    if (banner.isNull())
        return QRectF();
    return QRectF(m_width - 210, 5, 200, 200.0 * banner.height() / banner.width());
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
    paintCallout(painter, connectedCallout());
    paintSiteMarker(painter, copy(0).map(project(site.getLocation())));
}

void PaintOrvalVpnMap::paintNest(QPainter *painter, const GeoLocation &location) const
{
    if (!isSet(location))
        return;
    const QPointF projected = project(location);
    for (int i = -1; i <= 1; ++i) {
        const SavedPainterState state(painter);
        painter->translate(copy(i).map(projected));
        drawCentred(painter, m_resources->nest, NEST_SCALE);
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
    paintCallout(painter, homeCallout());
    const SavedPainterState state(painter);
    painter->translate(getLocationToDrawNextToReference(location, QPointF(m_width * 0.5, m_height * 0.5)));
    painter->setOpacity(0.75);
    drawCentred(painter, m_resources->home, HOME_SCALE);
}

void PaintOrvalVpnMap::paintOrvalMarker(QPainter *painter, const HalvorixServerSite &site) const
{
    if (!isSet(site.getLocation()))
        return;
    paintCallout(painter, hoverCallout());
    paintSiteMarker(painter, getLocationToDrawNextToReference(site.getLocation(), m_mousePosition));
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
    painter->drawImage(bannerRect(), banner, QRectF(banner.rect()));
}

std::optional<PaintOrvalVpnMap::Callout> PaintOrvalVpnMap::homeCallout() const
{
    if (!isSet(m_startLocation) || m_connected || m_showingServerList)
        return std::nullopt;
    const QPointF anchor = getLocationToDrawNextToReference(m_startLocation, QPointF(m_width * 0.5, m_height * 0.5));
    return placedCallout(homeCalloutHtml(m_publicIp), m_startLocation.getCountryCode(), anchor,
                         scaled(m_resources->home, HOME_SCALE));
}

std::optional<PaintOrvalVpnMap::Callout> PaintOrvalVpnMap::hoverCallout() const
{
    if (m_serverSitesByDistance.isEmpty() || m_connected || m_showingServerList)
        return std::nullopt;
    const HalvorixServerSite &site = m_serverSitesByDistance.first();
    if (!isSet(site.getLocation()))
        return std::nullopt;
    const QPointF anchor = getLocationToDrawNextToReference(site.getLocation(), m_mousePosition);
    return placedCallout(siteCalloutHtml(site), site.getCountryCode(), anchor, siteMarkerSize());
}

std::optional<PaintOrvalVpnMap::Callout> PaintOrvalVpnMap::connectedCallout() const
{
    if (!m_connected || !isSet(m_connectedServerSite.getLocation()))
        return std::nullopt;
    const QPointF anchor = copy(0).map(project(m_connectedServerSite.getLocation()));
    return placedCallout(siteCalloutHtml(m_connectedServerSite), m_connectedServerSite.getCountryCode(), anchor,
                         siteMarkerSize());
}

PaintOrvalVpnMap::Callout PaintOrvalVpnMap::placedCallout(const QString &html, const QString &countryCode,
                                                          const QPointF &anchor, const QSizeF &markerSize) const
{
    const QSizeF text = m_callouts->document(html, countryCode).size();
    // The backdrop reaches beyond the text: a fifth to the right, three tenths below.
    const QRectF above(anchor.x() - text.width() * 0.5, anchor.y() - text.height() - CALLOUT_LIFT,
                       int(text.width() * 1.2), int(text.height() * 1.3));
    QList<QRectF> covered;
    for (const QRect &rect : m_coveredArea)
        covered << QRectF(rect);
    if (!bannerRect().isEmpty())
        covered << bannerRect();
    const QRectF marker = centredOn(anchor, markerSize);
    const CalloutPlacement placement(QRectF(0, 0, m_width, m_height), covered);
    return Callout {html, countryCode, placement.place(above, anchor, marker), marker};
}

void PaintOrvalVpnMap::paintCallout(QPainter *painter, const std::optional<Callout> &callout) const
{
    if (!callout)
        return;
    const SavedPainterState state(painter);
    painter->translate(callout->rect.topLeft());
    const QImage &backdrop = m_resources->factsBackground;
    painter->drawImage(QRectF(QPointF(), callout->rect.size()), backdrop, QRectF(backdrop.rect()));
    m_callouts->document(callout->html, callout->countryCode).drawContents(painter);
}

void PaintOrvalVpnMap::paintSiteMarker(QPainter *painter, const QPointF &anchor) const
{
    const SavedPainterState state(painter);
    painter->translate(anchor);
    drawCentred(painter, m_resources->marker, MARKER_SCALE);
}

// A site's marker stands on its nest: the callout leaves both visible.
QSizeF PaintOrvalVpnMap::siteMarkerSize() const
{
    return scaled(m_resources->marker, MARKER_SCALE).expandedTo(scaled(m_resources->nest, NEST_SCALE));
}

// Nests are drawn farthest from the mouse first: where two overlap, the one
// on top changes when their order does.
QRegion PaintOrvalVpnMap::restackedNests(const PaintOrvalVpnMap &before) const
{
    QHash<QString, int> rankBefore;
    for (int i = 0; i < before.m_serverSitesByDistance.size(); ++i)
        rankBefore.insert(before.m_serverSitesByDistance.at(i).getId(), i);
    const QSizeF size = scaled(m_resources->nest, NEST_SCALE);
    QVector<QRectF> nests;
    QStringList ids;
    for (const HalvorixServerSite &site : m_serverSitesByDistance) {
        if (!isSet(site.getLocation()))
            continue;
        nests << centredOn(copy(0).map(project(site.getLocation())), size);
        ids << site.getId();
    }
    const QPointF copyShift = copy(1).map(QPointF()) - copy(0).map(QPointF());
    QRegion changed;
    for (int nearer = 0; nearer < nests.size(); ++nearer) {
        for (int farther = nearer + 1; farther < nests.size(); ++farther) {
            const QRectF overlap = nests.at(nearer) & nests.at(farther);
            if (overlap.isEmpty() || rankBefore.value(ids.at(nearer)) < rankBefore.value(ids.at(farther)))
                continue;
            for (int i = -1; i <= 1; ++i)
                changed += touched(overlap.translated(copyShift * i));
        }
    }
    return changed;
}

bool PaintOrvalVpnMap::sameView(const PaintOrvalVpnMap &other) const
{
    return m_resources == other.m_resources && m_viewMatrix == other.m_viewMatrix && m_width == other.m_width
           && m_height == other.m_height && m_coveredArea == other.m_coveredArea && m_connected == other.m_connected
           && samePlace(m_connectedServerSite.getLocation(), other.m_connectedServerSite.getLocation())
           && samePlace(m_startLocation, other.m_startLocation)
           && m_serverSitesByDistance.size() == other.m_serverSitesByDistance.size();
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
