// Which loopback listeners the helper lets a caller aim an engine at.
#include "AnotherUser.h"

#include "helper/CallerListener.h"
#include "helper/IllegalArgumentException.h"

#include "peerowner/TcpListenerDiag.h"
#include "peerowner/TcpListenerOwner.h"

#include <QCoreApplication>
#include <QMap>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
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

Owners ownersOf(const std::vector<long long> &list)
{
    Owners found;
    for (long long owner : list)
        found << owner;
    return found;
}

// "ADDRESS PORT UID", with " v6only" for an IPv6 socket that takes IPv6 alone.
std::vector<orvalplatform::TcpSocketEntry> listeners(const QStringList &rows)
{
    std::vector<orvalplatform::TcpSocketEntry> entries;
    for (const QString &row : rows) {
        const QStringList fields = row.split(' ');
        orvalplatform::TcpSocketEntry entry;
        const QByteArray address = fields[0].toLatin1();
        in_addr ipv4 {};
        if (inet_pton(AF_INET, address.constData(), &ipv4) == 1) {
            entry.local.address = orvalplatform::ipv4Address(0, 0, 0, 0);
            std::memcpy(entry.local.address.data() + 12, &ipv4, 4);
        } else if (inet_pton(AF_INET6, address.constData(), entry.local.address.data()) != 1) {
            qFatal("bad listener address %s", address.constData());
        }
        entry.local.port = fields[1].toUShort();
        entry.uid = fields[2].toLongLong();
        entry.state = orvalplatform::TCP_LISTEN_STATE;
        entry.v6Only = fields.value(3) == "v6only";
        entries.push_back(entry);
    }
    return entries;
}

