#include "ServiceRecord.h"

#include <QTest>

#include <functional>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>

Q_DECLARE_METATYPE(standins::AddressEntry)
Q_DECLARE_METATYPE(standins::RouteEntry)
Q_DECLARE_METATYPE(standins::RouteChange)
Q_DECLARE_METATYPE(std::vector<standins::AddressEntry>)
Q_DECLARE_METATYPE(std::vector<standins::RouteEntry>)

namespace {

using standins::AddressEntry;
using standins::RouteChange;
using standins::RouteEntry;
using standins::ServiceRecord;

const unsigned SERVICE = 2;
const unsigned OTHER = 3;
// How often the service's link had come up when it went down.
const unsigned UP_COUNT = 5;
const std::string OWNER = "2e8e2705-1cc6-448e-94f4-2679ae9e7cff:4711";

AddressEntry address(bool ipv6, const std::string &local, int prefixLength, unsigned index = SERVICE)
{
    AddressEntry entry;
    entry.index = index;
    entry.ipv6 = ipv6;
    entry.local = local;
    entry.prefixLength = prefixLength;
    entry.flags = IFA_F_PERMANENT;
    entry.label = ipv6 ? std::string() : "eth0";
    return entry;
}

// A static route of the main table on the service, as 'ip route add' makes it.
RouteEntry route(bool ipv6, const std::string &destination, int prefixLength, const std::string &gateway = {})
{
    RouteEntry entry;
    entry.index = SERVICE;
    entry.table = RT_TABLE_MAIN;
    entry.ipv6 = ipv6;
    entry.destination = destination;
    entry.prefixLength = prefixLength;
    entry.protocol = RTPROT_BOOT;
    entry.scope = gateway.empty() && !ipv6 ? RT_SCOPE_LINK : RT_SCOPE_UNIVERSE;
    entry.type = RTN_UNICAST;
    entry.gateway = gateway;
    if (ipv6)
        entry.priority = 1024;
    return entry;
}

RouteEntry changed(RouteEntry entry, const std::function<void(RouteEntry &)> &change)
{
    change(entry);
    return entry;
}

AddressEntry changed(AddressEntry entry, const std::function<void(AddressEntry &)> &change)
{
    change(entry);
    return entry;
}

RouteChange deletion(bool ipv6, const std::string &address, int prefixLength, unsigned char type = RTN_UNICAST)
{
    RouteChange change;
    change.ipv6 = ipv6;
    change.address = address;
    change.prefixLength = prefixLength;
    change.type = type;
    return change;
}

QStringList destinations(const std::vector<RouteEntry> &routes)
{
    QStringList found;
    for (const RouteEntry &entry : routes)
        found << QString::fromStdString(entry.destination + "/" + std::to_string(entry.prefixLength));
    return found;
}

QStringList locals(const std::vector<AddressEntry> &addresses)
{
    QStringList found;
    for (const AddressEntry &entry : addresses)
        found << QString::fromStdString(entry.local);
    return found;
}

// What the lab's client side holds, recorded: its address, an IPv6 address,
// routes through the gateway, on the link, and IPv6 ones.
ServiceRecord labRecord()
{
    return ServiceRecord::of("eth0", OWNER, SERVICE, UP_COUNT,
                             {address(false, "198.51.100.2", 24), address(true, "2001:db8:5::2", 64)},
                             {route(false, "0.0.0.0", 0, "198.51.100.1"), route(false, "203.0.113.0", 24),
                              route(true, "::", 0, "2001:db8:5::1"), route(true, "2001:db8:77::", 48)});
}

} // namespace

