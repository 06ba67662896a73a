#include "openvpn/LineSplitter.h"
#include "openvpn/LocalPortProbe.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTest>

// The pieces both local transports build on: output lines and the local port.
class TestTransportBasics : public QObject
{
    Q_OBJECT

private slots:
    void splitsLinesAcrossReads_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("one read, two lines") << L {"a\nb\n"} << L {"a", "b"};
        QTest::newRow("line split in two reads")
            << L {"Configuration succ", "essful\n"} << L {"Configuration successful"};
        QTest::newRow("split in three reads")
            << L {"lis", "tening at 127.0", ".0.1:1\nnext"} << L {"listening at 127.0.0.1:1"};
        QTest::newRow("unfinished tail waits") << L {"x\ny"} << L {"x"};
        QTest::newRow("empty lines kept") << L {"\n\n"} << L {"", ""};
        QTest::newRow("nothing") << L {""} << L {};
    }

    void splitsLinesAcrossReads()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, lines);
        LineSplitter splitter;
        QList<QByteArray> got;
        for (const QByteArray &read : reads)
            got += splitter.feed(read);
        QCOMPARE(got, lines);
    }

    void freePortLiesInRangeAndIsBindable()
    {
        for (int i = 0; i < 20; ++i) {
            const int port = LocalPortProbe::freePort();
            QVERIFY(port >= 10000 && port <= 20000);
            QTcpServer server;
            QVERIFY2(server.listen(QHostAddress::LocalHost, quint16(port)), qPrintable(server.errorString()));
        }
    }

    void takenPortIsNotFree()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost));
        QVERIFY(!LocalPortProbe::isFree(taken.serverPort()));
        taken.close();
        QVERIFY(LocalPortProbe::isFree(taken.serverPort()));
    }
};

QTEST_GUILESS_MAIN(TestTransportBasics)
#include "tst_transportbasics.moc"
