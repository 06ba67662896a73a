#include "system/SystemProfiler.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList logged;

void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logged << message;
}

} // namespace

// The platform's system_profiler answers the queries the client logs at start.
class TestSystemProfilerStandIn : public QObject
{
    Q_OBJECT

private slots:
    void reportsEveryDataTypeTheClientAsksFor()
    {
        qInstallMessageHandler(capture);
        SystemProfiler profiler(SystemProfiler::Mini, {"SPHardwareDataType", "SPSoftwareDataType", "SPNetworkDataType"},
                                ORVAL_SYSTEM_PROFILER, 30);
        QSignalSpy finished(&profiler, &SystemProfiler::finished);
        profiler.execute();
        QVERIFY(finished.wait(30000));
        qInstallMessageHandler(nullptr);
        const QString all = logged.join('\n');
        QVERIFY2(all.contains("Hardware Overview:"), qPrintable(all));
        QVERIFY(all.contains("System Version:"));
        QVERIFY(all.contains("Network:"));
    }

    void refusesWhatMacOsWouldRefuse()
    {
        QCOMPARE(QProcess::execute(ORVAL_SYSTEM_PROFILER, {"-detailLevel", "verbose"}), 1);
        QCOMPARE(QProcess::execute(ORVAL_SYSTEM_PROFILER, {"--xml"}), 1);
    }
};

QTEST_GUILESS_MAIN(TestSystemProfilerStandIn)
#include "tst_system_profiler_standin.moc"
