#include "../handlers/RecordingEngineControls.h"
#include "../handlers/RecordingStateTracker.h"
#include "RecordingOsAbstraction.h"

#include "websvc/SemVer.h"
#include "backend/AbortedVpnProcess.h"
#include "backend/DedicatedIpHandler.h"
#include "backend/HandlerList.h"
#include "backend/IpPoolList.h"
#include "backend/LegacySignalsHandler.h"
#include "backend/NullConnectionParameters.h"
#include "backend/NullHandler.h"
#include "backend/NullTunnelHandler.h"
#include "backend/OpenVpnConnectionParameters.h"
#include "backend/StartedVpnProcess.h"
#include "backend/VpnBackend.h"
#include "backend/VpnConnectionState.h"
#include "backend/VpnFrontendDispatcher.h"
#include "backend/VpnStartupImpl.h"
#include "backend/VpnStartupResult.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/WebConfigSource.h"
#include "openvpn/ConnectVia.h"
#include "openvpn/STunnelHandler.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"
#include "websvc/WhatIsMyIp.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class StageLog : public VpnFrontendDispatcher
{
public:
    QStringList lines;
    QStringList results;
    void onVpnStartupProgress(const VpnStartupProgress& progress) override
    {
        lines << QStringLiteral("%1 %2").arg(progress.getProgressMessageKey()).arg(progress.getState());
    }
    void onVpnStartupResult(const VpnStartupResult& result) override
    {
        const int flags = (result.isRoutingTableManagerProgramCheckFailed() ? 1 : 0) | (result.isIksSettingsAsk() ? 2 : 0)
            | (result.isTunTapProblemDetected() ? 4 : 0);
        results << QStringLiteral("%1 %2 %3").arg(result.getType()).arg(result.getMessage()).arg(flags);
    }
};

class QuietBackend : public VpnBackend
{
public:
    std::function<void(QString, QString)> getErrorSender() override { return [](QString, QString) {}; }
    void sendErrorMessageToFrontend(QString, QString) override {}
    void startVPN(QSharedPointer<ConnectionParameters>, QString, QString) override {}
    void skip() override {}
    void abort() override {}
    void login(const QString&, const QString&) override {}
    void stopVPN() override {}
    void setSystemNameServers(DnsListEntry) override {}
    void closeEvent(quint64) override {}
    void refreshPublicIp() override {}
};

const QString Local = QStringLiteral("http://127.0.0.1:9/");

} // namespace

class TestVpnStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Settings settings;
    RecordingOsAbstraction os;
    StageLog frontend;
    RecordingStateTracker tracker;
    QStringList socketCalls;
    RecordingManagementSocket socket {socketCalls};
    QNetworkAccessManager network;
    DnsStack dnsStack {os};
    HandlerList handlers;
    IpPoolList pools;
    BlackHoleRouteManager routes {os, frontend};
    VpnConnectionState state {QSharedPointer<ConnectionParameters>(new NullConnectionParameters)};
    LifeCycleClient lifeCycle {&network, "id", SemVer("1.0.0"), Local, QString(), QString()};
    WebConfigSource webConfig {&network, "id", SemVer("1.0.0"), Local, QString()};
    WhatIsMyIp whatIsMyIp {&network, "OrvalVPN", SemVer("1.0.0"), Local};
    QuietBackend backend;

    QSharedPointer<ConnectionParameters> parameters(ConnectionParameters::STunnelMode mode = ConnectionParameters::NO_STUNNEL,
                                                    Settings::IksSettings iks = Settings::NOOP, bool tunTap = false,
                                                    bool routeProgram = false)
    {
        const HalvorixServerSite site("DEU", "Berlin", "site-udp.conf", "site-tcp.conf", false, false,
                                      QDir(dir.path()), {}, QHostAddress(), GeoLocation(), QString(), 0);
        const BackendOpenVPNConfigCipher cipher("AES-256-GCM", 1194, "SHA512", QString(), QString(), QString(),
                                                QString(), 443);
        return QSharedPointer<ConnectionParameters>(
            new OpenVpnConnectionParameters(site, ConnectVia::UDP(), cipher, mode, iks, tunTap, routeProgram));
    }

    QSharedPointer<VpnProcess> start(const QSharedPointer<ConnectionParameters>& p, VpnStartupImpl** out = nullptr)
    {
        VpnStartupImpl startup(settings, p, &network, frontend, tracker, os, dnsStack, handlers, pools, socket,
                               QSharedPointer<OpenVpnLifeCycleHandler>(new NullHandler), 1);
        if (out)
            *out = &startup;
        if (abortDuringWait)
            QTimer::singleShot(0, &startup, &VpnStartup::onStartVPNAborted);
        return startup.startVPN({"user", "secret"}, routes, state, lifeCycle, webConfig, whatIsMyIp, backend);
    }

    bool abortDuringWait = false;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QSettings().setValue(QStringLiteral("config/configDir"), dir.path());
        QFile file(dir.filePath("site-udp.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("client\nremote 192.0.2.1 1194\n");
    }

    void init()
    {
        settings.setSeamlessReconnect(false);
        settings.setPreventIPv6Leak(false);
        settings.setLookupHostnameBeforeConnecting(false);
        settings.setRefreshDNSCache(false);
        settings.setInternetKillSwitch(false);
        settings.setTerminateProcessesOnDisconnect(false);
        settings.setInternetKillSwitchDisabledInterfaces({});
        os.calls.clear();
        os.defaultRoute = true;
        os.tunTapProblem = false;
        os.routeProgram = true;
        frontend.lines.clear();
        socketCalls.clear();
        handlers.list.clear();
        abortDuringWait = false;
    }

    void startsTheEngineWithEveryStageInOrder()
    {
        const auto process = start(parameters());
        QVERIFY(process.dynamicCast<StartedVpnProcess>());
        QCOMPARE(frontend.lines,
                 QStringList({"INIT_CONNECTION 0", "PRELIMINARY_CHECKS 4", "PRELIMINARY_CHECKS 1",
                              "CHECKING_DEFAULT_ROUTE 4", "CHECKING_DEFAULT_ROUTE 1", "PREPARE_OPENVPN_ENVIRONMENT 4",
                              "PREPARE_OPENVPN_ENVIRONMENT 1", "OPENVPN_STARTING 4", "OPENVPN_STARTING 1"}));
        QCOMPARE(socketCalls, QStringList({"startVPN"}));
        QVERIFY(pools.hasValidIp());
        QCOMPARE(pools.getIp(), QHostAddress("192.0.2.1"));
        // The backend's own handler comes last, the legacy signals before it.
        QVERIFY(handlers.list.last().dynamicCast<NullHandler>());
        QVERIFY(handlers.list.at(handlers.list.size() - 2).dynamicCast<LegacySignalsHandler>());
    }

    void preliminaryChecksAreNotShortCircuited_data()
    {
        QTest::addColumn<bool>("tunTapProblem");
        QTest::addColumn<bool>("routeProgramFails");
        QTest::addColumn<bool>("recordedServices");
        QTest::addColumn<int>("iks");
        QTest::addColumn<int>("flags");
        QTest::newRow("route program and TUN/TAP") << true << true << false << int(Settings::NOOP) << 5;
        QTest::newRow("ask about services") << false << false << true << int(Settings::ASK) << 2;
        QTest::newRow("all three") << true << true << true << int(Settings::ASK) << 7;
    }

    void preliminaryChecksAreNotShortCircuited()
    {
        QFETCH(bool, tunTapProblem);
        QFETCH(bool, routeProgramFails);
        QFETCH(bool, recordedServices);
        QFETCH(int, iks);
        QFETCH(int, flags);
        settings.setSeamlessReconnect(true);
        os.tunTapProblem = tunTapProblem;
        os.routeProgram = !routeProgramFails;
        if (recordedServices)
            settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi"});
        const auto process = start(parameters(ConnectionParameters::NO_STUNNEL, Settings::IksSettings(iks), true, true));
        QVERIFY(process.dynamicCast<AbortedVpnProcess>());
        process->sendResultTo(frontend);
        QCOMPARE(frontend.results.last(), QStringLiteral("1 Preliminary checks failed! %1").arg(flags));
        QCOMPARE(frontend.lines.last(), QStringLiteral("PRELIMINARY_CHECKS 2"));
        QVERIFY(socketCalls.isEmpty());
        QVERIFY(os.callsOf("enableInterfaces").isEmpty());
    }

    void tunnelHandlerFollowsTheStunnelMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("tunnel");
        QTest::newRow("stunnel") << 0 << "stunnel";
        QTest::newRow("no stunnel") << 1 << "null";
        QTest::newRow("unknown") << 5 << "";
    }

    void tunnelHandlerFollowsTheStunnelMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, tunnel);
        QVERIFY(start(parameters(ConnectionParameters::STunnelMode(mode))).dynamicCast<StartedVpnProcess>());
        QStringList found;
        for (const auto& handler : handlers.list) {
            if (handler.dynamicCast<STunnelHandler>())
                found << "stunnel";
            else if (handler.dynamicCast<NullTunnelHandler>())
                found << "null";
            QVERIFY(!handler.dynamicCast<DedicatedIpHandler>()); // the site has no dedicated address
        }
        QCOMPARE(found, tunnel.isEmpty() ? QStringList() : QStringList {tunnel});
    }

    void abortAfterActivationDisablesTheServicesAgain()
    {
        settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi"});
        os.defaultRoute = false;
        abortDuringWait = true;
        const auto process = start(parameters(ConnectionParameters::NO_STUNNEL, Settings::ENABLE));
        QVERIFY(process.dynamicCast<AbortedVpnProcess>());
        process->sendResultTo(frontend);
        QCOMPARE(frontend.results.last(), QStringLiteral("0 Aborted by the user. 0"));
        QCOMPARE(os.callsOf("enableInterfaces").size(), 1);
        QCOMPARE(os.callsOf("disableKillSwitchInterfaces").size(), 1);
        QVERIFY(frontend.lines.contains("CHECKING_DEFAULT_ROUTE 2"));
        QCOMPARE(frontend.lines.last(), QStringLiteral("DISABLE_INTERFACES 1"));
        QVERIFY(socketCalls.isEmpty());
        QVERIFY(!pools.hasValidIp());
    }
};

QTEST_GUILESS_MAIN(TestVpnStartup)
#include "tst_vpnstartup.moc"
