// The real helper and the platform programs change a test network namespace
// of their own (routes, black holes, addresses, services, name servers) and
// undo it again, while the host's own network stays as it was.
#include "HelperBundle.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(HelperBundle::User)

namespace {

QString run(const QStringList &command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// What a root-only file holds in the tests that try to read it.
const QByteArray SECRET = "secret-first-line-4f1c9a";

// Everything the tests put into a routing table or onto an interface.
const QStringList MARKS = {"0.0.0.0/2", "64.0.0.0/2", "128.0.0.0/2",  "192.0.0.0/2", "0.0.0.0/1", "128.0.0.0/1",
                           "::/1",      "8000::/1",   "198.51.100.7", "10.8.0.2",    "fd00:8::2"};

// Removes the namespace even when a test fails half-way.
class Namespace
{
public:
    Namespace()
        : m_name(QString("stelvane-tst-%1").arg(getpid()))
    {
    }
    ~Namespace() { remove(); }

    QString name() const { return m_name; }
    QString resolvConf() const { return "/etc/netns/" + m_name + "/resolv.conf"; }

    bool create()
    {
        QDir().mkpath("/etc/netns/" + m_name);
        QFile conf(resolvConf());
        if (!conf.open(QIODevice::WriteOnly) || conf.write("nameserver 192.0.2.53\n") < 0)
            return false;
        conf.close();
        m_created = QProcess::execute("ip", {"netns", "add", m_name}) == 0;
        return m_created && exec({"ip", "link", "set", "lo", "up"})
               && exec({"ip", "link", "add", "sv0", "type", "veth", "peer", "name", "vt0"})
               && exec({"ip", "addr", "add", "10.77.0.2/24", "dev", "sv0"}) && exec({"ip", "link", "set", "sv0", "up"});
    }

    bool exec(const QStringList &command) const
    {
        return QProcess::execute("ip", QStringList {"netns", "exec", m_name} + command) == 0;
    }

    QString output(const QStringList &command) const
    {
        return run(QStringList {"ip", "netns", "exec", m_name} + command);
    }

    void remove()
    {
        struct stat space
        {};
        // What the networksetup stand-in kept of services left down there.
        if (m_created && ::stat(QFile::encodeName("/run/netns/" + m_name).constData(), &space) == 0) {
            for (const QString &record : QDir("/run/orval-networksetup").entryList({QString("%1-*").arg(space.st_ino)}))
                QFile::remove("/run/orval-networksetup/" + record);
        }
        if (m_created)
            QProcess::execute("ip", {"netns", "delete", m_name});
        m_created = false;
        QDir("/etc/netns/" + m_name).removeRecursively();
    }

private:
    QString m_name;
    bool m_created = false;
};

} // namespace

class TestStelvaneNetns : public QObject
{
    Q_OBJECT

private:
    HelperBundle m_bundle;
    Namespace m_ns;
    QByteArray m_hostResolvConf;

    HelperBundle::Result helper(const QStringList &arguments, HelperBundle::User user = HelperBundle::User::Root)
    {
        return m_bundle.run(arguments, HelperBundle::token(), user, QString(), QString(), m_ns.name());
    }

    static bool succeeded(const HelperBundle::Result &result)
    {
        if (result.exitCode != 0)
            qWarning() << "helper failed:" << result.exitCode << result.out << result.err;
        return result.exitCode == 0;
    }

    // Runs the command once per index, all of which must succeed.
    bool each(const QString &command, const QStringList &before, int count, HelperBundle::User user)
    {
        for (int i = 1; i <= count; ++i) {
            const HelperBundle::Result result =
                helper(QStringList {command} + before + QStringList {QString::number(i)}, user);
            if (result.exitCode != 0) {
                qWarning() << command << i << result.out << result.err;
                return false;
            }
        }
        return true;
    }

