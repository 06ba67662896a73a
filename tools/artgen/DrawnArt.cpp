#include "DrawnArt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <functional>

namespace {
const QColor BRAND(0x21, 0x5c, 0xac);
const QColor BRAND_DARK(0x16, 0x3f, 0x7a);
const QColor BRAND_LIGHT(0x5a, 0xa6, 0xff);
const QColor AMBER(0xf2, 0xa5, 0x3a);
const QColor GREEN(0x2f, 0xb4, 0x61);
const QColor GREY(0x86, 0x8e, 0x99);

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Painting on a blank image, antialiased; the result is converted to plain ARGB32.
class Canvas
{
public:
    Canvas(int width, int height)
        : image(blank(width, height))
        , painter(&image)
    {
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        painter.setPen(Qt::NoPen);
    }

    QImage result()
    {
        painter.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    QImage image;
    QPainter painter;
};

void disc(QPainter &painter, const QPointF &centre, double radius, const QBrush &brush)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawEllipse(centre, radius, radius);
}

void ring(QPainter &painter, const QPointF &centre, double radius, double width, const QColor &colour)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(Qt::NoPen);
}

// A soft disc of the colour, from the alpha at its centre through a middle stop
// (position, alpha) to nothing at its edge.
void glow(QPainter &painter, const QPointF &centre, double radius, QColor colour, int alpha,
          const QPair<double, int> &middle)
{
    QRadialGradient gradient(centre, radius);
    for (const QPair<double, int> &stop : {qMakePair(0.0, alpha), middle, qMakePair(1.0, 0)}) {
        colour.setAlpha(stop.second);
        gradient.setColorAt(stop.first, colour);
    }
    disc(painter, centre, radius, gradient);
}

// The logo: a disc with a white ring inside it.
void logo(QPainter &painter, const QPointF &centre, double radius, const QColor &colour)
{
    disc(painter, centre, radius, colour);
    ring(painter, centre, radius * 0.64, radius * 0.2, Qt::white);
}

QFont boldFont(int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// A small flag of our own in the shape of the converted ones.
QImage pseudoFlag(const QColor &top, const QColor &bottom, const std::function<void(QPainter &)> &sign)
{
    Canvas canvas(32, 22);
    QLinearGradient gradient(0, 0, 0, 22);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    canvas.painter.setBrush(gradient);
    canvas.painter.drawRoundedRect(QRectF(0, 0, 32, 22), 2.5, 2.5);
    sign(canvas.painter);
    return canvas.result();
}
} // namespace

QImage DrawnArt::trayIcon(TrayLook look)
{
    Canvas canvas(64, 64);
    QPainter &painter = canvas.painter;
    const QPointF centre(30, 30);
    disc(painter, centre, 28, look == TrayLook::Disconnected ? GREY : BRAND);
    if (look == TrayLook::Connecting) {
        // An open ring: still on its way.
        painter.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(centre.x() - 17, centre.y() - 17, 34, 34), 90 * 16, -270 * 16);
        painter.setPen(Qt::NoPen);
    } else {
        ring(painter, centre, 17, 7, Qt::white);
    }
    if (look != TrayLook::Disconnected) {
        const QPointF badge(51, 51);
        disc(painter, badge, 12, Qt::white);
        disc(painter, badge, 9, look == TrayLook::Connected ? GREEN : AMBER);
    }
    return canvas.result();
}

QImage DrawnArt::mapBackground()
{
    Canvas canvas(1024, 1024);
    QLinearGradient sea(0, 0, 0, 1024);
    sea.setColorAt(0.0, QColor(0x0a, 0x1c, 0x33));
    sea.setColorAt(0.5, QColor(0x12, 0x35, 0x5c));
    sea.setColorAt(1.0, QColor(0x0a, 0x1c, 0x33));
    canvas.painter.fillRect(QRect(0, 0, 1024, 1024), sea);
    QRadialGradient glow(512, 512, 720);
    glow.setColorAt(0.0, QColor(0x2a, 0x6a, 0xa8, 70));
    glow.setColorAt(1.0, QColor(0x2a, 0x6a, 0xa8, 0));
    canvas.painter.fillRect(QRect(0, 0, 1024, 1024), glow);
    return canvas.result();
}

