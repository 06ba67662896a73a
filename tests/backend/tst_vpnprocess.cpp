#include "FakeConnectionParameters.h"
#include "RecordingFrontend.h"
#include "backend/AbortedVpnProcess.h"
#include "backend/StartedVpnProcess.h"
#include "backend/StartingVpnProcess.h"
#include "core/NullVpnProcess.h"
#include "openvpn/AbstractManagementSocket.h"
#include "system/BlackHoleRoute.h"

#include <QTest>

using Params = QSharedPointer<ConnectionParameters>;

namespace {

// An engine driver that only records what it was asked.
class FakeSocket : public AbstractManagementSocket
{
public:
    void startVPN(QSharedPointer<ConnectionParameters>) override { calls << "start"; }
    bool isProcessRunning() override { return running; }
    void sendSigTerm() override { calls << "sigterm"; }
    void sendUsernamePassword(const QString &user, const QString &password) override
    {
        calls << "credentials " + user + " " + password;
    }

    bool running = true;
    QStringList calls;
};

class FakeBlackHoleRoute : public BlackHoleRoute
{
public:
    explicit FakeBlackHoleRoute(bool &removed)
        : removed(removed)
    {
    }
    ~FakeBlackHoleRoute() override { removed = true; }
    bool isActive() const override { return !removed; }

    bool &removed;
};

} // namespace

class TestVpnProcess : public QObject
{
    Q_OBJECT

    QStringList m_log;

private slots:
    void init() { m_log.clear(); }

    // What each situation lets through: (stopped, result delivered, state delivered).
    void situations_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QStringList>("delivered");
        QTest::newRow("null") << "null" << true << QStringList {};
        QTest::newRow("starting") << "starting" << false << QStringList {};
        QTest::newRow("aborted") << "aborted" << true << QStringList {"F:result Aborted by the user."};
    }

    void situations()
    {
        QFETCH(QString, situation);
        QFETCH(bool, stopped);
        QFETCH(QStringList, delivered);
        const Params params(new FakeConnectionParameters);
        QScopedPointer<VpnProcess> process;
        if (situation == "null")
            process.reset(new NullVpnProcess);
        else if (situation == "starting")
            process.reset(new StartingVpnProcess);
        else
            process.reset(
                new AbortedVpnProcess(VpnStartupResult(params, VpnStartupResult::ABORTED, "Aborted by the user.", 0)));

        RecordingFrontend frontend("F", m_log);
        VpnConnectionState state(params);
        state.updateState("CONNECTED", "", "", "");
        QCOMPARE(process->isStopped(), stopped);
        process->sendResultTo(frontend);
        process->sendUpdatedStateTo(frontend, state); // never reaches a frontend before the engine runs
        process->sendUserNamePassword("user", "password");
        process->stop();
        QCOMPARE(m_log, delivered);
    }

    void startedProcessDrivesTheEngine()
    {
        const Params params(new FakeConnectionParameters);
        const VpnStartupResult result(params, VpnStartupResult::STARTED, "VPN started", 0);
        FakeSocket socket;
        StartedVpnProcess process(result, socket, QSharedPointer<BlackHoleRoute>());
        RecordingFrontend frontend("F", m_log);
        VpnConnectionState state(params);
        state.updateState("CONNECTED", "", "", "");

        QVERIFY(!process.isStopped());
        process.sendResultTo(frontend);
        process.sendUpdatedStateTo(frontend, state);
        process.sendUserNamePassword("user", "pass word");
        process.stop();
        QCOMPARE(m_log, (QStringList {"F:result VPN started", "F:state CONNECTED"}));
        QCOMPARE(frontend.ids, (QList<quint64> {result.getId(), state.getId()}));
        QCOMPARE(socket.calls, (QStringList {"credentials user pass word", "sigterm"}));

        // The engine ended before its termination was reported: a new start may begin.
        socket.running = false;
        QVERIFY(process.isStopped());
    }

    void blackHoleRouteLivesAsLongAsTheStartedProcess()
    {
        bool removed = false;
        FakeSocket socket;
        QSharedPointer<BlackHoleRoute> route(new FakeBlackHoleRoute(removed));
        QScopedPointer<VpnProcess> process(new StartedVpnProcess(
            VpnStartupResult(Params(), VpnStartupResult::STARTED, "VPN started", 0), socket, route));
        route.reset();
        QVERIFY(!removed);
        process.reset(new NullVpnProcess);
        QVERIFY(removed);
        QVERIFY(socket.calls.isEmpty()); // replacing the process does not touch the engine
    }

    void abortedResultKeepsItsEvent()
    {
        const VpnStartupResult result(Params(new FakeConnectionParameters), VpnStartupResult::PRELIMINARY_CHECKS_FAILED,
                                      "Preliminary checks failed!", VpnStartupResult::IKS_SETTINGS_ASK);
        AbortedVpnProcess process(result);
        RecordingFrontend frontend("F", m_log);
        process.sendResultTo(frontend);
        process.sendResultTo(frontend);
        QCOMPARE(frontend.ids, (QList<quint64> {result.getId(), result.getId()}));
    }
};

QTEST_GUILESS_MAIN(TestVpnProcess)
#include "tst_vpnprocess.moc"
