#include "CatalogueFixtures.h"

#include "catalogue/AlphabeticalOrder.h"
#include "catalogue/CustomFirstOrder.h"
#include "catalogue/HalvorixServerSitesList.h"
#include "catalogue/ProximityOrder.h"
#include "catalogue/ReverseAlphabeticalOrder.h"
#include "catalogue/ServerSitesOrder.h"
#include "catalogue/UsageFrecuencyOrder.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

namespace {

QStringList sortedIds(QList<HalvorixServerSite> sites, const ServerSitesOrder *order)
{
    HalvorixServerSitesList list(sites);
    const ServerSitesOrder::Predicate before = order->getComparator();
    list.sortList([&before](const HalvorixServerSite &a, const HalvorixServerSite &b) { return before(a, b) ? 1 : 0; });
    QStringList ids;
    for (const HalvorixServerSite &s : list.getAllServers())
        ids << s.getId();
    return ids;
}

HalvorixServerSite dedicatedSite(const QString &country, const QString &address)
{
    return HalvorixServerSite(country, QStringLiteral("mine"), "u", "t", false, false, QDir(), {},
                              QHostAddress(address), GeoLocation(), QString(), 0);
}

} // namespace

class TestOrders : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Settings settings;
        settings.setMyLocation(GeoLocation());
        UserStatistics::getUserStatistics().clearInternalStatistics();
    }

    void theFiveOrders()
    {
        const QList<const ServerSitesOrder *> all = ServerSitesOrder::ALLORDERSLIST();
        QCOMPARE(all.size(), 5);
        const QStringList names {"Custom First", "Alphabetical", "Reverse Alph.", "Usage", "Proximity"};
        for (int i = 0; i < all.size(); ++i) {
            QCOMPARE(all.at(i)->getIndex(), i);
            QCOMPARE(all.at(i)->getDisplayName(), names.at(i));
        }
        QCOMPARE(all.at(0), ServerSitesOrder::CUSTOMFIRSTORDER());
        QCOMPARE(all.at(1), ServerSitesOrder::ALPHABETICALORDER());
        QCOMPARE(all.at(2), ServerSitesOrder::REVERSALALPHABETICALORDER());
        QCOMPARE(all.at(3), ServerSitesOrder::USAGEFRECUENCYORDER());
        QCOMPARE(all.at(4), ServerSitesOrder::PROXIMITYORDER());
        QCOMPARE(all.at(0), static_cast<const ServerSitesOrder *>(&CustomFirstOrder::INSTANCE));
        QVERIFY(QMetaType::type("ServerSitesOrder*") != QMetaType::UnknownType);
    }

    void alphabeticalUsesCountryNamesAndOrdinalComparison()
    {
        const QList<HalvorixServerSite> sites {site("USA", "Dallas"), site("GBR", "London"), site("UKR", "Kyiv"),
                                               site("usa", "austin"), site("USA", "Zurich")};
        QCOMPARE(sortedIds(sites, ServerSitesOrder::ALPHABETICALORDER()),
                 (QStringList {"UKR-Kyiv", "GBR-London", "USA-Dallas", "USA-Zurich", "usa-austin"}));
        QCOMPARE(sortedIds(sites, ServerSitesOrder::REVERSALALPHABETICALORDER()),
                 (QStringList {"usa-austin", "USA-Zurich", "USA-Dallas", "GBR-London", "UKR-Kyiv"}));
    }

    void unknownCountrySortsByItsCode()
    {
        // The placeholder's name is the code itself: "QQ" sorts between "Poland" and "Romania".
        const QList<HalvorixServerSite> sites {site("ROM", "Bucharest"), site("QQ", "Nowhere"), site("POL", "Warsaw")};
        QCOMPARE(sortedIds(sites, ServerSitesOrder::ALPHABETICALORDER()),
                 (QStringList {"POL-Warsaw", "QQ-Nowhere", "ROM-Bucharest"}));
    }

    void strongOrders_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<HalvorixServerSite>("a");
        QTest::addColumn<HalvorixServerSite>("b");
        QTest::addColumn<int>("result");
        const HalvorixServerSite fr = site("FRA", "Paris");
        const HalvorixServerSite de = site("DEU", "Berlin");
        const HalvorixServerSite mine = dedicatedSite("DEU", "10.8.0.1");
        QTest::newRow("France before Germany") << 0 << fr << de << -1;
        QTest::newRow("Germany after France") << 0 << de << fr << 1;
        QTest::newRow("alphabetical equal") << 0 << fr << fr << 0;
        QTest::newRow("reverse") << 1 << fr << de << 1;
        QTest::newRow("reverse equal") << 1 << de << de << 0;
        QTest::newRow("dedicated first") << 2 << mine << fr << -1;
        QTest::newRow("dedicated second") << 2 << fr << mine << 1;
        QTest::newRow("dedicated both") << 2 << mine << mine << 0;
        QTest::newRow("dedicated neither") << 2 << fr << de << 0;
    }

    void strongOrders()
    {
        QFETCH(int, which);
        QFETCH(HalvorixServerSite, a);
        QFETCH(HalvorixServerSite, b);
        QFETCH(int, result);
        const QList<ServerSitesOrder::StrongOrder> orders {ServerSitesOrder::getAlphabeticalStrongOrder(),
                                                           ServerSitesOrder::getReversalAlphabeticalStrongOrder(),
                                                           ServerSitesOrder::getDedicatedIpStrongOrder()};
        QCOMPARE(orders.at(which)(a, b), result);
    }

    void customFirst()
    {
        Settings settings;
        settings.setPinnedIP(QStringLiteral("USA-Zion"), QHostAddress(QStringLiteral("198.51.100.9")));
        const HalvorixServerSite pinned = HalvorixServerSite::publicServerSite("USA", "Zion", "u", "t", false, false,
                                                                               QDir(), {}, GeoLocation(), settings);
        QVERIFY(!pinned.getPinnedIp().isNull());
        const QList<HalvorixServerSite> sites {site("AUT", "Vienna"), pinned, dedicatedSite("ZAF", "10.0.0.2"),
                                               site("USA", "Austin"), dedicatedSite("AUT", "10.0.0.1")};
        QCOMPARE(sortedIds(sites, ServerSitesOrder::CUSTOMFIRSTORDER()),
                 (QStringList {"AUT-10.0.0.1", "ZAF-10.0.0.2", "USA-Zion", "AUT-Vienna", "USA-Austin"}));
        QCOMPARE(ServerSitesOrder::getPinnedIpStrongOrder()(pinned, site("AUT", "Vienna")), -1);
        QCOMPARE(ServerSitesOrder::getPinnedIpStrongOrder()(site("AUT", "Vienna"), pinned), 1);
        settings.forgetPinnedIP(QStringLiteral("USA-Zion"));
    }

    void usage()
    {
        const QList<HalvorixServerSite> sites {site("USA", "Dallas"), site("FRA", "Paris"), site("DEU", "Berlin"),
                                               site("JPN", "Tokyo")};
        UsageFrecuencyOrder::INSTANCE.setComparatorList({{"FRA-Paris", 3}, {"JPN-Tokyo", 3}, {"USA-Dallas", 7}});
        QCOMPARE(sortedIds(sites, &UsageFrecuencyOrder::INSTANCE),
                 (QStringList {"USA-Dallas", "FRA-Paris", "JPN-Tokyo", "DEU-Berlin"}));
        // Counts compare unsigned.
        QCOMPARE(ServerSitesOrder::getUsageFrecuencyStrongOrder({{"FRA-Paris", 4000000000u}})(site("FRA", "Paris"),
                                                                                              site("USA", "Dallas")),
                 -1);
    }

    void usageRefreshReachesAnEarlierPredicate()
    {
        UserStatistics &statistics = UserStatistics::getUserStatistics();
        statistics.clearInternalStatistics();
        const ServerSitesOrder::Predicate before = ServerSitesOrder::USAGEFRECUENCYORDER()->getComparator();
        const HalvorixServerSite paris = site("FRA", "Paris");
        const HalvorixServerSite berlin = site("DEU", "Berlin");
        QVERIFY(before(paris, berlin));
        statistics.addOneUsageToServer(QStringLiteral("DEU-Berlin"));
        ServerSitesOrder::USAGEFRECUENCYORDER();
        QVERIFY(before(berlin, paris));
        QVERIFY(!before(paris, berlin));
    }

    void proximity()
    {
        const HalvorixServerSite paris = site("FRA", "Paris", {}, false, GeoLocation(48.856667, 2.3508));
        const HalvorixServerSite berlin = site("DEU", "Berlin", {}, false, GeoLocation(52.516667, 13.383333));
        const HalvorixServerSite tokyo = site("JPN", "Tokyo", {}, false, GeoLocation(35.683333, 139.766667));
        const HalvorixServerSite parisToo = site("FRA", "Orly", {}, false, GeoLocation(48.856667, 2.3508));
        const HalvorixServerSite lost = site("AAA", "Lost", {}, false, GeoLocation(qQNaN(), 0));
        Settings settings;
        settings.setMyLocation(GeoLocation(51.5, -0.116667, QStringLiteral("GB")));
        QVERIFY(ProximityOrder::INSTANCE.isEnabled());
        const ServerSitesOrder *order = ServerSitesOrder::PROXIMITYORDER(settings);
        QCOMPARE(sortedIds({tokyo, berlin, paris, parisToo}, order),
                 (QStringList {"FRA-Orly", "FRA-Paris", "DEU-Berlin", "JPN-Tokyo"}));
        // No distance: the alphabetical comparison decides.
        QCOMPARE(ServerSitesOrder::getProximityStrongOrder(GeoLocation(51.5, 0))(lost, tokyo), 0);
        QVERIFY(order->getComparator()(lost, tokyo));

        settings.setMyLocation(GeoLocation(35.0, 139.0));
        QCOMPARE(sortedIds({paris, tokyo}, ServerSitesOrder::PROXIMITYORDER()),
                 (QStringList {"JPN-Tokyo", "FRA-Paris"}));
    }

    void proximityDisabledWithoutLocation()
    {
        Settings settings;
        settings.setMyLocation(GeoLocation());
        QVERIFY(!ProximityOrder::INSTANCE.isEnabled());
        settings.setMyLocation(GeoLocation(10.0, 0.0));
        QVERIFY(!ProximityOrder::INSTANCE.isEnabled());
        QVERIFY(ServerSitesOrder::CUSTOMFIRSTORDER()->isEnabled());
        QVERIFY(ServerSitesOrder::USAGEFRECUENCYORDER()->isEnabled());
    }

    void storedOrder_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("Usage") << QVariant(QStringLiteral("Usage")) << 3;
        QTest::newRow("Reverse Alph.") << QVariant(QStringLiteral("Reverse Alph.")) << 2;
        QTest::newRow("Proximity") << QVariant(QStringLiteral("Proximity")) << 4;
        QTest::newRow("wrong case") << QVariant(QStringLiteral("usage")) << 0;
        QTest::newRow("another language") << QVariant(QStringLiteral("Nutzung")) << 0;
        QTest::newRow("empty") << QVariant(QString()) << 0;
        QTest::newRow("absent") << QVariant() << 0;
    }

    void storedOrder()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, index);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("preferences"));
        if (stored.isValid())
            settings.setValue(QStringLiteral("serversitesorder"), stored);
        QCOMPARE(ServerSitesOrder::readFrom(settings)->getIndex(), index);
    }

    void writeThenRead()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("preferences"));
        for (const ServerSitesOrder *order : ServerSitesOrder::ALLORDERSLIST()) {
            order->writeTo(settings);
            QCOMPARE(settings.value(QStringLiteral("serversitesorder")).toString(), order->getDisplayName());
            QCOMPARE(ServerSitesOrder::readFrom(settings), order);
        }
    }

    void emptyChainDecidesNothing()
    {
        // Built on the spot, as before the first refresh.
        struct Unrefreshed : ServerSitesOrder
        {
            QString getDisplayName() const override { return QString(); }
            bool isEnabled() const override { return true; }
            int getIndex() const override { return -1; }
        } order;
        QVERIFY(!order.getComparator()(site("FRA", "Paris"), site("DEU", "Berlin")));
        QVERIFY(!order.getComparator()(site("DEU", "Berlin"), site("FRA", "Paris")));
    }
};

QTEST_GUILESS_MAIN(TestOrders)
#include "tst_orders.moc"