orvalplatform::Address addressOf(const QString &text)
{
    return listeners({text + " 1 0"}).front().local.address;
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
        QTest::newRow("IPv6 loopback takes no IPv4")
            << HEADING + row("00000000000000000000000001000000:1D4C", ANY6, "0A", 33) << Owners {};
        // The tables do not tell an IPv6-only one: it counts as taking IPv4.
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
        QCOMPARE(ownersOf(orvalplatform::listenerOwners(orvalplatform::parseTcpSocketTable(table.toStdString()),
                                                        orvalplatform::ipv4Address(127, 0, 0, 1), 7500)),
                 owners);
    }

    // Whose listeners a connection to an address at port 7500 reaches ("any
    // loopback": to whichever loopback address a name may lead to).
    void listenersReached_data()
    {
        QTest::addColumn<QStringList>("listeners");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<Owners>("owners");
        QTest::newRow("IPv4 loopback") << QStringList {"127.0.0.1 7500 1000"} << "127.0.0.1" << Owners {1000};
        QTest::newRow("IPv4 any-address") << QStringList {"0.0.0.0 7500 1000"} << "127.0.0.1" << Owners {1000};
        QTest::newRow("another port") << QStringList {"127.0.0.1 7501 1000"} << "127.0.0.1" << Owners {};
        QTest::newRow("IPv6 any-address, dual-stack") << QStringList {":: 7500 33"} << "127.0.0.1" << Owners {33};
        QTest::newRow("IPv6 any-address, IPv6 only") << QStringList {":: 7500 33 v6only"} << "127.0.0.1" << Owners {};
        QTest::newRow("IPv6 loopback") << QStringList {"::1 7500 33"} << "127.0.0.1" << Owners {};
        QTest::newRow("IPv4 loopback on an IPv6 socket")
            << QStringList {"::ffff:127.0.0.1 7500 33"} << "127.0.0.1" << Owners {33};
        QTest::newRow("IPv4 any-address on an IPv6 socket")
            << QStringList {"::ffff:0.0.0.0 7500 33"} << "127.0.0.1" << Owners {33};
        QTest::newRow("another user's IPv6-only beside the caller's IPv4 loopback")
            << QStringList {"127.0.0.1 7500 1000", ":: 7500 65534 v6only"} << "127.0.0.1" << Owners {1000};
        QTest::newRow("another user's dual-stack beside the caller's IPv4 loopback")
            << QStringList {"127.0.0.1 7500 1000", ":: 7500 65534"} << "127.0.0.1" << Owners {1000, 65534};
        QTest::newRow("127.0.0.2: 127.0.0.1 and 0.0.0.0")
            << QStringList {"127.0.0.1 7500 1", "0.0.0.0 7500 2", "127.0.0.2 7500 3"} << "127.0.0.2" << Owners {2, 3};
        QTest::newRow("::1: IPv6-only any-address, IPv6 loopback, IPv4 ones")
            << QStringList {":: 7500 1 v6only", "::1 7500 2", "0.0.0.0 7500 3", "127.0.0.1 7500 4"} << "::1"
            << Owners {1, 2};
        QTest::newRow("any loopback") << QStringList {"127.0.0.2 7500 1",       "::1 7500 2",
                                                      ":: 7500 3 v6only",       "0.0.0.0 7500 4",
                                                      "192.0.2.1 7500 5",       "::ffff:127.0.0.9 7500 6",
                                                      "2001:db8::1 7500 7",     "127.0.0.1 7501 8",
                                                      "::ffff:192.0.2.1 7500 9"}
                                      << "any loopback" << Owners {1, 2, 3, 4, 6};
    }

    void listenersReached()
    {
        QFETCH(QStringList, listeners);
        QFETCH(QString, destination);
        QFETCH(Owners, owners);
        const std::vector<orvalplatform::TcpSocketEntry> entries = ::listeners(listeners);
        QCOMPARE(ownersOf(destination == "any loopback"
                              ? orvalplatform::anyLoopbackListenerOwners(entries, 7500)
                              : orvalplatform::listenerOwners(entries, addressOf(destination), 7500)),
                 owners);
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

    // Whether the engine, dialing `host` at `port`, could reach a loopback
    // listener of another user than the caller (1000): "other" for an
    // address, "name" for a name, which may lead to any loopback address.
    void destinationRefusal_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("refusal");
        const struct
        {
            const char *name;
            const char *host;
            int port;
            const char *refusal;
        } rows[] = {
            {"another user's", "127.0.0.1", 7500, "other"},
            {"the caller's", "127.0.0.1", 7503, ""},
            {"nothing listens", "127.0.0.1", 7509, ""},
            {"short form", "127.1", 7500, "other"},
            {"one number", "2130706433", 7500, "other"},
            {"hexadecimal", "0x7f000001", 7500, "other"},
            {"octal", "0177.0.0.1", 7500, "other"},
            {"IPv4 any-address", "0.0.0.0", 7500, "other"},
            {"0", "0", 7500, "other"},
            {"IPv4-mapped", "::ffff:127.0.0.1", 7500, "other"},
            {"IPv4-mapped any-address", "::ffff:0.0.0.0", 7500, "other"},
            {"IPv6 loopback", "::1", 7501, "other"},
            {"IPv6 any-address", "::", 7501, "other"},
            {"IPv4 beside another user's IPv6 loopback", "127.0.0.1", 7501, ""},
            {"another loopback address", "127.0.0.2", 7502, "other"},
            {"127.0.0.1 beside another user's 127.0.0.2", "127.0.0.1", 7502, ""},
            {"IPv4 beside another user's IPv6-only", "127.0.0.1", 7504, ""},
            {"IPv6 to another user's IPv6-only", "::1", 7504, "other"},
            {"IPv4 to another user's dual-stack", "127.0.0.1", 7505, "other"},
            {"loopback to another user's IPv4 any-address", "127.0.0.5", 7506, "other"},
            {"elsewhere, beside another user's IPv4 any-address", "192.0.2.1", 7506, ""},
            {"elsewhere", "192.0.2.1", 7500, ""},
            {"elsewhere, IPv6", "2001:db8::1", 7501, ""},
            {"elsewhere, IPv4-mapped", "::ffff:192.0.2.1", 7500, ""},
            {"localhost", "localhost", 7500, "name"},
            {"localhost in capitals, with a dot", "LOCALHOST.", 7501, "name"},
            {"a name, another user's 127.0.0.2", "vpn.example", 7502, "name"},
            {"a name, another user's IPv6-only", "vpn.example", 7504, "name"},
            {"a name, the caller's", "vpn.example", 7503, ""},
            {"a name, the caller's IPv4 and IPv6", "localhost", 7507, ""},
            {"a name, nothing listens", "vpn.example", 7509, ""},
            {"a number with a blank after it", "127.0.0.1 ", 7500, "name"},
            {"a bracketed address", "[::1]", 7501, "name"},
            {"nothing", "", 7500, "name"},
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << row.host << row.port << row.refusal;
    }

    void destinationRefusal()
    {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, refusal);
        const std::vector<orvalplatform::TcpSocketEntry> entries =
            listeners({"127.0.0.1 7500 65534", "::1 7501 65534", "127.0.0.2 7502 65534", "127.0.0.1 7503 1000",
                       ":: 7504 65534 v6only", "127.0.0.1 7504 1000", ":: 7505 65534", "0.0.0.0 7506 65534",
                       "127.0.0.1 7507 1000", "::1 7507 1000"});
        const QMap<QString, QString> texts = {
            {"", ""},
            {"other", "the loopback listener at this port is not the calling user's"},
            {"name", "the name may lead to a loopback listener at this port that is not the calling user's"}};
        DialDestination destination;
        destination.host = host.toStdString();
        destination.port = quint16(port);
        QCOMPARE(QString::fromStdString(CallerListener::destinationRefusal(destination, entries, 1000)),
                 texts.value(refusal));
    }

    void httpsServerDestination_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("name and port") << "https://vpn.example:8443/"
                                       << "vpn.example" << 8443;
        QTest::newRow("loopback") << "https://127.0.0.1:4433/"
                                  << "127.0.0.1" << 4433;
        QTest::newRow("IPv6") << "https://[::1]:4433/"
                              << "::1" << 4433;
        QTest::newRow("no port") << "https://vpn.example/"
                                 << "vpn.example" << 443;
        QTest::newRow("IPv6, no port") << "https://[2001:db8::1]/"
                                       << "2001:db8::1" << 443;
        QTest::newRow("path") << "https://vpn.example:444/group"
                              << "vpn.example" << 444;
        QTest::newRow("no path") << "https://127.0.0.1:9"
                                 << "127.0.0.1" << 9;
    }

    void httpsServerDestination()
    {
        QFETCH(QString, url);
        QFETCH(QString, host);
        QFETCH(int, port);
        const DialDestination destination = DialDestination::ofHttpsServer("server", url.toStdString());
        QCOMPARE(QString::fromStdString(destination.argument), QString("server"));
        QCOMPARE(QString::fromStdString(destination.value), url);
        QCOMPARE(QString::fromStdString(destination.host), host);
        QCOMPARE(int(destination.port), port);
    }

    // The kernel's sock_diag tells an IPv6-only listener from a dual-stack
    // one, with the same owner and inode as the /proc tables.
    void kernelTellsIPv6OnlyListeners()
    {
        QTcpServer v6Only;
        QTcpServer dualStack;
        QVERIFY(v6Only.listen(QHostAddress::AnyIPv6));
        QVERIFY(dualStack.listen(QHostAddress::Any));
        const std::vector<orvalplatform::TcpSocketEntry> tables = orvalplatform::readTcpSocketTables();
        for (const QTcpServer *server : {&v6Only, &dualStack}) {
            const auto atPort = [server](const orvalplatform::TcpSocketEntry &entry) {
                return entry.state == orvalplatform::TCP_LISTEN_STATE && entry.local.port == server->serverPort();
            };
            const std::vector<orvalplatform::TcpSocketEntry> listeners = orvalplatform::readTcpListeners();
            const auto listener = std::find_if(listeners.begin(), listeners.end(), atPort);
            const auto row = std::find_if(tables.begin(), tables.end(), atPort);
            QVERIFY(listener != listeners.end() && row != tables.end());
            QCOMPARE(listener->v6Only, server == &v6Only);
            QCOMPARE(listener->uid, static_cast<long long>(getuid()));
            QCOMPARE(listener->inode, row->inode);
            QVERIFY(listener->local == row->local);
        }
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
