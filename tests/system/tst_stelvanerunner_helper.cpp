#include "NetnsSandbox.h"
#include "system/StelvaneRunner.h"
#include "system/StelvaneRunnerFailed.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The runner against the real helper in a bundle of the test's own, with the
// probe as the bundle's main program, inside a network namespace of its own.
class TestStelvaneRunnerHelper : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString mainProgram;
    QString lastLog; // the probe's debug log, for failure messages

    static bool copyExecutable(const QString& from, const QString& to)
    {
        return QFile::copy(from, to)
            && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup
                                             | QFile::ExeOther | QFile::ReadGroup | QFile::ReadOther);
    }

    static bool copyDirectory(const QString& from, const QString& to)
    {
        if (!QDir().mkpath(to))
            return false;
        for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files)) {
            if (!copyExecutable(entry.filePath(), to + '/' + entry.fileName()))
                return false;
        }
        return true;
    }

    QString probe(const QStringList& arguments)
    {
        QProcess process;
        process.start(mainProgram, arguments);
        if (!process.waitForFinished(30000))
            return QStringLiteral("probe did not finish");
        lastLog = QString::fromLocal8Bit(process.readAllStandardError());
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        NETNS_SANDBOX_OR_SKIP();
        QVERIFY(dir.isValid());
        const QString contents = dir.filePath("Probe.app/Contents");
        QVERIFY(QDir().mkpath(contents + "/MacOS"));
        QVERIFY(QDir().mkpath(contents + "/Helpers"));
        // Copies, not links: the helper sees the paths that /proc resolves.
        mainProgram = contents + "/MacOS/OrvalVPN";
        QVERIFY(copyExecutable(STELVANE_RUNNER_PROBE, mainProgram));
        QVERIFY(copyExecutable(STELVANE_PROGRAM, contents + "/Helpers/Stelvane"));
        QVERIFY(copyDirectory(ORVAL_BUNDLE_DIR "/Platform/bin", contents + "/Platform/bin"));
        QVERIFY(copyDirectory(ORVAL_BUNDLE_DIR "/Platform/lib", contents + "/Platform/lib"));
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
        QVERIFY2(probe({"Interface", "orvrh1", "up"}).isEmpty(), qPrintable(lastLog));
        QCOMPARE(probe({"--enabled", "orvrh1"}), QStringLiteral("enabled"));
    }

    void helperRefusesACallerOutsideItsBundle()
    {
        // This test program is not the bundle's main program.
        StelvaneRunner runner(ORVAL_BUNDLE_DIR "/Helpers/Stelvane", {30, 60});
        try {
            runner.isInterfaceEnabled("orvrh0");
            QFAIL("no exception");
        } catch (const StelvaneRunnerFailed& e) {
            QCOMPARE(e.title(), QStringLiteral("Stelvane Failed: The program Stelvane refused to run the command."));
            QCOMPARE(e.text(), QStringLiteral("Arguments:\nCheckInterfaceState orvrh0\nError code: 402"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStelvaneRunnerHelper)
#include "tst_stelvanerunner_helper.moc"
