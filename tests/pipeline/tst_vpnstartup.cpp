#include "../handlers/RecordingEngineControls.h"
#include "../handlers/RecordingStateTracker.h"
#include "RecordingOsAbstraction.h"

#include "backend/AbortedVpnProcess.h"
#include "backend/DedicatedIpHandler.h"
#include "backend/LegacySignalsHandler.h"
#include "backend/NullTunnelHandler.h"
#include "backend/OpenVpnConnectionParameters.h"
#include "backend/StartedVpnProcess.h"
#include "backend/VpnBackend.h"
#include "backend/VpnStartupImpl.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/NullConnectionParameters.h"
#include "catalogue/WebConfigSource.h"
#include "core/HandlerList.h"
#include "core/IpPoolList.h"
#include "core/NullHandler.h"
#include "core/NullVpnFrontend.h"
#include "core/SemVer.h"
#include "core/VpnConnectionState.h"
#include "core/VpnStartupResult.h"
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

#include <typeinfo>

namespace {

class StageLog : public NullVpnFrontend
{
public:
    QStringList lines;
    QStringList results;
    void onVpnStartupProgress(const VpnStartupProgress &progress) override
    {
        lines << QStringLiteral("%1 %2").arg(progress.getProgressMessageKey()).arg(progress.getState());
    }
    void onVpnStartupResult(const VpnStartupResult &result) override
    {
        const int flags = (result.isRoutingTableManagerProgramCheckFailed() ? 1 : 0)
                          | (result.isIksSettingsAsk() ? 2 : 0) | (result.isTunTapProblemDetected() ? 4 : 0);
        results << QStringLiteral("%1 %2 %3").arg(result.getType()).arg(result.getMessage()).arg(flags);
    }
};

class QuietBackend : public VpnBackend
{
public:
    std::function<void(QString, QString)> getErrorSender() override
    {
        return [](QString, QString) {};
    }
    void sendErrorMessageToFrontend(QString, QString) override {}
    void startVPN(QSharedPointer<ConnectionParameters>, QString, QString) override {}
    void skip() override {}
    void abort() override {}
    void login(const QString &, const QString &) override {}
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

    QTemporaryDir m_dir;
    Settings m_settings;
    RecordingOsAbstraction m_os;
    StageLog m_frontend;
    RecordingStateTracker m_tracker;
    QStringList m_socketCalls;
    RecordingManagementSocket m_socket {m_socketCalls};
    QNetworkAccessManager m_network;
    DnsStack m_dnsStack {m_os};
    HandlerList m_handlers;
    IpPoolList m_pools;
    BlackHoleRouteManager m_routes {m_os, m_frontend};
    VpnConnectionState m_state {QSharedPointer<ConnectionParameters>(new NullConnectionParameters)};
    LifeCycleClient m_lifeCycle {&m_network, "id", SemVer("1.0.0"), Local, QString(), QString()};
    WebConfigSource m_webConfig {&m_network, "id", SemVer("1.0.0"), Local, QString()};
    WhatIsMyIp m_whatIsMyIp {&m_network, "OrvalVPN", SemVer("1.0.0"), Local};
    QuietBackend m_backend;

    QSharedPointer<ConnectionParameters>
    parameters(ConnectionParameters::STunnelMode mode = ConnectionParameters::NO_STUNNEL,
               Settings::IksSettings iks = Settings::NOOP, bool tunTap = false, bool routeProgram = false)
    {
        const HalvorixServerSite site("DEU", "Berlin", "site-udp.conf", "site-tcp.conf", false, false,
                                      QDir(m_dir.path()), {}, QHostAddress(), GeoLocation(), QString(), 0);
        const BackendOpenVPNConfigCipher cipher("AES-256-GCM", 1194, "SHA512", QString(), QString(), QString(),
                                                QString(), 443);
        return QSharedPointer<ConnectionParameters>(
            new OpenVpnConnectionParameters(site, ConnectVia::UDP(), cipher, mode, iks, tunTap, routeProgram));
    }

