#include "websvc/WhatIsMyIp.h"

#include "TestHttpsServer.h"

#include <QTest>

class TestWhatIsMyIp : public WebClientTest
{
    Q_OBJECT

    WhatIsMyIp *m_client = nullptr;

    struct Update
    {
        int state;
        QHostAddress address;
        int count;
    };

    // Every updateIp of the client, in order.
    QList<Update> m_updates;

private slots:
    void init()
    {
        WebClientTest::init();
        m_client = new WhatIsMyIp(m_manager, QStringLiteral("OrvalVpnDesktop"), SemVer(QStringLiteral("v0.5.10")),
                                  m_server->url("/cgi-bin/whatismyip.pl").toString(), this);
        m_updates.clear();
        connect(m_client, &WhatIsMyIp::updateIp, this,
                [this](VpnConnectionState::PublicIpDetectionState state, const QHostAddress &address, int count) {
                    m_updates.append({int(state), address, count});
                });
    }

    void cleanup()
    {
        delete m_client;
        WebClientTest::cleanup();
    }

    void reply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("address");
        QTest::newRow("IPv4") << QByteArray("203.0.113.7") << 2 << "203.0.113.7";
        QTest::newRow("IPv6") << QByteArray("2001:db8::7") << 2 << "2001:db8::7";
        QTest::newRow("line break is not an address") << QByteArray("203.0.113.7\n") << 3 << "";
        QTest::newRow("leading blank") << QByteArray(" 203.0.113.7") << 3 << "";
        QTest::newRow("html") << QByteArray("<html>hello</html>") << 3 << "";
        QTest::newRow("empty") << QByteArray() << 3 << "";
    }

    void reply()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, state);
        QFETCH(QString, address);
        m_server->setResponder(TestHttpsServer::replyWith(200, body));
        m_client->queryMyIp();
        QCOMPARE(m_updates.size(), 1);
        QCOMPARE(m_updates.at(0).state, 1);
        QVERIFY(m_updates.at(0).address.isNull());
        QCOMPARE(m_updates.at(0).count, 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_updates.size(), 2, 10000);
        QTest::qWait(200);
        QCOMPARE(m_updates.size(), 2);
        QCOMPARE(m_updates.at(1).state, state);
        QCOMPARE(m_updates.at(1).address, address.isEmpty() ? QHostAddress() : QHostAddress(address));
        QCOMPARE(m_updates.at(1).count, 1);
        QCOMPARE(m_server->requests.size(), 1); // an invalid answer is not retried
        const TestHttpRequest &request = m_server->requests.first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/cgi-bin/whatismyip.pl"));
        QCOMPARE(request.header("User-Agent"), QByteArray("OrvalVpnDesktop/v0.5.10 (MacOSX)"));
        QCOMPARE(request.header("Cache-Control"), QByteArray("no-cache"));
    }

    void failingPageGivesTwentyAttemptsThenFailure()
    {
        m_server->setResponder(TestHttpsServer::replyWith(502, "bad gateway"));
        m_client->queryMyIp();
        QTRY_COMPARE_WITH_TIMEOUT(m_updates.size(), 21, 20000);
        QTest::qWait(300);
        QCOMPARE(m_updates.size(), 21);
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(m_updates.at(i).state, 1);
            QCOMPARE(m_updates.at(i).count, i + 1);
        }
        QCOMPARE(m_updates.at(20).state, 3);
        QVERIFY(m_updates.at(20).address.isNull());
        QCOMPARE(m_updates.at(20).count, 20);
        QCOMPARE(m_server->requests.size(), 20);
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
        QTEST(WhatIsMyIp::attemptTimeout(count), "timeout");
    }

    void retryAfterFailureFindsTheAddress()
    {
        int served = 0;
        m_server->setResponder([&](const TestHttpRequest &, TestConnection *connection) {
            if (++served == 1)
                connection->respond(500, "error");
            else
                connection->respond(200, "198.51.100.1");
        });
        m_client->queryMyIp();
        QTRY_COMPARE_WITH_TIMEOUT(m_updates.size(), 3, 10000);
        QCOMPARE(m_updates.at(1).state, 1);
        QCOMPARE(m_updates.at(1).count, 2);
        QCOMPARE(m_updates.at(2).state, 2);
        QCOMPARE(m_updates.at(2).address, QHostAddress("198.51.100.1"));
        QCOMPARE(m_updates.at(2).count, 2);
    }
};

QTEST_GUILESS_MAIN(TestWhatIsMyIp)
#include "tst_whatismyip.moc"
