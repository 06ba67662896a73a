// The tray frontend against the lab's OpenVPN server (label e2e): the user's
// picks in the tray's menus, made through real popups on a real system tray,
// start and stop a real connection through the real helper and engine.
//
// The test runs itself twice. As the test, inside the lab's client namespace,
// it starts the lab's servers (ConnectionLab: the catalogue on the update
// host, the OpenVPN servers on ConnectionLab::vpnAddress()) and an X server
// with trayer in that namespace, then runs its copy in a bundle (the helper
// accepts no other parent) as the probe: the backend's services on the
// product's system layer with the tray attached, driven on that X server.
#include "../backend/RecordingFrontend.h"
#include "ConnectionLab.h"
#include "Lab.h"
#include "Screenshot.h"
#include "TrayIconFixture.h"
#include "XvfbDisplay.h"

#include "app/BackendServices.h"
#include "catalogue/ServerSiteModel.h"
#include "core/NullHandler.h"
#include "gui/ApplicationTranslation.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTranslator>
#include <QUdpSocket>
#include <QtTest>

#include <cmath>
#include <cstdio>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initResources()
{
    Q_INIT_RESOURCE(vpnbackend);
}

namespace {

// Set when the program runs as the probe.
const char *const PROBE = "ORVAL_TRAY_PROBE";
const QString DALLAS = QStringLiteral("USA-Dallas");
// The run takes well under a minute; a loaded machine may stretch it a lot.
const int PROBE_BOUND_MS = 480000;

// ---- the probe's side ----

// A tray that writes its notifications down and shows them too, so the
// screenshots carry the balloons.
class ShowingTrayIcon : public NotifyingTrayIcon
{
public:
    using NotifyingTrayIcon::NotifyingTrayIcon;

protected:
    void showTrayMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon,
                         int msecs) override
    {
        NotifyingTrayIcon::showTrayMessage(title, msg, icon, msecs);
        TrayIcon::showTrayMessage(title, msg, icon, msecs);
    }
};

// The tray as the run mode holds it: on the backend's services and the
// product's system layer, beside a frontend that writes down what the backend
// reports ("backend:connected", "backend:terminated", ...).
struct TrayLabWorld
{
    QStringList reports;
    QSharedPointer<RecordingFrontend> recorder {new RecordingFrontend(QStringLiteral("backend"), reports)};
    FakeBackendStateTracker tracker;
    // Before the services: the frontends outlive them (see BackendServices).
    QSharedPointer<ShowingTrayIcon> tray;
    // The run mode's catalogue model, the dispatcher's first frontend.
    QSharedPointer<ServerSiteModel> sites {QSharedPointer<ServerSiteModel>::create()};
    MacOSXAbstractionImpl os;
    BackendServices services {os, BackendServices::WebSetup::product()};

    TrayLabWorld()
    {
        tray.reset(new ShowingTrayIcon(services.backend, os, tracker, UserStatistics::getUserStatistics()));
        services.dispatcher.add(sites);
        services.dispatcher.add(recorder);
        services.dispatcher.add(tray);
        services.backend.init(QSharedPointer<OpenVpnLifeCycleHandler>(new NullHandler), false);
        sites->reload();
        tray->followServerSites(*sites);
    }

    int count(const QString &report) const { return reports.count(QStringLiteral("backend:") + report); }
};

QString run(const QString &program, const QStringList &arguments)
{
    QString output;
    ConnectionLab::run(program, arguments, &output);
    return output;
}

// The client's routing table (both families), as `ip route` prints it.
QString routes()
{
    return run("ip", {"-4", "route", "show"}) + run("ip", {"-6", "route", "show"});
}