    QString routes4() const { return m_ns.output({"ip", "-4", "route"}); }
    QString routes6() const { return m_ns.output({"ip", "-6", "route"}); }
    // Where networksetup keeps what `service` of the test's namespace lost going down.
    QString recordFile(const QString &service) const
    {
        struct stat space
        {};
        ::stat(QFile::encodeName("/run/netns/" + m_ns.name()).constData(), &space);
        return QString("/run/orval-networksetup/%1-%2").arg(space.st_ino).arg(service);
    }
    QString addresses() const { return m_ns.output({"ip", "addr", "show", "dev", "vt0"}); }
    // Routes, addresses and link flags, without what the kernel changes on
    // its own meanwhile (address flags such as "tentative", link states).
    QString state() const
    {
        return routes4() + routes6()
               + m_ns.output(
                   {"sh", "-c", "ip -br addr | awk '{ $2 = \"\"; print }'; ip -o link | awk '{ print $2, $3 }'"});
    }

    QString exploitDir() const { return m_bundle.root() + "/exploit"; }

    bool realEngines() const
    {
        return !TestFiles::read(m_bundle.contents() + "/Contents/Helpers/openvpn_v2_4").contains("placeholder engine");
    }

    // The helper's OpenVPN command as any user may send it: the engine would
    // report to a management port nothing listens on, and end.
    QStringList openVpn(const QString &configFile, const QString &tlsCrypt = QString(),
                        const QString &tlsAuth = QString()) const
    {
        return {"OpenVPN",    m_bundle.contents() + "/Contents/Helpers/openvpn_v2_4",
                exploitDir(), configFile,
                "7505",       "true",
                "false",      "AES-256-GCM",
                "SHA512",     tlsCrypt,
                tlsAuth,      "",
                "",           "direct",
                "",           "1",
                "false",      "0",
                "1.2",        "0"};
    }

