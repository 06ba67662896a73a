#include "AnsweringMessageBoxFactory.h"
#include "FakeMainWindow.h"
#include "RecordingOsAbstraction.h"
#include "RecordingVpnBackend.h"

#include "app/DaemonVpnFrontend.h"
#include "backend/BackendStateTracker.h"
#include "backend/VpnFrontendDispatcher.h"
#include "catalogue/NullConnectionParameters.h"
#include "gui/FrontendLifecycle.h"
#include "gui/TrayIcon.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"
#include "websvc/WhatIsMyLocation.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QtTest>

namespace {

const int QUIT_BOUND_MS = 300;

QSharedPointer<ConnectionParameters> noParameters()
{
    return QSharedPointer<ConnectionParameters>(new NullConnectionParameters);
}

// The run mode's answer: a start-up counts as running.
class LogOnlyTracker : public BackendStateTracker
{
public:
    explicit LogOnlyTracker(const DaemonVpnFrontend &logOnly)
        : m_logOnly(logOnly)
    {
    }
    bool isNetworkGloballyProtected() override { return false; }
    bool isVPNRunning() override { return m_logOnly.isActive(); }

private:
    const DaemonVpnFrontend &m_logOnly;
};

// The run mode's services around the decision class: a recording backend
// that reports through the real dispatcher to the real log-only frontend,
// real tray icons, fake main windows, and the exit request written down.
struct World
{
    QNetworkAccessManager manager;
    WhatIsMyLocation location {&manager, "test", SemVer("1.0.0"), "http://127.0.0.1:1/"};
    RecordingVpnBackend backend;
    RecordingOsAbstraction os;
    UserStatistics statistics;
    VpnFrontendDispatcher dispatcher;
    QSharedPointer<DaemonVpnFrontend> logOnly {new DaemonVpnFrontend(&manager, backend, location)};
    LogOnlyTracker tracker {*logOnly};

    QList<FakeMainWindow *> windows;
    QList<TrayIcon *> trays;
    QList<int> exits;
    bool endHeard = false;
    bool logOnlyAttachedAtEnd = false;
    bool exitedAfterEnd = false;
    QElapsedTimer sinceQuit;
    // Made before the decision class connects: heard first.
    const QMetaObject::Connection endWatch = QObject::connect(logOnly.data(), &DaemonVpnFrontend::runEnded, [this] {
        endHeard = true;
        logOnlyAttachedAtEnd = dispatcher.containsFrontendOfType<DaemonVpnFrontend>();
    });

    FrontendLifecycle lifecycle {dispatcher, backend, *logOnly, [this] { return makeTray(); },
                                 FrontendLifecycle::mainWindowFactory<FakeMainWindow>([this] { return makeWindow(); })};

    World()
    {
        backend.frontend = &dispatcher;
        dispatcher.add(logOnly);
        lifecycle.setQuitBoundMs(QUIT_BOUND_MS);
        lifecycle.setExitRequest([this](int code) {
            exits << code;
            exitedAfterEnd = endHeard;
        });
    }

    ~World()
    {
        dispatcher.removeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QSharedPointer<TrayIcon> makeTray()
    {
        QSharedPointer<TrayIcon> tray(new TrayIcon(backend, os, tracker, statistics), &QObject::deleteLater);
        tray->setStopWaitMs(QUIT_BOUND_MS);
        trays << tray.data();
        return tray;
    }

    QSharedPointer<FakeMainWindow> makeWindow()
    {
        QSharedPointer<FakeMainWindow> window(new FakeMainWindow, &QObject::deleteLater);
        window->show();
        windows << window.data();
        return window;
    }

    void enterPhase(const QString &phase)
    {
        if (phase == "idle")
            return;
        dispatcher.onVpnStartupProgress(
            VpnStartupProgress(noParameters(), "INIT_CONNECTION", VpnStartupProgress::INITIAL));
        if (phase == "starting")
            return;
        dispatcher.onVpnStartupResult(VpnStartupResult(noParameters(), VpnStartupResult::STARTED, "VPN started", 0));
        dispatcher.onUpdateState(VpnConnectionState(noParameters()));
    }

    bool windowAttached(FakeMainWindow *window)
    {
        // A released window is gone; only an attached one hears the dispatcher.
        if (!window)
            return false;
        window->heard.clear();
        dispatcher.showFrontend();
        return window->heard.contains("show");
    }
};

} // namespace

class TestFrontendLifecycle : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void quitDecisions_data();
    void quitDecisions();
    void userInputIsHeldWhileTheRunEnds();
    void trayQuitDuringAStartUpPauseEndsAtOnce();
    void oneTrayIcon();
    void everyMainWindowIsNew();
    void showOrToggleCreatesAWindowOnlyWhenNoneIsAttached_data();
    void showOrToggleCreatesAWindowOnlyWhenNoneIsAttached();
    void startupFrontends_data();
    void startupFrontends();
    void settingsSavedReachesTheTrayAndEveryWindowOnce_data();
    void settingsSavedReachesTheTrayAndEveryWindowOnce();

private:
    QSharedPointer<AnsweringMessageBoxFactory> m_boxes;
};

