#include "catalogue/ServerSitesOrder.h"

#include "catalogue/AlphabeticalOrder.h"
#include "catalogue/CountryCode.h"
#include "catalogue/CustomFirstOrder.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ProximityOrder.h"
#include "catalogue/ReverseAlphabeticalOrder.h"
#include "catalogue/UsageFrecuencyOrder.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QSettings>

namespace {

const QString ORDER_KEY = QStringLiteral("serversitesorder");

[[maybe_unused]] const int orderMetaType = qRegisterMetaType<const ServerSitesOrder *>("ServerSitesOrder*");

QString alphabeticalKey(const HalvorixServerSite &site)
{
    return CountryCode::findByIsoCode(site.getCountryCode()).getName() + site.getCity();
}

// -1 when only the first site has the property, 1 when only the second has it.
int firstWith(bool first, bool second)
{
    if (first && !second)
        return -1;
    if (!first && second)
        return 1;
    return 0;
}

} // namespace

ServerSitesOrder::ServerSitesOrder(const QList<StrongOrder> &comparators)
    : m_comparatorList(comparators)
{
}

ServerSitesOrder::Predicate ServerSitesOrder::getComparator() const
{
    return [this](const HalvorixServerSite &a, const HalvorixServerSite &b) {
        const QList<StrongOrder> chain = m_comparatorList;
        for (const StrongOrder &compare : chain) {
            const int result = compare(a, b);
            if (result != 0)
                return result < 0;
        }
        return false;
    };
}

void ServerSitesOrder::writeTo(QSettings &settings) const
{
    settings.setValue(ORDER_KEY, getDisplayName());
}

ServerSitesOrder *ServerSitesOrder::readFrom(QSettings &settings)
{
    const QString stored = settings.value(ORDER_KEY, QString()).toString();
    const QList<ServerSitesOrder *> orders {CUSTOMFIRSTORDER(), ALPHABETICALORDER(), REVERSALALPHABETICALORDER(),
                                            USAGEFRECUENCYORDER(), PROXIMITYORDER()};
    for (ServerSitesOrder *order : orders) {
        if (order->getDisplayName() == stored)
            return order;
    }
    return &CustomFirstOrder::INSTANCE;
}

ServerSitesOrder *ServerSitesOrder::CUSTOMFIRSTORDER()
{
    return &CustomFirstOrder::INSTANCE;
}

ServerSitesOrder *ServerSitesOrder::ALPHABETICALORDER()
{
    return &AlphabeticalOrder::INSTANCE;
}

ServerSitesOrder *ServerSitesOrder::REVERSALALPHABETICALORDER()
{
    return &ReverseAlphabeticalOrder::INSTANCE;
}

ServerSitesOrder *ServerSitesOrder::USAGEFRECUENCYORDER()
{
    UsageFrecuencyOrder::INSTANCE.setComparatorList(UserStatistics::getUserStatistics().getServerFrecuencyUsage());
    return &UsageFrecuencyOrder::INSTANCE;
}

ServerSitesOrder *ServerSitesOrder::PROXIMITYORDER()
{
    Settings settings;
    return PROXIMITYORDER(settings);
}

ServerSitesOrder *ServerSitesOrder::PROXIMITYORDER(Settings &settings)
{
    ProximityOrder::INSTANCE.setComparatorList(settings.getMyLocation());
    return &ProximityOrder::INSTANCE;
}

QList<const ServerSitesOrder *> ServerSitesOrder::ALLORDERSLIST()
{
    return {CUSTOMFIRSTORDER(), ALPHABETICALORDER(), REVERSALALPHABETICALORDER(), USAGEFRECUENCYORDER(),
            PROXIMITYORDER()};
}

ServerSitesOrder::StrongOrder ServerSitesOrder::getAlphabeticalStrongOrder()
{
    return [](const HalvorixServerSite &a, const HalvorixServerSite &b) {
        const QString keyA = alphabeticalKey(a);
        const QString keyB = alphabeticalKey(b);
        if (keyA < keyB)
            return -1;
        if (keyB < keyA)
            return 1;
        return 0;
    };
}

ServerSitesOrder::StrongOrder ServerSitesOrder::getReversalAlphabeticalStrongOrder()
{
    const StrongOrder alphabetical = getAlphabeticalStrongOrder();
    return [alphabetical](const HalvorixServerSite &a, const HalvorixServerSite &b) { return alphabetical(b, a); };
}

ServerSitesOrder::StrongOrder ServerSitesOrder::getProximityStrongOrder(const GeoLocation &location)
{
    return [location](const HalvorixServerSite &a, const HalvorixServerSite &b) {
        const double distanceA = location.distanceEarth(a.getLocation());
        const double distanceB = location.distanceEarth(b.getLocation());
        // A distance that is not a number is neither greater nor smaller: 0.
        if (distanceB > distanceA)
            return -1;
        if (distanceA > distanceB)
            return 1;
        return 0;
    };
}

ServerSitesOrder::StrongOrder ServerSitesOrder::getPinnedIpStrongOrder()
{
    return [](const HalvorixServerSite &a, const HalvorixServerSite &b) {
        return firstWith(!a.getPinnedIp().isNull(), !b.getPinnedIp().isNull());
    };
}

ServerSitesOrder::StrongOrder ServerSitesOrder::getDedicatedIpStrongOrder()
{
    return [](const HalvorixServerSite &a, const HalvorixServerSite &b) {
        return firstWith(!a.getDedicatedIp().isNull(), !b.getDedicatedIp().isNull());
    };
}

ServerSitesOrder::StrongOrder ServerSitesOrder::getUsageFrecuencyStrongOrder(const QMap<QString, unsigned int> &usage)
{
    return [usage](const HalvorixServerSite &a, const HalvorixServerSite &b) {
        const unsigned int countA = usage.value(a.getId(), 0);
        const unsigned int countB = usage.value(b.getId(), 0);
        if (countA > countB)
            return -1;
        if (countA < countB)
            return 1;
        return 0;
    };
}
