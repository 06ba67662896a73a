#include "RecordingFrontend.h"
#include "backend/VpnFrontendDispatcher.h"

#include <QTest>

using Params = QSharedPointer<ConnectionParameters>;

namespace {

class TrayLike : public RecordingFrontend
{
public:
    using RecordingFrontend::RecordingFrontend;
};

class DaemonLike : public RecordingFrontend
{
public:
    using RecordingFrontend::RecordingFrontend;
};

VpnStartupProgress progress(const QString &key, VpnStartupProgress::ProgressState state)
{
    return VpnStartupProgress(Params(), key, state);
}

VpnStartupResult result(VpnStartupResult::ResultType type, const QString &message)
{
    return VpnStartupResult(Params(), type, message, 0);
}

} // namespace

class TestDispatcher : public QObject
{
    Q_OBJECT

    QStringList m_log;
    QSharedPointer<RecordingFrontend> frontend(const QString &name)
    {
        return QSharedPointer<RecordingFrontend>(new RecordingFrontend(name, m_log));
    }

private slots:
    void init() { m_log.clear(); }

    void everyCallReachesEveryFrontendInOrder()
    {
        VpnFrontendDispatcher dispatcher;
        dispatcher.add(frontend("A"));
        dispatcher.add(frontend("B"));
        VpnConnectionState state {Params()};
        state.updateState("CONNECTED", "", "", "");

        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL));
        dispatcher.onVpnStartupResult(result(VpnStartupResult::STARTED, "VPN started"));
        dispatcher.onUpdateState(state);
        dispatcher.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(Params(), "e", "i"));
        dispatcher.onReceiveFatalErrorMessage(ErrorMessage(Params(), true, "f", "i"));
        dispatcher.vpnPasswordRequest(PasswordRequestMessage(Params(), 1));
        dispatcher.onUpdateByteCount(ByteCount(42, 7));
        dispatcher.onConnected();
        dispatcher.onNewConfigWasDownloaded();
        dispatcher.onEventClosed(99);
        dispatcher.showFrontend();
        dispatcher.hideFrontend();
        dispatcher.toggleVisibility();
        dispatcher.vpnTerminated(VpnTerminationReport(Params()));

        const QStringList calls = {"progress INIT_CONNECTION",
                                   "result VPN started",
                                   "state CONNECTED",
                                   "error e",
                                   "fatal f",
                                   "password 1",
                                   "bytes 42",
                                   "connected",
                                   "newconfig",
                                   "closed",
                                   "show",
                                   "hide",
                                   "toggle",
                                   "terminated"};
        QStringList expected;
        for (const QString &call : calls)
            expected << "A:" + call << "B:" + call;
        QCOMPARE(m_log, expected);
    }

    void lateFrontendGetsProgressAndLastState()
    {
        VpnFrontendDispatcher dispatcher;
        const VpnStartupProgress init = progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL);
        const VpnStartupProgress checks = progress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::SUCCESS);
        const VpnStartupProgress starting = progress(VpnStartupProgress::OPENVPN_STARTING, VpnStartupProgress::RUNNING);
        VpnConnectionState state {Params()};
        state.updateState("CONNECTED", "", "", "");
        dispatcher.onVpnStartupProgress(init);
        dispatcher.onVpnStartupProgress(checks);
        dispatcher.onVpnStartupProgress(starting);
        dispatcher.onVpnStartupResult(result(VpnStartupResult::STARTED, "VPN started"));
        dispatcher.onUpdateState(state);
        dispatcher.onUpdateByteCount(ByteCount(1, 1));
        dispatcher.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(Params(), "e", "i"));

        QSharedPointer<RecordingFrontend> late = frontend("L");
        dispatcher.add(late);
        QCOMPARE(m_log, (QStringList {"L:progress INIT_CONNECTION", "L:progress PRELIMINARY_CHECKS",
                                      "L:progress OPENVPN_STARTING", "L:state CONNECTED"}));
        // Replayed messages are the same events: a later close names them.
        QCOMPARE(late->ids, (QList<quint64> {init.getId(), checks.getId(), starting.getId(), state.getId()}));
    }

    void lateFrontendGetsTheResultUntilAStateReplacesIt()
    {
        VpnFrontendDispatcher dispatcher;
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL));
        dispatcher.onVpnStartupResult(result(VpnStartupResult::STARTED, "VPN started"));
        dispatcher.add(frontend("L"));
        QCOMPARE(m_log, (QStringList {"L:progress INIT_CONNECTION", "L:result VPN started"}));
    }

    void lastStatusKeepsOnlyTheNewest()
    {
        VpnFrontendDispatcher dispatcher;
        VpnConnectionState state {Params()};
        state.updateState("WAIT", "", "", "");
        dispatcher.onUpdateState(state);
        dispatcher.vpnPasswordRequest(PasswordRequestMessage(Params(), 2));
        dispatcher.add(frontend("L"));
        QCOMPARE(m_log, QStringList {"L:password 2"});
    }

    void storedStateIsACopyTakenAtTheTime()
    {
        VpnFrontendDispatcher dispatcher;
        VpnConnectionState state {Params()};
        state.updateState("AUTH", "", "", "");
        dispatcher.onUpdateState(state);
        state.updateState("CONNECTED", "", "", ""); // the backend's live object changes later
        dispatcher.add(frontend("L"));
        QCOMPARE(m_log, QStringList {"L:state AUTH"});
    }

    void blankPictureAfterTheConnectionEnds_data()
    {
        QTest::addColumn<int>("ending");
        QTest::newRow("aborted") << 0;
        QTest::newRow("checks failed") << 1;
        QTest::newRow("terminated") << 2;
    }

    void blankPictureAfterTheConnectionEnds()
    {
        QFETCH(int, ending);
        VpnFrontendDispatcher dispatcher;
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL));
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::FAILED));
        if (ending == 0)
            dispatcher.onVpnStartupResult(result(VpnStartupResult::ABORTED, "Aborted by the user."));
        else if (ending == 1)
            dispatcher.onVpnStartupResult(result(VpnStartupResult::PRELIMINARY_CHECKS_FAILED, "x"));
        else
            dispatcher.vpnTerminated(VpnTerminationReport(Params()));
        dispatcher.add(frontend("L"));
        QVERIFY(m_log.isEmpty());
    }

    void newStartupDropsTheOldHistory()
    {
        VpnFrontendDispatcher dispatcher;
        VpnConnectionState state {Params()};
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL));
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::PRELIMINARY_CHECKS, VpnStartupProgress::SUCCESS));
        dispatcher.onUpdateState(state);
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL));
        dispatcher.add(frontend("L"));
        QCOMPARE(m_log, QStringList {"L:progress INIT_CONNECTION"});
    }

    void nullFrontendIsIgnored()
    {
        VpnFrontendDispatcher dispatcher;
        dispatcher.add(QSharedPointer<VpnFrontend>());
        dispatcher.showFrontend();
        QVERIFY(dispatcher.containsOnlyFrontendsOfType<DaemonLike>());
    }

    void removingAnUnknownFrontendWarns()
    {
        VpnFrontendDispatcher dispatcher;
        QSharedPointer<RecordingFrontend> attached = frontend("A");
        QSharedPointer<RecordingFrontend> stranger = frontend("S");
        dispatcher.add(attached);
        QTest::ignoreMessage(QtDebugMsg, "VpnFrontendDispatcher Warning: frontend could not be removed.");
        dispatcher.remove(stranger.data());
        dispatcher.showFrontend();
        QCOMPARE(m_log, QStringList {"A:show"});

        dispatcher.remove(attached.data());
        dispatcher.showFrontend();
        QCOMPARE(m_log, QStringList {"A:show"});
    }

    void removeTakesTheFirstEntryOnly()
    {
        VpnFrontendDispatcher dispatcher;
        QSharedPointer<RecordingFrontend> twice = frontend("T");
        dispatcher.add(twice);
        dispatcher.add(twice);
        dispatcher.remove(twice.data());
        dispatcher.showFrontend();
        QCOMPARE(m_log, QStringList {"T:show"});
    }

    // The run mode detaches every frontend at once on its way out; a frontend
    // attached afterwards still gets the connection's picture.
    void removeAllDetachesEveryFrontendAndKeepsThePicture()
    {
        VpnFrontendDispatcher dispatcher;
        QSharedPointer<RecordingFrontend> a = frontend("A");
        a->onToggle = [&] { dispatcher.removeAll(); };
        dispatcher.add(a);
        dispatcher.add(frontend("B"));
        dispatcher.onVpnStartupProgress(progress(VpnStartupProgress::INIT_CONNECTION, VpnStartupProgress::INITIAL));
        m_log.clear();
        dispatcher.toggleVisibility();
        QCOMPARE(m_log, (QStringList {"A:toggle", "B:toggle"}));
        dispatcher.showFrontend();
        QCOMPARE(m_log.size(), 2);
        QVERIFY(dispatcher.containsOnlyFrontendsOfType<DaemonLike>());

        dispatcher.add(frontend("C"));
        QCOMPARE(m_log.mid(2), QStringList {"C:progress " + VpnStartupProgress::INIT_CONNECTION});
    }

    void frontendsChangingTheListDuringACall()
    {
        VpnFrontendDispatcher dispatcher;
        QSharedPointer<RecordingFrontend> a = frontend("A");
        QSharedPointer<RecordingFrontend> b = frontend("B");
        VpnFrontend *const bAddress = b.data();
        a->onToggle = [&] {
            dispatcher.remove(bAddress);
            dispatcher.add(frontend("C"));
        };
        dispatcher.add(a);
        dispatcher.add(b);
        b.reset(); // the dispatcher's copy of the list keeps B alive through the call
        dispatcher.toggleVisibility();
        QCOMPARE(m_log, (QStringList {"A:toggle", "B:toggle"}));
        a->onToggle = nullptr;
        dispatcher.toggleVisibility();
        QCOMPARE(m_log.mid(2), (QStringList {"A:toggle", "C:toggle"}));
    }

    void typeQueries()
    {
        VpnFrontendDispatcher dispatcher;
        QVERIFY(dispatcher.containsOnlyFrontendsOfType<DaemonLike>());
        QVERIFY(!dispatcher.containsFrontendOfType<DaemonLike>());

        dispatcher.add(QSharedPointer<VpnFrontend>(new DaemonLike("D", m_log)));
        QVERIFY(dispatcher.containsOnlyFrontendsOfType<DaemonLike>());
        QVERIFY(dispatcher.containsFrontendOfType<DaemonLike>());

        dispatcher.add(QSharedPointer<VpnFrontend>(new TrayLike("T1", m_log)));
        dispatcher.add(frontend("W"));
        dispatcher.add(QSharedPointer<VpnFrontend>(new TrayLike("T2", m_log)));
        QVERIFY(!dispatcher.containsOnlyFrontendsOfType<DaemonLike>());
        QVERIFY(dispatcher.containsFrontendOfType<TrayLike>());
        QVERIFY(dispatcher.containsOnlyFrontendsOfType<RecordingFrontend>());

        dispatcher.detachAllFrontendsOfType<TrayLike>();
        QVERIFY(!dispatcher.containsFrontendOfType<TrayLike>());
        dispatcher.showFrontend();
        QCOMPARE(m_log, (QStringList {"D:show", "W:show"}));
    }
};

QTEST_GUILESS_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