void TestFrontendLifecycle::init()
{
    m_boxes.reset(new AnsweringMessageBoxFactory);
    MessageBoxFactory::setInstance(m_boxes);
}

void TestFrontendLifecycle::cleanup()
{
    MessageBoxFactory::setInstance({});
    m_boxes.reset();
}

// Triggers: "close" and "quit" (close-to-tray off, File > Quit: detach then
// ask to exit), "close to tray" and "minimise to tray" (detach only), "tray
// quit" (the tray's own question, then its exitApplication),
// "negotiator lost" (exitApplication of the single-instance link), "tray
// off" (the window's preferences saved with the tray icon off).
void TestFrontendLifecycle::quitDecisions_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<int>("windowCount");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<bool>("warning");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("neverEnds");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("exits");

    // clang-format off
    QTest::newRow("close, idle: no question") << "close" << false << 1 << "idle" << true << "" << false << false << "" << true;
    QTest::newRow("quit, idle") << "quit" << false << 1 << "idle" << true << "" << false << false << "" << true;
    QTest::newRow("quit, connected, Yes") << "quit" << false << 1 << "running" << true << "yes" << false << true << "stopVPN" << true;
    QTest::newRow("quit, connected, No") << "quit" << false << 1 << "running" << true << "no" << false << true << "" << false;
    QTest::newRow("close, connected, box closed") << "close" << false << 1 << "running" << true << "close" << false << true << "" << false;
    QTest::newRow("close, connected, warning off") << "close" << false << 1 << "running" << false << "" << false << false << "stopVPN" << true;
    QTest::newRow("close, starting, Yes") << "close" << false << 1 << "starting" << true << "yes" << false << true << "abort" << true;
    QTest::newRow("quit, starting, warning off") << "quit" << false << 1 << "starting" << false << "" << false << false << "abort" << true;
    QTest::newRow("close with tray, connected, Yes") << "close" << true << 1 << "running" << true << "yes" << false << true << "stopVPN" << true;
    QTest::newRow("close with tray, connected, No") << "close" << true << 1 << "running" << true << "no" << false << true << "" << false;
    QTest::newRow("close one of two windows") << "close" << false << 2 << "running" << true << "" << false << false << "" << false;
    QTest::newRow("close to tray") << "close to tray" << true << 1 << "running" << true << "" << false << false << "" << false;
    QTest::newRow("close to no tray: last window gone") << "close to tray" << false << 1 << "running" << true << "" << false << false << "stopVPN" << true;
    QTest::newRow("minimise to tray") << "minimise to tray" << true << 1 << "running" << true << "" << false << false << "" << false;
    QTest::newRow("tray quit, connected, Yes") << "tray quit" << true << 0 << "running" << true << "yes" << false << true << "stopVPN" << true;
    QTest::newRow("tray quit, starting, No") << "tray quit" << true << 1 << "starting" << true << "no" << false << true << "" << false;
    QTest::newRow("tray quit, starting, warning off") << "tray quit" << true << 0 << "starting" << false << "" << false << false << "abort" << true;
    QTest::newRow("negotiator lost, connected") << "negotiator lost" << false << 1 << "running" << true << "" << false << false << "stopVPN" << true;
    QTest::newRow("negotiator lost, starting") << "negotiator lost" << true << 1 << "starting" << true << "" << false << false << "abort" << true;
    QTest::newRow("negotiator lost, idle") << "negotiator lost" << true << 1 << "idle" << true << "" << false << false << "" << true;
    QTest::newRow("tray off, window stays") << "tray off" << true << 1 << "running" << true << "" << false << false << "" << false;
    QTest::newRow("never ends: bound") << "quit" << false << 1 << "running" << false << "" << true << false << "stopVPN" << true;
    QTest::newRow("never ends: start-up bound") << "close" << false << 1 << "starting" << true << "yes" << true << true << "abort" << true;
    QTest::newRow("never ends: tray quit") << "tray quit" << true << 0 << "running" << false << "" << true << false << "stopVPN" << true;
    // clang-format on
}

