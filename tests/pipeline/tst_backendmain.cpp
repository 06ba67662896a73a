#include "../backend/FakeConnectionParameters.h"
#include "BackendWorld.h"
#include "RecordingOsAbstraction.h"

#include "backend/AbortedVpnProcess.h"
#include "backend/StartedVpnProcess.h"
#include "backend/VpnBackendMain.h"
#include "catalogue/WebConfigSource.h"
#include "core/HandlerList.h"
#include "core/NullHandler.h"
#include "core/NullVpnFrontend.h"
#include "core/VpnStartup.h"
#include "core/VpnStartupResult.h"
#include "openvpn/OpenVpnCommand.h"
#include "prefs/Settings.h"
#include "system/BlackHoleRoute.h"
#include "system/BlackHoleRouteManager.h"
#include "system/DnsStack.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/WhatIsMyIp.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Results, states and errors as the frontend sees them.
class Frontend : public NullVpnFrontend
{
public:
    QStringList seen;
    QList<QSharedPointer<ConnectionParameters>> resultParameters;
    void onVpnStartupResult(const VpnStartupResult &result) override
    {
        seen << QStringLiteral("result %1").arg(result.getType());
        resultParameters << result.getConnectionParameters();
    }
    void onUpdateState(const VpnConnectionState &state) override { seen << "state " + state.getState(); }
    void onReceiveErrorMessage(const ErrorMessage &message) override { seen << "error " + message.getMessage(); }
    void onNewConfigWasDownloaded() override { seen << QStringLiteral("newconfig"); }
};

class ScriptedStartup;
using Script = std::function<QSharedPointer<VpnProcess>(ScriptedStartup &)>;

// A start-up that runs the test's script in place of the pipeline.
class ScriptedStartup : public VpnStartup
{
public:
    ScriptedStartup(QSharedPointer<ConnectionParameters> parameters, const Script &script, ManagementSocket &socket,
                    HandlerList &handlers, QSharedPointer<OpenVpnLifeCycleHandler> extra)
        : VpnStartup(std::move(parameters))
        , socket(socket)
        , m_handlers(handlers)
        , m_extra(std::move(extra))
        , m_script(script)
    {
    }

    QSharedPointer<VpnProcess> startVPN(Credentials, BlackHoleRouteManager &, VpnConnectionState &, LifeCycleClient &,
                                        WebConfigSource &, WhatIsMyIp &, VpnBackend &) override
    {
        return m_script(*this);
    }

    // Starts the engine on the backend's management socket, as the pipeline does.
    QSharedPointer<VpnProcess> startEngine()
    {
        m_handlers.list = {m_extra};
        socket.startVPN(m_parameters);
        return QSharedPointer<VpnProcess>(new StartedVpnProcess(
            VpnStartupResult(m_parameters, VpnStartupResult::STARTED, QStringLiteral("VPN started"), 0), socket,
            QSharedPointer<BlackHoleRoute>()));
    }
    QSharedPointer<VpnProcess> aborted()
    {
        return QSharedPointer<VpnProcess>(new AbortedVpnProcess(
            VpnStartupResult(m_parameters, VpnStartupResult::ABORTED, QStringLiteral("Aborted by the user."), 0)));
    }

    ManagementSocket &socket;

private:
    HandlerList &m_handlers;
    QSharedPointer<OpenVpnLifeCycleHandler> m_extra;
    Script m_script;
};

class ScriptedParameters : public FakeConnectionParameters
{
public:
    explicit ScriptedParameters(Script script, int &starts)
        : m_script(std::move(script))
        , m_starts(starts)
    {
    }

