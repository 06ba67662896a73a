#include "core/FormatSecondToHHMMSS.h"
#include "core/StopWatch.h"

#include <QTest>
#include <QThread>

class TestStopWatch : public QObject
{
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00";
        QTest::newRow("below a second") << qint64(999) << "00:00:00";
        QTest::newRow("fraction dropped") << qint64(1999) << "00:00:01";
        QTest::newRow("h m s") << qint64((3600 + 120 + 3) * 1000) << "01:02:03";
        QTest::newRow("not wrapped at 24h") << qint64(25) * 3600000 << "25:00:00";
        QTest::newRow("three-digit hours") << qint64(100) * 3600000 << "100:00:00";
    }

    void format()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(FormatSecondToHHMMSS(ms).toString(), text);
    }

    void freshWatchIsStoppedAtZero()
    {
        StopWatch watch;
        QVERIFY(!watch.isStarted());
        QCOMPARE(watch.elapsed(), qint64(0));
        watch.stop();
        QCOMPARE(watch.elapsed(), qint64(0));
        QCOMPARE(watch.format(), QStringLiteral("00:00:00"));
    }

    void secondStartKeepsTheEarlierOne()
    {
        StopWatch watch;
        watch.start();
        QThread::msleep(60);
        watch.start();
        QThread::msleep(60);
        watch.stop();
        QVERIFY(watch.elapsed() >= 120);
        const qint64 stopped = watch.elapsed();
        QThread::msleep(20);
        QCOMPARE(watch.elapsed(), stopped);
    }

    void intervalsAccumulate()
    {
        StopWatch watch;
        watch.start();
        QThread::msleep(40);
        watch.stop();
        const qint64 first = watch.elapsed();
        watch.start();
        QThread::msleep(40);
        QVERIFY(watch.elapsedSinceStarted() >= 40);
        QVERIFY(watch.elapsed() >= first + 40);
    }

    void resetWhileRunningDiscardsEverything()
    {
        StopWatch watch;
        watch.start();
        QThread::msleep(20);
        watch.reset();
        QVERIFY(!watch.isStarted());
        QCOMPARE(watch.elapsed(), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestStopWatch)
#include "tst_stopwatch.moc"
