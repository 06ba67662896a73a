#include "catalogue/AlphabeticalOrder.h"

#include <QCoreApplication>

AlphabeticalOrder AlphabeticalOrder::INSTANCE;

AlphabeticalOrder::AlphabeticalOrder()
    : ServerSitesOrder({getAlphabeticalStrongOrder()})
{
}

QString AlphabeticalOrder::getDisplayName() const
{
    return QCoreApplication::translate("QObject", "Alphabetical");
}

bool AlphabeticalOrder::isEnabled() const
{
    return true;
}

int AlphabeticalOrder::getIndex() const
{
    return 1;
}