    QSharedPointer<VpnStartup> createVpnStartup(Settings &, QSharedPointer<ConnectionParameters> self,
                                                QNetworkAccessManager *, VpnFrontend &, VpnStateTracker &,
                                                OsAbstraction &, DnsStack &, HandlerList &handlers, IpPoolList &,
                                                ManagementSocket &socket, OpenConnectManagementSocket &,
                                                QSharedPointer<OpenVpnLifeCycleHandler> extra) const override
    {
        ++m_starts;
        return QSharedPointer<VpnStartup>(new ScriptedStartup(self, m_script, socket, handlers, extra));
    }

private:
    Script m_script;
    int &m_starts;
};

// Hears the engine events after the connection's own handlers.
class ExtraHandler : public NullHandler
{
public:
    QStringList events;
    std::function<void()> onTerminated;
    void onConnectionAccepted() override { events << QStringLiteral("accepted"); }
    void onOpenVpnTerminated() override
    {
        events << QStringLiteral("terminated");
        if (onTerminated)
            onTerminated();
    }
};

} // namespace

class TestBackendMain : public QObject
{
    Q_OBJECT

    using World = BackendWorld<RecordingOsAbstraction, Frontend, ExtraHandler>;

    int m_starts = 0;
    ManagementSocket *m_socket = nullptr;
    QProcess *m_engineProcess = nullptr;
    QSharedPointer<QTcpSocket> m_engine;
    // The secret of the latest engine start.
    QByteArray m_secret;

    QSharedPointer<ConnectionParameters> parameters(Script script)
    {
        return QSharedPointer<ConnectionParameters>(new ScriptedParameters(std::move(script), m_starts));
    }
    // A start whose pipeline starts the engine at once.
    QSharedPointer<ConnectionParameters> engineStart()
    {
        return parameters([this](ScriptedStartup &startup) {
            m_socket = &startup.socket;
            return startup.startEngine();
        });
    }
    // Connects a fake engine to the management socket of the last start.
    void connectEngine(World &world)
    {
        m_engine = QSharedPointer<QTcpSocket>::create();
        m_engine->connectToHost(QHostAddress::LocalHost, m_socket->serverPort());
        // The test plays the engine from this process; the process started
        // for the run only stands for the engine's.
        m_engine->write("1," + m_secret + '\n');
        QTRY_VERIFY(world.extra->events.contains("accepted"));
    }
    void endEngineProcess()
    {
        m_engineProcess->kill();
        QVERIFY(m_engineProcess->waitForFinished());
    }

private slots:
    void initTestCase()
    {
        // Engine starts reach nothing but the sockets of the test.
        qputenv("WITH_OPENVPN_SIMULATOR", "TRUE");
        OpenVpnCommand::setSimulatorStarter([this](QProcess &process, int, const QByteArray &secret) {
            m_engineProcess = &process;
            m_secret = secret;
            process.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        });
    }

    void init()
    {
        QSettings().clear();
        m_starts = 0;
        m_socket = nullptr;
        m_engineProcess = nullptr;
        m_engine.reset();
    }

    void initRecoversACrashedStackTopFirstBeforeTheStartStage_data()
    {
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<bool>("recover");
        QTest::newRow("clean stack") << false << true;
        QTest::newRow("crashed, recovery asked") << true << true;
        QTest::newRow("crashed, recovery declined") << true << false;
    }
    void initRecoversACrashedStackTopFirstBeforeTheStartStage()
    {
        QFETCH(bool, crashed);
        QFETCH(bool, recover);
        if (crashed) {
            // A run that ended without restoring its two stages.
            RecordingOsAbstraction os;
            DnsStack stack(os);
            stack.push(DnsStack::start, {});
            stack.push(QStringLiteral("connected"), {QStringLiteral("10.8.0.1")});
        }
        World world(recover);
        const QStringList restores = world.os.callsOf("restoreNameServers");
        QCOMPARE(restores.size(), crashed && recover ? 2 : 0);
        if (!restores.isEmpty()) {
            QVERIFY(restores[0].contains("connected"));
            QVERIFY(restores[1].contains(DnsStack::start));
            // Recovered before the start stage saves the name servers.
            QVERIFY(world.os.calls.indexOf(restores[1])
                    < world.os.calls.indexOf(world.os.callsOf("pushNameServers").last()));
        }
        QCOMPARE(Settings().getDnsStackNames(), QStringList {DnsStack::start});
    }

