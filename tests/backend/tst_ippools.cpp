#include "backend/DedicatedIpPool.h"
#include "backend/DnsJsonIpPool.h"
#include "backend/PinnedIpPool.h"
#include "backend/ShuffleIpPoolList.h"
#include "backend/StaticIpPool.h"
#include "core/IpPoolList.h"

#include "catalogue/DnsJson.h"
#include "prefs/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

namespace {

using Pool = QSharedPointer<IpPoolInterface>;

QList<QHostAddress> addresses(const QStringList &texts)
{
    QList<QHostAddress> list;
    for (const QString &text : texts)
        list << (text.isEmpty() ? QHostAddress() : QHostAddress(text));
    return list;
}

Pool staticPool(const QStringList &texts)
{
    return Pool(new StaticIpPool(addresses(texts)));
}

// Records the order in which the list shuffles its members.
class ShuffleRecorder : public IpPoolInterface
{
public:
    ShuffleRecorder(int id, QList<int> &order)
        : IpPoolInterface(99)
        , id(id)
        , order(order)
    {
    }
    bool hasValidIp() const override { return false; }
    QHostAddress getIp() const override { return QHostAddress(); }
    void shuffleIps() override { order << id; }
    QString toString() const override { return QStringLiteral("Recorder %1\n").arg(id); }

    int id;
    QList<int> &order;
};

// The DNS table the test pools read; changed between shuffles.
QByteArray currentTable;

DnsJson testTable()
{
    DnsJson table;
    table.init(currentTable);
    return table;
}

QByteArray tableOf(const QString &host, const QStringList &texts)
{
    return QStringLiteral("{\"resolve\": {\"%1\": [\"%2\"]}}").arg(host, texts.join("\", \"")).toUtf8();
}

void writeFile(const QFileInfo &file, const QByteArray &content)
{
    QDir().mkpath(file.absolutePath());
    QFile out(file.absoluteFilePath());
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(content);
}

QList<int> orderOf(const IpPoolList &list)
{
    QList<int> ids;
    for (const Pool &pool : list.getPools())
        ids << static_cast<const ShuffleRecorder *>(pool.data())->id;
    return ids;
}

} // namespace

