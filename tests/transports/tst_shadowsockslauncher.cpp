#include "RecordingFrontendLog.h"
#include "RecordingOsAbstraction.h"
#include "TransportFixtures.h"

#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/LocalPortProbe.h"
#include "openvpn/ShadowSocksLauncher.h"
#include "prefs/Settings.h"

#include <QDir>
#include <QJsonDocument>
#include <QNetworkProxy>

using namespace TransportFixtures;

namespace {
const QString METHOD = QStringLiteral("chacha20-ietf-poly1305");
const QString PASSWORD = QStringLiteral("stealthy secret");
} // namespace

// ShadowSocksLauncher against the real ss-local and ss-server on loopback,
// and against stand-in programs for the ways a start can end.
class TestShadowSocksLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QTemporaryDir m_privateTemp;
    RecordingOsAbstraction m_os;
    RecordingFrontendLog m_frontend;

    QSharedPointer<ShadowSocksLauncher> makeLauncher(const QList<StealthProxy> &proxies,
                                                     const QString &program = helper("ss-local"))
    {
        QSharedPointer<ShadowSocksLauncher> launcher(new ShadowSocksLauncher(m_os, {}, m_frontend));
        launcher->setProgram(program);
        launcher->setProxySource([proxies] { return proxies; });
        return launcher;
    }

    static StealthProxy proxyAt(const QString &host, quint16 port, const QString &city = "Berlin")
    {
        return StealthProxy("de", city, host, QString::number(port), PASSWORD, METHOD);
    }

    static quint16 freeLoopbackPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    // Plays the management socket: holds its own lock while the handlers
    // run, lets it go afterwards, and reports how the hold ended.
    struct HoldOutcome
    {
        Hold hold;
        QSignalSpy released;
        QSignalSpy aborted;
        explicit HoldOutcome(int number)
            : hold(number, nullptr)
            , released(&hold, &Hold::release)
            , aborted(&hold, &Hold::abort)
        {
        }
        void run(ShadowSocksLauncher &launcher)
        {
            HoldLock *own = hold();
            launcher.onHold(hold);
            own->release();
        }
        int ended() const { return released.count() + aborted.count(); }
    };