QImage DrawnArt::lightBackground()
{
    Canvas canvas(512, 512);
    QPainter &painter = canvas.painter;
    QLinearGradient gradient(0, 0, 512, 512);
    gradient.setColorAt(0.0, QColor(0xf8, 0xfa, 0xfd));
    gradient.setColorAt(1.0, QColor(0xd9, 0xe3, 0xef));
    painter.fillRect(QRect(0, 0, 512, 512), gradient);
    // A faint logo ring, cut by the lower right corner of a 381 x 242 dialog.
    const QPointF centre(330, 215);
    for (int i = 0; i < 3; ++i)
        ring(painter, centre, 70 + i * 46, 14, QColor(0x21, 0x5c, 0xac, 14 - i * 3));
    return canvas.result();
}

QImage DrawnArt::banner()
{
    Canvas canvas(224, 79);
    QPainter &painter = canvas.painter;
    const QRectF panel(1.5, 1.5, 221, 76);
    QLinearGradient gradient(0, 0, 0, 79);
    gradient.setColorAt(0, QColor(0x2b, 0x6c, 0xc4));
    gradient.setColorAt(1, BRAND_DARK);
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1.5));
    painter.drawRoundedRect(panel, 14, 14);
    painter.setPen(Qt::NoPen);
    disc(painter, QPointF(41, 39.5), 26, Qt::white);
    logo(painter, QPointF(41, 39.5), 21, BRAND);
    const QString name = QStringLiteral("OrvalVPN");
    const QRectF lettering(76, 0, 136, 79);
    int pixelSize = 30;
    while (pixelSize > 10 && QFontMetricsF(boldFont(pixelSize)).horizontalAdvance(name) > lettering.width())
        --pixelSize;
    painter.setFont(boldFont(pixelSize));
    painter.setPen(Qt::white);
    painter.drawText(lettering, Qt::AlignLeft | Qt::AlignVCenter, name);
    return canvas.result();
}

QImage DrawnArt::marker()
{
    Canvas canvas(60, 60);
    QPainter &painter = canvas.painter;
    const QPointF centre(30, 30);
    glow(painter, centre, 30, BRAND_LIGHT, 150, {0.55, 90});
    disc(painter, centre, 16, Qt::white);
    logo(painter, centre, 13, BRAND);
    return canvas.result();
}

QImage DrawnArt::nest()
{
    Canvas canvas(174, 174);
    QPainter &painter = canvas.painter;
    const QPointF centre(87, 87);
    glow(painter, centre, 87, QColor(0xff, 0xb3, 0x40), 120, {0.45, 50});
    ring(painter, centre, 40, 9, QColor(0xff, 0xc2, 0x5e, 230));
    disc(painter, centre, 22, QColor(0xff, 0xd9, 0x8a));
    disc(painter, centre, 11, Qt::white);
    return canvas.result();
}

QImage DrawnArt::home()
{
    Canvas canvas(60, 60);
    QPainter &painter = canvas.painter;
    disc(painter, QPointF(30, 30), 29, Qt::white);
    disc(painter, QPointF(30, 30), 26, GREEN);
    QPainterPath house;
    house.moveTo(30, 13);
    house.lineTo(46, 28);
    house.lineTo(41, 28);
    house.lineTo(41, 45);
    house.lineTo(19, 45);
    house.lineTo(19, 28);
    house.lineTo(14, 28);
    house.closeSubpath();
    QPainterPath door;
    door.addRect(26.5, 34, 7, 11);
    painter.setBrush(Qt::white);
    painter.drawPath(house.subtracted(door));
    return canvas.result();
}

QImage DrawnArt::factsBackground()
{
    Canvas canvas(170, 90);
    QPainter &painter = canvas.painter;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawRoundedRect(QRectF(3, 4, 166, 85), 10, 10);
    QLinearGradient gradient(0, 0, 0, 90);
    gradient.setColorAt(0, QColor(255, 255, 255, 245));
    gradient.setColorAt(1, QColor(0xe9, 0xef, 0xf6, 240));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(0x8c, 0x9d, 0xb1), 1));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 165, 84), 9, 9);
    return canvas.result();
}

