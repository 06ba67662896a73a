#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "core/GeoLocation.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <QSharedPointer>
#include <QString>
#include <QTransform>

#include <optional>

class OrvalVpnMapCallouts;
class OrvalVpnMapResources;
class QPainter;

// Draws one frame of the world map from a snapshot of the map widget's view:
// the background, three side-by-side copies of the map, a nest on every
// server site, the own location with its callout, the connection curve and
// the connected site's callout, the callout of the site nearest the mouse and
// the banner. Built anew for every frame; only the laid-out callout texts
// (OrvalVpnMapCallouts) are kept between frames.
class PaintOrvalVpnMap
{
public:
    // A callout as this frame shows it: its text and flag, the rectangle of
    // its backdrop and the rectangle of the marker drawn with it, in widget pixels.
    struct Callout
    {
        QString html;
        QString countryCode;
        QRectF rect;
        QRectF marker;
        bool operator==(const Callout &other) const;
    };

    // The resources are not owned and must outlive the object. viewMatrix takes
    // map pixels of the central copy to widget pixels; the sites come nearest
    // to the mouse first.
    PaintOrvalVpnMap(const OrvalVpnMapResources *resources, bool connected,
                     const HalvorixServerSite &connectedServerSite, const QTransform &viewMatrix,
                     const QList<HalvorixServerSite> &serverSitesByDistance, const GeoLocation &startLocation,
                     const QPointF &mousePosition, const QString &publicIp, int width, int height,
                     bool showingServerList);

    void paint(QPainter *painter) const;
    // Widget pixels under the see-through panels that lie over the map: the
    // markers show through them, but callouts are placed clear of them (and
    // of the banner) so that they read whole. Empty by default.
    void setCoveredArea(const QRegion &area);
    // Shares laid-out callout texts with other frames; by default the frame has its own.
    void setCallouts(const QSharedPointer<OrvalVpnMapCallouts> &callouts);

    // The own location's, the hovered site's and the connected site's
    // callouts, those of them this frame shows, in that order.
    QList<Callout> callouts() const;
    // The region where this frame differs from an earlier frame of the same
    // sites: the callouts that moved, came or went, and the nests that
    // changed places in the stacking order where they overlap. The whole
    // widget when the view, the size, the covered area or the connection differ.
    QRegion changedFrom(const PaintOrvalVpnMap &before) const;
    // Where the banner is drawn: 200 pixels wide, 10 from the right edge and
    // 5 from the top, aspect kept; empty without a banner image.
    QRectF bannerRect() const;

    // A location is drawn only when both its latitude and its longitude are set
    // (not exactly 0).
    static bool isSet(const GeoLocation &location);
    // The HTML of the own-location callout and of a site's callout. Every
    // value from the network or the catalogue is escaped.
    static QString homeCalloutHtml(const QString &publicIp);
    static QString siteCalloutHtml(const HalvorixServerSite &site);

private:
    void paintMap(QPainter *painter) const;
    void paintOrvals(QPainter *painter) const;
    void paintVpnMarker(QPainter *painter, const HalvorixServerSite &site) const;
    void paintNest(QPainter *painter, const GeoLocation &location) const;
    void paintConnectLocations(QPainter *painter) const;
    void paintHome(QPainter *painter, const GeoLocation &location) const;
    void paintOrvalMarker(QPainter *painter, const HalvorixServerSite &site) const;
    QPointF getLocationToDrawNextToReference(const GeoLocation &location, const QPointF &reference) const;

    void paintBanner(QPainter *painter) const;
    std::optional<Callout> homeCallout() const;
    std::optional<Callout> hoverCallout() const;
    std::optional<Callout> connectedCallout() const;
    // The callout of the HTML for a marker of the size centred on the anchor:
    // above it, its text ending 50 pixels above it, unless that would not
    // read whole.
    Callout placedCallout(const QString &html, const QString &countryCode, const QPointF &anchor,
                          const QSizeF &markerSize) const;
    void paintCallout(QPainter *painter, const std::optional<Callout> &callout) const;
    QSizeF siteMarkerSize() const;
    QRegion restackedNests(const PaintOrvalVpnMap &before) const;
    bool sameView(const PaintOrvalVpnMap &other) const;
    // The marker image, scaled, centred on the anchor.
    void paintSiteMarker(QPainter *painter, const QPointF &anchor) const;
    void drawCentred(QPainter *painter, const QImage &image, double scale) const;
    // The view transform of map copy i: copy 0 shifted by i map widths.
    QTransform copy(int i) const;
    QPointF project(const GeoLocation &location) const;
    double mapWidth() const;

    const OrvalVpnMapResources *m_resources;
    bool m_connected;
    HalvorixServerSite m_connectedServerSite;
    QTransform m_viewMatrix;
    QList<HalvorixServerSite> m_serverSitesByDistance;
    GeoLocation m_startLocation;
    QPointF m_mousePosition;
    QString m_publicIp;
    int m_width;
    int m_height;
    bool m_showingServerList;
    QRegion m_coveredArea;
    QSharedPointer<OrvalVpnMapCallouts> m_callouts;
};
