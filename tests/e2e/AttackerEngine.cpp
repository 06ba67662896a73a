#include "AttackerEngine.h"

#include "AttackerRun.h"

#include "RecordingOsAbstraction.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "openvpn/EngineGate.h"
#include "openvpn/OpenVpnCommand.h"

#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>

namespace {
// Longer than the client takes to turn a stranger away; far shorter than
// the engine's own TLS time-out.
constexpr int KEPT_MS = 3000;
// A port nothing listens at: the engine's remote before it is changed.
constexpr quint16 HARMLESS_PORT = 9;
} // namespace

AttackerEngine::AttackerEngine(Aim aim, quint16 victimPort, const QString &dir, const QString &ca, QObject *parent)
    : QObject(parent)
    , m_aim(aim)
    , m_victimPort(victimPort)
    , m_dir(dir)
    , m_ca(ca)
{
    m_kept.setSingleShot(true);
    m_kept.setInterval(KEPT_MS);
    connect(&m_kept, &QTimer::timeout, this, &AttackerEngine::held);
    connect(&m_management, &QTcpServer::newConnection, this, &AttackerEngine::managementConnected);
    m_helper.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_helper, &QProcess::readyRead, this, &AttackerEngine::readEngineOutput);
    connect(&m_helper, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, [this](int code) {
        readEngineOutput();
        AttackerRun::say(QStringLiteral("run ended %1 %2: %3").arg(m_victimPort).arg(code).arg(m_lastLine));
        m_kept.stop();
        if (!m_stopping)
            QTimer::singleShot(20, this, &AttackerEngine::startRun);
    });
}

AttackerEngine::~AttackerEngine()
{
    stop();
}

bool AttackerEngine::aimFromName(const QString &name, Aim &aim)
{
    if (name == QLatin1String("remote"))
        aim = Aim::Remote;
    else if (name == QLatin1String("http-proxy"))
        aim = Aim::HttpProxy;
    else if (name == QLatin1String("changed-remote"))
        aim = Aim::ChangedRemote;
    else
        return false;
    return true;
}

QString AttackerEngine::config() const
{
    return QStringLiteral("%1/engine-%2.ovpn").arg(m_dir).arg(quintptr(this), 0, 16);
}

bool AttackerEngine::start()
{
    QFile ca(m_ca);
    QFile file(config());
    const quint16 remotePort = m_aim == Aim::Remote ? m_victimPort : HARMLESS_PORT;
    if (!ca.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly)
        || file.write("client\ndev tun\nproto tcp-client\nremote 127.0.0.1 " + QByteArray::number(remotePort)
                      + "\nauth-user-pass\nverb 4\n<ca>\n" + ca.readAll() + "</ca>\n")
               <= 0)
        return false;
    file.close();
    if (!m_management.listen(QHostAddress::LocalHost, m_managementPort))
        return false;
    startRun();
    return true;
}

void AttackerEngine::startRun()
{
    if (m_stopping)
        return;
    RecordingOsAbstraction os;
    OpenVpnCommand command(os, QFileInfo(config()), m_management.serverPort());
    command.setCipher(BackendOpenVPNConfigCipher("AES-256-GCM", 1194, "", "", "", "", "", 0));
    if (m_aim == Aim::ChangedRemote)
        command.enableManagementQueryRemote();
    if (m_aim == Aim::HttpProxy)
        command.setHttpProxy(QStringLiteral("127.0.0.1"), QString::number(m_victimPort));
    // A secret of the attacker's own run: the client's it never learns.
    command.setEngineSecret(EngineGate::newSecret());
    AttackerRun::say(QStringLiteral("run %1").arg(m_victimPort));
    command.start(m_helper);
}

void AttackerEngine::readEngineOutput()
{
    m_pending += m_helper.readAll();
    for (int end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        engineLine(QString::fromLocal8Bit(m_pending.left(end)).trimmed());
        m_pending.remove(0, end + 1);
    }
}

void AttackerEngine::engineLine(const QString &line)
{
    if (!line.startsWith(QLatin1String("Use --help")))
        m_lastLine = line;
    if (line.contains(QStringLiteral("TCP connection established with [AF_INET]127.0.0.1:%1").arg(m_victimPort))) {
        AttackerRun::say(QStringLiteral("reached %1").arg(m_victimPort));
        m_kept.start();
    } else if (m_kept.isActive()
               && (line.contains(QLatin1String("Connection reset")) || line.contains(QLatin1String("SIGUSR1"))
                   || line.contains(QLatin1String("SIGTERM")) || line.contains(QLatin1String("Exiting")))) {
        m_kept.stop();
        AttackerRun::say(QStringLiteral("turned away %1").arg(m_victimPort));
        // An engine whose remote was changed waits before it tries again: a
        // new run comes sooner.
        if (m_aim == Aim::ChangedRemote && m_engine)
            m_engine->write("signal SIGTERM\n");
    } else if (line.contains(QLatin1String("Failure creating command")) || line.contains(QLatin1String("Err "))) {
        // The helper refused the run: what it said is the attack's outcome.
        AttackerRun::say(QStringLiteral("helper refused %1: %2").arg(m_victimPort).arg(line));
    }
}

void AttackerEngine::managementConnected()
{
    while (QTcpSocket *socket = m_management.nextPendingConnection()) {
        if (m_engine)
            m_engine->deleteLater();
        m_engine = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                managementLine(socket->readLine().trimmed());
        });
    }
}

void AttackerEngine::managementLine(const QByteArray &line)
{
    if (m_stopping) {
        // A run that came up after stop() was asked for.
        m_engine->write("signal SIGTERM\n");
    } else if (line.startsWith(">HOLD:")) {
        m_holding = m_holdNext;
        if (!m_holding)
            m_engine->write("hold release\n");
    } else if (line.startsWith(">PASSWORD:Need 'Auth'")) {
        m_engine->write("username Auth mallory\npassword Auth mallory\n");
    } else if (line.startsWith(">REMOTE:")) {
        m_asked = true;
        answerRemote();
    }
}

void AttackerEngine::goFor(quint16 victimPort)
{
    m_victimPort = victimPort;
    answerRemote();
}

void AttackerEngine::answerRemote()
{
    if (!m_asked || m_victimPort == 0 || !m_engine)
        return;
    m_asked = false;
    m_engine->write("remote MOD 127.0.0.1 " + QByteArray::number(m_victimPort) + "\n");
}

void AttackerEngine::release(quint16 victimPort)
{
    m_victimPort = victimPort;
    m_holding = false;
    m_holdNext = false;
    m_engine->write("hold release\n");
}

void AttackerEngine::held()
{
    if (!AttackerRun::isClientListener(m_victimPort)) {
        // Nobody listened there: the engine's connection met itself (its
        // own port was the one it went for). It starts again.
        AttackerRun::say(QStringLiteral("met itself %1").arg(m_victimPort));
        if (m_engine)
            m_engine->write("signal SIGUSR1\n");
        return;
    }
    AttackerRun::say(QStringLiteral("won %1: the client kept the attacker's engine as its own").arg(m_victimPort));
}

void AttackerEngine::requestStop()
{
    m_stopping = true;
    m_kept.stop();
    if (m_helper.state() != QProcess::NotRunning && m_engine && m_engine->state() == QAbstractSocket::ConnectedState) {
        m_engine->write("signal SIGTERM\n");
        m_engine->flush();
    }
}

void AttackerEngine::stop()
{
    requestStop();
    if (m_helper.state() != QProcess::NotRunning && !m_helper.waitForFinished(5000))
        AttackerRun::say(QStringLiteral("engine left %1").arg(m_victimPort));
}
