#include "RecordingOsAbstraction.h"

#include "backend/OpenVpnConnectionParameters.h"
#include "backend/StartupWaits.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/NullConnectionParameters.h"
#include "core/ErrorMessage.h"
#include "core/NullVpnFrontend.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Writes down progress as "KEY state" and errors as "error title".
class StageLog : public NullVpnFrontend
{
public:
    QStringList lines;
    std::function<void()> onProgress;

    void onVpnStartupProgress(const VpnStartupProgress &progress) override
    {
        lines << QStringLiteral("%1 %2").arg(progress.getProgressMessageKey()).arg(progress.getState());
        if (onProgress)
            onProgress();
    }
    void onReceiveErrorMessage(const ErrorMessage &message) override { lines << "error " + message.getMessage(); }

    int count(const QString &line) const { return lines.count(line); }
};

const unsigned long TestPauseMs = 1;

} // namespace

class TestStartupWaits : public QObject
{
    Q_OBJECT

    Settings m_settings;
    RecordingOsAbstraction m_os;
    StageLog m_frontend;
    bool m_abortRequested = false;
    bool m_skipRequested = false;
    const QSharedPointer<ConnectionParameters> parameters {new NullConnectionParameters};

    StartupWaits waits(unsigned long pauseMs = TestPauseMs)
    {
        return StartupWaits(m_settings, m_frontend, m_os, parameters, m_abortRequested, m_skipRequested, pauseMs);
    }

    VpnStartupProgress waiting() const
    {
        return VpnStartupProgress(parameters, QStringLiteral("LOOKUP_HOSTNAME_BEFORE_CONNECTING"),
                                  VpnStartupProgress::WAITING_SKIPPABLE);
    }

    // Sets a flag from the event loop, as the frontend's buttons do.
    static void requestLater(bool &flag)
    {
        QTimer::singleShot(0, [&flag] { flag = true; });
    }

private slots:
    void init()
    {
        m_os.calls.clear();
        m_os.defaultRoute = true;
        m_frontend.lines.clear();
        m_frontend.onProgress = nullptr;
        m_abortRequested = m_skipRequested = false;
        m_os.interfacesEnabled = m_os.interfacesDisabled = true;
        m_os.nameServers.clear();
        m_settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi", "Ethernet"});
    }

    void conditionAlreadyTrueCostsNothing()
    {
        QElapsedTimer timer;
        timer.start();
        const auto outcome = waits(1000).waitLoop([] { return true; }, {true, true, true, "t", "x"}, waiting());
        QCOMPARE(outcome, StartupWaits::CONDITION_MET);
        QVERIFY(m_frontend.lines.isEmpty());
        QVERIFY(timer.elapsed() < 500);
    }

    void warnsOnceAfterTheWarnCycle_data()
    {
        QTest::addColumn<bool>("warn");
        QTest::addColumn<int>("warnings");
        QTest::newRow("warn on") << true << 1;
        QTest::newRow("warn off") << false << 0;
    }

    void warnsOnceAfterTheWarnCycle()
    {
        QFETCH(bool, warn);
        QFETCH(int, warnings);
        int passes = 0;
        const auto outcome =
            waits().waitLoop([&passes] { return ++passes > 200; }, {true, true, warn, "Slow", "Continue?"}, waiting());
        QCOMPARE(outcome, StartupWaits::CONDITION_MET);
        QCOMPARE(m_frontend.count("LOOKUP_HOSTNAME_BEFORE_CONNECTING 7"), 200);
        QCOMPARE(m_frontend.count("error Slow"), warnings);
        if (warnings)
            QCOMPARE(m_frontend.lines.indexOf("error Slow"), StartupWaits::WARN_CYCLE + 1);
    }

    void flagsEndOnlyTheWaitsThatWatchThem_data()
    {
        QTest::addColumn<bool>("abortable");
        QTest::addColumn<bool>("skippable");
        QTest::addColumn<bool>("abort");
        QTest::addColumn<int>("outcome");
        QTest::newRow("abort honoured") << true << false << true << int(StartupWaits::ABORTED);
        QTest::newRow("abort ignored") << false << true << true << int(StartupWaits::CONDITION_MET);
        QTest::newRow("skip honoured") << false << true << false << int(StartupWaits::SKIPPED);
        QTest::newRow("skip ignored") << true << false << false << int(StartupWaits::CONDITION_MET);
    }

