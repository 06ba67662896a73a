#pragma once

#include "SiteConnectionParameters.h"

#include "core/VpnConnectionState.h"
#include "core/VpnStartupProgress.h"
#include "gui/MapProjection.h"
#include "gui/OrvalVPNMainWindow.h"
#include "gui/OrvalVpnMapWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSharedPointer>

// What the map tests of the main window do to it: hover over a site and
// connect to one.
namespace MainWindowMapSteps {

// The mouse moves over the site on the map, or to the map's edge nearest it.
// Sent to the map itself, also where a panel lies over it.
inline void hover(OrvalVpnMapWidget &map, const HalvorixServerSite &site)
{
    const QPointF at = map.matrix(0, 0).map(MapProjection::toMap(site.getLocation()));
    const QPoint mouse(qBound(0, int(at.x()), map.width() - 1), qBound(0, int(at.y()), map.height() - 1));
    QMouseEvent move(QEvent::MouseMove, mouse, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&map, &move);
}

// A start to the site that reaches CONNECTED: the window shows its status page.
inline void connect(OrvalVPNMainWindow &window, const HalvorixServerSite &site)
{
    const auto connection = QSharedPointer<ConnectionParameters>(
        new SiteConnectionParameters(site, HalvorixServerSite::UDP, QStringLiteral("AES-256-GCM")));
    window.onVpnStartupProgress(
        VpnStartupProgress(connection, QStringLiteral("INIT_CONNECTION"), VpnStartupProgress::INITIAL));
    VpnConnectionState state(connection);
    state.updateState(QStringLiteral("CONNECTED"), QStringLiteral("SUCCESS"), QStringLiteral("10.8.0.6"),
                      QStringLiteral("192.0.2.1"));
    window.onUpdateState(state);
}

} // namespace MainWindowMapSteps
