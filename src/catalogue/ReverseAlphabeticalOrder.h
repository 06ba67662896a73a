#pragma once

#include "catalogue/ServerSitesOrder.h"

// The mirror of the alphabetical order.
class ReverseAlphabeticalOrder final : public ServerSitesOrder
{
public:
    static ReverseAlphabeticalOrder INSTANCE;

    QString getDisplayName() const override;
    bool isEnabled() const override;
    int getIndex() const override;

private:
    ReverseAlphabeticalOrder();
};
