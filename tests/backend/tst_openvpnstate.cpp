#include "core/HandlerList.h"
#include "core/NullHandler.h"
#include "core/OpenVpnGenericState.h"
#include "core/OpenVpnStateNullHandler.h"

#include <QTest>

Q_DECLARE_METATYPE(OpenVpnState)

namespace {

// Records which per-state operation the dispatch reached, and with what.
class RecordingStateHandler : public NullHandler, private OpenVpnStateNullHandler
{
public:
    void onState(const OpenVpnGenericState &state) override { dispatch(state); }

    QString reached;
    QString cause;

private:
    void record(const char *operation, const OpenVpnGenericState &state)
    {
        reached = QString::fromLatin1(operation);
        cause = state.cause;
    }
    void on(const OpenVpnStateConnecting &s) override { record("Connecting", s); }
    void on(const OpenVpnStateTcpConnect &s) override { record("TcpConnect", s); }
    void on(const OpenVpnStateWait &s) override { record("Wait", s); }
    void on(const OpenVpnStateResolve &s) override { record("Resolve", s); }
    void on(const OpenVpnStateAuth &s) override { record("Auth", s); }
    void on(const OpenVpnStateGetConfig &s) override { record("GetConfig", s); }
    void on(const OpenVpnStateAssignIp &s) override { record("AssignIp", s); }
    void on(const OpenVpnStateAddRoutes &s) override { record("AddRoutes", s); }
    void on(const OpenVpnStateConnected &s) override { record("Connected", s); }
    void on(const OpenVpnStateReconnecting &s) override { record("Reconnecting", s); }
    void on(const OpenVpnStateExiting &s) override { record("Exiting", s); }
    void on(const OpenVpnStateUnknown &s) override { record("Unknown", s); }
};

// Overrides one state only: every other state must fall into the empty bodies.
class ConnectedOnlyHandler : public NullHandler, private OpenVpnStateNullHandler
{
public:
    void onState(const OpenVpnGenericState &state) override { dispatch(state); }
    int connected = 0;

private:
    void on(const OpenVpnStateConnected &) override { ++connected; }
};

} // namespace