    void verifyHostUntouched() const
    {
        const QString host = run({"ip", "-4", "route"}) + run({"ip", "-6", "route"}) + run({"ip", "addr"});
        for (const QString &mark : MARKS)
            QVERIFY2(!host.contains(mark + " ") && !host.contains(mark + "/"), qPrintable("host shows " + mark));
        QCOMPARE(TestFiles::read("/etc/resolv.conf"), m_hostResolvConf);
    }

private slots:
    void initTestCase()
    {
        m_hostResolvConf = TestFiles::read("/etc/resolv.conf");
        if (!m_ns.create())
            QSKIP("cannot create a network namespace with a veth pair here");
        QString reason;
        QVERIFY2(m_bundle.create("Test", &reason), qPrintable(reason));
        // Files any user may put where the helper reads configurations, and
        // one that only root may read.
        QVERIFY(QDir().mkpath(exploitDir()));
        QVERIFY(QFile::copy(STELVANE_PROBE_PLUGIN, exploitDir() + "/evil.so"));
        QVERIFY(QProcess::execute("chmod", {"-R", "go+rX", exploitDir()}) == 0);
        QVERIFY(TestFiles::write(exploitDir() + "/secret", SECRET + "\nsecond line\n"));
        QVERIFY(QFile::setPermissions(exploitDir() + "/secret", QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        verifyHostUntouched();
    }

    void cleanup() { verifyHostUntouched(); }

    void cleanupTestCase()
    {
        m_ns.remove();
        verifyHostUntouched();
    }

    void users_data()
    {
        QTest::addColumn<HelperBundle::User>("user");
        QTest::newRow("root") << HelperBundle::User::Root;
        QTest::newRow("nobody") << HelperBundle::User::Nobody;
    }

    void splitRoutesToGateway_data() { users_data(); }
    void splitRoutesToGateway()
    {
        QFETCH(HelperBundle::User, user);
        QVERIFY(each("Add4SplittedRouteToGateway", {"10.77.0.1"}, 4, user));
        const QString added = routes4();
        for (const char *net : {"0.0.0.0/2", "64.0.0.0/2", "128.0.0.0/2", "192.0.0.0/2"})
            QVERIFY2(added.contains(QString(net) + " via 10.77.0.1 dev sv0"), qPrintable(added));
        QVERIFY(each("Remove4SplittedRoute", {}, 4, user));
        QVERIFY2(!routes4().contains("/2 "), qPrintable(routes4()));
    }

    void splitRoutesToInterface_data() { users_data(); }
    void splitRoutesToInterface()
    {
        QFETCH(HelperBundle::User, user);
        QVERIFY(succeeded(helper({"SetInterfaceUp", "vt0"}, user)));
        QVERIFY(m_ns.output({"ip", "link", "show", "vt0"}).contains(",UP"));
        QVERIFY(each("Add4SplittedRouteToInterface", {"vt0"}, 4, user));
        const QString added = routes4();
        for (const char *net : {"0.0.0.0/2", "64.0.0.0/2", "128.0.0.0/2", "192.0.0.0/2"})
            QVERIFY2(added.contains(QString(net) + " dev vt0"), qPrintable(added));
        QVERIFY(each("Remove4SplittedRoute", {}, 4, user));
        QVERIFY2(!routes4().contains("/2 "), qPrintable(routes4()));
    }

    void blackHoles_data() { users_data(); }
    void blackHoles()
    {
        QFETCH(HelperBundle::User, user);
        QVERIFY(each("AddSimpleSplittedRouteToBlackhole", {}, 2, user));
        QVERIFY(each("AddSimpleSplittedIPV6RouteToUnreachable", {}, 2, user));
        QVERIFY2(routes4().contains("blackhole 0.0.0.0/1") && routes4().contains("blackhole 128.0.0.0/1"),
                 qPrintable(routes4()));
        QVERIFY2(routes6().contains("unreachable ::/1") && routes6().contains("unreachable 8000::/1"),
                 qPrintable(routes6()));
        QVERIFY(each("RemoveSimpleSplittedRouteToBlackhole", {}, 2, user));
        QVERIFY(each("RemoveSimpleSplittedIPV6RouteToUnreachable", {}, 2, user));
        QVERIFY2(!routes4().contains("blackhole"), qPrintable(routes4()));
        QVERIFY2(!routes6().contains("unreachable"), qPrintable(routes6()));
    }

    void hostRoute()
    {
        const HelperBundle::Result added =
            helper({"ProtectHost", "198.51.100.7", "10.77.0.1"}, HelperBundle::User::Nobody);
        QCOMPARE(added.exitCode, 0);
        QCOMPARE(added.out, QByteArray("hostroute\nadd host 198.51.100.7: gateway 10.77.0.1\n"));
        QCOMPARE(added.err, QByteArray("add\n198.51.100.7/32\n10.77.0.1\n"));
        QVERIFY2(routes4().contains("198.51.100.7 via 10.77.0.1 dev sv0"), qPrintable(routes4()));
        const HelperBundle::Result again = helper({"ProtectHost", "198.51.100.7", "10.77.0.1"});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("route: writing to routing socket: File exists"));
        const HelperBundle::Result released = helper({"ReleaseHost", "198.51.100.7"}, HelperBundle::User::Nobody);
        QCOMPARE(released.out, QByteArray("delete host 198.51.100.7\n"));
        QCOMPARE(released.exitCode, 0);
        QVERIFY(!routes4().contains("198.51.100.7"));
    }

    void defaultRoute()
    {
        const HelperBundle::Result none = helper({"CheckDefaultRoute"});
        QCOMPARE(none.exitCode, 1);
        QCOMPARE(none.err, QByteArray("route: writing to routing socket: not in table\n"));
        QVERIFY(m_ns.exec({"ip", "route", "add", "default", "via", "10.77.0.1"}));
        const HelperBundle::Result shown = helper({"CheckDefaultRoute"}, HelperBundle::User::Nobody);
        QVERIFY(m_ns.exec({"ip", "route", "del", "default"}));
        QCOMPARE(shown.exitCode, 0);
        QVERIFY2(shown.out.startsWith("   route to: default\ndestination: default\n       mask: default\n    gateway: "
                                      "10.77.0.1\n  interface: sv0\n"),
                 shown.out.constData());
    }

    void interfaceAddresses_data() { users_data(); }
    void interfaceAddresses()
    {
        QFETCH(HelperBundle::User, user);
        QVERIFY(succeeded(helper({"SetIPv4Address", "vt0", "10.8.0.2", "255.255.255.0", "10.8.0.1"}, user)));
        QVERIFY(succeeded(helper({"SetIPv6Address", "vt0", "fd00:8::2", "64"}, user)));
        QVERIFY2(addresses().contains("inet 10.8.0.2 peer 10.8.0.1/24"), qPrintable(addresses()));
        QVERIFY2(addresses().contains("inet6 fd00:8::2/64"), qPrintable(addresses()));
        QVERIFY(succeeded(helper({"DeleteIPv4Address", "vt0", "10.8.0.2"}, user)));
        QVERIFY(succeeded(helper({"DeleteIPv6Address", "vt0", "fd00:8::2"}, user)));
        QVERIFY2(!addresses().contains("10.8.0.2") && !addresses().contains("fd00:8::2"), qPrintable(addresses()));
        const HelperBundle::Result missing = helper({"DeleteIPv4Address", "vt0", "10.8.0.2"}, user);
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, QByteArray("ifconfig: ioctl (SIOCDIFADDR): Can't assign requested address\n"));
    }

