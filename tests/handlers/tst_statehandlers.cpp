#include "../backend/FakeConnectionParameters.h"
#include "HandlerEvents.h"
#include "RecordingFrontendLog.h"
#include "RecordingOsAbstraction.h"
#include "RecordingStateTracker.h"

#include "backend/AppKillSwitchHandler.h"
#include "backend/ConnectionTimerHandler.h"
#include "backend/FireWallWarningHandler.h"
#include "backend/LegacySignalsHandler.h"
#include "backend/LocalDnsJsonRefreshHandler.h"
#include "backend/NullTunnelHandler.h"
#include "backend/WhatIsMyIpHandler.h"
#include "catalogue/WebConfigSource.h"
#include "core/VpnConnectionState.h"
#include "prefs/Settings.h"
#include "websvc/LifeCycleClient.h"
#include "websvc/ReplyHandler.h"
#include "websvc/WhatIsMyIp.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Unreachable = QStringLiteral("http://127.0.0.1:1/");

QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(new FakeConnectionParameters());
}

} // namespace

class TestStateHandlers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void firewallWarning_data();
    void firewallWarning();

    void appKillSwitch_data();
    void appKillSwitch();

    void timerPublishesOnConstruction();
    void timerAccumulatesConnectedPeriods();
    void timerEveryOtherStateLeaves_data();
    void timerEveryOtherStateLeaves();

    void legacySignals_data();
    void legacySignals();
    void legacySignalsWebRtcProtection_data();
    void legacySignalsWebRtcProtection();

    void publicIp_data();
    void publicIp();
    void publicIpAnswersReachTheTracker();
    void publicIpAnswersEndWithTheHandler();

    void nullTunnelForwardsEveryState_data();
    void nullTunnelForwardsEveryState();

    void localDnsRefresh_data();
    void localDnsRefresh();
    void localDnsRefreshReconnectDoesNotStack();

private:
    QStringList loggedKillallRuns() const;
    QStringList killallRuns();

    QTemporaryDir m_bin;
};

void TestStateHandlers::initTestCase()
{
    // A killall of our own that only writes down what it was asked to kill.
    QVERIFY(m_bin.isValid());
    QFile fake(m_bin.filePath(QStringLiteral("killall")));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("#!/bin/sh\necho \"$*\" >> \"$(dirname \"$0\")/killall.log\"\n");
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", m_bin.path().toLocal8Bit() + ':' + qgetenv("PATH"));
}

