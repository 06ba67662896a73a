#pragma once

#include "Lab.h"
#include "LabUser.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Everything a connection test needs inside the lab (tests/harness/lab):
// a copy of the bundle whose main program is the driver (tools/drive), a
// catalogue whose sites all lead to the lab's server, served on the update
// host, the servers of every transport (OpenVPN over UDP and TCP with a
// password check, pushed redirect-gateway and name server, a resolver on
// each server's tunnel address answering as the lab's does; stunnel and
// ss-server in front of the TCP one; an HTTP and a SOCKS5 proxy; ocserv for
// the OpenConnect tunnel), and the driver run as a process whose event lines
// it collects. Everything it starts is stopped when it is destroyed.
//
// The driver runs as root, or, with ORVAL_LAB_CLIENT_USER set (to any
// value) or after runClientAsOrdinaryUser(), as the ordinary user
// LabUser::CLIENT with the bundle as installed: every folder of it root's and
// closed to others, the helper root's and set-uid, the driver's home and
// temporary folder the user's own.
class ConnectionLab
{
public:
    static const QString USER;
    static const QString PASSWORD;
    // The site the tests connect to; every site of the catalogue leads to the lab's server.
    static const QString SITE;
    // The catalogue's own ports, so its engine files and cipher offers fit the servers.
    static constexpr quint16 UDP_PORT = 1194;
    static constexpr quint16 TCP_PORT = 443;
    static constexpr quint16 STUNNEL_PORT = 8443;
    static constexpr quint16 STEALTH_PORT = 8388;
    // The custom proxies (tinyproxy, microsocks) on the lab's server address.
    static constexpr quint16 HTTP_PROXY_PORT = 8888;
    static constexpr quint16 SOCKS_PROXY_PORT = 1080;
    // ocserv, for the OpenConnect tunnel; its tunnel network is 198.18.0.0/24.
    static constexpr quint16 OPENCONNECT_PORT = 4443;

    ConnectionLab();
    ~ConnectionLab();
    ConnectionLab(const ConnectionLab &) = delete;
    ConnectionLab &operator=(const ConnectionLab &) = delete;

    // Why the lab cannot run here (not in a lab, no TUN device, ...), or empty.
    static QString unavailableReason();
    // PKI, bundle, catalogue on the update host, every server. False, with
    // warnings, when something does not come up.
    bool setUp();
    // The program the bundle runs as its OrvalVPN, before setUp: the backend
    // driver unless a test chooses another (the GUI driver).
    void useMainProgram(const QString &program) { m_mainProgram = program; }
    // Runs the driver (and startAsClient's programs) as the ordinary user, before setUp.
    void runClientAsOrdinaryUser() { m_ordinaryUser = true; }
    bool clientIsOrdinaryUser() const { return m_ordinaryUser; }
    // The user the driver runs as.
    uint clientUid() const;

    // The OpenVPN servers; the tunnel address of the server and the name
    // server it pushes differ between the two.
    const OpenVpnServerOptions &server(bool udp) const { return udp ? m_udp : m_tcp; }
    static QString pushedNameServer(bool udp);
    // The servers' own address on the server side, where every site of the
    // catalogue leads (not the lab's server address: the update host holds
    // port 443 there).
    static QString vpnAddress();
    // The address the server saw its latest client connect from (its log's
    // last "Peer Connection Initiated"), empty when none connected yet.
    QString lastPeerAddress(bool udp) const;

    // What the lab's HTTP proxy (tinyproxy) logged of its connections.
    QByteArray httpProxyLog() const;

    // The driver's preferences: write them with Settings(settingsFile())
    // before starting the driver.
    QString settingsFile() const;
    // Chooses the lab's HTTP or SOCKS5 proxy as the custom proxy in the preferences.
    void chooseCustomProxy(bool socks);
    // Removes the driver's preferences and installed catalogue: the next
    // driver starts as on a fresh installation.
    void resetHome();

    // Starts the driver with these arguments (orval-drive's command line).
    bool startDriver(const QStringList &arguments);
    // Waits for an event line starting with `prefix` (without its time stamp),
    // at index `from` or later. Its index, or -1 after the time-out or when the
    // driver ended first.
    int waitFor(const QString &prefix, int timeoutMs = 60000, int from = 0);
    // The event lines so far, without their time stamps.
    QStringList events();
    // The event lines that start with `prefix`.
    QStringList eventsStartingWith(const QString &prefix);
    void send(const QString &command);
    // Sends the driver a signal (SIGTERM, SIGKILL, ...).
    void signalDriver(int signal);
    // Sends "quit" and waits for the driver to end (killing it after the
    // bound). Its exit code, or -1 when it had to be killed or crashed.
    int quit(int timeoutMs = 45000);
    // Waits for the driver to end by itself; its exit code, or -1.
    int waitForExit(int timeoutMs = 60000);
    // What the driver logged so far (its standard error).
    QString driverLog() const;
    // The events, the driver's log and the servers' logs, for failure messages.
    QString diagnostics();

    // The bundle copy's Contents directory.
    QString bundleContents() const;
    // A folder the driver's user may write to (its temporary folder).
    QString clientFolder() const;
    // Starts `program` as the driver's user with the driver's environment
    // (the product's clean-up run, say).
    void startAsClient(QProcess &process, const QString &program, const QStringList &arguments) const;
    // Kills an OpenVPN server outright, as a server that dies; startServer
    // brings it back (true at once when it runs).
    void stopServer(bool udp);
    bool startServer(bool udp);
    // Freezes an OpenVPN server (SIGSTOP), as a server that stops answering
    // with its connections open, or lets it go on (SIGCONT).
    bool freezeServer(bool udp, bool frozen);
    // Runs an OpenVPN server again, with `extraArguments` after its usual ones.
    bool restartServer(bool udp, const QStringList &extraArguments = QStringList());

    // Runs a program in the test's (client) namespace; its exit code and output.
    static int run(const QString &program, const QStringList &arguments, QString *output = nullptr);
    // The client namespace's routing table (both families), as `ip route` prints it.
    static QString routes();
    // The client namespace's name servers, in /etc/resolv.conf order.
    static QStringList nameServers();
    // The client namespace's black-hole (IPv4) and unreachable (IPv6) routes, as `ip route` prints them.
    static QStringList blackHoleRoutes();

private:
    bool makeBundle();
    bool serveCatalogue();
    bool startServers();
    bool startProxies();
    bool startTunnelResolver();
    void readEvents();
    void stopDriver();
    QString path(const QString &name) const;

    QProcessEnvironment clientEnvironment() const;

    QTemporaryDir m_dir;
    QString m_mainProgram;
    bool m_ordinaryUser;
    QScopedPointer<LabUser> m_user;
    OpenVpnServerOptions m_udp;
    OpenVpnServerOptions m_tcp;
    QProcess m_udpServer;
    QProcess m_tcpServer;
    QProcess m_stunnelServer;
    QProcess m_stealthServer;
    QProcess m_httpProxy;
    QProcess m_socksProxy;
    QProcess m_openConnectServer;
    QProcess m_tunnelResolver;
    QProcess m_driver;
    QByteArray m_pending;
    qint64 m_lastStamp = 0;
    QStringList m_events;
    QByteArray m_driverLog;
};
