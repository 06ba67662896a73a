#pragma once

#include "core/GeoLocation.h"

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>

#include <functional>

class HalvorixServerSite;
class QSettings;
class Settings;

// An order of the server list: a chain of three-way comparisons of two
// sites; the first one that tells them apart decides. Each concrete order
// is a process-wide singleton (its class's INSTANCE).
class ServerSitesOrder
{
public:
    // Negative: the first site goes first; positive: the second; 0: no decision.
    using StrongOrder = std::function<int(const HalvorixServerSite &, const HalvorixServerSite &)>;
    using Predicate = std::function<bool(const HalvorixServerSite &, const HalvorixServerSite &)>;

    // Translated; also the text stored in the preferences.
    virtual QString getDisplayName() const = 0;
    virtual bool isEnabled() const = 0;
    // Position in ALLORDERSLIST().
    virtual int getIndex() const = 0;

    // True when the first site goes first. Refers to this order itself, so a
    // later refresh of its chain changes what the predicate does.
    Predicate getComparator() const;

    // Key "serversitesorder" = the display name, in the current group.
    void writeTo(QSettings &settings) const;
    // The order whose display name is stored; Custom First when none matches.
    static ServerSitesOrder *readFrom(QSettings &settings);

    static ServerSitesOrder *CUSTOMFIRSTORDER();
    static ServerSitesOrder *ALPHABETICALORDER();
    static ServerSitesOrder *REVERSALALPHABETICALORDER();
    // Refreshes the usage counts from the statistics.
    static ServerSitesOrder *USAGEFRECUENCYORDER();
    // Refresh the location from the preferences.
    static ServerSitesOrder *PROXIMITYORDER();
    static ServerSitesOrder *PROXIMITYORDER(Settings &settings);
    // The five orders in menu order; refreshes usage and proximity.
    static QList<const ServerSitesOrder *> ALLORDERSLIST();

    // Country name followed directly by the city, ordinal comparison.
    static StrongOrder getAlphabeticalStrongOrder();
    static StrongOrder getReversalAlphabeticalStrongOrder();
    // Nearer to the location first.
    static StrongOrder getProximityStrongOrder(const GeoLocation &location);
    // Sites with a pinned address first.
    static StrongOrder getPinnedIpStrongOrder();
    // Dedicated-IP sites first.
    static StrongOrder getDedicatedIpStrongOrder();
    // Higher counts first; a site missing from the counts counts 0.
    static StrongOrder getUsageFrecuencyStrongOrder(const QMap<QString, unsigned int> &usage);

protected:
    explicit ServerSitesOrder(const QList<StrongOrder> &comparators = {});
    // The singletons are never deleted through the base.
    ~ServerSitesOrder() = default;
    ServerSitesOrder(const ServerSitesOrder &) = delete;
    ServerSitesOrder &operator=(const ServerSitesOrder &) = delete;

    QList<StrongOrder> m_comparatorList;
};

Q_DECLARE_METATYPE(const ServerSitesOrder *)
