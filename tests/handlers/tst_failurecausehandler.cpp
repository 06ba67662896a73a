#include "../backend/FakeConnectionParameters.h"
#include "RecordingEngineControls.h"
#include "RecordingFrontendLog.h"
#include "RecordingStateTracker.h"

#include "backend/FailureCauseHandler.h"
#include "core/HandlerList.h"
#include "core/OpenVpnGenericState.h"
#include "openvpn/Remote.h"

#include <QProcess>
#include <QtTest>

namespace {
OpenVpnGenericState state(OpenVpnState value, const QString &cause = QString())
{
    OpenVpnGenericState generic(OpenVpnGenericState::nameOf(value), value);
    generic.cause = cause;
    return generic;
}

// Publishes each state as the tunnel handler does, after the handler under test.
class StatePublisher : public NullHandler
{
public:
    explicit StatePublisher(VpnStateTracker &tracker)
        : m_tracker(tracker)
    {
    }
    void onState(const OpenVpnGenericState &s) override { m_tracker.updateState(s.name, s.cause, "", ""); }

private:
    VpnStateTracker &m_tracker;
};
} // namespace

// The handler that tells why the engine cannot connect and ends a first
// connection that cannot succeed, driven through a fake clock.
class TestFailureCauseHandler : public QObject
{
    Q_OBJECT

    qint64 m_now = 0;
    QStringList m_socketCalls;
    QScopedPointer<RecordingManagementSocket> m_socket;
    RecordingStateTracker m_tracker;
    RecordingFrontendLog m_frontend;
    HandlerList m_list;
    QProcess m_process;

    void startEngine() { m_list.onOpenVpnStarted(m_process); }
    // One attempt as the engine reports it: the cause, then RECONNECTING.
    void failedAttempt(const ConnectionFailure &reported, const QString &stateCause)
    {
        m_list.onState(state(OpenVpnState::WAIT));
        if (!reported.isNull())
            m_list.onFailure(reported);
        m_list.onState(state(OpenVpnState::RECONNECTING, stateCause));
    }
    int sigTerms() const { return m_socketCalls.count("sendSigTerm"); }
    QStringList fatals() const { return m_frontend.calls.filter(QRegularExpression("^fatal ")); }

private slots:
    void init()
    {
        m_now = 0;
        m_socketCalls.clear();
        m_socket.reset(new RecordingManagementSocket(m_socketCalls));
        m_tracker.calls.clear();
        m_frontend.calls.clear();
        m_list.list = {QSharedPointer<OpenVpnLifeCycleHandler>(
                           new FailureCauseHandler(m_tracker, m_frontend, *m_socket,
                                                   QSharedPointer<ConnectionParameters>(new FakeConnectionParameters),
                                                   [this] { return m_now; })),
                       QSharedPointer<OpenVpnLifeCycleHandler>(new StatePublisher(m_tracker))};
    }

    // The failure reaches the frontend before the RECONNECTING it explains;
    // the engine's repeats of the same report are told once.
    void publishesTheCauseBeforeTheState()
    {
        startEngine();
        const ConnectionFailure certificate("certificate", "UDP 1194");
        m_list.onState(state(OpenVpnState::WAIT));
        m_list.onFailure(certificate);
        m_list.onFailure(certificate);
        m_list.onState(state(OpenVpnState::RECONNECTING, "tls-error"));
        QCOMPARE(m_tracker.calls, QStringList({"updateState WAIT|||", "updateFailure certificate|UDP 1194|",
                                               "updateState RECONNECTING|tls-error||"}));
    }

