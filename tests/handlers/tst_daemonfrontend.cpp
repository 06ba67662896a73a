#include "../backend/FakeConnectionParameters.h"
#include "app/DaemonVpnFrontend.h"
#include "backend/VpnBackend.h"
#include "prefs/Settings.h"
#include "websvc/WhatIsMyLocation.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList debugLines;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && message.startsWith(QLatin1String("Daemon::")))
        debugLines << message;
}

QSharedPointer<ConnectionParameters> parameters()
{
    return QSharedPointer<ConnectionParameters>(new FakeConnectionParameters());
}

// Only the error callback is used by the frontend.
class ErrorRecordingBackend : public VpnBackend
{
public:
    QStringList errors;

    std::function<void(QString, QString)> getErrorSender() override
    {
        return [this](const QString &message, const QString &details) { errors << message + "|" + details; };
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

} // namespace

class TestDaemonFrontend : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logLines_data();
    void logLines();
    void runningFlag();
    void runPhase_data();
    void runPhase();
    void locationLookUpSteering();
    void scripts_data();
    void scripts();
    void scriptPastItsTimeOutIsKilledAndReported();

private:
    QString writeScript(const QString &name, const QByteArray &body);
    static QByteArray readMarker(const QString &path);

    QTemporaryDir m_dir;
    QNetworkAccessManager m_manager;
    ErrorRecordingBackend m_backend;
    QScopedPointer<WhatIsMyLocation> m_location;
};

void TestDaemonFrontend::init()
{
    debugLines.clear();
    m_backend.errors.clear();
    m_location.reset(new WhatIsMyLocation(&m_manager, "test", SemVer("1.0.0"), "http://127.0.0.1:1/"));
    Settings settings;
    settings.setExecuteExternalScripts(false);
    settings.setPathToAfterConnectScript(QString());
    settings.setPathToAfterDisconnectScript(QString());
    qInstallMessageHandler(captureDebug);
}

void TestDaemonFrontend::cleanup()
{
    qInstallMessageHandler(nullptr);
}

QString TestDaemonFrontend::writeScript(const QString &name, const QByteArray &body)
{
    QFile script(m_dir.filePath(name));
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script.fileName();
}

QByteArray TestDaemonFrontend::readMarker(const QString &path)
{
    QFile marker(path);
    return marker.open(QIODevice::ReadOnly) ? marker.readAll() : QByteArray();
}

void TestDaemonFrontend::logLines_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("line");

    QTest::newRow("progress") << "progress"
                              << "Daemon::onVpnStartupProgress -  \"OPENVPN_STARTING\"";
    QTest::newRow("result") << "result"
                            << "Daemon::onVpnStartupResult";
    QTest::newRow("state") << "state"
                           << "Daemon::onUpdateState";
    QTest::newRow("error") << "error"
                           << "Daemon::onReceiveErrorMessage -  \"Host down\"  ,  \"Try another\"";
    QTest::newRow("fatal") << "fatal"
                           << "Daemon::onReceiveFatalErrorMessage -  \"Engine died\"  ,  \"fake connection\"";
    QTest::newRow("terminated")
        << "terminated"
        << "Daemon::vpnTerminated  - failed to start flag:  true  - password request flag:  false";
    QTest::newRow("closed") << "closed"
                            << "Daemon::onEventClosed - id  42";
    QTest::newRow("password") << "password"
                              << "Daemon::vpnPasswordRequest - authRetry  2";
    QTest::newRow("bytes") << "bytes"
                           << "Daemon::onUpdateByteCount";
    QTest::newRow("connected") << "connected"
                               << "Daemon::onConnected";
    QTest::newRow("new config") << "newconfig"
                                << "Daemon::onNewConfigWasDownloaded";
}

