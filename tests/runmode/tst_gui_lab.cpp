#include "ConnectionLab.h"
#include "Lab.h"
#include "Screenshot.h"

#include "app/LogHandlerOption.h"
#include "prefs/DnsPreferenceAction.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QtTest>

#include <csignal>

namespace {

// The client's routing table (both families), as `ip route` prints it.
QString routes()
{
    QString ipv4;
    QString ipv6;
    ConnectionLab::run("ip", {"-4", "route", "show"}, &ipv4);
    ConnectionLab::run("ip", {"-6", "route", "show"}, &ipv6);
    return ipv4 + ipv6;
}

QByteArray resolvConf()
{
    QFile file("/etc/resolv.conf");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a connection changes on the client, taken before it starts.
struct SystemSnapshot
{
    QString routes = ::routes();
    QByteArray resolvConf = ::resolvConf();
};

} // namespace

// The real GUI run (orval-guidrive: OrvalVPNRunnable with a command reader)
// in the lab's client namespace, on an X server of its own; the test plays
// the user through the widgets' object names and reads the system back.
class TestGuiLab : public QObject
{
    Q_OBJECT

    QScopedPointer<ConnectionLab> lab;

    bool fail(const QString &what)
    {
        qWarning().noquote() << what << lab->diagnostics();
        return false;
    }

    // Starts the GUI and waits until its window shows the catalogue of the
    // lab's update host.
    bool startGui()
    {
        if (!lab->startDriver({}))
            return fail("no start");
        if (lab->waitFor("window-shown") < 0 || lab->waitFor("config-downloaded") < 0)
            return fail("no window or no catalogue");
        return true;
    }

    bool connectFromTheConnectPage(const QString &password)
    {
        lab->send("type connectWidget/username " + ConnectionLab::USER);
        lab->send("type connectWidget/password " + password);
        lab->send("click connectWidget/connect");
        return lab->waitFor("progress ") >= 0 || fail("Connect started nothing");
    }

    // The text a widget shows now.
    QString read(const QString &name)
    {
        const int from = lab->events().size();
        lab->send("read " + name);
        const int at = lab->waitFor("text " + name + " | ", 10000, from);
        return at < 0 ? QString() : lab->events().at(at).section(" | ", 1);
    }

    void shoot(const QString &name)
    {
        const QString file = Screenshot::directory() + "/tst_gui_lab-" + name + ".png";
        lab->send("screen " + file);
        QVERIFY2(lab->waitFor("shot " + file, 10000) >= 0, qPrintable(lab->diagnostics()));
    }

    static bool ping(const QString &address)
    {
        return ConnectionLab::run("ping", {"-c", "1", "-W", "5", address}) == 0;
    }

    void expectRestored(const SystemSnapshot &before)
    {
        QTRY_COMPARE_WITH_TIMEOUT(Lab::clientProcesses("openvpn"), QList<qint64>(), 15000);
        QCOMPARE(ConnectionLab::blackHoleRoutes(), QStringList());
        QCOMPARE(routes(), before.routes);
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
        lab.reset(new ConnectionLab);
        lab->useMainProgram(QStringLiteral(ORVAL_GUIDRIVE_PROGRAM));
        QVERIFY(lab->setUp());
    }

    void cleanupTestCase() { lab.reset(); }

    void init()
    {
        lab->resetHome();
        Settings settings(lab->settingsFile());
        settings.setLogHandlerOption(LogHandlerOption::StdErrHandler());
        settings.setDefaultServerSite(ConnectionLab::SITE);
        settings.setDnsPreferenceActionAfterConnect(DnsPreferenceAction::getDnsPreferenceActionPushed());
        settings.setStillActiveWarningEnable(false);
        settings.setTrayIconEnabled(false);
    }

    void cleanup()
    {
        if (QTest::currentTestFailed())
            qWarning().noquote() << lab->diagnostics();
        lab->signalDriver(SIGKILL);
        lab->waitForExit(10000);
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
        QVERIFY2(lab->waitFor("connected") >= 0, qPrintable(lab->diagnostics()));
        const QString tunnelServer = Lab::tunnelAddress(lab->server(true));
        const QString tunnelNetwork = tunnelServer.left(tunnelServer.lastIndexOf('.') + 1);
        QTRY_COMPARE_WITH_TIMEOUT(read("statusWidget/status"), QString("CONNECTED"), 10000);
        QVERIFY2(read("statusWidget/localIp").startsWith(tunnelNetwork), qPrintable(read("statusWidget/localIp")));
        QVERIFY(ping(tunnelServer));
        shoot("status-page");

        lab->send("click statusWidget/disconnect");
        QVERIFY2(lab->waitFor("terminated") >= 0, qPrintable(lab->diagnostics()));
        expectRestored(before);
        QCOMPARE(lab->quit(), 0);
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
            Settings settings(lab->settingsFile());
            settings.setTrayIconEnabled(tray);
            settings.setStillActiveWarningEnable(warning);
        }
        const SystemSnapshot before;
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        QVERIFY2(lab->waitFor("connected") >= 0, qPrintable(lab->diagnostics()));
        if (tray)
            shoot("connected-with-tray");
        QElapsedTimer quitting;
        quitting.start();
        lab->send("quit");
        if (warning)
            lab->send("answer Yes");
        QCOMPARE(lab->waitForExit(45000), 0);
        QVERIFY2(quitting.elapsed() < 30000, qPrintable(QString::number(quitting.elapsed())));
        QVERIFY(!lab->eventsStartingWith("terminated").isEmpty());
        QCOMPARE(lab->eventsStartingWith("answered").size(), warning ? 1 : 0);
        expectRestored(before);
    }

    // SIGTERM while connected: the process turns into its clean-up run.
    void terminationSignalRestores()
    {
        const SystemSnapshot before;
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage(ConnectionLab::PASSWORD));
        QVERIFY2(lab->waitFor("connected") >= 0, qPrintable(lab->diagnostics()));
        lab->signalDriver(SIGTERM);
        QCOMPARE(lab->waitForExit(30000), 0);
        expectRestored(before);
    }

    // A wrong password brings the login page with its banner; the right one
    // typed there connects.
    void wrongThenRightPassword()
    {
        QVERIFY(startGui());
        QVERIFY(connectFromTheConnectPage("wrong-password"));
        QVERIFY2(lab->waitFor("password 1", 60000) >= 0, qPrintable(lab->diagnostics()));
        QTRY_VERIFY_WITH_TIMEOUT(!read("loginWidget/authFailed").isEmpty(), 10000);
        shoot("login-page");
        lab->send("type loginWidget/username " + ConnectionLab::USER);
        lab->send("type loginWidget/password " + ConnectionLab::PASSWORD);
        lab->send("click loginWidget/login");
        QVERIFY2(lab->waitFor("connected") >= 0, qPrintable(lab->diagnostics()));
        QCOMPARE(lab->quit(), 0);
    }
};

QTEST_GUILESS_MAIN(TestGuiLab)
#include "tst_gui_lab.moc"
