#include "ConnectionLab.h"
#include "DeadNameServer.h"
#include "Lab.h"
#include "Screenshot.h"

#include "core/LogHandlerOption.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QtTest>

#include <csignal>

namespace {

QByteArray resolvConf()
{
    QFile file("/etc/resolv.conf");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a connection changes on the client, taken before it starts.
struct SystemSnapshot
{
    QString routes = ConnectionLab::routes();
    QByteArray resolvConf = ::resolvConf();
};

} // namespace

// The real GUI run (orval-guidrive: OrvalVPNRunnable with a command reader)
// in the lab's client namespace, on an X server of its own; the test plays
// the user through the widgets' object names and reads the system back.
class TestGuiLab : public QObject
{
    Q_OBJECT

    QScopedPointer<ConnectionLab> m_lab;

    bool fail(const QString &what)
    {
        qWarning().noquote() << what << m_lab->diagnostics();
        return false;
    }

    // Starts the GUI and waits until its window shows the catalogue of the
    // lab's update host.
    bool startGui()
    {
        if (!m_lab->startDriver({}))
            return fail("no start");
        if (m_lab->waitFor("window-shown") < 0 || m_lab->waitFor("config-downloaded") < 0)
            return fail("no window or no catalogue");
        return true;
    }

    bool connectFromTheConnectPage(const QString &password, const QString &protocol = "TCP",
                                   quint16 port = ConnectionLab::TCP_PORT)
    {
        // A protocol where each offer has a port of its own: "Auto" would pick
        // any offer, and the lab's server speaks only the catalogue's default one.
        m_lab->send("choose connectWidget/protocolSelect " + protocol);
        m_lab->send(QString("choose connectWidget/portSelect %1 ").arg(port));
        m_lab->send("type connectWidget/username " + ConnectionLab::USER);
        m_lab->send("type connectWidget/password " + password);
        m_lab->send("click connectWidget/connect");
        return m_lab->waitFor("progress ") >= 0 || fail("Connect started nothing");
    }

    // The text a widget shows now.
    QString read(const QString &name)
    {
        const int from = m_lab->events().size();
        m_lab->send("read " + name);
        const int at = m_lab->waitFor("text " + name + " | ", 10000, from);
        return at < 0 ? QString() : m_lab->events().at(at).section(" | ", 1);
    }

    // The GUI takes the picture into a folder of the client's user (who need
    // not be root), from where it joins the others.
    void shoot(const QString &name)
    {
        QVERIFY(QDir().mkpath(Screenshot::directory()));
        const QString base = "/tst_gui_lab-" + name + ".png";
        const QString taken = m_lab->clientFolder() + base;
        m_lab->send("screen " + taken);
        QVERIFY2(m_lab->waitFor("shot " + taken, 10000) >= 0, qPrintable(m_lab->diagnostics()));
        QFile::remove(Screenshot::directory() + base);
        QVERIFY(QFile::copy(taken, Screenshot::directory() + base));
        QFile::remove(taken);
    }

    // The open message box as "TITLE | ICON | TEXT | INFORMATIVE TEXT | BUTTONS", once one
    // shows within the bound; empty when none does.
    QString waitForBox(int timeoutMs)
    {
        QElapsedTimer waiting;
        waiting.start();
        while (waiting.elapsed() < timeoutMs) {
            const int from = m_lab->events().size();
            m_lab->send("box");
            const int at = m_lab->waitFor("box ", 1000, from);
            if (at >= 0)
                return m_lab->events().at(at).mid(4);
        }
        return QString();
    }

    // Runs the lab's OpenVPN server (TCP or UDP) with these extra options
    // until the returned guard puts its usual one back.
    auto serverWith(bool udp, const QStringList &arguments)
    {
        [&] { QVERIFY(m_lab->restartServer(udp, arguments)); }();
        return qScopeGuard([this, udp] { m_lab->restartServer(udp); });
    }

    static bool ping(const QString &address)
    {
        return ConnectionLab::run("ping", {"-c", "1", "-W", "5", address}) == 0;
    }