    void flagsEndOnlyTheWaitsThatWatchThem()
    {
        QFETCH(bool, abortable);
        QFETCH(bool, skippable);
        QFETCH(bool, abort);
        QFETCH(int, outcome);
        requestLater(abort ? m_abortRequested : m_skipRequested);
        int checks = 0;
        const auto result =
            waits().waitLoop([&checks] { return ++checks > 20; }, {abortable, skippable, false, {}, {}}, waiting());
        QCOMPARE(int(result), outcome);
        // A honoured request ends the wait at the next check, after one pause;
        // an ignored one leaves it to its condition.
        QCOMPARE(m_frontend.lines.size(), result == StartupWaits::CONDITION_MET ? 20 : 1);
    }

    void waitsSleepInsteadOfSpinning()
    {
        QElapsedTimer timer;
        timer.start();
        int checks = 0;
        const auto outcome =
            waits(10).waitLoop([&checks] { return ++checks > 10; }, {true, true, false, {}, {}}, waiting());
        QCOMPARE(outcome, StartupWaits::CONDITION_MET);
        QCOMPARE(checks, 11);
        QVERIFY2(timer.elapsed() >= 100, qPrintable(QString::number(timer.elapsed())));
    }

    void defaultRoutePresent()
    {
        QVERIFY(waits().checkDefaultRoute());
        QCOMPARE(m_frontend.lines, QStringList({"CHECKING_DEFAULT_ROUTE 4", "CHECKING_DEFAULT_ROUTE 1"}));
    }

    void defaultRouteArrivesLater()
    {
        m_os.defaultRoute = false;
        int waitingMessages = 0;
        m_frontend.onProgress = [&] {
            if (m_frontend.lines.last() == "CHECKING_DEFAULT_ROUTE 6" && ++waitingMessages == 3)
                m_os.defaultRoute = true;
        };
        requestLater(m_skipRequested); // not skippable: changes nothing
        QVERIFY(waits().checkDefaultRoute());
        QCOMPARE(m_frontend.lines,
                 QStringList({"CHECKING_DEFAULT_ROUTE 4", "CHECKING_DEFAULT_ROUTE 6", "CHECKING_DEFAULT_ROUTE 6",
                              "CHECKING_DEFAULT_ROUTE 6", "CHECKING_DEFAULT_ROUTE 1"}));
    }

    void defaultRouteWaitAborted()
    {
        m_os.defaultRoute = false;
        requestLater(m_abortRequested);
        QVERIFY(!waits().checkDefaultRoute());
        QCOMPARE(m_frontend.lines.last(), QStringLiteral("CHECKING_DEFAULT_ROUTE 2"));
        QCOMPARE(m_frontend.lines.filter("error").size(), 0);
    }

    // No wait gives up on its own, however long its condition takes: only the
    // condition, an abort or a skip ends it (here long after the minute or two
    // that a time limit would have allowed at the usual pause).
    void waitsHaveNoTimeLimit_data()
    {
        QTest::addColumn<int>("stage"); // 0 default route, 1 enabling services, 2 disabling services
        QTest::addColumn<QString>("waiting");
        QTest::addColumn<QString>("done");
        QTest::newRow("default route") << 0 << "CHECKING_DEFAULT_ROUTE 6"
                                       << "CHECKING_DEFAULT_ROUTE 1";
        QTest::newRow("enabling services") << 1 << "ACTIVATE_INTERFACES 7"
                                           << "ACTIVATE_INTERFACES 1";
        QTest::newRow("disabling services") << 2 << "DISABLE_INTERFACES 7"
                                            << "DISABLE_INTERFACES 1";
    }

    void waitsHaveNoTimeLimit()
    {
        QFETCH(int, stage);
        QFETCH(QString, waiting);
        QFETCH(QString, done);
        const int cycles = 1000;
        m_os.defaultRoute = stage != 0;
        m_os.interfacesEnabled = stage != 1;
        m_os.interfacesDisabled = stage != 2;
        m_frontend.onProgress = [&] {
            if (m_frontend.count(waiting) == cycles)
                m_os.defaultRoute = m_os.interfacesEnabled = m_os.interfacesDisabled = true;
        };
        StartupWaits stages = waits();
        if (stage == 0)
            QVERIFY(stages.checkDefaultRoute());
        else if (stage == 1)
            QVERIFY(stages.activateInternetKillSwitchDisabledInterfaces());
        else
            stages.disableInternetKillSwitchInterfaces();
        QCOMPARE(m_frontend.count(waiting), cycles);
        QCOMPARE(m_frontend.lines.last(), done);
        // Only the skippable stages warn of the long wait, once.
        QCOMPARE(m_frontend.lines.filter("error").size(), stage == 0 ? 0 : 1);
    }

