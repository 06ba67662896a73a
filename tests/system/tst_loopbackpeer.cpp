#include "peerowner/TcpPeerOwner.h"
#include "system/LoopbackPeer.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <unistd.h>

using orvalplatform::TcpEndpoint;

Q_DECLARE_METATYPE(TcpEndpoint)

namespace {

TcpEndpoint ipv4(unsigned char a, unsigned char b, unsigned char c, unsigned char d, unsigned short port)
{
    TcpEndpoint endpoint;
    endpoint.address[10] = 0xff;
    endpoint.address[11] = 0xff;
    endpoint.address[12] = a;
    endpoint.address[13] = b;
    endpoint.address[14] = c;
    endpoint.address[15] = d;
    endpoint.port = port;
    return endpoint;
}

TcpEndpoint ipv6Loopback(unsigned short port)
{
    TcpEndpoint endpoint;
    endpoint.address[15] = 1;
    endpoint.port = port;
    return endpoint;
}

// The kernel prints each 32-bit word of an address as a number of this
// machine; these tables are written for a little-endian one.
const QByteArray TCP =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
    "   0: 0100007F:1D4C 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 101 1\n"
    "   1: 0100007F:D431 0100007F:1D4C 01 00000000:00000000 00:00000000 00000000     0        0 102 1\n"
    "   2: 0100007F:1D4C 0100007F:D431 01 00000000:00000000 00:00000000 00000000  1000        0 103 1\n"
    "   3: 0100007F:C350 0100007F:1D4C 01 00000000:00000000 00:00000000 00000000 65534        0 104 1\n"
    "   4: garbage\n";
const QByteArray TCP6 = "  sl  local_address                         remote_address                        st tx_queue "
                        "rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
                        "   0: 0000000000000000FFFF00000100007F:D432 0000000000000000FFFF00000100007F:1D4C 01 "
                        "00000000:00000000 00:00000000 00000000     0        0 105 1\n"
                        "   1: 00000000000000000000000001000000:D433 00000000000000000000000001000000:1D4C 01 "
                        "00000000:00000000 00:00000000 00000000    33        0 106 1\n";

} // namespace

class TestLoopbackPeer : public QObject
{
    Q_OBJECT

private slots:
    void socketOwner_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<TcpEndpoint>("local");
        QTest::addColumn<TcpEndpoint>("remote");
        QTest::addColumn<qlonglong>("owner");
        const TcpEndpoint listener = ipv4(127, 0, 0, 1, 7500);
        QTest::newRow("root's engine") << TCP << ipv4(127, 0, 0, 1, 54321) << listener << 0LL;
        QTest::newRow("another user's program") << TCP << ipv4(127, 0, 0, 1, 50000) << listener << 65534LL;
        QTest::newRow("our own end is not the peer's") << TCP << listener << ipv4(127, 0, 0, 1, 54321) << 1000LL;
        QTest::newRow("no such connection") << TCP << ipv4(127, 0, 0, 1, 54322) << listener << -1LL;
        QTest::newRow("another address") << TCP << ipv4(127, 0, 0, 2, 54321) << listener << -1LL;
        QTest::newRow("IPv4 through an IPv6 socket") << TCP6 << ipv4(127, 0, 0, 1, 54322) << listener << 0LL;
        QTest::newRow("IPv6") << TCP6 << ipv6Loopback(54323) << ipv6Loopback(7500) << 33LL;
        QTest::newRow("empty table") << QByteArray() << ipv4(127, 0, 0, 1, 54321) << listener << -1LL;
    }

    void socketOwner()
    {
        QFETCH(QByteArray, table);
        QFETCH(TcpEndpoint, local);
        QFETCH(TcpEndpoint, remote);
        QFETCH(qlonglong, owner);
        if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
            QSKIP("the tables are written for a little-endian machine");
        QCOMPARE(orvalplatform::tcpSocketOwner(table.toStdString(), local, remote), owner);
    }

    // A connection this process makes to itself: the peer is this user.
    void ownConnection()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, server.serverPort());
        QVERIFY(server.waitForNewConnection(5000));
        QTcpSocket *accepted = server.nextPendingConnection();
        QVERIFY(accepted);
        QCOMPARE(orvalplatform::tcpPeerOwner(int(accepted->socketDescriptor())), qlonglong(geteuid()));
        QCOMPARE(LoopbackPeer::isRootOwned(*accepted), geteuid() == 0);
    }

    // A program of another user connects: it is not root's.
    void anotherUsersConnection()
    {
        if (geteuid() != 0)
            QSKIP("needs root to connect as another user");
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QProcess other;
        other.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "bash", "-c",
                                QString("exec 3<>/dev/tcp/127.0.0.1/%1; sleep 10").arg(server.serverPort())});
        QVERIFY(server.waitForNewConnection(10000));
        QTcpSocket *accepted = server.nextPendingConnection();
        QCOMPARE(orvalplatform::tcpPeerOwner(int(accepted->socketDescriptor())), 65534LL);
        QVERIFY(!LoopbackPeer::isRootOwned(*accepted));
        other.kill();
        other.waitForFinished();
    }

    void closedSocket()
    {
        QTcpSocket unconnected;
        QVERIFY(!LoopbackPeer::isRootOwned(unconnected));
        QCOMPARE(orvalplatform::tcpPeerOwner(-1), -1LL);
    }
};

QTEST_GUILESS_MAIN(TestLoopbackPeer)
#include "tst_loopbackpeer.moc"
