#include "AttackerRun.h"

#include "AttackerEngine.h"

#include "peerowner/TcpSocketTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

const char *const AttackerRun::ATTACK = "ORVAL_ATTACK";
const char *const AttackerRun::VICTIM_UID = "ORVAL_ATTACK_VICTIM_UID";
const char *const AttackerRun::ARGUMENT = "ORVAL_ATTACK_ARGUMENT";
const char *const AttackerRun::DIRECTORY = "ORVAL_ATTACK_DIRECTORY";
const char *const AttackerRun::CA = "ORVAL_ATTACK_CA";

namespace {
// Engines per port of the client's: their attempts come closer together.
constexpr int ENGINES_PER_PORT = 3;
constexpr int HELD_ENGINES = 10;
// The race: at most this many ports in the range, and its engines'
// management ports from here on (outside any range the test sets).
constexpr int RACE_PORTS = 32;
constexpr quint16 RACE_MANAGEMENT_BASE = 21000;
constexpr int SCAN_MS = 10;
} // namespace

AttackerRun::AttackerRun()
    : m_attack(qEnvironmentVariable(ATTACK))
    , m_victim(qEnvironmentVariable(VICTIM_UID).toLongLong())
    , m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    m_scan.setInterval(SCAN_MS);
    connect(&m_input, &QSocketNotifier::activated, this, [this] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            finish();
    });
}

int AttackerRun::main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    AttackerRun run;
    if (!run.start())
        return 2;
    return app.exec();
}

void AttackerRun::say(const QString &line)
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    std::printf("%s @%lld\n", qPrintable(line), clock.elapsed());
    std::fflush(stdout);
}

bool AttackerRun::start()
{
    if (m_attack == QLatin1String("race"))
        return raceForTheEphemeralPorts();
    AttackerEngine::Aim aim;
    if (m_attack != QLatin1String("v6-only") && !AttackerEngine::aimFromName(m_attack, aim)) {
        say(QStringLiteral("unknown attack ") + m_attack);
        return false;
    }
    if (m_attack != QLatin1String("v6-only") && aim == AttackerEngine::Aim::ChangedRemote) {
        // The engines look for the answer to their remote query once a
        // second: released one after another, they ask at times spread over
        // that second, and, told the port the moment the client's helper run
        // shows, one of them connects while the client waits for its engine.
        for (int i = 0; i < HELD_ENGINES; ++i) {
            auto *engine = new AttackerEngine(aim, 0, qEnvironmentVariable(DIRECTORY), qEnvironmentVariable(CA), this);
            m_engines << engine;
            engine->holdFirst();
            if (!engine->start())
                return false;
        }
        connect(&m_scan, &QTimer::timeout, this, [this] {
            if (!allHolding())
                return;
            m_scan.disconnect(this);
            for (int i = 0; i < m_engines.size(); ++i) {
                AttackerEngine *engine = m_engines.at(i);
                QTimer::singleShot(i * 1000 / HELD_ENGINES, engine, [engine] { engine->release(0); });
            }
            QTimer::singleShot(1000, this, [this] {
                connect(&m_scan, &QTimer::timeout, this, &AttackerRun::watchHelperRuns);
                say(QStringLiteral("ready"));
            });
        });
        m_scan.start();
        return true;
    }
    connect(&m_scan, &QTimer::timeout, this, &AttackerRun::scan);
    scan();
    m_scan.start();
    say(QStringLiteral("ready"));
    return true;
}

namespace {
QList<quint16> listenersOf(long long uid)
{
    const auto loopback = orvalplatform::ipv4Address(127, 0, 0, 1);
    QList<quint16> ports;
    for (const orvalplatform::TcpSocketEntry &entry : orvalplatform::readTcpSocketTables()) {
        if (entry.state == orvalplatform::TCP_LISTEN_STATE && entry.uid == uid && entry.local.address == loopback)
            ports << entry.local.port;
    }
    return ports;
}
} // namespace

bool AttackerRun::isClientListener(quint16 port)
{
    return listenersOf(qEnvironmentVariable(VICTIM_UID).toLongLong()).contains(port);
}

void AttackerRun::scan()
{
    for (const quint16 port : listenersOf(m_victim)) {
        if (!m_seen.contains(port)) {
            m_seen.insert(port);
            goFor(port);
        }
    }
}