// The record of a service: what the kernel drops when its link goes down and
// does not make anew when it comes up, and what bringing it up must add.
class TestServiceRecord : public QObject
{
    Q_OBJECT

private slots:
    void recordsTheRoutesTheLinkLoses_data()
    {
        QTest::addColumn<RouteEntry>("route");
        QTest::addColumn<bool>("recorded");
        const RouteEntry gateway = route(false, "0.0.0.0", 0, "198.51.100.1");
        QTest::newRow("default route") << gateway << true;
        QTest::newRow("route on the link") << route(false, "203.0.113.0", 24) << true;
        QTest::newRow("IPv6 default route") << route(true, "::", 0, "2001:db8:5::1") << true;
        QTest::newRow("with metric, source and mtu") << changed(gateway, [](RouteEntry &entry) {
            entry.priority = 5;
            entry.source = "198.51.100.2";
            entry.metrics = std::string("\x08\x00\x02\x00\x14\x05\x00\x00", 8);
        }) << true;
        QTest::newRow("through another interface")
            << changed(gateway, [](RouteEntry &entry) { entry.index = OTHER; }) << false;
        QTest::newRow("without an interface (black hole)") << changed(gateway, [](RouteEntry &entry) {
            entry.index = 0;
            entry.type = RTN_BLACKHOLE;
        }) << false;
        // These come back with the address or the link, or from the network.
        QTest::newRow("an address's own route")
            << changed(route(false, "198.51.100.0", 24), [](RouteEntry &entry) { entry.protocol = RTPROT_KERNEL; })
            << false;
        QTest::newRow("router advertisement")
            << changed(route(true, "::", 0, "fe80::1"), [](RouteEntry &entry) { entry.protocol = RTPROT_RA; }) << false;
        QTest::newRow("redirect") << changed(gateway, [](RouteEntry &entry) { entry.protocol = RTPROT_REDIRECT; })
                                  << false;
        QTest::newRow("cached") << changed(gateway, [](RouteEntry &entry) { entry.flags = RTM_F_CLONED; }) << false;
        // Not the service's alone, or not what one next hop can give back.
        QTest::newRow("other table") << changed(gateway, [](RouteEntry &entry) { entry.table = 100; }) << false;
        QTest::newRow("multipath") << changed(gateway, [](RouteEntry &entry) { entry.plain = false; }) << false;
    }

    void recordsTheRoutesTheLinkLoses()
    {
        QFETCH(RouteEntry, route);
        QFETCH(bool, recorded);
        const ServiceRecord record = ServiceRecord::of("eth0", OWNER, SERVICE, UP_COUNT, {}, {route});
        QCOMPARE(record.routes().size(), size_t(recorded ? 1 : 0));
    }

    void recordsTheAddressesTheLinkLoses_data()
    {
        QTest::addColumn<AddressEntry>("address");
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QString>("label");
        QTest::newRow("IPv4") << address(false, "198.51.100.2", 24) << true << "";
        QTest::newRow("IPv4 with a label of its own")
            << changed(address(false, "198.51.100.9", 24), [](AddressEntry &entry) { entry.label = "eth0:1"; }) << true
            << "eth0:1";
        QTest::newRow("IPv6") << address(true, "2001:db8:5::2", 64) << true << "";
        QTest::newRow("IPv6 without duplicate detection")
            << changed(address(true, "2001:db8:5::2", 64), [](AddressEntry &entry) { entry.flags |= IFA_F_NODAD; })
            << true << "";
        QTest::newRow("IPv6 link-local, made anew by the kernel")
            << changed(address(true, "fe80::1", 64), [](AddressEntry &entry) { entry.scope = RT_SCOPE_LINK; }) << false
            << "";
        QTest::newRow("autoconfigured, with a lifetime")
            << changed(address(true, "2001:db8:5::99", 64), [](AddressEntry &entry) { entry.flags = 0; }) << false
            << "";
        QTest::newRow("on another interface") << address(false, "192.0.2.2", 24, OTHER) << false << "";
    }

    void recordsTheAddressesTheLinkLoses()
    {
        QFETCH(AddressEntry, address);
        QFETCH(bool, recorded);
        QFETCH(QString, label);
        const ServiceRecord record = ServiceRecord::of("eth0", OWNER, SERVICE, UP_COUNT, {address}, {});
        QCOMPARE(record.addresses().size(), size_t(recorded ? 1 : 0));
        if (recorded)
            QCOMPARE(QString::fromStdString(record.addresses().front().label), label);
    }

