#include "gui/ServerSiteItemDelegate.h"

#include "catalogue/CountryCode.h"
#include "catalogue/HalvorixServerSite.h"
#include "gui/ServerListWidgetStyle.h"

#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QPainter>

namespace {

QBrush backgroundBrush(const ServerListWidgetStyle &style, QStyle::State state)
{
    if (state & QStyle::State_Selected)
        return style.selectedBrush();
    if (state & QStyle::State_MouseOver)
        return style.hoverBrush();
    return style.normalBrush();
}

QFont lineFont(const ServerListWidgetStyle &style, int weight, int pixelSize)
{
    QFont font = style.font();
    font.setWeight(weight);
    font.setPixelSize(pixelSize);
    return font;
}

QString secondLine(const HalvorixServerSite &site)
{
    const QHostAddress dedicated = site.getDedicatedIp();
    if (dedicated.isNull())
        return site.getCity();
    return QStringLiteral("%1 (%2)").arg(site.getCity(), dedicated.toString());
}

// Catalogue and user texts are drawn as they are (never as markup) and cut
// short with an ellipsis before they would run under the badges.
void drawLine(QPainter &painter, const QRect &area, int badgeSpace, Qt::Alignment alignment, const QString &text)
{
    const QString shown =
        QFontMetrics(painter.font()).elidedText(text, Qt::ElideRight, qMax(0, area.width() - badgeSpace));
    painter.drawText(area, int(alignment), shown);
}

void drawBadge(QPainter &painter, const QRect &square, const QString &image)
{
    painter.drawImage(square, QImage(image));
}

} // namespace

ServerSiteItemDelegate::ServerSiteItemDelegate(QObject *parent)
    : QAbstractItemDelegate(parent)
{
}

void ServerSiteItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    const ServerListWidgetStyle &style = *ServerListWidgetStyle::getInstance();
    const QRect row = option.rect;
    const int x = row.left();
    const int y = row.top();
    const int r = row.right();
    const int b = row.bottom();
    const int width = row.width();
    const int height = row.height();
    const int badgeSide = height / 2;

    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->fillRect(row, backgroundBrush(style, option.state));
    painter->setPen(style.separatorPen());
    painter->drawLine(x, b, r, b);

    const HalvorixServerSite site = index.data(Qt::UserRole).value<HalvorixServerSite>();
    const CountryCode country = CountryCode::findByIsoCode(site.getCountryCode());
    painter->setPen(style.textPen());

    const QIcon flag(country.getFlagPath());
    if (!flag.isNull())
        flag.paint(painter, QRect(QPoint(x + 5, y + 10), QPoint(r - 10, b - 10)), Qt::AlignLeft | Qt::AlignVCenter);

    const int badgeSpace = 2 * badgeSide + 10;
    painter->setFont(lineFont(style, QFont::Bold, 13));
    drawLine(*painter, QRect(QPoint(x + 40, y), QPoint(r, b - height / 2)), badgeSpace, Qt::AlignLeft | Qt::AlignBottom,
             country.getName());
    painter->setFont(lineFont(style, QFont::Normal, 11));
    drawLine(*painter, QRect(QPoint(x + 40, y + height / 2), QPoint(r, b)), badgeSpace, Qt::AlignLeft | Qt::AlignTop,
             secondLine(site));

    // Two squares side by side at the right, vertically centred: stealth on
    // the left, pin and dedicated address (drawn over the pin) on the right.
    const int badgeTop = y + height / 2 - height / 4;
    const QRect stealthSquare(x + width - 2 * badgeSide - 5, badgeTop, badgeSide, badgeSide);
    const QRect pinSquare(x + width - badgeSide - 5, badgeTop, badgeSide, badgeSide);
    if (site.isStealth() || site.supportStealthCipher())
        drawBadge(*painter, stealthSquare, QStringLiteral(":/images/ic_stealth.png"));
    if (!site.getPinnedIp().isNull())
        drawBadge(*painter, pinSquare,
                  site.isPinned() ? QStringLiteral(":/images/halvorix-pushpin.png")
                                  : QStringLiteral(":/images/halvorix-pushpin-grey.png"));
    if (!site.getDedicatedIp().isNull())
        drawBadge(*painter, pinSquare, QStringLiteral(":/images/dedicated-ip.png"));
    painter->restore();
}

QSize ServerSiteItemDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(200, 40);
}
