#include "LogCapture.h"
#include "routedump/RouteDumpSysctl.h"
#include "system/BsdRouteLayout.h"
#include "system/Routes4.h"
#include "system/Routes4Exception.h"
#include "system/RoutingTableIPv4.h"
#include "system/RoutingTableIPv4Exception.h"

#include <QTest>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

using Bytes = QByteArray;

template<typename T>
void putAt(Bytes &bytes, int offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

Bytes sockaddrIn(const char *address, quint8 length = 16, quint8 family = BsdRoute::Family::Inet)
{
    Bytes bytes(16, '\0');
    bytes[0] = char(length);
    bytes[1] = char(family);
    const quint32 ip = QHostAddress(QString::fromLatin1(address)).toIPv4Address();
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char(ip >> (24 - 8 * i));
    return bytes.left(int(BsdRoute::roundUp(length)));
}

Bytes sockaddrDl(quint16 index)
{
    Bytes bytes(20, '\0');
    bytes[0] = 20;
    bytes[1] = char(BsdRoute::Family::Link);
    putAt(bytes, 2, index);
    return bytes;
}

Bytes emptySockaddr()
{
    return Bytes(4, '\0');
}

// One routing message: the 92-byte header and the given addresses.
Bytes message(quint32 flags, quint32 addrs, quint16 index, const QList<Bytes> &addresses)
{
    Bytes bytes(int(BsdRoute::Header::Size), '\0');
    for (const Bytes &address : addresses)
        bytes += address;
    putAt(bytes, int(BsdRoute::Header::MsgLen), quint16(bytes.size()));
    bytes[int(BsdRoute::Header::Version)] = char(BsdRoute::MessageVersion);
    putAt(bytes, int(BsdRoute::Header::Index), index);
    putAt(bytes, int(BsdRoute::Header::Flags), flags);
    putAt(bytes, int(BsdRoute::Header::Addrs), addrs);
    return bytes;
}

Bytes withMessageLength(Bytes bytes, quint16 length)
{
    putAt(bytes, 0, length);
    return bytes;
}

constexpr quint32 Up = BsdRoute::Flag::Up;
constexpr quint32 Gw = BsdRoute::Flag::Gateway;
constexpr quint32 All = BsdRoute::Addr::Dst | BsdRoute::Addr::Gateway | BsdRoute::Addr::Netmask;

Bytes defaultRoute(quint16 index = 4, quint32 extraFlags = 0)
{
    return message(Up | Gw | extraFlags, All, index, {sockaddrIn("0.0.0.0"), sockaddrIn("192.0.2.1"), emptySockaddr()});
}

QString names(unsigned index)
{
    switch (index) {
    case 1: return QStringLiteral("lo0");
    case 4: return QStringLiteral("en0");
    case 7: return QStringLiteral("utun3");
    default: return QString();
    }
}

QStringList parse(const Bytes &dump)
{
    QStringList result;
    const auto entries = RoutingTableIPv4::parseDump(reinterpret_cast<const unsigned char *>(dump.constData()),
                                                     std::size_t(dump.size()), names);
    for (const Route4Entry &entry : entries)
        result << entry.toString();
    return result;
}

const QString DefaultEntry =
    QStringLiteral("Route4Entry[iface=en0, destination=0.0.0.0, mask=0.0.0.0, gateway=192.0.2.1, metric=1]");

// A fake sysctl that fails the first `failures` fetches, then hands out `dump`.
struct FakeSysctl
{
    Bytes dump;
    int failures = 0;
    bool estimateFails = false;
    int fetches = 0;

    int operator()(int *name, unsigned nameLength, void *oldValue, std::size_t *oldLength, void *, std::size_t)
    {
        const int expected[] = {4, 17, 0, 2, 1, 0};
        if (nameLength != 6 || std::memcmp(name, expected, sizeof expected) != 0)
            throw std::logic_error("unexpected sysctl name");
        if (!oldValue) {
            if (estimateFails)
                return -1;
            *oldLength = std::size_t(dump.size());
            return 0;
        }
        if (++fetches <= failures || *oldLength < std::size_t(dump.size()))
            return -1;
        std::memcpy(oldValue, dump.constData(), std::size_t(dump.size()));
        *oldLength = std::size_t(dump.size());
        return 0;
    }
};

} // namespace

