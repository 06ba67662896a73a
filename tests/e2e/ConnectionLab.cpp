#include "ConnectionLab.h"

#include "CatalogueGenerator.h"

#include "prefs/Settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace {
// The servers listen on an address of their own on the server side: the
// update host already holds port 443 of the lab's server address.
const QString VPN_ADDRESS = QStringLiteral("198.51.100.3");
const QString VPN_HOST = QStringLiteral("vpn.lab.orvalvpn.example");
const QString STEALTH_PASSWORD = QStringLiteral("lab stealth secret");
const QString STEALTH_METHOD = QStringLiteral("chacha20-ietf-poly1305");
const QString ZIP_PATH = QStringLiteral("/Config/config.zip");
// Above the built-in catalogue's version, so the driver installs this one.
const int VERSION_ABOVE_BUILT_IN = 100;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool waitForPort(const QString &address, quint16 port, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QTcpSocket socket;
        socket.connectToHost(address, port);
        if (socket.waitForConnected(500))
            return true;
        QThread::msleep(100);
    }
    return false;
}

QString tunnelNetwork(bool udp)
{
    return udp ? QStringLiteral("10.8.0.0") : QStringLiteral("10.8.1.0");
}
} // namespace

const QString ConnectionLab::USER = QStringLiteral("alice");
const QString ConnectionLab::PASSWORD = QStringLiteral("lab s3cret");
const QString ConnectionLab::SITE = QStringLiteral("USA-Dallas");

ConnectionLab::ConnectionLab()
    : m_mainProgram(QStringLiteral(ORVAL_DRIVE_PROGRAM))
    , m_ordinaryUser(qEnvironmentVariableIsSet("ORVAL_LAB_CLIENT_USER"))
{
    for (bool udp : {true, false}) {
        OpenVpnServerOptions &options = udp ? m_udp : m_tcp;
        options.protocol = udp ? QStringLiteral("udp") : QStringLiteral("tcp");
        options.port = udp ? UDP_PORT : TCP_PORT;
        options.network = tunnelNetwork(udp);
        options.user = USER;
        options.password = PASSWORD;
        // As a VPN service's servers do: all traffic through the tunnel, and a name server.
        options.pushes = QStringList {QStringLiteral("redirect-gateway def1"),
                                      QStringLiteral("dhcp-option DNS ") + pushedNameServer(udp)};
        // What the catalogue's default offers ask for: AES-256-GCM, SHA512, its tls-crypt key.
        options.extraArguments =
            QStringList {QStringLiteral("--local"),        VPN_ADDRESS,
                         QStringLiteral("--tls-crypt"),    QStringLiteral(ORVAL_CONFIG_SOURCE_DIR "/tls-crypt.key"),
                         QStringLiteral("--auth"),         QStringLiteral("SHA512"),
                         QStringLiteral("--data-ciphers"), QStringLiteral("AES-256-GCM:AES-128-GCM:CHACHA20-POLY1305")};
    }
}

ConnectionLab::~ConnectionLab()
{
    stopDriver();
    Lab::stop(m_tunnelResolver);
    Lab::stop(m_openConnectServer);
    Lab::stop(m_socksProxy);
    Lab::stop(m_httpProxy);
    Lab::stop(m_stealthServer);
    Lab::stop(m_stunnelServer);
    Lab::stop(m_tcpServer);
    Lab::stop(m_udpServer);
}

QString ConnectionLab::unavailableReason()
{
    if (!Lab::isActive())
        return QStringLiteral("needs the test lab (run through CTest as root)");
    if (!QFile::exists(QStringLiteral("/dev/net/tun")))
        return QStringLiteral("needs /dev/net/tun");
    for (const QString &program : {QStringLiteral("openvpn"), QStringLiteral("stunnel"), QStringLiteral("ss-server"),
                                   QStringLiteral("tinyproxy"), QStringLiteral("microsocks"), QStringLiteral("ocserv"),
                                   QStringLiteral("dnsmasq"), QStringLiteral("tcpdump")}) {
        if (QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")})
                .isEmpty())
            return program + QStringLiteral(" is not installed");
    }
    return QString();
}

QString ConnectionLab::pushedNameServer(bool udp)
{
    // The server's own tunnel address: a name server no other part of the lab uses.
    QString network = tunnelNetwork(udp);
    return network.replace(QRegularExpression(QStringLiteral("\\.0$")), QStringLiteral(".1"));
}

