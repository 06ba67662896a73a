// Runs the real set-uid helper from a test bundle, as root and as nobody.
#include "HelperBundle.h"
#include "TestFiles.h"

#include <PropertyList.h>

#include "peerowner/TcpListenerOwner.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

Q_DECLARE_METATYPE(HelperBundle::User)

// No listener but the caller's own at the engine's ports.
constexpr int NO_LISTENER = -1;

// A row's input is made when the row runs: tokens made while the table is built go stale
// before the last rows run on a slow machine.
using Input = std::function<QByteArray()>;
Q_DECLARE_METATYPE(Input)

namespace {

Input literal(const QByteArray &bytes)
{
    return [bytes] { return bytes; };
}

Input freshToken(qint64 offsetMs = 0)
{
    return [offsetMs] { return HelperBundle::token(offsetMs); };
}

// A time stamp of the moment of the run, followed by the given lines.
Input stamped(qint64 offsetMs, const QByteArray &rest)
{
    return
        [offsetMs, rest] { return QByteArray::number(QDateTime::currentMSecsSinceEpoch() + offsetMs) + "\n" + rest; };
}

} // namespace

namespace {

// The fields of /proc/PID/status by name ("Uid" gives "real\teffective\tsaved\tfs").
QMap<QString, QString> processStatus(qint64 pid)
{
    QMap<QString, QString> fields;
    for (const QString &line : QString::fromUtf8(TestFiles::read(QString("/proc/%1/status").arg(pid))).split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0)
            fields.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return fields;
}

// Loopback listeners owned by nobody, as a client's are by its user: the
// test's listener program run through setpriv.
class CallersListener
{
public:
    ~CallersListener()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool start(int count)
    {
        m_process.start(
            "setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", STELVANE_LISTENER, QString::number(count)});
        if (!waitForLine([](const QString &line) { return line.startsWith("ports "); }, 10000))
            return false;
        m_ports = m_lines.first().mid(6).split(' ');
        return m_ports.size() == count;
    }

    const QStringList &ports() const { return m_ports; }

    bool waitForConnection(const QString &port, int timeoutMs)
    {
        return waitForLine([&port](const QString &line) { return line == "accepted " + port; }, timeoutMs);
    }

private:
    bool waitForLine(const std::function<bool(const QString &)> &matches, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            while (m_process.canReadLine())
                m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
            if (std::any_of(m_lines.cbegin(), m_lines.cend(), matches))
                return true;
            if (m_process.state() == QProcess::NotRunning || timer.elapsed() > timeoutMs)
                return false;
            m_process.waitForReadyRead(100);
        }
    }

    QProcess m_process;
    QStringList m_lines;
    QStringList m_ports;
};

// The first process whose parent is `parent`, or 0.
qint64 childOf(qint64 parent)
{
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (isNumber && processStatus(pid).value("PPid") == QString::number(parent))
            return pid;
    }
    return 0;
}

QByteArray failure(const QString &command, const QStringList &arguments, const QString &message)
{
    return ("Failure creating command '" + command + "' with arguments: " + arguments.join(' ')
            + ", error message: " + message + "\n")
        .toUtf8();
}

} // namespace

class TestStelvaneBlackBox : public QObject
{
    Q_OBJECT

private:
    HelperBundle m_bundle;
    HelperBundle m_other;
    QString m_config;
    // The engines' ports, where the launcher listens as the calling user.
    quint16 m_managementPort = 0;
    quint16 m_cmdFdPort = 0;
    quint16 m_cmdFdWritePort = 0;
    // A port without a listener unless a test puts one there.
    quint16 m_foreignPort = 0;

    QStringList openVpn(const QString &program, const QString &configFile = "client.conf",
                        const QString &cipher = "AES-256-GCM") const
    {
        return {"OpenVPN", program, m_config, configFile, QString::number(m_managementPort),
                "true",    "false", cipher,   "",         "",
                "",        "",      "",       "direct",   "",
                "1",       "false", "0",      "1.2",      "0"};
    }

    QStringList openConnect(const QString &program, const QString &script,
                            const QString &server = "https://vpn.example:443/") const
    {
        return {"OpenConnect", program, server, "true", QString::number(m_cmdFdPort), QString::number(m_cmdFdWritePort),
                script,        "false", "30"};
    }

    QString contents(const QString &relative) const { return m_bundle.contents() + "/Contents/" + relative; }

    bool placeholderEngines() const
    {
        return TestFiles::read(contents("Helpers/openvpn_v2_4")).contains("placeholder engine")
               && TestFiles::read(contents("Helpers/openconnect")).contains("placeholder engine");
    }

