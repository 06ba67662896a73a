#include "DnsTestStore.h"

#include "catalogue/DnsJsonRefreshScheduler.h"
#include "catalogue/LocalDnsJsonRefresh.h"

#include <QSignalSpy>
#include <QTest>

namespace {

int savedSeries = 0;
QStringList logLines;

void countSaves(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logLines << message;
    if (message.contains(QStringLiteral("IPs refreshed")))
        ++savedSeries;
}

QByteArray cacheDated(const QDateTime &when)
{
    return QStringLiteral(R"({"resolve": {}, "last-update": "%1"})").arg(when.toString(Qt::ISODate)).toUtf8();
}

} // namespace

class TestDnsRefreshScheduler : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        savedSeries = 0;
        logLines.clear();
        qInstallMessageHandler(countSaves);
    }

    void cleanup() { qInstallMessageHandler(nullptr); }

    void firstSeriesWaitsForTheCacheToAge_data()
    {
        QTest::addColumn<qint64>("ageMs");
        QTest::addColumn<int>("expectedDelayMs");
        QTest::newRow("an hour old") << qint64(3600000) << 0;
        QTest::newRow("59 minutes old") << qint64(59 * 60000) << 60000;
        QTest::newRow("dated in the future") << qint64(-7200000) << 3600000;
    }

    void firstSeriesWaitsForTheCacheToAge()
    {
        QFETCH(qint64, ageMs);
        QFETCH(int, expectedDelayMs);
        DnsTestStore store;
        DnsTestStore::writeLocalCache(cacheDated(QDateTime::currentDateTimeUtc().addMSecs(-ageMs)));
        DnsJsonRefreshScheduler scheduler;
        scheduler.startRefreshing();
        QVERIFY(qAbs(scheduler.pendingStartDelay() - expectedDelayMs) < 2000);
    }

    void cacheWithoutDateStartsAtOnceAndRepeatsHourly()
    {
        DnsTestStore store;
        DnsJsonRefreshScheduler scheduler;
        scheduler.startRefreshing();
        QCOMPARE(scheduler.pendingStartDelay(), 0);
        QTRY_COMPARE(savedSeries, 1);
        QVERIFY(scheduler.isRepeating());
        QVERIFY(DnsJson::getLocalDnsCache().lastUpdate().secsTo(QDateTime::currentDateTimeUtc()) < 5);
    }

    void repeatedStartsNeverStack()
    {
        DnsTestStore store;
        DnsJsonRefreshScheduler scheduler;
        scheduler.startRefreshing();
        scheduler.startRefreshing();
        scheduler.startRefreshing();
        QTRY_COMPARE(savedSeries, 1);
        QTest::qWait(100);
        QCOMPARE(savedSeries, 1);
    }

    void stopWithdrawsTheScheduledStart()
    {
        DnsTestStore store;
        DnsJsonRefreshScheduler scheduler;
        scheduler.startRefreshing();
        scheduler.stopRefreshing();
        QCOMPARE(scheduler.pendingStartDelay(), -1);
        QTest::qWait(100);
        QCOMPARE(savedSeries, 0);
        QVERIFY(!scheduler.isRepeating());
        QVERIFY(!DnsJson::isLocalDNSCachePresent());
    }

    void literalAddressesAreNotLookedUp()
    {
        DnsTestStore store;
        LocalDnsJsonRefresh refresh({"192.0.2.1", "", "2001:db8::1"}, false);
        QSignalSpy names(&refresh, &LocalDnsJsonRefresh::lookingUpHostname);
        QSignalSpy finished(&refresh, &LocalDnsJsonRefresh::dnslookupfinished);
        refresh.setStopFlag(false);
        refresh.doNextLookUpIfNeeded();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(names.count(), 3);
        QCOMPARE(names.at(2).at(1).toInt(), 3);
        QCOMPARE(names.at(2).at(2).toInt(), 3);
        QCOMPARE(logLines.filter("no look up is needed for").size(), 3);
        QVERIFY(DnsJson::getLocalDnsCache().resolve("x").isEmpty());
        // Without the stamp the cache keeps its age.
        QCOMPARE(DnsJson::getLocalDnsCache().lastUpdate().toMSecsSinceEpoch(), qint64(0));
    }

    void aStoppedRefreshNeitherLooksUpNorSaves()
    {
        DnsTestStore store;
        LocalDnsJsonRefresh refresh({"a.orvalvpn.test", "b.orvalvpn.test"}, true);
        QSignalSpy finished(&refresh, &LocalDnsJsonRefresh::dnslookupfinished);
        refresh.doNextLookUpIfNeeded(); // created stopped
        QVERIFY(!refresh.isLookingUp());
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!DnsJson::isLocalDNSCachePresent());
    }
};

QTEST_GUILESS_MAIN(TestDnsRefreshScheduler)
#include "tst_dnsrefresh_scheduler.moc"
