#include "AnotherUser.h"

#include "peerowner/TcpPeerProcess.h"
#include "system/LoopbackPeer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using orvalplatform::PeerMatch;
using orvalplatform::TcpEndpoint;

Q_DECLARE_METATYPE(TcpEndpoint)
Q_DECLARE_METATYPE(QHostAddress)

namespace {

// Set when the test runs as the judge of a connection (see judgeAsAnotherUser).
const char *const JUDGE = "ORVAL_LOOPBACK_PEER_JUDGE";

TcpEndpoint ipv4(unsigned char a, unsigned char b, unsigned char c, unsigned char d, unsigned short port)
{
    TcpEndpoint endpoint;
    endpoint.address = orvalplatform::ipv4Address(a, b, c, d);
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
    "   4: 0100007F:C351 0100007F:1D4C 06 00000000:00000000 00:00000000 00000000     0        0 0 1\n"
    "   5: garbage\n"
    "   6: 0100007F:C352 0100007F:1D4C 01 00000000:00000000 00:00000000 00000000    -1        0 106 1\n";
const QByteArray TCP6 = "  sl  local_address                         remote_address                        st tx_queue "
                        "rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
                        "   0: 0000000000000000FFFF00000100007F:D432 0000000000000000FFFF00000100007F:1D4C 01 "
                        "00000000:00000000 00:00000000 00000000     0        0 105 1\n"
                        "   1: 00000000000000000000000001000000:D433 00000000000000000000000001000000:1D4C 01 "
                        "00000000:00000000 00:00000000 00000000    33        0 107 1\n";

QTcpSocket *acceptOne(QTcpServer &server)
{
    return server.waitForNewConnection(10000) ? server.nextPendingConnection() : nullptr;
}

// `server`'s connection from `connector`, a program of this user that
// connects to it and stays; null when that fails.
QTcpSocket *acceptFromConnector(QTcpServer &server, QProcess &connector)
{
    if (!server.listen(QHostAddress::LocalHost))
        return nullptr;
    connector.start(
        "bash",
        {"-c", QString("exec 3<>/dev/tcp/127.0.0.1/%1 && echo connected && exec sleep 30").arg(server.serverPort())});
    return connector.waitForReadyRead(10000) ? acceptOne(server) : nullptr;
}

void stop(QProcess &process)
{
    process.kill();
    process.waitForFinished();
}

// As the judge: listens, takes one connection, and prints how it judges it
// against the process id the connection's maker wrote first.
int judge()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return 1;
    std::printf("%d\n", server.serverPort());
    std::fflush(stdout);
    QTcpSocket *accepted = acceptOne(server);
    if (!accepted || !accepted->waitForReadyRead(10000))
        return 1;
    const qint64 pid = accepted->readLine().trimmed().toLongLong();
    const orvalplatform::TcpPeer peer = orvalplatform::tcpPeer(int(accepted->socketDescriptor()), pid);
    std::printf("%d %lld %d\n", int(peer.match), peer.uid, int(LoopbackPeer::isEngine(*accepted, pid)));
    return 0;
}

} // namespace

