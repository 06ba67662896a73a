#include "ConnectionLab.h"

#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"

#include <QtTest>

#include <csignal>

namespace {
const QStringList IPV4_BLACK_HOLES{"blackhole 0.0.0.0/1", "blackhole 128.0.0.0/1"};

bool isWaiting(const QString& progress)
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

    QScopedPointer<ConnectionLab> lab;

    static QStringList driverArguments(const QStringList& transport)
    {
        return QStringList{"--site", ConnectionLab::SITE, "--user", ConnectionLab::USER, "--password",
                           ConnectionLab::PASSWORD}
             + transport;
    }

    // Starts the driver and waits for CONNECTED; false (with everything
    // logged) when it does not get there.
    bool connect(const QStringList& transport)
    {
        if (lab->startDriver(driverArguments(transport)) && lab->waitFor("connected") >= 0)
            return true;
        qWarning().noquote() << lab->diagnostics();
        return false;
    }

    // Ends the run with "quit": the driver must stop the connection and end with 0.
    bool quit()
    {
        const int exitCode = lab->quit();
        if (exitCode == 0 && !lab->eventsStartingWith("terminated").isEmpty())
            return true;
        qWarning().noquote() << "exit code" << exitCode << lab->diagnostics();
        return false;
    }

    static bool ping(const QString& address)
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
        lab.reset(new ConnectionLab);
        QVERIFY(lab->setUp());
    }

    void cleanupTestCase() { lab.reset(); }

    void init() { lab->resetHome(); }
    // A test that failed half-way must not leave its connection to the next.
    void cleanup() { lab->quit(); }

    void connectsThroughEveryTransport_data()
    {
        QTest::addColumn<QStringList>("transport");
        QTest::addColumn<bool>("udpServer");
        // -1: no custom proxy chosen; 0: HTTP; 1: SOCKS5.
        QTest::addColumn<int>("customProxy");
        // The server sees the client itself only on a direct connection; a
        // relay on the server side connects from there.
        QTest::addColumn<bool>("relayed");
        QTest::newRow("udp") << QStringList{"--protocol", "udp"} << true << -1 << false;
        QTest::newRow("tcp") << QStringList{"--protocol", "tcp"} << false << -1 << false;
        QTest::newRow("stunnel") << QStringList{"--protocol", "tcp", "--stunnel"} << false << -1 << true;
        QTest::newRow("stealth proxy") << QStringList{"--via", "stealth"} << false << -1 << true;
        QTest::newRow("custom HTTP proxy") << QStringList{"--via", "custom"} << false << 0 << true;
        QTest::newRow("custom SOCKS5 proxy") << QStringList{"--via", "custom"} << false << 1 << true;
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
            lab->chooseCustomProxy(customProxy == 1);
        QVERIFY(connect(transport));
        const QString tunnelServer = Lab::tunnelAddress(lab->server(udpServer));
        const QString tunnelNetwork = tunnelServer.left(tunnelServer.lastIndexOf('.') + 1);
        const QStringList connected = lab->eventsStartingWith("state CONNECTED ");
        QCOMPARE(connected.size(), 1);
        QVERIFY2(connected.first().section(' ', 2, 2).startsWith(tunnelNetwork), qPrintable(connected.first()));
        QVERIFY(ping(tunnelServer));
        const QString peer = lab->lastPeerAddress(udpServer);
        QVERIFY(!peer.isEmpty());
        QCOMPARE(peer == Lab::clientAddress(), !relayed);
        QVERIFY(quit());
        QVERIFY2(lab->eventsStartingWith("fatal").isEmpty() && lab->eventsStartingWith("error").isEmpty(),
                 qPrintable(lab->events().join('\n')));
    }

    // Without a password the engine's request reaches the frontend; a wrong
    // answer is counted and asked again, the right one connects.
    // The OpenConnect tunnel to the lab's ocserv, through the same backend.
    void connectsThroughOpenConnect()
    {
        QVERIFY(connect({"--tunnel", "openconnect", "--protocol", "tcp"}));
        const QStringList connected = lab->eventsStartingWith("state CONNECTED ");
        QCOMPARE(connected.size(), 1);
        QVERIFY2(connected.first().section(' ', 2, 2).startsWith("198.18.0."), qPrintable(connected.first()));
        QVERIFY(ping("198.18.0.1"));
        QVERIFY(quit());
        QVERIFY2(lab->eventsStartingWith("fatal").isEmpty() && lab->eventsStartingWith("error").isEmpty(),
                 qPrintable(lab->events().join('\n')));
    }

    void asksForThePasswordUntilItIsRight()
    {
        QVERIFY(lab->startDriver({"--site", ConnectionLab::SITE, "--protocol", "udp"}));
        int request = lab->waitFor("password ");
        QVERIFY2(request >= 0, qPrintable(lab->diagnostics()));
        QCOMPARE(lab->events().at(request), QString("password 0"));
        lab->send("login " + ConnectionLab::USER + " wrong " + ConnectionLab::PASSWORD);
        request = lab->waitFor("password ", 60000, request + 1);
        QVERIFY2(request >= 0, qPrintable(lab->diagnostics()));
        QCOMPARE(lab->events().at(request), QString("password 1"));
        QVERIFY(lab->eventsStartingWith("connected").isEmpty());
        // The password holds a blank: everything after the user name counts.
        lab->send("login " + ConnectionLab::USER + " " + ConnectionLab::PASSWORD);
        QVERIFY2(lab->waitFor("connected", 60000, request + 1) >= 0, qPrintable(lab->diagnostics()));
        QVERIFY(quit());
    }

    void driverEndsWithItsExitCode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lastEvent");
        QTest::newRow("unknown site") << QStringList{"--site", "XXX-Nowhere"} << 4 << "error Site not found";
        QTest::newRow("bad transport") << QStringList{"--site", ConnectionLab::SITE, "--via", "carrier-pigeon"} << 2
                                       << QString();
        QTest::newRow("contradicting protocol")
            << QStringList{"--site", ConnectionLab::SITE, "--protocol", "udp", "--via", "stealth"} << 2 << QString();
        QTest::newRow("no site") << QStringList{"--protocol", "udp"} << 2 << QString();
    }

    // Nothing is started when the site or the arguments are wrong.
    void driverEndsWithItsExitCode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, lastEvent);
        QVERIFY(lab->startDriver(arguments));
        QCOMPARE(lab->waitForExit(), exitCode);
        const QStringList events = lab->events();
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
        for (const QString& event : lab->events()) {
            if (!event.startsWith("progress ") && !event.startsWith("result ") && event != "terminated")
                continue;
            if (isWaiting(event)) {
                QCOMPARE(event.section(' ', 1, 1), running);
                continue;
            }
            running = event.section(' ', 1, 1);
            stages << event;
        }
        const QStringList expected{"progress INIT_CONNECTION 0",
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
    // system's while connected (the namespace's own, unmanaged entry stays
    // first, as a service's DHCP name servers do); quitting restores exactly
    // what was there before.
    void usesThePushedNameServerWhileConnected()
    {
        const QStringList original = ConnectionLab::nameServers();
        QCOMPARE(original, QStringList{Lab::serverAddress()});
        {
            Settings settings(lab->settingsFile());
            settings.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionPushed());
        }
        QVERIFY(connect({"--protocol", "tcp"}));
        QCOMPARE(ConnectionLab::nameServers(), original + QStringList{ConnectionLab::pushedNameServer(false)});
        QVERIFY(quit());
        QCOMPARE(ConnectionLab::nameServers(), original);
    }

    // SIGTERM while connected: the product's own handler ends the engine and
    // turns the process into its clean-up run, which puts name servers and
    // routes back as they were and leaves no engine behind.
    void terminationSignalRestoresTheSystem()
    {
        const QStringList originalNameServers = ConnectionLab::nameServers();
        QVERIFY(ConnectionLab::blackHoleRoutes().isEmpty());
        {
            Settings settings(lab->settingsFile());
            settings.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionPushed());
        }
        QVERIFY(connect({"--protocol", "udp"}));
        QVERIFY(ConnectionLab::nameServers() != originalNameServers);
        QVERIFY(!ConnectionLab::blackHoleRoutes().isEmpty());
        QVERIFY(!Lab::clientProcesses("openvpn").isEmpty());

        lab->signalDriver(SIGTERM);
        QCOMPARE(lab->waitForExit(30000), 0);
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
            Settings settings(lab->settingsFile());
            settings.setBlockInternetWhenNotConnected(killSwitch);
        }
        QVERIFY(connect({"--protocol", "udp"}));
        const QStringList whileConnected = ConnectionLab::blackHoleRoutes();
        for (const QString& route : IPV4_BLACK_HOLES)
            QVERIFY2(whileConnected.contains(route), qPrintable(whileConnected.join('\n')));

        lab->send("stop");
        QVERIFY2(lab->waitFor("terminated", 30000) >= 0, qPrintable(lab->events().join('\n')));
        if (killSwitch) {
            // Give a wrong removal the time it would take.
            QTest::qWait(3000);
            const QStringList afterStop = ConnectionLab::blackHoleRoutes();
            for (const QString& route : IPV4_BLACK_HOLES)
                QVERIFY2(afterStop.contains(route), qPrintable(afterStop.join('\n')));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(ConnectionLab::blackHoleRoutes(), QStringList(), 20000);
        }

        QCOMPARE(lab->quit(), 0);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConnectionLab)
#include "tst_connection_lab.moc"
