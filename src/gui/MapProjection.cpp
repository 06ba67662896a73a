#include "gui/MapProjection.h"

#include "core/GeoLocation.h"

#include <QtMath>

double MapProjection::toX(double longitude, double width)
{
    return width / 360.0 * (longitude + 180.0);
}

double MapProjection::toY(double latitude, double width)
{
    return width / 2.0 - width * std::log(std::tan(M_PI / 4.0 + latitude * M_PI / 360.0)) / (2.0 * M_PI);
}

QPointF MapProjection::toMap(double longitude, double latitude, double width)
{
    return QPointF(toX(longitude, width), toY(latitude, width));
}

QPointF MapProjection::toMap(const GeoLocation &location, double width)
{
    return toMap(location.getLongitude(), location.getLatitude(), width);
}