    void serviceState()
    {
        QVERIFY(succeeded(helper({"Interface", "vt0", "down"})));
        QVERIFY(!m_ns.output({"ip", "link", "show", "vt0"}).contains(",UP"));
        QCOMPARE(helper({"CheckInterfaceState", "vt0"}, HelperBundle::User::Nobody).out, QByteArray("Disabled\n"));
        QVERIFY(m_ns.output({m_bundle.contents() + "/Contents/Platform/bin/networksetup", "-listallnetworkservices"})
                    .contains("\n*vt0\n"));
        QVERIFY(succeeded(helper({"Interface", "vt0", "up"}, HelperBundle::User::Nobody)));
        QVERIFY(m_ns.output({"ip", "link", "show", "vt0"}).contains(",UP"));
        QCOMPARE(helper({"CheckInterfaceState", "vt0"}).out, QByteArray("Enabled\n"));
        const HelperBundle::Result unknown = helper({"Interface", "nosuch0", "up"});
        QCOMPARE(unknown.exitCode, 4);
        QCOMPARE(
            unknown.err,
            QByteArray("nosuch0 is not a recognized network service.\n** Error: The parameters were not valid.\n"));
    }

    // As on macOS, a service taken down and brought up again (the kill
    // switch's way) comes back with its routes, IPv6 included, and its
    // addresses, byte for byte; a host route the client released meanwhile
    // stays released, and a second "down" does not lose the first's record.
    void serviceComesBackWhole()
    {
        const QList<QStringList> configuration = {
            {"ip", "route", "add", "default", "via", "10.77.0.1"},
            {"ip", "route", "add", "203.0.113.0/24", "via", "10.77.0.1", "metric", "5", "mtu", "lock", "1300"},
            {"ip", "-6", "addr", "add", "fd00:77::2/64", "dev", "sv0", "nodad"},
            {"ip", "-6", "route", "add", "default", "via", "fd00:77::1", "dev", "sv0"},
            {"ip", "-6", "route", "add", "fd00:78::/48", "dev", "sv0", "metric", "7"}};
        const auto removeConfiguration = qScopeGuard([this] {
            m_ns.exec({"ip", "route", "del", "default"});
            m_ns.exec({"ip", "route", "del", "203.0.113.0/24"});
            m_ns.exec({"ip", "-6", "addr", "del", "fd00:77::2/64", "dev", "sv0"});
            m_ns.exec({"ip", "-6", "route", "del", "fd00:78::/48"});
            m_ns.exec({"ip", "link", "set", "sv0", "up"});
        });
        for (const QStringList &command : configuration)
            QVERIFY2(m_ns.exec(command), qPrintable(command.join(' ')));
        // Its own: the order of equal routes of two links (fe80::/64) is the kernel's.
        const auto service = [this] {
            return m_ns.output({"ip", "-4", "route", "show", "dev", "sv0"})
                   + m_ns.output({"ip", "-6", "route", "show", "dev", "sv0"})
                   + m_ns.output({"ip", "addr", "show", "dev", "sv0"});
        };
        QTRY_VERIFY_WITH_TIMEOUT(!service().contains("tentative"), 10000);
        const QString before = service();
        QVERIFY(succeeded(helper({"ProtectHost", "198.51.100.7", "10.77.0.1"}, HelperBundle::User::Nobody)));

        QVERIFY(succeeded(helper({"Interface", "sv0", "down"}, HelperBundle::User::Nobody)));
        QVERIFY(succeeded(helper({"Interface", "sv0", "down"})));
        QVERIFY2(!(routes4() + routes6()).contains("default via") && !service().contains("fd00:77::2"),
                 qPrintable(service()));
        const HelperBundle::Result released = helper({"ReleaseHost", "198.51.100.7"}, HelperBundle::User::Nobody);
        QCOMPARE(released.out, QByteArray("delete host 198.51.100.7\n"));
        QCOMPARE(released.exitCode, 0);

        QVERIFY(succeeded(helper({"Interface", "sv0", "up"}, HelperBundle::User::Nobody)));
        // The link-local address comes back after its duplicate detection.
        QTRY_COMPARE_WITH_TIMEOUT(service(), before, 10000);
        // Given back once: a later "up" adds nothing.
        QVERIFY(m_ns.exec({"ip", "route", "del", "203.0.113.0/24"}));
        QVERIFY(succeeded(helper({"Interface", "sv0", "up"})));
        QVERIFY2(!routes4().contains("203.0.113.0/24"), qPrintable(routes4()));
    }

