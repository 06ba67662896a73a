// Which loopback listeners the helper lets a caller aim an engine at.
#include "AnotherUser.h"

#include "helper/CallerListener.h"
#include "helper/IllegalArgumentException.h"

#include "peerowner/TcpListenerOwner.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

#include <cstdio>
#include <unistd.h>
#include <vector>

using namespace stelvane;
using Owners = QList<qlonglong>;

namespace {

// The kernel prints each 32-bit word of an address as a number of this
// machine; these tables are written for a little-endian one. Port 7500 is
// 1D4C; states 0A (listening) and 01 (connected).
const QByteArray HEADING =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";

QByteArray row(const char *local, const char *remote, const char *state, int uid)
{
    return QByteArray("   0: ") + local + " " + remote + " " + state + " 00000000:00000000 00:00000000 00000000 "
           + QByteArray::number(uid) + " 0 4711 1\n";
}

const char *const ANY4 = "00000000:0000";
const char *const ANY6 = "00000000000000000000000000000000:0000";

Owners owners(const QByteArray &table, unsigned short port)
{
    Owners found;
    for (long long owner :
         orvalplatform::loopbackListenerOwners(orvalplatform::parseTcpSocketTable(table.toStdString()), port))
        found << owner;
    return found;
}

// Set, to a port, when the test runs as another user's listener there.
const char *const LISTEN = "ORVAL_CALLER_LISTENER_PORT";

int listenUntilInputEnds()
{
    QTcpServer listener;
    if (!listener.listen(QHostAddress::LocalHost, quint16(qEnvironmentVariableIntValue(LISTEN))))
        return 1;
    std::printf("listening\n");
    std::fflush(stdout);
    char byte;
    while (read(0, &byte, 1) > 0) {
    }
    return 0;
}

QString refusalOf(int port)
{
    try {
        CallerListener::require("ManagementPort", port);
    } catch (const IllegalArgumentException &e) {
        return QString::fromStdString(e.toString());
    }
    return QString();
}

} // namespace

class TestCallerListener : public QObject
{
    Q_OBJECT

private slots:
    void listenerOwners_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<Owners>("owners");
        QTest::newRow("IPv4 loopback") << HEADING + row("0100007F:1D4C", ANY4, "0A", 1000) << Owners {1000};
        QTest::newRow("IPv4 any-address") << HEADING + row("00000000:1D4C", ANY4, "0A", 1000) << Owners {1000};
        QTest::newRow("IPv6 loopback") << HEADING + row("00000000000000000000000001000000:1D4C", ANY6, "0A", 33)
                                       << Owners {33};
        QTest::newRow("IPv6 any-address")
            << HEADING + row("00000000000000000000000000000000:1D4C", ANY6, "0A", 33) << Owners {33};
        QTest::newRow("IPv4 loopback on an IPv6 socket")
            << HEADING + row("0000000000000000FFFF00000100007F:1D4C", ANY6, "0A", 33) << Owners {33};
        QTest::newRow("another loopback address") << HEADING + row("0200007F:1D4C", ANY4, "0A", 1000) << Owners {};
        QTest::newRow("the lab's address") << HEADING + row("0164A8C0:1D4C", ANY4, "0A", 1000) << Owners {};
        QTest::newRow("another port") << HEADING + row("0100007F:1D4D", ANY4, "0A", 1000) << Owners {};
        QTest::newRow("a connection, not a listener")
            << HEADING + row("0100007F:1D4C", "0100007F:D431", "01", 0) << Owners {};
        QTest::newRow("two users: any-address IPv6 beside IPv4 loopback")
            << HEADING + row("0100007F:1D4C", ANY4, "0A", 1000)
                   + row("00000000000000000000000000000000:1D4C", ANY6, "0A", 65534)
            << Owners {1000, 65534};
        QTest::newRow("garbage") << HEADING + "   0: 0100007F:1D4C\n" + row("0100007F:1D4C", ANY4, "0A", 7)
                                 << Owners {7};
        QTest::newRow("only a heading") << HEADING << Owners {};
    }

    void listenerOwners()
    {
        QFETCH(QByteArray, table);
        QFETCH(Owners, owners);
        if (QSysInfo::ByteOrder != QSysInfo::LittleEndian)
            QSKIP("the tables are written for a little-endian machine");
        QCOMPARE(::owners(table, 7500), owners);
    }

    void refusal_data()
    {
        QTest::addColumn<Owners>("owners");
        QTest::addColumn<QString>("refusal");
        const QString none = "no loopback listener at this port";
        const QString other = "the loopback listener at this port is not the calling user's";
        QTest::newRow("the caller's") << Owners {1000} << QString();
        QTest::newRow("the caller's, twice") << Owners {1000, 1000} << QString();
        QTest::newRow("none") << Owners {} << none;
        QTest::newRow("another user's") << Owners {0} << other;
        QTest::newRow("the caller's and another user's") << Owners {1000, 0} << other;
    }

    void refusal()
    {
        QFETCH(Owners, owners);
        QFETCH(QString, refusal);
        const std::vector<long long> list(owners.begin(), owners.end());
        QCOMPARE(QString::fromStdString(CallerListener::refusal(list, 1000)), refusal);
    }

    // Against this machine's own tables.
    void ownListenerPasses()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        QCOMPARE(refusalOf(listener.serverPort()), QString());
    }

    void closedPortIsRefused()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        const quint16 port = listener.serverPort();
        listener.close();
        QCOMPARE(refusalOf(port),
                 QString("IllegalArgumentException: ManagementPort=%1 (no loopback listener at this port)").arg(port));
    }

    void anotherUsersListenerIsRefused()
    {
        if (getuid() != 0)
            QSKIP("needs root to listen as another user");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess other;
        AnotherUser::startThisProgram(other, LISTEN, QString::number(port));
        QVERIFY(other.waitForReadyRead(10000));
        QCOMPARE(refusalOf(port), QString("IllegalArgumentException: ManagementPort=%1 (the loopback listener at "
                                          "this port is not the calling user's)")
                                      .arg(port));
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(10000));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(LISTEN))
        return listenUntilInputEnds();
    TestCallerListener test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_callerlistener.moc"
