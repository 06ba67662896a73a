#include "RecordingFrontendLog.h"
#include "RecordingOsAbstraction.h"
#include "RecordingStateTracker.h"
#include "TransportFixtures.h"

#include "backend/StaticIpPool.h"
#include "core/IpPoolList.h"
#include "core/OpenVpnGenericState.h"
#include "openvpn/Remote.h"
#include "openvpn/STunnelHandler.h"

#include <QStandardPaths>

using namespace TransportFixtures;

// STunnelHandler against the real stunnel: a server-side stunnel with a
// throw-away certificate in front of an echo server, all on loopback.
class TestSTunnelHandler : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingOsAbstraction m_os;
    RecordingFrontendLog m_frontend;
    RecordingStateTracker m_tracker;
    IpPoolList m_pools;

    QSharedPointer<STunnelHandler> makeHandler(int stunnelPort, const QString &program = helper("stunnel"))
    {
        QSharedPointer<STunnelHandler> handler(
            new STunnelHandler(m_os, {}, m_pools, stunnelPort, m_frontend, m_tracker));
        handler->setProgram(program);
        return handler;
    }

    static QString configPath()
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/configs/STunnel.conf";
    }

    // Starts a TLS server on loopback that hands its clients to target.
    bool startServerSide(Peer &server, quint16 port, quint16 target)
    {
        const QString cert = m_dir.filePath("cert.pem");
        const QString key = m_dir.filePath("key.pem");
        if (!QFile::exists(cert)) {
            const int made =
                QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                              "/CN=localhost", "-keyout", key, "-out", cert});
            if (made != 0)
                return false;
        }
        QFile config(m_dir.filePath("server.conf"));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(QStringLiteral("foreground = yes\npid =\nsyslog = no\n[server]\naccept = 127.0.0.1:%1\n"
                                    "connect = 127.0.0.1:%2\ncert = %3\nkey = %4\n")
                         .arg(port)
                         .arg(target)
                         .arg(cert, key)
                         .toUtf8());
        config.close();
        return server.start(helper("stunnel"), {config.fileName()}, "Configuration successful");
    }

    static quint16 freeLoopbackPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