QString ConnectionLab::vpnAddress()
{
    return VPN_ADDRESS;
}

QString ConnectionLab::lastPeerAddress(bool udp) const
{
    static const QRegularExpression peer(QStringLiteral("Peer Connection Initiated with \\[AF_INET\\]([0-9.]+):"));
    QString address;
    const QString log = QString::fromUtf8(readFile(Lab::openVpnServerLog(path("pki"), server(udp))));
    for (QRegularExpressionMatchIterator it = peer.globalMatch(log); it.hasNext();)
        address = it.next().captured(1);
    return address;
}

QString ConnectionLab::path(const QString &name) const
{
    return m_dir.filePath(name);
}

bool ConnectionLab::setUp()
{
    if (!m_dir.isValid()) {
        qWarning("ConnectionLab: no temporary directory");
        return false;
    }
    if (m_ordinaryUser) {
        m_user.reset(new LabUser(LabUser::CLIENT));
        if (!m_user->isValid())
            return false;
    }
    if (!QDir().mkpath(path("pki")) || !Lab::makePki(path("pki")))
        return false;
    return makeBundle() && serveCatalogue() && startServers();
}

bool ConnectionLab::makeBundle()
{
    const QString built = QStringLiteral(ORVAL_BUNDLE_DIR);
    const QString bundle = path("Drive.app/Contents");
    const QString program = bundle + QStringLiteral("/MacOS/OrvalVPN");
    // A copy, not a link: the helper checks its parent's real path.
    bool ok = QDir().mkpath(bundle + QStringLiteral("/MacOS")) && QFile::copy(m_mainProgram, program);
    for (const QString &part : {QStringLiteral("Helpers"), QStringLiteral("Resources"), QStringLiteral("Platform"),
                                QStringLiteral("Info.plist")})
        ok = ok && run(QStringLiteral("cp"), {QStringLiteral("-R"), built + QLatin1Char('/') + part, bundle}) == 0;
    ok = ok && run(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("go+rX,go-w"), m_dir.path()}) == 0
         && run(QStringLiteral("chmod"), {QStringLiteral("u+s"), bundle + QStringLiteral("/Helpers/Stelvane")}) == 0;
    if (!ok)
        qWarning("ConnectionLab: cannot assemble the bundle");
    return ok;
}

bool ConnectionLab::serveCatalogue()
{
    try {
        const CatalogueGenerator generator = CatalogueGenerator::fromFile(QStringLiteral(ORVAL_CATALOGUE));
        CatalogueGenerator::Options options;
        options.serverName = VPN_HOST;
        options.serverAddresses = QStringList {VPN_ADDRESS};
        options.openConnectPort = OPENCONNECT_PORT;
        // The engines verify the lab's server certificate.
        options.extraMembers.insert(QStringLiteral("ca.crt"), readFile(path("pki/ca.crt")));
        options.extraMembers.insert(
            QStringLiteral("configs-stealth-proxies.csv"),
            CatalogueGenerator::encipherStealthProxies(QStringLiteral("COUNTRY;CITY;HOST;PORT;PASSWORD;METHOD\n"
                                                                      "USA;Dallas;%1;%2;%3;%4\n")
                                                           .arg(VPN_ADDRESS)
                                                           .arg(STEALTH_PORT)
                                                           .arg(STEALTH_PASSWORD, STEALTH_METHOD)
                                                           .toUtf8()));
        const QByteArray zip = ZipWriter::write(generator.members(options));
        const QString zipUrl = QStringLiteral("https://%1%2").arg(Lab::updateHost(), ZIP_PATH);
        Lab::serve(QStringLiteral("/Config/default.txt"),
                   CatalogueGenerator::configTxt(generator.version() + VERSION_ABOVE_BUILT_IN, zip, zipUrl) + "\n");
        Lab::serve(ZIP_PATH, zip);
    } catch (const std::exception &e) {
        qWarning() << "ConnectionLab: cannot generate the catalogue:" << e.what();
        return false;
    }
    Lab::addDnsHost(VPN_HOST, VPN_ADDRESS);
    return true;
}