class TestRoutingTable : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<Bytes>("dump");
        QTest::addColumn<QStringList>("routes");
        QTest::addColumn<QString>("logLine");

        const QList<Bytes> fullGw = {sockaddrIn("10.0.0.0"), sockaddrIn("192.0.2.1"), sockaddrIn("255.0.0.0")};
        QTest::newRow("empty dump") << Bytes() << QStringList() << QString();
        QTest::newRow("default route") << defaultRoute() << QStringList {DefaultEntry}
                                       << QStringLiteral("Add route: ") + DefaultEntry;
        QTest::newRow("down") << message(Gw, All, 4, fullGw) << QStringList() << "Skipping down route";
        QTest::newRow("llinfo") << message(Up | BsdRoute::Flag::LlInfo, All, 4, fullGw) << QStringList()
                                << "Skipping route with flag RTF_LLINFO";
        QTest::newRow("no destination bit")
            << message(Up, BsdRoute::Addr::Gateway | BsdRoute::Addr::Netmask, 4, fullGw.mid(1)) << QStringList()
            << "Skipping route without destination";
        QTest::newRow("inet6 destination")
            << message(Up, All, 4, {sockaddrIn("0.0.0.0", 16, 30), sockaddrIn("192.0.2.1"), emptySockaddr()})
            << QStringList() << "Skipping route with Destination family AF_INET6";
        QTest::newRow("iso destination") << message(
            Up, All, 4, {sockaddrIn("0.0.0.0", 16, 7), sockaddrIn("192.0.2.1"), emptySockaddr()})
                                         << QStringList() << "Skipping route with Destination family ISO";
        QTest::newRow("x25 destination") << message(
            Up, All, 4, {sockaddrIn("0.0.0.0", 16, 10), sockaddrIn("192.0.2.1"), emptySockaddr()})
                                         << QStringList() << "Skipping route with Destination family X.25";
        QTest::newRow("appletalk destination")
            << message(Up, All, 4, {sockaddrIn("0.0.0.0", 16, 16), sockaddrIn("192.0.2.1"), emptySockaddr()})
            << QStringList() << "Skipping route with Destination family AppleTalk";
        QTest::newRow("linux inet6 number is unknown here")
            << message(Up, All, 4, {sockaddrIn("0.0.0.0", 16, 99), sockaddrIn("192.0.2.1"), emptySockaddr()})
            << QStringList() << "Skipping route with Destination family Unknown";
        QTest::newRow("short destination")
            << message(Up, All, 4, {sockaddrIn("0.0.0.0", 8), sockaddrIn("192.0.2.1"), emptySockaddr()})
            << QStringList() << "Skipping route without destination";
        QTest::newRow("no gateway bit") << message(Up, BsdRoute::Addr::Dst | BsdRoute::Addr::Netmask, 4,
                                                   {sockaddrIn("10.0.0.0"), sockaddrIn("255.0.0.0")})
                                        << QStringList() << "Skipping route without gateway";
        QTest::newRow("short gateway") << message(
            Up, All, 4, {sockaddrIn("10.0.0.0"), sockaddrIn("192.0.2.1", 12), sockaddrIn("255.0.0.0")})
                                       << QStringList() << "Skipping route without gateway";
        QTest::newRow("inet6 gateway") << message(
            Up, All, 4, {sockaddrIn("10.0.0.0"), sockaddrIn("192.0.2.1", 16, 30), sockaddrIn("255.0.0.0")})
                                       << QStringList() << "Skipping route with Gateway Family AF_INET6";
        QTest::newRow("no netmask") << message(Up, BsdRoute::Addr::Dst | BsdRoute::Addr::Gateway, 4,
                                               {sockaddrIn("10.0.0.0"), sockaddrIn("192.0.2.1")})
                                    << QStringList() << "Skipping route without netmask";
        QTest::newRow("unknown interface")
            << defaultRoute(99) << QStringList() << "Skipping route with unknown interface";
        QTest::newRow("host route without netmask")
            << message(Up | Gw | BsdRoute::Flag::Host, BsdRoute::Addr::Dst | BsdRoute::Addr::Gateway, 4,
                       {sockaddrIn("198.51.100.7"), sockaddrIn("192.0.2.1")})
            << QStringList {"Route4Entry[iface=en0, destination=198.51.100.7, mask=255.255.255.255, "
                            "gateway=192.0.2.1, metric=1]"}
            << QString();
        QTest::newRow("link-level gateway")
            << message(Up, All, 4, {sockaddrIn("0.0.0.0"), sockaddrDl(4), emptySockaddr()})
            << QStringList {"Route4Entry[iface=en0, destination=0.0.0.0, mask=0.0.0.0, gateway=, metric=1]"}
            << QString();
        QTest::newRow("interface-scoped")
            << defaultRoute(7, BsdRoute::Flag::IfScope)
            << QStringList {"Route4Entry[iface=utun3, destination=0.0.0.0, mask=0.0.0.0, gateway=192.0.2.1, metric=2]"}
            << QString();
        Bytes compactMask = sockaddrIn("255.255.255.0", 7, 0xff);
        QTest::newRow("compact netmask")
            << message(Up | Gw, All, 4, {sockaddrIn("10.1.2.0"), sockaddrIn("192.0.2.1"), compactMask})
            << QStringList {"Route4Entry[iface=en0, destination=10.1.2.0, mask=255.255.255.0, gateway=192.0.2.1, "
                            "metric=1]"}
            << QString();
        QTest::newRow("dump order kept")
            << defaultRoute(7, BsdRoute::Flag::IfScope) + message(Gw, All, 4, fullGw) + defaultRoute()
            << QStringList {"Route4Entry[iface=utun3, destination=0.0.0.0, mask=0.0.0.0, gateway=192.0.2.1, metric=2]",
                            DefaultEntry}
            << "Skipping down route";

        // Damaged dumps: the walk stays inside the fetched bytes.
        QTest::newRow("zero length ends the walk")
            << defaultRoute() + withMessageLength(defaultRoute(), 0) + defaultRoute() << QStringList {DefaultEntry}
            << "Route dump damaged at byte 128: message length 0 with 256 bytes left, rest of the dump ignored";
        QTest::newRow("oversized length ends the walk")
            << defaultRoute() + withMessageLength(defaultRoute(), 500) << QStringList {DefaultEntry}
            << "Route dump damaged at byte 128: message length 500 with 128 bytes left, rest of the dump ignored";
        QTest::newRow("one stray byte") << defaultRoute() + Bytes(1, '\x01') << QStringList {DefaultEntry}
                                        << "Route dump damaged at byte 128: message length 0 with 1 bytes left, "
                                           "rest of the dump ignored";
        QTest::newRow("shorter than the header")
            << Bytes::fromHex("0800050400000000") + defaultRoute() << QStringList {DefaultEntry}
            << "Skipping route message shorter than its header";
        QTest::newRow("addresses cut off by the message length")
            << withMessageLength(defaultRoute(), quint16(BsdRoute::Header::Size + 8))
                   .left(int(BsdRoute::Header::Size) + 8)
            << QStringList() << "Skipping route without destination";
        QTest::newRow("gateway cut off") << withMessageLength(defaultRoute(), quint16(BsdRoute::Header::Size + 20))
                                                .left(int(BsdRoute::Header::Size) + 20)
                                         << QStringList() << "Skipping route without gateway";
        QTest::newRow("netmask cut off") << withMessageLength(message(Up | Gw, All, 4, fullGw),
                                                              quint16(BsdRoute::Header::Size + 34))
                                                .left(int(BsdRoute::Header::Size) + 34)
                                         << QStringList() << "Skipping route with truncated netmask";
    }

    void walk()
    {
        QFETCH(Bytes, dump);
        QFETCH(QStringList, routes);
        QFETCH(QString, logLine);
        LogCapture log;
        QCOMPARE(parse(dump), routes);
        if (!logLine.isEmpty())
            QVERIFY2(log.contains(logLine), qPrintable(log.messages().join('\n')));
    }

    void linuxTableAsMacDump()
    {
        const std::string procNetRoute =
            "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
            "en0\t00000000\t010200C0\t0003\t0\t0\t200\t00000000\t0\t0\t0\n"
            "utun3\t00000000\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
            "en0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
            "en0\t076433C6\t010200C0\t0007\t0\t0\t0\tFFFFFFFF\t0\t0\t0\n"
            "*\t00000080\t00000000\t0201\t0\t0\t0\t00000080\t0\t0\t0\n"
            "en0\t00000064\t00000000\t0000\t0\t0\t0\t000000FF\t0\t0\t0\n";
        const auto indexOf = [](const std::string &iface) -> unsigned {
            return iface == "en0" ? 4 : iface == "utun3" ? 7 : 0;
        };
        const std::vector<unsigned char> dump = orvalplatform::routeDumpFromProcNetRoute(procNetRoute, indexOf);
        LogCapture log;
        QStringList routes;
        for (const Route4Entry &entry : RoutingTableIPv4::parseDump(dump.data(), dump.size(), names))
            routes << entry.toString();
        QCOMPARE(routes,
                 QStringList({"Route4Entry[iface=en0, destination=0.0.0.0, mask=0.0.0.0, gateway=192.0.2.1, metric=2]",
                              "Route4Entry[iface=utun3, destination=0.0.0.0, mask=0.0.0.0, gateway=10.0.0.1, metric=1]",
                              "Route4Entry[iface=en0, destination=192.0.2.0, mask=255.255.255.0, gateway=, metric=1]",
                              "Route4Entry[iface=en0, destination=198.51.100.7, mask=255.255.255.255, "
                              "gateway=192.0.2.1, metric=1]"}));
        QVERIFY(log.contains("Skipping route with unknown interface")); // the blackhole
        QVERIFY(log.contains("Skipping down route"));
    }

    void platformSysctlRefusesOtherNames()
    {
        int name[6] = {4, 17, 0, 30, 1, 0};
        std::size_t length = 0;
        QCOMPARE(orvalplatform::sysctl(name, 6, nullptr, &length, nullptr, 0), -1);
        QCOMPARE(errno, ENOTSUP);
        int dumpName[6] = {4, 17, 0, 2, 1, 0};
        int value = 1;
        QCOMPARE(orvalplatform::sysctl(dumpName, 6, nullptr, &length, &value, sizeof value), -1);
        QCOMPARE(errno, EPERM);
    }

    void platformSysctlTooSmallBuffer()
    {
        int name[6] = {4, 17, 0, 2, 1, 0};
        std::size_t needed = 0;
        QCOMPARE(orvalplatform::sysctl(name, 6, nullptr, &needed, nullptr, 0), 0);
        if (needed == 0)
            QSKIP("this network namespace has no IPv4 routes");
        std::vector<unsigned char> small(needed - 1);
        std::size_t length = small.size();
        QCOMPARE(orvalplatform::sysctl(name, 6, small.data(), &length, nullptr, 0), -1);
        QCOMPARE(errno, ENOMEM);
    }

    void fetchRetriesThreeTimes()
    {
        FakeSysctl fake {defaultRoute(), 3};
        LogCapture log;
        RoutingTableIPv4 table(std::ref(fake), names);
        QCOMPARE(fake.fetches, 4);
        QCOMPARE(log.count("Warning: sysctl: net.route.0.0.dump failed"), 3);
        QCOMPARE(table.getRoutes4().entries().size(), 1);
    }

    void fourFailedFetchesThrow()
    {
        FakeSysctl fake {defaultRoute(), 4};
        try {
            RoutingTableIPv4 table(std::ref(fake), names);
            QFAIL("no exception");
        } catch (const RoutingTableIPv4Exception &e) {
            QCOMPARE(e.text(), QStringLiteral("getRouteTree failed. Info: sysctl error"));
        }
        QCOMPARE(fake.fetches, 4);
    }

    void failedEstimateKeepsGoing()
    {
        FakeSysctl fake {defaultRoute(), 0, true};
        LogCapture log;
        // Without an estimate the one-byte buffer is too small every time.
        QVERIFY_EXCEPTION_THROWN(RoutingTableIPv4(std::ref(fake), names), RoutingTableIPv4Exception);
        QCOMPARE(log.count("Warning: sysctl: net.route.0.0.dump estimate failed"), 4);
    }

    void exceptionWhileWalkingIsWrapped()
    {
        FakeSysctl fake {defaultRoute()};
        const auto throwingNames = [](unsigned) -> QString { throw std::runtime_error("no interfaces"); };
        try {
            RoutingTableIPv4 table(std::ref(fake), throwingNames);
            QFAIL("no exception");
        } catch (const RoutingTableIPv4Exception &e) {
            QCOMPARE(e.text(), QStringLiteral("RoutingTableIPv4 constructor failed. Info: Cannot parse Routing "
                                              "Table - Nested exception: no interfaces"));
        }
    }

    void defaultRoutesByMetric()
    {
        const Route4Entry scoped("utun3", QHostAddress("0.0.0.0"), 0, QHostAddress("10.0.0.1"), 2);
        const Route4Entry network("en0", QHostAddress("192.0.2.0"), 0xffffff00, QHostAddress(), 1);
        const Route4Entry zeroDestinationNotDefault("en0", QHostAddress("0.0.0.0"), 0xff000000, QHostAddress(), 1);
        const Route4Entry primary("en0", QHostAddress("0.0.0.0"), 0, QHostAddress("192.0.2.1"), 1);
        LogCapture log;
        Routes4 routes({scoped, network, zeroDestinationNotDefault, primary});
        QCOMPARE(log.messages().size(), 4);
        QCOMPARE(log.messages().first(), scoped.toString());
        routes.retainDefaultRoutes();
        QCOMPARE(routes.entries(), QList<Route4Entry>({scoped, primary}));
        routes.sortByMetric();
        QCOMPARE(routes.getFirstRoute(), primary);
        QVERIFY(routes.containsDefaultRoute());
        QVERIFY(Route4Entry::metricLessThan(primary, scoped));
        QVERIFY(!Route4Entry::metricLessThan(scoped, primary));
        QVERIFY(!Route4Entry::metricLessThan(primary, primary));
    }

    void firstRouteOfNothing()
    {
        Routes4 routes({Route4Entry("en0", QHostAddress("192.0.2.0"), 0xffffff00, QHostAddress(), 1)});
        routes.retainDefaultRoutes();
        QVERIFY(routes.entries().isEmpty());
        QVERIFY(!routes.containsDefaultRoute());
        try {
            routes.getFirstRoute();
            QFAIL("no exception");
        } catch (const Routes4Exception &e) {
            QCOMPARE(e.text(), QStringLiteral("Routes4::getFirstRoute failed. Info: The list is empty"));
        }
    }
};

QTEST_GUILESS_MAIN(TestRoutingTable)
#include "tst_routingtable.moc"
