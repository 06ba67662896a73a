#include "../backend/FakeConnectionParameters.h"
#include "../openvpn/InstalledEngine.h"
#include "../openvpn/RecordingLifeCycleHandler.h"
#include "Lab.h"
#include "RecordingFrontendLog.h"
#include "RecordingOsAbstraction.h"
#include "RecordingStateTracker.h"

#include "backend/StaticIpPool.h"
#include "core/HandlerList.h"
#include "core/IpPoolList.h"
#include "openvpn/LocalPortProbe.h"
#include "openvpn/ManagementSocket.h"
#include "openvpn/STunnelHandler.h"
#include "openvpn/ShadowSocksLauncher.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const quint16 STUNNEL_PORT = 8443;
const quint16 SHADOWSOCKS_PORT = 8388;
const QString METHOD = QStringLiteral("chacha20-ietf-poly1305");
const QString PASSWORD = QStringLiteral("lab secret");
} // namespace

// A real OpenVPN TCP server in the lab's server namespace behind a server-side
// stunnel and behind ss-server; a real engine on the client side reaches
// CONNECTED through each transport.
class TestTransportsLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_pki;
    QProcess m_openvpnServer;
    QProcess m_stunnelServer;
    QProcess m_shadowsocksServer;
    OpenVpnServerOptions m_openvpnOptions;

    bool writeFile(const QString &name, const QByteArray &content, QFile::Permissions permissions)
    {
        QFile file(m_pki.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size()
               && file.setPermissions(permissions);
    }

    QStringList engineArguments(int port, const QStringList &extra) const
    {
        return Lab::openVpnClientArguments(m_pki.path(), m_openvpnOptions) + Lab::managementArguments(port)
               + QStringList {"--auth-user-pass", "--auth-nocache"} + extra;
    }

    // Runs the engine with the transport's handler until CONNECTED, then stops
    // it; or, when no connection is expected, until the engine gives up by itself.
    void connectThrough(const QSharedPointer<OpenVpnLifeCycleHandler> &transport, const QStringList &extra,
                        bool expectConnected = true)
    {
        const InstalledEngine engine([this, extra](int port) { return engineArguments(port, extra); });
        RecordingOsAbstraction os;
        const QSharedPointer<RecordingLifeCycleHandler> recorder(new RecordingLifeCycleHandler);
        HandlerList handlers;
        handlers.list << recorder << transport;
        ManagementSocket socket(os, handlers);
        QSignalSpy terminated(&socket, &ManagementSocket::onOpenVpnTerminated);
        recorder->passwordAction = [&] { socket.sendUsernamePassword("alice", "s3cret"); };
        socket.startVPN(QSharedPointer<ConnectionParameters>(new FakeConnectionParameters()));
        if (!expectConnected) {
            QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 60000);
            QVERIFY(!recorder->reached(OpenVpnState::CONNECTED));
            QVERIFY(!socket.isProcessRunning());
            QTRY_COMPARE(Lab::clientProcesses("openvpn"), QList<qint64>());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(recorder->reached(OpenVpnState::CONNECTED), 60000);
        // Traffic crosses the tunnel to the server's end of it.
        QProcess ping;
        ping.start("ping", {"-c", "1", "-W", "5", "10.98.0.1"});
        QVERIFY(ping.waitForFinished(10000));
        QVERIFY2(ping.exitCode() == 0, ping.readAll().constData());
        socket.sendSigTerm();
        QTRY_COMPARE_WITH_TIMEOUT(terminated.count(), 1, 20000);
        QTRY_COMPARE(Lab::clientProcesses("openvpn"), QList<qint64>());
    }

private slots:
    void initTestCase()
    {
        LAB_REQUIRE({"openvpn"});
        QVERIFY(m_pki.isValid());
        QVERIFY(Lab::makePki(m_pki.path()));
        m_openvpnOptions.network = "10.98.0.0";
        m_openvpnOptions.user = "alice";
        m_openvpnOptions.password = "s3cret";
        QVERIFY(Lab::startOpenVpnServer(m_openvpnServer, m_pki.path(), m_openvpnOptions));
        QVERIFY(writeFile("stunnel-server.conf",
                          QStringLiteral("foreground = yes\npid =\nsyslog = no\n[ovpn]\naccept = %1\n"
                                         "connect = 127.0.0.1:1194\ncert = %2\nkey = %3\n")
                              .arg(STUNNEL_PORT)
                              .arg(m_pki.filePath("server.crt"), m_pki.filePath("server.key"))
                              .toUtf8(),
                          QFile::ReadOwner | QFile::WriteOwner));
        Lab::startOnServer(m_stunnelServer, "stunnel", {m_pki.filePath("stunnel-server.conf")});
        QVERIFY(Lab::waitForServerPort(STUNNEL_PORT, 20000));
        Lab::startOnServer(m_shadowsocksServer, "ss-server",
                           {"-s", "0.0.0.0", "-p", QString::number(SHADOWSOCKS_PORT), "-k", PASSWORD, "-m", METHOD});
        QVERIFY(Lab::waitForServerPort(SHADOWSOCKS_PORT, 20000));
    }

    void cleanupTestCase()
    {
        Lab::stop(m_shadowsocksServer);
        Lab::stop(m_stunnelServer);
        Lab::stop(m_openvpnServer);
    }

    void stunnel_data()
    {
        QTest::addColumn<int>("peerPort");
        QTest::addColumn<bool>("portTaken");
        QTest::addColumn<bool>("connects");
        QTest::newRow("through the stunnel server") << int(STUNNEL_PORT) << false << true;
        QTest::newRow("dead peer") << int(STUNNEL_PORT + 1) << false << false;
        QTest::newRow("taken local port") << int(STUNNEL_PORT) << true << false;
    }

    void stunnel()
    {
        QFETCH(int, peerPort);
        QFETCH(bool, portTaken);
        QFETCH(bool, connects);
        RecordingOsAbstraction os;
        RecordingFrontendLog frontend;
        RecordingStateTracker tracker;
        IpPoolList pools;
        pools.append(QSharedPointer<IpPoolInterface>(new StaticIpPool({QHostAddress(Lab::serverAddress())})));
        QSharedPointer<STunnelHandler> stunnel(new STunnelHandler(os, {}, pools, peerPort, frontend, tracker));
        stunnel->setProgram(QStringLiteral(ORVAL_HELPERS_DIR "/stunnel"));
        QTcpServer squatter;
        if (portTaken)
            QVERIFY(squatter.listen(QHostAddress::LocalHost, quint16(stunnel->getLocalPort())));
        connectThrough(stunnel, {}, connects);
        QTRY_COMPARE(Lab::clientProcesses("stunnel"), QList<qint64>());
        if (portTaken) {
            QVERIFY(!frontend.calls.isEmpty());
            QVERIFY2(frontend.calls.first().startsWith("error STunnel Error.|Error line: "),
                     qPrintable(frontend.calls.join('\n')));
            return;
        }
        QVERIFY2(frontend.calls.isEmpty(), qPrintable(frontend.calls.join('\n')));
        if (connects) {
            QVERIFY(!tracker.calls.filter("CONNECTED").isEmpty());
            QVERIFY(tracker.calls.filter("127.0.0.1").isEmpty());
        }
        // Nothing of the transport is left running.
        QTRY_VERIFY(LocalPortProbe::isFree(stunnel->getLocalPort()));
        QCOMPARE(os.callsOf("releaseHost"), QStringList {"releaseHost " + Lab::serverAddress()});
    }

    void shadowsocks_data()
    {
        QTest::addColumn<int>("proxyPort");
        QTest::addColumn<bool>("hasProxy");
        QTest::addColumn<bool>("portTaken");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("through ss-server") << int(SHADOWSOCKS_PORT) << true << false << true << QStringList();
        QTest::newRow("dead peer") << int(SHADOWSOCKS_PORT + 1) << true << false << false << QStringList();
        QTest::newRow("empty stealth-proxy list") << 0 << false << false << false << QStringList();
        QTest::newRow("taken local port")
            << int(SHADOWSOCKS_PORT) << true << true << false
            << QStringList {"error Error while starting Stealth Proxy|ss-local could not be started"};
    }

    void shadowsocks()
    {
        QFETCH(int, proxyPort);
        QFETCH(bool, hasProxy);
        QFETCH(bool, portTaken);
        QFETCH(bool, connects);
        QFETCH(QStringList, messages);
        RecordingOsAbstraction os;
        RecordingFrontendLog frontend;
        QSharedPointer<ShadowSocksLauncher> launcher(new ShadowSocksLauncher(os, {}, frontend));
        launcher->setProgram(QStringLiteral(ORVAL_HELPERS_DIR "/ss-local"));
        launcher->setProxySource([proxyPort, hasProxy] {
            if (!hasProxy)
                return QList<StealthProxy>();
            return QList<StealthProxy> {
                StealthProxy("xx", "Lab", Lab::serverAddress(), QString::number(proxyPort), PASSWORD, METHOD)};
        });
        QTcpServer squatter;
        if (portTaken)
            QVERIFY(squatter.listen(QHostAddress::LocalHost, quint16(launcher->getLocalPort())));
        connectThrough(launcher, {"--socks-proxy", "127.0.0.1", QString::number(launcher->getLocalPort())}, connects);
        QCOMPARE(frontend.calls, messages);
        squatter.close();
        // Nothing of the transport is left running.
        QTRY_VERIFY(LocalPortProbe::isFree(launcher->getLocalPort()));
        QCOMPARE(Lab::clientProcesses("ss-local"), QList<qint64>());
        if (hasProxy)
            QCOMPARE(os.callsOf("releaseHost"), QStringList {"releaseHost " + Lab::serverAddress()});
        else
            QVERIFY(os.callsOf("protectHost").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTransportsLab)
#include "tst_transports_lab.moc"