    void givesBackOnlyWhatIsMissing_data()
    {
        QTest::addColumn<std::vector<AddressEntry>>("addresses");
        QTest::addColumn<std::vector<RouteEntry>>("routes");
        QTest::addColumn<QStringList>("missingAddresses");
        QTest::addColumn<QStringList>("missingRoutes");
        // Routes on the link first: the gateways are reached through them.
        QTest::newRow("all gone") << std::vector<AddressEntry>() << std::vector<RouteEntry>()
                                  << QStringList {"198.51.100.2", "2001:db8:5::2"}
                                  << QStringList {"203.0.113.0/24", "2001:db8:77::/48", "0.0.0.0/0", "::/0"};
        const std::vector<AddressEntry> linkUp {address(false, "198.51.100.2", 24)};
        QTest::newRow("after the link came up")
            << linkUp
            << std::vector<RouteEntry> {changed(route(false, "198.51.100.0", 24),
                                                [](RouteEntry &entry) { entry.protocol = RTPROT_KERNEL; })}
            << QStringList {"2001:db8:5::2"} << QStringList {"203.0.113.0/24", "2001:db8:77::/48", "0.0.0.0/0", "::/0"};
        QTest::newRow("all there") << std::vector<AddressEntry> {address(false, "198.51.100.2", 24),
                                                                 address(true, "2001:db8:5:0::2", 64)}
                                   << std::vector<RouteEntry> {route(false, "0.0.0.0", 0, "198.51.100.1"),
                                                               route(false, "203.0.113.0", 24),
                                                               route(true, "::", 0, "2001:db8:5::1"),
                                                               route(true, "2001:db8:77::", 48)}
                                   << QStringList() << QStringList();
        // The kernel holds one route per destination and metric: another
        // one there, whoever made it, takes the place.
        QTest::newRow("same place, other gateway or interface")
            << linkUp
            << std::vector<RouteEntry> {changed(route(false, "0.0.0.0", 0, "192.0.2.1"),
                                                [](RouteEntry &entry) { entry.index = OTHER; })}
            << QStringList {"2001:db8:5::2"} << QStringList {"203.0.113.0/24", "2001:db8:77::/48", "::/0"};
        QTest::newRow("other metric, other table, other interface's address")
            << std::vector<AddressEntry> {address(false, "198.51.100.2", 24, OTHER), address(true, "2001:db8:5::2", 56)}
            << std::vector<RouteEntry> {changed(route(true, "::", 0, "2001:db8:5::1"),
                                                [](RouteEntry &entry) { entry.priority = 100; }),
                                        changed(route(false, "203.0.113.0", 24),
                                                [](RouteEntry &entry) { entry.table = 100; })}
            << QStringList {"198.51.100.2", "2001:db8:5::2"}
            << QStringList {"203.0.113.0/24", "2001:db8:77::/48", "0.0.0.0/0", "::/0"};
    }

    void givesBackOnlyWhatIsMissing()
    {
        QFETCH(std::vector<AddressEntry>, addresses);
        QFETCH(std::vector<RouteEntry>, routes);
        QFETCH(QStringList, missingAddresses);
        QFETCH(QStringList, missingRoutes);
        const ServiceRecord record = labRecord();
        QCOMPARE(locals(record.missingAddresses(SERVICE, addresses)), missingAddresses);
        QCOMPARE(destinations(record.missingRoutes(routes)), missingRoutes);
    }