QStringList TestStateHandlers::loggedKillallRuns() const
{
    QFile log(m_bin.filePath(QStringLiteral("killall.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList TestStateHandlers::killallRuns()
{
    const QStringList lines = loggedKillallRuns();
    QFile::remove(m_bin.filePath(QStringLiteral("killall.log")));
    return lines;
}

void TestStateHandlers::firewallWarning_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("expected");

    const QString warning =
        QStringLiteral("error Could not connect to the VPN management socket.\nPlease check your firewall settings!|");
    QTest::newRow("never reached the management port")
        << QStringList {"started", "terminated"} << QStringList {warning};
    QTest::newRow("reached it, then ended")
        << QStringList {"started", "accepted", "CONNECTED", "terminated"} << QStringList {};
    QTest::newRow("no warning before the end")
        << QStringList {"started", "fatal:boom", "RECONNECTING"} << QStringList {};
}

void TestStateHandlers::firewallWarning()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, expected);
    RecordingFrontendLog frontend;
    FireWallWarningHandler handler(frontend, parameters());
    sendEvents(handler, events);
    QCOMPARE(frontend.calls, expected);
}

void TestStateHandlers::appKillSwitch_data()
{
    QTest::addColumn<bool>("armAfterFirstConnection");
    QTest::addColumn<QStringList>("killList");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("runs");

    const QStringList apps {"Mail", "Safari"};
    QTest::newRow("fails before connecting, armed later") << true << apps << QStringList {"WAIT", "terminated"} << 0;
    QTest::newRow("fails before connecting, armed at once") << false << apps << QStringList {"WAIT", "terminated"} << 1;
    QTest::newRow("reconnect before connecting, armed later") << true << apps << QStringList {"RECONNECTING"} << 0;
    QTest::newRow("reconnect and end after connecting")
        << true << apps << QStringList {"CONNECTED", "RECONNECTING", "CONNECTED", "terminated"} << 2;
    QTest::newRow("other states do nothing")
        << false << apps << QStringList {"CONNECTED", "EXITING", "AUTH", "BOGUS"} << 0;
    QTest::newRow("empty list starts nothing")
        << false << QStringList {} << QStringList {"RECONNECTING", "terminated"} << 0;
}

void TestStateHandlers::appKillSwitch()
{
    QFETCH(bool, armAfterFirstConnection);
    QFETCH(QStringList, killList);
    QFETCH(QStringList, events);
    QFETCH(int, runs);

    killallRuns();
    Settings settings;
    settings.setArmKillswitchAfterFirstConnection(armAfterFirstConnection);
    settings.setProcessKillList(killList);

    AppKillSwitchHandler handler;
    sendEvents(handler, events);

    QStringList expected;
    for (int i = 0; i < runs; ++i)
        for (const QString &app : killList)
            expected << "-9 " + app;
    // killall runs unattended: wait for the expected runs, then a little longer for any extra one.
    QTRY_VERIFY_WITH_TIMEOUT(loggedKillallRuns().size() >= expected.size(), 10000);
    QTest::qWait(500);
    QStringList lines = killallRuns();
    lines.sort();
    expected.sort();
    QCOMPARE(lines, expected);
}

void TestStateHandlers::timerPublishesOnConstruction()
{
    VpnConnectionState state(parameters());
    const QDateTime before = QDateTime::currentDateTime();
    ConnectionTimerHandler handler(state);
    QCOMPARE(state.getConnectionCount(), 0);
    QCOMPARE(state.getConnectionTime(), 0LL);
    QVERIFY(state.getConnectedAtTimestamp().isNull());
    QVERIFY(state.getStartedAtTimestamp() >= before);
    QVERIFY(state.getStartedAtTimestamp() <= QDateTime::currentDateTime());
}

void TestStateHandlers::timerAccumulatesConnectedPeriods()
{
    VpnConnectionState state(parameters());
    ConnectionTimerHandler handler(state);

    sendEvent(handler, "CONNECTED");
    QCOMPARE(state.getConnectionCount(), 1);
    QVERIFY(!state.getConnectedAtTimestamp().isNull());
    QTest::qSleep(300);
    sendEvents(handler, {"RECONNECTING", "WAIT"});
    const qint64 first = state.getConnectionTime();
    QVERIFY(first >= 300);
    QVERIFY(state.getConnectedAtTimestamp().isNull());
    QTest::qSleep(200);
    sendEvent(handler, "AUTH");
    QCOMPARE(state.getConnectionTime(), first); // waiting time is not counted

    sendEvent(handler, "CONNECTED");
    QCOMPARE(state.getConnectionCount(), 2);
    QTest::qSleep(150);
    sendEvent(handler, "EXITING");
    QVERIFY(state.getConnectionTime() >= first + 150);
    QVERIFY(state.getConnectionTime() < first + 150 + 2000);
    QVERIFY(state.getConnectedAtTimestamp().isNull());
}

void TestStateHandlers::timerEveryOtherStateLeaves_data()
{
    QTest::addColumn<QString>("state");
    for (const char *name : {"CONNECTING", "TCP_CONNECT", "WAIT", "RESOLVE", "AUTH", "GET_CONFIG", "ASSIGN_IP",
                             "ADD_ROUTES", "RECONNECTING", "EXITING", "SOMETHING_NEW"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestStateHandlers::timerEveryOtherStateLeaves()
{
    QFETCH(QString, state);
    VpnConnectionState connection(parameters());
    ConnectionTimerHandler handler(connection);
    sendEvent(handler, "CONNECTED");
    QTest::qSleep(20);
    sendEvent(handler, state);
    QVERIFY(connection.getConnectedAtTimestamp().isNull());
    QVERIFY(connection.getConnectionTime() >= 20);
    QCOMPARE(connection.getConnectionCount(), 1);
}

void TestStateHandlers::legacySignals_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("normal end") << QStringList {"terminated"} << QStringList {"terminated failedToStart=false"};
    QTest::newRow("failed start") << QStringList {"failed"} << QStringList {"terminated failedToStart=true"};
    QTest::newRow("every connection") << QStringList {"CONNECTED", "RECONNECTING", "WAIT", "CONNECTED", "EXITING"}
                                      << QStringList {"connected", "connected"};
    QTest::newRow("fatal text") << QStringList {"fatal:TUN/TAP device not found"}
                                << QStringList {"fatal TUN/TAP device not found vpnFatal=1"};
    QTest::newRow("auth text filtered")
        << QStringList {"fatal:ERROR: could not read Auth username/password/ok/string from management interface"}
        << QStringList {};
    QTest::newRow("blocking DNS filtered") << QStringList {"fatal:Blocking DNS failed!"} << QStringList {};
    QTest::newRow("filter is case-sensitive")
        << QStringList {"fatal:blocking DNS failed!"} << QStringList {"fatal blocking DNS failed! vpnFatal=1"};
    QTest::newRow("filter is exact") << QStringList {"fatal:Blocking DNS failed! "}
                                     << QStringList {"fatal Blocking DNS failed!  vpnFatal=1"};
}

void TestStateHandlers::legacySignals()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, expected);

    RecordingFrontendLog frontend;
    RecordingOsAbstraction os;
    QNetworkAccessManager manager;
    LifeCycleClient lifeCycle(&manager, "test", SemVer("1.0.0"), Unreachable, QString(), QString());
    WebConfigSource webConfig(&manager, "test", SemVer("1.0.0"), Unreachable + "default.txt", QString());
    LegacySignalsHandler handler(frontend, os, &manager, lifeCycle, webConfig, parameters());

    sendEvents(handler, events);
    QCOMPARE(frontend.calls, expected);
}

void TestStateHandlers::legacySignalsWebRtcProtection_data()
{
    QTest::addColumn<bool>("prevent");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("expected");

    const QStringList all {"CONNECTED", "fatal:x", "fatal:Blocking DNS failed!", "failed", "terminated"};
    QTest::newRow("protection on") << true << all
                                   << QStringList {"startWebRtcLeakProtection", "stopWebRtcLeakProtection",
                                                   "stopWebRtcLeakProtection",  "afterEngineStop",
                                                   "stopWebRtcLeakProtection",  "afterEngineStop"};
    QTest::newRow("protection off") << false << all << QStringList {"afterEngineStop", "afterEngineStop"};
}

void TestStateHandlers::legacySignalsWebRtcProtection()
{
    QFETCH(bool, prevent);
    QFETCH(QStringList, events);
    QFETCH(QStringList, expected);

    Settings().setPreventWebRtcLeak(prevent);
    RecordingFrontendLog frontend;
    RecordingOsAbstraction os;
    QNetworkAccessManager manager;
    LifeCycleClient lifeCycle(&manager, "test", SemVer("1.0.0"), Unreachable, QString(), QString());
    WebConfigSource webConfig(&manager, "test", SemVer("1.0.0"), Unreachable + "default.txt", QString());
    LegacySignalsHandler handler(frontend, os, &manager, lifeCycle, webConfig, parameters());

    sendEvents(handler, events);
    QCOMPARE(os.calls, expected);
}

void TestStateHandlers::publicIp_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("engine start clears") << QStringList {"started"} << QStringList {"clearDetectedPublicIp"};
    QTest::newRow("failure clears") << QStringList {"failed"} << QStringList {"clearDetectedPublicIp"};
    QTest::newRow("end clears") << QStringList {"terminated"} << QStringList {"clearDetectedPublicIp"};
    QTest::newRow("fatal clears") << QStringList {"fatal:x"} << QStringList {"clearDetectedPublicIp"};
    QTest::newRow("reconnect and exit clear")
        << QStringList {"RECONNECTING", "EXITING"} << QStringList {"clearDetectedPublicIp", "clearDetectedPublicIp"};
    QTest::newRow("waiting states are ignored")
        << QStringList {"WAIT", "AUTH", "GET_CONFIG", "BOGUS"} << QStringList {};
    // The look-up reports at once that it is querying, attempt 1.
    QTest::newRow("connected queries")
        << QStringList {"CONNECTED"}
        << QStringList {QStringLiteral("updatedDetectedPublicIp %1  1").arg(int(VpnConnectionState::QUERYING))};
    QTest::newRow("each connection queries again")
        << QStringList {"CONNECTED", "RECONNECTING", "CONNECTED"}
        << QStringList {QStringLiteral("updatedDetectedPublicIp %1  1").arg(int(VpnConnectionState::QUERYING)),
                        "clearDetectedPublicIp",
                        QStringLiteral("updatedDetectedPublicIp %1  1").arg(int(VpnConnectionState::QUERYING))};
}