    void addForBothUsers(const QString &name, const QStringList &arguments, const Input &input, int exitCode,
                         const QByteArray &out, const QByteArray &err)
    {
        for (HelperBundle::User user : {HelperBundle::User::Root, HelperBundle::User::Nobody}) {
            const char *who = user == HelperBundle::User::Root ? "root: " : "nobody: ";
            QTest::newRow(qPrintable(who + name)) << arguments << input << user << exitCode << out << err;
        }
    }

private slots:
    void initTestCase()
    {
        QString reason;
        QVERIFY2(m_bundle.create("Test", &reason), qPrintable(reason));
        QVERIFY2(m_other.create("Other", &reason), qPrintable(reason));
        for (quint16 *port : {&m_managementPort, &m_cmdFdPort, &m_cmdFdWritePort, &m_foreignPort}) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            *port = probe.serverPort();
        }
        for (HelperBundle *bundle : {&m_bundle, &m_other})
            bundle->setListenPorts({m_managementPort, m_cmdFdPort, m_cmdFdWritePort});
        m_config = m_bundle.root() + "/config";
        QVERIFY(QDir().mkpath(m_config));
        QVERIFY(TestFiles::write(m_config + "/client.conf", "client\ndev tun\nremote 192.0.2.1 1194\n"));
        QVERIFY(TestFiles::write(m_config + "/evil.conf", "client\nscript-security 2\nup /bin/sh\n"));
        QVERIFY(TestFiles::write(m_bundle.root() + "/outside.conf", "client\n"));
        QVERIFY(TestFiles::write(m_config + "/probe.conf", "client\nkey-direction 5\n"));
        QVERIFY(TestFiles::write(m_config + "/root-only.conf", "client\n"));
        QVERIFY(QFile::setPermissions(m_config + "/root-only.conf", QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }

    void runs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Input>("input");
        QTest::addColumn<HelperBundle::User>("user");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");

        const Input now = freshToken();
        const QByteArray unknown = "Unknown command 'Foo' with arguments: a b";
        addForBothUsers("no command", {}, now, 255, "Missing command!\n", "");
        addForBothUsers("empty input", {"Foo", "a", "b"}, literal(""), 10, "", "Err 14\n");
        addForBothUsers("no number", {"Foo", "a", "b"}, literal("abc\n" + HelperBundle::token().split('\n')[1] + "\n"),
                        10, "", "Err 14\n");
        addForBothUsers("out of range", {"Foo", "a", "b"}, literal("99999999999999999999\nx\n"), 10, "", "Err 15\n");
        addForBothUsers("35 s old", {"Foo", "a", "b"}, freshToken(-35000), 10, "", "Err 301\n");
        addForBothUsers("35 s ahead", {"Foo", "a", "b"}, freshToken(35000), 10, "", "Err 301\n");
        addForBothUsers("an hour ahead", {"Foo", "a", "b"}, freshToken(3600000), 10, "", "Err 301\n");
        addForBothUsers("20 s old", {"Foo", "a", "b"}, freshToken(-20000), 255, "", unknown);
        addForBothUsers("20 s ahead", {"Foo", "a", "b"}, freshToken(20000), 255, "", unknown);
        addForBothUsers("wrong digest", {"Foo", "a", "b"}, stamped(0, QByteArray(64, 'a') + "\n"), 10, "", "Err 302\n");
        addForBothUsers("stale and wrong", {"Foo", "a", "b"}, stamped(-60000, QByteArray(64, 'a') + "\n"), 10, "",
                        "Err 301\n");
        addForBothUsers("digest of another key", {"Foo", "a", "b"},
                        stamped(0, "5e884898da28047151d0e56f8dc6292773603d0d6aabbdd62a11ef721d1542d8\n"), 10, "",
                        "Err 302\n");
        addForBothUsers("endless first line", {"Foo", "a", "b"}, literal(QByteArray(100000, '1')), 10, "", "Err 14\n");
        addForBothUsers("endless second line", {"Foo", "a", "b"}, stamped(0, QByteArray(100000, 'a')), 10, "",
                        "Err 302\n");

        addForBothUsers("unknown command", {"Foo", "a", "b"}, now, 255, "", unknown);
        addForBothUsers("missing name server", {"SetNameServers", "Wi-Fi"}, now, 255, "",
                        failure("SetNameServers", {"Wi-Fi"}, "Missing argument: <dns1> [dns2] [...]"));
        addForBothUsers("bad state", {"Interface", "Wi-Fi", "sideways"}, now, 255, "",
                        failure("Interface", {"Wi-Fi", "sideways"}, "IllegalArgumentException: state=sideways"));
        addForBothUsers("index 5", {"Add4SplittedRouteToGateway", "10.0.0.1", "5"}, now, 255, "", "");
        addForBothUsers(
            "proxy port 0", openVpn(contents("Helpers/openvpn_v2_4")).replaceInStrings(QRegularExpression("^1$"), "0"),
            now, 255, "",
            failure("OpenVPN",
                    openVpn(contents("Helpers/openvpn_v2_4")).mid(1).replaceInStrings(QRegularExpression("^1$"), "0"),
                    "IllegalArgumentException: ProxyPort=0"));

        // Values that would reach a root program as options.
        const struct
        {
            const char *name;
            QStringList arguments;
            const char *message;
        } injections[] = {
            {"interface as option", {"SetInterfaceUp", "-a"}, "interface_name=-a"},
            {"interface with shell text", {"SetInterfaceUp", "lo;id"}, "interface_name=lo;id"},
            {"name server as option",
             {"SetNameServers", "Wi-Fi", "-listallnetworkservices"},
             "<dns1> [dns2] [...]=-listallnetworkservices"},
            {"service as option", {"Interface", "-setv6off", "up"}, "InterfaceName=-setv6off"},
            {"host as option", {"ProtectHost", "-net", "10.0.0.1"}, "IPAddress=-net"},
            {"gateway as option", {"Add4SplittedRouteToGateway", "-interface", "1"}, "gateway=-interface"},
            {"address of the wrong family", {"SetIPv6Address", "lo", "10.0.0.1", "64"}, "address=10.0.0.1"},
            {"server as option",
             {"OpenConnect", "/x", "--script=/tmp/x", "true", "1", "2", "/y", "false", "1"},
             "server=--script=/tmp/x"},
        };
        for (const auto &injection : injections) {
            addForBothUsers(injection.name, injection.arguments, now, 255, "",
                            failure(injection.arguments[0], injection.arguments.mid(1),
                                    QString("IllegalArgumentException: ") + injection.message));
        }
        const QStringList cipher = openVpn(contents("Helpers/openvpn_v2_4"), "client.conf", "--up");
        addForBothUsers("cipher as option", cipher, now, 255, "",
                        failure("OpenVPN", cipher.mid(1), "IllegalArgumentException: cipher=--up"));
        const QStringList evil = openVpn(contents("Helpers/openvpn_v2_4"), "evil.conf");
        addForBothUsers("configuration running programs", evil, now, 255, "",
                        failure("OpenVPN", evil.mid(1),
                                "IllegalArgumentException: configFile=evil.conf (line 2: directive \"script-security\" "
                                "is not allowed)"));
        const QStringList outside = openVpn(contents("Helpers/openvpn_v2_4"), "../outside.conf");
        addForBothUsers(
            "configuration outside its directory", outside, now, 255, "",
            failure("OpenVPN", outside.mid(1),
                    "IllegalArgumentException: configFile=../outside.conf (outside the configuration directory)"));

        // The configuration is read with the caller's rights.
        const QStringList rootOnly = openVpn(contents("Helpers/openvpn_v2_4"), "root-only.conf");
        QTest::newRow("nobody: configuration the caller cannot read")
            << rootOnly << now << HelperBundle::User::Nobody << 255 << QByteArray()
            << failure("OpenVPN", rootOnly.mid(1),
                       "IllegalArgumentException: configFile=root-only.conf (not readable by the caller)");
        const QStringList shadow =
            QStringList {"OpenVPN", contents("Helpers/openvpn_v2_4"), "/etc", "shadow"} + openVpn("x").mid(4);
        QTest::newRow("nobody: system file as configuration")
            << shadow << now << HelperBundle::User::Nobody << 255 << QByteArray()
            << failure("OpenVPN", shadow.mid(1),
                       "IllegalArgumentException: configFile=shadow (not readable by the caller)");

        // Engines that are not the bundle's own.
        addForBothUsers("engine outside the bundle", openVpn("/bin/true"), now, 10, "", "OpenVpn: Err 404\n");
        addForBothUsers("other engine of the bundle", openVpn(contents("Helpers/openconnect")), now, 10, "",
                        "OpenVpn: Err 404\n");
        addForBothUsers("link in the helper directory", openVpn(contents("Helpers/sh")), now, 10, "",
                        "OpenVpn: Err 404\n");
        addForBothUsers("missing engine", openVpn(contents("Helpers/none")), now, 10, "", "OpenVpn: Err 501\n");
        addForBothUsers("script outside app/bin",
                        openConnect(contents("Helpers/openconnect"), contents("Resources/vpnc-script")), now, 10, "",
                        "OpenConnect: Err 405\n");
        addForBothUsers("script elsewhere in app/bin",
                        openConnect(contents("Helpers/openconnect"), contents("Resources/app/bin/openconnect")), now,
                        10, "", "OpenConnect: Err 405\n");
        addForBothUsers("network change on the host", {"Remove4SplittedRoute", "1"}, now, 69, "",
                        "route: refusing to change the host's network: this stand-in changes only a network namespace "
                        "of its own (run it under 'ip netns exec')\n");
    }