    void forgetsRoutesDeletedMeanwhile_data()
    {
        QTest::addColumn<RouteChange>("deletion");
        QTest::addColumn<bool>("forgotten");
        QTest::addColumn<QStringList>("left");
        const QStringList all {"0.0.0.0/0", "203.0.113.0/24", "::/0", "2001:db8:77::/48"};
        QTest::newRow("route on the link")
            << deletion(false, "203.0.113.0", 24) << true << QStringList {"0.0.0.0/0", "::/0", "2001:db8:77::/48"};
        QTest::newRow("IPv6, spelled otherwise")
            << deletion(true, "2001:0db8:0077:0::", 48) << true << QStringList {"0.0.0.0/0", "203.0.113.0/24", "::/0"};
        QTest::newRow("other prefix length") << deletion(false, "203.0.113.0", 25) << false << all;
        QTest::newRow("IPv6 default, not the IPv4 one")
            << deletion(true, "::", 0) << true << QStringList {"0.0.0.0/0", "203.0.113.0/24", "2001:db8:77::/48"};
        QTest::newRow("black hole of the same net")
            << deletion(false, "203.0.113.0", 24, RTN_BLACKHOLE) << false << all;
        QTest::newRow("never recorded") << deletion(false, "198.51.100.3", 32) << false << all;
    }

    void forgetsRoutesDeletedMeanwhile()
    {
        QFETCH(RouteChange, deletion);
        QFETCH(bool, forgotten);
        QFETCH(QStringList, left);
        ServiceRecord record = labRecord();
        QCOMPARE(record.forget(deletion), forgotten);
        QCOMPARE(destinations(record.routes()), left);
    }

    // Everything recorded comes back from the text as it was.
    void readsBackWhatItWrote()
    {
        AddressEntry pointToPoint = address(false, "10.8.0.2", 32);
        pointToPoint.peer = "10.8.0.1";
        pointToPoint.label = "eth0:vpn";
        pointToPoint.metric = 7;
        AddressEntry broadcast = address(false, "198.51.100.2", 24);
        broadcast.broadcast = "198.51.100.255";
        broadcast.protocol = 4;
        RouteEntry everything = route(true, "2001:db8:77::", 48, "2001:db8:5::1");
        everything.source = "2001:db8:5::2";
        everything.priority = 0xffffffffu;
        everything.preference = 1;
        everything.flags = RTNH_F_ONLINK;
        everything.tos = 16;
        everything.metrics = std::string("\x08\x00\x02\x00\x14\x05\x00\x00", 8);
        const RouteEntry elsewhere =
            changed(route(false, "0.0.0.0", 0, "192.0.2.1"), [](RouteEntry &entry) { entry.index = OTHER; });
        const ServiceRecord record =
            ServiceRecord::of("eth0", OWNER, SERVICE, UP_COUNT, {pointToPoint, broadcast}, {everything, elsewhere});
        ServiceRecord read;
        QVERIFY(ServiceRecord::parse(record.text(), read));
        QCOMPARE(read.text(), record.text());
        QCOMPARE(read.service(), std::string("eth0"));
        QCOMPARE(read.owner(), OWNER);
        QCOMPARE(read.addresses().size(), size_t(2));
        QCOMPARE(read.addresses().at(0).peer, std::string("10.8.0.1"));
        QCOMPARE(read.addresses().at(0).label, std::string("eth0:vpn"));
        QCOMPARE(read.addresses().at(0).metric, std::optional<unsigned>(7));
        QCOMPARE(read.addresses().at(1).broadcast, std::string("198.51.100.255"));
        QCOMPARE(read.addresses().at(1).protocol, std::optional<int>(4));
        QCOMPARE(read.routes().size(), size_t(1));
        const RouteEntry &back = read.routes().front();
        QCOMPARE(back.source, everything.source);
        QCOMPARE(back.priority, everything.priority);
        QCOMPARE(back.preference, everything.preference);
        QCOMPARE(back.flags, everything.flags);
        QCOMPARE(back.tos, everything.tos);
        QCOMPARE(back.metrics, everything.metrics);
        QCOMPARE(back.table, unsigned(RT_TABLE_MAIN));
    }

