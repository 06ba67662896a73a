#include "system/Routes4.h"

#include "system/Routes4Exception.h"

#include <QDebug>
#include <algorithm>

Routes4::Routes4(const QList<Route4Entry>& entries) : routes(entries)
{
    for (const Route4Entry& entry : routes)
        qDebug().noquote() << entry.toString();
}

void Routes4::retainDefaultRoutes()
{
    routes.erase(std::remove_if(routes.begin(), routes.end(),
                                [](const Route4Entry& entry) { return !entry.isDefaultRoute(); }),
                 routes.end());
}

void Routes4::sortByMetric()
{
    std::stable_sort(routes.begin(), routes.end(), Route4Entry::metricLessThan);
}

bool Routes4::containsDefaultRoute() const
{
    return std::any_of(routes.cbegin(), routes.cend(),
                       [](const Route4Entry& entry) { return entry.isDefaultRoute(); });
}

Route4Entry Routes4::getFirstRoute() const
{
    if (routes.isEmpty())
        throw Routes4Exception(QStringLiteral("Routes4::getFirstRoute"), QStringLiteral("The list is empty"));
    return routes.first();
}
