#pragma once

#include "catalogue/ServerSitesOrder.h"

// By country name, then city.
class AlphabeticalOrder final : public ServerSitesOrder
{
public:
    static AlphabeticalOrder INSTANCE;

    QString getDisplayName() const override;
    bool isEnabled() const override;
    int getIndex() const override;

private:
    AlphabeticalOrder();
};
