#include "helper/CommandFactory.h"
#include "helper/ExceptionCommand.h"
#include "helper/OpenConnectCommand.h"
#include "helper/OpenVpnCommand.h"
#include "helper/ProgramCommand.h"
#include "helper/SetDockIconVisibility.h"
#include "helper/SplittedRouteCommand.h"
#include "helper/UnknownCommand.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace stelvane;

namespace {

QString joined(const std::list<std::string> &arguments)
{
    QStringList parts;
    for (const std::string &argument : arguments)
        parts << QString::fromStdString(argument);
    return parts.join('|');
}

std::list<std::string> toList(const QStringList &arguments)
{
    std::list<std::string> list;
    for (const QString &argument : arguments)
        list.push_back(argument.toStdString());
    return list;
}

// What the factory built, in a form a table can hold.
QString describe(Command *command)
{
    if (auto *e = dynamic_cast<ExceptionCommand *>(command))
        return QString::fromStdString(e->report());
    if (auto *u = dynamic_cast<UnknownCommand *>(command))
        return QString::fromStdString(u->report());
    if (auto *p = dynamic_cast<ProgramCommand *>(command))
        return QString::fromStdString(p->program()) + ": " + joined(p->arguments());
    if (auto *v = dynamic_cast<OpenVpnCommand *>(command))
        return "openvpn: "
               + joined(v->arguments("CONFIG")).replace(QRegularExpression("/proc/self/fd/[0-9]+"), "SEALED");
    if (auto *c = dynamic_cast<OpenConnectCommand *>(command))
        return "openconnect: " + joined(c->arguments("SCRIPT"));
    if (dynamic_cast<SetDockIconVisibility *>(command))
        return "dock";
    return "?";
}

const char SECRET[] = "0123456789abcdef0123456789abcdef";

QString refused(const QString &command, const QStringList &arguments, const QString &message)
{
    QString text = "Failure creating command '" + command + "'";
    if (!arguments.isEmpty())
        text += " with arguments: " + arguments.join(' ');
    return text + ", error message: " + message + "\n";
}

} // namespace

