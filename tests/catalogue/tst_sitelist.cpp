#include "CatalogueFixtures.h"

#include "catalogue/HalvorixServerSitesList.h"

#include <QTest>

using namespace fixtures;

namespace {

QStringList ids(const HalvorixServerSitesList &list)
{
    QStringList result;
    for (const HalvorixServerSite &s : list.getAllServers())
        result << s.getId();
    return result;
}

HalvorixServerSitesList sampleList()
{
    return HalvorixServerSitesList({site("FRA", "Paris"), site("usa", "Dallas"), site("ZZZ", "Nowhere"),
                                    site("fr", "Lyon"), site("ROM", "Bucharest"), site("__A", "10.0.0.1"),
                                    site("JPN", "Tokyo")});
}

} // namespace

class TestSiteList : public QObject
{
    Q_OBJECT

private slots:
    void emptyList()
    {
        HalvorixServerSitesList list;
        QVERIFY(list.isEmpty());
        QCOMPARE(list.size(), 0);
        list.sortList([](const HalvorixServerSite &, const HalvorixServerSite &) { return 1; });
        QVERIFY(list.filterNormalServers().isEmpty());
        QVERIFY(list.filterStealthServers().isEmpty());
        QVERIFY(list.filterRegion(Region::Europe).isEmpty());
        QVERIFY(list.filterRegion(Region::All).isEmpty());
        QVERIFY(list.getServerSiteById(QStringLiteral("USA-Dallas")).getId() == QStringLiteral("-"));
    }

    void regionFilter_data()
    {
        QTest::addColumn<int>("region");
        QTest::addColumn<QStringList>("sites");
        QTest::newRow("All keeps everything in order")
            << int(Region::All) << QStringList {"FRA-Paris",     "usa-Dallas",   "ZZZ-Nowhere", "fr-Lyon",
                                                "ROM-Bucharest", "__A-10.0.0.1", "JPN-Tokyo"};
        QTest::newRow("Europe by either code, any case")
            << int(Region::Europe) << QStringList {"FRA-Paris", "fr-Lyon", "ROM-Bucharest"};
        QTest::newRow("North America") << int(Region::NorthAmerica) << QStringList {"usa-Dallas"};
        QTest::newRow("Asia") << int(Region::Asia) << QStringList {"JPN-Tokyo"};
        QTest::newRow("Africa") << int(Region::Africa) << QStringList();
    }

    void regionFilter()
    {
        QFETCH(int, region);
        QFETCH(QStringList, sites);
        const HalvorixServerSitesList list = sampleList();
        QCOMPARE(ids(list.filterRegion(static_cast<Region::Value>(region))), sites);
        QCOMPARE(list.size(), 7);
    }

    void unknownCountryOnlyUnderAll()
    {
        const HalvorixServerSitesList list({site("XX", "Unknown")});
        for (const Region &region : Region::getAllRegions())
            QCOMPARE(list.filterRegion(region).size(), region == Region(Region::All) ? 1 : 0);
    }

    void stealthFilters()
    {
        const HalvorixServerSitesList list({site("USA", "Flagged", {}, true),
                                            site("USA", "Cipher", {stealthOffer("TCP", 443)}),
                                            site("USA", "Plain", {offer("UDP", 1194)})});
        QCOMPARE(ids(list.filterStealthServers()), (QStringList {"USA-Flagged", "USA-Cipher"}));
        QCOMPARE(ids(list.filterNormalServers()), (QStringList {"USA-Cipher", "USA-Plain"}));
    }

    void lookUpById()
    {
        HalvorixServerSitesList list({site("USA", "Dallas", {offer("UDP", 1)}), site("USA", "Dallas")});
        QCOMPARE(list.getServerSiteById(QStringLiteral("USA-Dallas")).getConfigCiphers().size(), 1);
        QVERIFY(list.getServerSiteById(QStringLiteral("usa-dallas")).getId() == QStringLiteral("-"));
        list.append(site("DEU", "Berlin"));
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[2].getCity(), QStringLiteral("Berlin"));
    }

    void sortingDoesNotReorderASharedCopy()
    {
        HalvorixServerSitesList list({site("B", "b"), site("A", "a"), site("C", "c")});
        const HalvorixServerSitesList copy = list;
        list.sortList([](const HalvorixServerSite &a, const HalvorixServerSite &b) {
            return a.getCountryCode() < b.getCountryCode() ? 1 : 0;
        });
        QCOMPARE(ids(list), (QStringList {"A-a", "B-b", "C-c"}));
        QCOMPARE(ids(copy), (QStringList {"B-b", "A-a", "C-c"}));
    }

    void writingThroughIndexDoesNotTouchACopy()
    {
        HalvorixServerSitesList list({site("A", "a")});
        const HalvorixServerSitesList copy = list;
        list[0] = site("B", "b");
        QCOMPARE(ids(copy), QStringList {"A-a"});
        QCOMPARE(ids(list), QStringList {"B-b"});
    }

    void aThreeWayComparatorNeverLeavesTheList()
    {
        // -1 and 1 both count as "before": not an ordering. Sorting must still
        // keep every site exactly once.
        QList<HalvorixServerSite> sites;
        for (int i = 0; i < 200; ++i)
            sites << site(QStringLiteral("C%1").arg(i % 7), QString::number(i));
        HalvorixServerSitesList list(sites);
        list.sortList([](const HalvorixServerSite &a, const HalvorixServerSite &b) {
            return a.getCountryCode() < b.getCountryCode() ? -1 : 1;
        });
        QCOMPARE(list.size(), 200);
        QStringList sorted = ids(list);
        sorted.sort();
        QStringList original = ids(HalvorixServerSitesList(sites));
        original.sort();
        QCOMPARE(sorted, original);
    }
};

QTEST_GUILESS_MAIN(TestSiteList)
#include "tst_sitelist.moc"