    QSharedPointer<VpnProcess> start(const QSharedPointer<ConnectionParameters> &p, VpnStartupImpl **out = nullptr)
    {
        VpnStartupImpl startup(m_settings, p, &m_network, m_frontend, m_tracker, m_os, m_dnsStack, m_handlers, m_pools,
                               m_socket, QSharedPointer<OpenVpnLifeCycleHandler>(new NullHandler), 1);
        if (out)
            *out = &startup;
        if (m_abortDuringWait)
            QTimer::singleShot(0, &startup, &VpnStartup::onStartVPNAborted);
        return startup.startVPN({"user", "secret"}, m_routes, m_state, m_lifeCycle, m_webConfig, m_whatIsMyIp,
                                m_backend);
    }

    bool m_abortDuringWait = false;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QSettings().setValue(QStringLiteral("config/configDir"), m_dir.path());
        QFile file(m_dir.filePath("site-udp.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("client\nremote 192.0.2.1 1194\n");
    }

    void init()
    {
        m_settings.setSeamlessReconnect(false);
        m_settings.setPreventIPv6Leak(false);
        m_settings.setLookupHostnameBeforeConnecting(false);
        m_settings.setRefreshDNSCache(false);
        m_settings.setInternetKillSwitch(false);
        m_settings.setTerminateProcessesOnDisconnect(false);
        m_settings.setInternetKillSwitchDisabledInterfaces({});
        m_os.calls.clear();
        m_os.defaultRoute = true;
        m_os.tunTapProblem = false;
        m_os.routeProgram = true;
        m_frontend.lines.clear();
        m_socketCalls.clear();
        m_handlers.list.clear();
        m_abortDuringWait = false;
    }

    void startsTheEngineWithEveryStageInOrder()
    {
        const auto process = start(parameters());
        QVERIFY(process.dynamicCast<StartedVpnProcess>());
        QCOMPARE(m_frontend.lines,
                 QStringList({"INIT_CONNECTION 0", "PRELIMINARY_CHECKS 4", "PRELIMINARY_CHECKS 1",
                              "CHECKING_DEFAULT_ROUTE 4", "CHECKING_DEFAULT_ROUTE 1", "PREPARE_OPENVPN_ENVIRONMENT 4",
                              "PREPARE_OPENVPN_ENVIRONMENT 1", "OPENVPN_STARTING 4", "OPENVPN_STARTING 1"}));
        QCOMPARE(m_socketCalls, QStringList({"startVPN"}));
        QVERIFY(m_pools.hasValidIp());
        QCOMPARE(m_pools.getIp(), QHostAddress("192.0.2.1"));
        // The backend's own handler comes last, the legacy signals before it.
        QVERIFY(m_handlers.list.last().dynamicCast<NullHandler>());
        QVERIFY(m_handlers.list.at(m_handlers.list.size() - 2).dynamicCast<LegacySignalsHandler>());
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
        m_settings.setSeamlessReconnect(true);
        m_os.tunTapProblem = tunTapProblem;
        m_os.routeProgram = !routeProgramFails;
        if (recordedServices)
            m_settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi"});
        const auto process =
            start(parameters(ConnectionParameters::NO_STUNNEL, Settings::IksSettings(iks), true, true));
        QVERIFY(process.dynamicCast<AbortedVpnProcess>());
        process->sendResultTo(m_frontend);
        QCOMPARE(m_frontend.results.last(), QStringLiteral("1 Preliminary checks failed! %1").arg(flags));
        QCOMPARE(m_frontend.lines.last(), QStringLiteral("PRELIMINARY_CHECKS 2"));
        QVERIFY(m_socketCalls.isEmpty());
        QVERIFY(m_os.callsOf("enableInterfaces").isEmpty());
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
        for (const auto &handler : m_handlers.list) {
            if (handler.dynamicCast<STunnelHandler>())
                found << "stunnel";
            else if (handler.dynamicCast<NullTunnelHandler>())
                found << "null";
            QVERIFY(!handler.dynamicCast<DedicatedIpHandler>()); // the site has no dedicated address
        }
        QCOMPARE(found, tunnel.isEmpty() ? QStringList() : QStringList {tunnel});
    }

    // Every optional handler on: the engine's events reach them in this order.
    void handlersInCallOrder()
    {
        m_settings.setInternetKillSwitch(true);
        m_settings.setTerminateProcessesOnDisconnect(true);
        m_settings.setRefreshDNSCache(true);
        const HalvorixServerSite site("DEU", "Berlin", "site-udp.conf", "site-tcp.conf", false, false,
                                      QDir(m_dir.path()), {}, QHostAddress("198.51.100.4"), GeoLocation(), QString(),
                                      0);
        const BackendOpenVPNConfigCipher cipher("AES-256-GCM", 1194, "SHA512", QString(), QString(), "xor", QString(),
                                                443);
        const QSharedPointer<ConnectionParameters> stealth(
            new OpenVpnConnectionParameters(site, ConnectVia::TCP_WITH_STEALTH_PROXY(), cipher,
                                            ConnectionParameters::WITH_STUNNEL, Settings::NOOP, false, false));
        int sigTermPosition = -1;
        m_os.onCall = [&](const QString &line) {
            if (line.startsWith("addSigTermHandler"))
                sigTermPosition = m_handlers.list.size();
        };
        QVERIFY(start(stealth).dynamicCast<StartedVpnProcess>());
        m_os.onCall = nullptr;
        QStringList names;
        for (const auto &handler : m_handlers.list) {
            QString name = QString::fromLatin1(typeid(*handler).name());
            while (!name.isEmpty() && name.at(0).isDigit())
                name.remove(0, 1);
            names << name;
        }
        QCOMPARE(names, QStringList({"IpPoolHandler",
                                     "CredentialsHandler",
                                     "LifeCycleClientHandler",
                                     "CipherHandler",
                                     "BindIpv6Handler",
                                     "DnsHandler",
                                     "PinnedIPHandler",
                                     "DedicatedIpHandler",
                                     "InternetKillSwitchHandler",
                                     "AppKillSwitchHandler",
                                     "FireWallWarningHandler",
                                     "TunManagerHandler",
                                     "ConnectionTimerHandler",
                                     "WhatIsMyIpHandler",
                                     "FailureCauseHandler",
                                     "STunnelHandler",
                                     "ShadowSocksLauncher",
                                     "LocalDnsJsonRefreshHandler",
                                     "LegacySignalsHandler",
                                     "NullHandler"}));
        QCOMPARE(sigTermPosition, 3);
        // The dedicated address comes first among the pools.
        QCOMPARE(m_pools.getIp(), QHostAddress("198.51.100.4"));
    }

    // The before-connect script is started, not awaited; an abort that
    // arrives meanwhile still keeps the engine from starting.
    void abortWhileTheScriptStartsKeepsTheEngineOff()
    {
        m_settings.setExecuteExternalScripts(true);
        m_settings.setPathToBeforeConnectScript(QStringLiteral("/bin/true"));
        m_abortDuringWait = true;
        const auto process = start(parameters());
        m_settings.setExecuteExternalScripts(false);
        QVERIFY(process.dynamicCast<AbortedVpnProcess>());
        QVERIFY(m_socketCalls.isEmpty());
        QCOMPARE(m_frontend.lines.last(), QStringLiteral("PREPARE_OPENVPN_ENVIRONMENT 1"));
        QVERIFY(m_os.callsOf("disableKillSwitchInterfaces").isEmpty());
        QVERIFY(!m_pools.hasValidIp());
    }

    void abortAfterActivationDisablesTheServicesAgain()
    {
        m_settings.setInternetKillSwitchDisabledInterfaces({"Wi-Fi"});
        m_os.defaultRoute = false;
        m_abortDuringWait = true;
        const auto process = start(parameters(ConnectionParameters::NO_STUNNEL, Settings::ENABLE));
        QVERIFY(process.dynamicCast<AbortedVpnProcess>());
        process->sendResultTo(m_frontend);
        QCOMPARE(m_frontend.results.last(), QStringLiteral("0 Aborted by the user. 0"));
        QCOMPARE(m_os.callsOf("enableInterfaces").size(), 1);
        QCOMPARE(m_os.callsOf("disableKillSwitchInterfaces").size(), 1);
        QVERIFY(m_frontend.lines.contains("CHECKING_DEFAULT_ROUTE 2"));
        QCOMPARE(m_frontend.lines.last(), QStringLiteral("DISABLE_INTERFACES 1"));
        QVERIFY(m_socketCalls.isEmpty());
        QVERIFY(!m_pools.hasValidIp());
    }
};

QTEST_GUILESS_MAIN(TestVpnStartup)
#include "tst_vpnstartup.moc"
