#include "core/ByteCount.h"
#include "core/HandlerList.h"
#include "core/NullHandler.h"
#include "core/OpenVpnGenericState.h"
#include "openvpn/AbstractVpnCommand.h"
#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/PushedOptions.h"
#include "openvpn/Remote.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <stdexcept>

namespace {

using Log = QStringList;

// Writes "<name>:<event>" into a shared log for every event it receives and
// runs an optional action on onOpenVpnTerminated.
class RecordingHandler : public NullHandler
{
public:
    RecordingHandler(const QString &name, Log &log)
        : m_name(name)
        , m_log(log)
    {
    }
    ~RecordingHandler() override { m_log << m_name + ":destroyed"; }

    void onOpenVpnPrepareArguments(AbstractVpnCommand &) override { note("prepare"); }
    void onOpenVpnStarted(QProcess &) override { note("started"); }
    void onOpenVpnFailedToStart() override { note("failed"); }
    void onOpenVpnTerminated() override
    {
        note("terminated");
        if (onTerminated)
            onTerminated();
    }
    void onConnectionAccepted() override { note("accepted"); }
    void onHold(Hold &hold) override { note(QStringLiteral("hold%1").arg(hold.getNumber())); }
    void onState(const OpenVpnGenericState &state) override { note("state " + state.name); }
    void onPassword(int failures) override { note(QStringLiteral("password%1").arg(failures)); }
    void onByteCount(const ByteCount &count) override { note(QStringLiteral("bytes%1").arg(count.getBytesSent())); }
    void onFatal(const QString &message) override { note("fatal " + message); }
    void onConnectionClosed() override { note("closed"); }
    void onRemote(Remote &remote) override { note("remote " + remote.getHost()); }
    void onUp(const PushedOptions &options) override { note("up " + options.getUpDown()); }
    void onDown(const PushedOptions &options) override { note("down " + options.getUpDown()); }
    void onControlChannel(const QString &tls, const QString &cipher) override { note("cc " + tls + " " + cipher); }

    std::function<void()> onTerminated;

private:
    void note(const QString &event) { m_log << m_name + ":" + event; }

    QString m_name;
    Log &m_log;
};

// Counts the options handlers add; its identity shows the same command reaches all.
class CountingCommand : public AbstractVpnCommand
{
public:
    QString getProgram() override { return QString(); }
    void enableManagementUpDown() override { ++options; }
    bool shouldPreventIpv6Leak() override { return false; }
    void start(QProcess &) override {}
    void enableManagementQueryRemote() override { ++options; }
    void setCipher(const BackendOpenVPNConfigCipher &) override {}
    void addRemote(const QHostAddress &) override {}
    void enablePersistTun() override {}
    void disablePersistTun() override {}
    void setProxyDirect() override {}
    void setHttpProxy(const QString &, const QString &) override {}
    void setSocks5Proxy(const QString &, const QString &) override {}

    int options = 0;
};

class OptionAdder : public NullHandler
{
public:
    explicit OptionAdder(QList<int> &seen)
        : seen(seen)
    {
    }
    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override
    {
        command.enableManagementUpDown();
        seen << static_cast<CountingCommand &>(command).options;
    }
    QList<int> &seen;
};

class HostChanger : public NullHandler
{
public:
    void onRemote(Remote &remote) override { remote.setHost(QStringLiteral("192.0.2.44")); }
};

class HoldLocker : public NullHandler
{
public:
    void onHold(Hold &hold) override { lock = hold(); }
    HoldLock *lock = nullptr;
};

class Thrower : public NullHandler
{
public:
    void onConnectionAccepted() override { throw std::runtime_error("handler failed"); }
};

} // namespace

class TestHandlerList : public QObject
{
    Q_OBJECT

private slots:
    void emptyListIgnoresEveryEvent()
    {
        HandlerList list;
        Hold hold(0, nullptr);
        Remote remote("h", 1, "udp");
        QProcess process;
        list.onOpenVpnStarted(process);
        list.onOpenVpnFailedToStart();
        list.onOpenVpnTerminated();
        list.onConnectionAccepted();
        list.onHold(hold);
        list.onState(OpenVpnGenericState("WAIT", OpenVpnState::WAIT));
        list.onPassword(0);
        list.onByteCount(ByteCount(1, 2));
        list.onFatal("x");
        list.onConnectionClosed();
        list.onRemote(remote);
        list.onUp(PushedOptions());
        list.onDown(PushedOptions());
        list.onControlChannel("TLSv1.3", "c");
        QVERIFY(!remote.isModified());
    }

