#include <QtTest>

// The Qt Test program test_test_shard.py splits: a plain function, a
// data-driven one whose tags hold spaces and commas, and another one. Every
// case passes; Qt Test's log tells which ran.
class ShardProbe : public QObject
{
    Q_OBJECT

private slots:
    void plain() {}

    void rows_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("no tray") << 1;
        QTest::newRow("no tray, asked") << 2;
        QTest::newRow("tray") << 3;
    }
    void rows()
    {
        QFETCH(int, row);
        QVERIFY(row > 0);
    }

    void other() {}
};

QTEST_APPLESS_MAIN(ShardProbe)
#include "shard_probe.moc"