    void givesUpAfterTheSameFailureThreeTimes_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("stateCause");
        QTest::addColumn<QString>("notice");
        QTest::newRow("reported in the log")
            << "certificate"
            << "tls-error"
            << "fatal Could not connect: the server's certificate is not trusted. vpnFatal=1";
        // Without a report the state's own word is the cause.
        QTest::newRow("state word only") << ""
                                         << "connection-reset"
                                         << "fatal Could not connect: the server closed the connection. vpnFatal=1";
    }
    // The engine is stopped at the third attempt, the notice waits for its
    // end (after every handler put the system back) and comes once.
    void givesUpAfterTheSameFailureThreeTimes()
    {
        QFETCH(QString, reported);
        QFETCH(QString, stateCause);
        QFETCH(QString, notice);
        const ConnectionFailure failure = reported.isEmpty() ? ConnectionFailure() : ConnectionFailure(reported);
        startEngine();
        failedAttempt(failure, stateCause);
        failedAttempt(failure, stateCause);
        QCOMPARE(sigTerms(), 0);
        failedAttempt(failure, stateCause);
        QCOMPARE(sigTerms(), 1);
        failedAttempt(failure, stateCause);
        QCOMPARE(sigTerms(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(fatals(), QStringList());
        m_list.onOpenVpnTerminated();
        QCOMPARE(fatals(), QStringList());
        QTRY_COMPARE(fatals(), QStringList({notice}));
        QCOMPARE(m_frontend.fatalDetails.last(), QStringLiteral("fake connection"));
        m_list.onOpenVpnTerminated();
        QCoreApplication::processEvents();
        QCOMPARE(fatals().size(), 1);
    }

    // 60 s without CONNECTED, told by the timer alone (no engine event in
    // between): the last cause heads the notice.
    void givesUpWhenTheTimeIsUp()
    {
        startEngine();
        m_list.onState(state(OpenVpnState::WAIT));
        m_list.onFailure(ConnectionFailure("no-answer", "UDP 1194"));
        // The timer was set for the time left by the fake clock: close to none.
        m_now = FirstConnectionGuard::TIME_LIMIT_MS - 1;
        m_list.onState(state(OpenVpnState::WAIT));
        m_now = FirstConnectionGuard::TIME_LIMIT_MS;
        QTRY_COMPARE(sigTerms(), 1);
        m_list.onOpenVpnTerminated();
        QTRY_COMPARE(fatals(),
                     QStringList({"fatal Could not connect: no answer from the server on UDP 1194. vpnFatal=1"}));
    }

    void timeUpWithoutACause_data()
    {
        QTest::addColumn<bool>("serverAnswered");
        QTest::addColumn<QString>("notice");
        // A silent host: not one packet came back.
        QTest::newRow("no answer at all")
            << false << "fatal Could not connect: no answer from the server on UDP 1194. vpnFatal=1";
        QTest::newRow("stuck after an answer")
            << true << "fatal Could not connect: no connection within 60 seconds. vpnFatal=1";
    }
    // Nothing was reported: the notice says what the states showed.
    void timeUpWithoutACause()
    {
        QFETCH(bool, serverAnswered);
        QFETCH(QString, notice);
        startEngine();
        Remote remote("vpn.example", 1194, "udp");
        m_list.onRemote(remote);
        m_list.onState(state(OpenVpnState::WAIT));
        if (serverAnswered)
            m_list.onState(state(OpenVpnState::AUTH));
        m_now = FirstConnectionGuard::TIME_LIMIT_MS + 1;
        m_list.onState(state(serverAnswered ? OpenVpnState::GET_CONFIG : OpenVpnState::WAIT));
        QCOMPARE(sigTerms(), 1);
        m_list.onOpenVpnTerminated();
        QTRY_COMPARE(fatals(), QStringList({notice}));
    }

    // Time at the login page is the user's; it starts again with the next state.
    void passwordRequestStopsTheClock()
    {
        startEngine();
        m_list.onPassword(0);
        m_now = 10 * FirstConnectionGuard::TIME_LIMIT_MS;
        QTest::qWait(20);
        QCOMPARE(sigTerms(), 0);
        m_list.onState(state(OpenVpnState::AUTH));
        m_now += FirstConnectionGuard::TIME_LIMIT_MS - 1;
        m_list.onState(state(OpenVpnState::WAIT));
        QCOMPARE(sigTerms(), 0);
    }

    // Once connected the engine retries for ever (an outage must heal by
    // itself), but the cause is still shown; CONNECTED takes it away.
    void neverGivesUpAfterAFirstConnected()
    {
        startEngine();
        m_list.onState(state(OpenVpnState::CONNECTED));
        for (int i = 0; i < 5; ++i)
            failedAttempt(ConnectionFailure(), "ping-restart");
        m_now = 10 * FirstConnectionGuard::TIME_LIMIT_MS;
        m_list.onState(state(OpenVpnState::WAIT));
        QTest::qWait(20);
        QCOMPARE(sigTerms(), 0);
        QVERIFY(m_tracker.calls.contains("updateFailure ping-restart||"));
        m_list.onState(state(OpenVpnState::CONNECTED));
        m_list.onOpenVpnTerminated();
        QCoreApplication::processEvents();
        QCOMPARE(fatals(), QStringList());
    }

    // An engine that ended by itself is no longer watched.
    void nothingAfterTheEnd()
    {
        startEngine();
        m_list.onOpenVpnTerminated();
        m_now = 2 * FirstConnectionGuard::TIME_LIMIT_MS;
        m_list.onState(state(OpenVpnState::EXITING));
        QCoreApplication::processEvents();
        QCOMPARE(sigTerms(), 0);
        QCOMPARE(fatals(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestFailureCauseHandler)
#include "tst_failurecausehandler.moc"
