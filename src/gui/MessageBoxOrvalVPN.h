#pragma once

#include "gui/MessageBoxFactory.h"

// The client's own look: its title, window icon and style sheet on every box.
class MessageBoxOrvalVPN : public MessageBoxFactory
{
public:
    MessageBoxOrvalVPN();

    void applyStyle(QSharedPointer<QMessageBox> &box) override;
    void applyIcon(QSharedPointer<QMessageBox> &box, iconType icon) override;
};
