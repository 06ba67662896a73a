#include "system/SigTermHandler.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <signal.h>

class TestSigTermHandler : public QObject
{
    Q_OBJECT

private slots:
    void cleanUpArgumentsNameTheFileAlone();
    void engineIdFollowsTheEngine();
    void signalKillsEngineAndExecsCleanUp_data();
    void signalKillsEngineAndExecsCleanUp();
    void missingExecutableKillsItself();

private:
    static bool isGone(qint64 pid);
};

bool TestSigTermHandler::isGone(qint64 pid)
{
    // A killed child not yet reaped by its new parent counts as gone.
    for (int i = 0; i < 100; ++i) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        if (close > 0 && line.mid(close + 2, 1) == "Z")
            return true;
        QThread::msleep(50);
    }
    return false;
}

void TestSigTermHandler::cleanUpArgumentsNameTheFileAlone()
{
    QCOMPARE(SigTermHandler::cleanUpArguments(QStringLiteral("/Applications/OrvalVPN.app/Contents/MacOS/OrvalVPN")),
             QStringList({"OrvalVPN", "--cleanup"}));
}

void TestSigTermHandler::engineIdFollowsTheEngine()
{
    SigTermHandler handler(QStringLiteral("/bin/true"));
    QProcess engine;
    engine.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(engine.waitForStarted());

    handler.onOpenVpnStarted(engine);
    QCOMPARE(SigTermHandler::engineProcessId(), static_cast<long>(engine.processId()));
    handler.onOpenVpnTerminated();
    QCOMPARE(SigTermHandler::engineProcessId(), 0L);
    handler.onOpenVpnStarted(engine);
    handler.onOpenVpnFailedToStart();
    QCOMPARE(SigTermHandler::engineProcessId(), 0L);

    engine.kill();
    engine.waitForFinished();
    // The test itself must not be replaced by a clean-up run at exit.
    for (int caught : {SIGINT, SIGTERM, SIGABRT, SIGQUIT})
        std::signal(caught, SIG_DFL);
}

void TestSigTermHandler::signalKillsEngineAndExecsCleanUp_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("engineRunning");

    QTest::newRow("SIGTERM, engine running") << int(SIGTERM) << true;
    QTest::newRow("SIGINT, engine running") << int(SIGINT) << true;
    QTest::newRow("SIGQUIT, engine running") << int(SIGQUIT) << true;
    QTest::newRow("SIGABRT, engine running") << int(SIGABRT) << true;
    QTest::newRow("SIGTERM, engine already ended") << int(SIGTERM) << false;
    QTest::newRow("SIGINT, engine already ended") << int(SIGINT) << false;
}

void TestSigTermHandler::signalKillsEngineAndExecsCleanUp()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, engineRunning);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("cleanup-ran"));

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PROBE_MARKER"), marker);
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(SIGTERM_PROBE), {engineRunning ? QStringLiteral("engine") : QStringLiteral("noengine")});
    QVERIFY(probe.waitForStarted());
    QVERIFY(probe.waitForReadyRead(10000));
    const QByteArray ready = probe.readLine().trimmed();
    QVERIFY2(ready.startsWith("ready "), ready.constData());
    const qint64 enginePid = ready.mid(6).toLongLong();
    const qint64 probePid = probe.processId();

    QCOMPARE(::kill(static_cast<pid_t>(probePid), signalNumber), 0);
    QVERIFY(probe.waitForFinished(10000));
    const QByteArray log = probe.readAllStandardError();

    // The same process, now the clean-up run: it exited normally and wrote its marker.
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    QFile written(marker);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().trimmed(), QByteArray::number(probePid) + " sigterm_probe 2");
    QVERIFY(log.contains("Exiting gracefully...\n"));
    QVERIFY(log.contains("Execute " + QByteArray(SIGTERM_PROBE) + " --cleanup\n"));

    if (engineRunning) {
        QVERIFY(log.contains("Kill VPN process\n"));
        QVERIFY(isGone(enginePid));
    } else {
        QVERIFY(!log.contains("Kill VPN process"));
        QVERIFY2(::kill(static_cast<pid_t>(enginePid), 0) == 0, "no stale engine id is killed");
        ::kill(static_cast<pid_t>(enginePid), SIGKILL);
    }
}

void TestSigTermHandler::missingExecutableKillsItself()
{
    QProcess probe;
    probe.start(QStringLiteral(SIGTERM_PROBE), {QStringLiteral("missing")});
    QVERIFY(probe.waitForStarted());
    QVERIFY(probe.waitForReadyRead(10000));
    const qint64 enginePid = probe.readLine().trimmed().mid(6).toLongLong();

    QCOMPARE(::kill(static_cast<pid_t>(probe.processId()), SIGTERM), 0);
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
    const QByteArray log = probe.readAllStandardError();
    QVERIFY(log.contains("Error: exact path of Halvorix unknown.\n"));
    QVERIFY(log.contains("Try to kill itself "));
    QVERIFY(isGone(enginePid));
}

QTEST_GUILESS_MAIN(TestSigTermHandler)
#include "tst_sigtermhandler.moc"