    // A namespace that is gone may leave its record behind, and a new one
    // may get its inode: such a record is dropped, never applied.
    void recordOfAGoneNamespaceIsNotApplied()
    {
        const QString record = recordFile("sv0");
        QVERIFY(::mkdir("/run/orval-networksetup", 0700) == 0 || errno == EEXIST);
        QVERIFY(TestFiles::write(record, "networksetup service record 1\nservice sv0\nowner "
                                         "2e8e2705-1cc6-448e-94f4-2679ae9e7cff:1\nlink 3 1\n"
                                         "route 4 203.0.113.0 24 0 3 0 1 0 10.77.0.1 - - - -\nend\n"));
        QVERIFY(QFile::setPermissions(record, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(succeeded(helper({"Interface", "sv0", "up"}, HelperBundle::User::Nobody)));
        QVERIFY2(!routes4().contains("203.0.113.0"), qPrintable(routes4()));
        QVERIFY(!QFile::exists(record));
    }

    // Brought up by other means after networksetup took it down (and down
    // again), a service has a configuration of its own: the record of the
    // first time is dropped, not applied.
    void recordOfAnEarlierDownTimeIsNotApplied()
    {
        // The peer's carrier makes each bringing up count.
        QVERIFY(m_ns.exec({"ip", "link", "set", "vt0", "up"}));
        QVERIFY(m_ns.exec({"ip", "route", "add", "203.0.113.0/24", "via", "10.77.0.1"}));
        const auto restore = qScopeGuard([this] {
            m_ns.exec({"ip", "link", "set", "sv0", "up"});
            m_ns.exec({"ip", "route", "del", "203.0.113.0/24"});
        });
        QVERIFY(succeeded(helper({"Interface", "sv0", "down"})));
        QVERIFY(QFile::exists(recordFile("sv0")));
        QVERIFY(m_ns.exec({"ip", "link", "set", "sv0", "up"}));
        QVERIFY(m_ns.exec({"ip", "link", "set", "sv0", "down"}));
        QVERIFY(succeeded(helper({"Interface", "sv0", "up"})));
        QVERIFY2(!routes4().contains("203.0.113.0"), qPrintable(routes4()));
        QVERIFY(!QFile::exists(recordFile("sv0")));
    }

    // Forms the product never uses are refused before anything changes.
    void standInsRefuseOtherForms_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("route flush") << QStringList {"route", "flush"} << 64;
        QTest::newRow("route extra gateway")
            << QStringList {"route", "add", "0.0.0.0/2", "10.77.0.1", "10.77.0.9"} << 64;
        QTest::newRow("route bad network") << QStringList {"route", "add", "300.0.0.0/2", "10.77.0.1"} << 64;
        QTest::newRow("route without prefix") << QStringList {"route", "add", "0.0.0.0", "10.77.0.1"} << 64;
        QTest::newRow("route unknown flag") << QStringList {"route", "add", "0.0.0.0/2", "10.77.0.1", "-static"} << 64;
        QTest::newRow("route IPv6 net as IPv4") << QStringList {"route", "add", "::/1", "::1", "-reject"} << 64;
        QTest::newRow("route get other") << QStringList {"route", "-n", "get", "10.0.0.1"} << 64;
        QTest::newRow("ifconfig down") << QStringList {"ifconfig", "vt0", "down"} << 1;
        QTest::newRow("ifconfig address alone") << QStringList {"ifconfig", "vt0", "10.8.0.9"} << 1;
        QTest::newRow("ifconfig bad mask")
            << QStringList {"ifconfig", "vt0", "10.8.0.9", "10.8.0.1", "netmask", "255.0.255.0", "up"} << 1;
        QTest::newRow("ifconfig unknown interface") << QStringList {"ifconfig", "nosuch0", "up"} << 1;
        QTest::newRow("networksetup bad server")
            << QStringList {"networksetup", "-setdnsservers", "sv0", "10.0.0.300"} << 4;
        QTest::newRow("networksetup bad state")
            << QStringList {"networksetup", "-setnetworkserviceenabled", "sv0", "maybe"} << 4;
        QTest::newRow("networksetup loopback")
            << QStringList {"networksetup", "-setnetworkserviceenabled", "lo", "off"} << 4;
        QTest::newRow("networksetup other command")
            << QStringList {"networksetup", "-setairportpower", "sv0", "on"} << 1;
    }

    void standInsRefuseOtherForms()
    {
        QFETCH(QStringList, command);
        QFETCH(int, exitCode);
        const QString before = state();
        const QByteArray resolv = TestFiles::read(m_ns.resolvConf());
        QProcess process;
        process.start("ip", QStringList {"netns", "exec", m_ns.name(),
                                         m_bundle.contents() + "/Contents/Platform/bin/" + command.first()}
                                + command.mid(1));
        QVERIFY(process.waitForFinished());
        QVERIFY2(process.exitCode() == exitCode, process.readAllStandardError().constData());
        QCOMPARE(state(), before);
        QCOMPARE(TestFiles::read(m_ns.resolvConf()), resolv);
    }

    // A change the kernel refuses fails as on macOS, with the kernel's reason
    // on both streams, and changes nothing.
    void routeStandInReportsTheKernelsReason_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("reason");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("delete absent") << QStringList {"delete", "10.99.0.0/16"} << QByteArray("No such process")
                                       << QByteArray("delete net 10.99.0.0");
        QTest::newRow("delete absent IPv6") << QStringList {"delete", "-inet6", "fd00:99::/64"}
                                            << QByteArray("No such process") << QByteArray("delete net fd00:99::");
        QTest::newRow("unknown interface")
            << QStringList {"add", "10.99.0.0/16", "-interface", "nosuch0"}
            << QByteArray("Cannot find device \"nosuch0\"") << QByteArray("add net 10.99.0.0: gateway nosuch0");
        QTest::newRow("gateway off link")
            << QStringList {"add", "10.99.0.0/16", "192.0.2.1"} << QByteArray("Network is unreachable")
            << QByteArray("add net 10.99.0.0: gateway 192.0.2.1");
        QTest::newRow("existing route") << QStringList {"add", "10.77.0.0/24", "-interface", "sv0"}
                                        << QByteArray("File exists") << QByteArray("add net 10.77.0.0: gateway sv0");
    }