QByteArray resolvConf()
{
    QFile file(QStringLiteral("/etc/resolv.conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The engine, its adapter and the helper still running in this namespace.
QStringList enginesLeft()
{
    QStringList found;
    for (const char *name : {"openvpn", "openvpn_v2_4", "Stelvane"}) {
        for (qint64 pid : Lab::clientProcesses(name))
            found << QStringLiteral("%1 %2").arg(pid).arg(name);
    }
    return found;
}

// The tunnel device's IPv4 address: the client namespace has no other
// interface than the loopback and the lab's link.
QString tunnelAddress()
{
    for (const QNetworkInterface &device : QNetworkInterface::allInterfaces()) {
        if (device.name() == QLatin1String("lo") || device.name() == QLatin1String("eth0"))
            continue;
        for (const QNetworkAddressEntry &entry : device.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return QString();
}

// "12 B", "1.234 KiB", ... back to bytes; -1 when it is none of those.
double bytesOf(const QString &shown)
{
    const QStringList parts = shown.split(QLatin1Char(' '));
    const int exponent = QStringLiteral("B KiB MiB GiB").split(QLatin1Char(' ')).indexOf(parts.value(1));
    bool number = false;
    const double value = parts.value(0).toDouble(&number);
    return number && exponent >= 0 ? value * std::pow(1024.0, exponent) : -1;
}

// The tool tip's line that starts with `label` ("Sent: "), without the label.
QString tooltipLine(const NotifyingTrayIcon &tray, const QString &label)
{
    for (const QString &line : tray.icon().toolTip().split(QLatin1Char('\n'))) {
        if (line.startsWith(label))
            return line.mid(label.size());
    }
    return QString();
}

class TestTrayIconLabProbe : public QObject
{
    Q_OBJECT

    QTranslator m_translator;
    QScopedPointer<TrayLabWorld> m_world;
    QString m_routesBefore;
    QByteArray m_resolvConfBefore;

    ShowingTrayIcon &tray() const { return *m_world->tray; }

    // Opens the tray's menu by a right-click on the docked icon and walks the
    // `path` of entries through the popups with the keyboard, as a user does.
    bool choose(const QStringList &path)
    {
        QWidget *docked = visibleTopLevel("QSystemTrayIconSys");
        if (!docked)
            return false;
        QTest::mouseClick(docked, Qt::RightButton, Qt::NoModifier, docked->rect().center());
        for (int i = 0; i < path.size(); ++i) {
            // The tray's menu first, then the submenu the last step opened.
            const auto open = [&] {
                const auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                return menu && (i == 0 || menu->title() == path.at(i - 1));
            };
            if (!QTest::qWaitFor(open, 10000)
                || !chooseInActivePopup(path.at(i), i + 1 < path.size() ? Qt::Key_Right : Qt::Key_Return))
                return false;
        }
        return true;
    }

    // The docked look enlarged, the screen with the latest balloon, then
    // with the tool tip shown over the docked icon.
    void saveLook(const QString &name)
    {
        QTest::qWait(500);
        const QImage docked = Screenshot::grabScreen(tray().icon().geometry());
        Screenshot::save(docked.scaled(docked.size() * 4), name + QStringLiteral("-x4"));
        Screenshot::saveScreen(name + QStringLiteral("-balloon"));
        QToolTip::showText(tray().icon().geometry().center(), tray().icon().toolTip());
        QTest::qWait(500);
        Screenshot::saveScreen(name + QStringLiteral("-tooltip"));
        QToolTip::hideText();
    }

    void waitForConnection(int connections)
    {
        QTRY_VERIFY2_WITH_TIMEOUT(m_world->count("connected") == connections, qPrintable(m_world->reports.join('\n')),
                                  60000);
        m_world->tracker.vpnRunning = true;
        QTRY_VERIFY_WITH_TIMEOUT(!tooltipLine(tray(), "Local IP: ").isEmpty(), 10000);
    }

private slots:
    void initTestCase()
    {
        initResources();
        QVERIFY(ApplicationTranslation::install(m_translator));
        Settings settings;
        settings.setTrayIconEnabled(true);
        settings.setDisplayNotifications(true);
        // The engine's password request is answered from the remembered login.
        settings.rememberCredentials(ConnectionLab::USER, ConnectionLab::PASSWORD);
        settings.setAutoLoginOnConnect(true);
        // Quit stops the connection without asking first.
        settings.setStillActiveWarningEnable(false);
        // The user's transport, as the connection page stores it with the site
        // last connected to: TCP 443, whose one offer is the catalogue's
        // default, the one the lab's servers run. (On UDP 1194 two offers
        // share the port, and the stored port cannot tell them apart.)
        settings.setDefaultServerSite(QStringLiteral("DEU-Frankfurt"),
                                      OpenVpnConfigurationModel(QStringLiteral("AES-256-GCM"), QStringLiteral("TCP"),
                                                                {int(ConnectionLab::TCP_PORT)}, false));
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 15000);

        m_world.reset(new TrayLabWorld);
        // The lab's catalogue, from the update host, replaces the built-in one in the menu.
        QTRY_VERIFY_WITH_TIMEOUT(m_world->count("newconfig") == 1, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!tray().icon().geometry().isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(visibleTopLevel("QSystemTrayIconSys"), 10000);
    }

    void cleanupTestCase() { m_world.reset(); }

    // One pick of Dallas in the "United States" submenu connects: the tool
    // tip names the state, the site, the tunnel's own address and the server.
    void pickInTheServerMenuConnects()
    {
        m_routesBefore = routes();
        m_resolvConfBefore = resolvConf();
        QVERIFY(choose({"Server", "United States", "Dallas"}));
        waitForConnection(1);

        QCOMPARE(look(tray()), QStringLiteral("trayicon.png"));
        QCOMPARE(enabledEntries(tray()), QStringLiteral("-D-"));
        const QString local = tunnelAddress();
        QVERIFY(!local.isEmpty());
        const QStringList lines = tray().icon().toolTip().split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), QStringLiteral("OrvalVPN - CONNECTED"));
        QCOMPARE(lines.at(1), QStringLiteral("USA - Dallas"));
        QVERIFY2(bytesOf(tooltipLine(tray(), "Sent: ")) >= 0, qPrintable(lines.at(2)));
        QVERIFY2(bytesOf(tooltipLine(tray(), "Rcvd: ")) >= 0, qPrintable(lines.at(3)));
        QCOMPARE(lines.at(4), QStringLiteral("Local IP: ") + local);
        QCOMPARE(lines.at(5), QStringLiteral("Remote IP: ") + ConnectionLab::vpnAddress());
        QVERIFY(tray().notifications.contains(
            QStringLiteral(
                "Connection established! | Connected to  Dallas - United States\nLocal IP: %1\nRemote IP: %2")
                .arg(local, ConnectionLab::vpnAddress())));
        // One pick, one start, one counted use; the site becomes the default.
        QCOMPARE(m_world->count("progress INIT_CONNECTION"), 1);
        QCOMPARE(UserStatistics::getUserStatistics().getServerFrecuencyUsage().value(DALLAS), 1u);
        QCOMPARE(Settings().defaultServerSite(), DALLAS);
        // The handshake's traffic, counted from the engine's first report on.
        QTRY_VERIFY2_WITH_TIMEOUT(bytesOf(tooltipLine(tray(), "Sent: ")) > 0
                                      && bytesOf(tooltipLine(tray(), "Rcvd: ")) > 0,
                                  qPrintable(tray().icon().toolTip()), 10000);
        saveLook(QStringLiteral("connected"));
    }

    // Traffic through the tunnel shows in both counts: a ping both ways,
    // then datagrams out only (to the discard port; the server answers at
    // most with a short error for each), so sent and received cannot be swapped.
    void byteCountsGrowWithTrafficThroughTheTunnel()
    {
        const auto sent = [this] { return bytesOf(tooltipLine(tray(), "Sent: ")); };
        const auto received = [this] { return bytesOf(tooltipLine(tray(), "Rcvd: ")); };
        // The server holds its tunnel network's .1 (Lab::tunnelAddress).
        const QHostAddress server(tunnelAddress().section('.', 0, 2) + QStringLiteral(".1"));
        double sentBefore = sent();
        double receivedBefore = received();
        const int payload = 5 * 1000;
        QCOMPARE(ConnectionLab::run("ping", {"-n", "-c", "5", "-i", "0.2", "-s", "1000", "-W", "2", server.toString()}),
                 0);
        // The engine reports its counts every second.
        QTRY_VERIFY2_WITH_TIMEOUT(sent() >= sentBefore + payload && received() >= receivedBefore + payload,
                                  qPrintable(tray().icon().toolTip()), 10000);

        QTest::qWait(1500);
        sentBefore = sent();
        receivedBefore = received();
        QUdpSocket socket;
        const QByteArray datagram(1400, 'x');
        for (int i = 0; i < 200; ++i) {
            socket.writeDatagram(datagram, server, 9);
            if (i % 10 == 9)
                QTest::qWait(5);
        }
        const double outward = 100 * 1000;
        QTRY_VERIFY2_WITH_TIMEOUT(sent() >= sentBefore + outward, qPrintable(tray().icon().toolTip()), 10000);
        QTest::qWait(1500);
        QVERIFY2(received() - receivedBefore < (sent() - sentBefore) / 2, qPrintable(tray().icon().toolTip()));
    }

    // Disconnect ends the connection: the disconnected look, and the
    // system's routes and name servers exactly as before it.
    void disconnectRestoresTheSystem()
    {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(choose({"Disconnect"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_world->count("terminated") == 1, 30000);
        std::printf("Disconnect: the end reported after %lld ms\n", clock.elapsed());
        m_world->tracker.vpnRunning = false;
        QCOMPARE(look(tray()), QStringLiteral("trayicon-disconnected.png"));
        QCOMPARE(enabledEntries(tray()), QStringLiteral("C-S"));
        QCOMPARE(tray().icon().toolTip(), QStringLiteral("OrvalVPN - Disconnected"));
        QCOMPARE(tray().notifications.last(), QStringLiteral("Disconnected! | Disconnected from OrvalVPN service!"));
        QTRY_COMPARE_WITH_TIMEOUT(enginesLeft(), QStringList(), 15000);
        QCOMPARE(routes(), m_routesBefore);
        QCOMPARE(resolvConf(), m_resolvConfBefore);
        saveLook(QStringLiteral("disconnected"));
    }

    // Connect starts the default site again; Quit while connected stops the
    // connection and ends once it has ended, well within the bound, with no
    // engine left at that moment.
    void quitWhileConnectedEndsAfterTheEngine()
    {
        QVERIFY(choose({"Connect"}));
        waitForConnection(2);
        QCOMPARE(tooltipLine(tray(), "Remote IP: "), ConnectionLab::vpnAddress());
        QCOMPARE(UserStatistics::getUserStatistics().getServerFrecuencyUsage().value(DALLAS), 2u);

        QStringList leftAtExit {QStringLiteral("(no exit)")};
        QElapsedTimer clock;
        qint64 exitAfterMs = -1;
        const QMetaObject::Connection exit = connect(&tray(), &TrayIcon::exitApplication, this, [&] {
            exitAfterMs = clock.elapsed();
            leftAtExit = enginesLeft();
        });
        clock.start();
        QVERIFY(choose({"Quit"}));
        QTRY_VERIFY_WITH_TIMEOUT(exitAfterMs >= 0, TrayIcon::DEFAULT_STOP_WAIT_MS + 10000);
        disconnect(exit);
        std::printf("Quit while connected: exitApplication after %lld ms\n", exitAfterMs);
        QCOMPARE(m_world->count("terminated"), 2);
        QVERIFY(exitAfterMs < TrayIcon::DEFAULT_STOP_WAIT_MS);
        QCOMPARE(leftAtExit, QStringList());
    }
};

int runProbe(int argc, char **argv)
{
    // Named after the test, not the bundle's program: its screenshots carry the name.
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_trayicon_lab"));
    QApplication app(argc, argv);
    TestTrayIconLabProbe probe;
    return QTest::qExec(&probe, argc, argv);
}

} // namespace

// ---- the test's side ----

class TestTrayIconLab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ConnectionLab m_lab;
    XvfbDisplay m_display {{false, true}};
    QString m_bundle;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_lab.setUp());
        m_bundle = Lab::makeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), m_dir.path(), QStringLiteral("Tray"),
                                   QCoreApplication::applicationFilePath(),
                                   {QStringLiteral("Info.plist"), QStringLiteral("Platform"), QStringLiteral("Helpers"),
                                    QStringLiteral("Resources")});
        QVERIFY(!m_bundle.isEmpty());
        QVERIFY2(m_display.start(), qPrintable(m_display.failure()));
    }

    void trayConnectsDisconnectsAndQuits()
    {
        QProcessEnvironment environment = m_display.environment();
        const QString home = m_dir.filePath(QStringLiteral("home"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        environment.insert(QString::fromLatin1(PROBE), QStringLiteral("1"));
        environment.remove(QStringLiteral("WITH_OPENVPN_SIMULATOR"));
        QProcess probe;
        probe.setProcessEnvironment(environment);
        probe.setProcessChannelMode(QProcess::ForwardedChannels);
        probe.start(m_bundle + QStringLiteral("/MacOS/OrvalVPN"), QStringList());
        const bool finished = probe.waitForFinished(PROBE_BOUND_MS);
        if (!finished) {
            probe.kill();
            probe.waitForFinished(5000);
        }
        if (!finished || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
            qWarning().noquote() << m_lab.diagnostics();
        QVERIFY2(finished, "the probe did not end");
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(PROBE))
        return runProbe(argc, argv);
    QCoreApplication app(argc, argv);
    QString unavailable = ConnectionLab::unavailableReason();
    if (unavailable.isEmpty())
        unavailable = XvfbDisplay::unavailable({false, true});
    if (!unavailable.isEmpty()) {
        std::printf("SKIP: %s\n", qPrintable(unavailable));
        return 77;
    }
    // The test function waits for the whole probe run.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(PROBE_BOUND_MS + 60000));
    TestTrayIconLab test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_trayicon_lab.moc"
