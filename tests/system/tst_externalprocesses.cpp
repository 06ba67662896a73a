#include "LogCapture.h"
#include "system/FireAndForgetProcess.h"
#include "system/KillAll.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/types.h>

namespace {

struct Report
{
    QString message;
    QString details;
};

bool processAlive(qint64 pid)
{
    // A reaped process is gone; a zombie would still answer kill(0).
    return ::kill(pid_t(pid), 0) == 0;
}

} // namespace

class TestExternalProcesses : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<Report> m_reports;

    FireAndForgetProcess::Callback recorder()
    {
        return [this](const QString &message, const QString &details) { m_reports << Report {message, details}; };
    }

    QString script(const QString &name, const QByteArray &body)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("#!/bin/sh\necho $$ > \"" + m_dir.filePath(name + ".pid").toUtf8() + "\"\n" + body);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    qint64 pidOf(const QString &name)
    {
        QFile file(m_dir.filePath(name + ".pid"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
    }

private slots:
    void init() { m_reports.clear(); }

    void scriptPastItsLimitIsKilled()
    {
        LogCapture log;
        const QString path = script("slow", "exec sleep 30\n");
        FireAndForgetProcess::execute("After Connect Script", 1, path, recorder());
        QTRY_COMPARE_WITH_TIMEOUT(m_reports.size(), 1, 10000);
        QCOMPARE(m_reports.first().message,
                 QStringLiteral("After Connect Script was killed,\nbecause it did not terminate within 1 seconds!"));
        QCOMPARE(m_reports.first().details, "Path: " + path);
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(R"(FireAndForgetProcess "After Connect Script" was destructed.)"), 10000);
        QVERIFY(pidOf("slow") > 0);
        QVERIFY(!processAlive(pidOf("slow")));
        // The error signal of the kill is no second message.
        QVERIFY(!log.matching("signal ignored because process was killed by timeout handler").isEmpty());
        QCOMPARE(m_reports.size(), 1);
    }

    void limitCountsFromTheStart()
    {
        const QString path = script("quick", "sleep 0.3\nexit 3\n");
        LogCapture log;
        FireAndForgetProcess::execute("Before Connect Script", 10, path, recorder());
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(R"(FireAndForgetProcess "Before Connect Script" was destructed.)"),
                                 10000);
        QVERIFY(log.contains(R"(FireAndForgetProcess "Before Connect Script" finished with exit code 3)"));
        QVERIFY(m_reports.isEmpty());
    }

    void missingProgramFailsToStart()
    {
        const QString path = m_dir.filePath("no-such-script");
        LogCapture log;
        FireAndForgetProcess::execute("After Disconnect Script", 15, path, recorder());
        QTRY_COMPARE_WITH_TIMEOUT(m_reports.size(), 1, 10000);
        QCOMPARE(m_reports.first().message, QStringLiteral("After Disconnect Script failed to start."));
        QCOMPARE(m_reports.first().details, "Path: " + path);
        QTRY_VERIFY_WITH_TIMEOUT(log.contains(R"(FireAndForgetProcess "After Disconnect Script" was destructed.)"),
                                 10000);
    }

    void crashIsReported()
    {
        const QString path = script("crash", "kill -SEGV $$\n");
        FireAndForgetProcess::execute("After Connect Script", 15, path, QStringList(), recorder());
        QTRY_COMPARE_WITH_TIMEOUT(m_reports.size(), 1, 10000);
        QCOMPARE(m_reports.first().message, QStringLiteral("After Connect Script has crashed."));
    }

    void destructorWaitIsBounded()
    {
        // The marker is written once the trap is set: a TERM before that would end it.
        const QString ready = m_dir.filePath("stubborn.ready");
        const QString path = script("stubborn", "trap '' TERM\ntouch \"" + ready.toUtf8() + "\"\nexec sleep 30\n");
        LogCapture log;
        auto *runner = new FireAndForgetProcess("Before Connect Script", 1, path, QStringList(), recorder());
        runner->execute();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ready), 10000);
        QElapsedTimer clock;
        clock.start();
        delete runner;
        // The remaining second of the limit, then the kill: far below the script's 30 s.
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(log.contains(R"(FireAndForgetProcess "Before Connect Script" in destructor, process did not )"
                             "terminate within remainig timeout, killing silently..."));
        QVERIFY(!processAlive(pidOf("stubborn")));
        QVERIFY(m_reports.isEmpty());
    }

    void killAllEndsANamedProcess()
    {
        // A program name of our own, so that nothing else on the machine is hit.
        const QString name = QStringLiteral("orvkill%1").arg(QCoreApplication::applicationPid() % 100000);
        const QString copy = m_dir.filePath(name);
        QVERIFY(QFile::copy("/bin/sleep", copy));
        QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
        QProcess victim;
        victim.start(copy, {"30"});
        QVERIFY(victim.waitForStarted(5000));

        LogCapture log;
        KillAll({name}).execute();
        QVERIFY(victim.waitForFinished(10000));
        QCOMPARE(victim.exitStatus(), QProcess::CrashExit);
        QCOMPARE(log.messages(),
                 QStringList {QStringLiteral(R"(Terminating program: "killall" ("-9", "%1"))").arg(name)});
    }

    void killAllRunsEveryNameInOrder()
    {
        LogCapture log;
        KillAll({"orv-none-a", "orv-none-b", "orv-none-c"}).execute();
        QCOMPARE(log.messages(), QStringList({R"(Terminating program: "killall" ("-9", "orv-none-a"))",
                                              R"(Terminating program: "killall" ("-9", "orv-none-b"))",
                                              R"(Terminating program: "killall" ("-9", "orv-none-c"))"}));
        log.clear();
        KillAll({}).execute();
        QVERIFY(log.messages().isEmpty());
        QVERIFY(KillAll::verifyKillAllExistsOnLinux());
        QTest::qWait(300); // let the runs end and delete themselves
    }
};

QTEST_GUILESS_MAIN(TestExternalProcesses)
#include "tst_externalprocesses.moc"