    void runs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Input, input);
        QFETCH(HelperBundle::User, user);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFile::remove(contents("Helpers/sh"));
        QVERIFY(QFile::link("/bin/sh", contents("Helpers/sh")));
        QFile::copy(contents("Helpers/openconnect"), contents("Resources/app/bin/openconnect"));
        QFile::copy(contents("Resources/app/bin/vpnc-script"), contents("Resources/vpnc-script"));
        const HelperBundle::Result result = m_bundle.run(arguments, input(), user);
        QCOMPARE(result.err, err);
        QCOMPARE(result.out, out);
        QCOMPARE(result.exitCode, exitCode);
    }

    void callerThatNeverWritesIsDropped()
    {
        QElapsedTimer timer;
        timer.start();
        const HelperBundle::Result result =
            m_bundle.run({"Foo"}, QByteArray(), HelperBundle::User::Nobody, QString(), QString(), QString(), false);
        QCOMPARE(result.err, QByteArray("Err 14\n"));
        QCOMPARE(result.exitCode, 10);
        QVERIFY(timer.elapsed() < 30000);
    }

    void places_data()
    {
        QTest::addColumn<QString>("launcher");
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("parent of another bundle") << m_other.launcher() << m_bundle.helper() << QByteArray("Err 403\n");
        QTest::newRow("parent under another name")
            << m_bundle.contents() + "/Contents/MacOS/Updater" << m_bundle.helper() << QByteArray("Err 402\n");
        QTest::newRow("helper outside its place")
            << m_bundle.launcher() << m_bundle.contents() + "/Contents/Stelvane" << QByteArray("Err 401\n");
        QTest::newRow("helper renamed") << m_bundle.launcher() << m_bundle.contents() + "/Contents/Helpers/Stelvane2"
                                        << QByteArray("Err 401\n");
    }

    void places()
    {
        QFETCH(QString, launcher);
        QFETCH(QString, helper);
        QFETCH(QByteArray, err);
        if (launcher != m_bundle.launcher() && launcher != m_other.launcher())
            QVERIFY(m_bundle.copyLauncherTo(launcher));
        if (helper != m_bundle.helper())
            QVERIFY(m_bundle.copyHelperTo(helper));
        for (HelperBundle::User user : {HelperBundle::User::Root, HelperBundle::User::Nobody}) {
            const HelperBundle::Result result = m_bundle.run({"Foo"}, HelperBundle::token(), user, launcher, helper);
            QCOMPARE(result.err, err);
            QCOMPARE(result.exitCode, 10);
        }
    }

    void programThatCannotRun()
    {
        const QString route = m_other.contents() + "/Contents/Platform/bin/route";
        QVERIFY(QFile::rename(route, route + ".away"));
        const HelperBundle::Result result =
            m_other.run({"CheckDefaultRoute"}, HelperBundle::token(), HelperBundle::User::Nobody);
        QVERIFY(QFile::rename(route + ".away", route));
        QCOMPARE(result.err, "Exec failed (" + QFile::encodeName(route) + "): No such file or directory");
        QCOMPARE(result.exitCode, 255);
    }

    // What runs as root from the bundle must be root's alone, as must every
    // directory above it: another user could otherwise put a program of
    // their own in its place.
    void programsOthersMayChangeAreRefused_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("program");
        QTest::newRow("stand-in") << "Platform/bin/route"
                                  << "Platform/bin/route";
        QTest::newRow("directory of the stand-ins") << "Platform/bin"
                                                    << "Platform/bin/route";
        QTest::newRow("bundle") << ""
                                << "Platform/bin/route";
        QTest::newRow("vpnc-script") << "Resources/app/bin/vpnc-script"
                                     << "Resources/app/bin/vpnc-script";
    }

    void programsOthersMayChangeAreRefused()
    {
        QFETCH(QString, opened);
        QFETCH(QString, program);
        const QString contents = m_other.contents() + "/Contents";
        const QString path = opened.isEmpty() ? contents : contents + "/" + opened;
        const QStringList arguments = program.startsWith("Platform") ? QStringList {"CheckDefaultRoute"}
                                                                     : QStringList {"OpenConnect",
                                                                                    contents + "/Helpers/openconnect",
                                                                                    "https://vpn.example:443/",
                                                                                    "true",
                                                                                    QString::number(m_cmdFdPort),
                                                                                    QString::number(m_cmdFdWritePort),
                                                                                    contents + "/" + program,
                                                                                    "false",
                                                                                    "30"};
        const QFileDevice::Permissions permissions = QFile::permissions(path);
        QVERIFY(QFile::setPermissions(path, permissions | QFileDevice::WriteGroup));
        const HelperBundle::Result result = m_other.run(arguments, HelperBundle::token(), HelperBundle::User::Nobody);
        QVERIFY(QFile::setPermissions(path, permissions));
        QCOMPARE(QString::fromUtf8(result.err), "Exec failed (" + contents + "/" + program
                                                    + "): refusing to run it as root: others than root may change "
                                                    + path + " (owner 0, mode 0775)");
        QCOMPARE(result.exitCode, 255);
    }

    // An engine serves whoever listens at the ports it is given: a caller may
    // aim it only at listeners of its own, never at another user's client.
    void enginePortsMustBeTheCallersListeners_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<HelperBundle::User>("caller");
        QTest::addColumn<int>("foreignListener");
        QTest::addColumn<QByteArray>("err");
        const QString port = QString::number(m_foreignPort);
        QStringList openVpnAtPort = openVpn(contents("Helpers/openvpn_v2_4"));
        openVpnAtPort[4] = port;
        QStringList commandPort =
            openConnect(contents("Helpers/openconnect"), contents("Resources/app/bin/vpnc-script"));
        QStringList writePort = commandPort;
        commandPort[4] = port;
        writePort[5] = port;
        const QString none = "(no loopback listener at this port)";
        const QString other = "(the loopback listener at this port is not the calling user's)";
        const auto row = [&](const char *name, const QStringList &arguments, HelperBundle::User caller, int listener,
                             const QString &refusal) {
            QTest::newRow(name) << arguments << caller << listener
                                << failure(arguments.first(), arguments.mid(1), "IllegalArgumentException: " + refusal);
        };
        using User = HelperBundle::User;
        row("root: no listener", openVpnAtPort, User::Root, NO_LISTENER, "ManagementPort=" + port + " " + none);
        row("nobody: no listener", openVpnAtPort, User::Nobody, NO_LISTENER, "ManagementPort=" + port + " " + none);
        row("nobody: root's listener", openVpnAtPort, User::Nobody, int(User::Root),
            "ManagementPort=" + port + " " + other);
        row("root: nobody's listener", openVpnAtPort, User::Root, int(User::Nobody),
            "ManagementPort=" + port + " " + other);
        row("nobody: OpenConnect, root's command port", commandPort, User::Nobody, int(User::Root),
            "cmd_fd_port=" + port + " " + other);
        row("root: OpenConnect, nobody's write port", writePort, User::Root, int(User::Nobody),
            "cmd_fd_write_port=" + port + " " + other);
    }

    void enginePortsMustBeTheCallersListeners()
    {
        QFETCH(QStringList, arguments);
        QFETCH(HelperBundle::User, caller);
        QFETCH(int, foreignListener);
        QFETCH(QByteArray, err);
        QTcpServer rootListener;
        QProcess nobodyListener;
        if (foreignListener == int(HelperBundle::User::Root)) {
            QVERIFY(rootListener.listen(QHostAddress::LocalHost, m_foreignPort));
        } else if (foreignListener == int(HelperBundle::User::Nobody)) {
            // The launcher, as nobody, listening while a program of no interest runs.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("STELVANE_TEST_LISTEN", QString::number(m_foreignPort));
            nobodyListener.setProcessEnvironment(environment);
            nobodyListener.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                             QStringLiteral(STELVANE_LAUNCHER), "/bin/sleep", "60"});
            QTRY_VERIFY(!orvalplatform::loopbackListenerOwners(m_foreignPort).empty());
        }
        const HelperBundle::Result result = m_bundle.run(arguments, HelperBundle::token(), caller);
        nobodyListener.kill();
        nobodyListener.waitForFinished();
        QCOMPARE(result.err, err);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(result.exitCode, 255);
    }

    // An engine also dials, as root, the TCP destinations of its
    // configuration and arguments: on loopback, only the caller's listeners
    // may take those connections. Another user's IPv6-only listener beside
    // the caller's own at an engine's port takes none of them.
    void dialDestinationsMustBeTheCallersListeners_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("rootListens");
        QTest::addColumn<int>("rootPort");
        QTest::addColumn<QByteArray>("err");
        const QString engine = contents("Helpers/openvpn_v2_4");
        const QString foreign = QString::number(m_foreignPort);
        const QString own = QString::number(m_cmdFdPort);
        const QByteArray probe = "key-direction 5\n";
        const QString other = " port " + foreign + ": the loopback listener at this port is not the calling user's)";
        const auto accepted = [&](const char *name, const QStringList &arguments, const QByteArray &config,
                                  const QString &listens, int port) {
            QTest::newRow(name) << arguments << config << listens << port << QByteArray();
        };
        const auto refused = [&](const char *name, const QStringList &arguments, const QByteArray &config,
                                 const QString &message) {
            QTest::newRow(name) << arguments << config << "127.0.0.1" << int(m_foreignPort)
                                << failure(arguments.first(), arguments.mid(1), "IllegalArgumentException: " + message);
        };
        const QStringList dial = openVpn(engine, "dial.conf");
        QStringList httpProxy = dial;
        httpProxy[13] = "http";
        httpProxy[14] = "127.0.0.1";
        httpProxy[15] = foreign;
        QStringList socksProxy = httpProxy;
        socksProxy[13] = "socks5";
        socksProxy[15] = own;
        QStringList socksProxyNoListener = socksProxy;
        socksProxyNoListener[15] = "9";
        const QString script = contents("Resources/app/bin/vpnc-script");
        const QString server = "https://127.0.0.1:" + foreign + "/";

        accepted("v6-only listener of root beside the caller's management listener", dial, "client\n" + probe,
                 "::", m_managementPort);
        accepted("v6-only listener of root beside the caller's command listener",
                 openConnect(contents("Helpers/openconnect"), script, "https://127.0.0.1:9/"), "", "::", m_cmdFdPort);
        refused("remote at root's listener", dial,
                "client\ndev tun\nremote 127.0.0.1 " + foreign.toUtf8() + " tcp\n" + probe,
                "configFile=dial.conf (line 3: 127.0.0.1" + other);
        accepted("remote at the caller's listener", dial,
                 "client\ndev tun\nremote 127.0.0.1 " + own.toUtf8() + " tcp\n" + probe, "127.0.0.1", m_foreignPort);
        refused("proto tcp-client after a remote at root's listener", dial,
                "client\nremote 127.0.0.1 " + foreign.toUtf8() + "\nproto tcp-client\n" + probe,
                "configFile=dial.conf (line 2: 127.0.0.1" + other);
        refused("localhost at root's listener", dial,
                "client\nremote localhost " + foreign.toUtf8() + " tcp6-client\n" + probe,
                "configFile=dial.conf (line 2: localhost port " + foreign
                    + ": the name may lead to a loopback listener at this port that is not the calling user's)");
        const QString truncated = QString::number(m_foreignPort + 65536);
        refused("remote at a port the engine truncates to root's", dial,
                "client\nremote 127.0.0.1 " + truncated.toUtf8() + " tcp\n" + probe,
                "configFile=dial.conf (line 2: port \"" + truncated
                    + "\" of a TCP destination is no number from 1 to 65535)");
        accepted("UDP remote at root's listener", dial,
                 "client\nremote 127.0.0.1 " + foreign.toUtf8() + " udp\n" + probe, "127.0.0.1", m_foreignPort);
        refused("HTTP proxy at root's listener", httpProxy, "client\n" + probe,
                "ProxyAddress=127.0.0.1 (127.0.0.1" + other);
        accepted("SOCKS proxy at the caller's listener", socksProxy,
                 "client\nremote 127.0.0.1 " + foreign.toUtf8() + " tcp\n" + probe, "127.0.0.1", m_foreignPort);
        accepted("SOCKS proxy where nothing listens yet", socksProxyNoListener, "client\n" + probe, "127.0.0.1",
                 m_foreignPort);
        refused("OpenConnect server at root's listener", openConnect(contents("Helpers/openconnect"), script, server),
                "", "server=" + server + " (127.0.0.1" + other);
    }

    void dialDestinationsMustBeTheCallersListeners()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, config);
        QFETCH(QString, rootListens);
        QFETCH(int, rootPort);
        QFETCH(QByteArray, err);
        QVERIFY(TestFiles::write(m_config + "/dial.conf", config));
        QTcpServer rootListener;
        QVERIFY(rootListener.listen(rootListens == "::" ? QHostAddress::AnyIPv6 : QHostAddress::LocalHost,
                                    quint16(rootPort)));
        const HelperBundle::Result result = m_bundle.run(arguments, HelperBundle::token(), HelperBundle::User::Nobody);
        if (!err.isEmpty()) {
            QCOMPARE(result.err, err);
            QCOMPARE(result.out, QByteArray());
            QCOMPARE(result.exitCode, 255);
            return;
        }
        // Past every check: the engine ran, and stopped at the configuration's
        // unknown key direction or at its server's closed port.
        const QString all = QString::fromUtf8(result.out + result.err);
        QVERIFY2(all.startsWith("placeholder engine: ") || all.contains("Unknown key direction '5'")
                     || all.contains("Attempting to connect to server 127.0.0.1:9"),
                 qPrintable(all));
    }

    // The test process itself is no client executable.
    void parentThatIsNoClient()
    {
        QProcess process;
        process.start(m_bundle.helper(), {"Foo"});
        QVERIFY(process.waitForStarted());
        process.write(HelperBundle::token());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.readAllStandardError(), QByteArray("Err 402\n"));
        QCOMPARE(process.exitCode(), 10);
    }

    // With the real engines: each ran from the checked file, and OpenVPN read
    // the sealed copy of the checked configuration. Neither leaves loopback:
    // OpenVPN stops at the configuration; OpenConnect, past the caller's
    // command channels, at its server's closed port.
    void realEnginesStartFromTheCheckedFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        const QString probeError = "*Options error: Unknown key direction '5' -- must be '0' or '1'*";
        QTest::newRow("OpenVPN") << openVpn(contents("Helpers/openvpn_v2_4"), "probe.conf") << 1 << probeError;
        QTest::newRow("OpenVPN through ..")
            << openVpn(contents("Helpers/../Helpers/openvpn_v2_4"), "probe.conf") << 1 << probeError;
        const QStringList connect = openConnect(
            contents("Helpers/openconnect"), contents("Resources/app/bin/../bin/vpnc-script"), "https://127.0.0.1:9/");
        QTest::newRow("OpenConnect") << connect << 1 << "Attempting to connect to server 127.0.0.1:9";
    }

    void realEnginesStartFromTheCheckedFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        if (placeholderEngines())
            QSKIP("the staged engines are placeholders");
        for (HelperBundle::User user : {HelperBundle::User::Root, HelperBundle::User::Nobody}) {
            const HelperBundle::Result result = m_bundle.run(arguments, HelperBundle::token(), user);
            const QString all = QString::fromUtf8(result.out + result.err);
            QVERIFY2(QRegularExpression(QRegularExpression::wildcardToRegularExpression(output))
                         .match(all.trimmed())
                         .hasMatch(),
                     qPrintable(all));
            QCOMPARE(result.exitCode, exitCode);
        }
    }

    void enginesRunAsRootWithTheCheckedFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        const QString engine = contents("Helpers/openvpn_v2_4");
        const QString canonicalConfig = QFileInfo(m_config).canonicalFilePath();
        QTest::newRow("OpenVPN") << openVpn(engine) << QStringList {"--cd",
                                                                    canonicalConfig,
                                                                    "--config",
                                                                    "/proc/self/fd/*",
                                                                    "--management",
                                                                    "127.0.0.1",
                                                                    QString::number(m_managementPort)};
        QTest::newRow("OpenVPN through ..")
            << openVpn(contents("Helpers/../Helpers/openvpn_v2_4")) << QStringList {"--cd", canonicalConfig};
        QTest::newRow("OpenConnect") << openConnect(contents("Helpers/openconnect"),
                                                    contents("Resources/app/bin/../bin/vpnc-script"))
                                     << QStringList {
                                            "https://vpn.example:443/",
                                            "--verbose",
                                            "--vyx-port-cmd-fd",
                                            QString::number(m_cmdFdPort),
                                            "--vyx-port-cmd-fd-write",
                                            QString::number(m_cmdFdWritePort),
                                            "--script",
                                            QFileInfo(contents("Resources/app/bin/vpnc-script")).canonicalFilePath(),
                                            "--reconnect-timeout",
                                            "30"};
    }

    void enginesRunAsRootWithTheCheckedFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        if (!placeholderEngines())
            QSKIP("the staged engines are the real ones (see realEnginesStartFromTheCheckedFiles)");
        for (HelperBundle::User user : {HelperBundle::User::Root, HelperBundle::User::Nobody}) {
            const HelperBundle::Result result = m_bundle.run(arguments, HelperBundle::token(), user);
            QCOMPARE(result.err, QByteArray());
            QCOMPARE(result.exitCode, 0);
            QStringList lines = QString::fromUtf8(result.out).split('\n');
            QVERIFY2(lines.first().startsWith("placeholder engine: ") && lines.first().endsWith(" as uid 0 gid 0"),
                     qPrintable(lines.first()));
            lines.removeFirst();
            const QStringList head = lines.mid(0, expected.size());
            for (int i = 0; i < expected.size(); ++i)
                QVERIFY2(QRegularExpression(QRegularExpression::wildcardToRegularExpression(expected[i]))
                             .match(head.value(i))
                             .hasMatch(),
                         qPrintable(head.join(' ')));
        }
    }

    void enginesRunAsFullRootForAnyCaller_data()
    {
        QTest::addColumn<bool>("openVpnEngine");
        QTest::newRow("OpenVPN") << true;
        QTest::newRow("OpenConnect") << false;
    }

    // Whoever calls the helper, the engine runs as root whole: real,
    // effective and saved ids 0 and none of the caller's groups, so that
    // neither the engine nor anything it starts keeps a trace of the caller.
    // The caller is nobody with a group of its own; it owns the listeners
    // the engine reports to, as a client does, and the engine is looked at
    // while it holds at its first connection.
    void enginesRunAsFullRootForAnyCaller()
    {
        QFETCH(bool, openVpnEngine);
        if (placeholderEngines())
            QSKIP("the staged engines are placeholders (see enginesRunAsRootWithTheCheckedFile)");
        CallersListener listener;
        QVERIFY(listener.start(openVpnEngine ? 1 : 3));
        const QStringList ports = listener.ports();
        QStringList arguments;
        if (openVpnEngine) {
            // Complete enough for the engine to go on to its management port.
            const QString key = m_bundle.root() + "/hold-ca.key";
            const QString certificate = m_bundle.root() + "/hold-ca.crt";
            QCOMPARE(QProcess::execute("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                                   "ec_paramgen_curve:prime256v1", "-nodes", "-days", "1", "-subj",
                                                   "/CN=hold", "-keyout", key, "-out", certificate}),
                     0);
            QVERIFY(TestFiles::write(m_config + "/hold.conf",
                                     "client\ndev tun\nremote 192.0.2.1 1194\nauth-user-pass\n<ca>\n"
                                         + TestFiles::read(certificate) + "</ca>\n"));
            arguments = openVpn(contents("Helpers/openvpn_v2_4"), "hold.conf");
        } else {
            // Its server is a listener that never answers: the engine waits there.
            arguments = openConnect(contents("Helpers/openconnect"), contents("Resources/app/bin/vpnc-script"),
                                    "https://127.0.0.1:" + ports.at(2) + "/");
            arguments[5] = ports.at(1);
        }
        arguments[4] = ports.at(0);
        QProcess caller;
        caller.setProcessChannelMode(QProcess::MergedChannels);
        caller.start("setpriv", QStringList {"--reuid=65534", "--regid=65534", "--groups=4242", m_bundle.launcher(),
                                             m_bundle.helper()}
                                    + arguments);
        QVERIFY(caller.waitForStarted());
        qint64 engine = 0;
        const auto stop = qScopeGuard([&] {
            if (engine > 0)
                ::kill(pid_t(engine), SIGKILL);
            if (!caller.waitForFinished(10000))
                caller.kill();
            caller.waitForFinished(5000);
        });
        caller.write(HelperBundle::token());
        QVERIFY(caller.waitForBytesWritten(5000));
        caller.closeWriteChannel();
        if (!listener.waitForConnection(ports.at(0), 30000)) {
            caller.waitForFinished(2000);
            QFAIL(caller.readAll().constData());
        }
        engine = childOf(caller.processId());
        QVERIFY(engine > 0);
        const QMap<QString, QString> status = processStatus(engine);
        const QString program = QFileInfo(QFile::symLinkTarget(QString("/proc/%1/exe").arg(engine))).fileName();
        QCOMPARE(program, QString(openVpnEngine ? "openvpn" : "openconnect"));
        QCOMPARE(status.value("Uid"), QString("0\t0\t0\t0"));
        QCOMPARE(status.value("Gid"), QString("0\t0\t0\t0"));
        QCOMPARE(status.value("Groups"), QString());
        // The caller was nobody indeed, with its group.
        const QMap<QString, QString> callerStatus = processStatus(caller.processId());
        QCOMPARE(callerStatus.value("Uid"), QString("65534\t65534\t65534\t65534"));
        QCOMPARE(callerStatus.value("Groups"), QString("4242"));
    }

    void modifiedEnginesAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("openVpnEngine");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("OpenVPN engine") << "Helpers/openvpn_v2_4" << true << QByteArray("OpenVpn: Err 503\n");
        QTest::newRow("OpenConnect engine") << "Helpers/openconnect" << false << QByteArray("OpenConnect: Err 503\n");
        QTest::newRow("vpnc-script") << "Resources/app/bin/vpnc-script" << false
                                     << QByteArray("OpenConnect: Err 503\n");
    }

    void modifiedEnginesAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(bool, openVpnEngine);
        QFETCH(QByteArray, err);
        const QByteArray original = TestFiles::read(contents(file));
        QVERIFY(TestFiles::write(contents(file), original + "\n"));
        const QStringList arguments =
            openVpnEngine ? openVpn(contents("Helpers/openvpn_v2_4"))
                          : openConnect(contents("Helpers/openconnect"), contents("Resources/app/bin/vpnc-script"));
        const HelperBundle::Result result = m_bundle.run(arguments, HelperBundle::token(), HelperBundle::User::Nobody);
        QVERIFY(TestFiles::write(contents(file), original));
        QCOMPARE(result.err, err);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(result.exitCode, 10);
    }

    // Started with standard output closed, the helper must not let the new
    // property list take that descriptor and fill it with its messages.
    void closedStandardDescriptors()
    {
        QProcess process;
        process.start("setpriv",
                      {"--reuid=65534", "--regid=65534", "--clear-groups", "sh", "-c", "exec \"$@\" >&- 2>&-", "sh",
                       m_bundle.launcher(), m_bundle.helper(), "SetDockIconVisibility", "false"});
        QVERIFY(process.waitForStarted());
        process.write(HelperBundle::token());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 0);
        const QByteArray written = TestFiles::read(contents("Info.plist"));
        QVERIFY2(written.startsWith("<?xml") && !written.contains("XmlData"), written.constData());
        platform::PlistValue root;
        platform::PropertyList::Error error;
        QVERIFY(platform::PropertyList::parse(written.toStdString(), root, error));
        QCOMPARE(QString::fromStdString(root.value("LSUIElement")->text()), QString("1"));
    }

    void dockIconFlag_data()
    {
        QTest::addColumn<QString>("visibility");
        QTest::addColumn<QString>("value");
        QTest::newRow("hidden") << "false"
                                << "1";
        QTest::newRow("visible") << "True"
                                 << "0";
    }

    void dockIconFlag()
    {
        QFETCH(QString, visibility);
        QFETCH(QString, value);
        const QString plist = contents("Info.plist");
        struct stat before
        {};
        QVERIFY(stat(QFile::encodeName(plist).constData(), &before) == 0);
        const HelperBundle::Result result =
            m_bundle.run({"SetDockIconVisibility", visibility}, HelperBundle::token(), HelperBundle::User::Nobody);
        QCOMPARE(result.err, QByteArray());
        QVERIFY2(result.out.startsWith("Info: current path stored: " + QFile::encodeName(plist) + "\n"),
                 result.out.constData());
        QVERIFY(result.out.endsWith("XmlData written to file\nAll resources Released - Exiting\n"));
        QCOMPARE(result.exitCode, 0);
        platform::PlistValue root;
        platform::PropertyList::Error error;
        QVERIFY(platform::PropertyList::parse(TestFiles::read(plist).toStdString(), root, error));
        QCOMPARE(QString::fromStdString(root.value("LSUIElement")->text()), value);
        QCOMPARE(QString::fromStdString(root.value("CFBundleExecutable")->text()), QString("OrvalVPN"));
        struct stat after
        {};
        QVERIFY(stat(QFile::encodeName(plist).constData(), &after) == 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
    }
};

STELVANE_ROOT_TEST_MAIN(TestStelvaneBlackBox)
#include "tst_stelvane_blackbox.moc"