    // After a clean-up run only the host route that kept the server reachable
    // outside the tunnel may stay (nothing records it; the next connection
    // takes it over).
    void expectRestored(const SystemSnapshot &before, bool afterCleanUp = false)
    {
        QTRY_COMPARE_WITH_TIMEOUT(Lab::clientProcesses("openvpn"), QList<qint64>(), 15000);
        // The end is reported before the last routes go.
        QTRY_COMPARE_WITH_TIMEOUT(ConnectionLab::blackHoleRoutes(), QStringList(), 10000);
        const auto routes = [afterCleanUp] {
            QString table = ConnectionLab::routes();
            if (afterCleanUp)
                table.remove(QRegularExpression("^[0-9.]+ via \\S+ dev eth0 \\n", QRegularExpression::MultilineOption));
            return table;
        };
        QTRY_COMPARE_WITH_TIMEOUT(routes(), before.routes, 10000);
        QCOMPARE(resolvConf(), before.resolvConf);
    }

private slots:
    void initTestCase()
    {
        const QString reason = ConnectionLab::unavailableReason();
        if (!reason.isEmpty())
            QSKIP(qPrintable(reason));
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("Needs an X server (tests/harness/xvfb-session).");
        m_lab.reset(new ConnectionLab);
        m_lab->useMainProgram(QStringLiteral(ORVAL_GUIDRIVE_PROGRAM));
        QVERIFY(m_lab->setUp());
    }

    void cleanupTestCase() { m_lab.reset(); }

    void init()
    {
        m_lab->resetHome();
        Settings settings(m_lab->settingsFile());
        settings.setLogHandlerOption(LogHandlerOption::StdErrHandler());
        settings.setDefaultServerSite(ConnectionLab::SITE);
        // Disconnect then leaves no black holes behind.
        settings.setBlockInternetWhenNotConnected(false);
        settings.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionPushed());
        settings.setStillActiveWarningEnable(false);
        settings.setTrayIconEnabled(false);
    }

