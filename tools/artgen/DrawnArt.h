#pragma once

#include <QImage>

// The client's own images, painted from code so that they can be made again
// exactly; every function returns a new ARGB32 image at its shipped size.
class DrawnArt
{
public:
    enum class TrayLook { Disconnected, Connecting, Connected };
    enum class PinColour { Red, Grey };

    static QImage trayIcon(TrayLook look);
    static QImage mapBackground();
    static QImage lightBackground();
    static QImage banner();
    static QImage marker();
    static QImage nest();
    static QImage home();
    static QImage factsBackground();
    static QImage dedicatedIpFlag();
    static QImage portForwardFlag();
    static QImage pushpin(PinColour colour, bool enabled);
    static QImage stealth();
    static QImage dedicatedIpBadge();
};
