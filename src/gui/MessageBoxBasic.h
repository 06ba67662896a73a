#pragma once

#include "gui/MessageBoxFactory.h"

// The plain fallback factory: a fixed window title, no icon, no style.
class MessageBoxBasic : public MessageBoxFactory
{
public:
    MessageBoxBasic();

    void applyStyle(QSharedPointer<QMessageBox> &box) override;
    void applyIcon(QSharedPointer<QMessageBox> &box, iconType icon) override;
};
