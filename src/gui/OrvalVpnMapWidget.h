#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "core/GeoLocation.h"
#include "gui/OrvalVpnMapResources.h"
#include "gui/PaintOrvalVpnMap.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRegion>
#include <QSharedPointer>
#include <QString>
#include <QTransform>
#include <QWidget>

#include <functional>

class ConnectionParameters;
class OrvalVpnMapCallouts;
class VpnConnectionState;

// The world-map panel: the catalogue's server sites on a Mercator map, the
// user's own location, and while connected the connected site with a curve
// from the own location. Dragging with the left button pans, the wheel with
// Control (Command on macOS) zooms, a click picks the site nearest the mouse.
// The widget owns the view state and the hit-testing; each frame is drawn by
// a PaintOrvalVpnMap made from that state. A mouse move, the public IP and
// the server-list flag repaint only what they change; nothing is computed
// for the map while it is hidden.
class OrvalVpnMapWidget : public QWidget
{
    Q_OBJECT

public:
    explicit OrvalVpnMapWidget(QWidget *parent = nullptr);
    ~OrvalVpnMapWidget() override;

    // Takes map pixels of copy dx (-1, 0, +1 side by side) to widget pixels.
    QTransform matrix(int dx, int dy) const;

    QPointF getPan() const;
    double getZoomFactor() const;
    QPointF getViewOffset() const;
    QPointF getCenter() const;
    QString getPublicIp() const;
    bool isConnected() const;
    // Widgets (descendants of this one) that lie over the map as see-through
    // panels: the map and its markers show through them, the callouts are
    // placed clear of those shown.
    void setOverlays(const QList<QWidget *> &overlays);
    // Where the callouts now shown stand, in widget pixels.
    QList<QRectF> calloutRects() const;

signals:
    void closestServerSiteToMouse(HalvorixServerSite serverSites);
    void serverSiteSelected(HalvorixServerSite serverSite);

public slots:
    void mainWindowIsShowingServerList();
    void mainWindowisNotShowingServerList();
    void onDisconnected();
    void setConnectedServerSite(QSharedPointer<ConnectionParameters> parameters);
    void setStartLocation(GeoLocation start);
    void centerAroundLocation(GeoLocation center);
    void setPublicIp(const VpnConnectionState &connectionState);
    void showDefault();
    void showEurope();
    void showNorthAmerica();
    void showAfrica();
    void showAsia();
    void showAustralia();
    void setServerSites(const QList<HalvorixServerSite> &newServerSites);
    void zoomIn();
    void zoomOut();
    void moveNorth();
    void moveEast();
    void moveSouth();
    void moveWest();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The frame of the current state.
    PaintOrvalVpnMap frame() const;
    // Applies the change and repaints where the frame differs from the one before it.
    void changeFrame(const std::function<void()> &change);
    void zoom(QWheelEvent *event);
    void updateMousePos(QMouseEvent *event);
    static QString publicIpText(const VpnConnectionState &connectionState);
    void limitDrawingBeyondMap();
    HalvorixServerSite findClosestToMouse() const;
    QList<HalvorixServerSite> serverSitesOrderdByDistanceTo2(QPointF point) const;

    // A continent view: the zoom, centred on the point, no pan or offset.
    void showPreset(double zoom, double longitude, double latitude);
    void moveBy(double x, double y);
    // The mouse position in map pixels of the central copy.
    QPointF mouseOnMap() const;
    double mapWidth() const;
    // The area of the visible overlays, in widget pixels.
    QRegion coveredArea() const;

    QPointF m_pan;
    double m_zoomFactor;
    QPointF m_viewOffset;
    QList<HalvorixServerSite> m_serverSites;
    QPointF m_center;
    OrvalVpnMapResources m_resources;
    QPointF m_mousePosition;
    HalvorixServerSite m_closestServerSite;
    HalvorixServerSite m_connectedServerSite;
    GeoLocation m_startLocation;
    QString m_publicIp;
    bool m_dragging;
    bool m_connected;
    bool m_showingServerList;
    QList<QPointer<QWidget>> m_overlays;
    QSharedPointer<OrvalVpnMapCallouts> m_callouts;
};
