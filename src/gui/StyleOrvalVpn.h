#pragma once

#include "gui/ServerListWidgetStyle.h"

// The branded rows: dark text on translucent grey, a darker grey for the
// chosen row and a light veil under the mouse.
class StyleOrvalVpn : public ServerListWidgetStyle
{
public:
    QPen separatorPen() const override;
    QPen textPen() const override;
    QBrush selectedBrush() const override;
    QBrush hoverBrush() const override;
    QBrush normalBrush() const override;
    QFont font() const override;
};
