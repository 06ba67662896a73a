#pragma once

#include "catalogue/ServerSitesOrder.h"

// Dedicated-IP sites first, then pinned sites, then alphabetical.
class CustomFirstOrder final : public ServerSitesOrder
{
public:
    static CustomFirstOrder INSTANCE;

    QString getDisplayName() const override;
    bool isEnabled() const override;
    int getIndex() const override;

private:
    CustomFirstOrder();
};
