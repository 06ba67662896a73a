#include "LogCapture.h"
#include "system/ProcessOutputLogger.h"

#include <QProcess>
#include <QTest>
#include <memory>

namespace {

void startShell(QProcess &process, const QString &script)
{
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
}

QString outLine(const QString &text)
{
    return QStringLiteral("\"sh\" === \"stdout\" ==>> \"%1\"").arg(text);
}

} // namespace

class TestProcessOutputLogger : public QObject
{
    Q_OBJECT

private slots:
    void partialLineWaitsForTheEnd()
    {
        LogCapture log;
        QProcess process;
        const auto logger = ProcessOutputLogger::logProcessOutput("sh", process);
        startShell(process, "printf 'one\\ntwo'; sleep 0.5");
        QVERIFY(logger->waitForProcessStarted(5));
        QVERIFY(process.waitForReadyRead(5000));
        QCOMPARE(log.messages(), QStringList {outLine("one")});
        QVERIFY(logger->waitForProcessFinished(5));
        QCOMPARE(log.messages(),
                 QStringList({outLine("one"), outLine("two"),
                              R"("sh" === process finished with exit code: 0, exit status: NormalExit ===)"}));
    }

    void emptyLinesBeforeTheEndAreTrimmedAway()
    {
        LogCapture log;
        QProcess process;
        const auto logger = ProcessOutputLogger::logProcessOutput("sh", process);
        startShell(process, "printf '\\n\\ntext\\n'; sleep 0.5");
        QVERIFY(process.waitForReadyRead(5000));
        QCOMPARE(log.messages(), QStringList {outLine("text")});
        QVERIFY(logger->waitForProcessFinished(5));
    }

    void emptyLinesInTheFinalFlushAreKept()
    {
        QProcess process;
        startShell(process, "printf '\\n\\ntext\\n' >&2");
        QVERIFY(process.waitForFinished(5000));
        LogCapture log;
        ProcessOutputLogger logger("sh", process, false);
        logger.printAndForgetLog();
        QCOMPARE(log.messages(), QStringList({R"("sh" === "stderr" ==>> "")", R"("sh" === "stderr" ==>> "")",
                                              R"("sh" === "stderr" ==>> "text")"}));
    }

    void retainedCopyIsTheWholeOutput()
    {
        QProcess process;
        const auto logger = ProcessOutputLogger::logAndRetainProcessOutput("sh", process);
        startShell(process, "printf 'a'; sleep 0.1; printf 'b\\nc'; printf 'E1\\n' >&2; sleep 0.1;"
                            "printf '\\n\\nd'; printf 'E2' >&2");
        QVERIFY(logger->waitForProcessStarted(5));
        QVERIFY(logger->waitForProcessFinished(5));
        QCOMPARE(logger->getStdOutCopy(), QByteArray("ab\nc\n\nd"));
        QCOMPARE(logger->getStdErrCopy(), QByteArray("E1\nE2"));
    }

    void copyWithoutRetainWarns()
    {
        QProcess process;
        const auto logger = ProcessOutputLogger::logProcessOutput("sh", process);
        startShell(process, "echo hello");
        QVERIFY(logger->waitForProcessFinished(5));
        LogCapture log;
        QCOMPARE(logger->getStdOutCopy(), QByteArray());
        QCOMPARE(logger->getStdErrCopy(), QByteArray());
        QCOMPARE(
            log.messages(),
            QStringList({"Warning, misconfiguration: stdout was not kept in memory - empty bytearray is returned",
                         "Warning, misconfiguration: stderr was not kept in memory - empty bytearray is returned"}));
    }

    void failedStartCountsAsFinished()
    {
        LogCapture log;
        QProcess process;
        const auto logger = ProcessOutputLogger::logProcessOutput("missing", process);
        process.start(QStringLiteral("/nonexistent/program"), QStringList());
        QVERIFY(!logger->waitForProcessStarted(5));
        QVERIFY(logger->waitForProcessFinished(5));
        QVERIFY(log.contains(R"("missing" === an error occurred: FailedToStart ===)"));
    }

    void processDestructionIsLogged()
    {
        LogCapture log;
        auto process = std::make_unique<QProcess>();
        const auto logger = ProcessOutputLogger::logProcessOutput("sh", *process);
        process.reset();
        QCOMPARE(log.messages(), QStringList {R"("sh" === process destroyed ===)"});
    }
};

QTEST_GUILESS_MAIN(TestProcessOutputLogger)
#include "tst_processoutputlogger.moc"
