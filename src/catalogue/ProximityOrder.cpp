#include "catalogue/ProximityOrder.h"

#include "prefs/Settings.h"

#include <QCoreApplication>

ProximityOrder ProximityOrder::INSTANCE;

QString ProximityOrder::getDisplayName() const
{
    return QCoreApplication::translate("QObject", "Proximity");
}

bool ProximityOrder::isEnabled() const
{
    return Settings().hasMyLocation();
}

int ProximityOrder::getIndex() const
{
    return 4;
}

void ProximityOrder::setComparatorList(const GeoLocation &location)
{
    m_comparatorList = {getProximityStrongOrder(location), getAlphabeticalStrongOrder()};
}
