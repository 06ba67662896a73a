#include "backend/FirstConnectionGuard.h"

#include <QtTest>

Q_DECLARE_METATYPE(ConnectionFailure)

namespace {
// One step of a run: at `at` ms, a failed attempt (cause), a pause for a
// password ("pause"), its end ("resume"), CONNECTED ("connected"), or a
// look at the clock ("tick").
struct Step
{
    qint64 at;
    QString what;
    QString serverText;
};
using Steps = QList<Step>;
} // namespace
Q_DECLARE_METATYPE(Steps)

// The rule that ends a first connection that cannot succeed.
class TestFirstConnectionGuard : public QObject
{
    Q_OBJECT

private slots:
    void giveUp_data()
    {
        QTest::addColumn<Steps>("steps");
        // The step at which the guard gives up; -1 when it never does.
        QTest::addColumn<int>("givesUpAt");

        QTest::newRow("same failure three times")
            << Steps {{1000, "certificate", ""}, {2000, "certificate", ""}, {3000, "certificate", ""}} << 2;
        QTest::newRow("twice is not enough") << Steps {{1000, "certificate", ""}, {2000, "certificate", ""}} << -1;
        QTest::newRow("a different failure starts the count again") << Steps {{1000, "certificate", ""},
                                                                              {2000, "certificate", ""},
                                                                              {3000, "tls-error", ""},
                                                                              {4000, "certificate", ""},
                                                                              {5000, "certificate", ""}}
                                                                    << -1;
        QTest::newRow("the server's text counts as part of the cause")
            << Steps {{1000, "auth-failure", "a"}, {2000, "auth-failure", "b"}, {3000, "auth-failure", "a"}} << -1;
        QTest::newRow("a server's refusal counts") << Steps {{1000, "auth-failure", "no shared cipher"},
                                                             {2000, "auth-failure", "no shared cipher"},
                                                             {3000, "auth-failure", "no shared cipher"}}
                                                   << 2;
        QTest::newRow("refused credentials do not count") << Steps {{1000, "auth-failure", ""},
                                                                    {2000, "auth-failure", ""},
                                                                    {3000, "auth-failure", ""},
                                                                    {4000, "auth-failure", ""}}
                                                          << -1;
        QTest::newRow("refused credentials do not break a count") << Steps {{1000, "no-answer", ""},
                                                                            {2000, "no-answer", ""},
                                                                            {3000, "auth-failure", ""},
                                                                            {4000, "no-answer", ""}}
                                                                  << 3;
        QTest::newRow("time is up at 60 s") << Steps {{59999, "tick", ""}, {60000, "tick", ""}} << 1;
        QTest::newRow("one failure after 60 s") << Steps {{61000, "no-answer", ""}} << 0;
        QTest::newRow("password time does not count")
            << Steps {{10000, "pause", ""}, {70000, "resume", ""}, {119999, "tick", ""}, {120000, "tick", ""}} << 3;
        QTest::newRow("time stands still while paused") << Steps {{10000, "pause", ""}, {100000, "tick", ""}} << -1;
        QTest::newRow("never after a first CONNECTED") << Steps {{1000, "connected", ""},
                                                                 {2000, "ping-restart", ""},
                                                                 {3000, "ping-restart", ""},
                                                                 {4000, "ping-restart", ""},
                                                                 {200000, "tick", ""}}
                                                       << -1;
    }
    void giveUp()
    {
        QFETCH(Steps, steps);
        QFETCH(int, givesUpAt);
        FirstConnectionGuard guard;
        guard.start(0);
        int gaveUpAt = -1;
        for (int i = 0; i < steps.size() && gaveUpAt < 0; ++i) {
            const Step &step = steps.at(i);
            bool stop = false;
            if (step.what == "pause")
                guard.pause(step.at);
            else if (step.what == "resume")
                guard.resume(step.at);
            else if (step.what == "connected")
                guard.connected();
            else if (step.what == "tick")
                stop = guard.isTimeUp(step.at);
            else
                stop = guard.attemptFailed(ConnectionFailure(step.what, "UDP 1194", step.serverText), step.at);
            if (stop)
                gaveUpAt = i;
        }
        QCOMPARE(gaveUpAt, givesUpAt);
    }

    void remainingTime()
    {
        FirstConnectionGuard guard;
        QVERIFY(!guard.isWatching());
        QVERIFY(!guard.isTimeUp(1000000));
        guard.start(5000);
        QCOMPARE(guard.remainingMs(15000), qint64(50000));
        guard.pause(15000);
        QCOMPARE(guard.remainingMs(40000), qint64(50000));
        guard.resume(40000);
        QCOMPARE(guard.remainingMs(90000), qint64(0));
        QVERIFY(guard.isTimeUp(90000));
        // A new start forgets the last run.
        guard.start(100000);
        QVERIFY(!guard.isTimeUp(100000));
    }
};

QTEST_GUILESS_MAIN(TestFirstConnectionGuard)
#include "tst_firstconnectionguard.moc"