void TestStateHandlers::publicIp()
{
    QFETCH(QStringList, events);
    QFETCH(QStringList, expected);

    RecordingStateTracker tracker;
    QNetworkAccessManager manager;
    WhatIsMyIp whatIsMyIp(&manager, "test", SemVer("1.0.0"), Unreachable);
    WhatIsMyIpHandler handler(tracker, whatIsMyIp);
    sendEvents(handler, events);
    QCOMPARE(tracker.calls, expected);
}

void TestStateHandlers::publicIpAnswersReachTheTracker()
{
    RecordingStateTracker tracker;
    QNetworkAccessManager manager;
    WhatIsMyIp whatIsMyIp(&manager, "test", SemVer("1.0.0"), Unreachable);
    WhatIsMyIpHandler handler(tracker, whatIsMyIp);
    emit whatIsMyIp.updateIp(VpnConnectionState::FOUND, QHostAddress("203.0.113.9"), 3);
    QCOMPARE(
        tracker.calls,
        QStringList {QStringLiteral("updatedDetectedPublicIp %1 203.0.113.9 3").arg(int(VpnConnectionState::FOUND))});
}

void TestStateHandlers::publicIpAnswersEndWithTheHandler()
{
    RecordingStateTracker tracker;
    QNetworkAccessManager manager;
    WhatIsMyIp whatIsMyIp(&manager, "test", SemVer("1.0.0"), Unreachable);
    {
        WhatIsMyIpHandler handler(tracker, whatIsMyIp);
    }
    emit whatIsMyIp.updateIp(VpnConnectionState::FOUND, QHostAddress("203.0.113.9"), 1);
    QVERIFY(tracker.calls.isEmpty());
}

