#include "DnsTestStore.h"
#include "Lab.h"

#include "catalogue/LocalDnsJsonRefresh.h"

#include <QSignalSpy>
#include <QTest>

// The refresh against a real resolver: the lab's dnsmasq.
class TestDnsRefreshLab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        Lab::addDnsHost("vpn-one.orvalvpn.test", "203.0.113.10");
        Lab::addDnsHost("vpn-one.orvalvpn.test", "203.0.113.11");
        Lab::addDnsHost("vpn-two.orvalvpn.test", "203.0.113.20");
    }

    void recordsWhatTheResolverAnswers()
    {
        DnsTestStore store;
        DnsTestStore::writeLocalCache(R"({"resolve": {"gone.orvalvpn.test": ["192.0.2.99"]},
                                         "last-update": "2020-01-01T00:00:00Z"})");
        LocalDnsJsonRefresh refresh({"vpn-one.orvalvpn.test", "gone.orvalvpn.test", "vpn-two.orvalvpn.test"}, true);
        QSignalSpy finished(&refresh, &LocalDnsJsonRefresh::dnslookupfinished);
        refresh.setStopFlag(false);
        refresh.doNextLookUpIfNeeded();
        QVERIFY(finished.wait(20000));

        const DnsJson cache = DnsJson::getLocalDnsCache();
        QList<QHostAddress> one = cache.resolve("vpn-one.orvalvpn.test");
        std::sort(one.begin(), one.end(),
                  [](const QHostAddress &a, const QHostAddress &b) { return a.toIPv4Address() < b.toIPv4Address(); });
        QCOMPARE(one, (QList<QHostAddress> {QHostAddress("203.0.113.10"), QHostAddress("203.0.113.11")}));
        QCOMPARE(cache.resolve("vpn-two.orvalvpn.test"), QList<QHostAddress> {QHostAddress("203.0.113.20")});
        // A failed look-up keeps what the cache knew.
        QCOMPARE(cache.resolve("gone.orvalvpn.test"), QList<QHostAddress> {QHostAddress("192.0.2.99")});
        QVERIFY(cache.lastUpdate().secsTo(QDateTime::currentDateTimeUtc()) < 30);
    }

    void lookUpBeforeConnectingKeepsTheCacheDate()
    {
        DnsTestStore store;
        DnsTestStore::writeLocalCache(R"({"resolve": {}, "last-update": "2020-01-01T00:00:00Z"})");
        LocalDnsJsonRefresh refresh({"vpn-two.orvalvpn.test"}, false);
        QSignalSpy finished(&refresh, &LocalDnsJsonRefresh::dnslookupfinished);
        refresh.setStopFlag(false);
        refresh.doNextLookUpIfNeeded();
        QVERIFY(finished.wait(20000));
        const DnsJson cache = DnsJson::getLocalDnsCache();
        QCOMPARE(cache.resolve("vpn-two.orvalvpn.test"), QList<QHostAddress> {QHostAddress("203.0.113.20")});
        QCOMPARE(cache.lastUpdate(), QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC));
    }
};

QTEST_GUILESS_MAIN(TestDnsRefreshLab)
#include "tst_dnsrefresh_lab.moc"
