#pragma once

#include <QImage>

// The images of the world map, decoded once per process from the resource
// tree and shared (implicitly) by every object of this class. A missing
// image stays null and draws nothing.
class OrvalVpnMapResources
{
public:
    OrvalVpnMapResources();

    // The width of the map image in pixels: the scale of the projection that
    // places every site on it. Falls back to the shipped width when the image
    // is missing, so that positions stay finite.
    double mapWidth() const;

    QImage background;
    QImage map;
    QImage banner;
    QImage marker;
    QImage nest;
    QImage home;
    QImage factsBackground;
};