// The client's helper runs of the OpenVPN command: "Stelvane OpenVPN
// PROGRAM CONFIG-DIR CONFIG-FILE MANAGEMENT-PORT ...", its real user the client's.
void AttackerRun::watchHelperRuns()
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : entries) {
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (m_helperRuns.contains(pid) || !pid.at(0).isDigit() || !command.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = command.readAll().split('\0');
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (arguments.size() < 6 || !arguments.at(0).endsWith("/Stelvane") || arguments.at(1) != "OpenVPN"
            || !status.open(QIODevice::ReadOnly)
            || !status.readAll().contains("\nUid:\t" + QByteArray::number(m_victim) + '\t'))
            continue;
        m_helperRuns.insert(pid);
        // The client's user may run clients in other network namespaces too
        // (other labs): this one listens here.
        const quint16 port = quint16(arguments.at(5).toUInt());
        if (!isClientListener(port))
            continue;
        say(QStringLiteral("aimed at %1").arg(port));
        for (AttackerEngine *engine : qAsConst(m_engines))
            engine->goFor(port);
    }
}

void AttackerRun::goFor(quint16 port)
{
    say(QStringLiteral("aimed at %1").arg(port));
    if (m_attack == QLatin1String("v6-only")) {
        holdIpv6Only(port);
        return;
    }
    AttackerEngine::Aim aim;
    AttackerEngine::aimFromName(m_attack, aim);
    for (int i = 0; i < ENGINES_PER_PORT; ++i) {
        auto *engine = new AttackerEngine(aim, port, qEnvironmentVariable(DIRECTORY), qEnvironmentVariable(CA), this);
        m_engines << engine;
        if (!engine->start())
            say(QStringLiteral("cannot start an engine for %1").arg(port));
    }
}

// [::]:PORT with IPV6_V6ONLY shares no address with the client's 127.0.0.1:PORT,
// so both may listen; a check that reads "is there another user's listener
// that reaches loopback at this port" without the flag sees one here.
void AttackerRun::holdIpv6Only(quint16 port)
{
    const int fd = ::socket(AF_INET6, SOCK_STREAM, 0);
    const int on = 1;
    sockaddr_in6 address {};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(port);
    address.sin6_addr = in6addr_any;
    auto *server = new QTcpServer(this);
    if (fd < 0 || ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0
        || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0
        || !server->setSocketDescriptor(fd)) {
        say(QStringLiteral("cannot hold [::]:%1").arg(port));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    say(QStringLiteral("holding [::]:%1").arg(port));
    connect(server, &QTcpServer::newConnection, this, [server, port] {
        while (QTcpSocket *socket = server->nextPendingConnection()) {
            say(QStringLiteral("contact %1").arg(port));
            socket->deleteLater();
        }
    });
}

bool AttackerRun::raceForTheEphemeralPorts()
{
    const QStringList range = qEnvironmentVariable(ARGUMENT).split(QLatin1Char(' '));
    const int first = range.value(0).toInt();
    const int last = range.value(1).toInt();
    if (range.size() != 2 || first <= 0 || last < first || last - first >= RACE_PORTS) {
        say(QStringLiteral("not a narrow range: ") + range.join(QLatin1Char(' ')));
        return false;
    }
    for (int port = first; port <= last; ++port) {
        auto *own = new QTcpServer(this);
        auto *engine = new AttackerEngine(AttackerEngine::Aim::Remote, quint16(port), qEnvironmentVariable(DIRECTORY),
                                          qEnvironmentVariable(CA), this);
        m_ports << own;
        m_engines << engine;
        engine->setManagementPort(quint16(RACE_MANAGEMENT_BASE + port - first));
        engine->holdFirst();
        if (!own->listen(QHostAddress::LocalHost, quint16(port)) || !engine->start()) {
            say(QStringLiteral("cannot hold %1").arg(port));
            return false;
        }
    }
    connect(&m_scan, &QTimer::timeout, this, &AttackerRun::letGoOfThePorts);
    m_scan.start();
    return true;
}

// Once every engine was checked and holds, the ports go to whoever takes them next.
bool AttackerRun::allHolding() const
{
    return std::all_of(m_engines.cbegin(), m_engines.cend(),
                       [](const AttackerEngine *engine) { return engine->isHolding(); });
}

void AttackerRun::letGoOfThePorts()
{
    if (!allHolding())
        return;
    m_scan.stop();
    qDeleteAll(m_ports);
    m_ports.clear();
    say(QStringLiteral("ready"));
    for (AttackerEngine *engine : qAsConst(m_engines)) {
        say(QStringLiteral("aimed at %1").arg(engine->victimPort()));
        engine->release(engine->victimPort());
    }
}

void AttackerRun::finish()
{
    m_scan.stop();
    m_input.setEnabled(false);
    // All told at once, then each awaited: their ends overlap.
    for (AttackerEngine *engine : qAsConst(m_engines))
        engine->requestStop();
    for (AttackerEngine *engine : qAsConst(m_engines))
        engine->stop();
    say(QStringLiteral("done"));
    QCoreApplication::quit();
}