    void destructionRestoresTheStartStage()
    {
        {
            World world;
            QCOMPARE(Settings().getDnsStackNames(), QStringList {DnsStack::start});
        }
        QCOMPARE(Settings().getDnsStackNames(), QStringList());
    }

    void startSendsThePipelineResult_data()
    {
        QTest::addColumn<bool>("abortDuringStart");
        QTest::addColumn<QString>("result");
        QTest::newRow("started") << false << "result 2";
        QTest::newRow("aborted while waiting") << true << "result 0";
    }
    void startSendsThePipelineResult()
    {
        QFETCH(bool, abortDuringStart);
        QFETCH(QString, result);
        World world;
        // The pipeline's waits process events, so the abort arrives while it runs.
        auto p = parameters([](ScriptedStartup &startup) {
            QTest::qWait(20);
            return startup.isAbortRequested() ? startup.aborted() : startup.startEngine();
        });
        if (abortDuringStart)
            QTimer::singleShot(0, &world.backend, &VpnBackendMain::abort);
        world.backend.startVPN(p, "user", "secret");
        QCOMPARE(world.frontend.seen.filter("result"), QStringList {result});
    }

    void secondStartWhileTheEngineRunsIsIgnored()
    {
        World world;
        world.backend.startVPN(engineStart(), "user", "secret");
        world.frontend.seen.clear();
        world.backend.startVPN(engineStart(), "user", "secret");
        QCOMPARE(m_starts, 1);
        QCOMPARE(world.frontend.seen, QStringList());
    }

    void nestedStartDuringAStartIsIgnored()
    {
        World world;
        world.backend.startVPN(parameters([&](ScriptedStartup &startup) {
                                   world.backend.startVPN(engineStart(), "user", "secret");
                                   return startup.aborted();
                               }),
                               "user", "secret");
        QCOMPARE(m_starts, 1);
        QCOMPARE(world.frontend.seen.filter("result"), QStringList {"result 0"});
    }

    void statesReachTheFrontendOnlyWhileAnEngineIsStarted()
    {
        World world;
        world.frontend.seen.clear();
        world.backend.updateState("CONNECTING", "", "", "");
        world.backend.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress("192.0.2.7"), 1);
        QCOMPARE(world.frontend.seen.filter("state"), QStringList());

        // During the start-up itself the half-started engine stays hidden too.
        world.backend.startVPN(parameters([&](ScriptedStartup &startup) {
                                   world.backend.updateState("WAIT", "", "", "");
                                   return startup.startEngine();
                               }),
                               "user", "secret");
        QCOMPARE(world.frontend.seen.filter("state"), QStringList());