    void isForTheLinkAsItWentDown_data()
    {
        QTest::addColumn<unsigned>("index");
        QTest::addColumn<unsigned>("upCount");
        QTest::addColumn<bool>("isFor");
        QTest::newRow("down since") << SERVICE << UP_COUNT << true;
        QTest::newRow("up and down again meanwhile") << SERVICE << UP_COUNT + 1 << false;
        QTest::newRow("another interface of the name") << OTHER << UP_COUNT << false;
    }

    // Only while the link stays down from the record on: brought up by other
    // means, it has a configuration of its own.
    void isForTheLinkAsItWentDown()
    {
        QFETCH(unsigned, index);
        QFETCH(unsigned, upCount);
        QFETCH(bool, isFor);
        ServiceRecord read;
        QVERIFY(ServiceRecord::parse(labRecord().text(), read));
        QCOMPARE(read.isFor(index, upCount), isFor);
    }

    // A record is read only whole and well-formed: nothing of a damaged one
    // is given to the kernel.
    void refusesWhatItDidNotWrite_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray good = QByteArray::fromStdString(labRecord().text());
        const auto replaced = [&good](const char *from, const char *to) { return QByteArray(good).replace(from, to); };
        QVERIFY(good.contains("\nroute 4 0.0.0.0 0 0 3 0 1 0 198.51.100.1 - - - -\n"));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no header") << good.mid(good.indexOf('\n') + 1);
        QTest::newRow("other version") << replaced("record 1", "record 2");
        QTest::newRow("cut short") << good.left(good.lastIndexOf("end"));
        QTest::newRow("more after the end") << good + "route 4 0.0.0.0 0 0 3 0 1 0 192.0.2.1 - - - -\n";
        QTest::newRow("no service") << replaced("service eth0\n", "");
        QTest::newRow("no owner") << replaced("owner ", "owners ");
        QTest::newRow("second service") << replaced("service eth0\n", "service eth0\nservice eth1\n");
        QTest::newRow("no link") << replaced("link 2 5\n", "");
        QTest::newRow("link without its count") << replaced("link 2 5\n", "link 2\n");
        QTest::newRow("second link") << replaced("link 2 5\n", "link 2 5\nlink 3 5\n");
        QTest::newRow("service as an option") << replaced("service eth0", "service -eth0");
        QTest::newRow("blank line") << replaced("\nend\n", "\n\nend\n");
        QTest::newRow("unknown line") << replaced("\nend\n", "\nrule 4 0.0.0.0\nend\n");
        QTest::newRow("bad family") << replaced("route 4 0.0.0.0", "route 5 0.0.0.0");
        QTest::newRow("IPv6 address as IPv4") << replaced("route 4 0.0.0.0", "route 4 ::");
        QTest::newRow("prefix too long") << replaced("198.51.100.2 24", "198.51.100.2 33");
        QTest::newRow("signed number") << replaced("198.51.100.2 24", "198.51.100.2 +24");
        QTest::newRow("number too big") << replaced("0 1 0 198.51.100.1", "0 1 4294967296 198.51.100.1");
        QTest::newRow("field missing") << replaced("198.51.100.1 - - - -", "198.51.100.1 - - -");
        QTest::newRow("field too many") << replaced("198.51.100.1 - - - -", "198.51.100.1 - - - - -");
        QTest::newRow("metrics not hexadecimal") << replaced("198.51.100.1 - - - -", "198.51.100.1 - - - 0800zz");
        QTest::newRow("metrics odd") << replaced("198.51.100.1 - - - -", "198.51.100.1 - - - 080");
        QTest::newRow("label with a slash") << replaced("198.51.100.2 24 - - -", "198.51.100.2 24 - - eth0/x");
    }

    void refusesWhatItDidNotWrite()
    {
        QFETCH(QByteArray, text);
        ServiceRecord record;
        QVERIFY(!ServiceRecord::parse(text.toStdString(), record));
    }
};

QTEST_GUILESS_MAIN(TestServiceRecord)
#include "tst_servicerecord.moc"
