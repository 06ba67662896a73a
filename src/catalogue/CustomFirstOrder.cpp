#include "catalogue/CustomFirstOrder.h"

#include <QCoreApplication>

CustomFirstOrder CustomFirstOrder::INSTANCE;

CustomFirstOrder::CustomFirstOrder()
    : ServerSitesOrder({getDedicatedIpStrongOrder(), getPinnedIpStrongOrder(), getAlphabeticalStrongOrder()})
{
}

QString CustomFirstOrder::getDisplayName() const
{
    return QCoreApplication::translate("QObject", "Custom First");
}

bool CustomFirstOrder::isEnabled() const
{
    return true;
}

int CustomFirstOrder::getIndex() const
{
    return 0;
}
