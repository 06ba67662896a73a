#include "gui/ServerListWidgetStyle.h"

#include "gui/GuiLogging.h"
#include "gui/StyleBasic.h"

#include <QDebug>

QSharedPointer<ServerListWidgetStyle> ServerListWidgetStyle::instance;

void ServerListWidgetStyle::setInstance(const QSharedPointer<ServerListWidgetStyle> &style)
{
    instance = style;
}

ServerListWidgetStyle *ServerListWidgetStyle::getInstance()
{
    if (!instance) {
        qCDebug(lcGui) << "Warning, ServerListWidgetStyle not set: use StyleBasic";
        instance = QSharedPointer<StyleBasic>::create();
    }
    return instance.data();
}

QPen ServerListWidgetStyle::rowPen(const QColor &colour)
{
    return QPen(QBrush(colour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}