class TestCommandFactory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        // The engines' ports: listeners of the calling user, as the client's are.
        for (QTcpServer *listener : {&m_management, &m_cmdFd, &m_cmdFdWrite})
            QVERIFY(listener->listen(QHostAddress::LocalHost));
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        m_closedPort = QString::number(closed.serverPort());
        QFile conf(m_config.path() + "/client.conf");
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("client\ndev tun\nremote 192.0.2.1 1194\n");
        // The key files the cipher offers name, beside the configuration.
        for (const char *key : {"/tc.key", "/ta.key"}) {
            QFile file(m_config.path() + key);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("built");

        // What each network command runs.
        QTest::newRow("Interface up") << "Interface" << QStringList {"Wi-Fi", "up"}
                                      << "networksetup: -setnetworkserviceenabled|Wi-Fi|on";
        QTest::newRow("Interface down") << "Interface" << QStringList {"Thunderbolt Ethernet", "down"}
                                        << "networksetup: -setnetworkserviceenabled|Thunderbolt Ethernet|off";
        QTest::newRow("CheckInterfaceState")
            << "CheckInterfaceState" << QStringList {"Wi-Fi"} << "networksetup: -getnetworkserviceenabled|Wi-Fi";
        QTest::newRow("CheckDefaultRoute") << "CheckDefaultRoute" << QStringList {} << "route: -n|get|default";
        QTest::newRow("SetNameServers") << "SetNameServers" << QStringList {"Wi-Fi", "10.0.0.1", "fd00::1"}
                                        << "networksetup: setdnsservers|Wi-Fi|10.0.0.1|fd00::1";
        QTest::newRow("SetNameServers empty")
            << "SetNameServers" << QStringList {"Wi-Fi", "empty"} << "networksetup: setdnsservers|Wi-Fi|empty";
        QTest::newRow("ProtectHost") << "ProtectHost" << QStringList {"198.51.100.7", "192.0.2.1"}
                                     << "route: add|198.51.100.7/32|192.0.2.1";
        QTest::newRow("ReleaseHost") << "ReleaseHost" << QStringList {"198.51.100.7"}
                                     << "route: delete|198.51.100.7/32";
        QTest::newRow("SetInterfaceUp") << "SetInterfaceUp" << QStringList {"utun3"} << "ifconfig: utun3|up";
        QTest::newRow("SetIPv4Address") << "SetIPv4Address"
                                        << QStringList {"utun3", "10.8.0.2", "255.255.255.0", "10.8.0.1"}
                                        << "ifconfig: utun3|10.8.0.2|10.8.0.1|netmask|255.255.255.0|up";
        QTest::newRow("DeleteIPv4Address")
            << "DeleteIPv4Address" << QStringList {"utun3", "10.8.0.2"} << "ifconfig: utun3|delete|10.8.0.2";
        QTest::newRow("SetIPv6Address") << "SetIPv6Address" << QStringList {"utun3", "fd00::2", "64"}
                                        << "ifconfig: utun3|inet6|fd00::2/64|up";
        QTest::newRow("SetIPv6Address 64x")
            << "SetIPv6Address" << QStringList {"utun3", "fd00::2", "64x"} << "ifconfig: utun3|inet6|fd00::2/64|up";
        QTest::newRow("DeleteIPv6Address")
            << "DeleteIPv6Address" << QStringList {"utun3", "fd00::2"} << "ifconfig: utun3|inet6|delete|fd00::2";
        QTest::newRow("gateway quarter 1")
            << "Add4SplittedRouteToGateway" << QStringList {"10.8.0.1", "1"} << "route: add|0.0.0.0/2|10.8.0.1";
        QTest::newRow("gateway quarter 4")
            << "Add4SplittedRouteToGateway" << QStringList {"10.8.0.1", "4"} << "route: add|192.0.0.0/2|10.8.0.1";
        QTest::newRow("interface quarter 2")
            << "Add4SplittedRouteToInterface" << QStringList {"utun3", "2"} << "route: add|64.0.0.0/2|-interface|utun3";
        QTest::newRow("remove quarter 3") << "Remove4SplittedRoute" << QStringList {"3"} << "route: delete|128.0.0.0/2";
        QTest::newRow("black hole 1") << "AddSimpleSplittedRouteToBlackhole" << QStringList {"1"}
                                      << "route: add|0.0.0.0/1|127.0.0.1|-blackhole";
        QTest::newRow("black hole 2 removed")
            << "RemoveSimpleSplittedRouteToBlackhole" << QStringList {"2"} << "route: delete|128.0.0.0/1|-blackhole";
        QTest::newRow("unreachable 2") << "AddSimpleSplittedIPV6RouteToUnreachable" << QStringList {"2"}
                                       << "route: add|-inet6|8000::/1|::1|-reject";
        QTest::newRow("unreachable 1 removed") << "RemoveSimpleSplittedIPV6RouteToUnreachable" << QStringList {"1"}
                                               << "route: delete|-inet6|0000::/1|-reject";
        QTest::newRow("extra arguments ignored")
            << "ReleaseHost" << QStringList {"198.51.100.7", "more", "-x"} << "route: delete|198.51.100.7/32";
        QTest::newRow("dock TRUE") << "SetDockIconVisibility" << QStringList {"TRUE"} << "dock";

        // Bad command lines.
        QTest::newRow("unknown") << "Foo" << QStringList {"a", "b"} << "Unknown command 'Foo' with arguments: a b";
        QTest::newRow("unknown without arguments")
            << "interface" << QStringList {} << "Unknown command 'interface' with arguments:";
        QTest::newRow("missing dns") << "SetNameServers" << QStringList {"Wi-Fi"}
                                     << refused("SetNameServers", {"Wi-Fi"}, "Missing argument: <dns1> [dns2] [...]");
        QTest::newRow("missing everything")
            << "ProtectHost" << QStringList {} << refused("ProtectHost", {}, "Missing argument: IPAddress");
        QTest::newRow("bad state") << "Interface" << QStringList {"Wi-Fi", "sideways"}
                                   << refused("Interface", {"Wi-Fi", "sideways"},
                                              "IllegalArgumentException: state=sideways");
        QTest::newRow("prefix not a number")
            << "SetIPv6Address" << QStringList {"utun3", "fd00::2", "abc"}
            << refused("SetIPv6Address", {"utun3", "fd00::2", "abc"}, "IllegalArgumentException: mask_in_integer=abc");
        QTest::newRow("index not a number")
            << "Remove4SplittedRoute" << QStringList {"x"}
            << refused("Remove4SplittedRoute", {"x"}, "IllegalArgumentException: index_of_splitted_route=x");
        QTest::newRow("index beyond int") << "Remove4SplittedRoute" << QStringList {"4294967297"}
                                          << refused("Remove4SplittedRoute", {"4294967297"},
                                                     "IllegalArgumentException: index_of_splitted_route=4294967297");

        // Values that would reach a root program as options or as other
        // kinds of value are refused while the command is built.
        const struct
        {
            const char *name;
            const char *command;
            QStringList arguments;
            const char *message;
        } refusals[] = {
            {"service as option", "Interface", {"-listallhardwareports", "up"}, "InterfaceName=-listallhardwareports"},
            {"empty service", "CheckInterfaceState", {""}, "InterfaceName="},
            {"service with newline", "SetNameServers", {"Wi\nFi", "10.0.0.1"}, "NetworkService=Wi\nFi"},
            {"name server as option", "SetNameServers", {"Wi-Fi", "-setv6off"}, "<dns1> [dns2] [...]=-setv6off"},
            {"name server not an address",
             "SetNameServers",
             {"Wi-Fi", "10.0.0.1", "dns.example"},
             "<dns1> [dns2] [...]=dns.example"},
            {"empty among servers", "SetNameServers", {"Wi-Fi", "10.0.0.1", "empty"}, "<dns1> [dns2] [...]=empty"},
            // What a one-address entry (Quad9) once passed on as its second server.
            {"blank second server", "SetNameServers", {"Wi-Fi", "9.9.9.9", ""}, "<dns1> [dns2] [...]="},
            {"host as option", "ProtectHost", {"-net", "10.0.0.0"}, "IPAddress=-net"},
            {"host with prefix", "ReleaseHost", {"10.0.0.0/8"}, "IPAddress=10.0.0.0/8"},
            {"IPv6 host", "ProtectHost", {"fd00::1", "192.0.2.1"}, "IPAddress=fd00::1"},
            {"gateway as option", "Add4SplittedRouteToGateway", {"-interface", "1"}, "gateway=-interface"},
            {"gateway as name", "ProtectHost", {"198.51.100.7", "router.example"}, "Gateway=router.example"},
            {"interface as option", "SetInterfaceUp", {"-a"}, "interface_name=-a"},
            {"interface with shell text", "SetInterfaceUp", {"utun3;reboot"}, "interface_name=utun3;reboot"},
            {"interface too long",
             "Add4SplittedRouteToInterface",
             {"abcdefghijklmnop", "1"},
             "interface_name=abcdefghijklmnop"},
            {"interface with dot", "DeleteIPv4Address", {"eth0.5", "10.0.0.1"}, "interface_name=eth0.5"},
            {"IPv4 address as IPv6", "SetIPv6Address", {"utun3", "10.0.0.1", "64"}, "address=10.0.0.1"},
            {"IPv6 address as IPv4",
             "SetIPv4Address",
             {"utun3", "fd00::2", "255.255.255.0", "10.8.0.1"},
             "address=fd00::2"},
            {"mask as option", "SetIPv4Address", {"utun3", "10.8.0.2", "-alias", "10.8.0.1"}, "mask=-alias"},
            {"prefix too long", "SetIPv6Address", {"utun3", "fd00::2", "129"}, "mask_in_integer=129"},
            {"IPv6 delete as option", "DeleteIPv6Address", {"utun3", "-delete"}, "address=-delete"},
        };
        for (const auto &r : refusals) {
            QTest::newRow(r.name) << r.command << r.arguments
                                  << refused(r.command, r.arguments, QString("IllegalArgumentException: ") + r.message);
        }
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        QFETCH(QString, built);
        CommandFactory factory(command.toStdString(), toList(arguments));
        const std::unique_ptr<Command> created = factory.createCommand();
        QCOMPARE(describe(created.get()), built);
    }

    void indexOutsideTheSplitRunsNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("gateway 5") << "Add4SplittedRouteToGateway" << QStringList {"10.8.0.1", "5"};
        QTest::newRow("gateway 0") << "Add4SplittedRouteToGateway" << QStringList {"10.8.0.1", "0"};
        QTest::newRow("remove -1") << "Remove4SplittedRoute" << QStringList {"-1"};
        QTest::newRow("black hole 3") << "AddSimpleSplittedRouteToBlackhole" << QStringList {"3"};
        QTest::newRow("unreachable 3") << "RemoveSimpleSplittedIPV6RouteToUnreachable" << QStringList {"3"};
    }

    void indexOutsideTheSplitRunsNothing()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, arguments);
        CommandFactory factory(command.toStdString(), toList(arguments));
        const std::unique_ptr<Command> created = factory.createCommand();
        QVERIFY(dynamic_cast<SplittedRouteCommand *>(created.get()) != nullptr);
        QCOMPARE(created->execute(), -1);
    }

    void readers()
    {
        CommandFactory factory("X", {"TRUE", "yes", "1", " 42", "2", "a", "b", "c", "d"});
        QCOMPARE(factory.requireBoolArg("b"), true);
        QCOMPARE(factory.requireBoolArg("b"), false);
        QCOMPARE(factory.requireBoolArg("b"), false);
        QCOMPARE(factory.requireIntArg("i"), 42);
        QCOMPARE(QString::fromStdString(joined(factory.requireSizeListArg("r")).toStdString()), QString("a|b"));
        QCOMPARE(joined(factory.requireListArg("l")), QString("c|d"));
    }

    void openVpn_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("built");
        const QString dir = m_config.path();
        const QString port = QString::number(m_management.serverPort());
        const QString canonicalDir = QFileInfo(dir).canonicalFilePath();
        const QString fixed =
            "openvpn: --cd|" + canonicalDir + "|--config|CONFIG|--management|127.0.0.1|" + port
            + "|--management-client|--management-hold|--management-query-passwords|--management-up-down|--auth-retry|"
              "interact|--script-security|1|--route-noexec";
        auto line = [&](const QStringList &middle, const QStringList &tail) {
            return QStringList {"/x/Contents/Helpers/openvpn_v2_4", dir, "client.conf", port} + middle + tail;
        };
        const QStringList plainMiddle = {"false", "false", "AES-256-GCM", "", "",  "",
                                         "",      "",      "direct",      "", "1", "false"};
        QTest::newRow("plain") << line(plainMiddle, {"0", "1.2", "0"})
                               << fixed + "|--ncp-disable|--cipher|AES-256-GCM|--tls-version-min|1.2";
        QTest::newRow("everything")
            << line({"true", "TRUE", "AES-128-CBC", "SHA256", "tc.key", "ta.key", "obfs", "mask", "socks5", "127.0.0.1",
                     "1080", "true"},
                    {"2", "192.0.2.1 1194 udp", "192.0.2.2", "1.0", "1400"})
            << fixed
                   + "|--management-query-remote|--management-up-down|--ncp-disable|--cipher|AES-128-CBC|--auth|SHA256|"
                     "--tls-crypt|SEALED|--tls-auth|SEALED|1|--scramble|obfs|mask|--persist-tun|--socks-proxy|127.0.0."
                     "1|1080|--remote|192.0.2.1 1194 udp|--remote|192.0.2.2|--tls-version-min|1.0|--tun-mtu|1400";
        QTest::newRow("http proxy, empty cipher, negative mtu")
            << line({"false", "false", "", "", "", "", "", "", "http", "proxy.example", "3128", "false"},
                    {"0", "1.3", "-5"})
            << fixed + "|--ncp-disable|--cipher||--http-proxy|proxy.example|3128|--tls-version-min|1.3";

        auto refusedRow = [&](const char *name, const QStringList &arguments, const QString &message) {
            QTest::newRow(name) << arguments << refused("OpenVPN", arguments, "IllegalArgumentException: " + message);
        };
        refusedRow(
            "direct with port 0",
            line({"false", "false", "AES-256-GCM", "", "", "", "", "", "direct", "", "0", "false"}, {"0", "1.2", "0"}),
            "ProxyPort=0");
        refusedRow("port 65536",
                   line({"false", "false", "AES-256-GCM", "", "", "", "", "", "http", "p", "65536", "false"},
                        {"0", "1.2", "0"}),
                   "ProxyPort=65536");
        refusedRow(
            "unknown proxy",
            line({"false", "false", "AES-256-GCM", "", "", "", "", "", "SOCKS5", "", "1", "false"}, {"0", "1.2", "0"}),
            "ProxyProtocol=SOCKS5");
        refusedRow("cipher as option",
                   line({"false", "false", "--up", "", "", "", "", "", "direct", "", "1", "false"}, {"0", "1.2", "0"}),
                   "cipher=--up");
        refusedRow("cipher with blank",
                   line({"false", "false", "AES-256-GCM /tmp/x", "", "", "", "", "", "direct", "", "1", "false"},
                        {"0", "1.2", "0"}),
                   "cipher=AES-256-GCM /tmp/x");
        refusedRow("auth as option",
                   line({"false", "false", "AES-256-GCM", "-x", "", "", "", "", "direct", "", "1", "false"},
                        {"0", "1.2", "0"}),
                   "auth=-x");
        refusedRow("tls-crypt as option",
                   line({"false", "false", "AES-256-GCM", "", "--plugin", "", "", "", "direct", "", "1", "false"},
                        {"0", "1.2", "0"}),
                   "tlscrypt=--plugin");
        refusedRow("tls-auth as option",
                   line({"false", "false", "AES-256-GCM", "", "", "--up", "", "", "direct", "", "1", "false"},
                        {"0", "1.2", "0"}),
                   "tlskey=--up");
        refusedRow("scramble as option",
                   line({"false", "false", "AES-256-GCM", "", "", "", "--log", "m", "direct", "", "1", "false"},
                        {"0", "1.2", "0"}),
                   "obfuscate=--log");
        refusedRow("mask as option",
                   line({"false", "false", "AES-256-GCM", "", "", "", "o", "--daemon", "direct", "", "1", "false"},
                        {"0", "1.2", "0"}),
                   "scrambleMask=--daemon");
        refusedRow("proxy address as option",
                   line({"false", "false", "AES-256-GCM", "", "", "", "", "", "socks5", "--up", "1080", "false"},
                        {"0", "1.2", "0"}),
                   "ProxyAddress=--up");
        refusedRow("remote as option",
                   line({"false", "false", "AES-256-GCM", "", "", "", "", "", "direct", "", "1", "false"},
                        {"1", "--up", "1.2", "0"}),
                   "remote=--up");
        refusedRow(
            "TLS 1.4",
            line({"false", "false", "AES-256-GCM", "", "", "", "", "", "direct", "", "1", "false"}, {"0", "1.4", "0"}),
            "tlsMinimumVersion=1.4");
        refusedRow(
            "TLS as option",
            line({"false", "false", "AES-256-GCM", "", "", "", "", "", "direct", "", "1", "false"}, {"0", "--up", "0"}),
            "tlsMinimumVersion=--up");
        refusedRow("management port 0",
                   QStringList {"/x/Contents/Helpers/openvpn_v2_4", dir, "client.conf", "0"} + plainMiddle
                       + QStringList {"0", "1.2", "0"},
                   "ManagementPort=0");
        refusedRow("config dir as option",
                   QStringList {"/x/Contents/Helpers/openvpn_v2_4", "--up", "client.conf", port} + plainMiddle
                       + QStringList {"0", "1.2", "0"},
                   "PathToConfigDir=--up");
        refusedRow("config outside its directory",
                   QStringList {"/x/Contents/Helpers/openvpn_v2_4", dir, "../../etc/passwd", port} + plainMiddle
                       + QStringList {"0", "1.2", "0"},
                   "configFile=../../etc/passwd (outside the configuration directory)");
        refusedRow("config missing",
                   QStringList {"/x/Contents/Helpers/openvpn_v2_4", dir, "none.conf", port} + plainMiddle
                       + QStringList {"0", "1.2", "0"},
                   "configFile=none.conf (not found)");
        refusedRow("config dir relative",
                   QStringList {"/x/Contents/Helpers/openvpn_v2_4", "conf", "client.conf", port} + plainMiddle
                       + QStringList {"0", "1.2", "0"},
                   "PathToConfigDir=conf");
        // The engine would serve whoever listens at its management port.
        refusedRow("no listener at the management port",
                   QStringList {"/x/Contents/Helpers/openvpn_v2_4", dir, "client.conf", m_closedPort} + plainMiddle
                       + QStringList {"0", "1.2", "0"},
                   "ManagementPort=" + m_closedPort + " (no loopback listener at this port)");
        QTest::newRow("remote count 0 reads the TLS version next")
            << line(plainMiddle, {"0", "1.0", "0", "extra"})
            << fixed + "|--ncp-disable|--cipher|AES-256-GCM|--tls-version-min|1.0";
        QTest::newRow("remote values missing")
            << line(plainMiddle, {"3", "a", "b"})
            << refused("OpenVPN", line(plainMiddle, {"3", "a", "b"}), "Missing argument: remote");
    }

    void openVpn()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, built);
        CommandFactory factory("OpenVPN", toList(arguments), SECRET);
        const std::unique_ptr<Command> created = factory.createCommand();
        QCOMPARE(describe(created.get()), built);
    }

    // The engine commands read the run's secret after their arguments; a
    // line that is not one is refused without being repeated.
    void engineCommandsNeedTheirSecret_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("secretLine");
        const QStringList bad = {"",
                                 "0123456789abcdef0123456789abcde",
                                 "0123456789ABCDEF0123456789ABCDEF",
                                 "0123456789abcdef0123456789abcdef0",
                                 " 0123456789abcdef0123456789abcde",
                                 "0123456789abcdef\n0123456789abcde"};
        for (const QString &command : QStringList {"OpenVPN", "OpenConnect"}) {
            for (const QString &line : bad)
                QTest::addRow("%s %s", qPrintable(command), qPrintable(line.isEmpty() ? "empty" : line))
                    << command << line;
        }
    }
    void engineCommandsNeedTheirSecret()
    {
        QFETCH(QString, command);
        QFETCH(QString, secretLine);
        const QString port = QString::number(m_management.serverPort());
        const QStringList arguments = command == "OpenVPN" ? QStringList {"/x/Contents/Helpers/openvpn_v2_4",
                                                                          m_config.path(),
                                                                          "client.conf",
                                                                          port,
                                                                          "false",
                                                                          "false",
                                                                          "AES-256-GCM",
                                                                          "",
                                                                          "",
                                                                          "",
                                                                          "",
                                                                          "",
                                                                          "direct",
                                                                          "",
                                                                          "1",
                                                                          "false",
                                                                          "0",
                                                                          "1.2",
                                                                          "0"}
                                                           : QStringList {"/x/Contents/Helpers/openconnect",
                                                                          "https://vpn.example:443/",
                                                                          "true",
                                                                          QString::number(m_cmdFd.serverPort()),
                                                                          QString::number(m_cmdFdWrite.serverPort()),
                                                                          "/x/Contents/Resources/app/bin/vpnc-script",
                                                                          "false",
                                                                          "30"};
        CommandFactory factory(command.toStdString(), toList(arguments), secretLine.toStdString());
        const QString described = describe(factory.createCommand().get());
        QCOMPARE(described, refused(command, arguments,
                                    "IllegalArgumentException: engineSecret=(standard input: not 32 lowercase "
                                    "hexadecimal digits)"));
        if (!secretLine.isEmpty())
            QVERIFY(!described.contains(secretLine));
    }

    void openConnect_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("built");
        const QString program = "/x/Contents/Helpers/openconnect";
        const QString script = "/x/Contents/Resources/app/bin/vpnc-script";
        auto line = [&](const QString &server, const QString &a, const QString &b, const QString &dtls,
                        const QString &timeout) {
            return QStringList {program, server, "true", a, b, script, dtls, timeout};
        };
        const QString cmdFd = QString::number(m_cmdFd.serverPort());
        const QString cmdFdWrite = QString::number(m_cmdFdWrite.serverPort());
        const QString ports = "|--vyx-port-cmd-fd|" + cmdFd + "|--vyx-port-cmd-fd-write|" + cmdFdWrite;
        QTest::newRow("name") << line("https://vpn.example:443/", cmdFd, cmdFdWrite, "false", "30")
                              << "openconnect: https://vpn.example:443/|--verbose" + ports
                                     + "|--script|SCRIPT|--reconnect-timeout|30";
        QTest::newRow("IPv6, no DTLS") << line("https://[2001:db8::1]:8443/", cmdFd, cmdFdWrite, "true", "0")
                                       << "openconnect: https://[2001:db8::1]:8443/|--verbose" + ports
                                              + "|--script|SCRIPT|--no-dtls|--reconnect-timeout|0";
        for (const bool write : {false, true}) {
            const QStringList arguments =
                write ? line("https://vpn.example:443/", cmdFd, m_closedPort, "false", "30")
                      : line("https://vpn.example:443/", m_closedPort, cmdFdWrite, "false", "30");
            QTest::newRow(write ? "no listener at the write port" : "no listener at the command port")
                << arguments
                << refused("OpenConnect", arguments,
                           QString("IllegalArgumentException: ") + (write ? "cmd_fd_write_port=" : "cmd_fd_port=")
                               + m_closedPort + " (no loopback listener at this port)");
        }
        const struct
        {
            const char *name;
            QStringList arguments;
            const char *message;
        } refusals[] = {
            {"option as server", line("--script=/tmp/x", "1", "2", "false", "1"), "server=--script=/tmp/x"},
            {"http", line("http://vpn.example:443/", "1", "2", "false", "1"), "server=http://vpn.example:443/"},
            {"no port", line("https://vpn.example/", "1", "2", "false", "1"), "server=https://vpn.example/"},
            {"port 0", line("https://vpn.example:0/", "1", "2", "false", "1"), "server=https://vpn.example:0/"},
            {"port too big", line("https://vpn.example:65536/", "1", "2", "false", "1"),
             "server=https://vpn.example:65536/"},
            {"path", line("https://vpn.example:443/x", "1", "2", "false", "1"), "server=https://vpn.example:443/x"},
            {"user info", line("https://a@vpn.example:443/", "1", "2", "false", "1"),
             "server=https://a@vpn.example:443/"},
            {"blank", line("https://vpn.example:443/ --x", "1", "2", "false", "1"),
             "server=https://vpn.example:443/ --x"},
            {"host as option", line("https://-x:443/", "1", "2", "false", "1"), "server=https://-x:443/"},
            {"command port 0", line("https://vpn.example:443/", "0", "2", "false", "1"), "cmd_fd_port=0"},
            {"write port too big", line("https://vpn.example:443/", "1", "70000", "false", "1"),
             "cmd_fd_write_port=70000"},
            {"negative time-out", line("https://vpn.example:443/", "1", "2", "false", "-1"), "reconnect_timeout=-1"},
        };
        for (const auto &r : refusals)
            QTest::newRow(r.name) << r.arguments
                                  << refused("OpenConnect", r.arguments,
                                             QString("IllegalArgumentException: ") + r.message);
        const QStringList scriptOption = {program, "https://vpn.example:443/", "true", "1", "2", "--help", "false",
                                          "1"};
        QTest::newRow("script as option")
            << scriptOption
            << refused("OpenConnect", scriptOption, "IllegalArgumentException: PathToVpncScript=--help");
    }

    void openConnect()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, built);
        CommandFactory factory("OpenConnect", toList(arguments), SECRET);
        const std::unique_ptr<Command> created = factory.createCommand();
        QCOMPARE(describe(created.get()), built);
    }

private:
    QTemporaryDir m_config;
    QTcpServer m_management;
    QTcpServer m_cmdFd;
    QTcpServer m_cmdFdWrite;
    QString m_closedPort;
};

QTEST_GUILESS_MAIN(TestCommandFactory)
#include "tst_commandfactory.moc"