    // A run that failed half-way is ended, and what it left is cleaned up
    // by the product's own clean-up run, so the next test starts clean.
    void cleanup()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << m_lab->diagnostics();
        if (m_lab->quit(45000) == 0)
            return;
        QProcess cleanUp;
        m_lab->startAsClient(cleanUp, m_lab->bundleContents() + "/MacOS/OrvalVPN", {"--cleanup"});
        cleanUp.waitForFinished(60000);
    }

    // Typed credentials and Connect: the status page shows the tunnel, traffic
    // crosses it, and Disconnect puts routes and name servers back.
    void connectsFromTheConnectPage()
    {
        const SystemSnapshot before;
        QVERIFY(startGui());
        shoot("connect-page");
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        shoot("loading-page");
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        const QString tunnelServer = Lab::tunnelAddress(m_lab->server(false));
        const QString tunnelNetwork = tunnelServer.left(tunnelServer.lastIndexOf('.') + 1);
        QTRY_COMPARE_WITH_TIMEOUT(read("statusWidget/status"), QString("CONNECTED"), 10000);
        QVERIFY2(read("statusWidget/localIp").startsWith(tunnelNetwork), qPrintable(read("statusWidget/localIp")));
        QVERIFY(ping(tunnelServer));
        shoot("status-page");

        m_lab->send("click statusWidget/disconnect");
        QVERIFY2(m_lab->waitFor("terminated") >= 0, qPrintable(m_lab->diagnostics()));
        expectRestored(before);
        QCOMPARE(m_lab->quit(), 0);
    }

    // A name server that never answers holds the host-name look-up: the
    // loading page offers Continue, and the start goes on with the addresses
    // the catalogue holds for the site.
    void continueOnTheHostNameWaitUsesTheCatalogue()
    {
        QVERIFY(startGui());
        const DeadNameServer deadNameServer;
        const SystemSnapshot before;
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        const int waiting = m_lab->waitFor("progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 7");
        QVERIFY2(waiting >= 0, qPrintable(m_lab->diagnostics()));
        QCOMPARE(read("loadingWidget/skip"), QString("Continue"));
        shoot("loading-page-continue");
        // Refused, with an error line, unless the button is shown and enabled.
        m_lab->send("click loadingWidget/skip");
        QVERIFY2(m_lab->waitFor("progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 3", 20000, waiting) >= 0,
                 qPrintable(m_lab->diagnostics()));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(m_lab->eventsStartingWith("progress LOOKUP_HOSTNAME_BEFORE_CONNECTING 1").isEmpty());
        QVERIFY2(m_lab->eventsStartingWith("error ").isEmpty(), qPrintable(m_lab->diagnostics()));
        // The engine went to the address the catalogue lists, the name being unresolvable.
        const QStringList connected = m_lab->eventsStartingWith("state CONNECTED ");
        QVERIFY(!connected.isEmpty());
        QCOMPARE(connected.last().section(' ', 3, 3), ConnectionLab::vpnAddress());
        QTRY_COMPARE_WITH_TIMEOUT(read("statusWidget/remoteIp"), ConnectionLab::vpnAddress(), 10000);
        QVERIFY(ping(Lab::tunnelAddress(m_lab->server(false))));
        shoot("status-page-after-continue");

        m_lab->send("click statusWidget/disconnect");
        QVERIFY2(m_lab->waitFor("terminated") >= 0, qPrintable(m_lab->diagnostics()));
        expectRestored(before);
        QCOMPARE(m_lab->quit(), 0);
    }

    void quitWhileConnectedRestores_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("warning");
        QTest::newRow("no tray") << false << false;
        QTest::newRow("no tray, asked") << false << true;
        QTest::newRow("tray") << true << false;
    }

    // File > Quit while connected ends the process with 0 within the bound,
    // after the connection has ended and the system is as it was.
    void quitWhileConnectedRestores()
    {
        QFETCH(bool, tray);
        QFETCH(bool, warning);
        {
            Settings settings(m_lab->settingsFile());
            settings.setTrayIconEnabled(tray);
            settings.setStillActiveWarningEnable(warning);
        }
        const SystemSnapshot before;
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        if (tray)
            shoot("connected-with-tray");
        QElapsedTimer quitting;
        quitting.start();
        m_lab->send("quit");
        if (warning)
            m_lab->send("answer Yes");
        QCOMPARE(m_lab->waitForExit(45000), 0);
        QVERIFY2(quitting.elapsed() < 30000, qPrintable(QString::number(quitting.elapsed())));
        QVERIFY(!m_lab->eventsStartingWith("terminated").isEmpty());
        QCOMPARE(m_lab->eventsStartingWith("answered").size(), warning ? 1 : 0);
        expectRestored(before);
    }

    // SIGTERM while connected: the process turns into its clean-up run.
    void terminationSignalRestores()
    {
        const SystemSnapshot before;
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        m_lab->signalDriver(SIGTERM);
        QCOMPARE(m_lab->waitForExit(30000), 0);
        expectRestored(before, true);
    }

    // The question after an unclean shut-down comes before any window: it
    // has the product's title and the question icon all the same.
    void uncleanShutDownQuestionIsBranded()
    {
        {
            Settings settings(m_lab->settingsFile());
            settings.setDnsStackNames({QStringLiteral("Wi-Fi")});
            settings.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart());
        }
        QVERIFY(m_lab->startDriver({}));
        const QString box = waitForBox(30000);
        QVERIFY2(!box.isEmpty(), qPrintable(m_lab->diagnostics()));
        QCOMPARE(box.section(" | ", 0, 0), QString("OrvalVPN"));
        QCOMPARE(box.section(" | ", 1, 1).toInt(), int(QMessageBox::Question));
        QVERIFY2(box.section(" | ", 2).startsWith("OrvalVPN was shut down unclean."), qPrintable(box));
        shoot("unclean-shutdown-question");
        m_lab->send("answer No, forget recovery infomation");
        QVERIFY2(m_lab->waitFor("window-shown") >= 0, qPrintable(m_lab->diagnostics()));
        QCOMPARE(m_lab->quit(), 0);
    }

    // A wrong password brings the login page with its banner; the right one
    // typed there connects.
    void wrongThenRightPassword()
    {
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage("wrong-password"));
        QVERIFY2(m_lab->waitFor("password 1", 60000) >= 0, qPrintable(m_lab->diagnostics()));
        QTRY_VERIFY_WITH_TIMEOUT(!read("loginWidget/authFailed").isEmpty(), 10000);
        shoot("login-page");
        m_lab->send("type loginWidget/username " + ConnectionLab::USER);
        m_lab->send("type loginWidget/password " + ConnectionLab::PASSWORD);
        m_lab->send("click loginWidget/login");
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        QCOMPARE(m_lab->quit(), 0);
    }

    void firstConnectionThatCannotSucceed_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("notice");
        QTest::newRow("wrong CA") << "wrong-ca"
                                  << "TCP"
                                  << "Could not connect: the server's certificate is not trusted.";
        QTest::newRow("unreachable server") << "unreachable"
                                            << "UDP"
                                            << "Could not connect: no answer from the server on UDP 1194.";
        QTest::newRow("refused data cipher")
            << "cipher"
            << "TCP"
            << "Could not connect: the server refused the connection: Data channel cipher negotiation failed (no "
               "shared cipher).";
    }
    // A first connection the server cannot accept ends within 65 s with an
    // error box that names the cause (and offers the log); the user is not
    // asked for the password again, and the system is as before.
    void firstConnectionThatCannotSucceed()
    {
        QFETCH(QString, failure);
        QFETCH(QString, protocol);
        QFETCH(QString, notice);
        const bool udp = protocol == "UDP";
        QTemporaryDir otherPki;
        QStringList serverOptions;
        if (failure == "wrong-ca") {
            QVERIFY(Lab::makePki(otherPki.path()));
            serverOptions =
                QStringList {"--ca",  otherPki.filePath("ca.crt"),    "--cert", otherPki.filePath("server.crt"),
                             "--key", otherPki.filePath("server.key")};
        } else if (failure == "cipher") {
            serverOptions = QStringList {"--data-ciphers", "AES-192-GCM"};
        } else {
            Settings settings(m_lab->settingsFile());
            settings.setPinnedIP(ConnectionLab::SITE, QHostAddress("198.51.100.99"));
            settings.setHasPinnedIP(ConnectionLab::SITE, true);
        }
        // The box's log button comes with the log file.
        Settings(m_lab->settingsFile()).setLogHandlerOption(LogHandlerOption::FileHandler());
        const auto usualServer = serverWith(udp, serverOptions);
        const SystemSnapshot before;
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD, protocol,
                                          udp ? ConnectionLab::UDP_PORT : ConnectionLab::TCP_PORT));
        // The bound counts from the engine's start (the start-up's own waits
        // have their own notices): 60 s at most, the engine's end and the
        // restore of the system.
        QVERIFY2(m_lab->waitFor("result 2 ", 30000) >= 0, qPrintable(m_lab->diagnostics()));
        const QString box = waitForBox(70000);
        QVERIFY2(!box.isEmpty(), qPrintable(m_lab->diagnostics()));
        shoot("failure-" + failure);
        QCOMPARE(box.section(" | ", 2, 2), notice);
        QVERIFY2(box.section(" | ", 4).contains("Show debugging log"), qPrintable(box));
        QCOMPARE(m_lab->eventsStartingWith("password "), QStringList());
        QCOMPARE(m_lab->eventsStartingWith("connected"), QStringList());
        m_lab->send("answer OK");
        QVERIFY2(m_lab->waitFor("terminated") >= 0, qPrintable(m_lab->diagnostics()));
        expectRestored(before);
        QCOMPARE(m_lab->eventsStartingWith("fatal ").size(), 1);
        QCOMPARE(m_lab->quit(), 0);
    }

    // A connection that worked keeps trying through an outage longer than a
    // first connection is given (the server stops answering, its connection
    // open), shows why on the status page, and comes back by itself when the
    // server answers again.
    void outageAfterConnectedRecovers()
    {
        const auto usualServer = serverWith(false, {"--keepalive", "1", "4"});
        QVERIFY(startGui());
        QElapsedTimer sinceConnect;
        sinceConnect.start();
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(m_lab->freezeServer(false, true));
        const auto thaw = qScopeGuard([this] { m_lab->freezeServer(false, false); });
        QTRY_COMPARE_WITH_TIMEOUT(read("statusWidget/failure"), QString("Reconnecting: the server stopped answering"),
                                  30000);
        QVERIFY(read("statusWidget/status") != "CONNECTED");
        shoot("status-page-reconnecting");
        // Past the bound of a first connection.
        QTest::qWait(qMax(0, 65000 - int(sinceConnect.elapsed())));
        QVERIFY(m_lab->eventsStartingWith("terminated").isEmpty());
        const int connected = m_lab->eventsStartingWith("connected").size();
        QVERIFY(m_lab->freezeServer(false, false));
        QTRY_VERIFY_WITH_TIMEOUT(m_lab->eventsStartingWith("connected").size() > connected, 90000);
        QTRY_COMPARE_WITH_TIMEOUT(read("statusWidget/status"), QString("CONNECTED"), 10000);
        QCOMPARE(read("statusWidget/failure"), QString());
        QCOMPARE(m_lab->eventsStartingWith("fatal "), QStringList());
        QCOMPARE(m_lab->eventsStartingWith("password "), QStringList());
        QCOMPARE(m_lab->quit(), 0);
    }

    // The server forgets the session's token when it restarts: the engine
    // logs in again with the password by itself, no box, no login page.
    void refusedTokenReconnects()
    {
        const QStringList tokens {"--auth-gen-token", "0"};
        const auto usualServer = serverWith(false, tokens);
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        QVERIFY2(m_lab->waitFor("connected") >= 0, qPrintable(m_lab->diagnostics()));
        QVERIFY(m_lab->restartServer(false, tokens));
        QTRY_VERIFY_WITH_TIMEOUT(m_lab->eventsStartingWith("connected").size() > 1, 90000);
        QCOMPARE(m_lab->eventsStartingWith("fatal "), QStringList());
        QCOMPARE(m_lab->eventsStartingWith("password "), QStringList());
        QCOMPARE(m_lab->quit(), 0);
    }
};

QTEST_GUILESS_MAIN(TestGuiLab)
#include "tst_gui_lab.moc"
