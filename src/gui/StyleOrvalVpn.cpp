#include "gui/StyleOrvalVpn.h"

#include <QApplication>

QPen StyleOrvalVpn::separatorPen() const
{
    return rowPen(QColor(QStringLiteral("#666")));
}

QPen StyleOrvalVpn::textPen() const
{
    return rowPen(Qt::black);
}

QBrush StyleOrvalVpn::selectedBrush() const
{
    return QBrush(QColor(QStringLiteral("#666")), Qt::SolidPattern);
}

QBrush StyleOrvalVpn::hoverBrush() const
{
    return QBrush(QColor(QStringLiteral("#aadddddd")), Qt::SolidPattern);
}

QBrush StyleOrvalVpn::normalBrush() const
{
    return QBrush(QColor(125, 125, 125, 125), Qt::SolidPattern);
}

QFont StyleOrvalVpn::font() const
{
    return QApplication::font();
}
