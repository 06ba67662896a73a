#include "ConnectionLab.h"

#include "core/NetworkInterface.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <functional>
#include <signal.h>
#include <sys/types.h>

namespace {
// Outside the lab: nothing answers it, and no packet to it may leave while the
// kill switch protects the user.
const QString OUTSIDE_ADDRESS = QStringLiteral("192.0.2.1");
// On the lab's link, but nobody holds it.
const QString SILENT_ADDRESS = QStringLiteral("198.51.100.99");
const QString RESOLV_CONF = QStringLiteral("/etc/resolv.conf");

// The engines, their helper and transports still running in this (the
// client's) network namespace; the lab's servers run in another one.
QStringList enginesLeft()
{
    QStringList found;
    for (const char *name : {"openvpn", "openvpn_v2_4", "Stelvane", "openconnect", "stunnel", "stunnel4", "ss-local"}) {
        for (qint64 pid : Lab::clientProcesses(name))
            found << QString("%1 %2").arg(pid).arg(name);
    }
    return found;
}

// Whether the client's link to the lab is up (the kill switch takes it down).
bool linkUp()
{
    QString link;
    ConnectionLab::run("ip", {"-o", "link", "show", "dev", "eth0"}, &link);
    return link.contains(QRegularExpression("[<,]UP[,>]"));
}

QByteArray resolvConf()
{
    QFile file(RESOLV_CONF);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything of the client's network a restore must give back, as the
// system shows it: routes of both families, links with their addresses, and
// the name servers' file.
QString networkState()
{
    QString addresses;
    QString links;
    ConnectionLab::run("ip", {"addr"}, &addresses);
    ConnectionLab::run("ip", {"link"}, &links);
    return ConnectionLab::routes() + addresses + links + QString::fromUtf8(resolvConf());
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(100);
    }
    return true;
}

bool ping(const QString &address)
{
    return ConnectionLab::run("ping", {"-n", "-c", "3", "-i", "0.2", "-W", "1", address}) == 0;
}

// Counts the packets for one address that arrive on the server's end of the
// client's link: whatever leaves the client namespace's veth ends up there.
// (A capture on the client's end would stop when the kill switch takes that
// link down.)
class LinkCapture
{
public:
    ~LinkCapture() { Lab::stop(m_tcpdump); }

    bool start(const QString &address)
    {
        m_tcpdump.setProcessChannelMode(QProcess::SeparateChannels);
        Lab::startOnServer(m_tcpdump, "tcpdump", {"-i", "eth0", "-n", "-l", "-p", "dst", "host", address});
        return waitUntil(
                   [&] {
                       m_errors += m_tcpdump.readAllStandardError();
                       return m_errors.contains("listening on") || m_tcpdump.state() == QProcess::NotRunning;
                   },
                   10000)
               && m_tcpdump.state() == QProcess::Running;
    }
    // Packets seen since the last call.
    int take()
    {
        QTest::qWait(500);
        const QList<QByteArray> lines = m_tcpdump.readAllStandardOutput().split('\n');
        return int(std::count_if(lines.cbegin(), lines.cend(), [](const QByteArray &line) { return !line.isEmpty(); }));
    }
    QByteArray diagnostics() const { return m_errors; }

private:
    QProcess m_tcpdump;
    QByteArray m_errors;
};
} // namespace

// The connection's failures, run through the driver with the real helper,
// engines and servers of the lab: each must end in the outcome the user is
// told about and leave nothing running and nothing changed on the system.
class TestConnectionFailuresLab : public QObject
{
    Q_OBJECT

    QScopedPointer<ConnectionLab> m_lab;
    QByteArray m_resolvConfBefore;
    QStringList m_blackHolesBefore;
    QString m_routesBefore;

