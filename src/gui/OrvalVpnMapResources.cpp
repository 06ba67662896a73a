#include "gui/OrvalVpnMapResources.h"

#include "gui/MapProjection.h"

#include <QHash>

namespace {
// One decoded copy of each image for the whole process: every map widget
// (each new main window has one) shares it instead of decoding its own
// (the map alone is 16 MB decoded). Premultiplied, the form the raster
// painter draws without converting on every frame.
QImage sharedImage(const QString &path)
{
    static QHash<QString, QImage> images;
    auto found = images.constFind(path);
    if (found == images.constEnd()) {
        QImage image(path);
        if (image.hasAlphaChannel())
            image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        found = images.insert(path, image);
    }
    return *found;
}
} // namespace

OrvalVpnMapResources::OrvalVpnMapResources()
    : background(sharedImage(QStringLiteral(":/map/background-1024.png")))
    , map(sharedImage(QStringLiteral(":/map/orvalvpn-map-alpha-lakes-2048.png")))
    , banner(sharedImage(QStringLiteral(":/images/map-banner.png")))
    , marker(sharedImage(QStringLiteral(":/images/orval2.png")))
    , nest(sharedImage(QStringLiteral(":/images/nest.png")))
    , home(sharedImage(QStringLiteral(":/images/home.png")))
    , factsBackground(sharedImage(QStringLiteral(":/images/serversite-facts-bg.png")))
{
}

double OrvalVpnMapResources::mapWidth() const
{
    return map.isNull() ? MapProjection::MAP_WIDTH : map.width();
}
