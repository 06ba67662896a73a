#include "LogCapture.h"
#include "app/NullMessageHandler.h"
#include "system/SystemInfoCollection.h"
#include "system/SystemPrograms.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The system information of the log: written after the start without holding
// up the main thread, the same lines as ever, nothing while logging is off.
class TestSystemInfoCollection : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString marker() const { return m_dir.filePath("profiler-ran"); }

    // A system_profiler that leaves a marker, prints two lines and then runs `tail`.
    QString fakeProfiler(const QByteArray &tail = QByteArray())
    {
        const QString path = m_dir.filePath("system_profiler");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write("#!/bin/sh\ntouch '" + marker().toUtf8() + "'\necho 'Hardware:'\necho \"  Level: $2\"\n" + tail
                   + "\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    SystemInfoCollection::Programs programs(const QString &profiler, int timeoutSeconds = 30) const
    {
        return {profiler,
                {QStringLiteral("/sbin/ls"), QStringLiteral("/bin/ls")},
                m_dir.filePath("bundle"),
                timeoutSeconds};
    }

private slots:
    void init()
    {
        QFile::remove(marker());
        QVERIFY(QDir(m_dir.path()).mkpath("bundle/Contents/MacOS"));
        QFile program(m_dir.filePath("bundle/Contents/MacOS/OrvalVPN"));
        QVERIFY(program.open(QIODevice::WriteOnly));
    }

    void cleanup() { QLoggingCategory::setFilterRules(QString()); }

    void linesAsEver()
    {
        LogCapture log;
        SystemInfoCollection collection(programs(fakeProfiler()));
        QSignalSpy finished(&collection, &SystemInfoCollection::finished);
        collection.start();
        collection.start();
        QVERIFY(finished.wait(20000));
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);

        const QString bundle = m_dir.filePath("bundle");
        QStringList lines = log.messages();
        QCOMPARE(lines.count("Printing System Info"), 1);
        QCOMPARE(lines.first(), QStringLiteral("Printing System Info"));
        QCOMPARE(lines.at(1), QStringLiteral("Qt System Info ==>> [init]"));
        QCOMPARE(lines.at(6), QStringLiteral("Qt System Info ==>> [end]"));
        lines = lines.mid(7);
        const QStringList profiler = {
            "Starting system_profiler -detailLevel mini SPHardwareDataType SPSoftwareDataType SPNetworkDataType",
            R"("system_profiler" === "stdout" ==>> "Hardware:")",
            R"("system_profiler" === "stdout" ==>> "Level: mini")",
            R"("system_profiler" === process finished with exit code: 0, exit status: NormalExit ===)",
            "Applying ls to path: " + bundle,
            "Starting /bin/ls " + SystemPrograms::lsOptions().join(' ') + ' ' + bundle,
        };
        QCOMPARE(lines.mid(0, profiler.size()), profiler);
        const QStringList listing = lines.mid(profiler.size());
        QVERIFY2(listing.filter(QRegularExpression(R"(^"LsUtil" === "stdout" ==>> ".* OrvalVPN"$)")).size() == 1,
                 qPrintable(listing.join('\n')));
        QCOMPARE(listing.last(),
                 QStringLiteral(R"("LsUtil" === process finished with exit code: 0, exit status: NormalExit ===)"));
        QVERIFY(lines.filter("process destroyed").isEmpty());
    }

    void nothingRunsWithLoggingOff_data()
    {
        QTest::addColumn<bool>("noLogHandler");
        QTest::newRow("no log handler installed") << true;
        QTest::newRow("the system's lines switched off") << false;
    }

    void nothingRunsWithLoggingOff()
    {
        QFETCH(bool, noLogHandler);
        QScopedPointer<NullMessageHandler> handler;
        if (noLogHandler)
            handler.reset(new NullMessageHandler);
        else
            QLoggingCategory::setFilterRules(QStringLiteral("orval.system.debug=false"));
        SystemInfoCollection collection(programs(fakeProfiler()));
        QSignalSpy finished(&collection, &SystemInfoCollection::finished);
        collection.start();
        QVERIFY(finished.wait(5000));
        QVERIFY(!QFile::exists(marker()));
    }

    void noLogHandlerSwitchesCategoriesOffWhileItLives()
    {
        const QLoggingCategory category("orval.test");
        {
            const NullMessageHandler handler;
            QVERIFY(!category.isDebugEnabled());
            QVERIFY(!category.isWarningEnabled());
        }
        QVERIFY(category.isDebugEnabled());
    }

    void profilerThatNeverEndsIsKilledAndTheBundleStillListed()
    {
        LogCapture log;
        SystemInfoCollection collection(programs(fakeProfiler("exec sleep 30"), 1));
        QSignalSpy finished(&collection, &SystemInfoCollection::finished);
        collection.start();
        // Started, not waited for.
        QVERIFY(log.contains("Starting system_profiler -detailLevel mini SPHardwareDataType SPSoftwareDataType "
                             "SPNetworkDataType"));
        QCOMPARE(finished.count(), 0);
        QVERIFY(finished.wait(10000));
        QVERIFY(log.contains("systemprofiler did not finish after 1 seconds, it will be killed"));
        QVERIFY(log.contains("Applying ls to path: " + m_dir.filePath("bundle")));
        QCOMPARE(log.messages().last(),
                 QStringLiteral(R"("LsUtil" === process finished with exit code: 0, exit status: NormalExit ===)"));
    }
};

QTEST_GUILESS_MAIN(TestSystemInfoCollection)
#include "tst_systeminfocollection.moc"
