#pragma once

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QSharedPointer>

// The look of the server-list rows: pens, brushes and font that the row
// painter asks for each time it paints. One process-wide instance, so the
// branded look and the plain fallback can be swapped without touching the list.
class ServerListWidgetStyle
{
public:
    virtual ~ServerListWidgetStyle() = default;

    virtual QPen separatorPen() const = 0;
    virtual QPen textPen() const = 0;
    virtual QBrush selectedBrush() const = 0;
    virtual QBrush hoverBrush() const = 0;
    virtual QBrush normalBrush() const = 0;
    virtual QFont font() const = 0;

    static void setInstance(const QSharedPointer<ServerListWidgetStyle> &style);
    // Installs the plain fallback when nothing is installed.
    static ServerListWidgetStyle *getInstance();

protected:
    // Every pen of the rows: width 1, solid, square cap, bevel join.
    static QPen rowPen(const QColor &colour);

private:
    static QSharedPointer<ServerListWidgetStyle> instance;
};
