#pragma once

#include "gui/ServerListWidgetStyle.h"

// The plain fallback: white text, every brush and the separator in the
// default colour.
class StyleBasic : public ServerListWidgetStyle
{
public:
    QPen separatorPen() const override;
    QPen textPen() const override;
    QBrush selectedBrush() const override;
    QBrush hoverBrush() const override;
    QBrush normalBrush() const override;
    QFont font() const override;
};
