#pragma once

#include <QPointF>

class GeoLocation;

// The square Mercator projection of the world map: longitude -180..180 maps to
// x 0..width, latitude +-MAX_LATITUDE to y 0..width, the equator to width / 2.
// The map image, its generator and the map painter all place points through it.
class MapProjection
{
public:
    // The latitude whose Mercator ordinate equals half the circumference: the
    // top and bottom edge of the square map.
    static constexpr double MAX_LATITUDE = 85.05112877980659;
    // The width (and height) of the shipped map image in pixels.
    static constexpr double MAP_WIDTH = 2048.0;

    static double toX(double longitude, double width = MAP_WIDTH);
    static double toY(double latitude, double width = MAP_WIDTH);
    static QPointF toMap(double longitude, double latitude, double width = MAP_WIDTH);
    static QPointF toMap(const GeoLocation &location, double width = MAP_WIDTH);
};