void TestDaemonFrontend::logLines()
{
    QFETCH(QString, event);
    QFETCH(QString, line);

    DaemonVpnFrontend frontend(&m_manager, m_backend, *m_location);
    const auto params = parameters();
    if (event == "progress")
        frontend.onVpnStartupProgress(VpnStartupProgress(params, "OPENVPN_STARTING", VpnStartupProgress::RUNNING));
    else if (event == "result")
        frontend.onVpnStartupResult(VpnStartupResult(params, VpnStartupResult::STARTED, QString(), 0));
    else if (event == "state")
        frontend.onUpdateState(VpnConnectionState(params));
    else if (event == "error")
        frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(params, "Host down", "Try another"));
    else if (event == "fatal")
        frontend.onReceiveFatalErrorMessage(
            ErrorMessage::GetVpnFatalErrorMessage(params, "Engine died", "fake connection"));
    else if (event == "terminated")
        frontend.vpnTerminated(VpnTerminationReport(params).withFailedToStartFlag());
    else if (event == "closed")
        frontend.onEventClosed(42);
    else if (event == "password")
        frontend.vpnPasswordRequest(PasswordRequestMessage(params, 2));
    else if (event == "bytes")
        frontend.onUpdateByteCount(ByteCount(1, 2));
    else if (event == "connected")
        frontend.onConnected();
    else if (event == "newconfig")
        frontend.onNewConfigWasDownloaded();
    QCOMPARE(debugLines, QStringList {line});
    QVERIFY(m_backend.errors.isEmpty());
}

void TestDaemonFrontend::runningFlag()
{
    DaemonVpnFrontend frontend(&m_manager, m_backend, *m_location);
    QVERIFY(!frontend.isRunning());
    frontend.onUpdateState(VpnConnectionState(parameters())); // no start-up before it
    QVERIFY(frontend.isRunning());
    frontend.onConnected();
    QVERIFY(frontend.isRunning());
    frontend.vpnTerminated(VpnTerminationReport(parameters()).withFailedToStartFlag());
    QVERIFY(!frontend.isRunning());
}

// The phase a quit acts on: "p" an attempt's first progress message, "s" a
// started result, "a" an aborted result, "c" a failed preliminary check,
// "u" a state report, "t" the termination report.
void TestDaemonFrontend::runPhase_data()
{
    QTest::addColumn<QString>("events");
    QTest::addColumn<bool>("starting");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("ends");

    QTest::newRow("idle") << "" << false << false << 0;
    QTest::newRow("start-up") << "p" << true << false << 0;
    QTest::newRow("started, no state yet") << "ps" << false << true << 0;
    QTest::newRow("connected") << "psu" << false << true << 0;
    QTest::newRow("aborted start-up") << "pa" << false << false << 1;
    QTest::newRow("failed checks") << "pc" << false << false << 1;
    QTest::newRow("engine ended") << "psut" << false << false << 1;
    QTest::newRow("engine ended during its start") << "pst" << false << false << 1;
    QTest::newRow("second attempt") << "psutp" << true << false << 1;
}

void TestDaemonFrontend::runPhase()
{
    QFETCH(QString, events);
    DaemonVpnFrontend frontend(&m_manager, m_backend, *m_location);
    QSignalSpy ends(&frontend, &DaemonVpnFrontend::runEnded);
    for (const QChar event : events) {
        switch (event.toLatin1()) {
        case 'p':
            frontend.onVpnStartupProgress(
                VpnStartupProgress(parameters(), "INIT_CONNECTION", VpnStartupProgress::INITIAL));
            break;
        case 's': frontend.onVpnStartupResult(VpnStartupResult(parameters(), VpnStartupResult::STARTED, "", 0)); break;
        case 'a': frontend.onVpnStartupResult(VpnStartupResult(parameters(), VpnStartupResult::ABORTED, "", 0)); break;
        case 'c':
            frontend.onVpnStartupResult(
                VpnStartupResult(parameters(), VpnStartupResult::PRELIMINARY_CHECKS_FAILED, "", 1));
            break;
        case 'u': frontend.onUpdateState(VpnConnectionState(parameters())); break;
        case 't': frontend.vpnTerminated(VpnTerminationReport(parameters())); break;
        }
    }
    QTEST(frontend.isStarting(), "starting");
    QTEST(frontend.isRunning(), "running");
    QCOMPARE(frontend.isActive(), frontend.isStarting() || frontend.isRunning());
    QTEST(ends.size(), "ends");
}

