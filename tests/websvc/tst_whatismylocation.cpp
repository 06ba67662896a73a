#include "websvc/WhatIsMyLocation.h"

#include "TestHttpsServer.h"

#include <QSignalSpy>
#include <QTest>

class TestWhatIsMyLocation : public WebClientTest
{
    Q_OBJECT

    WhatIsMyLocation *makeClient()
    {
        return new WhatIsMyLocation(m_manager, QStringLiteral("OrvalVpnDesktop"), SemVer(QStringLiteral("v0.5.10")),
                                    m_server->url("/cgi-bin/whatismylocation.pl").toString(), 0, false, this);
    }

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<QString>("country");
        QTest::newRow("strings") << QByteArray(
            "{\"latitude\":\"48.85\",\"longitude\":\"2.35\",\"country_code3\":\"FRA\"}")
                                 << true << 48.85 << 2.35 << "FRA";
        QTest::newRow("numbers") << QByteArray("{\"latitude\":48.85,\"longitude\":2.35,\"country_code3\":\"FRA\"}")
                                 << true << 48.85 << 2.35 << "FRA";
        QTest::newRow("southern and western")
            << QByteArray("{\"latitude\":\"-33.87\",\"longitude\":-151.2}") << true << -33.87 << -151.2 << "";
        QTest::newRow("explicit zero") << QByteArray("{\"latitude\":\"0\",\"longitude\":0}") << true << 0.0 << 0.0
                                       << "";
        QTest::newRow("missing latitude")
            << QByteArray("{\"longitude\":\"2.35\",\"country_code3\":\"FRA\"}") << false << 0.0 << 0.0 << "";
        QTest::newRow("missing longitude") << QByteArray("{\"latitude\":\"48.85\"}") << false << 0.0 << 0.0 << "";
        QTest::newRow("not numeric") << QByteArray("{\"latitude\":\"north\",\"longitude\":\"2.35\"}") << false << 0.0
                                     << 0.0 << "";
        QTest::newRow("empty text") << QByteArray("{\"latitude\":\"\",\"longitude\":\"\"}") << false << 0.0 << 0.0
                                    << "";
        QTest::newRow("null") << QByteArray("{\"latitude\":null,\"longitude\":null}") << false << 0.0 << 0.0 << "";
        QTest::newRow("latitude out of range")
            << QByteArray("{\"latitude\":91,\"longitude\":0}") << false << 0.0 << 0.0 << "";
        QTest::newRow("longitude out of range")
            << QByteArray("{\"latitude\":0,\"longitude\":\"180.5\"}") << false << 0.0 << 0.0 << "";
        QTest::newRow("not JSON") << QByteArray("<html></html>") << false << 0.0 << 0.0 << "";
        QTest::newRow("array") << QByteArray("[48.85, 2.35]") << false << 0.0 << 0.0 << "";
        QTest::newRow("empty") << QByteArray() << false << 0.0 << 0.0 << "";
    }

    void parse()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, valid);
        GeoLocation location;
        QCOMPARE(WhatIsMyLocation::parseLocation(body, location), valid);
        if (!valid)
            return;
        QTEST(location.getLatitude(), "latitude");
        QTEST(location.getLongitude(), "longitude");
        QTEST(location.getCountryCode(), "country");
    }

    void attemptTimeouts_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("timeout");
        QTest::newRow("first") << 1 << 2000;
        QTest::newRow("second") << 2 << 8000;
        QTest::newRow("third") << 3 << 18000;
        QTest::newRow("last") << 20 << 800000;
    }

    void attemptTimeouts()
    {
        QFETCH(int, count);
        QTEST(WhatIsMyLocation::attemptTimeout(count), "timeout");
    }

    void locationReplyIsReported()
    {
        m_server->setResponder(TestHttpsServer::replyWith(
            200, "{\"latitude\":\"48.85\",\"longitude\":\"2.35\",\"country_code3\":\"FRA\"}", "application/json"));
        WhatIsMyLocation *client = makeClient();
        QSignalSpy location(client, &WhatIsMyLocation::updateLocation);
        client->queryMyLocation();
        QVERIFY(location.wait(10000));
        QTest::qWait(200);
        QCOMPARE(location.count(), 1);
        const GeoLocation found = location.first().first().value<GeoLocation>();
        QCOMPARE(found.getLatitude(), 48.85);
        QCOMPARE(found.getLongitude(), 2.35);
        QCOMPARE(found.getCountryCode(), QStringLiteral("FRA"));
        QCOMPARE(m_server->requests.size(), 1);
        const TestHttpRequest &request = m_server->requests.first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/cgi-bin/whatismylocation.pl"));
        QCOMPARE(request.header("User-Agent"), QByteArray("OrvalVpnDesktop/v0.5.10 (MacOSX)"));
        QCOMPARE(request.header("Cache-Control"), QByteArray("no-cache"));
    }

    void replyWithoutCoordinatesReportsNothing()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, "{\"country_code3\":\"FRA\"}", "application/json"));
        WhatIsMyLocation *client = makeClient();
        QSignalSpy location(client, &WhatIsMyLocation::updateLocation);
        client->queryMyLocation();
        QTRY_COMPARE(m_server->requests.size(), 1);
        QTest::qWait(300);
        QCOMPARE(location.count(), 0);
        QCOMPARE(m_server->requests.size(), 1);
    }

    void failingPageIsTriedTwentyTimes()
    {
        m_server->setResponder(TestHttpsServer::replyWith(503, "busy"));
        LogCapture log;
        WhatIsMyLocation *client = makeClient();
        QSignalSpy location(client, &WhatIsMyLocation::updateLocation);
        client->queryMyLocation();
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("WhatIsMyLocation/OnFailure: giving up"), 20000);
        QTest::qWait(300);
        QCOMPARE(m_server->requests.size(), 20);
        QCOMPARE(client->getCount(), 20);
        QCOMPARE(location.count(), 0);

        // A new query starts counting again: another twenty attempts.
        const int givenUp = log.indexOf("WhatIsMyLocation/OnFailure: giving up");
        client->queryMyLocation();
        QTRY_VERIFY_WITH_TIMEOUT(log.indexOf("WhatIsMyLocation/OnFailure: giving up", givenUp + 1) > givenUp, 20000);
        QTest::qWait(300);
        QCOMPARE(m_server->requests.size(), 40);
    }

    void stopEndsTheRetries()
    {
        m_server->setResponder(TestHttpsServer::replyWith(503, "busy"));
        LogCapture log;
        WhatIsMyLocation *client = makeClient();
        client->queryMyLocation();
        client->stop();
        QTRY_COMPARE(m_server->requests.size(), 1);
        QTest::qWait(400);
        QCOMPARE(m_server->requests.size(), 1);
        QVERIFY(!log.contains("WhatIsMyLocation/OnFailure"));
    }

    void silentPageIsRetriedAfterTheFirstTimeout()
    {
        m_server->setResponder(TestHttpsServer::silent());
        WhatIsMyLocation *client = makeClient();
        client->queryMyLocation();
        QTRY_COMPARE_WITH_TIMEOUT(m_server->requests.size(), 2, 10000);
        const qint64 gap = m_server->requests.at(1).receivedAtMs - m_server->requests.at(0).receivedAtMs;
        QVERIFY2(gap >= 1800 && gap < 8000, qPrintable(QString::number(gap)));
        client->stop();
    }
};

QTEST_GUILESS_MAIN(TestWhatIsMyLocation)
#include "tst_whatismylocation.moc"