bool ConnectionLab::startServers()
{
    // The servers' own address on the server side (gone with the lab).
    QProcess address;
    Lab::startOnServer(address, QStringLiteral("ip"),
                       {QStringLiteral("addr"), QStringLiteral("add"), VPN_ADDRESS + QStringLiteral("/32"),
                        QStringLiteral("dev"), QStringLiteral("lo")});
    if (!address.waitForFinished(10000) || address.exitCode() != 0) {
        qWarning() << "ConnectionLab: cannot add" << VPN_ADDRESS << address.readAllStandardError();
        return false;
    }
    if (!Lab::startOpenVpnServer(m_udpServer, path("pki"), m_udp)
        || !Lab::startOpenVpnServer(m_tcpServer, path("pki"), m_tcp) || !startTunnelResolver())
        return false;

    const QString stunnelConfig = path("stunnel-server.conf");
    if (!writeFile(stunnelConfig, QStringLiteral("foreground = yes\npid =\nsyslog = no\n[openvpn]\naccept = %1:%2\n"
                                                 "connect = %1:%3\ncert = %4\nkey = %5\n")
                                      .arg(VPN_ADDRESS)
                                      .arg(STUNNEL_PORT)
                                      .arg(TCP_PORT)
                                      .arg(path("pki/server.crt"), path("pki/server.key"))
                                      .toUtf8()))
        return false;
    m_stunnelServer.setProcessChannelMode(QProcess::ForwardedChannels);
    Lab::startOnServer(m_stunnelServer, QStringLiteral("stunnel"), {stunnelConfig});
    m_stealthServer.setProcessChannelMode(QProcess::ForwardedChannels);
    Lab::startOnServer(m_stealthServer, QStringLiteral("ss-server"),
                       {QStringLiteral("-s"), VPN_ADDRESS, QStringLiteral("-p"), QString::number(STEALTH_PORT),
                        QStringLiteral("-k"), STEALTH_PASSWORD, QStringLiteral("-m"), STEALTH_METHOD});
    if (!waitForPort(VPN_ADDRESS, STUNNEL_PORT) || !waitForPort(VPN_ADDRESS, STEALTH_PORT)) {
        qWarning("ConnectionLab: stunnel or ss-server did not come up");
        return false;
    }
    return startProxies() && Lab::startOcserv(m_openConnectServer, USER, PASSWORD, OPENCONNECT_PORT);
}

// The name server each OpenVPN server pushes is its own tunnel address, as a
// VPN service's is: a resolver there answers what the lab's resolver answers,
// and a connected client reaches it through the tunnel. It follows the tunnel
// devices as the servers come and go.
bool ConnectionLab::startTunnelResolver()
{
    m_tunnelResolver.setProcessChannelMode(QProcess::ForwardedChannels);
    Lab::startOnServer(m_tunnelResolver, QStringLiteral("dnsmasq"),
                       {QStringLiteral("--keep-in-foreground"), QStringLiteral("--no-resolv"),
                        QStringLiteral("--no-hosts"),
                        QStringLiteral("--addn-hosts=") + Lab::directory() + QStringLiteral("/dns-hosts"),
                        QStringLiteral("--listen-address=") + pushedNameServer(true),
                        QStringLiteral("--listen-address=") + pushedNameServer(false), QStringLiteral("--bind-dynamic"),
                        QStringLiteral("--pid-file=") + path("tunnel-dns.pid"),
                        QStringLiteral("--log-facility=") + path("tunnel-dns.log"), QStringLiteral("--log-queries")});
    for (bool udp : {true, false}) {
        if (!waitForPort(pushedNameServer(udp), 53)) {
            qWarning("ConnectionLab: no resolver on the tunnel addresses");
            return false;
        }
    }
    return true;
}

bool ConnectionLab::startProxies()
{
    const QString tinyproxyConfig = path("tinyproxy.conf");
    if (!writeFile(tinyproxyConfig, QStringLiteral("Port %1\nListen %2\nTimeout 60\nMaxClients 8\n"
                                                   "LogLevel Connect\nLogFile \"%3\"\n")
                                        .arg(HTTP_PROXY_PORT)
                                        .arg(Lab::serverAddress(), path("tinyproxy.log"))
                                        .toUtf8()))
        return false;
    m_httpProxy.setProcessChannelMode(QProcess::ForwardedChannels);
    Lab::startOnServer(m_httpProxy, QStringLiteral("tinyproxy"),
                       {QStringLiteral("-d"), QStringLiteral("-c"), tinyproxyConfig});
    m_socksProxy.setProcessChannelMode(QProcess::ForwardedChannels);
    Lab::startOnServer(
        m_socksProxy, QStringLiteral("microsocks"),
        {QStringLiteral("-i"), Lab::serverAddress(), QStringLiteral("-p"), QString::number(SOCKS_PROXY_PORT)});
    if (!Lab::waitForServerPort(HTTP_PROXY_PORT, 20000) || !Lab::waitForServerPort(SOCKS_PROXY_PORT, 20000)) {
        qWarning("ConnectionLab: tinyproxy or microsocks did not come up");
        return false;
    }
    return true;
}

