#include "gui/StyleBasic.h"

#include <QApplication>

namespace {
QBrush defaultColourBrush()
{
    return QBrush(QColor(), Qt::SolidPattern);
}
} // namespace

QPen StyleBasic::separatorPen() const
{
    return rowPen(QColor());
}

QPen StyleBasic::textPen() const
{
    return rowPen(Qt::white);
}

QBrush StyleBasic::selectedBrush() const
{
    return defaultColourBrush();
}

QBrush StyleBasic::hoverBrush() const
{
    return defaultColourBrush();
}

QBrush StyleBasic::normalBrush() const
{
    return defaultColourBrush();
}

QFont StyleBasic::font() const
{
    return QApplication::font();
}