    void activation_data()
    {
        QTest::addColumn<int>("request"); // 0 none, 1 skip, 2 abort
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<QStringList>("stages");
        QTest::newRow("enabled") << 0 << true << QStringList {"ACTIVATE_INTERFACES 5", "ACTIVATE_INTERFACES 1"};
        QTest::newRow("skipped") << 1 << true
                                 << QStringList {"ACTIVATE_INTERFACES 5", "ACTIVATE_INTERFACES 7",
                                                 "ACTIVATE_INTERFACES 3"};
        QTest::newRow("aborted") << 2 << false
                                 << QStringList {"ACTIVATE_INTERFACES 5", "ACTIVATE_INTERFACES 7",
                                                 "ACTIVATE_INTERFACES 2"};
    }

    void activation()
    {
        QFETCH(int, request);
        QFETCH(bool, goOn);
        QFETCH(QStringList, stages);
        m_os.interfacesEnabled = request == 0;
        if (request)
            requestLater(request == 1 ? m_skipRequested : m_abortRequested);
        StartupWaits stages_ = waits();
        QCOMPARE(stages_.activateInternetKillSwitchDisabledInterfaces(), goOn);
        QCOMPARE(m_frontend.lines, stages);
        QCOMPARE(m_os.callsOf("enableInterfaces"),
                 QStringList({"enableInterfaces [Wi-Fi]", "enableInterfaces [Ethernet]"}));
        // Every attempt forgets the recorded services, whatever its outcome.
        QVERIFY(m_settings.internetKillSwitchDisabledInterfaces().isEmpty());
        QVERIFY(stages_.areKillSwitchInterfacesActivated());
    }

    void disablingIgnoresAbortButNotSkip()
    {
        StartupWaits stages = waits();
        QVERIFY(stages.activateInternetKillSwitchDisabledInterfaces());
        m_frontend.lines.clear();
        m_os.interfacesDisabled = false;
        m_abortRequested = true; // the abort being carried out
        int waiting = 0;
        m_frontend.onProgress = [&] {
            if (m_frontend.lines.last() == "DISABLE_INTERFACES 7" && ++waiting == 2)
                m_skipRequested = true;
        };
        stages.disableInternetKillSwitchInterfaces();
        QCOMPARE(m_frontend.lines, QStringList({"DISABLE_INTERFACES 5", "DISABLE_INTERFACES 7", "DISABLE_INTERFACES 7",
                                                "DISABLE_INTERFACES 3"}));
        QCOMPARE(m_os.callsOf("disableKillSwitchInterfaces").size(), 1);
        QVERIFY(!stages.areKillSwitchInterfacesActivated());
    }

    // The refresh is created stopped: the stage must start it, or the wait
    // would only end by the user's skip.
    void hostnameLookupRunsTheRefresh()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("site-udp.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("client\nremote 192.0.2.1 1194\n");
        file.close();
        const HalvorixServerSite site("DEU", "Berlin", "site-udp.conf", "site-tcp.conf", false, false, QDir(dir.path()),
                                      {}, QHostAddress(), GeoLocation(), QString(), 0);
        const QSharedPointer<ConnectionParameters> withHosts(
            new OpenVpnConnectionParameters(site, ConnectVia::UDP(), BackendOpenVPNConfigCipher(),
                                            ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true));
        m_os.nameServers = {QHostAddress("127.0.0.53")};
        StartupWaits stages(m_settings, m_frontend, m_os, withHosts, m_abortRequested, m_skipRequested, TestPauseMs);
        QVERIFY(stages.lookupHostnameBeforeConnecting());
        QCOMPARE(m_frontend.lines.first(), QStringLiteral("LOOKUP_HOSTNAME_BEFORE_CONNECTING 5"));
        QCOMPARE(m_frontend.lines.last(), QStringLiteral("LOOKUP_HOSTNAME_BEFORE_CONNECTING 1"));
        QVERIFY(m_frontend.lines.filter("error").isEmpty());
        QCOMPARE(m_os.callsOf("protectHost").size(), 1);
        QCOMPARE(m_os.callsOf("releaseHost").size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStartupWaits)
#include "tst_startup_waits.moc"
