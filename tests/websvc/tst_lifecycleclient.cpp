#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"

#include "TestHttpsServer.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString TOKEN = QStringLiteral("3b9e0c7d1a5f48e2b6c07d93a1f5e2c8d4b7a90e6f13c25d8a7b4e09f61c3d2a");

QByteArray versionReply(const QString &version)
{
    return QStringLiteral(
               "{\"current-version\": \"%1\", \"download-url\": \"https://dl.orvalvpn.example/OrvalVPN.dmg\","
               " \"changelog-url\": \"https://www.orvalvpn.example/changes\"}")
        .arg(version)
        .toUtf8();
}
} // namespace

class TestLifeCycleClient : public WebClientTest
{
    Q_OBJECT

    LifeCycleClient *makeClient(const QString &authorization = QString())
    {
        return new LifeCycleClient(m_manager, QStringLiteral("OrvalVpnDesktop"), SemVer(QStringLiteral("v0.5.10")),
                                   m_server->url("/lifecycle/").toString(), TOKEN, authorization, this);
    }

    // Runs the event loop until no request is pending and the server has been
    // quiet for a while, so that a retry would have shown up.
    void settle(LifeCycleClient *client)
    {
        QTRY_VERIFY_WITH_TIMEOUT(client->getPendingVersionRequest() == nullptr, 10000);
        QTest::qWait(300);
        QVERIFY(client->getPendingVersionRequest() == nullptr);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
        QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
        WebClientTest::initTestCase();
    }

    void constructorSendsNothing()
    {
        LifeCycleClient *client = makeClient();
        QTest::qWait(200);
        QCOMPARE(m_server->connectionCount, 0);
        QVERIFY(client->getPendingVersionRequest() == nullptr);
    }

    void installIdIsCreatedOnceAndKept()
    {
        const QString first = makeClient()->getInstallId();
        QCOMPARE(first.size(), 36);
        QVERIFY(!first.contains('{') && !first.contains('}'));
        QSettings settings;
        QCOMPARE(settings.value("lifecycle/installId").toString(), first);
        QCOMPARE(makeClient()->getInstallId(), first);
    }

