// The tray frontend offscreen: its looks, tool tips, notifications, quitting,
// the "Server" menu and the connection start from the tray.
#include "TrayIconFixture.h"

#include "catalogue/HalvorixConfig.h"
#include "catalogue/LocalConfigSource.h"
#include "gui/ApplicationTranslation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

namespace {

const HalvorixServerSite LOS_ANGELES_ASIA(QStringLiteral("USA"), QStringLiteral("Los Angeles (Asia Optimized)"),
                                          QString(), QString(), false, false, QDir(), {}, QHostAddress(), GeoLocation(),
                                          QString(), 0);

HalvorixServerSite site(const QString &country, const QString &city)
{
    return HalvorixServerSite(country, city, QString(), QString(), false, false, QDir(), {}, QHostAddress(),
                              GeoLocation(), QString(), 0);
}

VpnConnectionState state(const QString &name, const HalvorixServerSite &where = LOS_ANGELES_ASIA)
{
    VpnConnectionState connectionState(parametersFor(where));
    connectionState.updateState(name, QString(), QStringLiteral("10.8.0.6"), QStringLiteral("198.51.100.1"));
    return connectionState;
}

// One frontend message of a table: "progress initial", "progress running",
// "result started|aborted|checks failed|unknown", "state NAME", "connected",
// "terminated", "fatal", "error", "bytes".
void deliver(TrayIcon &tray, const QString &message)
{
    const QSharedPointer<ConnectionParameters> parameters = parametersFor(LOS_ANGELES_ASIA);
    const QString argument = message.section(' ', 1);
    if (message.startsWith("progress ")) {
        tray.onVpnStartupProgress(
            VpnStartupProgress(parameters, QStringLiteral("INIT_CONNECTION"),
                               argument == "initial" ? VpnStartupProgress::INITIAL : VpnStartupProgress::RUNNING));
    } else if (message.startsWith("result ")) {
        const QMap<QString, int> types {{"aborted", 0}, {"checks failed", 1}, {"started", 2}, {"unknown", 7}};
        tray.onVpnStartupResult(
            VpnStartupResult(parameters, VpnStartupResult::ResultType(types.value(argument)), QString(), 0));
    } else if (message.startsWith("state ")) {
        tray.onUpdateState(state(argument));
    } else if (message == "connected") {
        tray.onConnected();
    } else if (message == "terminated") {
        tray.vpnTerminated(VpnTerminationReport(parameters));
    } else if (message == "fatal") {
        tray.onReceiveFatalErrorMessage(ErrorMessage::GetVpnFatalErrorMessage(parameters, "Fatal", "text"));
    } else if (message == "error") {
        tray.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(parameters, "Error", "text"));
    } else {
        qFatal("Unknown message in the test table: %s", qPrintable(message));
    }
}

// The "Server" menu as "Country" for a plain entry (with its data) and
// "Country: cityA, cityB" for a submenu.
QStringList serverMenuShape(const QMenu &serverMenu)
{
    QStringList shape;
    for (const QAction *action : serverMenu.actions()) {
        if (!action->menu()) {
            shape.append(action->text() + " =" + action->data().toString());
            continue;
        }
        QStringList cities;
        for (const QAction *city : action->menu()->actions())
            cities.append(city->text() + " =" + city->data().toString());
        shape.append(action->text() + ": " + cities.join(", "));
    }
    return shape;
}

QMenu &serverMenuOf(const NotifyingTrayIcon &tray)
{
    return *tray.entry("Server")->menu();
}

void setNotificationPreferences(bool tray, bool notifications)
{
    Settings settings;
    settings.setTrayIconEnabled(tray);
    settings.setDisplayNotifications(notifications);
}

} // namespace

class TestTrayIcon : public QObject
{
    Q_OBJECT