void ConnectionLab::chooseCustomProxy(bool socks)
{
    Settings settings(settingsFile());
    settings.setProxySettings(Settings::CUSTOM);
    settings.setProxyProtocol(socks ? Settings::SOCKS5 : Settings::HTTP);
    settings.setProxyAddress(Lab::serverAddress());
    settings.setProxyPort(QString::number(socks ? SOCKS_PROXY_PORT : HTTP_PROXY_PORT));
}

QByteArray ConnectionLab::httpProxyLog() const
{
    QFile log(path("tinyproxy.log"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

QString ConnectionLab::settingsFile() const
{
    return path("home/.config/OrvalVPN/OrvalVPN.conf");
}

void ConnectionLab::resetHome()
{
    QDir(path("home")).removeRecursively();
}

QProcessEnvironment ConnectionLab::clientEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), path("home"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("home/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path("home/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), path("home/.cache"));
    // The single-instance socket of a GUI run lives in a folder in the cache
    // folder: one per lab.
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("TMPDIR"), path("tmp"));
    environment.remove(QStringLiteral("WITH_OPENVPN_SIMULATOR"));
    return environment;
}

void ConnectionLab::startAsClient(QProcess &process, const QString &program, const QStringList &arguments) const
{
    QDir().mkpath(path("home"));
    QDir().mkpath(path("tmp"));
    process.setProcessEnvironment(clientEnvironment());
    // What the test wrote there (the preferences) becomes the user's.
    if (m_user && (!m_user->own(path("home")) || !m_user->own(path("tmp"))))
        qWarning("ConnectionLab: cannot give the home folder to the client's user");
    if (m_user)
        m_user->start(process, program, arguments);
    else
        process.start(program, arguments);
}

QString ConnectionLab::clientFolder() const
{
    return path("tmp");
}

uint ConnectionLab::clientUid() const
{
    return m_user ? m_user->uid() : uint(::getuid());
}

bool ConnectionLab::startDriver(const QStringList &arguments)
{
    stopDriver();
    m_events.clear();
    m_pending.clear();
    m_lastStamp = 0;
    m_driver.setStandardErrorFile(path("driver.log"), QIODevice::Append);
    startAsClient(m_driver, path("Drive.app/Contents/MacOS/OrvalVPN"), arguments);
    if (!m_driver.waitForStarted(10000)) {
        qWarning() << "ConnectionLab: the driver does not start:" << m_driver.errorString();
        return false;
    }
    return true;
}

void ConnectionLab::readEvents()
{
    static const QRegularExpression stamped(QStringLiteral("^\\[(\\d+)\\] (.*)$"));
    m_pending += m_driver.readAllStandardOutput();
    for (int end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        const QString line = QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
        // Every line carries the driver's clock, which never runs back; a line
        // that does not is kept marked, so no test takes it for its event.
        const QRegularExpressionMatch match = stamped.match(line);
        const qint64 stamp = match.hasMatch() ? match.captured(1).toLongLong() : -1;
        if (stamp < m_lastStamp) {
            qWarning().noquote() << "ConnectionLab: malformed event line:" << line;
            m_events << QStringLiteral("malformed ") + line;
            continue;
        }
        m_lastStamp = stamp;
        m_events << match.captured(2);
    }
}

int ConnectionLab::waitFor(const QString &prefix, int timeoutMs, int from)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        readEvents();
        for (int i = from; i < m_events.size(); ++i) {
            if (m_events.at(i).startsWith(prefix))
                return i;
        }
        if (m_driver.state() == QProcess::NotRunning || timer.elapsed() > timeoutMs)
            return -1;
        m_driver.waitForReadyRead(100);
    }
}

QStringList ConnectionLab::events()
{
    readEvents();
    return m_events;
}

QStringList ConnectionLab::eventsStartingWith(const QString &prefix)
{
    QStringList matching;
    for (const QString &event : events()) {
        if (event.startsWith(prefix))
            matching << event;
    }
    return matching;
}

void ConnectionLab::send(const QString &command)
{
    m_driver.write(command.toUtf8() + '\n');
    m_driver.waitForBytesWritten(5000);
}