void TestFrontendLifecycle::quitDecisions()
{
    QFETCH(QString, trigger);
    QFETCH(bool, tray);
    QFETCH(int, windowCount);
    QFETCH(QString, phase);
    QFETCH(bool, warning);
    QFETCH(QString, answer);
    QFETCH(bool, neverEnds);
    QFETCH(bool, asked);
    QFETCH(QString, command);
    QFETCH(bool, exits);

    Settings().setStillActiveWarningEnable(warning);
    if (!answer.isEmpty())
        m_boxes->answerWith({answer});
    World world;
    world.backend.stillRunning = neverEnds;
    if (tray)
        world.lifecycle.createNewTrayIcon();
    for (int i = 0; i < windowCount; ++i)
        world.lifecycle.createNewMainWindow();
    world.enterPhase(phase);
    const QPointer<FakeMainWindow> window = world.windows.value(0);

    world.sinceQuit.start();
    if (trigger == "close") {
        window->close();
    } else if (trigger == "quit") {
        window->emitExitApplication();
    } else if (trigger == "close to tray") {
        window->closeToTray = true;
        window->close();
    } else if (trigger == "minimise to tray") {
        window->minimiseToTray();
    } else if (trigger == "tray quit") {
        world.trays.first()->onQuitApplication();
    } else if (trigger == "negotiator lost") {
        world.lifecycle.onExitApplication();
    } else if (trigger == "tray off") {
        Settings().setTrayIconEnabled(false);
        window->saveSettings();
    }

    QCOMPARE(m_boxes->shown.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(m_boxes->shown.first().text, QString("OrvalVPN is still active."));
    if (exits) {
        QTRY_COMPARE(world.exits, QList<int> {0});
        if (neverEnds) {
            QVERIFY(world.sinceQuit.elapsed() >= QUIT_BOUND_MS);
        } else if (phase != "idle") {
            // Dropped only after the end was reported, to the log-only frontend too.
            QVERIFY(world.exitedAfterEnd);
            QVERIFY(world.logOnlyAttachedAtEnd);
        }
        QVERIFY(!world.dispatcher.containsFrontendOfType<DaemonVpnFrontend>());
        if (window && (trigger == "close" || trigger == "quit"))
            QVERIFY(!window->isVisible());
    } else {
        QTest::qWait(QUIT_BOUND_MS + 100);
        QVERIFY(world.exits.isEmpty());
        QVERIFY(world.dispatcher.containsFrontendOfType<DaemonVpnFrontend>());
        QVERIFY(!world.lifecycle.isQuitting());
        // A window that asked and heard No stays; one that went to the tray is released.
        const bool windowStays = asked || trigger == "tray off";
        QCOMPARE(world.windowAttached(window), windowStays);
        if (windowStays)
            QVERIFY(window->isVisible());
        QCOMPARE(world.dispatcher.containsFrontendOfType<TrayIcon>(), tray && trigger != "tray off");
    }
    const QStringList commands {"stopVPN", "abort"};
    for (const QString &each : commands)
        QCOMPARE(!world.backend.callsOf(each).isEmpty(), each == command);
}

void TestFrontendLifecycle::userInputIsHeldWhileTheRunEnds()
{
    Settings().setStillActiveWarningEnable(false);
    World world;
    world.backend.stillRunning = true;
    world.lifecycle.setQuitBoundMs(5000);
    world.lifecycle.createNewTrayIcon();
    world.lifecycle.createNewMainWindow();
    world.enterPhase("running");
    QPushButton connect("Connect");
    connect.show();
    QSignalSpy clicks(&connect, &QPushButton::clicked);

    world.lifecycle.onExitApplication();
    QVERIFY(world.lifecycle.isQuitting());
    QTest::mouseClick(&connect, Qt::LeftButton);
    QCOMPARE(clicks.size(), 0);
    QVERIFY(world.exits.isEmpty());

    // The end arrives late: the quit finishes and input flows again.
    world.dispatcher.vpnTerminated(VpnTerminationReport(noParameters()));
    QCOMPARE(world.exits, QList<int> {0});
    QTest::mouseClick(&connect, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
}

// A start-up waits in short nested loops of its own and sees an abort only
// when such a pause returns. Quit from the tray during a pause must not wait
// in a loop above it: the start-up's result could not arrive before the bound.
void TestFrontendLifecycle::trayQuitDuringAStartUpPauseEndsAtOnce()
{
    const int bound = 5000;
    Settings().setStillActiveWarningEnable(false);
    World world;
    // The pausing start-up below reports its own end.
    world.backend.stillRunning = true;
    world.lifecycle.setQuitBoundMs(bound);
    world.lifecycle.createNewTrayIcon();
    world.trays.first()->setStopWaitMs(bound);
    world.enterPhase("starting");

    QTimer::singleShot(50, world.trays.first(), &TrayIcon::onQuitApplication);
    QElapsedTimer elapsed;
    elapsed.start();
    while (world.backend.callsOf("abort").isEmpty() && elapsed.elapsed() < 2 * bound) {
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }
    world.dispatcher.onVpnStartupResult(
        VpnStartupResult(noParameters(), VpnStartupResult::ABORTED, "Aborted by the user.", 0));
    QTRY_COMPARE(world.exits, QList<int> {0});
    QVERIFY2(elapsed.elapsed() < bound / 2, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(world.backend.callsOf("abort").size(), 1);
    QVERIFY(world.exitedAfterEnd);
}

void TestFrontendLifecycle::oneTrayIcon()
{
    World world;
    world.lifecycle.createNewTrayIcon();
    world.lifecycle.createNewTrayIcon();
    QCOMPARE(world.trays.size(), 1);
    QVERIFY(world.dispatcher.containsFrontendOfType<TrayIcon>());
}

void TestFrontendLifecycle::everyMainWindowIsNew()
{
    World world;
    world.lifecycle.createNewMainWindow();
    world.lifecycle.createNewMainWindow();
    QCOMPARE(world.windows.size(), 2);
    QVERIFY(world.windowAttached(world.windows.at(0)));
    QVERIFY(world.windowAttached(world.windows.at(1)));
}

void TestFrontendLifecycle::showOrToggleCreatesAWindowOnlyWhenNoneIsAttached_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::newRow("show") << false;
    QTest::newRow("toggle") << true;
}

void TestFrontendLifecycle::showOrToggleCreatesAWindowOnlyWhenNoneIsAttached()
{
    QFETCH(bool, toggle);
    World world;
    world.lifecycle.createNewTrayIcon();
    const auto showOrToggle = [&] {
        if (toggle)
            world.lifecycle.toggleMainWindowVisibility();
        else
            world.lifecycle.showMainWindow();
    };

    showOrToggle();
    QCOMPARE(world.windows.size(), 1);
    QVERIFY(world.windows.first()->heard.isEmpty());

    showOrToggle();
    QCOMPARE(world.windows.size(), 1);
    QCOMPARE(world.windows.first()->heard, QStringList {toggle ? "toggle" : "show"});
}

void TestFrontendLifecycle::startupFrontends_data()
{
    QTest::addColumn<bool>("trayEnabled");
    QTest::addColumn<bool>("startMinimized");
    QTest::addColumn<int>("trays");
    QTest::addColumn<int>("windows");

    QTest::newRow("no tray") << false << false << 0 << 1;
    QTest::newRow("no tray, minimised: a window anyway") << false << true << 0 << 1;
    QTest::newRow("tray") << true << false << 1 << 1;
    QTest::newRow("tray, minimised") << true << true << 1 << 0;
}

void TestFrontendLifecycle::startupFrontends()
{
    QFETCH(bool, trayEnabled);
    QFETCH(bool, startMinimized);
    World world;
    world.lifecycle.createStartupFrontends(trayEnabled, startMinimized);
    QTEST(int(world.trays.size()), "trays");
    QTEST(int(world.windows.size()), "windows");
}

void TestFrontendLifecycle::settingsSavedReachesTheTrayAndEveryWindowOnce_data()
{
    QTest::addColumn<bool>("trayAttached");
    QTest::addColumn<bool>("trayWanted");
    QTest::newRow("tray attached, kept on") << true << true;
    QTest::newRow("tray attached, turned off") << true << false;
    QTest::newRow("no tray, turned on") << false << true;
}

// One window's save: the tray icon follows its preference and every attached
// window shows the preferences again, each once. Offscreen there is no system
// tray, so a tray icon is never wanted whatever the stored choice.
void TestFrontendLifecycle::settingsSavedReachesTheTrayAndEveryWindowOnce()
{
    QFETCH(bool, trayAttached);
    QFETCH(bool, trayWanted);
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    Settings().setTrayIconEnabled(trayWanted);
    World world;
    if (trayAttached)
        world.lifecycle.createNewTrayIcon();
    world.lifecycle.createNewMainWindow();
    world.lifecycle.createNewMainWindow();

    world.windows.at(1)->saveSettings();
    for (const FakeMainWindow *window : qAsConst(world.windows))
        QCOMPARE(window->heard, QStringList {"settings saved"});
    QVERIFY(!world.dispatcher.containsFrontendOfType<TrayIcon>());
    QVERIFY(world.exits.isEmpty());
    QVERIFY(world.windowAttached(world.windows.at(0)));
    QVERIFY(world.windowAttached(world.windows.at(1)));
}

QTEST_MAIN(TestFrontendLifecycle)
#include "tst_frontendlifecycle.moc"
