#include "ConnectionLab.h"
#include "DeadNameServer.h"
#include "PacketCapture.h"

#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"

#include <QtTest>

#include <csignal>

namespace {
const QStringList IPV4_BLACK_HOLES {"blackhole 0.0.0.0/1", "blackhole 128.0.0.0/1"};

bool isWaiting(const QString &progress)
{
    return progress.endsWith(" 6") || progress.endsWith(" 7");
}
} // namespace

// The backend, built as the run mode builds it, connects through the set-uid
// helper and the real engines to the lab's servers; what it changes on the
// (client namespace's) system is read back from the system itself.
class TestConnectionLab : public QObject
{
    Q_OBJECT

    QScopedPointer<ConnectionLab> m_lab;

    static QStringList driverArguments(const QStringList &transport)
    {
        return QStringList {"--site",     ConnectionLab::SITE,    "--user", ConnectionLab::USER,
                            "--password", ConnectionLab::PASSWORD}
               + transport;
    }

    // Starts the driver and waits for CONNECTED; false (with everything
    // logged) when it does not get there.
    bool connect(const QStringList &transport)
    {
        if (m_lab->startDriver(driverArguments(transport)) && m_lab->waitFor("connected") >= 0)
            return true;
        qWarning().noquote() << m_lab->diagnostics();
        return false;
    }

    // Ends the run with "quit": the driver must stop the connection and end with 0.
    bool quit()
    {
        const int exitCode = m_lab->quit();
        if (exitCode == 0 && !m_lab->eventsStartingWith("terminated").isEmpty())
            return true;
        qWarning().noquote() << "exit code" << exitCode << m_lab->diagnostics();
        return false;
    }

    void usePushedNameServer()
    {
        Settings settings(m_lab->settingsFile());
        settings.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionPushed());
    }

    // Resolves `name` as any program would (the namespace's resolv.conf).
    static bool lookUp(const QString &name) { return ConnectionLab::run("getent", {"ahostsv4", name}) == 0; }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static bool ping(const QString &address)
    {
        QString output;
        if (ConnectionLab::run("ping", {"-c", "1", "-W", "5", address}, &output) == 0)
            return true;
        qWarning().noquote() << output;
        return false;
    }

