#include "DnsTestStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestDnsJson : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("literal address is never looked up") << "10.0.0.1" << QStringList {"10.0.0.1"};
        QTest::newRow("bad entries skipped, order kept") << "mixed.orvalvpn.test" << QStringList {"1.2.3.4", "::1"};
        QTest::newRow("unknown host") << "nowhere.orvalvpn.test" << QStringList {};
    }

    void resolve()
    {
        QFETCH(QString, host);
        QFETCH(QStringList, addresses);
        DnsJson table;
        table.init(R"({"resolve": {"10.0.0.1": ["192.0.2.9"],
                                   "mixed.orvalvpn.test": ["1.2.3.4", "no address", "::1"]}})");
        QStringList texts;
        for (const QHostAddress &address : table.resolve(host))
            texts << address.toString();
        QCOMPARE(texts, addresses);
    }

    void lastUpdate()
    {
        DnsJson table;
        QCOMPARE(table.lastUpdate().toMSecsSinceEpoch(), qint64(0));
        table.init(R"({"last-update": "2016-11-07T09:30:00Z"})");
        QCOMPARE(table.lastUpdate(), QDateTime(QDate(2016, 11, 7), QTime(9, 30), Qt::UTC));
    }

    void nonObjectsGiveAnEmptyTable_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not json") << QByteArray("resolve: nothing");
        QTest::newRow("array") << QByteArray(R"([{"resolve": {"a": ["192.0.2.1"]}}])");
    }

    void nonObjectsGiveAnEmptyTable()
    {
        QFETCH(QByteArray, content);
        DnsJson table;
        table.init(content);
        QVERIFY(table.resolve("a").isEmpty());
    }

    void updateReplacesAndRemovesSingleHosts()
    {
        DnsJson table;
        table.init(R"({"resolve": {"a.test": ["192.0.2.1"], "b.test": ["192.0.2.2"]}})");
        table.updateDnsList("a.test", {QHostAddress("198.51.100.2"), QHostAddress("198.51.100.1")});
        QCOMPARE(table.resolve("a.test"),
                 (QList<QHostAddress> {QHostAddress("198.51.100.2"), QHostAddress("198.51.100.1")}));
        table.updateDnsList("a.test", {});
        QVERIFY(table.resolve("a.test").isEmpty());
        QCOMPARE(table.resolve("b.test"), QList<QHostAddress> {QHostAddress("192.0.2.2")});
    }

    void saveReplacesTheCacheAndKeepsOtherMembers()
    {
        DnsTestStore store;
        QVERIFY(!DnsJson::isLocalDNSCachePresent());
        DnsTestStore::writeLocalCache(R"({"resolve": {}, "comment": "kept"})");
        DnsJson table = DnsJson::getLocalDnsCache();
        table.updateDnsList("a.test", {QHostAddress("192.0.2.1")});
        table.updateLastModifiedTimestamp();
        QTest::ignoreMessage(
            QtDebugMsg,
            qPrintable(
                QStringLiteral("\"IPs refreshed: %1\"").arg(DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath())));
        table.saveToLocalCache();

        const QJsonObject saved = QJsonDocument::fromJson(DnsTestStore::localCacheText()).object();
        QCOMPARE(saved.value("comment").toString(), QStringLiteral("kept"));
        QVERIFY(qAbs(DnsJson::getLocalDnsCache().lastUpdate().secsTo(QDateTime::currentDateTimeUtc())) < 5);
        QCOMPARE(DnsJson::getLocalDnsCache().resolve("a.test"), QList<QHostAddress> {QHostAddress("192.0.2.1")});
        QVERIFY(!QFile::exists(DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath() + ".temp"));
    }

    void tablesLiveWhereTheConfigurationSays()
    {
        DnsTestStore store;
        QFile shipped(store.configDir() + "/dns.json");
        QVERIFY(shipped.open(QIODevice::WriteOnly));
        shipped.write(R"({"resolve": {"a.test": ["192.0.2.7"]}})");
        shipped.close();
        QCOMPARE(DnsJson::getDefaultDnsJson().resolve("a.test"), QList<QHostAddress> {QHostAddress("192.0.2.7")});
        // A missing local cache is an empty table, and purging it then is harmless.
        QVERIFY(DnsJson::getLocalDnsCache().resolve("a.test").isEmpty());
        DnsJson::purgeDNSCacheIfNecessary();
        DnsTestStore::writeLocalCache("{}");
        DnsJson::purgeDNSCacheIfNecessary();
        QVERIFY(!DnsJson::isLocalDNSCachePresent());
    }

    // The settings dialog warns when the cache could not be deleted.
    void cleaningTheCacheTellsWhetherNoneIsLeft_data()
    {
        QTest::addColumn<QString>("cache");
        QTest::addColumn<bool>("cleaned");
        QTest::newRow("absent") << "" << true;
        QTest::newRow("a file") << "file" << true;
        QTest::newRow("undeletable (a directory in its place)") << "directory" << false;
    }

    void cleaningTheCacheTellsWhetherNoneIsLeft()
    {
        QFETCH(QString, cache);
        QFETCH(bool, cleaned);
        DnsTestStore store;
        const QString path = DnsJson::getLocalDnsjsonFileInfo().absoluteFilePath();
        if (cache == "file")
            DnsTestStore::writeLocalCache("{}");
        else if (cache == "directory")
            QVERIFY(QDir().mkpath(path + "/inside"));
        QCOMPARE(DnsJson::cleanLocalDNSCache(), cleaned);
        QCOMPARE(DnsJson::isLocalDNSCachePresent(), !cleaned);
        QDir(path).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestDnsJson)
#include "tst_dnsjson.moc"