void TestStateHandlers::nullTunnelForwardsEveryState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("expected");
    QTest::newRow("connected") << "CONNECTED"
                               << "updateState CONNECTED|cause|10.8.0.2|198.51.100.7";
    QTest::newRow("reconnecting") << "RECONNECTING"
                                  << "updateState RECONNECTING|cause||";
    QTest::newRow("assign ip") << "ASSIGN_IP"
                               << "updateState ASSIGN_IP|10.8.0.2||";
    QTest::newRow("wait") << "WAIT"
                          << "updateState WAIT|||";
    QTest::newRow("unknown text") << "SOMETHING_NEW"
                                  << "updateState SOMETHING_NEW|cause|10.8.0.2|198.51.100.7";
}

void TestStateHandlers::nullTunnelForwardsEveryState()
{
    QFETCH(QString, state);
    QFETCH(QString, expected);
    RecordingStateTracker tracker;
    NullTunnelHandler handler(tracker);
    sendEvents(handler, {"started", "accepted", state, "terminated"});
    QCOMPARE(tracker.calls, QStringList {expected});
}

void TestStateHandlers::localDnsRefresh_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("scheduled");

    QTest::newRow("connected schedules") << QStringList {"CONNECTED"} << true;
    QTest::newRow("end withdraws") << QStringList {"CONNECTED", "terminated"} << false;
    QTest::newRow("failure withdraws") << QStringList {"CONNECTED", "failed"} << false;
    QTest::newRow("reconnect withdraws") << QStringList {"CONNECTED", "RECONNECTING"} << false;
    QTest::newRow("exit withdraws") << QStringList {"CONNECTED", "EXITING"} << false;
    QTest::newRow("connected again schedules again") << QStringList {"CONNECTED", "RECONNECTING", "CONNECTED"} << true;
    QTest::newRow("waiting states change nothing") << QStringList {"CONNECTED", "WAIT", "AUTH"} << true;
    QTest::newRow("nothing before connecting") << QStringList {"started", "WAIT"} << false;
}

void TestStateHandlers::localDnsRefresh()
{
    QFETCH(QStringList, events);
    QFETCH(bool, scheduled);

    LocalDnsJsonRefreshHandler handler(QStringList {"vpn.example.invalid"});
    sendEvents(handler, events);
    const DnsJsonRefreshScheduler &scheduler = handler.getScheduler();
    QCOMPARE(scheduler.pendingStartDelay() >= 0 || scheduler.isRepeating(), scheduled);
}

void TestStateHandlers::localDnsRefreshReconnectDoesNotStack()
{
    LocalDnsJsonRefreshHandler handler(QStringList {"vpn.example.invalid"});
    sendEvent(handler, "CONNECTED");
    const int first = handler.getScheduler().pendingStartDelay();
    QVERIFY(first >= 0);
    QVERIFY(first <= handler.getScheduler().interval());
    sendEvent(handler, "CONNECTED");
    QVERIFY(handler.getScheduler().pendingStartDelay() >= 0);
    QVERIFY(!handler.getScheduler().isRepeating());
    sendEvent(handler, "terminated");
    QCOMPARE(handler.getScheduler().pendingStartDelay(), -1);
    QVERIFY(!handler.getScheduler().isRepeating());
}

QTEST_GUILESS_MAIN(TestStateHandlers)
#include "tst_statehandlers.moc"