private slots:
    void initTestCase()
    {
        const QString reason = ConnectionLab::unavailableReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        m_lab.reset(new ConnectionLab);
        QVERIFY(m_lab->setUp());
    }

    void cleanupTestCase() { m_lab.reset(); }

    void init() { m_lab->resetHome(); }
    // A test that failed half-way must not leave its connection to the next.
    void cleanup() { m_lab->quit(); }

    void connectsThroughEveryTransport_data()
    {
        QTest::addColumn<QStringList>("transport");
        QTest::addColumn<bool>("udpServer");
        // -1: no custom proxy chosen; 0: HTTP; 1: SOCKS5.
        QTest::addColumn<int>("customProxy");
        // The server sees the client itself only on a direct connection; a
        // relay on the server side connects from there.
        QTest::addColumn<bool>("relayed");
        QTest::newRow("udp") << QStringList {"--protocol", "udp"} << true << -1 << false;
        QTest::newRow("tcp") << QStringList {"--protocol", "tcp"} << false << -1 << false;
        QTest::newRow("stunnel") << QStringList {"--protocol", "tcp", "--stunnel"} << false << -1 << true;
        QTest::newRow("stealth proxy") << QStringList {"--via", "stealth"} << false << -1 << true;
        QTest::newRow("custom HTTP proxy") << QStringList {"--via", "custom"} << false << 0 << true;
        QTest::newRow("custom SOCKS5 proxy") << QStringList {"--via", "custom"} << false << 1 << true;
    }

    // CONNECTED through the transport, and traffic crosses the tunnel to the
    // server's end of it.
    void connectsThroughEveryTransport()
    {
        QFETCH(QStringList, transport);
        QFETCH(bool, udpServer);
        QFETCH(int, customProxy);
        QFETCH(bool, relayed);
        if (customProxy >= 0)
            m_lab->chooseCustomProxy(customProxy == 1);
        QVERIFY(connect(transport));
        const QString tunnelServer = Lab::tunnelAddress(m_lab->server(udpServer));
        const QString tunnelNetwork = tunnelServer.left(tunnelServer.lastIndexOf('.') + 1);
        const QStringList connected = m_lab->eventsStartingWith("state CONNECTED ");
        QCOMPARE(connected.size(), 1);
        QVERIFY2(connected.first().section(' ', 2, 2).startsWith(tunnelNetwork), qPrintable(connected.first()));
        QVERIFY(ping(tunnelServer));
        const QString peer = m_lab->lastPeerAddress(udpServer);
        QVERIFY(!peer.isEmpty());
        QCOMPARE(peer == Lab::clientAddress(), !relayed);
        QVERIFY(quit());
        // Neither the engine nor a transport program outlives the driver.
        for (const char *program : {"openvpn", "stunnel", "ss-local"})
            QTRY_COMPARE_WITH_TIMEOUT(Lab::clientProcesses(program), QList<qint64>(), 10000);
        QVERIFY2(m_lab->eventsStartingWith("fatal").isEmpty() && m_lab->eventsStartingWith("error").isEmpty()
                     && m_lab->eventsStartingWith("malformed").isEmpty(),
                 qPrintable(m_lab->events().join('\n')));
    }

    // Without a password the engine's request reaches the frontend; a wrong
    // answer is counted and asked again, the right one connects.
    // The OpenConnect tunnel to the lab's ocserv, through the same backend.
    void connectsThroughOpenConnect()
    {
        QVERIFY(connect({"--tunnel", "openconnect", "--protocol", "tcp"}));
        const QStringList connected = m_lab->eventsStartingWith("state CONNECTED ");
        QCOMPARE(connected.size(), 1);
        QVERIFY2(connected.first().section(' ', 2, 2).startsWith("198.18.0."), qPrintable(connected.first()));
        QVERIFY(ping("198.18.0.1"));
        QVERIFY(quit());
        QVERIFY2(m_lab->eventsStartingWith("fatal").isEmpty() && m_lab->eventsStartingWith("error").isEmpty(),
                 qPrintable(m_lab->events().join('\n')));
    }

    void asksForThePasswordUntilItIsRight()
    {
        QVERIFY(m_lab->startDriver({"--site", ConnectionLab::SITE, "--protocol", "udp"}));
        int request = m_lab->waitFor("password ");
        QVERIFY2(request >= 0, qPrintable(m_lab->diagnostics()));
        QCOMPARE(m_lab->events().at(request), QString("password 0"));
        m_lab->send("login " + ConnectionLab::USER + " wrong " + ConnectionLab::PASSWORD);
        request = m_lab->waitFor("password ", 60000, request + 1);
        QVERIFY2(request >= 0, qPrintable(m_lab->diagnostics()));
        QCOMPARE(m_lab->events().at(request), QString("password 1"));
        QVERIFY(m_lab->eventsStartingWith("connected").isEmpty());
        // The password holds a blank: everything after the user name counts.
        m_lab->send("login " + ConnectionLab::USER + " " + ConnectionLab::PASSWORD);
        QVERIFY2(m_lab->waitFor("connected", 60000, request + 1) >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(quit());
    }

    // A start that does not reach CONNECTED in time is given up, and the
    // driver stays for the next command.
    void givesUpAfterTheConnectTimeout()
    {
        {
            // A proxy nobody answers at: the engine keeps trying. (One that
            // refuses at once would repeat that failure, and the client gives
            // up after three before this bound.)
            Settings settings(m_lab->settingsFile());
            settings.setProxyProtocol(Settings::HTTP);
            settings.setProxyAddress("198.51.100.99");
            settings.setProxyPort("9");
        }
        QVERIFY(m_lab->startDriver(driverArguments({"--via", "custom", "--connect-timeout", "5"})));
        const int timeout = m_lab->waitFor("error Connect timeout", 30000);
        QVERIFY2(timeout >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY2(m_lab->waitFor("terminated", 30000, timeout) >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(m_lab->eventsStartingWith("connected").isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(Lab::clientProcesses("openvpn"), QList<qint64>(), 10000);
        QCOMPARE(m_lab->quit(), 0);
    }

    // A second run finds the catalogue installed and current: it goes on as
    // soon as the update check has found nothing newer, not after the bound.
    void secondRunUsesTheInstalledCatalogue()
    {
        QVERIFY(connect({"--protocol", "udp"}));
        QVERIFY(quit());
        QElapsedTimer second;
        second.start();
        QVERIFY(m_lab->startDriver(driverArguments({"--protocol", "udp"})));
        QVERIFY2(m_lab->waitFor("config-ready", 60000) >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY2(second.elapsed() < 20000, qPrintable(QString::number(second.elapsed())));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(quit());
    }

    // "quit" while the start-up waits (here for a default route) aborts the
    // start: no engine is started and the driver ends at once.
    void quitDuringTheStartupAbortsIt()
    {
        struct DefaultRoute
        {
            DefaultRoute() { ConnectionLab::run("ip", {"route", "del", "default"}); }
            ~DefaultRoute() { ConnectionLab::run("ip", {"route", "replace", "default", "via", Lab::serverAddress()}); }
        } withoutDefaultRoute;
        QVERIFY(m_lab->startDriver(driverArguments({"--protocol", "udp"})));
        QVERIFY2(m_lab->waitFor("progress CHECKING_DEFAULT_ROUTE 6") >= 0, qPrintable(m_lab->diagnostics()));
        QElapsedTimer quitting;
        quitting.start();
        QCOMPARE(m_lab->quit(), 0);
        QVERIFY2(quitting.elapsed() < 10000, qPrintable(QString::number(quitting.elapsed())));
        QVERIFY2(m_lab->events().contains("result 0 Aborted by the user."), qPrintable(m_lab->events().join('\n')));
        QVERIFY(m_lab->eventsStartingWith("progress OPENVPN_STARTING").isEmpty());
        QCOMPARE(Lab::clientProcesses("openvpn"), QList<qint64>());
        QCOMPARE(ConnectionLab::blackHoleRoutes(), QStringList());
    }

    // "skip" while the host names are being looked up: the start goes on
    // with the addresses the catalogue knows and connects.
    void skipLeavesTheHostNameLookupToTheCatalogue()
    {
        // A name server that never answers holds the look-up.
        const DeadNameServer deadNameServer;
        QVERIFY(m_lab->startDriver(driverArguments({"--protocol", "udp"})));
        const int waiting = m_lab->waitFor("progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 7");
        QVERIFY2(waiting >= 0, qPrintable(m_lab->diagnostics()));
        m_lab->send("skip");
        QVERIFY2(m_lab->waitFor("progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 3", 20000, waiting) >= 0,
                 qPrintable(m_lab->diagnostics()));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(m_lab->eventsStartingWith("progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 1").isEmpty());
        QVERIFY(quit());
    }

    void driverEndsWithItsExitCode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lastEvent");
        QTest::newRow("unknown site") << QStringList {"--site", "XXX-Nowhere"} << 4 << "error Site not found";
        QTest::newRow("bad transport") << QStringList {"--site", ConnectionLab::SITE, "--via", "carrier-pigeon"} << 2
                                       << QString();
        QTest::newRow("contradicting protocol")
            << QStringList {"--site", ConnectionLab::SITE, "--protocol", "udp", "--via", "stealth"} << 2 << QString();
        QTest::newRow("no site") << QStringList {"--protocol", "udp"} << 2 << QString();
    }

    // Nothing is started when the site or the arguments are wrong.
    void driverEndsWithItsExitCode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, lastEvent);
        QVERIFY(m_lab->startDriver(arguments));
        QCOMPARE(m_lab->waitForExit(), exitCode);
        const QStringList events = m_lab->events();
        QVERIFY2(events.filter(QRegularExpression("^(start|progress) ")).isEmpty(), qPrintable(events.join('\n')));
        if (!lastEvent.isEmpty()) {
            QVERIFY(!events.isEmpty());
            QVERIFY2(events.last().startsWith(lastEvent), qPrintable(events.join('\n')));
        }
    }

    // Every stage of the start-up reports its start and its end, in the
    // pipeline's order, before the result; the connection's own routes go at
    // its end. Waiting repeats (states 6 and 7) only come inside their stage.
    void reportsTheStartupStagesInOrder()
    {
        QVERIFY(connect({"--protocol", "udp"}));
        QVERIFY(quit());
        QStringList stages;
        QString running;
        for (const QString &event : m_lab->events()) {
            if (!event.startsWith("progress ") && !event.startsWith("result ") && event != "terminated")
                continue;
            if (isWaiting(event)) {
                QCOMPARE(event.section(' ', 1, 1), running);
                continue;
            }
            running = event.section(' ', 1, 1);
            stages << event;
        }
        const QStringList expected {"progress INIT_CONNECTION 0",
                                    "progress PRELIMINARY_CHECKS 4",
                                    "progress PRELIMINARY_CHECKS 1",
                                    "progress ENABLE_SEAMLESS_RECONNECT 4",
                                    "progress ENABLE_SEAMLESS_RECONNECT 1",
                                    "progress ENABLE_IPV6_PROTECTION 4",
                                    "progress ENABLE_IPV6_PROTECTION 1",
                                    "progress CHECKING_DEFAULT_ROUTE 4",
                                    "progress CHECKING_DEFAULT_ROUTE 1",
                                    "progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 5",
                                    "progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 1",
                                    "progress PREPARE_OPENVPN_ENVIRONMENT 4",
                                    "progress PREPARE_OPENVPN_ENVIRONMENT 1",
                                    "progress OPENVPN_STARTING 4",
                                    "progress OPENVPN_STARTING 1",
                                    "result 2 VPN started",
                                    "terminated",
                                    "progress DISABLE_SEAMLESS_RECONNECT 4",
                                    "progress DISABLE_SEAMLESS_RECONNECT 1",
                                    "progress DISABLE_IPV6_PROTECTION 4",
                                    "progress DISABLE_IPV6_PROTECTION 1"};
        QCOMPARE(stages, expected);
    }

    // With the after-connect choice "pushed", the server's name server is the
    // system's only one while connected (it replaces the service's own);
    // quitting restores exactly what was there before.
    void usesThePushedNameServerWhileConnected()
    {
        const QByteArray original = readFile("/etc/resolv.conf");
        QCOMPARE(ConnectionLab::nameServers(), QStringList {Lab::serverAddress()});
        usePushedNameServer();
        QVERIFY(connect({"--protocol", "tcp"}));
        QCOMPARE(ConnectionLab::nameServers(), QStringList {ConnectionLab::pushedNameServer(false)});
        QVERIFY(quit());
        QCOMPARE(readFile("/etc/resolv.conf"), original);
    }

    // While connected no look-up leaves outside the tunnel: a capture on the
    // outer interface, which first shows that it sees an unprotected look-up,
    // sees none of them, while the tunnel's resolver answers every one.
    void noLookUpLeavesOutsideTheTunnel()
    {
        const QString dns = QStringLiteral("udp port 53 or tcp port 53");
        const QString name = QStringLiteral("vpn.lab.orvalvpn.example");
        PacketCapture unprotected;
        QVERIFY(unprotected.start("eth0", dns));
        QVERIFY(lookUp(name));
        QVERIFY2(unprotected.stop() > 0, "the capture does not see look-ups on the outer interface");

        usePushedNameServer();
        QVERIFY(connect({"--protocol", "udp"}));
        PacketCapture whileConnected;
        QVERIFY(whileConnected.start("eth0", dns));
        for (int i = 0; i < 3; ++i)
            QVERIFY(lookUp(name));
        QVERIFY(!lookUp("absent.lab.orvalvpn.example"));
        const int leaked = whileConnected.stop();
        QVERIFY2(leaked == 0, qPrintable(whileConnected.packets()));
        QVERIFY(quit());
    }

    // A server that pushes compression, as some providers' do, is accepted
    // (the engine takes compressed packets and sends none): CONNECTED, and
    // the tunnel carries traffic.
    void connectsToAServerThatPushesCompression()
    {
        struct CompressingServer
        {
            ConnectionLab &lab;
            ~CompressingServer() { lab.restartServer(true); }
        } compressing {*m_lab};
        QVERIFY(m_lab->restartServer(
            true, {"--allow-compression", "yes", "--compress", "lz4-v2", "--push", "compress lz4-v2"}));
        QVERIFY(connect({"--protocol", "udp"}));
        QVERIFY(ping(Lab::tunnelAddress(m_lab->server(true))));
        QVERIFY(quit());
    }

    // SIGTERM while connected: the product's own handler ends the engine and
    // turns the process into its clean-up run, which puts name servers and
    // routes back as they were and leaves no engine behind.
    void terminationSignalRestoresTheSystem()
    {
        const QStringList originalNameServers = ConnectionLab::nameServers();
        QVERIFY(ConnectionLab::blackHoleRoutes().isEmpty());
        usePushedNameServer();
        QVERIFY(connect({"--protocol", "udp"}));
        QVERIFY(ConnectionLab::nameServers() != originalNameServers);
        QVERIFY(!ConnectionLab::blackHoleRoutes().isEmpty());
        QVERIFY(!Lab::clientProcesses("openvpn").isEmpty());

        m_lab->signalDriver(SIGTERM);
        QCOMPARE(m_lab->waitForExit(30000), 0);
        QCOMPARE(ConnectionLab::nameServers(), originalNameServers);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(Lab::clientProcesses("openvpn"), QList<qint64>(), 10000);
    }

    void blackHolesFollowTheKillSwitch_data()
    {
        QTest::addColumn<bool>("killSwitch");
        QTest::newRow("kill switch on") << true;
        QTest::newRow("kill switch off") << false;
    }

    // While connected the black holes keep traffic from leaving outside the
    // tunnel; once the connection ends they stay only with the kill switch on;
    // quitting removes them.
    void blackHolesFollowTheKillSwitch()
    {
        QFETCH(bool, killSwitch);
        QVERIFY(ConnectionLab::blackHoleRoutes().isEmpty());
        {
            Settings settings(m_lab->settingsFile());
            settings.setBlockInternetWhenNotConnected(killSwitch);
        }
        QVERIFY(connect({"--protocol", "udp"}));
        const QStringList whileConnected = ConnectionLab::blackHoleRoutes();
        for (const QString &route : IPV4_BLACK_HOLES)
            QVERIFY2(whileConnected.contains(route), qPrintable(whileConnected.join('\n')));

        m_lab->send("stop");
        QVERIFY2(m_lab->waitFor("terminated", 30000) >= 0, qPrintable(m_lab->events().join('\n')));
        if (killSwitch) {
            // Give a wrong removal the time it would take.
            QTest::qWait(3000);
            const QStringList afterStop = ConnectionLab::blackHoleRoutes();
            for (const QString &route : IPV4_BLACK_HOLES)
                QVERIFY2(afterStop.contains(route), qPrintable(afterStop.join('\n')));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(ConnectionLab::blackHoleRoutes(), QStringList(), 20000);
        }

        QCOMPARE(m_lab->quit(), 0);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConnectionLab)
#include "tst_connection_lab.moc"