    void routeStandInReportsTheKernelsReason()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, reason);
        QFETCH(QByteArray, report);
        const QString before = state();
        QProcess process;
        process.start("ip",
                      QStringList {"netns", "exec", m_ns.name(), m_bundle.contents() + "/Contents/Platform/bin/route"}
                          + arguments);
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(process.readAllStandardOutput(), report + ": " + reason + "\n");
        QCOMPARE(process.readAllStandardError(), "route: writing to routing socket: " + reason + "\n");
        QCOMPARE(state(), before);
    }

    // Run on the host, the stand-ins refuse; each change asked for here would
    // be a no-op if it were made, so a broken guard shows without harm.
    void standInsRefuseTheHost_data()
    {
        QTest::addColumn<QStringList>("command");
        const QString up =
            run({"sh", "-c",
                 "ip -o link show up | awk -F': ' '$2 != \"lo\" { sub(\"@.*\", \"\", $2); print $2; exit }'"})
                .trimmed();
        QTest::newRow("route") << QStringList {"route", "delete", "203.0.113.99/32"};
        QTest::newRow("ifconfig") << QStringList {"ifconfig", "lo", "up"};
        if (!up.isEmpty())
            QTest::newRow("networksetup") << QStringList {"networksetup", "-setnetworkserviceenabled", up, "on"};
        QTest::newRow("unnamed namespace") << QStringList {
            "unshare", "--net", m_bundle.contents() + "/Contents/Platform/bin/route", "delete", "203.0.113.99/32"};
    }

    void standInsRefuseTheHost()
    {
        QFETCH(QStringList, command);
        QProcess process;
        const QString program = command.first() == "unshare"
                                    ? command.first()
                                    : m_bundle.contents() + "/Contents/Platform/bin/" + command.first();
        process.start(program, command.mid(1));
        QVERIFY(process.waitForFinished());
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(process.exitCode() == 69 && err.contains(": refusing to change the host's network"), err.constData());
    }

    // Any user may hand the helper an engine configuration: none may make
    // the root engine load code, whatever the engine's parser makes of it
    // (quoted names, a nested configuration, lines inside a block that is no
    // block to the engine).
    void configurationCannotLoadCode_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("nested");
        QTest::addColumn<QString>("refused");
        const QByteArray plugin = QFile::encodeName(exploitDir() + "/evil.so");
        QTest::newRow("quoted name") << "\"plugin\"" + plugin + "\n"
                                     << QByteArray() << "line 1: directive \"plugin\" is not allowed";
        QTest::newRow("hidden nested configuration")
            << QByteArray("client\n\"config\"nested.conf\n") << "plugin " + plugin + "\n"
            << "line 2: directive \"config\" is not allowed";
        QTest::newRow("lines inside a block of a skipped line")
            << "client\nignore-unknown-option <ca>\n<ca> x\nplugin " + plugin + "\n</ca>\n"
            << QByteArray() << "line 2: directive \"ignore-unknown-option\" is not allowed";
    }

    void configurationCannotLoadCode()
    {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, nested);
        QFETCH(QString, refused);
        if (!realEngines())
            QSKIP("the staged engines are placeholders");
        const QString probe = exploitDir() + "/evil.so.ran";
        QFile::remove(probe);
        QVERIFY(TestFiles::write(exploitDir() + "/evil.conf", config));
        QVERIFY(TestFiles::write(exploitDir() + "/nested.conf", nested));
        const QStringList arguments = openVpn("evil.conf");
        const HelperBundle::Result result = helper(arguments, HelperBundle::User::Nobody);
        QVERIFY2(!QFile::exists(probe), TestFiles::read(probe).constData());
        QCOMPARE(QString::fromUtf8(result.err),
                 "Failure creating command 'OpenVPN' with arguments: " + arguments.mid(1).join(' ')
                     + ", error message: IllegalArgumentException: configFile=evil.conf (" + refused + ")\n");
        QCOMPARE(result.exitCode, 255);
    }

    // A file only root may read stays unread through every directive that
    // names a file and through the helper's own key-file arguments: the
    // helper refuses, and nothing of the file reaches the caller.
    void configurationCannotReadRootFiles_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("tlsCrypt");
        QTest::addColumn<QString>("tlsAuth");
        const QByteArray secret = QFile::encodeName(exploitDir() + "/secret");
        for (const char *directive : {"config",
                                      "\"config\"",
                                      "ca",
                                      "cert",
                                      "key",
                                      "tls-auth",
                                      "tls-crypt",
                                      "tls-crypt-v2",
                                      "dh",
                                      "crl-verify",
                                      "pkcs12",
                                      "secret",
                                      "extra-certs",
                                      "auth-user-pass",
                                      "askpass",
                                      "http-proxy-user-pass",
                                      "http-proxy 127.0.0.1 3128",
                                      "socks-proxy 127.0.0.1 1080",
                                      "status",
                                      "log",
                                      "writepid",
                                      "replay-persist",
                                      "dev-node",
                                      "management 127.0.0.1 7506"}) {
            QTest::newRow(directive) << "client\ndev tun\n" + QByteArray(directive) + " " + secret + "\n"
                                     << QString() << QString();
        }
        // The engine would end the quoted word at its quote, and name the
        // nested file's first line in its error.
        QTest::newRow("quoted config, glued") << "client\n\"config\"" + secret + "\n" << QString() << QString();
        QTest::newRow("tls-crypt argument") << QByteArray("client\n") << QString::fromUtf8(secret) << QString();
        QTest::newRow("tls-auth argument") << QByteArray("client\n") << QString() << QString::fromUtf8(secret);
        QTest::newRow("configuration itself") << QByteArray() << QString() << QString();
    }

    void configurationCannotReadRootFiles()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, tlsCrypt);
        QFETCH(QString, tlsAuth);
        const QString configFile = config.isEmpty() ? "secret" : "probe.conf";
        if (!config.isEmpty())
            QVERIFY(TestFiles::write(exploitDir() + "/probe.conf", config));
        const HelperBundle::Result result = helper(openVpn(configFile, tlsCrypt, tlsAuth), HelperBundle::User::Nobody);
        QVERIFY2(!(result.out + result.err).contains(SECRET), (result.out + result.err).constData());
        QVERIFY2(result.err.startsWith("Failure creating command 'OpenVPN'"), (result.out + result.err).constData());
        QCOMPARE(result.exitCode, 255);
    }

    void nameServers_data() { users_data(); }
    void nameServers()
    {
        QFETCH(HelperBundle::User, user);
        const QByteArray original = TestFiles::read(m_ns.resolvConf());
        const QString networksetup = m_bundle.contents() + "/Contents/Platform/bin/networksetup";
        QVERIFY(succeeded(helper({"SetNameServers", "sv0", "10.0.0.53", "fd00::53"}, user)));
        QVERIFY(succeeded(helper({"SetNameServers", "vt0", "10.0.0.54"}, user)));
        // Only the set servers are active; the namespace's own one is not.
        QStringList active;
        for (const QByteArray &line : TestFiles::read(m_ns.resolvConf()).split('\n')) {
            if (line.startsWith("nameserver "))
                active << QString::fromLatin1(line.mid(11));
        }
        QCOMPARE(active, QStringList({"10.0.0.53", "fd00::53", "10.0.0.54"}));
        QCOMPARE(m_ns.output({networksetup, "getdnsservers", "sv0"}), QString("10.0.0.53\nfd00::53\n"));
        // Replacing one service's servers leaves the other's alone.
        QVERIFY(succeeded(helper({"SetNameServers", "sv0", "10.0.0.55"}, user)));
        QCOMPARE(m_ns.output({networksetup, "getdnsservers", "sv0"}), QString("10.0.0.55\n"));
        QCOMPARE(m_ns.output({networksetup, "getdnsservers", "vt0"}), QString("10.0.0.54\n"));
        QVERIFY(succeeded(helper({"SetNameServers", "sv0", "empty"}, user)));
        QVERIFY(succeeded(helper({"SetNameServers", "vt0", "empty"}, user)));
        QCOMPARE(TestFiles::read(m_ns.resolvConf()), original);
        QCOMPARE(m_ns.output({networksetup, "getdnsservers", "sv0"}),
                 QString("There aren't any DNS Servers set on sv0.\n"));
    }
};

STELVANE_ROOT_TEST_MAIN(TestStelvaneNetns)
#include "tst_stelvane_netns.moc"