private slots:
    void init()
    {
        m_os.calls.clear();
        m_frontend.calls.clear();
        m_tracker.calls.clear();
        m_pools.clear();
        m_pools.append(QSharedPointer<IpPoolInterface>(new StaticIpPool({QHostAddress("127.0.0.1")})));
        QFile::remove(configPath());
    }

    void writesTheExactConfiguration_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("connectLine");
        QTest::newRow("IPv4") << "192.0.2.10"
                              << "connect = 192.0.2.10:443\n";
        QTest::newRow("IPv6 without brackets") << "2001:db8::1"
                                               << "connect = 2001:db8::1:443\n";
    }

    void writesTheExactConfiguration()
    {
        QFETCH(QString, server);
        QFETCH(QString, connectLine);
        QCOMPARE(STunnelHandler::configText(15123, QHostAddress(server), 443),
                 "syslog = no\npid =\nforeground = yes\n[openvpn]\nclient = yes\naccept = 127.0.0.1:15123\n"
                     + connectLine);
        QCOMPARE(STunnelHandler::arguments("/x/STunnel.conf"), QStringList {"/x/STunnel.conf"});
    }

    // The file stunnel is handed, byte for byte: the pool's address (not the
    // host the engine asked for), the server's stunnel port and the local port.
    void handsStunnelTheExactConfigurationFile_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("IPv4") << "192.0.2.10";
        QTest::newRow("IPv6") << "2001:db8::1";
    }

    void handsStunnelTheExactConfigurationFile()
    {
        QFETCH(QString, server);
        m_pools.clear();
        m_pools.append(QSharedPointer<IpPoolInterface>(new StaticIpPool({QHostAddress(server)})));
        const QString seen = m_dir.filePath("seen.conf");
        QFile::remove(seen);
        const auto handler = makeHandler(8443, writeScript(m_dir, "stunnel-copy",
                                                           "[ $# -eq 1 ] && cp \"$1\" " + seen.toUtf8()
                                                               + "; echo 'Configuration successful'; exec sleep 30"));
        Remote remote("server.example", 1194, "tcp-client");
        QSignalSpy released(&remote, &Remote::release);
        handler->onRemote(remote);
        QTRY_COMPARE_WITH_TIMEOUT(released.count(), 1, 10000);
        QFile written(seen);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()),
                 QStringLiteral("syslog = no\npid =\nforeground = yes\n[openvpn]\nclient = yes\n"
                                "accept = 127.0.0.1:%1\nconnect = %2:8443\n")
                     .arg(handler->getLocalPort())
                     .arg(server));
        QVERIFY2(!QFile::exists(configPath()), "the configuration outlived the ready line");
        handler->onOpenVpnTerminated();
    }

    void localPortIsFreeAndInRange()
    {
        const auto handler = makeHandler(443);
        QVERIFY(handler->getLocalPort() >= 10000 && handler->getLocalPort() <= 20000);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, quint16(handler->getLocalPort())));
    }

    void releasesTheRemoteWhenReadyAndCarriesTraffic()
    {
        EchoServer echo;
        Peer server;
        const quint16 stunnelPort = freeLoopbackPort();
        QVERIFY2(startServerSide(server, stunnelPort, echo.serverPort()), server.output.constData());

        const auto handler = makeHandler(stunnelPort);
        Remote remote("server.example", 1194, "tcp-client");
        QSignalSpy released(&remote, &Remote::release);
        QSignalSpy aborted(&remote, &Remote::abort);
        handler->onRemote(remote);
        QCOMPARE(remote.getHost(), QString("127.0.0.1"));
        QCOMPARE(remote.getPort(), handler->getLocalPort());
        QVERIFY(released.isEmpty());

        QTRY_COMPARE_WITH_TIMEOUT(released.count(), 1, 15000);
        QVERIFY(aborted.isEmpty());
        QVERIFY(m_frontend.calls.isEmpty());
        QCOMPARE(m_os.callsOf("protectHost"), QStringList {"protectHost 127.0.0.1"});
        QVERIFY2(!QFile::exists(configPath()), "the configuration outlived the ready line");

        QTcpSocket socket;
        QCOMPARE(roundTrip(socket, "127.0.0.1", quint16(handler->getLocalPort())), QByteArray("through the tunnel\n"));

        // A reconnect is answered at once with the loopback end, no new lock.
        Remote again("server.example", 1194, "tcp-client");
        QSignalSpy againReleased(&again, &Remote::release);
        handler->onRemote(again);
        QCOMPARE(again.getHost(), QString("127.0.0.1"));
        QCOMPARE(again.getPort(), handler->getLocalPort());
        QVERIFY(again.isModified());
        QCOMPARE(m_os.callsOf("protectHost").size(), 2);

        handler->onOpenVpnTerminated();
        QCOMPARE(m_os.callsOf("releaseHost"), QStringList {"releaseHost 127.0.0.1"});
        QTcpSocket after;
        after.connectToHost("127.0.0.1", quint16(handler->getLocalPort()));
        QVERIFY(!after.waitForConnected(2000));
    }

    void abortsWhenTheLocalPortIsTaken()
    {
        const auto handler = makeHandler(freeLoopbackPort());
        QTcpServer squatter;
        QVERIFY(squatter.listen(QHostAddress::LocalHost, quint16(handler->getLocalPort())));
        Remote remote("server.example", 1194, "tcp-client");
        QSignalSpy released(&remote, &Remote::release);
        QSignalSpy aborted(&remote, &Remote::abort);
        handler->onRemote(remote);
        QTRY_COMPARE_WITH_TIMEOUT(aborted.count(), 1, 15000);
        QVERIFY(released.isEmpty());
        QVERIFY(!m_frontend.calls.isEmpty());
        QVERIFY2(m_frontend.calls.first().startsWith("error STunnel Error.|Error line: "),
                 qPrintable(m_frontend.calls.first()));
    }

    // Each stand-in program ends the start in its own way.
    void endsTheStartAsTheProgramSays_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("released");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("ready line split across reads")
            << QByteArray("printf 'LOG5[ui]: Configuration succ' >&2; sleep 0.5; printf 'essful\\n' >&2; exec sleep 30")
            << true << QStringList();
        QTest::newRow("ready line on standard output")
            << QByteArray("echo 'Configuration successful'; exec sleep 30") << true << QStringList();
        QTest::newRow("error line wins over ready text")
            << QByteArray("echo '[!] Configuration successful' >&2; exec sleep 30") << false
            << QStringList {"error STunnel Error.|Error line: [!] Configuration successful"};
        QTest::newRow("ends without a word") << QByteArray("exit 1") << false << QStringList();
    }

    void endsTheStartAsTheProgramSays()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, released);
        QFETCH(QStringList, messages);
        const auto handler = makeHandler(443, writeScript(m_dir, "stunnel-standin", script));
        Remote remote("server.example", 1194, "tcp-client");
        QSignalSpy releasedSpy(&remote, &Remote::release);
        QSignalSpy abortedSpy(&remote, &Remote::abort);
        handler->onRemote(remote);
        QTRY_COMPARE_WITH_TIMEOUT(releasedSpy.count() + abortedSpy.count(), 1, 10000);
        QCOMPARE(releasedSpy.count(), released ? 1 : 0);
        QCOMPARE(m_frontend.calls, messages);
    }

    void missingProgramIsReported()
    {
        const auto handler = makeHandler(443, m_dir.filePath("no-such-stunnel"));
        Remote remote("server.example", 1194, "tcp-client");
        QSignalSpy aborted(&remote, &Remote::abort);
        handler->onRemote(remote);
        QCOMPARE(aborted.count(), 1);
        QCOMPARE(m_frontend.calls, QStringList {"error Error while starting STunnel|STunnel could not be started"});
        QCOMPARE(remote.getHost(), QString("127.0.0.1"));
    }

    void noServerAddressIsReported()
    {
        m_pools.clear();
        const auto handler = makeHandler(443);
        Remote remote("server.example", 1194, "tcp-client");
        QSignalSpy aborted(&remote, &Remote::abort);
        handler->onRemote(remote);
        QCOMPARE(aborted.count(), 1);
        QCOMPARE(m_frontend.calls, QStringList {"error STunnel can't resolve hostname. DNS request failed.|"});
        QVERIFY(m_os.callsOf("protectHost").isEmpty());
    }

    void statesCarryTheServerAddress()
    {
        m_pools.clear();
        m_pools.append(QSharedPointer<IpPoolInterface>(new StaticIpPool({QHostAddress("192.0.2.10")})));
        const auto handler =
            makeHandler(443, writeScript(m_dir, "ready", "echo 'Configuration successful'; exec sleep 30"));
        const OpenVpnGenericState state =
            OpenVpnGenericState::fromStateLine("CONNECTED", "SUCCESS", "10.8.0.2", "127.0.0.1");
        handler->onState(state);
        Remote remote("server.example", 1194, "tcp-client");
        handler->onRemote(remote);
        handler->onState(state);
        QCOMPARE(m_tracker.calls, (QStringList {"updateState CONNECTED|SUCCESS|10.8.0.2|",
                                                "updateState CONNECTED|SUCCESS|10.8.0.2|192.0.2.10"}));
    }
};

QTEST_GUILESS_MAIN(TestSTunnelHandler)
#include "tst_stunnelhandler.moc"
