#include "system/Routes4.h"

#include "system/Routes4Exception.h"
#include "system/SystemLogging.h"

#include <QDebug>
#include <algorithm>

Routes4::Routes4(const QList<Route4Entry> &entries)
    : m_routes(entries)
{
    for (const Route4Entry &entry : m_routes)
        qCDebug(lcSystem).noquote() << entry.toString();
}

void Routes4::retainDefaultRoutes()
{
    m_routes.erase(std::remove_if(m_routes.begin(), m_routes.end(),
                                  [](const Route4Entry &entry) { return !entry.isDefaultRoute(); }),
                   m_routes.end());
}

void Routes4::sortByMetric()
{
    std::stable_sort(m_routes.begin(), m_routes.end(), Route4Entry::metricLessThan);
}

bool Routes4::containsDefaultRoute() const
{
    return std::any_of(m_routes.cbegin(), m_routes.cend(),
                       [](const Route4Entry &entry) { return entry.isDefaultRoute(); });
}

Route4Entry Routes4::getFirstRoute() const
{
    if (m_routes.isEmpty())
        throw Routes4Exception(QStringLiteral("Routes4::getFirstRoute"), QStringLiteral("The list is empty"));
    return m_routes.first();
}
