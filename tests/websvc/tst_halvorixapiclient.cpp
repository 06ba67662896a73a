#include "websvc/CredentialsStore.h"
#include "websvc/HalvorixAPIClient.h"
#include "websvc/HalvorixAPIClientHandler.h"

#include "catalogue/CountryCode.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/ServerSitePortFilter.h"
#include "catalogue/ServerSiteProtocolFilter.h"
#include "core/OpenVpnGenericState.h"
#include "prefs/Settings.h"

#include "TestHttpsServer.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray png(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestHalvorixAPIClient : public WebClientTest
{
    Q_OBJECT

    HalvorixAPIClient *m_client = nullptr;

    QString logoPath() const { return m_client->getWhiteLabelLogoFileInfo().absoluteFilePath(); }

    void writeOldLogo()
    {
        QFile file(logoPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(png(10, 10));
    }

    QByteArray logoOnDisk() const
    {
        QFile file(logoPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Waits until the server has been quiet for a while after at least `count` requests.
    void settle(int count)
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requests.size() >= count, 10000);
        int seen = -1;
        while (seen != m_server->requests.size()) {
            seen = m_server->requests.size();
            QTest::qWait(300);
        }
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
        QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
        WebClientTest::initTestCase();
    }

    void init()
    {
        WebClientTest::init();
        m_client = new HalvorixAPIClient(m_manager, m_server->url("/api/config").toString(), QStringLiteral("OrvalVPN"),
                                         QStringLiteral("v0.5.10"), this);
        Settings().setLastHalvorixAPIClientRequest(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));
        QFile::remove(logoPath());
        CredentialsStore::setUsernamePassword(QStringLiteral("alice"), QStringLiteral("s3cret"));
    }

    void cleanup()
    {
        Settings().setServerSitesWithDedicatedIp({});
        delete m_client;
        WebClientTest::cleanup();
        CredentialsStore::clearUsernamePassword();
    }

    void requestBody_data()
    {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QByteArray>("encodedName");
        QTest::newRow("plain") << "alice" << QByteArray("alice");
        QTest::newRow("form delimiters") << "a&b=c d+e" << QByteArray("a%26b%3Dc%20d%2Be");
        QTest::newRow("non-ASCII") << QString::fromUtf8("zo\xc3\xab") << QByteArray("zo%C3%AB");
        QTest::newRow("unreserved kept") << "a.b-c_d~e" << QByteArray("a.b-c_d~e");
    }

    void requestBody()
    {
        QFETCH(QString, username);
        QFETCH(QByteArray, encodedName);
        const QByteArray body = HalvorixAPIClient::configurationRequestBody(username, QStringLiteral("pw"));
        const QList<QByteArray> fields = body.split('&');
        QCOMPARE(fields.size(), 3);
        QCOMPARE(fields.at(0), "username=" + encodedName);
        QCOMPARE(fields.at(1), QByteArray("password=8fe4c11451281c094a6578e6ddbf5eed"));
        QVERIFY(fields.at(2).startsWith("key="));
        QCOMPARE(fields.at(2).size(), 4 + 32);
        // The key depends on the user name and the password.
        QVERIFY(body != HalvorixAPIClient::configurationRequestBody(username + "x", QStringLiteral("pw")));
        QVERIFY(fields.at(2) != HalvorixAPIClient::configurationRequestBody(username, "pw2").split('&').at(2));
    }

    void requestForm()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, "{}", "application/json"));
        m_client->makeRequest();
        settle(1);
        QCOMPARE(m_server->requests.size(), 1);
        const TestHttpRequest &request = m_server->requests.first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/api/config"));
        QCOMPARE(request.header("X-PROGRAM-NAME"), QByteArray("OrvalVPN"));
        QCOMPARE(request.header("X-PROGRAM-VERSION"), QByteArray("v0.5.10"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(request.body, HalvorixAPIClient::configurationRequestBody("alice", "s3cret"));
    }

    void attemptTimeouts_data()
    {
        QTest::addColumn<int>("attempt");
        QTest::addColumn<int>("timeout");
        QTest::newRow("first") << 1 << 45000;
        QTest::newRow("second") << 2 << 90000;
        QTest::newRow("fourth") << 4 << 180000;
    }

    void attemptTimeouts()
    {
        QFETCH(int, attempt);
        QTEST(HalvorixAPIClient::attemptTimeout(attempt), "timeout");
    }

    void retriesAreBoundedAndKeepTheCredentials()
    {
        m_server->setResponder(TestHttpsServer::replyWith(503, "busy"));
        m_client->makeRequest();
        // The lifecycle handler forgets the credentials right after the first request.
        CredentialsStore::clearUsernamePassword();
        settle(4);
        QCOMPARE(m_server->requests.size(), 4);
        for (const TestHttpRequest &request : m_server->requests)
            QCOMPARE(request.body, HalvorixAPIClient::configurationRequestBody("alice", "s3cret"));
    }

    void replySizeLimit_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("timeRecorded");
        QTest::newRow("at the limit") << int(HalvorixAPIClient::MAXIMUM_CONFIGURATION_RESPONSE_SIZE) << 1 << true;
        QTest::newRow("one past, retried")
            << int(HalvorixAPIClient::MAXIMUM_CONFIGURATION_RESPONSE_SIZE) + 1 << 4 << false;
    }

    void replySizeLimit()
    {
        QFETCH(int, size);
        QByteArray body = "{}";
        body.append(QByteArray(size - body.size(), ' '));
        m_server->setResponder(TestHttpsServer::replyWith(200, body, "application/json"));
        m_client->makeRequest();
        QFETCH(int, requests);
        settle(requests);
        QCOMPARE(m_server->requests.size(), requests);
        // The time is recorded once the whole reply is read, which a loaded machine may not
        // have finished when the requests stop.
        QFETCH(bool, timeRecorded);
        const auto recorded = [] { return Settings().lastHalvorixAPIClientRequest().toMSecsSinceEpoch() != 0; };
        if (timeRecorded)
            QTRY_VERIFY_WITH_TIMEOUT(recorded(), 10000);
        else
            QVERIFY(!recorded());
    }

    void withoutCredentialsNothingIsSent()
    {
        CredentialsStore::clearUsernamePassword();
        m_client->makeRequest();
        QTest::qWait(300);
        QCOMPARE(m_server->connectionCount, 0);
    }

    void rateLimit_data()
    {
        QTest::addColumn<qint64>("agoMs");
        QTest::addColumn<bool>("sent");
        QTest::newRow("never") << qint64(-1) << true;
        QTest::newRow("two hours ago") << qint64(7200000) << true;
        QTest::newRow("just over an hour") << qint64(3605000) << true;
        QTest::newRow("just under an hour") << qint64(3595000) << false;
        QTest::newRow("a minute ago") << qint64(60000) << false;
    }

    void rateLimit()
    {
        QFETCH(qint64, agoMs);
        QFETCH(bool, sent);
        if (agoMs >= 0)
            Settings().setLastHalvorixAPIClientRequest(QDateTime::currentDateTimeUtc().addMSecs(-agoMs));
        m_server->setResponder(TestHttpsServer::replyWith(200, "{}", "application/json"));
        LogCapture log;
        m_client->makeRequest();
        QTest::qWait(sent ? 0 : 300);
        if (sent)
            settle(1);
        QCOMPARE(m_server->requests.size(), sent ? 1 : 0);
        QCOMPARE(log.contains("HalvorixAPIClient configuration checked recently."), !sent);
    }

    void secondRequestWithinAnHourIsSkipped()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, "{\"error\":\"no such user\"}", "application/json"));
        m_client->makeRequest();
        settle(1);
        const QDateTime recorded = Settings().lastHalvorixAPIClientRequest();
        QVERIFY(qAbs(recorded.msecsTo(QDateTime::currentDateTimeUtc())) < 10000);
        m_client->makeRequest();
        QTest::qWait(300);
        QCOMPARE(m_server->requests.size(), 1);
    }

    void replyDecidesAboutTheOldLogo_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("logoKept");
        QTest::addColumn<bool>("timeRecorded");
        QTest::newRow("no logo named") << QByteArray("{\"ips\":[]}") << false << true;
        QTest::newRow("error reply") << QByteArray("{\"error\":\"denied\"}") << true << true;
        QTest::newRow("not JSON") << QByteArray("<html>portal</html>") << true << false;
        QTest::newRow("JSON array") << QByteArray("[]") << true << false;
        QTest::newRow("empty body") << QByteArray() << true << false;
    }

    void replyDecidesAboutTheOldLogo()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, logoKept);
        QFETCH(bool, timeRecorded);
        writeOldLogo();
        m_server->setResponder(TestHttpsServer::replyWith(200, body, "application/json"));
        m_client->makeRequest();
        settle(1);
        QCOMPARE(m_server->requests.size(), 1);
        QCOMPARE(QFile::exists(logoPath()), logoKept);
        QCOMPARE(Settings().lastHalvorixAPIClientRequest().toMSecsSinceEpoch() != 0, timeRecorded);
    }

    void logoIsDownloadedCheckedAndSaved_data()
    {
        QTest::addColumn<QByteArray>("logo");
        QTest::addColumn<bool>("saved");
        QTest::newRow("usual") << png(300, 80) << true;
        QTest::newRow("largest allowed") << png(2300, 600) << true;
        QTest::newRow("too wide") << png(2301, 10) << false;
        QTest::newRow("too high") << png(10, 601) << false;
        QTest::newRow("not an image") << QByteArray("GIF89a? no, text") << false;
        QTest::newRow("truncated image") << png(300, 80).left(40) << false;
    }

    void logoIsDownloadedCheckedAndSaved()
    {
        QFETCH(QByteArray, logo);
        QFETCH(bool, saved);
        writeOldLogo();
        const QByteArray oldLogo = logoOnDisk();
        const QByteArray reply = "{\"logo\":\"" + m_server->url("/logo.png").toEncoded() + "\"}";
        m_server->setResponder([&](const TestHttpRequest &request, TestConnection *connection) {
            if (request.target == "/logo.png")
                connection->respond(200, logo, "image/png");
            else
                connection->respond(200, reply, "application/json");
        });
        QSignalSpy refreshed(m_client, &HalvorixAPIClient::logoImageRefreshed);
        m_client->makeRequest();
        settle(2);
        QCOMPARE(m_server->requests.size(), 2);
        QCOMPARE(m_server->requests.at(1).method, QByteArray("GET"));
        QCOMPARE(refreshed.count(), saved ? 1 : 0);
        QCOMPARE(logoOnDisk(), saved ? logo : oldLogo);
        // Nothing is left behind beside the logo.
        const QStringList leftovers = m_client->getWhiteLabelLogoFileInfo().dir().entryList(QDir::Files);
        QCOMPARE(leftovers, QStringList {HalvorixAPIClient::LOGO_FILENAME});
    }

    void logoDownloadRetriesAreBounded()
    {
        const QByteArray reply = "{\"logo\":\"" + m_server->url("/logo.png").toEncoded() + "\"}";
        m_server->setResponder([&](const TestHttpRequest &request, TestConnection *connection) {
            if (request.target == "/logo.png")
                connection->respond(404, "gone");
            else
                connection->respond(200, reply, "application/json");
        });
        m_client->makeRequest();
        settle(5);
        QCOMPARE(m_server->requests.size(), 1 + 4);
        QVERIFY(!QFile::exists(logoPath()));
    }

    void dedicatedAddressesBecomeSites()
    {
        QTemporaryDir configDir;
        QSettings().setValue("config/configDir", configDir.path());
        // An address the user already has keeps its country and comment.
        Settings().setServerSitesWithDedicatedIp({HalvorixServerSite::dedicatedServerSite(
            "DEU", "home", QHostAddress("198.51.100.10"), QDir(configDir.path()), ServerSiteProtocolFilter("TCP"),
            ServerSitePortFilter(443))});
        const QByteArray reply =
            "{\"ips\":["
            "{\"Dedicated\":\"10.8.0.1\",\"server\":\"198.51.100.10\",\"port\":\"1194\",\"protocol\":\"UDP\",\"type\":"
            "\"dedicated\"},"
            "{\"Dedicated\":\"\",\"server\":\"198.51.100.20\",\"port\":\"1194\",\"protocol\":\"UDP\",\"type\":"
            "\"dedicated\"},"
            "{\"Dedicated\":\"10.8.0.2\",\"server\":\"vpn.example\",\"port\":\"1194\",\"protocol\":\"UDP\",\"type\":"
            "\"dedicated\"},"
            "{\"Dedicated\":\"10.8.0.3\",\"server\":\"198.51.100.30\",\"port\":\"99999\",\"protocol\":\"UDP\",\"type\":"
            "\"dedicated\"},"
            "{\"Dedicated\":\"10.8.0.4\",\"server\":\"198.51.100.40\",\"port\":443,\"protocol\":\"TCP\",\"type\":"
            "\"portforward\"},"
            "{\"Dedicated\":\"10.8.0.5\",\"server\":\"198.51.100.50\",\"ports\":\"1-9\",\"type\":\"dedicated\"}"
            "]}";
        m_server->setResponder(TestHttpsServer::replyWith(200, reply, "application/json"));
        LogCapture log;
        m_client->makeRequest();
        settle(1);
        QVERIFY(log.contains("Warning, dedicated server with null dedicated ip found"));
        QVERIFY(log.contains("Warning, dedicated server with null server ip found"));
        QVERIFY(log.contains("DedicatedIP already present in the list"));

        const QList<HalvorixServerSite> sites = Settings().serverSitesWithDedicatedIp();
        QCOMPARE(sites.size(), 3);
        QCOMPARE(sites.at(0).getDedicatedIp(), QHostAddress("198.51.100.10"));
        QCOMPARE(sites.at(0).getCountryCode(), QStringLiteral("DEU"));
        QCOMPARE(sites.at(0).getCity(), QStringLiteral("home"));
        QCOMPARE(sites.at(0).getDedicatedProtocol(), QStringLiteral("UDP"));
        QCOMPARE(sites.at(0).getPort(), 1194);
        QCOMPARE(sites.at(1).getDedicatedIp(), QHostAddress("198.51.100.40"));
        QCOMPARE(sites.at(1).getCountryCode(), CountryCode::PortForwardIpCountryCode.getIso3Code());
        QCOMPARE(sites.at(1).getCity(), QStringLiteral("10.8.0.4"));
        QCOMPARE(sites.at(1).getDedicatedProtocol(), QStringLiteral("TCP"));
        QCOMPARE(sites.at(1).getPort(), 443);
        QCOMPARE(sites.at(2).getDedicatedIp(), QHostAddress("198.51.100.50"));
        QCOMPARE(sites.at(2).getCountryCode(), CountryCode::DedicatedIpCountryCode.getIso3Code());
        QCOMPARE(sites.at(2).getPort(), 0);
        QCOMPARE(sites.at(2).getDedicatedProtocol(), QString());
        QSettings().remove("config/configDir");
    }

    void handlerRequestsOnceConnectedAndForgetsTheCredentials()
    {
        m_server->setResponder(TestHttpsServer::replyWith(200, "{}", "application/json"));
        {
            HalvorixAPIClientHandler handler(m_client);
            handler.onState(OpenVpnGenericState::fromStateLine("CONNECTING", "", "", ""));
            QCOMPARE(CredentialsStore::getUsername(), QStringLiteral("alice"));
            handler.onState(OpenVpnStateConnected("SUCCESS", "10.8.0.6", "198.51.100.1"));
            QVERIFY(CredentialsStore::getUsername().isNull());
            QVERIFY(CredentialsStore::getPassword().isNull());
            settle(1);
            QCOMPARE(m_server->requests.size(), 1);
            QCOMPARE(m_server->requests.first().body, HalvorixAPIClient::configurationRequestBody("alice", "s3cret"));
        }
        QCOMPARE(m_server->requests.size(), 1);
    }

    void handlerForgetsTheCredentialsWhenTheEngineEnds_data()
    {
        QTest::addColumn<int>("event");
        QTest::newRow("failed to start") << 0;
        QTest::newRow("terminated") << 1;
        QTest::newRow("handler destroyed") << 2;
    }

    void handlerForgetsTheCredentialsWhenTheEngineEnds()
    {
        QFETCH(int, event);
        {
            HalvorixAPIClientHandler handler(m_client);
            if (event == 0)
                handler.onOpenVpnFailedToStart();
            else if (event == 1)
                handler.onOpenVpnTerminated();
            else
                QCOMPARE(CredentialsStore::getUsername(), QStringLiteral("alice"));
            if (event != 2)
                QVERIFY(CredentialsStore::getUsername().isNull());
        }
        QVERIFY(CredentialsStore::getUsername().isNull());
        QVERIFY(CredentialsStore::getPassword().isNull());
        QTest::qWait(200);
        QCOMPARE(m_server->connectionCount, 0);
    }
};

QTEST_GUILESS_MAIN(TestHalvorixAPIClient)
#include "tst_halvorixapiclient.moc"