void TestDaemonFrontend::locationLookUpSteering()
{
    DaemonVpnFrontend frontend(&m_manager, m_backend, *m_location);
    QCOMPARE(m_location->getCount(), 1); // the first look-up starts with the frontend

    // A progress message that is not an attempt's first leaves the retries on.
    frontend.onVpnStartupProgress(VpnStartupProgress(parameters(), "OPENVPN_STARTING", VpnStartupProgress::RUNNING));
    QTRY_VERIFY(m_location->getCount() > 1);

    // An attempt's first message stops the retries of a failing look-up.
    frontend.onVpnStartupProgress(VpnStartupProgress(parameters(), "INIT_CONNECTION", VpnStartupProgress::INITIAL));
    QTest::qWait(300);
    const int stoppedAt = m_location->getCount();
    QTest::qWait(300);
    QCOMPARE(m_location->getCount(), stoppedAt);

    // The end of a connection starts a new look-up with its count reset.
    frontend.vpnTerminated(VpnTerminationReport(parameters()));
    QCOMPARE(m_location->getCount(), 1);
    QTRY_VERIFY(m_location->getCount() > 1); // and its retries run again
}

void TestDaemonFrontend::scripts_data()
{
    QTest::addColumn<bool>("externalScripts");
    QTest::addColumn<bool>("connectPath");
    QTest::addColumn<bool>("disconnectPath");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("both switched on") << true << true << true << QByteArray("connect\ndisconnect\n");
    QTest::newRow("scripts switched off") << false << true << true << QByteArray();
    QTest::newRow("only after-disconnect") << true << false << true << QByteArray("disconnect\n");
    QTest::newRow("only after-connect") << true << true << false << QByteArray("connect\n");
}

void TestDaemonFrontend::scripts()
{
    QFETCH(bool, externalScripts);
    QFETCH(bool, connectPath);
    QFETCH(bool, disconnectPath);
    QFETCH(QByteArray, expected);

    const QString marker = m_dir.filePath(QStringLiteral("%1.log").arg(QTest::currentDataTag()));
    Settings settings;
    settings.setExecuteExternalScripts(externalScripts);
    settings.setExternalProcessTimeout(10);
    settings.setPathToAfterConnectScript(
        connectPath ? writeScript("connect.sh", "echo connect >> '" + marker.toLocal8Bit() + "'")
                    : QStringLiteral("  "));
    settings.setPathToAfterDisconnectScript(
        disconnectPath ? writeScript("disconnect.sh", "echo disconnect >> '" + marker.toLocal8Bit() + "'") : QString());

    DaemonVpnFrontend frontend(&m_manager, m_backend, *m_location);
    frontend.onConnected();
    if (connectPath && externalScripts)
        QTRY_COMPARE(readMarker(marker), QByteArray("connect\n"));
    // Also after a start that failed.
    frontend.vpnTerminated(VpnTerminationReport(parameters()).withFailedToStartFlag());
    if (expected.isEmpty())
        QTest::qWait(500);
    else
        QTRY_COMPARE(readMarker(marker), expected);
    QTest::qWait(100);
    QCOMPARE(readMarker(marker), expected);
    QVERIFY(m_backend.errors.isEmpty());
}

void TestDaemonFrontend::scriptPastItsTimeOutIsKilledAndReported()
{
    Settings settings;
    settings.setExecuteExternalScripts(true);
    settings.setExternalProcessTimeout(1);
    const QString script = writeScript("slow.sh", "exec sleep 30");
    settings.setPathToAfterConnectScript(script);

    DaemonVpnFrontend frontend(&m_manager, m_backend, *m_location);
    QElapsedTimer timer;
    timer.start();
    frontend.onConnected();
    QTRY_COMPARE_WITH_TIMEOUT(m_backend.errors.size(), 1, 10000);
    QVERIFY(timer.elapsed() >= 900);
    QCOMPARE(m_backend.errors.first(),
             "After Connect Script was killed,\nbecause it did not terminate within 1 seconds!|Path: " + script);
}

QTEST_GUILESS_MAIN(TestDaemonFrontend)
#include "tst_daemonfrontend.moc"