    void buildFlavor_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("flavor");
        QTest::newRow("no file") << QByteArray() << "dmg";
        QTest::newRow("flavor set") << QByteArray("[build]\nflavor=pkg\n") << "pkg";
        QTest::newRow("other group") << QByteArray("[other]\nflavor=pkg\n") << "dmg";
    }

    void buildFlavor()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("build.conf");
        if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QTEST(LifeCycleClient::readBuildFlavor(path), "flavor");
    }

    void requestForm_data()
    {
        QTest::addColumn<QString>("authorization");
        QTest::addColumn<QByteArray>("expectedHeader");
        QTest::newRow("null authorization") << QString() << QByteArray();
        QTest::newRow("empty authorization") << QString("") << QByteArray();
        QTest::newRow("basic credentials") << QString("user:pw") << QByteArray("Basic dXNlcjpwdw==");
    }

    void requestForm()
    {
        QFETCH(QString, authorization);
        QFETCH(QByteArray, expectedHeader);
        m_server->setResponder(TestHttpsServer::replyWith(200, versionReply("v0.5.10"), "application/json"));
        LifeCycleClient *client = makeClient(authorization);
        client->checkVersion();
        settle(client);
        QCOMPARE(m_server->requests.size(), 1);
        const TestHttpRequest &request = m_server->requests.first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/lifecycle/versions/current/MacOSX?flavor=dmg"));
        // SHA-256 of "MacOSX" followed by the token, in lower-case hex.
        QCOMPARE(request.header("X-CHECKSUM"),
                 QByteArray("003bc6bc77e68be451120fced2e0b85bce3436637b3a7bb3f1194c8b9da97dd1"));
        QCOMPARE(request.header("User-Agent"),
                 QByteArray("OrvalVpnDesktop/v0.5.10 (MacOSX) ") + client->getInstallId().toUtf8() + "/");
        QCOMPARE(request.hasHeader("Authorization"), !expectedHeader.isEmpty());
        QCOMPARE(request.header("Authorization"), expectedHeader);
        QCOMPARE(request.header("Cache-Control"), QByteArray("no-cache"));
    }

    void reply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QString>("logText");
        QTest::newRow("newer") << versionReply("v0.5.11") << true << "software update available";
        QTest::newRow("newer minor") << versionReply("0.6.0") << true << "software update available";
        QTest::newRow("same") << versionReply("v0.5.10") << false << "software is up to date";
        QTest::newRow("older") << versionReply("v0.5.9") << false << "software is up to date";
        QTest::newRow("release candidate of running")
            << versionReply("v0.5.10-rc.1") << false << "software is up to date";
        QTest::newRow("not a version") << versionReply("latest") << false << "software is up to date";
        QTest::newRow("not JSON") << QByteArray("  <html>oops</html>\n") << false
                                  << "Can not parse JSON:  \"<html>oops</html>\"";
        QTest::newRow("JSON array") << QByteArray("[1,2]") << false << "Can not parse JSON";
        QTest::newRow("missing changelog")
            << QByteArray("{\"current-version\": \"v9.0.0\", \"download-url\": \"https://x.example/\"}") << false << "";
    }

    void reply()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, offered);
        QFETCH(QString, logText);
        m_server->setResponder(TestHttpsServer::replyWith(200, body, "application/json"));
        LogCapture log;
        LifeCycleClient *client = makeClient();
        QSignalSpy update(client, &LifeCycleClient::updateAvailable);
        client->checkVersion();
        settle(client);
        QCOMPARE(m_server->requests.size(), 1); // never retried
        QCOMPARE(update.count(), offered ? 1 : 0);
        const int success = log.indexOf("LifeCycleClient/OnCheckVersionSuccess");
        QVERIFY(success >= 0);
        if (logText.isEmpty()) {
            QCOMPARE(log.indexOf("LifeCycleClient/OnCheckVersionSuccess", success + 1), -1);
        } else {
            QVERIFY2(log.indexOf(logText, success) > success, qPrintable(log.lines().join('\n')));
        }
        if (offered) {
            QCOMPARE(update.first().at(1).toUrl(), QUrl("https://dl.orvalvpn.example/OrvalVPN.dmg"));
            QCOMPARE(update.first().at(2).toUrl(), QUrl("https://www.orvalvpn.example/changes"));
        }
    }

    void failuresAreRetriedFourTimesWithGrowingTimeouts()
    {
        LifeCycleClient *client = makeClient();
        QList<int> timeouts;
        m_server->setResponder([&](const TestHttpRequest &, TestConnection *connection) {
            timeouts.append(client->getPendingVersionRequest() ? client->getPendingVersionRequest()->getTimeout() : -1);
            connection->respond(503, "busy");
        });
        QSignalSpy update(client, &LifeCycleClient::updateAvailable);
        client->checkVersion();
        QTRY_COMPARE_WITH_TIMEOUT(m_server->requests.size(), 4, 10000);
        settle(client);
        QCOMPARE(m_server->requests.size(), 4);
        QCOMPARE(timeouts, (QList<int> {5000, 20000, 45000, 80000}));
        QCOMPARE(update.count(), 0);
    }

    void retryThatSucceedsOffersTheUpdate()
    {
        int served = 0;
        m_server->setResponder([&](const TestHttpRequest &, TestConnection *connection) {
            if (++served == 1)
                connection->respond(500, "error");
            else
                connection->respond(200, versionReply("v1.0.0"));
        });
        LifeCycleClient *client = makeClient();
        QSignalSpy update(client, &LifeCycleClient::updateAvailable);
        client->checkVersion();
        QVERIFY(update.wait(10000));
        settle(client);
        QCOMPARE(update.count(), 1);
        QCOMPARE(update.first().at(0).toString(), QStringLiteral("v1.0.0"));
        QCOMPARE(m_server->requests.size(), 2);
    }

    // The backend aborts a check in flight when it starts a connection: the
    // aborted attempt fails like any other, and the next follows while
    // attempts remain.
    void abortedAttemptsAreRetried()
    {
        m_server->setResponder(TestHttpsServer::silent());
        LifeCycleClient *client = makeClient();
        client->checkVersion();
        for (int attempt = 1; attempt <= 4; ++attempt) {
            QTRY_COMPARE(m_server->requests.size(), attempt);
            QPointer<ReplyHandler> pending = client->getPendingVersionRequest();
            QVERIFY(pending);
            pending->abort();
            QTRY_VERIFY(pending.isNull());
        }
        settle(client);
        QCOMPARE(m_server->requests.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestLifeCycleClient)
#include "tst_lifecycleclient.moc"