    QTranslator m_translator;
    QSharedPointer<AnsweringMessageBoxFactory> m_boxes;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(vpnbackend);
        QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_trayicon"));
        QVERIFY(ApplicationTranslation::install(m_translator));
        QSettings().clear();
        LocalConfigSource().execute();
        QVERIFY(HalvorixConfig::getServerSites().size() > 3);
    }

    void init()
    {
        Settings settings;
        settings.removeDefaultServerSite();
        settings.setDefaultTunnelType(TunnelType::OPENVPN243());
        settings.setStillActiveWarningEnable(true);
        setNotificationPreferences(true, true);
        m_boxes = QSharedPointer<AnsweringMessageBoxFactory>::create();
        MessageBoxFactory::setInstance(m_boxes);
    }

    void cleanup() { MessageBoxFactory::setInstance({}); }

    void startsDisconnectedWithTheProductName()
    {
        TrayWorld world;
        QCOMPARE(look(world.tray), QString("trayicon-disconnected.png"));
        QCOMPARE(world.tray.icon().toolTip(), QString("OrvalVPN"));
        QCOMPARE(menuTexts(world.tray.menu()), QStringList({"Show/Hide", "Server", "Connect", "Disconnect", "Quit"}));
        // Without a default site Connect is off until the first disconnected look.
        QCOMPARE(enabledEntries(world.tray), QString("--S"));
        // The three looks differ, so comparing by pixels tells them apart.
        QVERIFY(lookOf(TrayIcon::DISCONNECTED_IMAGE) != lookOf(TrayIcon::CONNECTING_IMAGE));
        QVERIFY(lookOf(TrayIcon::CONNECTING_IMAGE) != lookOf(TrayIcon::CONNECTED_IMAGE));
        QVERIFY(lookOf(TrayIcon::DISCONNECTED_IMAGE) != lookOf(TrayIcon::CONNECTED_IMAGE));
        QVERIFY(!lookOf(TrayIcon::CONNECTED_IMAGE).isNull());
    }

    void connectIsOnWithADefaultSite()
    {
        Settings().setDefaultServerSite(QStringLiteral("USA-Dallas"));
        TrayWorld world;
        QCOMPARE(enabledEntries(world.tray), QString("C-S"));
    }

    void messagesSetTheLook_data()
    {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("enabled");
        const QString disconnected = "trayicon-disconnected.png";
        const QString connecting = "trayicon-connecting.png";
        const QString connected = "trayicon.png";
        QTest::newRow("initial progress") << QStringList {"progress initial"} << connecting << "-D-";
        QTest::newRow("later progress keeps") << QStringList {"progress running"} << disconnected << "--S";
        QTest::newRow("started") << QStringList {"result started"} << connecting << "-D-";
        QTest::newRow("aborted") << QStringList {"progress initial", "result aborted"} << disconnected << "C-S";
        QTest::newRow("checks failed") << QStringList {"progress initial", "result checks failed"} << disconnected
                                       << "C-S";
        QTest::newRow("unknown result") << QStringList {"progress initial", "result unknown"} << disconnected << "C-S";
        QTest::newRow("engine states") << QStringList {"result started", "state WAIT", "state AUTH"} << connecting
                                       << "-D-";
        QTest::newRow("connected") << QStringList {"result started", "state CONNECTED", "connected"} << connected
                                   << "-D-";
        // A tray attached while connected gets the replayed state, no onConnected.
        QTest::newRow("attached while connected")
            << QStringList {"progress running", "result started", "state CONNECTED"} << connected << "-D-";
        QTest::newRow("update info keeps") << QStringList {"connected", "state UPDATEINFO"} << connected << "-D-";
        QTest::newRow("reconnecting") << QStringList {"connected", "state RECONNECTING"} << connecting << "-D-";
        QTest::newRow("exiting") << QStringList {"connected", "state EXITING"} << disconnected << "C-S";
        QTest::newRow("terminated") << QStringList {"connected", "terminated"} << disconnected << "C-S";
        QTest::newRow("fatal error") << QStringList {"connected", "fatal"} << disconnected << "C-S";
        QTest::newRow("error only logged") << QStringList {"connected", "error"} << connected << "-D-";
        QTest::newRow("new attempt after failed checks")
            << QStringList {"result checks failed", "progress initial"} << connecting << "-D-";
    }

    void messagesSetTheLook()
    {
        QFETCH(QStringList, messages);
        QFETCH(QString, image);
        QFETCH(QString, enabled);
        TrayWorld world;
        for (const QString &message : messages)
            deliver(world.tray, message);
        QCOMPARE(look(world.tray), image);
        QCOMPARE(enabledEntries(world.tray), enabled);
        // The submenu's entry in the tray menu follows the menu itself.
        QCOMPARE(serverMenuOf(world.tray).isEnabled(), enabled.endsWith('S'));
    }

    void tooltip_data()
    {
        QTest::addColumn<QString>("stateName");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("connected") << "CONNECTED"
                                   << "OrvalVPN - CONNECTED\nUSA - L.A.(Asia Opt.)\nSent: 1.500 KiB\nRcvd: 2.000 MiB\n"
                                      "Local IP: 10.8.0.6\nRemote IP: 198.51.100.1";
        QTest::newRow("other state is one line") << "ASSIGN_IP"
                                                 << "OrvalVPN - ASSIGN_IP";
    }

    // Byte counts differ in each direction, so a swap shows.
    void tooltip()
    {
        QFETCH(QString, stateName);
        QFETCH(QString, tooltip);
        TrayWorld world;
        world.tray.onUpdateByteCount(ByteCount(2 * 1024 * 1024, 1536));
        world.tray.onUpdateState(state(stateName));
        QCOMPARE(world.tray.icon().toolTip(), tooltip);
    }

    // The cause comes with its own message, after the state it explains,
    // and goes with CONNECTED.
    void tooltipCarriesTheCause()
    {
        TrayWorld world;
        VpnConnectionState connection = state("RECONNECTING");
        world.tray.onUpdateState(connection);
        connection.updateFailure(ConnectionFailure("certificate"));
        world.tray.onUpdateState(connection);
        QCOMPARE(world.tray.icon().toolTip(),
                 QString("OrvalVPN - RECONNECTING\nReconnecting: the server's certificate is not trusted"));
        connection.updateState("WAIT", QString(), QString(), QString());
        world.tray.onUpdateState(connection);
        QCOMPARE(world.tray.icon().toolTip(),
                 QString("OrvalVPN - WAIT\nReconnecting: the server's certificate is not trusted"));
        connection.updateState("CONNECTED", "SUCCESS", "10.8.0.6", "198.51.100.1");
        world.tray.onUpdateState(connection);
        QVERIFY2(!world.tray.icon().toolTip().contains("Reconnecting"), qPrintable(world.tray.icon().toolTip()));

        // A tray attached later may first hear the cause alone.
        TrayWorld attachedLater;
        VpnConnectionState replayed = state("RECONNECTING");
        replayed.updateFailure(ConnectionFailure("ping-restart"));
        attachedLater.tray.onUpdateState(replayed);
        QCOMPARE(attachedLater.tray.icon().toolTip(),
                 QString("OrvalVPN - RECONNECTING\nReconnecting: the server stopped answering"));
    }

    void disconnectedTooltip()
    {
        TrayWorld world;
        deliver(world.tray, "connected");
        deliver(world.tray, "terminated");
        QCOMPARE(world.tray.icon().toolTip(), QString("OrvalVPN - Disconnected"));
    }

    // A state message without a state change changes nothing, not even the addresses.
    void unchangedStateChangesNothing()
    {
        TrayWorld world;
        world.tray.onUpdateState(state("CONNECTED"));
        const QString before = world.tray.icon().toolTip();
        VpnConnectionState cipherOnly(parametersFor(site("DEU", "Frankfurt")));
        cipherOnly.updateState("EXITING", QString(), "10.9.9.9", "192.0.2.9");
        cipherOnly.tlsCipherChanged(true, "TLSv1.3", "AES");
        world.tray.onUpdateState(cipherOnly);
        QCOMPARE(world.tray.icon().toolTip(), before);
        QCOMPARE(look(world.tray), QString("trayicon.png"));
        QCOMPARE(world.tray.notifications.size(), 1);
    }

    void notifications_data()
    {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("notificationsOn");
        QTest::addColumn<QStringList>("shown");
        const QString disconnected = "Disconnected! | Disconnected from OrvalVPN service!";
        const QString established =
            "Connection established! | Connected to  L.A.(Asia Opt.) - United States\nLocal IP: 10.8.0.6\n"
            "Remote IP: 198.51.100.1";
        QTest::newRow("connected") << QStringList {"state CONNECTED"} << true << QStringList {established};
        QTest::newRow("exiting then terminated shows once")
            << QStringList {"state EXITING", "terminated"} << true << QStringList {disconnected};
        QTest::newRow("another one in between lets it show again")
            << QStringList {"terminated", "state CONNECTED", "terminated"} << true
            << QStringList {disconnected, established, disconnected};
        QTest::newRow("switched off") << QStringList {"terminated", "state CONNECTED"} << false << QStringList {};
    }

    void notifications()
    {
        QFETCH(QStringList, messages);
        QFETCH(bool, notificationsOn);
        QFETCH(QStringList, shown);
        setNotificationPreferences(true, notificationsOn);
        TrayWorld world;
        for (const QString &message : messages)
            deliver(world.tray, message);
        QCOMPARE(world.tray.notifications, shown);
        for (int i = 0; i < shown.size(); ++i) {
            QCOMPARE(world.tray.icons.at(i), QSystemTrayIcon::Information);
            QCOMPARE(world.tray.durations.at(i), 10000);
        }
    }

    // Switched off, the repeat key is still kept: the same notification right
    // after switching them on again stays hidden.
    void notificationsOffStillUpdateTheRepeatKey()
    {
        setNotificationPreferences(true, false);
        TrayWorld world;
        deliver(world.tray, "terminated");
        setNotificationPreferences(true, true);
        deliver(world.tray, "terminated");
        QCOMPARE(world.tray.notifications, QStringList());
        world.tray.notifyUserLoginFailed();
        QCOMPARE(world.tray.notifications, QStringList {"Login Failed! | Wrong username or password."});
    }

    void trayPreferenceOffHidesNotifications()
    {
        setNotificationPreferences(false, true);
        TrayWorld world;
        deliver(world.tray, "terminated");
        QCOMPARE(world.tray.notifications, QStringList());
    }

    void passwordRequest_data()
    {
        QTest::addColumn<int>("retry");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<QString>("shown");
        const QString required = "Login Required! | Please enter your credentials to log into OrvalVPN service.";
        const QString failed = "Login Failed! | Wrong username or password.";
        QTest::newRow("first, auto-login with remembered credentials") << 0 << true << true << QString();
        QTest::newRow("first, auto-login without credentials") << 0 << true << false << required;
        QTest::newRow("first, remembered without auto-login") << 0 << false << true << required;
        QTest::newRow("first, neither") << 0 << false << false << required;
        QTest::newRow("retry, whatever the preferences") << 1 << true << true << failed;
        QTest::newRow("second retry") << 2 << false << false << failed;
    }

    void passwordRequest()
    {
        QFETCH(int, retry);
        QFETCH(bool, autoLogin);
        QFETCH(bool, remembered);
        QFETCH(QString, shown);
        Settings settings;
        settings.setAutoLoginOnConnect(autoLogin);
        if (remembered)
            settings.rememberCredentials("alice", "secret");
        else
            settings.forgetCredentials();
        TrayWorld world;
        world.tray.vpnPasswordRequest(PasswordRequestMessage(parametersFor(LOS_ANGELES_ASIA), retry));
        QCOMPARE(world.tray.notifications, shown.isEmpty() ? QStringList() : QStringList {shown});
        QVERIFY(world.backend.calls.isEmpty());
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void quit_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("questions");
        // The backend call that ends the run, if any.
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("exits");
        QTest::newRow("not running") << false << "connected" << true << QString() << 0 << QString() << true;
        QTest::newRow("running, warning off") << true << "connected" << false << QString() << 0 << "stopVPN" << true;
        QTest::newRow("starting, warning off")
            << true << "progress initial" << false << QString() << 0 << "abort" << true;
        QTest::newRow("running, warning, yes") << true << "connected" << true << "yes" << 1 << "stopVPN" << true;
        QTest::newRow("running, warning, no") << true << "connected" << true << "no" << 1 << QString() << false;
        QTest::newRow("running, warning, closed") << true << "connected" << true << "close" << 1 << QString() << false;
    }

    void quit()
    {
        QFETCH(bool, running);
        QFETCH(QString, before);
        QFETCH(bool, warning);
        QFETCH(QString, answer);
        QFETCH(int, questions);
        QFETCH(QString, end);
        QFETCH(bool, exits);
        Settings().setStillActiveWarningEnable(warning);
        if (!answer.isEmpty())
            m_boxes->answerWith({answer});
        TrayWorld world;
        world.tracker.vpnRunning = running;
        deliver(world.tray, before);
        const QString lookBefore = look(world.tray);
        QSignalSpy exited(&world.tray, &TrayIcon::exitApplication);
        world.tray.onQuitApplication();
        QCOMPARE(m_boxes->shown.size(), questions);
        if (questions) {
            QCOMPARE(m_boxes->shown.first().text, QString("OrvalVPN is still active."));
            QCOMPARE(m_boxes->shown.first().informativeText, QString("Do you really want to quit?"));
            QCOMPARE(m_boxes->shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(m_boxes->defaultButtons.first(), QString("&No"));
        }
        QCOMPARE(world.backend.calls, end.isEmpty() ? QStringList() : QStringList {end});
        QCOMPARE(exited.size(), exits ? 1 : 0);
        // The end of the stopped run was seen before the exit.
        QCOMPARE(look(world.tray), end.isEmpty() ? lookBefore : QString("trayicon-disconnected.png"));
        // Nothing is left to a notification that might be switched off.
        QVERIFY(world.tray.notifications.filter("still active").isEmpty());
    }

    // The engine never reports its end: Quit gives up after the bound and exits anyway.
    void quitGivesUpOnABackendThatNeverStops()
    {
        Settings().setStillActiveWarningEnable(false);
        TrayWorld world;
        world.tracker.vpnRunning = true;
        world.backend.stillRunning = true;
        world.tray.setStopWaitMs(300);
        QSignalSpy exited(&world.tray, &TrayIcon::exitApplication);
        QElapsedTimer elapsed;
        elapsed.start();
        world.tray.onQuitApplication();
        QCOMPARE(exited.size(), 1);
        QVERIFY2(elapsed.elapsed() >= 250 && elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(world.backend.callsOf("stopVPN").size(), 1);
    }

    void terminateVPNWaitsForTheEnd()
    {
        TrayWorld world;
        world.tray.terminateVPN();
        QVERIFY(world.backend.calls.isEmpty());
        world.tracker.vpnRunning = true;
        deliver(world.tray, "connected");
        world.tray.terminateVPN();
        QCOMPARE(world.backend.callsOf("stopVPN").size(), 1);
        QCOMPARE(look(world.tray), QString("trayicon-disconnected.png"));
    }

    void menuEntriesReachTheirTargets()
    {
        TrayWorld world;
        QSignalSpy toggles(&world.tray, &TrayIcon::toggleMainWindowVisibility);
        QSignalSpy shows(&world.tray, &TrayIcon::showMainWindow);
        world.tray.entry("Show/Hide")->trigger();
        QCOMPARE(toggles.size(), 1);
        emit world.tray.icon().messageClicked();
        QCOMPARE(shows.size(), 1);
        world.tray.entry("Disconnect")->trigger();
        QCOMPARE(world.backend.calls, QStringList {"stopVPN"});
    }

    // "Disconnect" is offered from the start on: during a start it aborts it,
    // as the window's Cancel does; afterwards it stops the run.
    void disconnectEndsWhatRuns_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("call");
        QTest::newRow("starting") << QStringList {"progress initial"} << "abort";
        QTest::newRow("starting, a later stage") << QStringList {"progress initial", "progress running"} << "abort";
        QTest::newRow("started") << QStringList {"progress initial", "result started"} << "stopVPN";
        QTest::newRow("connected") << QStringList {"progress initial", "result started", "state CONNECTED"}
                                   << "stopVPN";
    }

    void disconnectEndsWhatRuns()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, call);
        TrayWorld world;
        for (const QString &message : before)
            deliver(world.tray, message);
        QAction *disconnect = world.tray.entry("Disconnect");
        QVERIFY(disconnect->isEnabled());
        disconnect->trigger();
        QCOMPARE(world.backend.calls, QStringList {call});
    }

    // Built with sites, submenus and the multi-window entry, the tray goes
    // without a double delete (run under ASan) and takes its menus along.
    void destroysMenusAndActionsOnce()
    {
        QPointer<QMenu> menu;
        QPointer<QMenu> subMenu;
        QPointer<QAction> newWindow;
        {
            TrayWorld world;
            QSignalSpy created(&world.tray, &TrayIcon::createNewMainWindow);
            world.tray.setMultiWindows();
            QCOMPARE(menuTexts(world.tray.menu()).last(), QString("New MainWindow"));
            world.tray.entry("New MainWindow")->trigger();
            QCOMPARE(created.size(), 1);
            world.tray.setServerSites({site("USA", "Dallas"), site("USA", "Miami"), site("DEU", "Berlin")});
            menu = &world.tray.menu();
            subMenu = serverMenuOf(world.tray).actions().at(1)->menu();
            newWindow = world.tray.entry("New MainWindow");
            QVERIFY(subMenu);
        }
        QVERIFY(!menu);
        QVERIFY(!newWindow);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!subMenu);
    }

    void serverMenu_data()
    {
        QTest::addColumn<QList<HalvorixServerSite>>("sites");
        QTest::addColumn<QStringList>("shape");
        QTest::newRow("empty") << QList<HalvorixServerSite> {} << QStringList {};
        QTest::newRow("one site is a plain country entry")
            << QList<HalvorixServerSite> {site("CHE", "Zurich")} << QStringList {"Switzerland =CHE-Zurich"};
        QTest::newRow("two sites make a submenu of cities")
            << QList<HalvorixServerSite> {site("USA", "New York"), site("USA", "Dallas")}
            << QStringList {"United States: Dallas =USA-Dallas, New York =USA-New York"};
        QTest::newRow("cities compare case-sensitively")
            << QList<HalvorixServerSite> {site("USA", "abilene"), site("USA", "Zion"), site("USA", "Austin")}
            << QStringList {"United States: Austin =USA-Austin, Zion =USA-Zion, abilene =USA-abilene"};
        QTest::newRow("countries in order, lower-case name last")
            << QList<HalvorixServerSite> {site("zz", "Nowhere"), site("USA", "Dallas"), site("AUT", "Vienna"),
                                          site("DEU", "Berlin"), site("DEU", "Frankfurt")}
            << QStringList {"Austria =AUT-Vienna", "Germany: Berlin =DEU-Berlin, Frankfurt =DEU-Frankfurt",
                            "United States =USA-Dallas", "zz =zz-Nowhere"};
    }

    void serverMenu()
    {
        QFETCH(QList<HalvorixServerSite>, sites);
        QFETCH(QStringList, shape);
        TrayWorld world;
        world.tray.setServerSites(sites);
        QMenu &servers = serverMenuOf(world.tray);
        QCOMPARE(serverMenuShape(servers), shape);
        for (const QAction *action : servers.actions()) {
            QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
            if (action->menu()) {
                QCOMPARE(lookOf(action->icon()), lookOf(action->menu()->actions().first()->icon()));
                for (const QAction *city : action->menu()->actions())
                    QVERIFY2(!city->icon().isNull(), qPrintable(city->text()));
            }
        }
    }

    // A rebuilt menu holds only the new sites at once, not the old ones until they are deleted.
    void rebuildReplacesTheEntries()
    {
        TrayWorld world;
        const QStringList catalogue = serverMenuShape(serverMenuOf(world.tray));
        QVERIFY(catalogue.size() > 3);
        world.tray.setServerSites({site("CHE", "Zurich")});
        QCOMPARE(serverMenuShape(serverMenuOf(world.tray)), QStringList {"Switzerland =CHE-Zurich"});
        // The run mode's model hears of a downloaded catalogue and feeds the menu again.
        world.sites.onNewConfigWasDownloaded();
        QCOMPARE(serverMenuShape(serverMenuOf(world.tray)), catalogue);
    }

    void startVPN_data()
    {
        QTest::addColumn<QString>("siteId");
        QTest::addColumn<bool>("openConnect");
        QTest::addColumn<QString>("notification");
        QTest::newRow("OpenVPN") << "USA-Dallas" << false << QString();
        QTest::newRow("OpenConnect") << "USA-Dallas" << true << QString();
        QTest::newRow("unknown site, OpenVPN")
            << "USA-Atlantis" << false
            << "Server not found! | The server might be out of date. Please try another server.";
        QTest::newRow("unknown site, OpenConnect")
            << "USA-Atlantis" << true
            << "Server not found! | The server might be out of date. Please try another server.";
    }

    void startVPN()
    {
        QFETCH(QString, siteId);
        QFETCH(bool, openConnect);
        QFETCH(QString, notification);
        {
            Settings settings;
            settings.setDefaultTunnelType(openConnect ? TunnelType::OPENCONNECT() : TunnelType::OPENVPN243());
            // A stored transport other than the default, so storing it shows.
            settings.setDefaultServerSite(QStringLiteral("CHE-Zurich"), OpenConnectConnectVia::TCP(),
                                          settings.defaultOpenVpn243SelectionConfigCipher());
        }
        TrayWorld world;
        world.tray.startVPN(siteId);
        const bool started = notification.isEmpty();
        QCOMPARE(world.tray.notifications, started ? QStringList() : QStringList {notification});
        if (!started)
            QCOMPARE(world.tray.icons.first(), QSystemTrayIcon::Warning);
        QCOMPARE(world.backend.starts.size(), started ? 1 : 0);
        Settings settings;
        QCOMPARE(settings.defaultServerSite(), started ? siteId : QString("CHE-Zurich"));
        QCOMPARE(world.statistics.getServerFrecuencyUsage().value(siteId), started ? 1u : 0u);
        if (!started)
            return;
        const RecordingVpnBackend::Start &start = world.backend.starts.first();
        QCOMPARE(start.user, QString());
        QCOMPARE(start.password, QString());
        QCOMPARE(start.parameters->getServerSite().getId(), siteId);
        QCOMPARE(start.parameters->getManageRouteProgramCheck(), true);
        QCOMPARE(start.parameters->getTunnelType().toString(),
                 (openConnect ? TunnelType::OPENCONNECT() : TunnelType::OPENVPN243()).toString());
        if (openConnect) {
            QCOMPARE(settings.defaultOpenConnectConnectVia().toString(), OpenConnectConnectVia::TCP().toString());
            QCOMPARE(start.parameters.dynamicCast<OpenConnectConnectionParameters>()->getConnectVia().toString(),
                     OpenConnectConnectVia::TCP().toString());
        }
    }

    // One pick in a country submenu, through real popups and the keyboard as
    // a user makes it: exactly one start and one counted use. (The submenus
    // pass their triggered signal up to the "Server" menu; QAction::trigger()
    // would not show a second connection to them.)
    void onePickThroughRealPopupsStartsOnce()
    {
        TrayWorld world;
        world.tray.menu().popup(QPoint(10, 10));
        QTRY_COMPARE(QApplication::activePopupWidget(), &world.tray.menu());
        QVERIFY(chooseInActivePopup("Server", Qt::Key_Right));
        QTRY_COMPARE(QApplication::activePopupWidget(), &serverMenuOf(world.tray));
        QVERIFY(chooseInActivePopup("United States", Qt::Key_Right));
        QMenu *cities = nullptr;
        QTRY_VERIFY((cities = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
                    && cities->title() == "United States");
        QVERIFY(chooseInActivePopup("New York", Qt::Key_Return));
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QCoreApplication::processEvents();

        QCOMPARE(world.backend.starts.size(), 1);
        QCOMPARE(world.backend.starts.first().parameters->getServerSite().getId(), QString("USA-New York"));
        QCOMPARE(world.statistics.getServerFrecuencyUsage(), (QMap<QString, unsigned int> {{"USA-New York", 1}}));
        QCOMPARE(Settings().defaultServerSite(), QString("USA-New York"));
    }

    void connectToDefault()
    {
        TrayWorld world;
        world.tray.connectToDefault();
        QCOMPARE(world.tray.notifications,
                 QStringList {"No default server found! | Please select a server from the list."});
        QCOMPARE(world.tray.icons.first(), QSystemTrayIcon::Warning);
        QVERIFY(world.backend.starts.isEmpty());

        Settings().setDefaultServerSite(QStringLiteral("DEU-Frankfurt"));
        world.tray.entry("Connect")->setEnabled(true);
        world.tray.entry("Connect")->trigger();
        QCOMPARE(world.backend.starts.size(), 1);
        QCOMPARE(world.backend.starts.first().parameters->getServerSite().getId(), QString("DEU-Frankfurt"));
        QCOMPARE(world.statistics.getServerFrecuencyUsage().value("DEU-Frankfurt"), 1u);
    }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"
