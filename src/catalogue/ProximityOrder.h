#pragma once

#include "catalogue/ServerSitesOrder.h"

// Sites nearest to a location first, then alphabetical. Empty (all sites
// equal) until the location is set; enabled only when the user's own
// location is known.
class ProximityOrder final : public ServerSitesOrder
{
public:
    static ProximityOrder INSTANCE;

    QString getDisplayName() const override;
    bool isEnabled() const override;
    int getIndex() const override;

    void setComparatorList(const GeoLocation &location);

private:
    ProximityOrder() = default;
};
