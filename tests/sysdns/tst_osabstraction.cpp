#include "RecordingOsAbstraction.h"
#include "system/NullOsAbstraction.h"

#include <QSignalSpy>
#include <QTest>

class TestOsAbstraction : public QObject
{
    Q_OBJECT

private slots:
    void oneServiceRunsTheListOperation_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::newRow("enable") << true;
        QTest::newRow("disable") << false;
    }

    void oneServiceRunsTheListOperation()
    {
        QFETCH(bool, enable);
        RecordingOsAbstraction os;
        if (enable)
            os.enableInterface(QStringLiteral("Wi-Fi"));
        else
            os.disableInterface(QStringLiteral("Wi-Fi"));
        const QString expected = enable ? "enableInterfaces [Wi-Fi]" : "disableInterfaces [Wi-Fi]";
        QCOMPARE(os.calls, QStringList {expected});
    }

    void routesToDns_data()
    {
        QTest::addColumn<QStringList>("servers");
        QTest::addColumn<QStringList>("routed");
        QTest::newRow("resolver order") << QStringList {"10.0.0.2", "10.0.0.1"} << QStringList {"10.0.0.2", "10.0.0.1"};
        QTest::newRow("only 0.0.0.0") << QStringList {"0.0.0.0"} << QStringList {};
        QTest::newRow("none") << QStringList {} << QStringList {};
        QTest::newRow("invalid and IPv6 dropped")
            << QStringList {"0.0.0.0", "fd00::53", "192.0.2.53"} << QStringList {"192.0.2.53"};
    }

    void routesToDns()
    {
        QFETCH(QStringList, servers);
        QFETCH(QStringList, routed);
        for (const bool protect : {true, false}) {
            RecordingOsAbstraction os;
            for (const QString &server : servers)
                os.nameServers << QHostAddress(server);
            if (protect)
                os.protectRoutesToDns();
            else
                os.removeRoutesToDns();
            QStringList expected {"currentNameServers"};
            for (const QString &server : routed)
                expected << (protect ? "protectHost " : "releaseHost ") + server;
            QCOMPARE(os.calls, expected);
        }
    }

    void baseAnswersOfTheOptionalOperations()
    {
        NullOsAbstraction os;
        QSignalSpy errors(&os, &OsAbstraction::errorMessage);
        QCOMPARE(os.hasTunTapProblem(), false);
        QCOMPARE(os.reinstallTunTapDriver(), true);
        QCOMPARE(os.stopWebRtcLeakProtection(), true);
        QCOMPARE(os.startWebRtcLeakProtection(), true);
        QCOMPARE(os.createOutsideDnsBlocker(QStringLiteral("/x/Stelvane")), nullptr);
        QCOMPARE(os.canRunRouteProgram(), false);
        os.installSigTermHandler();
        os.showDockIcon();
        os.hideDockIcon();
        QCOMPARE(errors.count(), 0);
    }

    void recordingFakeReportsConfiguredFailures()
    {
        RecordingOsAbstraction os;
        os.failures.insert(QStringLiteral("setNameServers"), {QStringLiteral("title"), QStringLiteral("text")});
        QSignalSpy errors(&os, &OsAbstraction::errorMessage);
        os.removeNameServers();
        os.setNameServers({QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2")});
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("title"));
        QCOMPARE(os.callsOf(QStringLiteral("setNameServers")), QStringList {"setNameServers [10.0.0.1,10.0.0.2]"});
    }
};

QTEST_GUILESS_MAIN(TestOsAbstraction)
#include "tst_osabstraction.moc"