        world.frontend.seen.clear();
        world.backend.clearDetectedPublicIp();
        QCOMPARE(world.frontend.seen, QStringList());
        world.backend.updateState("CONNECTED", "SUCCESS", "10.8.0.2", "198.51.100.1");
        world.backend.updatedDetectedPublicIp(VpnConnectionState::FOUND, QHostAddress("192.0.2.7"), 1);
        QCOMPARE(world.frontend.seen, (QStringList {"state CONNECTED", "state CONNECTED"}));
    }

    void afterTheEngineEndsANewStartIsPossible()
    {
        World world;
        world.backend.startVPN(engineStart(), "user", "secret");
        connectEngine(world);
        endEngineProcess();
        m_engine->disconnectFromHost();
        QTRY_VERIFY(world.extra->events.contains("terminated"));
        world.backend.startVPN(engineStart(), "user", "secret");
        QCOMPARE(m_starts, 2);
    }

    // A frontend (or handler) that restarts as soon as it hears of the end
    // must not begin a run that the rest of the old run's end would overwrite.
    void noStartWhileTheEndOfTheLastRunIsReported()
    {
        World world;
        world.backend.startVPN(engineStart(), "user", "secret");
        connectEngine(world);
        int startsSeenByTheHandler = -1;
        world.extra->onTerminated = [&] {
            world.backend.startVPN(engineStart(), "user", "secret");
            startsSeenByTheHandler = m_starts;
        };
        endEngineProcess();
        // The engine has ended but its connection is still open, so its end is
        // not reported yet: no start either.
        world.backend.startVPN(engineStart(), "user", "secret");
        QCOMPARE(m_starts, 1);
        m_engine->disconnectFromHost();
        QTRY_VERIFY(world.extra->events.contains("terminated"));
        QCOMPARE(startsSeenByTheHandler, 1);
        QCOMPARE(m_starts, 1);
        world.extra->onTerminated = nullptr;
        world.backend.startVPN(engineStart(), "user", "secret");
        QCOMPARE(m_starts, 2);
    }

    // The frontend that asked waits for a result: a refusal because the last
    // run is still ending is told as an aborted start of these parameters.
    void aStartRefusedWhileTheLastRunEndsIsReportedAsAborted()
    {
        World world;
        world.backend.startVPN(engineStart(), "user", "secret");
        connectEngine(world);
        endEngineProcess();
        world.frontend.seen.clear();
        world.frontend.resultParameters.clear();
        const QSharedPointer<ConnectionParameters> refused = engineStart();
        world.backend.startVPN(refused, "user", "secret");
        QCOMPARE(m_starts, 1);
        QCOMPARE(world.frontend.seen, QStringList {"result 0"});
        QCOMPARE(world.frontend.resultParameters.value(0), refused);
        m_engine->disconnectFromHost();
        QTRY_VERIFY(world.extra->events.contains("terminated"));
    }

    // A second instance builds its backend and gives way before init: its
    // end must not write its empty usage counts over the first instance's,
    // nor touch the first instance's DNS record.
    void aBackendNeverInitialisedLeavesTheSharedRecordsAlone()
    {
        {
            QSettings store;
            store.setValue("preferences/user-statistics",
                           QVariantMap {{"serverFrequencyUsage", QVariantMap {{"FR-Paris", 3}}}});
            store.setValue("dns/current-dns-stack", QStringList {DnsStack::start});
        }
        const QSettings before;
        const QVariant statistics = before.value("preferences/user-statistics");
        {
            World world {World::NotInitialised {}};
        }
        const QSettings after;
        QCOMPARE(after.value("preferences/user-statistics"), statistics);
        QCOMPARE(after.value("dns/current-dns-stack").toStringList(), QStringList {DnsStack::start});
    }

    void aStaleEndReportKeepsTheRunningEngine()
    {
        World world;
        world.backend.startVPN(engineStart(), "user", "secret");
        emit m_socket->onOpenVpnTerminated();
        world.frontend.seen.clear();
        world.backend.updateState("CONNECTED", "SUCCESS", "10.8.0.2", "198.51.100.1");
        QCOMPARE(world.frontend.seen, QStringList {"state CONNECTED"});
    }

    void errorsOfTheSystemLayerReachTheFrontend()
    {
        World world;
        emit world.os.errorMessage("Title", "Text");
        QCOMPARE(world.frontend.seen.filter("error"), QStringList {"error Title"});
        world.backend.getErrorSender()("Sent", "through the callback");
        QCOMPARE(world.frontend.seen.filter("error").last(), QStringLiteral("error Sent"));
    }

    void cleanupTestCase()
    {
        OpenVpnCommand::setSimulatorStarter([](QProcess &, int, const QByteArray &) {});
        qunsetenv("WITH_OPENVPN_SIMULATOR");
    }
};

QTEST_GUILESS_MAIN(TestBackendMain)
#include "tst_backendmain.moc"
