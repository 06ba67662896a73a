#include "Lab.h"
#include "NetnsSandbox.h"
#include "system/StelvaneRunner.h"
#include "system/StelvaneRunnerFailed.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The runner against the real helper in a bundle of the test's own, with the
// probe as the bundle's main program, inside a network namespace of its own.
class TestStelvaneRunnerHelper : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mainProgram;
    QString m_lastLog; // the probe's debug log, for failure messages

    QString probe(const QStringList &arguments)
    {
        QProcess process;
        process.start(m_mainProgram, arguments);
        if (!process.waitForFinished(30000))
            return QStringLiteral("probe did not finish");
        m_lastLog = QString::fromLocal8Bit(process.readAllStandardError());
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        NETNS_SANDBOX_OR_SKIP();
        QVERIFY(m_dir.isValid());
        const QString contents = Lab::makeBundle(ORVAL_BUNDLE_DIR, m_dir.path(), "Probe", STELVANE_RUNNER_PROBE,
                                                 {"Helpers/Stelvane", "Platform"});
        QVERIFY(!contents.isEmpty());
        m_mainProgram = contents + "/MacOS/OrvalVPN";
        QVERIFY(NetnsSandbox::ip("link add orvrh0 type veth peer name orvrh1"));
    }

    void interfaceStateThroughTheHelper()
    {
        QCOMPARE(probe({"--enabled", "orvrh0"}), QStringLiteral("disabled"));
        QVERIFY(NetnsSandbox::ip("link set orvrh0 up"));
        QCOMPARE(probe({"--enabled", "orvrh0"}), QStringLiteral("enabled"));
    }

    void changeThroughTheHelper()
    {
        QVERIFY(NetnsSandbox::ip("link set orvrh1 down"));
        QVERIFY2(probe({"Interface", "orvrh1", "up"}).isEmpty(), qPrintable(m_lastLog));
        QCOMPARE(probe({"--enabled", "orvrh1"}), QStringLiteral("enabled"));
    }

    void helperRefusesACallerOutsideItsBundle()
    {
        // This test program is not the bundle's main program.
        StelvaneRunner runner(ORVAL_BUNDLE_DIR "/Helpers/Stelvane", {30, 60});
        try {
            runner.isInterfaceEnabled("orvrh0");
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed &e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane refused to run the command."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nCheckInterfaceState orvrh0\nError code: 402"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStelvaneRunnerHelper)
#include "tst_stelvanerunner_helper.moc"