class TestOpenVpnState : public QObject
{
    Q_OBJECT

private slots:
    void fromStateLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<OpenVpnState>("state");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("localIp");
        QTest::addColumn<QString>("remoteIp");
        // Fields given for every row: cause "why", local "10.8.0.2", remote "192.0.2.1".
        QTest::newRow("CONNECTING drops fields") << "CONNECTING" << OpenVpnState::CONNECTING << "CONNECTING"
                                                 << ""
                                                 << ""
                                                 << "";
        QTest::newRow("TCP_CONNECT") << "TCP_CONNECT" << OpenVpnState::TCP_CONNECT << "TCP_CONNECT"
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("RESOLVE") << "RESOLVE" << OpenVpnState::RESOLVE << "RESOLVE"
                                 << ""
                                 << ""
                                 << "";
        QTest::newRow("WAIT drops fields") << "WAIT" << OpenVpnState::WAIT << "WAIT"
                                           << ""
                                           << ""
                                           << "";
        QTest::newRow("AUTH drops fields") << "AUTH" << OpenVpnState::AUTH << "AUTH"
                                           << ""
                                           << ""
                                           << "";
        QTest::newRow("GET_CONFIG") << "GET_CONFIG" << OpenVpnState::GET_CONFIG << "GET_CONFIG"
                                    << ""
                                    << ""
                                    << "";
        QTest::newRow("ASSIGN_IP keeps the address in cause") << "ASSIGN_IP" << OpenVpnState::ASSIGN_IP << "ASSIGN_IP"
                                                              << "10.8.0.2"
                                                              << ""
                                                              << "";
        QTest::newRow("ADD_ROUTES") << "ADD_ROUTES" << OpenVpnState::ADD_ROUTES << "ADD_ROUTES"
                                    << ""
                                    << ""
                                    << "";
        QTest::newRow("CONNECTED keeps all") << "CONNECTED" << OpenVpnState::CONNECTED << "CONNECTED"
                                             << "why"
                                             << "10.8.0.2"
                                             << "192.0.2.1";
        QTest::newRow("RECONNECTING keeps the reason") << "RECONNECTING" << OpenVpnState::RECONNECTING << "RECONNECTING"
                                                       << "why"
                                                       << ""
                                                       << "";
        QTest::newRow("EXITING") << "EXITING" << OpenVpnState::EXITING << "EXITING"
                                 << ""
                                 << ""
                                 << "";
        QTest::newRow("lower case is unknown") << "connected" << OpenVpnState::UNKNOWN << "connected"
                                               << "why"
                                               << "10.8.0.2"
                                               << "192.0.2.1";
        QTest::newRow("trailing blank is unknown") << "WAIT " << OpenVpnState::UNKNOWN << "WAIT "
                                                   << "why"
                                                   << "10.8.0.2"
                                                   << "192.0.2.1";
        QTest::newRow("empty is unknown") << "" << OpenVpnState::UNKNOWN << ""
                                          << "why"
                                          << "10.8.0.2"
                                          << "192.0.2.1";
    }

    void fromStateLine()
    {
        QFETCH(QString, text);
        QFETCH(OpenVpnState, state);
        const OpenVpnGenericState value = OpenVpnGenericState::fromStateLine(
            text, QStringLiteral("why"), QStringLiteral("10.8.0.2"), QStringLiteral("192.0.2.1"));
        QCOMPARE(value.state, state);
        QTEST(value.name, "name");
        QTEST(value.cause, "cause");
        QTEST(value.localIp, "localIp");
        QTEST(value.remoteIp, "remoteIp");
    }

    void perStateConstructors()
    {
        const OpenVpnStateAssignIp assign(QStringLiteral("10.8.0.6"));
        QCOMPARE(assign.name, QStringLiteral("ASSIGN_IP"));
        QCOMPARE(assign.state, OpenVpnState::ASSIGN_IP);
        QCOMPARE(assign.cause, QStringLiteral("10.8.0.6"));
        QVERIFY(assign.localIp.isEmpty());

        const OpenVpnStateConnected connected(QStringLiteral("SUCCESS"), QStringLiteral("10.8.0.6"),
                                              QStringLiteral("192.0.2.7"));
        QCOMPARE(connected.name, QStringLiteral("CONNECTED"));
        QCOMPARE(connected.localIp, QStringLiteral("10.8.0.6"));
        QCOMPARE(connected.remoteIp, QStringLiteral("192.0.2.7"));

        const OpenVpnStateReconnecting reconnecting(QStringLiteral("ping-restart"));
        QCOMPARE(reconnecting.name, QStringLiteral("RECONNECTING"));
        QCOMPARE(reconnecting.cause, QStringLiteral("ping-restart"));
        QVERIFY(reconnecting.remoteIp.isEmpty());
    }

    void dispatchReachesTheOperationOfEveryState_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("reached");
        const char *const operations[] = {"Connecting", "TcpConnect",   "Resolve",  "Wait",
                                          "Auth",       "GetConfig",    "AssignIp", "AddRoutes",
                                          "Connected",  "Reconnecting", "Exiting",  "Unknown"};
        for (int value = 0; value < 12; ++value)
            QTest::addRow("%d %s", value, operations[value]) << value << QString::fromLatin1(operations[value]);
        QTest::newRow("12 reaches nothing") << 12 << QString();
        QTest::newRow("-1 reaches nothing") << -1 << QString();
    }

    void dispatchReachesTheOperationOfEveryState()
    {
        QFETCH(int, value);
        OpenVpnGenericState state(QStringLiteral("any"), static_cast<OpenVpnState>(value));
        state.cause = QStringLiteral("carried");
        RecordingStateHandler handler;
        OpenVpnLifeCycleHandler &asLifeCycle = handler;
        asLifeCycle.onState(state);
        QTEST(handler.reached, "reached");
        if (!handler.reached.isEmpty())
            QCOMPARE(handler.cause, QStringLiteral("carried"));
    }

    void handlerOverridingOneStateIgnoresTheOthers()
    {
        QSharedPointer<ConnectedOnlyHandler> handler(new ConnectedOnlyHandler);
        HandlerList list;
        list.list.append(handler);
        for (int value = 0; value < 12; ++value)
            list.onState(OpenVpnGenericState(QStringLiteral("x"), static_cast<OpenVpnState>(value)));
        QCOMPARE(handler->connected, 1);
    }
};

QTEST_GUILESS_MAIN(TestOpenVpnState)
#include "tst_openvpnstate.moc"
