#pragma once

#include "system/Route4Entry.h"

#include <QList>

// An ordered list of routes (kernel dump order until reordered).
class Routes4
{
public:
    explicit Routes4(const QList<Route4Entry> &entries);

    // Keeps only the routes to 0.0.0.0 with mask 0, in their order.
    void retainDefaultRoutes();
    // Ascending metric; routes of equal metric keep their order.
    void sortByMetric();
    bool containsDefaultRoute() const;
    // Throws Routes4Exception on an empty list.
    Route4Entry getFirstRoute() const;
    const QList<Route4Entry> &entries() const { return m_routes; }

private:
    QList<Route4Entry> m_routes;
};
