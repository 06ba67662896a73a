#include "FakeConnectionParameters.h"
#include "RecordingFrontend.h"
#include "backend/AbortedVpnProcess.h"
#include "backend/NullVpnProcess.h"
#include "backend/StartingVpnProcess.h"

#include <QTest>

using Params = QSharedPointer<ConnectionParameters>;

class TestVpnProcess : public QObject
{
    Q_OBJECT

    QStringList log;

private slots:
    void init() { log.clear(); }

    // What each situation lets through: (stopped, result delivered, state delivered).
    void situations_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<QStringList>("delivered");
        QTest::newRow("null") << "null" << true << QStringList{};
        QTest::newRow("starting") << "starting" << false << QStringList{};
        QTest::newRow("aborted") << "aborted" << true << QStringList{"F:result Aborted by the user."};
    }

    void situations()
    {
        QFETCH(QString, situation);
        QFETCH(bool, stopped);
        QFETCH(QStringList, delivered);
        const Params params(new FakeConnectionParameters);
        QScopedPointer<VpnProcess> process;
        if (situation == "null")
            process.reset(new NullVpnProcess);
        else if (situation == "starting")
            process.reset(new StartingVpnProcess);
        else
            process.reset(new AbortedVpnProcess(
                VpnStartupResult(params, VpnStartupResult::ABORTED, "Aborted by the user.", 0)));

        RecordingFrontend frontend("F", log);
        VpnConnectionState state(params);
        state.updateState("CONNECTED", "", "", "");
        QCOMPARE(process->isStopped(), stopped);
        process->sendResultTo(frontend);
        process->sendUpdatedStateTo(frontend, state); // never reaches a frontend before the engine runs
        process->sendUserNamePassword("user", "password");
        process->stop();
        QCOMPARE(log, delivered);
    }

    void abortedResultKeepsItsEvent()
    {
        const VpnStartupResult result(Params(new FakeConnectionParameters), VpnStartupResult::PRELIMINARY_CHECKS_FAILED,
                                      "Preliminary checks failed!", VpnStartupResult::IKS_SETTINGS_ASK);
        AbortedVpnProcess process(result);
        RecordingFrontend frontend("F", log);
        process.sendResultTo(frontend);
        process.sendResultTo(frontend);
        QCOMPARE(frontend.ids, (QList<quint64>{result.getId(), result.getId()}));
    }
};

QTEST_GUILESS_MAIN(TestVpnProcess)
#include "tst_vpnprocess.moc"
