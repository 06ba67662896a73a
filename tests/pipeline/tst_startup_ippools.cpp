#include "backend/DedicatedIpPool.h"
#include "backend/DnsJsonIpPool.h"
#include "backend/OpenVpnConnectionParameters.h"
#include "backend/PinnedIpPool.h"
#include "backend/ShuffleIpPoolList.h"
#include "backend/StartupIpPools.h"
#include "backend/StaticIpPool.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/DnsJson.h"
#include "catalogue/NullConnectionParameters.h"
#include "core/IpPoolList.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Names each pool of a list by its kind; a nested list shows its members,
// sorted for a shuffled list, whose member order is random.
QString describe(const QSharedPointer<IpPoolInterface> &pool)
{
    if (const auto dns = pool.dynamicCast<DnsJsonIpPool>())
        return "dns:" + dns->getHostname();
    if (const auto list = pool.dynamicCast<IpPoolList>()) {
        QStringList members;
        for (const auto &member : list->getPools())
            members << describe(member);
        if (!pool.dynamicCast<ShuffleIpPoolList>())
            return "list[" + members.join(',') + "]";
        members.sort();
        return "shuffle[" + members.join(',') + "]";
    }
    if (const auto fixed = pool.dynamicCast<StaticIpPool>()) {
        QStringList addresses;
        for (const QHostAddress &address : fixed->getAddresses())
            addresses << address.toString();
        return "static{" + addresses.join(' ') + "}";
    }
    if (pool.dynamicCast<PinnedIpPool>())
        return "pinned";
    if (pool.dynamicCast<DedicatedIpPool>())
        return "dedicated";
    return "other";
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

} // namespace

class TestStartupIpPools : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // dns.json lives in the configuration directory: keep it throw-away.
        QSettings().setValue(QStringLiteral("config/configDir"), m_dir.path());
    }

    void filters_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("hostnames");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("mixed, order kept")
            << QStringList {"b.vpn.example", "192.0.2.7", "a.vpn.example", "2001:db8::5"}
            << QStringList {"b.vpn.example", "a.vpn.example"} << QStringList {"192.0.2.7", "2001:db8::5"};
        QTest::newRow("only addresses") << QStringList {"192.0.2.1", "192.0.2.2"} << QStringList()
                                        << QStringList {"192.0.2.1", "192.0.2.2"};
        QTest::newRow("neither address nor name")
            << QStringList {"300.1.2.3", "not a host"} << QStringList {"300.1.2.3", "not a host"} << QStringList();
        QTest::newRow("empty") << QStringList() << QStringList() << QStringList();
    }

    void filters()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, hostnames);
        QFETCH(QStringList, addresses);
        QCOMPARE(StartupIpPools::filterRealHostNameFromRemoteServers(entries), hostnames);
        QStringList found;
        for (const QHostAddress &address : StartupIpPools::filterIPsFromRemoteServers(entries))
            found << address.toString();
        QCOMPARE(found, addresses);
    }

    void fill_data()
    {
        QTest::addColumn<bool>("refreshDnsCache");
        QTest::addColumn<QString>("dedicatedIp");
        QTest::addColumn<QStringList>("expected");
        const QString config = "shuffle[dns:b.vpn.example,static{192.0.2.50}]";
        QTest::newRow("cache refreshed, dedicated")
            << true << "198.51.100.9" << QStringList {"dedicated", "pinned", config, config};
        QTest::newRow("cache refreshed") << true << "" << QStringList {"pinned", config, config};
        QTest::newRow("no cache refresh") << false << "" << QStringList {"pinned", config};
        QTest::newRow("no cache refresh, dedicated")
            << false << "198.51.100.9" << QStringList {"dedicated", "pinned", config};
    }

    void fill()
    {
        QFETCH(bool, refreshDnsCache);
        QFETCH(QString, dedicatedIp);
        QFETCH(QStringList, expected);
        writeFile(m_dir.filePath("site-udp.conf"), "client\nremote b.vpn.example 1194\nremote 192.0.2.50 1194\n");
        const HalvorixServerSite site("DEU", "Berlin", "site-udp.conf", "site-tcp.conf", false, false,
                                      QDir(m_dir.path()), {}, QHostAddress(dedicatedIp), GeoLocation(), QString(), 0);
        const OpenVpnConnectionParameters parameters(site, ConnectVia::UDP(), BackendOpenVPNConfigCipher(),
                                                     ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true);
        IpPoolList pools;
        StartupIpPools::fillIpPoolList(pools, parameters, refreshDnsCache);
        QStringList found;
        for (const auto &pool : pools.getPools())
            found << describe(pool);
        // The cache list sits before the configuration list; both look alike here.
        QCOMPARE(found, expected);
    }

    // The configuration pools answer from dns.json, the cache pools from
    // dns_local.json, each for the same host name.
    void poolsReadTheirOwnTable()
    {
        writeFile(DnsJson::getDnsjsonFileInfo().absoluteFilePath(),
                  R"({"resolve": {"b.vpn.example": ["192.0.2.10"]}})");
        writeFile(DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath(),
                  R"({"resolve": {"b.vpn.example": ["203.0.113.20"]}})");
        const QStringList entries {"b.vpn.example"};
        const QSharedPointer<IpPoolList> config = StartupIpPools::getShuffleIpPoolListFromConfig(entries);
        const QSharedPointer<IpPoolList> cache = StartupIpPools::getShuffleIpPoolListFromCache(entries);
        QVERIFY(config->hasValidIp() && cache->hasValidIp());
        QCOMPARE(config->getIp(), QHostAddress("192.0.2.10"));
        QCOMPARE(cache->getIp(), QHostAddress("203.0.113.20"));
    }

    void literalAddressesOnlyGiveOneStaticPool()
    {
        const QSharedPointer<IpPoolList> list =
            StartupIpPools::getShuffleIpPoolListFromCache({"192.0.2.1", "2001:db8::1"});
        QCOMPARE(describe(list), QStringLiteral("shuffle[static{192.0.2.1 2001:db8::1}]"));
    }

    void nullParametersGiveOnlyEmptyPools()
    {
        IpPoolList pools;
        StartupIpPools::fillIpPoolList(pools, NullConnectionParameters(), false);
        QStringList found;
        for (const auto &pool : pools.getPools())
            found << describe(pool);
        QCOMPARE(found, QStringList({"pinned", "shuffle[static{}]"}));
        QVERIFY(!pools.hasValidIp());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestStartupIpPools)
#include "tst_startup_ippools.moc"
