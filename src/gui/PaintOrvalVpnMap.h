#pragma once

#include "catalogue/GeoLocation.h"
#include "catalogue/HalvorixServerSite.h"

#include <QList>
#include <QPointF>
#include <QRegion>
#include <QString>
#include <QTransform>

class OrvalVpnMapResources;
class QPainter;

// Draws one frame of the world map from a snapshot of the map widget's view:
// the background, three side-by-side copies of the map, a nest on every
// server site, the own location with its callout, the connection curve and
// the connected site's callout, the callout of the site nearest the mouse and
// the banner. Built anew for every paint event; it keeps nothing between frames.
class PaintOrvalVpnMap
{
public:
    // The resources are not owned and must outlive the object. viewMatrix takes
    // map pixels of the central copy to widget pixels; the sites come nearest
    // to the mouse first.
    PaintOrvalVpnMap(const OrvalVpnMapResources *resources, bool connected,
                     const HalvorixServerSite &connectedServerSite, const QTransform &viewMatrix,
                     const QList<HalvorixServerSite> &serverSitesByDistance, const GeoLocation &startLocation,
                     const QPointF &mousePosition, const QString &publicIp, int width, int height,
                     bool showingServerList);

    void paint(QPainter *painter) const;

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
    // The callout centred above the painter's origin, its text ending 50 pixels above it.
    void paintCallout(QPainter *painter, const QString &html, const QString &countryCode) const;
    // The marker image, scaled, centred on the painter's origin.
    void paintSiteMarker(QPainter *painter, const HalvorixServerSite &site, const QPointF &anchor) const;
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
};