    void everyEventReachesEveryHandlerInOrder()
    {
        Log log;
        HandlerList list;
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("A", log))
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("B", log));
        Hold hold(1, nullptr);
        Remote remote("vpn.example", 1194, "udp");
        PushedOptions up;
        up.setUpDown("UP");
        PushedOptions down;
        down.setUpDown("DOWN");
        QProcess process;

        list.onOpenVpnStarted(process);
        list.onOpenVpnFailedToStart();
        list.onConnectionAccepted();
        list.onHold(hold);
        list.onState(OpenVpnGenericState("AUTH", OpenVpnState::AUTH));
        list.onPassword(2);
        list.onByteCount(ByteCount(1, 5));
        list.onFatal("boom");
        list.onRemote(remote);
        list.onUp(up);
        list.onDown(down);
        list.onControlChannel("TLSv1.3", "AES");
        list.onConnectionClosed();
        list.onOpenVpnTerminated();

        const QStringList events = {
            "started", "failed",     "accepted",           "hold1", "state AUTH", "password2",
            "bytes5",  "fatal boom", "remote vpn.example", "up UP", "down DOWN",  "cc TLSv1.3 AES",
            "closed",  "terminated"};
        Log expected;
        for (const QString &event : events)
            expected << "A:" + event << "B:" + event;
        QCOMPARE(log, expected);
    }

    void laterHandlerSeesWhatEarlierOnesDid()
    {
        Log log;
        HandlerList list;
        QSharedPointer<HoldLocker> locker(new HoldLocker);
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(new HostChanger) << locker
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("B", log));
        Remote remote("vpn.example", 1194, "udp");
        list.onRemote(remote);
        QCOMPARE(log, Log {"B:remote 192.0.2.44"});

        Hold hold(0, nullptr);
        HoldLock *own = hold();
        list.onHold(hold);
        QVERIFY(locker->lock);
        QSignalSpy released(&hold, &Hold::release);
        own->release();
        QCOMPARE(released.count(), 0); // the handler's lock still holds the engine
        locker->lock->release();
        QCOMPARE(released.count(), 1);
    }

    void everyHandlerPreparesTheSameCommand()
    {
        QList<int> seen;
        HandlerList list;
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(new OptionAdder(seen))
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new OptionAdder(seen));
        CountingCommand command;
        list.onOpenVpnPrepareArguments(command);
        QCOMPARE(seen, (QList<int> {1, 2}));
        QCOMPARE(command.options, 2);
    }

    void clearingTheListDuringACallStillReachesEveryone()
    {
        Log log;
        HandlerList list;
        auto *first = new RecordingHandler("A", log);
        first->onTerminated = [&list] { list.list.clear(); };
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(first)
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("B", log))
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("C", log));
        list.onOpenVpnTerminated();
        // Everyone gets the event; the handlers are released only after the fan-out.
        QCOMPARE(log.mid(0, 3), (Log {"A:terminated", "B:terminated", "C:terminated"}));
        QCOMPARE(log.size(), 6);
        QVERIFY(list.list.isEmpty());
    }

    void handlerAppendedDuringACallWaitsForTheNextEvent()
    {
        Log log;
        HandlerList list;
        auto *first = new RecordingHandler("A", log);
        first->onTerminated = [&] {
            list.list << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("late", log));
        };
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(first);
        list.onOpenVpnTerminated();
        QCOMPARE(log, Log {"A:terminated"});
        first->onTerminated = nullptr;
        list.onConnectionClosed();
        QCOMPARE(log, (Log {"A:terminated", "A:closed", "late:closed"}));
    }

    void handlerRemovingItselfStaysAliveUntilTheCallEnds()
    {
        Log log;
        HandlerList list;
        auto *self = new RecordingHandler("A", log);
        self->onTerminated = [&] {
            list.list.removeFirst();
            log << "after removal";
        };
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(self)
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("B", log));
        list.onOpenVpnTerminated();
        QCOMPARE(log, (Log {"A:terminated", "after removal", "B:terminated", "A:destroyed"}));
    }

    void exceptionEndsTheFanOut()
    {
        Log log;
        HandlerList list;
        list.list << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("A", log))
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new Thrower)
                  << QSharedPointer<OpenVpnLifeCycleHandler>(new RecordingHandler("C", log));
        QVERIFY_EXCEPTION_THROWN(list.onConnectionAccepted(), std::runtime_error);
        QCOMPARE(log, Log {"A:accepted"});
    }
};

QTEST_GUILESS_MAIN(TestHandlerList)
#include "tst_handlerlist.moc"