QImage DrawnArt::dedicatedIpFlag()
{
    return pseudoFlag(QColor(0x2b, 0x6c, 0xc4), BRAND_DARK, [](QPainter &painter) {
        painter.setPen(Qt::white);
        painter.setFont(boldFont(13));
        painter.drawText(QRectF(0, 0, 32, 22), Qt::AlignCenter, QStringLiteral("IP"));
    });
}

QImage DrawnArt::portForwardFlag()
{
    return pseudoFlag(QColor(0x27, 0xa0, 0x82), QColor(0x17, 0x6e, 0x59), [](QPainter &painter) {
        QPainterPath arrow;
        arrow.moveTo(7, 9);
        arrow.lineTo(16, 9);
        arrow.lineTo(16, 5);
        arrow.lineTo(25, 11);
        arrow.lineTo(16, 17);
        arrow.lineTo(16, 13);
        arrow.lineTo(7, 13);
        arrow.closeSubpath();
        painter.setBrush(Qt::white);
        painter.drawPath(arrow);
    });
}

QImage DrawnArt::pushpin(PinColour colour, bool enabled)
{
    Canvas canvas(14, 14);
    QPainter &painter = canvas.painter;
    if (!enabled)
        painter.setOpacity(0.45);
    const QColor head = colour == PinColour::Red ? QColor(0xd8, 0x3a, 0x3a) : QColor(0x9a, 0x9f, 0xa6);
    const QColor rim = colour == PinColour::Red ? QColor(0x8e, 0x1f, 0x1f) : QColor(0x5f, 0x65, 0x6d);
    // The needle, pointing to the lower left.
    painter.setPen(QPen(QColor(0x55, 0x5a, 0x60), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(7.0, 7.0), QPointF(1.5, 12.5));
    painter.setPen(QPen(rim, 1));
    painter.setBrush(head);
    painter.drawEllipse(QPointF(9.0, 5.0), 3.9, 3.9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawEllipse(QPointF(8.0, 4.0), 1.2, 1.2);
    return canvas.result();
}

QImage DrawnArt::stealth()
{
    // A domino mask.
    Canvas canvas(64, 64);
    QPainter &painter = canvas.painter;
    QPainterPath mask;
    mask.moveTo(4, 24);
    mask.cubicTo(10, 16, 24, 16, 32, 22);
    mask.cubicTo(40, 16, 54, 16, 60, 24);
    mask.cubicTo(63, 32, 60, 44, 50, 46);
    mask.cubicTo(42, 48, 36, 42, 32, 38);
    mask.cubicTo(28, 42, 22, 48, 14, 46);
    mask.cubicTo(4, 44, 1, 32, 4, 24);
    mask.closeSubpath();
    QPainterPath eyes;
    eyes.addEllipse(QPointF(18, 31), 7.5, 5);
    eyes.addEllipse(QPointF(46, 31), 7.5, 5);
    painter.setBrush(QColor(0x2c, 0x3e, 0x50));
    painter.drawPath(mask.subtracted(eyes));
    painter.setPen(QPen(QColor(0x2c, 0x3e, 0x50), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 26), QPointF(1.5, 36));
    painter.drawLine(QPointF(60, 26), QPointF(62.5, 36));
    return canvas.result();
}

QImage DrawnArt::dedicatedIpBadge()
{
    // A gold star badge in the lower right, so that a pin drawn under it stays visible.
    Canvas canvas(32, 32);
    QPainter &painter = canvas.painter;
    const QPointF centre(21, 21);
    disc(painter, centre, 10.5, Qt::white);
    disc(painter, centre, 8.5, QColor(0xe0, 0x9b, 0x00));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 6.0 : 2.6;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    painter.setBrush(Qt::white);
    painter.drawPolygon(star);
    return canvas.result();
}
