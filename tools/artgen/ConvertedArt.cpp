#include "ConvertedArt.h"

const QRect ConvertedArt::FLAG_BODY(QPoint(26, 26), QPoint(292, 212));
const QSize ConvertedArt::FLAG_SIZE(32, 22);

QImage ConvertedArt::flag(const QString &path)
{
    const QImage picture(path);
    if (picture.size() != QSize(320, 240))
        return {};
    return picture.copy(FLAG_BODY)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .scaled(FLAG_SIZE, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

QImage ConvertedArt::desaturated(const QImage &icon)
{
    QImage grey = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = qGray(line[x]);
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    return grey;
}