    void writeSettings(const std::function<void(Settings &)> &change)
    {
        Settings settings(m_lab->settingsFile());
        change(settings);
        settings.sync();
    }
    bool started(const QStringList &arguments)
    {
        return m_lab->startDriver(QStringList {"--site", ConnectionLab::SITE} + arguments);
    }
    // Whether the driver reports an event starting with `prefix` in time;
    // what it did instead goes to the log when not.
    bool seen(const QString &prefix, int timeoutMs = 60000)
    {
        if (m_lab->waitFor(prefix, timeoutMs) >= 0)
            return true;
        qWarning().noquote() << "No \"" + prefix + "\" from the driver.\n" + m_lab->diagnostics();
        return false;
    }
    // The driver quits by itself, and nothing of the connection is left.
    void expectCleanQuit()
    {
        QCOMPARE(m_lab->quit(), 0);
        expectNothingLeft();
    }
    // No engine, and the system's name servers and routes as they were.
    void expectNothingLeft()
    {
        const auto dump = qScopeGuard([this] {
            if (QTest::currentTestFailed())
                qWarning().noquote() << m_lab->diagnostics();
        });
        QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
        QCOMPARE(ConnectionLab::blackHoleRoutes(), m_blackHolesBefore);
        QCOMPARE(ConnectionLab::routes(), m_routesBefore);
        QCOMPARE(resolvConf(), m_resolvConfBefore);
    }
    // Runs the product's own clean-up run ("OrvalVPN --cleanup") with the
    // driver's settings. The helper accepts only the bundle's main program
    // as its caller, so the product takes the driver's place meanwhile.
    void runProductCleanUp()
    {
        const QString mainProgram = m_lab->bundleContents() + "/MacOS/OrvalVPN";
        const QString driver = m_lab->bundleContents() + "/MacOS/orval-drive";
        QVERIFY(QFile::rename(mainProgram, driver));
        const auto putDriverBack = qScopeGuard([&] {
            QFile::remove(mainProgram);
            QFile::rename(driver, mainProgram);
        });
        QVERIFY(QFile::copy(QStringLiteral(ORVAL_PRODUCT_PROGRAM), mainProgram));
        QVERIFY(QFile::setPermissions(mainProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                       | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                                       | QFile::ExeOther));
        QProcess cleanUp;
        cleanUp.setProcessChannelMode(QProcess::MergedChannels);
        m_lab->startAsClient(cleanUp, mainProgram, {"--cleanup"});
        QVERIFY(cleanUp.waitForFinished(60000));
        QVERIFY2(cleanUp.exitStatus() == QProcess::NormalExit && cleanUp.exitCode() == 0,
                 cleanUp.readAll().constData());
    }
    static bool signalNameServer(int signal)
    {
        QFile pidFile(Lab::directory() + "/dnsmasq.pid");
        if (!pidFile.open(QIODevice::ReadOnly))
            return false;
        const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
        return pid > 0 && ::kill(pid, signal) == 0;
    }
    // What a test may have taken away from the lab: its link, its default
    // route, its name server.
    static void restoreLab()
    {
        ConnectionLab::run("ip", {"link", "set", "eth0", "up"});
        ConnectionLab::run("ip", {"route", "replace", "default", "via", Lab::serverAddress()});
        signalNameServer(SIGCONT);
    }

private slots:
    void initTestCase()
    {
        const QString reason = ConnectionLab::unavailableReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        m_lab.reset(new ConnectionLab);
        QVERIFY(m_lab->setUp());
        m_resolvConfBefore = resolvConf();
        m_blackHolesBefore = ConnectionLab::blackHoleRoutes();
        m_routesBefore = ConnectionLab::routes();
    }

    void init() { m_lab->resetHome(); }

    void cleanup()
    {
        // A failed test must not leave the next one without its link.
        m_lab->quit(5000);
        restoreLab();
    }

