#include "catalogue/UsageFrecuencyOrder.h"

#include <QCoreApplication>

UsageFrecuencyOrder UsageFrecuencyOrder::INSTANCE;

QString UsageFrecuencyOrder::getDisplayName() const
{
    return QCoreApplication::translate("QObject", "Usage");
}

bool UsageFrecuencyOrder::isEnabled() const
{
    return true;
}

int UsageFrecuencyOrder::getIndex() const
{
    return 3;
}

void UsageFrecuencyOrder::setComparatorList(const QMap<QString, unsigned int> &usage)
{
    m_comparatorList = {getUsageFrecuencyStrongOrder(usage), getAlphabeticalStrongOrder()};
}
