#pragma once

#include "catalogue/ServerSitesOrder.h"

// Most used sites first, then alphabetical. Empty (all sites equal) until
// the counts are set.
class UsageFrecuencyOrder final : public ServerSitesOrder
{
public:
    static UsageFrecuencyOrder INSTANCE;

    QString getDisplayName() const override;
    bool isEnabled() const override;
    int getIndex() const override;

    void setComparatorList(const QMap<QString, unsigned int> &usage);

private:
    UsageFrecuencyOrder() = default;
};