private slots:
    void initTestCase()
    {
        // Temporary files of this run only, whatever else runs beside it.
        QVERIFY(m_privateTemp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_privateTemp.path()));
    }

    void init()
    {
        m_os.calls.clear();
        m_frontend.calls.clear();
        Settings().setStealthProxyId(QString());
    }

    void writesTheExactConfiguration()
    {
        const QByteArray json =
            ShadowSocksLauncher::configDocument(QHostAddress("192.0.2.7"), 8388, 15000, "pw", METHOD)
                .toJson(QJsonDocument::Indented);
        QCOMPARE(json, QByteArray("{\n"
                                  "    \"fast_open\": false,\n"
                                  "    \"local_address\": \"127.0.0.1\",\n"
                                  "    \"local_port\": 15000,\n"
                                  "    \"method\": \"chacha20-ietf-poly1305\",\n"
                                  "    \"password\": \"pw\",\n"
                                  "    \"server\": \"192.0.2.7\",\n"
                                  "    \"server_port\": 8388,\n"
                                  "    \"timeout\": 300,\n"
                                  "    \"workers\": 1\n"
                                  "}\n"));
        QCOMPARE(ShadowSocksLauncher::arguments("/tmp/x"), (QStringList {"-c", "/tmp/x"}));
    }

    void choosesThePreferredProxy_data()
    {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("stored identifier") << "de-Munich"
                                           << "de-Munich";
        QTest::newRow("unknown identifier gives the first") << "fr-Paris"
                                                            << "de-Berlin";
        QTest::newRow("none stored gives the first") << ""
                                                     << "de-Berlin";
    }

    void choosesThePreferredProxy()
    {
        QFETCH(QString, preferred);
        QFETCH(QString, chosen);
        const QList<StealthProxy> proxies {proxyAt("192.0.2.1", 1, "Berlin"), proxyAt("192.0.2.2", 2, "Munich")};
        const QList<StealthProxy> result = ShadowSocksLauncher::chooseStealthProxy(proxies, preferred);
        QCOMPARE(result.size(), 1);
        QCOMPARE(result.first().getId(), chosen);
        QVERIFY(ShadowSocksLauncher::chooseStealthProxy({}, preferred).isEmpty());
    }

    void pointsTheEngineAtTheLocalPort()
    {
        const auto launcher = makeLauncher({});
        RecordingVpnCommand command;
        command.setHttpProxy("10.0.0.1", "3128");
        launcher->onOpenVpnPrepareArguments(command);
        QVERIFY(launcher->getLocalPort() >= 10000 && launcher->getLocalPort() <= 20000);
        QCOMPARE(command.calls.last(), QString("socks5 127.0.0.1 %1").arg(launcher->getLocalPort()));
    }

    void releasesTheHoldWhenListeningAndCarriesTraffic()
    {
        EchoServer echo;
        Peer server;
        const quint16 serverPort = freeLoopbackPort();
        QVERIFY2(
            server.start("ss-server",
                         {"-s", "127.0.0.1", "-p", QString::number(serverPort), "-k", PASSWORD, "-m", METHOD, "-v"},
                         "listening"),
            server.output.constData());

        Settings().setStealthProxyId("de-Hamburg");
        const auto launcher =
            makeLauncher({proxyAt("192.0.2.99", 9, "Berlin"), proxyAt("127.0.0.1", serverPort, "Hamburg")});
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QVERIFY(outcome.released.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(outcome.ended(), 1, 15000);
        QCOMPARE(outcome.released.count(), 1);
        QVERIFY(m_frontend.calls.isEmpty());
        QCOMPARE(m_os.callsOf("protectHost"), QStringList {"protectHost 127.0.0.1"});
        // The configuration holds the proxy's password: it must not outlive the start.
        QVERIFY(QDir::temp().entryList({QCoreApplication::applicationName() + ".*"}, QDir::Files).isEmpty());

        QTcpSocket socket;
        socket.setProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, "127.0.0.1", quint16(launcher->getLocalPort())));
        QCOMPARE(roundTrip(socket, "127.0.0.1", echo.serverPort()), QByteArray("through the tunnel\n"));

        // A later hold only protects the route again.
        HoldOutcome later(1);
        later.run(*launcher);
        QCOMPARE(later.released.count(), 1);
        QCOMPARE(m_os.callsOf("protectHost").size(), 2);

        launcher->onOpenVpnTerminated();
        QCOMPARE(m_os.callsOf("releaseHost"), QStringList {"releaseHost 127.0.0.1"});
        QVERIFY(LocalPortProbe::isFree(launcher->getLocalPort()));
    }

    void abortsWhenTheLocalPortIsTaken()
    {
        const auto launcher = makeLauncher({proxyAt("127.0.0.1", freeLoopbackPort())});
        QTcpServer squatter;
        QVERIFY(squatter.listen(QHostAddress::LocalHost, quint16(launcher->getLocalPort())));
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.ended(), 1, 15000);
        QCOMPARE(outcome.aborted.count(), 1);
        QCOMPARE(m_frontend.calls,
                 QStringList {"error Error while starting Stealth Proxy|ss-local could not be started"});
    }

    // Each stand-in program ends the start in its own way; only a program
    // that announces its port and keeps running lets the engine go on.
    void endsTheStartAsTheProgramSays_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("released");
        QTest::addColumn<QString>("informative");
        QTest::newRow("listening line split across reads")
            << QByteArray("printf ' INFO: listening at 127.0' ; sleep 0.5; printf '.0.1:1234\\n'; exec sleep 30")
            << true << "";
        QTest::newRow("listening, then bind fails")
            << QByteArray("echo ' INFO: listening at 127.0.0.1:1234'; echo ' ERROR: bind: Address already in use' >&2; "
                          "exec sleep 30")
            << false << "ss-local could not be started";
        QTest::newRow("listening, then ends") << QByteArray("echo ' INFO: listening at 127.0.0.1:1234'; exit 255")
                                              << false << "ss-local could not be started";
        QTest::newRow("ends without a word") << QByteArray("exit 1") << false << "ss-local could not be started";
        QTest::newRow("missing library") << QByteArray(
            "echo 'ss-local: error while loading shared libraries: libsodium.so.23' >&2; exec sleep 30")
                                         << false << "Shared libraries are missing";
        QTest::newRow("no dot where the pattern has one")
            << QByteArray("echo ' INFO: listening at 127x0.0.1:1234'; exec sleep 30") << false
            << "ss-local could not be started";
    }

    void endsTheStartAsTheProgramSays()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, released);
        QFETCH(QString, informative);
        const auto launcher = makeLauncher({proxyAt("192.0.2.5", 8388)}, writeScript(m_dir, "ss-standin", script));
        launcher->setStartTimeout(2000);
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.ended(), 1, 10000);
        QCOMPARE(outcome.released.count(), released ? 1 : 0);
        QCOMPARE(m_frontend.calls,
                 released ? QStringList() : QStringList {"error Error while starting Stealth Proxy|" + informative});
    }

    void resolvesAHostNameProxyBeforeStarting()
    {
        const QString seen = m_dir.filePath("seen.json");
        const auto launcher = makeLauncher(
            {proxyAt("localhost", 8388)}, writeScript(m_dir, "ss-copy",
                                                      "[ \"$1\" = -c ] && cp \"$2\" " + seen.toUtf8()
                                                          + "; echo ' INFO: listening at 127.0.0.1:1'; exec sleep 30"));
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QVERIFY(outcome.ended() == 0);
        QTRY_COMPARE_WITH_TIMEOUT(outcome.released.count(), 1, 10000);
        QFile written(seen);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), ShadowSocksLauncher::configDocument(QHostAddress("127.0.0.1"), 8388,
                                                                        launcher->getLocalPort(), PASSWORD, METHOD)
                                        .toJson(QJsonDocument::Indented));
        QCOMPARE(m_os.callsOf("protectHost"), QStringList {"protectHost 127.0.0.1"});
    }

    void missingProgramIsReported()
    {
        const auto launcher = makeLauncher({proxyAt("192.0.2.5", 8388)}, m_dir.filePath("no-such-ss-local"));
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QCOMPARE(outcome.aborted.count(), 1);
        QCOMPARE(m_frontend.calls,
                 QStringList {"error Error while starting Stealth Proxy|ss-local could not be started"});
    }

    void emptyProxyListStopsTheEngine()
    {
        const QString marker = m_dir.filePath("started");
        const auto launcher = makeLauncher({}, writeScript(m_dir, "ss-marker", "touch " + marker.toUtf8()));
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QCOMPARE(outcome.aborted.count(), 1);
        QVERIFY(m_frontend.calls.isEmpty());
        QTest::qWait(200);
        QVERIFY(!QFile::exists(marker));
    }

    void engineEndDuringTheStartAbortsTheHold()
    {
        const auto launcher =
            makeLauncher({proxyAt("192.0.2.5", 8388)}, writeScript(m_dir, "ss-silent", "exec sleep 30"));
        HoldOutcome outcome(0);
        outcome.run(*launcher);
        QVERIFY(outcome.ended() == 0);
        launcher->onOpenVpnTerminated();
        QCOMPARE(outcome.aborted.count(), 1);
        QCOMPARE(m_os.callsOf("releaseHost"), QStringList {"releaseHost 192.0.2.5"});
    }
};

QTEST_GUILESS_MAIN(TestShadowSocksLauncher)
#include "tst_shadowsockslauncher.moc"