class TestIpPools : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A throw-away preference store and data location, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-Test"));
        QCoreApplication::setOrganizationDomain(QStringLiteral("orvalvpn.example"));
        QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN-Test"));
        QSettings().clear();
    }

    void validAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("null") << "" << false;
        QTest::newRow("0.0.0.0") << "0.0.0.0" << false;
        QTest::newRow("::") << "::" << false;
        QTest::newRow("loopback") << "127.0.0.1" << true;
        QTest::newRow("documentation") << "192.0.2.1" << true;
        QTest::newRow("IPv6") << "2001:db8::1" << true;
    }

    void validAddress()
    {
        QFETCH(QString, text);
        QTEST(IpPoolInterface::isValidIpAddress(text.isEmpty() ? QHostAddress() : QHostAddress(text)), "valid");
    }

    void specialAnyAddresses()
    {
        QVERIFY(!IpPoolInterface::isValidIpAddress(QHostAddress(QHostAddress::Any)));
        QVERIFY(!IpPoolInterface::isValidIpAddress(QHostAddress(QHostAddress::AnyIPv4)));
        QVERIFY(!IpPoolInterface::isValidIpAddress(QHostAddress(QHostAddress::AnyIPv6)));
    }

    void typeTexts()
    {
        QCOMPARE(IpPoolInterface::typeToString(0), QStringLiteral("POOL_LIST"));
        QCOMPARE(IpPoolInterface::typeToString(1), QStringLiteral("LOCAL_LOOKUP"));
        QCOMPARE(IpPoolInterface::typeToString(2), QStringLiteral("STATIC_IP"));
        QCOMPARE(IpPoolInterface::typeToString(3), QStringLiteral("PINNED_STATIC_IP"));
        QCOMPARE(IpPoolInterface::typeToString(4), QStringLiteral("DEDICATED_STATIC_IP"));
        QCOMPARE(IpPoolInterface::typeToString(5), QStringLiteral("UNKNOWN"));
    }

    // Null and any-addresses never enter a static pool, so it cannot hand them out.
    void staticPoolSkipsUnusableAddresses_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("nulls around one") << QStringList {"", "10.0.0.1", ""} << QStringList {"10.0.0.1"};
        QTest::newRow("any-addresses") << QStringList {"0.0.0.0", "::", "10.0.0.2"} << QStringList {"10.0.0.2"};
        QTest::newRow("only unusable") << QStringList {"0.0.0.0"} << QStringList {};
    }

    void staticPoolSkipsUnusableAddresses()
    {
        QFETCH(QStringList, given);
        QFETCH(QStringList, kept);
        for (int i = 0; i < given.size() - kept.size(); ++i)
            QTest::ignoreMessage(QtDebugMsg,
                                 "StaticIpPool Warning misconfiguration: wrong IP inserted in static list.");
        StaticIpPool pool(addresses(given));
        QCOMPARE(pool.getAddresses(), addresses(kept));
        for (int i = 0; i < 20; ++i) {
            pool.shuffleIps();
            QCOMPARE(pool.hasValidIp(), !kept.isEmpty());
            const QHostAddress ip = pool.getIp();
            QVERIFY(kept.isEmpty() ? ip.isNull() : IpPoolInterface::isValidIpAddress(ip));
        }
    }

    void emptyStaticPool()
    {
        StaticIpPool pool({});
        pool.shuffleIps(); // no division by zero
        QCOMPARE(pool.getCurrentIndex(), 0);
        QTest::ignoreMessage(QtDebugMsg, "StaticIpPool: get Ip");
        QTest::ignoreMessage(QtDebugMsg, "StaticIpPool Warning: IpPool list is empty");
        QVERIFY(pool.getIp().isNull());
        QVERIFY(!pool.hasValidIp());
        QCOMPARE(pool.toString(), QStringLiteral("Type: STATIC_IP\n"));
    }

    void staticPoolDescription()
    {
        StaticIpPool pool(addresses({"10.0.0.1", "10.0.0.2"}));
        QCOMPARE(pool.toString(), QStringLiteral("Type: STATIC_IP\nIp 0 : 10.0.0.1\nIp 1 : 10.0.0.2\n"
                                                 "First Ip 10.0.0.1 at position 0\n"));
    }

    void shuffleReachesEveryAddress()
    {
        StaticIpPool pool(addresses({"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
        QSet<int> seen;
        for (int i = 0; i < 300; ++i) {
            pool.shuffleIps();
            QVERIFY(pool.getCurrentIndex() >= 0 && pool.getCurrentIndex() < 3);
            QCOMPARE(pool.getIp(), pool.getAddresses().at(pool.getCurrentIndex()));
            seen << pool.getCurrentIndex();
        }
        QCOMPARE(seen.size(), 3);
    }

    // The pools do not draw from qrand(): reseeding it with the same value
    // (as a start-up seeded from the clock's milliseconds would) does not
    // repeat the server order.
    void shuffleDoesNotFollowTheMillisecondSeed()
    {
        QList<int> firstOrder;
        QList<int> secondOrder;
        QList<int> ignored;
        for (QList<int> *order : {&firstOrder, &secondOrder}) {
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            qsrand(42);
            QT_WARNING_POP
            ShuffleIpPoolList list;
            for (int id = 0; id < 12; ++id)
                list.append(Pool(new ShuffleRecorder(id, ignored)));
            list.shuffleIps();
            *order = orderOf(list);
        }
        QVERIFY(firstOrder != secondOrder);
    }

    void dedicatedPool()
    {
        DedicatedIpPool pool(QHostAddress("10.0.0.1"));
        QVERIFY(pool.hasValidIp());
        QCOMPARE(pool.getIp(), QHostAddress("10.0.0.1"));
        pool.shuffleIps();
        QCOMPARE(pool.getIp(), QHostAddress("10.0.0.1"));
        QCOMPARE(pool.toString(), QStringLiteral("Type: DEDICATED_STATIC_IP\nIp  : 10.0.0.1\n"));
    }

    void dedicatedPoolNeverHandsOutAnUnusableAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << "";
        QTest::newRow("0.0.0.0") << "0.0.0.0";
    }

    void dedicatedPoolNeverHandsOutAnUnusableAddress()
    {
        QFETCH(QString, text);
        QTest::ignoreMessage(QtDebugMsg,
                             "DedicatedIpPool Warning misconfiguration: invalid IP inserted in dedicated list.");
        DedicatedIpPool pool(text.isEmpty() ? QHostAddress() : QHostAddress(text));
        QVERIFY(!pool.hasValidIp());
        QTest::ignoreMessage(QtDebugMsg, "DedicatedIpPool: get Ip");
        QTest::ignoreMessage(QtDebugMsg, "DedicatedIpPool Warning: IpPool list is empty");
        QVERIFY(pool.getIp().isNull());
    }

    void pinnedPoolReadsThePreferencesAtEveryQuestion_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("pinned");
        QTest::addColumn<bool>("valid");
        QTest::newRow("nothing stored") << false << "" << false;
        QTest::newRow("stored, not enabled") << false << "192.0.2.7" << false;
        QTest::newRow("enabled") << true << "192.0.2.7" << true;
        QTest::newRow("enabled IPv6") << true << "2001:db8::7" << true;
        QTest::newRow("enabled 0.0.0.0") << true << "0.0.0.0" << false;
    }

    void pinnedPoolReadsThePreferencesAtEveryQuestion()
    {
        QFETCH(bool, enabled);
        QFETCH(QString, pinned);
        QFETCH(bool, valid);
        const QString site = QStringLiteral("DEU-Berlin");
        PinnedIpPool pool(site);
        QVERIFY(!pool.hasValidIp());
        {
            Settings settings;
            settings.forgetPinnedIP(site);
            if (!pinned.isEmpty())
                settings.setPinnedIP(site, QHostAddress(pinned));
            settings.setHasPinnedIP(site, enabled);
        }
        QCOMPARE(pool.hasValidIp(), valid);
        QTest::ignoreMessage(QtDebugMsg, "PinnedIpPool: get Ip");
        if (!valid)
            QTest::ignoreMessage(QtDebugMsg, "PinnedIpPool Warning: no valid PinnedIp");
        QCOMPARE(pool.getIp(), valid ? QHostAddress(pinned) : QHostAddress());
        pool.shuffleIps();
        QCOMPARE(pool.toString(), QStringLiteral("Type: PINNED_STATIC_IP\n"));
        Settings().forgetPinnedIP(site);
        QVERIFY(!pool.hasValidIp());
    }

    void listSkipsAPinnedPoolWithoutPin()
    {
        Settings().forgetPinnedIP(QStringLiteral("FRA-Paris"));
        IpPoolList list;
        list.append(Pool(new PinnedIpPool(QStringLiteral("FRA-Paris"))));
        list.append(staticPool({"10.0.0.1"}));
        QCOMPARE(list.getIp(), QHostAddress("10.0.0.1"));
    }

    void dnsPoolResolvesAtConstructionAndAtEveryShuffle()
    {
        currentTable = tableOf("vpn.example", {"192.0.2.1", "192.0.2.2"});
        DnsJsonIpPool pool(QStringLiteral("vpn.example"), &testTable);
        QCOMPARE(pool.getHostname(), QStringLiteral("vpn.example"));
        QCOMPARE(pool.getAddresses(), addresses({"192.0.2.1", "192.0.2.2"}));
        QCOMPARE(pool.getIp(), QHostAddress("192.0.2.1"));

        currentTable = tableOf("vpn.example", {"198.51.100.3"});
        QCOMPARE(pool.getAddresses().size(), 2); // nothing is re-read until the shuffle
        pool.shuffleIps();
        QCOMPARE(pool.getAddresses(), addresses({"198.51.100.3"}));
        QCOMPARE(pool.getIp(), QHostAddress("198.51.100.3"));
        QCOMPARE(pool.toString(), QStringLiteral("Type: LOCAL_LOOKUP\nIp 0 : 198.51.100.3\n"
                                                 "First Ip 198.51.100.3 at position 0\n"));
    }

    void dnsPoolNeverHandsOutAnUnusableAddress()
    {
        currentTable = tableOf("vpn.example", {"0.0.0.0", "::", "192.0.2.9"});
        DnsJsonIpPool pool(QStringLiteral("vpn.example"), &testTable);
        QCOMPARE(pool.getAddresses(), addresses({"192.0.2.9"}));
        for (int i = 0; i < 20; ++i) {
            pool.shuffleIps();
            QCOMPARE(pool.getIp(), QHostAddress("192.0.2.9"));
        }
    }

    void dnsPoolForAnUnknownHost()
    {
        currentTable = tableOf("other.example", {"192.0.2.1"});
        DnsJsonIpPool pool(QStringLiteral("vpn.example"), &testTable);
        pool.shuffleIps(); // no division by zero
        QCOMPARE(pool.getCurrentIndex(), 0);
        QVERIFY(!pool.hasValidIp());
        QTest::ignoreMessage(QtDebugMsg, "DnsJsonIpPool: get Ip");
        QTest::ignoreMessage(QtDebugMsg, "DnsJsonIpPool Warning: IpPool list is empty");
        QVERIFY(pool.getIp().isNull());
    }

    void dnsPoolShrinkingUnderTheIndex()
    {
        currentTable = tableOf("vpn.example", {"192.0.2.1", "192.0.2.2", "192.0.2.3"});
        DnsJsonIpPool pool(QStringLiteral("vpn.example"), &testTable);
        while (pool.getCurrentIndex() != 2)
            pool.shuffleIps();
        currentTable = tableOf("vpn.example", {"192.0.2.1"});
        pool.shuffleIps();
        QCOMPARE(pool.getIp(), QHostAddress("192.0.2.1"));
    }

    void configAndCachePoolsReadTheirFiles()
    {
        writeFile(DnsJson::getDnsjsonFileInfo(), tableOf("vpn.example", {"192.0.2.10"}));
        writeFile(DnsJson::getLocalDnsjsonFileInfo(), tableOf("vpn.example", {"192.0.2.20"}));
        const Pool fromConfig = DnsJsonIpPool::getLocalLookupIpPoolFromConfig(QStringLiteral("vpn.example"));
        const Pool fromCache = DnsJsonIpPool::getLocalLookupIpPoolFromCache(QStringLiteral("vpn.example"));
        QCOMPARE(fromConfig->getType(), qint32(IpPoolInterface::LOCAL_LOOKUP));
        QCOMPARE(fromConfig->getIp(), QHostAddress("192.0.2.10"));
        QCOMPARE(fromCache->getIp(), QHostAddress("192.0.2.20"));
        QCOMPARE(fromConfig->toString(), QStringLiteral("FROM_CONFIG Type: LOCAL_LOOKUP\nIp 0 : 192.0.2.10\n"
                                                        "First Ip 192.0.2.10 at position 0\n"));
        QVERIFY(fromCache->toString().startsWith(QStringLiteral("FROM_CACHE Type: LOCAL_LOOKUP\n")));

        writeFile(DnsJson::getLocalDnsjsonFileInfo(), tableOf("vpn.example", {"192.0.2.21"}));
        fromCache->shuffleIps();
        QCOMPARE(fromCache->getIp(), QHostAddress("192.0.2.21"));

        QFile::remove(DnsJson::getDnsjsonFileInfo().absoluteFilePath());
        fromConfig->shuffleIps(); // a missing table leaves the pool empty
        QVERIFY(!fromConfig->hasValidIp());
    }

    void listAnswersWithTheFirstValidMember()
    {
        IpPoolList list;
        QVERIFY(!list.hasValidIp());
        QVERIFY(list.getIp().isNull());

        list.append(Pool(new DedicatedIpPool(QHostAddress())));
        list.append(staticPool({}));
        QVERIFY(!list.hasValidIp());
        QVERIFY(list.getIp().isNull());

        list.append(staticPool({"10.0.0.1"}));
        list.append(staticPool({"10.0.0.9"}));
        QVERIFY(list.hasValidIp());
        QCOMPARE(list.getIp(), QHostAddress("10.0.0.1"));

        list.prepend(Pool(new DedicatedIpPool(QHostAddress("192.0.2.5"))));
        QCOMPARE(list.getIp(), QHostAddress("192.0.2.5"));

        list.clear();
        QVERIFY(list.getPools().isEmpty());
        QVERIFY(list.getIp().isNull());
    }

    void plainListKeepsItsOrderWhenShuffled()
    {
        QList<int> shuffled;
        IpPoolList list;
        for (int id = 0; id < 5; ++id)
            list.append(Pool(new ShuffleRecorder(id, shuffled)));
        list.shuffleIps();
        QCOMPARE(shuffled, (QList<int> {0, 1, 2, 3, 4}));
        QCOMPARE(orderOf(list), (QList<int> {0, 1, 2, 3, 4}));
    }

    void shuffleListShufflesMembersInTheirNewOrder()
    {
        QList<int> shuffled;
        ShuffleIpPoolList list;
        for (int id = 0; id < 5; ++id)
            list.append(Pool(new ShuffleRecorder(id, shuffled)));
        list.shuffleIps();
        QCOMPARE(shuffled, orderOf(list));
        QList<int> sorted = shuffled;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QList<int> {0, 1, 2, 3, 4}));
    }

    void shuffleListOrders()
    {
        QList<int> ignored;
        ShuffleIpPoolList single;
        single.append(Pool(new ShuffleRecorder(7, ignored)));
        single.shuffleIps();
        QCOMPARE(orderOf(single), QList<int> {7});

        ShuffleIpPoolList empty;
        empty.shuffleIps();

        // Every order of three members comes up.
        QSet<QList<int>> orders;
        for (int i = 0; i < 600 && orders.size() < 6; ++i) {
            ShuffleIpPoolList three;
            for (int id = 0; id < 3; ++id)
                three.append(Pool(new ShuffleRecorder(id, ignored)));
            three.shuffleIps();
            orders << orderOf(three);
        }
        QCOMPARE(orders.size(), 6);
    }

    void listDescriptions()
    {
        IpPoolList list;
        list.append(Pool(new DedicatedIpPool(QHostAddress("10.0.0.1"))));
        list.append(staticPool({"10.0.0.2"}));
        const QString expected = QStringLiteral("List Starting\n"
                                                "List 0 : \n"
                                                "Type: DEDICATED_STATIC_IP\n"
                                                "Ip  : 10.0.0.1\n"
                                                "List 1 : \n"
                                                "Type: STATIC_IP\n"
                                                "Ip 0 : 10.0.0.2\n"
                                                "First Ip 10.0.0.2 at position 0\n"
                                                "List Complete\n");
        QCOMPARE(list.toString(), expected);

        ShuffleIpPoolList shuffle;
        QCOMPARE(shuffle.toString(), QStringLiteral("Shuffle List Starting\nList Complete\n"));
        QCOMPARE(shuffle.getType(), qint32(IpPoolInterface::POOL_LIST));
    }
};

QTEST_GUILESS_MAIN(TestIpPools)
#include "tst_ippools.moc"