class TestLoopbackPeer : public QObject
{
    Q_OBJECT

private slots:
    void peerSocket_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<TcpEndpoint>("local");
        QTest::addColumn<TcpEndpoint>("remote");
        QTest::addColumn<qulonglong>("inode");
        QTest::addColumn<qlonglong>("owner");
        const TcpEndpoint listener = ipv4(127, 0, 0, 1, 7500);
        QTest::newRow("root's program") << TCP << ipv4(127, 0, 0, 1, 54321) << listener << 102ULL << 0LL;
        QTest::newRow("another user's program") << TCP << ipv4(127, 0, 0, 1, 50000) << listener << 104ULL << 65534LL;
        QTest::newRow("our own end is not the peer's")
            << TCP << listener << ipv4(127, 0, 0, 1, 54321) << 103ULL << 1000LL;
        QTest::newRow("a closed socket has no inode") << TCP << ipv4(127, 0, 0, 1, 50001) << listener << 0ULL << 0LL;
        QTest::newRow("no such connection") << TCP << ipv4(127, 0, 0, 1, 54322) << listener << 0ULL << -1LL;
        QTest::newRow("another address") << TCP << ipv4(127, 0, 0, 2, 54321) << listener << 0ULL << -1LL;
        QTest::newRow("an owner that is no number") << TCP << ipv4(127, 0, 0, 1, 50002) << listener << 0ULL << -1LL;
        QTest::newRow("IPv4 through an IPv6 socket") << TCP6 << ipv4(127, 0, 0, 1, 54322) << listener << 105ULL << 0LL;
        QTest::newRow("IPv6") << TCP6 << ipv6Loopback(54323) << ipv6Loopback(7500) << 107ULL << 33LL;
        QTest::newRow("empty table") << QByteArray() << ipv4(127, 0, 0, 1, 54321) << listener << 0ULL << -1LL;
    }

    void peerSocket()
    {
        QFETCH(QByteArray, table);
        QFETCH(TcpEndpoint, local);
        QFETCH(TcpEndpoint, remote);
        QFETCH(qulonglong, inode);
        QFETCH(qlonglong, owner);
        if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
            QSKIP("the tables are written for a little-endian machine");
        const auto entries = orvalplatform::parseTcpSocketTable(table.toStdString());
        const orvalplatform::TcpSocketEntry *entry = orvalplatform::findTcpSocket(entries, local, remote);
        QCOMPARE(entry ? qulonglong(entry->inode) : 0ULL, inode);
        QCOMPARE(entry ? qlonglong(entry->uid) : -1LL, owner);
    }

    void socketInodeOfLink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<qulonglong>("inode");
        QTest::newRow("socket") << "socket:[12345]" << 12345ULL;
        QTest::newRow("largest inode") << "socket:[18446744073709551615]" << 18446744073709551615ULL;
        QTest::newRow("pipe") << "pipe:[12345]" << 0ULL;
        QTest::newRow("file") << "/dev/null" << 0ULL;
        QTest::newRow("empty brackets") << "socket:[]" << 0ULL;
        QTest::newRow("not a number") << "socket:[12a45]" << 0ULL;
        QTest::newRow("unclosed") << "socket:[12345" << 0ULL;
        QTest::newRow("sign") << "socket:[-1]" << 0ULL;
    }

    void socketInodeOfLink()
    {
        QFETCH(QString, link);
        QFETCH(qulonglong, inode);
        QCOMPARE(qulonglong(orvalplatform::socketInodeOfLink(link.toStdString())), inode);
    }

    // A connection this process makes to itself, over IPv4 and IPv6: its peer
    // socket is this process's, and no other's.
    void ownProcess_data()
    {
        QTest::addColumn<QHostAddress>("address");
        QTest::newRow("IPv4 loopback") << QHostAddress(QHostAddress::LocalHost);
        QTest::newRow("IPv6 loopback") << QHostAddress(QHostAddress::LocalHostIPv6);
    }

    void ownProcess()
    {
        QFETCH(QHostAddress, address);
        QTcpServer server;
        if (!server.listen(address))
            QSKIP("this loopback address is not available here");
        QTcpSocket client;
        client.connectToHost(address, server.serverPort());
        QTcpSocket *accepted = acceptOne(server);
        QVERIFY(accepted);
        const int fd = int(accepted->socketDescriptor());
        const orvalplatform::TcpPeer peer = orvalplatform::tcpPeer(fd, QCoreApplication::applicationPid());
        QCOMPARE(peer.match, PeerMatch::Process);
        QCOMPARE(peer.uid, qlonglong(geteuid()));
        QVERIFY(LoopbackPeer::isEngine(*accepted, QCoreApplication::applicationPid()));

        QProcess other;
        other.start("sleep", {"30"});
        QVERIFY(other.waitForStarted());
        QCOMPARE(orvalplatform::tcpPeer(fd, other.processId()).match, PeerMatch::Other);
        QVERIFY(!LoopbackPeer::isEngine(*accepted, other.processId()));
        stop(other);
    }

    // Two programs of the same user (root's, when the test runs as root, as
    // two root engines would be): only the one that made the connection is
    // its peer.
    void anotherProcess()
    {
        QTcpServer server;
        QProcess connector;
        QTcpSocket *accepted = acceptFromConnector(server, connector);
        QVERIFY(accepted);
        QProcess bystander;
        bystander.start("sleep", {"30"});
        QVERIFY(bystander.waitForStarted());

        QVERIFY(LoopbackPeer::isEngine(*accepted, connector.processId()));
        QVERIFY(!LoopbackPeer::isEngine(*accepted, bystander.processId()));
        QVERIFY(!LoopbackPeer::isEngine(*accepted, QCoreApplication::applicationPid()));
        QVERIFY(!LoopbackPeer::isEngine(*accepted, 0));
        stop(bystander);
        stop(connector);
    }

    // A peer that is gone, a process that is gone, a socket never connected.
    void closedSocket()
    {
        QTcpServer server;
        QProcess connector;
        QTcpSocket *accepted = acceptFromConnector(server, connector);
        QVERIFY(accepted);
        const qint64 pid = connector.processId();
        stop(connector);
        QCOMPARE(orvalplatform::tcpPeer(int(accepted->socketDescriptor()), pid).match, PeerMatch::Other);
        QVERIFY(!LoopbackPeer::isEngine(*accepted, pid));

        QTcpSocket unconnected;
        QVERIFY(!LoopbackPeer::isEngine(unconnected, QCoreApplication::applicationPid()));
        QCOMPARE(orvalplatform::tcpPeer(-1, QCoreApplication::applicationPid()).match, PeerMatch::Other);
    }

    // An ordinary user may not look into a root engine's descriptors: the
    // engine is then known only by its socket being root's.
    void rootPeerOfAnOrdinaryUser()
    {
        if (geteuid() != 0)
            QSKIP("needs root to judge as another user");
        QProcess judge;
        AnotherUser::startThisProgram(judge, JUDGE, "1");
        QVERIFY(judge.waitForReadyRead(10000));
        const quint16 port = quint16(judge.readLine().trimmed().toUInt());
        QTcpSocket root;
        root.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(root.waitForConnected(10000));
        root.write(QByteArray::number(QCoreApplication::applicationPid()) + "\n");
        QVERIFY(root.waitForBytesWritten(10000));
        QVERIFY(judge.waitForFinished(10000));
        QCOMPARE(judge.exitCode(), 0);
        QCOMPARE(judge.readAllStandardOutput().trimmed(), QByteArray::number(int(PeerMatch::Hidden)) + " 0 1");
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(JUDGE))
        return judge();
    TestLoopbackPeer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loopbackpeer.moc"
