#include "catalogue/ReverseAlphabeticalOrder.h"

#include <QCoreApplication>

ReverseAlphabeticalOrder ReverseAlphabeticalOrder::INSTANCE;

ReverseAlphabeticalOrder::ReverseAlphabeticalOrder()
    : ServerSitesOrder({getReversalAlphabeticalStrongOrder()})
{
}

QString ReverseAlphabeticalOrder::getDisplayName() const
{
    return QCoreApplication::translate("QObject", "Reverse Alph.");
}

bool ReverseAlphabeticalOrder::isEnabled() const
{
    return true;
}

int ReverseAlphabeticalOrder::getIndex() const
{
    return 2;
}
