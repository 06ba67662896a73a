#include "websvc/VazOzudeApiClient.h"

#include "TestHttpsServer.h"

#include <QSignalSpy>
#include <QTest>

class TestVazOzudeApiClient : public WebClientTest
{
    Q_OBJECT

    VazOzudeApiClient *m_client = nullptr;

private slots:
    void init()
    {
        WebClientTest::init();
        m_client = new VazOzudeApiClient(m_manager, m_server->url("/token/config?format=txt").toString(),
                                         SemVer(QStringLiteral("v0.5.10")), QStringLiteral("OrvalVpnDesktop"));
    }

    void cleanup()
    {
        delete m_client;
        WebClientTest::cleanup();
    }

    void requestForm_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("authorization");
        QTest::newRow("user and password") << "alice"
                                           << "s3cret" << QByteArray("Basic YWxpY2U6czNjcmV0");
        QTest::newRow("empty password keeps colon") << "alice"
                                                    << "" << QByteArray("Basic YWxpY2U6");
        QTest::newRow("colon in password") << "bob"
                                           << "a:b" << QByteArray("Basic Ym9iOmE6Yg==");
    }

    void requestForm()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QByteArray, authorization);
        m_server->setResponder(TestHttpsServer::replyWith(200, "remote vpn.orvalvpn.example 1194\n"));
        QSignalSpy ready(m_client, &VazOzudeApiClient::configTxtReady);
        m_client->requestToken(user, password);
        QVERIFY(ready.wait(10000));
        QCOMPARE(ready.first().first().toString(), QStringLiteral("remote vpn.orvalvpn.example 1194\n"));
        QCOMPARE(m_server->requests.size(), 1);
        const TestHttpRequest &request = m_server->requests.first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/token/config?format=txt"));
        QCOMPARE(request.header("Authorization"), authorization);
        QCOMPARE(request.header("User-Agent"), QByteArray("OrvalVpnDesktop/v0.5.10 (MacOSX)"));
        QVERIFY(!m_client->credentialsReady());
    }

    void failureIsLoggedAndDropped()
    {
        m_server->setResponder(TestHttpsServer::replyWith(401, "denied"));
        LogCapture log;
        QSignalSpy ready(m_client, &VazOzudeApiClient::configTxtReady);
        m_client->requestToken("alice", "wrong");
        QTRY_VERIFY(log.contains("processTokenReply: Could not get Token!"));
        QTest::qWait(200);
        QCOMPARE(ready.count(), 0);
        QCOMPARE(m_server->requests.size(), 1);
    }

    void overlappingRequestsEachAnswerOnce()
    {
        // The first answer is held back until the second request has arrived.
        QList<TestConnection *> waiting;
        m_server->setResponder([&](const TestHttpRequest &request, TestConnection *connection) {
            waiting.append(connection);
            Q_UNUSED(request)
            if (waiting.size() == 2) {
                waiting.at(1)->respond(200, "second");
                waiting.at(0)->respond(200, "first");
            }
        });
        QSignalSpy ready(m_client, &VazOzudeApiClient::configTxtReady);
        m_client->requestToken("alice", "one");
        m_client->requestToken("bob", "two");
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, 10000);
        QTest::qWait(200);
        QCOMPARE(ready.count(), 2);
        QStringList texts {ready.at(0).first().toString(), ready.at(1).first().toString()};
        texts.sort();
        QCOMPARE(texts, (QStringList {"first", "second"}));
    }

    void sizeLimit_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("at the limit") << int(VazOzudeApiClient::MAXIMUM_REPLY_SIZE) << true;
        QTest::newRow("one past") << int(VazOzudeApiClient::MAXIMUM_REPLY_SIZE) + 1 << false;
    }

    void sizeLimit()
    {
        QFETCH(int, size);
        QFETCH(bool, accepted);
        m_server->setResponder(TestHttpsServer::replyWith(200, QByteArray(size, 'c')));
        LogCapture log;
        QSignalSpy ready(m_client, &VazOzudeApiClient::configTxtReady);
        m_client->requestToken("alice", "pw");
        QTRY_VERIFY_WITH_TIMEOUT(ready.count() == 1 || log.contains("Could not get Token!"), 10000);
        QCOMPARE(ready.count(), accepted ? 1 : 0);
        if (accepted)
            QCOMPARE(ready.first().first().toString().size(), size);
    }
};

QTEST_GUILESS_MAIN(TestVazOzudeApiClient)
#include "tst_vazozudeapiclient.moc"