void ConnectionLab::signalDriver(int signal)
{
    if (m_driver.state() != QProcess::NotRunning)
        ::kill(pid_t(m_driver.processId()), signal);
}

int ConnectionLab::quit(int timeoutMs)
{
    if (m_driver.state() != QProcess::NotRunning)
        send(QStringLiteral("quit"));
    return waitForExit(timeoutMs);
}

int ConnectionLab::waitForExit(int timeoutMs)
{
    if (m_driver.state() != QProcess::NotRunning && !m_driver.waitForFinished(timeoutMs)) {
        qWarning("ConnectionLab: the driver did not end; killing it");
        m_driver.kill();
        m_driver.waitForFinished(5000);
        readEvents();
        qWarning().noquote() << diagnostics();
        return -1;
    }
    readEvents();
    return m_driver.exitStatus() == QProcess::NormalExit ? m_driver.exitCode() : -1;
}

void ConnectionLab::stopDriver()
{
    if (m_driver.state() != QProcess::NotRunning)
        quit();
}

QString ConnectionLab::driverLog() const
{
    return QString::fromUtf8(readFile(path("driver.log")));
}

QString ConnectionLab::diagnostics()
{
    QString text = QStringLiteral("Driver events:\n") + events().join(QLatin1Char('\n'));
    text += QStringLiteral("\nDriver log (tail):\n") + QString::fromUtf8(readFile(path("driver.log")).right(20000));
    for (bool udp : {true, false}) {
        text += QStringLiteral("\nOpenVPN server log (%1):\n").arg(server(udp).protocol)
                + QString::fromUtf8(readFile(Lab::openVpnServerLog(path("pki"), server(udp))).right(5000));
    }
    return text;
}

int ConnectionLab::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QStringList ConnectionLab::nameServers()
{
    QStringList servers;
    for (const QString &line :
         QString::fromUtf8(readFile(QStringLiteral("/etc/resolv.conf"))).split(QLatin1Char('\n'))) {
        const QStringList words = line.simplified().split(QLatin1Char(' '));
        if (words.size() >= 2 && words.first() == QLatin1String("nameserver"))
            servers << words.at(1);
    }
    return servers;
}

QStringList ConnectionLab::blackHoleRoutes()
{
    QString ipv4;
    QString ipv6;
    run(QStringLiteral("ip"),
        {QStringLiteral("-4"), QStringLiteral("route"), QStringLiteral("show"), QStringLiteral("type"),
         QStringLiteral("blackhole")},
        &ipv4);
    run(QStringLiteral("ip"),
        {QStringLiteral("-6"), QStringLiteral("route"), QStringLiteral("show"), QStringLiteral("type"),
         QStringLiteral("unreachable")},
        &ipv6);
    QStringList routes;
    for (const QString &line : (ipv4 + QLatin1Char('\n') + ipv6).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        routes << line.simplified();
    routes.sort();
    return routes;
}

QString ConnectionLab::routes()
{
    QString ipv4;
    QString ipv6;
    run(QStringLiteral("ip"), {QStringLiteral("-4"), QStringLiteral("route"), QStringLiteral("show")}, &ipv4);
    run(QStringLiteral("ip"), {QStringLiteral("-6"), QStringLiteral("route"), QStringLiteral("show")}, &ipv6);
    return ipv4 + ipv6;
}

QString ConnectionLab::bundleContents() const
{
    return path("Drive.app/Contents");
}

void ConnectionLab::stopServer(bool udp)
{
    QProcess &server = udp ? m_udpServer : m_tcpServer;
    server.kill();
    server.waitForFinished(5000);
}

bool ConnectionLab::freezeServer(bool udp, bool frozen)
{
    const qint64 pid = (udp ? m_udpServer : m_tcpServer).processId();
    return pid > 0 && ::kill(pid_t(pid), frozen ? SIGSTOP : SIGCONT) == 0;
}

bool ConnectionLab::restartServer(bool udp, const QStringList &extraArguments)
{
    stopServer(udp);
    OpenVpnServerOptions options = server(udp);
    options.extraArguments += extraArguments;
    return Lab::startOpenVpnServer(udp ? m_udpServer : m_tcpServer, path("pki"), options);
}

bool ConnectionLab::startServer(bool udp)
{
    QProcess &server = udp ? m_udpServer : m_tcpServer;
    return server.state() != QProcess::NotRunning || Lab::startOpenVpnServer(server, path("pki"), udp ? m_udp : m_tcp);
}
