#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/Remote.h"
#include "openvpn/RemoteLock.h"

#include <QSignalSpy>
#include <QTest>

class TestLocks : public QObject
{
    Q_OBJECT

private slots:
    void holdWithoutHandlerLockIsReleasedWithTheSocketsOwnLock()
    {
        Hold hold(0, nullptr);
        QSignalSpy released(&hold, &Hold::release);
        QSignalSpy aborted(&hold, &Hold::abort);
        HoldLock *own = hold();
        QCOMPARE(own->getHold(), &hold);
        QCOMPARE(own->parent(), &hold);
        QCOMPARE(released.count(), 0);
        own->release();
        QCOMPARE(released.count(), 1);
        QCOMPARE(aborted.count(), 0);
    }

    // The engine is answered exactly when the last lock goes; abort wins.
    void lastLockDecides_data()
    {
        QTest::addColumn<QString>("actions"); // per lock in order of going: r = release, a = abort
        QTest::addColumn<bool>("expectAbort");
        QTest::newRow("all released") << "rrr" << false;
        QTest::newRow("first aborts, later release") << "arr" << true;
        QTest::newRow("middle aborts") << "rar" << true;
        QTest::newRow("last aborts") << "rra" << true;
        QTest::newRow("all abort") << "aaa" << true;
    }

    void lastLockDecides()
    {
        QFETCH(QString, actions);
        QFETCH(bool, expectAbort);

        Hold hold(1, nullptr);
        Remote remote(QStringLiteral("vpn.example"), 1194, QStringLiteral("udp"));
        QSignalSpy holdReleased(&hold, &Hold::release);
        QSignalSpy holdAborted(&hold, &Hold::abort);
        QSignalSpy remoteReleased(&remote, &Remote::release);
        QSignalSpy remoteAborted(&remote, &Remote::abort);

        QList<HoldLock *> holdLocks;
        QList<RemoteLock *> remoteLocks;
        for (int i = 0; i < actions.size(); ++i) {
            holdLocks << hold();
            remoteLocks << remote.getRemoteLock();
        }
        for (int i = 0; i < actions.size(); ++i) {
            const bool last = i == actions.size() - 1;
            if (actions.at(i) == 'a') {
                holdLocks.at(i)->abort();
                remoteLocks.at(i)->abort();
            } else {
                holdLocks.at(i)->release();
                remoteLocks.at(i)->release();
            }
            // Nothing is answered before the last lock goes.
            const int answered = last ? 1 : 0;
            QCOMPARE(holdReleased.count() + holdAborted.count(), answered);
            QCOMPARE(remoteReleased.count() + remoteAborted.count(), answered);
        }
        QCOMPARE(holdAborted.count(), expectAbort ? 1 : 0);
        QCOMPARE(remoteAborted.count(), expectAbort ? 1 : 0);
    }

    void secondGoOfOneLockOnlyLogs()
    {
        Hold hold(0, nullptr);
        QSignalSpy released(&hold, &Hold::release);
        QSignalSpy aborted(&hold, &Hold::abort);
        HoldLock *own = hold();
        HoldLock *handler = hold();
        handler->abort();
        QTest::ignoreMessage(QtDebugMsg, "HoldLock was already aborted or released");
        handler->release();
        QCOMPARE(released.count() + aborted.count(), 0); // the count dropped once only
        own->release();
        QCOMPARE(aborted.count(), 1);
        QCOMPARE(released.count(), 0);

        Remote remote(QStringLiteral("h"), 1, QStringLiteral("tcp"));
        QSignalSpy remoteReleased(&remote, &Remote::release);
        RemoteLock *remoteOwn = remote.getRemoteLock();
        RemoteLock *remoteHandler = remote.getRemoteLock();
        remoteHandler->release();
        QTest::ignoreMessage(QtDebugMsg, "RemoteLock was already aborted or released");
        remoteHandler->abort();
        QCOMPARE(remoteReleased.count(), 0);
        remoteOwn->release();
        QCOMPARE(remoteReleased.count(), 1); // the ignored abort did not taint the remote
    }

    void locksGoWithTheirOwner()
    {
        auto *hold = new Hold(0, nullptr);
        QPointer<HoldLock> lock = (*hold)();
        delete hold;
        QVERIFY(lock.isNull());

        auto *remote = new Remote(QStringLiteral("h"), 1, QStringLiteral("udp"));
        QPointer<RemoteLock> remoteLock = remote->getRemoteLock();
        QCOMPARE(remoteLock->getRemote(), remote);
        delete remote;
        QVERIFY(remoteLock.isNull());
    }

    void holdNumberAndParent()
    {
        QObject socket;
        auto *hold = new Hold(2, &socket);
        QCOMPARE(hold->getNumber(), 2);
        QCOMPARE(hold->parent(), &socket);
    }

    void remoteModification_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("modified");
        QTest::newRow("same values") << "vpn.example" << 1194 << false;
        QTest::newRow("other host") << "192.0.2.10" << 1194 << true;
        QTest::newRow("other port") << "vpn.example" << 443 << true;
    }

    void remoteModification()
    {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(bool, modified);
        Remote remote(QStringLiteral("vpn.example"), 1194, QStringLiteral("udp"));
        QVERIFY(!remote.isModified());
        remote.setHost(host);
        remote.setPort(port);
        QCOMPARE(remote.isModified(), modified);
        QCOMPARE(remote.getHost(), host);
        QCOMPARE(remote.getPort(), port);
        QCOMPARE(remote.getProtocol(), QStringLiteral("udp"));
    }

    void modifiedStaysSetWhenTheOriginalIsWrittenBack()
    {
        Remote remote(QStringLiteral("vpn.example"), 1194, QStringLiteral("udp"));
        remote.setHost(QStringLiteral("192.0.2.10"));
        remote.setHost(QStringLiteral("vpn.example"));
        QVERIFY(remote.isModified());
    }
};

QTEST_GUILESS_MAIN(TestLocks)
#include "tst_locks.moc"