    void wrongPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("request");
        QTest::newRow("rejected by the server") << "wrong"
                                                << "password 1";
        // Nothing to send: the user is asked before the engine is.
        QTest::newRow("empty") << ""
                               << "password 0";
    }
    // The engine asks again; the user is asked for the password, and stopping
    // there ends the engine.
    void wrongPassword()
    {
        QFETCH(QString, password);
        QFETCH(QString, request);
        QVERIFY(started({"--protocol", "udp", "--user", ConnectionLab::USER, "--password", password}));
        QVERIFY(seen(request));
        QVERIFY(!enginesLeft().isEmpty());
        m_lab->send("stop");
        QVERIFY(seen("terminated"));
        QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
        QCOMPARE(m_lab->eventsStartingWith("connected"), QStringList());
        expectCleanQuit();
    }

    // The helper cannot start the engine (its program is missing from the
    // bundle): the engine never reaches the management port, the user is
    // told so, and the run ends.
    void engineCannotStart()
    {
        const QString engine = m_lab->bundleContents() + "/Helpers/openvpn_v2_4";
        QVERIFY(QFile::rename(engine, engine + ".away"));
        const auto putBack = qScopeGuard([&] { QFile::rename(engine + ".away", engine); });
        QVERIFY(started({"--protocol", "udp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        QVERIFY(seen("terminated"));
        QCOMPARE(m_lab->eventsStartingWith("connected"), QStringList());
        const QStringList errors = m_lab->eventsStartingWith("error ");
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith("error Could not connect to the VPN management socket.\\nPlease check your "
                                           "firewall settings!"),
                 qPrintable(errors.first()));
        expectCleanQuit();
    }

    void unreachableServer_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::newRow("udp") << "udp";
        QTest::newRow("tcp") << "tcp";
    }
    // The site's address answers nothing: the engine never connects, and the
    // connect bound stops it.
    void unreachableServer()
    {
        QFETCH(QString, protocol);
        writeSettings([](Settings &settings) {
            settings.setPinnedIP(ConnectionLab::SITE, QHostAddress(SILENT_ADDRESS));
            settings.setHasPinnedIP(ConnectionLab::SITE, true);
        });
        QVERIFY(started({"--protocol", protocol, "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD,
                         "--connect-timeout", "15"}));
        QVERIFY(seen("error Connect timeout", 60000));
        QVERIFY(seen("terminated", 30000));
        QCOMPARE(m_lab->eventsStartingWith("connected"), QStringList());
        QCOMPARE(m_lab->eventsStartingWith("terminated").size(), 1);
        QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
        expectCleanQuit();
    }

    void abortDuringWait_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("waiting");
        // No default route: the start-up waits for one.
        QTest::newRow("default route") << "CHECKING_DEFAULT_ROUTE"
                                       << "6";
        // The lab's name server is frozen: the look-up of the site's host name hangs.
        QTest::newRow("host-name look-up") << "LOOKUP_HOSTNAME_BEFORE_CONNECTING"
                                           << "7";
    }
    // An abort ends the wait: the start-up reports "aborted", no engine ever
    // starts, and the attempt's protective routes go with it.
    void abortDuringWait()
    {
        QFETCH(QString, stage);
        QFETCH(QString, waiting);
        if (stage == "CHECKING_DEFAULT_ROUTE") {
            QCOMPARE(ConnectionLab::run("ip", {"route", "del", "default"}), 0);
        } else {
            writeSettings([](Settings &settings) { settings.setLookupHostnameBeforeConnecting(true); });
            QVERIFY(signalNameServer(SIGSTOP));
        }
        QVERIFY(started({"--protocol", "udp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        QVERIFY(seen("progress " + stage + " " + waiting));
        QCOMPARE(enginesLeft(), QStringList());
        m_lab->send("abort");
        QVERIFY(seen("result 0 Aborted by the user."));
        QVERIFY(!m_lab->eventsStartingWith("progress " + stage + " 2").isEmpty());
        QCOMPARE(m_lab->eventsStartingWith("state"), QStringList());
        QCOMPARE(enginesLeft(), QStringList());
        QCOMPARE(ConnectionLab::blackHoleRoutes(), m_blackHolesBefore);
        restoreLab();
        expectCleanQuit();
    }

    void restoredAfterAbruptEnd_data()
    {
        QTest::addColumn<QStringList>("tunnel");
        QTest::addColumn<int>("signal");
        const QStringList openVpn {"--protocol", "udp"};
        const QStringList openConnect {"--tunnel", "openconnect", "--protocol", "tcp"};
        // Nothing runs on a kill: the product's clean-up run, started
        // afterwards, puts the system back.
        QTest::newRow("OpenVPN, SIGKILL, then the clean-up run") << openVpn << int(SIGKILL);
        QTest::newRow("OpenConnect, SIGKILL, then the clean-up run") << openConnect << int(SIGKILL);
        // The process kills its engine and turns into the clean-up run itself
        // (as on SIGTERM).
        QTest::newRow("OpenVPN, SIGINT") << openVpn << int(SIGINT);
        QTest::newRow("OpenConnect, SIGINT") << openConnect << int(SIGINT);
    }
    // The client ends abruptly while connected: name servers, black-hole
    // routes and the engine must not outlive it, and the next connection
    // works and ends leaving the system exactly as it was.
    void restoredAfterAbruptEnd()
    {
        QFETCH(QStringList, tunnel);
        QFETCH(int, signal);
        const QStringList arguments =
            tunnel + QStringList {"--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD};
        QVERIFY(started(arguments));
        QVERIFY(seen("connected"));
        QVERIFY2(resolvConf() != m_resolvConfBefore, "the connection should have changed the name servers");
        QVERIFY2(ConnectionLab::blackHoleRoutes() != m_blackHolesBefore,
                 "the connection should have added black-hole routes");
        QVERIFY(!enginesLeft().isEmpty());

        m_lab->signalDriver(signal);
        if (signal == SIGKILL) {
            QCOMPARE(m_lab->waitForExit(10000), -1);
            // The engine follows its management connection.
            QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
            runProductCleanUp();
        } else {
            const auto dump = qScopeGuard([this] {
                if (QTest::currentTestFailed())
                    qWarning().noquote() << m_lab->diagnostics();
            });
            QCOMPARE(m_lab->waitForExit(60000), 0);
        }
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
        QCOMPARE(resolvConf(), m_resolvConfBefore);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), m_blackHolesBefore);
        QCOMPARE(Settings(m_lab->settingsFile()).getDnsStackNames(), QStringList());
        // Only the host route that kept the server reachable outside the
        // tunnel is left (nothing records it); the next connection takes it
        // over and removes it when it ends, as it does everything else.
        QCOMPARE(ConnectionLab::routes().remove(
                     QRegularExpression("^[0-9.]+ via \\S+ dev eth0 \\n", QRegularExpression::MultilineOption)),
                 m_routesBefore);
        QVERIFY(started(arguments));
        QVERIFY(seen("connected"));
        QCOMPARE(m_lab->eventsStartingWith("error"), QStringList());
        expectCleanQuit();
    }

    void cleanUpAndKillSwitchLink_data()
    {
        QTest::addColumn<bool>("removeOnClose");
        QTest::newRow("link back on close") << true;
        QTest::newRow("link kept down") << false;
    }
    // The kill switch took the link down when the server died, then the
    // client was killed: the clean-up run brings the link back only when the
    // user asked for that on close, and otherwise keeps the record of it.
    void cleanUpAndKillSwitchLink()
    {
        QFETCH(bool, removeOnClose);
        QVERIFY(m_lab->startServer(false));
        writeSettings([&](Settings &settings) {
            settings.setInternetKillSwitch(true);
            settings.setInternetKillSwitchInterface(NetworkInterface("eth0"));
            settings.setSeamlessReconnect(false);
            settings.setRemoveInternetKillSwitchOnClose(removeOnClose);
        });
        QVERIFY(started({"--protocol", "tcp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        QVERIFY(seen("connected"));
        m_lab->stopServer(false);
        QVERIFY(seen("terminated"));
        QVERIFY(!linkUp());
        QCOMPARE(Settings(m_lab->settingsFile()).internetKillSwitchDisabledInterfaces(), QStringList {"eth0"});

        m_lab->signalDriver(SIGKILL);
        QCOMPARE(m_lab->waitForExit(10000), -1);
        runProductCleanUp();
        QCOMPARE(linkUp(), removeOnClose);
        QCOMPARE(Settings(m_lab->settingsFile()).internetKillSwitchDisabledInterfaces(),
                 removeOnClose ? QStringList() : QStringList {"eth0"});
        QCOMPARE(enginesLeft(), QStringList());
        QCOMPARE(resolvConf(), m_resolvConfBefore);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), m_blackHolesBefore);
    }

    void killSwitchRestoreBringsTheNetworkBack_data()
    {
        QTest::addColumn<bool>("clientKilled");
        QTest::newRow("quit") << false;
        QTest::newRow("client killed, then the clean-up run") << true;
    }
    // The engine dies (kill -9) with the kill switch on: the link goes down
    // and, with it, its routes and IPv6 addresses. Bringing it back on close
    // (the driver quitting, or the clean-up run after the client was killed
    // too) gives the client's network back exactly as it was: every route of
    // both families, the links and their addresses, the name servers.
    void killSwitchRestoreBringsTheNetworkBack()
    {
        QFETCH(bool, clientKilled);
        // What a real network gives a machine beyond the lab's own: IPv6 and
        // a second route through the gateway.
        const auto removeExtras = qScopeGuard([] {
            ConnectionLab::run("ip", {"route", "del", "203.0.113.0/24"});
            ConnectionLab::run("ip", {"-6", "route", "del", "default"});
            ConnectionLab::run("ip", {"-6", "addr", "del", "2001:db8:5::2/64", "dev", "eth0"});
        });
        for (const QStringList &command :
             QList<QStringList> {{"route", "add", "203.0.113.0/24", "via", Lab::serverAddress(), "metric", "5"},
                                 {"-6", "addr", "add", "2001:db8:5::2/64", "dev", "eth0", "nodad"},
                                 {"-6", "route", "add", "default", "via", "2001:db8:5::1", "dev", "eth0"}})
            QCOMPARE(ConnectionLab::run("ip", command), 0);
        QVERIFY(waitUntil([] { return !networkState().contains("tentative"); }, 15000));
        const QString before = networkState();
        writeSettings([](Settings &settings) {
            settings.setInternetKillSwitch(true);
            settings.setInternetKillSwitchInterface(NetworkInterface("eth0"));
            settings.setRemoveInternetKillSwitchOnClose(true);
        });
        QVERIFY(started({"--protocol", "udp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        QVERIFY(seen("connected"));
        const QList<qint64> engines = Lab::clientProcesses("openvpn");
        QVERIFY(!engines.isEmpty());
        for (const qint64 pid : engines)
            ::kill(pid_t(pid), SIGKILL);
        QVERIFY(seen("terminated", 30000));
        QVERIFY(!linkUp());
        QVERIFY2(!ConnectionLab::routes().contains("default"), qPrintable(ConnectionLab::routes()));

        if (clientKilled) {
            m_lab->signalDriver(SIGKILL);
            QCOMPARE(m_lab->waitForExit(10000), -1);
            runProductCleanUp();
        } else {
            QCOMPARE(m_lab->quit(), 0);
        }
        if (QTest::currentTestFailed())
            return;
        // The link-local address comes back after its duplicate detection.
        waitUntil([&before] { return networkState() == before; }, 15000);
        QCOMPARE(networkState().split('\n'), before.split('\n'));
        QCOMPARE(Settings(m_lab->settingsFile()).internetKillSwitchDisabledInterfaces(), QStringList());
        QCOMPARE(enginesLeft(), QStringList());
    }

    void startAfterKillSwitchCut_data()
    {
        QTest::addColumn<int>("onConnect");
        QTest::addColumn<bool>("abortAtRouteWait");
        QTest::newRow("ask") << int(Settings::ASK) << false;
        QTest::newRow("enable") << int(Settings::ENABLE) << false;
        // An abort after the link came back takes it down again.
        QTest::newRow("enable, then abort") << int(Settings::ENABLE) << true;
    }
    // The kill switch left the link down (and recorded it). The next start
    // either stops at its checks, touching nothing, so that the user can be
    // asked, or brings the link back, waits for the default route and
    // connects, or, aborted while waiting, leaves the link down as it was.
    void startAfterKillSwitchCut()
    {
        QFETCH(int, onConnect);
        QFETCH(bool, abortAtRouteWait);
        // A first run installs the catalogue: the next one has no link to
        // fetch it.
        QVERIFY(m_lab->startDriver({"--site", "Nowhere-Nowhere"}));
        QCOMPARE(m_lab->waitForExit(), 4);
        QCOMPARE(ConnectionLab::run("ip", {"link", "set", "eth0", "down"}), 0);
        writeSettings([&](Settings &settings) {
            settings.setInternetKillSwitch(true);
            settings.setInternetKillSwitchInterface(NetworkInterface("eth0"));
            settings.setInternetKillSwitchDisabledInterfaces({"eth0"});
            settings.setIksEnableOnConnect(Settings::IksSettings(onConnect));
        });
        QVERIFY(started({"--protocol", "udp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        if (onConnect == Settings::ASK) {
            QVERIFY(seen("result 1 Preliminary checks failed!"));
            QVERIFY(!linkUp());
            QCOMPARE(Settings(m_lab->settingsFile()).internetKillSwitchDisabledInterfaces(), QStringList {"eth0"});
            QCOMPARE(m_lab->eventsStartingWith("progress ACTIVATE_INTERFACES"), QStringList());
        } else {
            QVERIFY(seen("progress ACTIVATE_INTERFACES 1"));
            QVERIFY(linkUp());
            // The record is emptied (written out by the driver's settings in their own time).
            QVERIFY(waitUntil(
                [this] { return Settings(m_lab->settingsFile()).internetKillSwitchDisabledInterfaces().isEmpty(); },
                5000));
            // The link came back without its default route: the start-up
            // waits until the system's network configuration restores it.
            QVERIFY(seen("progress CHECKING_DEFAULT_ROUTE 6"));
            if (abortAtRouteWait) {
                m_lab->send("abort");
                QVERIFY(seen("result 0 Aborted by the user."));
                QVERIFY(!m_lab->eventsStartingWith("progress DISABLE_INTERFACES 1").isEmpty());
                QVERIFY(!linkUp());
                QCOMPARE(Settings(m_lab->settingsFile()).internetKillSwitchDisabledInterfaces(), QStringList {"eth0"});
            } else {
                QCOMPARE(ConnectionLab::run("ip", {"route", "replace", "default", "via", Lab::serverAddress()}), 0);
                QVERIFY(seen("connected"));
            }
        }
        QCOMPARE(enginesLeft().isEmpty(), onConnect == Settings::ASK || abortAtRouteWait);
        QCOMPARE(m_lab->quit(), 0);
        // Connected or not, the kill switch holds the link down at the end.
        QVERIFY(!linkUp());
        restoreLab();
        expectNothingLeft();
    }

    void blockHoldsAfterTheConnectionEnds_data()
    {
        QTest::addColumn<bool>("killEngine");
        QTest::newRow("stopped by the user") << false;
        QTest::newRow("engine killed") << true;
    }
    // "Block internet when not connected" on from the client's start: the
    // global black holes are there before any connection and stay after it
    // ends, however it ends, while the client runs on. No packet for the
    // outside leaves the client's link then.
    void blockHoldsAfterTheConnectionEnds()
    {
        QFETCH(bool, killEngine);
        if (QStandardPaths::findExecutable("tcpdump", {"/usr/bin", "/usr/sbin"}).isEmpty())
            QSKIP("tcpdump is not installed (scripts/deps installs it)");
        LinkCapture capture;
        QVERIFY2(capture.start(OUTSIDE_ADDRESS), capture.diagnostics().constData());
        ping(OUTSIDE_ADDRESS);
        QVERIFY2(capture.take() > 0, "the capture sees no packet of an unprotected ping");

        writeSettings([](Settings &settings) { settings.setBlockInternetWhenNotConnected(true); });
        QVERIFY(started({"--protocol", "udp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        QVERIFY(seen("connected"));
        const QStringList blackHoles = ConnectionLab::blackHoleRoutes();
        QVERIFY2(blackHoles.contains("blackhole 0.0.0.0/1") && blackHoles.contains("blackhole 128.0.0.0/1"),
                 qPrintable(blackHoles.join('\n')));

        if (killEngine) {
            const QList<qint64> engines = Lab::clientProcesses("openvpn");
            QVERIFY(!engines.isEmpty());
            for (const qint64 pid : engines)
                ::kill(pid_t(pid), SIGKILL);
        } else {
            m_lab->send("stop");
        }
        QVERIFY(seen("terminated", 30000));
        QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
        // Give a wrong removal the time it would take.
        QTest::qWait(3000);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), blackHoles);
        QVERIFY(!ping(OUTSIDE_ADDRESS));
        QCOMPARE(capture.take(), 0);

        expectCleanQuit();
    }

    void serverDiesWithKillSwitch_data()
    {
        QTest::addColumn<bool>("seamlessReconnect");
        // The engine is ended and the kill switch takes the link down.
        QTest::newRow("engine stopped on reconnect") << false;
        // The engine keeps trying behind the black-hole routes.
        QTest::newRow("engine reconnecting") << true;
    }
    // The server goes away while connected, with the kill switch on: no
    // packet for the outside leaves the client's link from then on.
    void serverDiesWithKillSwitch()
    {
        QFETCH(bool, seamlessReconnect);
        if (QStandardPaths::findExecutable("tcpdump", {"/usr/bin", "/usr/sbin"}).isEmpty())
            QSKIP("tcpdump is not installed (scripts/deps installs it)");
        QVERIFY(m_lab->startServer(false));
        LinkCapture capture;
        QVERIFY2(capture.start(OUTSIDE_ADDRESS), capture.diagnostics().constData());
        // Unprotected, the ping leaves the link: the capture sees a leak.
        ping(OUTSIDE_ADDRESS);
        QVERIFY2(capture.take() > 0, "the capture sees no packet of an unprotected ping");

        writeSettings([&](Settings &settings) {
            settings.setInternetKillSwitch(true);
            settings.setInternetKillSwitchInterface(NetworkInterface("eth0"));
            settings.setSeamlessReconnect(seamlessReconnect);
        });
        QVERIFY(started({"--protocol", "tcp", "--user", ConnectionLab::USER, "--password", ConnectionLab::PASSWORD}));
        QVERIFY(seen("connected"));
        // Connected, the tunnel carries the ping.
        ping(OUTSIDE_ADDRESS);
        QCOMPARE(capture.take(), 0);

        m_lab->stopServer(false);
        QVERIFY(seen("state RECONNECTING"));
        if (!seamlessReconnect)
            QVERIFY(seen("terminated"));
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!ping(OUTSIDE_ADDRESS));
            QCOMPARE(capture.take(), 0);
            QTest::qWait(2000);
        }
        // Nor once the user gives up and the connection is gone.
        QCOMPARE(m_lab->quit(), 0);
        QVERIFY2(waitUntil([] { return enginesLeft().isEmpty(); }, 15000), qPrintable(enginesLeft().join(", ")));
        QVERIFY(!ping(OUTSIDE_ADDRESS));
        QCOMPARE(capture.take(), 0);
    }
};

QTEST_GUILESS_MAIN(TestConnectionFailuresLab)
#include "tst_connection_failures_lab.moc"
