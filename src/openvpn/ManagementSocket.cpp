#include "openvpn/ManagementSocket.h"

#include "catalogue/ConnectionParameters.h"
#include "core/ByteCount.h"
#include "core/OpenVpnGenericState.h"
#include "core/OpenVpnLifeCycleHandler.h"
#include "openvpn/EngineGate.h"
#include "openvpn/EngineLogging.h"
#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/LowLatencySocket.h"
#include "openvpn/OpenVpnCommand.h"
#include "openvpn/OpenVpnFailureLog.h"
#include "openvpn/Remote.h"
#include "openvpn/RemoteLock.h"
#include "openvpn/UsernamePasswordSanitizer.h"
#include "websvc/CredentialsStore.h"

#include <QDebug>
#include <QMetaEnum>
#include <QScopedValueRollback>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {
// Text as the engine sends it: Latin-1 up to the first zero byte.
QString text(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.constData(), static_cast<int>(qstrnlen(bytes.constData(), bytes.size())));
}

// The part after the first colon.
QByteArray restOf(const QByteArray &line)
{
    const int colon = line.indexOf(':');
    return colon < 0 ? QByteArray() : line.mid(colon + 1);
}

template<typename Enum>
QString enumName(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(value));
}

void logLines(const char *prefix, const QByteArray &output)
{
    const QList<QByteArray> lines = output.split('\n');
    for (int i = 0; i < lines.size() - 1; ++i)
        qCDebug(lcEngine).noquote() << prefix << text(lines.at(i).trimmed());
    qCDebug(lcEngine).noquote() << prefix << text(lines.last());
}
} // namespace

ManagementSocket::ManagementSocket(OsAbstraction &os, OpenVpnLifeCycleHandler &handler, QObject *parent)
    : AbstractManagementSocket(parent)
    , m_os(os)
    , m_server(new QTcpServer(this))
    , m_gate(new EngineGate(*m_server, "management", this))
    , m_handler(handler)
{
    connect(m_gate, &EngineGate::engineConnected, this, &ManagementSocket::engineConnected);
    if (m_server->listen(QHostAddress::LocalHost, 0))
        qCDebug(lcEngine) << "Server listening on" << m_server->serverAddress().toString() << ":"
                          << m_server->serverPort();
    else
        qCDebug(lcEngine) << "Could not bind to ephemeral port on listen address"
                          << QHostAddress(QHostAddress::LocalHost).toString() << ":" << m_server->errorString();
    connect(&m_process, &QProcess::errorOccurred, this, &ManagementSocket::processError);
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ManagementSocket::processFinished);
    connect(&m_process, &QProcess::readyReadStandardError, this, &ManagementSocket::readStdErr);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ManagementSocket::readStdOut);
}

ManagementSocket::~ManagementSocket()
{
    m_process.disconnect(this);
    if (m_socket)
        m_socket->disconnect(this);
}

quint16 ManagementSocket::serverPort() const
{
    return m_server->serverPort();
}

void ManagementSocket::startVPN(QSharedPointer<ConnectionParameters> parameters)
{
    m_pushedOptions = PushedOptions();
    m_where.clear();
    OpenVpnCommand command(m_os, parameters->getConfigFile(), m_server->serverPort());
    command.setOpenVpn243Version();
    m_handler.onOpenVpnPrepareArguments(command);
    const QByteArray secret = EngineGate::newSecret();
    command.setEngineSecret(secret);
    // The listing of the echo history is all a connection hears before it
    // has shown the secret; it tells nothing.
    m_gate->open("echo on all\n", [secret](const QByteArray &line) { return showsSecret(line, secret); });
    m_terminationPending = true;
    command.start(m_process);
    m_handler.onOpenVpnStarted(m_process);
}

bool ManagementSocket::showsSecret(const QByteArray &line, const QByteArray &secret)
{
    static const QByteArray realTime = QByteArrayLiteral(">ECHO:");
    const QByteArray entry = line.startsWith(realTime) ? line.mid(realTime.size()) : line;
    const int comma = entry.indexOf(',');
    if (comma <= 0 || entry.mid(comma + 1) != secret || secret.isEmpty())
        return false;
    return std::all_of(entry.cbegin(), entry.cbegin() + comma, [](char c) { return c >= '0' && c <= '9'; });
}

bool ManagementSocket::isProcessRunning()
{
    return m_process.state() != QProcess::NotRunning;
}

void ManagementSocket::engineConnected(QTcpSocket *socket, const QList<QByteArray> &before)
{
    qCDebug(lcEngine) << "connectionAccepted";
    m_connected = true;
    m_holdCount = 0;
    m_passwordFailures = 0;
    m_lineBuffer.clear();
    m_discardingLine = false;
    m_handler.onConnectionAccepted();
    dropSocket();
    m_socket = socket;
    connect(m_socket, &QTcpSocket::readyRead, this, &ManagementSocket::readSocket);
    connect(m_socket, &QTcpSocket::disconnected, this, &ManagementSocket::connectionClosed);
    for (const QByteArray &line : before) {
        if (!m_socket)
            return;
        handleMessageFromOpenVpn(line);
    }
    // What came after the secret is already read from the system.
    readSocket();
}

void ManagementSocket::dropSocket()
{
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->deleteLater();
    m_socket = nullptr;
}

void ManagementSocket::connectionClosed()
{
    m_handler.onConnectionClosed();
    dropHold();
    m_connected = false;
    notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed();
}

void ManagementSocket::readSocket()
{
    if (!m_socket)
        return;
    m_lineBuffer.append(m_socket->readAll());
    LowLatencySocket::acknowledgeAtOnce(*m_socket);
    int lineFeed;
    while ((lineFeed = m_lineBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_lineBuffer.left(lineFeed).trimmed();
        m_lineBuffer.remove(0, lineFeed + 1);
        if (m_discardingLine) {
            m_discardingLine = false;
            continue;
        }
        handleMessageFromOpenVpn(line);
    }
    if (m_lineBuffer.size() > MAX_LINE_LENGTH) {
        qCWarning(lcEngine) << "ManagementSocket: discarding a management line longer than" << MAX_LINE_LENGTH
                            << "bytes";
        m_lineBuffer.clear();
        m_discardingLine = true;
    }
}

void ManagementSocket::handleMessageFromOpenVpn(const QByteArray &line)
{
    qCDebug(lcEngine).noquote() << "OpenVPN mgmt message:" << text(line);
    if (line.startsWith(">HOLD:"))
        handleHold();
    else if (line.startsWith(">LOG:"))
        handleLog(restOf(line));
    else if (line.startsWith(">REMOTE:"))
        handleRemote(restOf(line));
    else if (line.startsWith(">STATE:"))
        handleState(restOf(line));
    else if (line.startsWith(">PASSWORD:Need"))
        m_handler.onPassword(m_passwordFailures);
    else if (line.startsWith(">PASSWORD:Verification Failed"))
        handleVerificationFailed(line);
    else if (line.startsWith(">BYTECOUNT:"))
        handleByteCount(restOf(line));
    else if (line.startsWith(">UPDOWN:"))
        handleUpDown(line);
    else if (line.startsWith(">FATAL:"))
        m_handler.onFatal(text(restOf(line)));
    else
        qCDebug(lcEngine).noquote() << "unhandled message:" << text(line);
}

void ManagementSocket::handleHold()
{
    if (m_holdCount == 0) {
        // The echo history was asked for when the engine connected.
        for (const char *command : {"state on all", "bytecount 1", "log on all", "verb 2"})
            sendCommand(QString::fromLatin1(command));
    }
    if (m_currentHold) {
        // Handlers may still hold its locks, so it stays alive, but it can no
        // longer answer for the new hold.
        qCDebug(lcEngine) << "ManagementSocket: a new hold replaces one still unanswered";
        m_currentHold->disconnect(this);
    }
    Hold *hold = new Hold(m_holdCount, this);
    ++m_holdCount;
    m_currentHold = hold;
    connect(hold, &Hold::release, this, &ManagementSocket::holdRelease);
    connect(hold, &Hold::abort, this, &ManagementSocket::holdAbort);
    HoldLock *ownLock = (*hold)();
    m_handler.onHold(*hold);
    ownLock->release();
}

void ManagementSocket::handleLog(const QByteArray &rest)
{
    const QList<QByteArray> fields = rest.split(',');
    if (fields.size() < 3)
        return;
    const QString message = text(fields.mid(2).join(','));
    if (!message.startsWith(QLatin1String("Control Channel:"))) {
        const ConnectionFailure failure = OpenVpnFailureLog::fromLogMessage(message, m_where);
        if (!failure.isNull())
            m_handler.onFailure(failure);
        return;
    }
    qCDebug(lcEngine).noquote() << message;
    const QStringList parts = message.mid(message.indexOf(':') + 1).split(',');
    if (parts.size() < 2)
        return;
    const QString tlsVersion = parts.at(0).trimmed();
    const QString cipher = parts.at(1).split(' ').last();
    m_handler.onControlChannel(tlsVersion, cipher);
}

void ManagementSocket::handleVerificationFailed(const QByteArray &line)
{
    ++m_passwordFailures;
    const ConnectionFailure failure = OpenVpnFailureLog::fromVerificationFailed(text(line));
    if (!failure.isNull())
        m_handler.onFailure(failure);
}

void ManagementSocket::handleRemote(const QByteArray &rest)
{
    const QStringList fields = text(rest).split(',');
    if (fields.size() < 3) {
        qCDebug(lcEngine) << "ManagementSocket: remote query without host, port and protocol";
        return;
    }
    if (m_currentRemote) {
        qCDebug(lcEngine) << "ManagementSocket: a new remote query replaces one still unanswered";
        m_currentRemote->disconnect(this);
    }
    Remote *remote = new Remote(fields.at(0), fields.at(1).toInt(), fields.at(2));
    remote->setParent(this);
    m_currentRemote = remote;
    connect(remote, &Remote::release, this, &ManagementSocket::remoteLockRelease);
    connect(remote, &Remote::abort, this, &ManagementSocket::remoteLockAbort);
    RemoteLock *ownLock = remote->getRemoteLock();
    m_handler.onRemote(*remote);
    ownLock->release();
}

void ManagementSocket::handleState(const QByteArray &rest)
{
    const QStringList fields = text(rest).split(',');
    if (fields.size() < 5) {
        qCDebug(lcEngine) << "ManagementSocket: state line with fewer than five fields";
        return;
    }
    m_handler.onState(OpenVpnGenericState::fromStateLine(fields.at(1), fields.at(2), fields.at(3), fields.at(4)));
}

void ManagementSocket::handleByteCount(const QByteArray &rest)
{
    const QStringList fields = text(rest).split(',');
    if (fields.size() < 2) {
        qCDebug(lcEngine) << "ManagementSocket: byte count without two fields";
        return;
    }
    m_handler.onByteCount(ByteCount(fields.at(0).toULongLong(), fields.at(1).toULongLong()));
}

void ManagementSocket::handleUpDown(const QByteArray &line)
{
    if (line.startsWith(">UPDOWN:UP")) {
        m_pushedOptions.setUpDown(QStringLiteral("UP"));
    } else if (line.startsWith(">UPDOWN:DOWN")) {
        m_pushedOptions.setUpDown(QStringLiteral("DOWN"));
    } else if (line == ">UPDOWN:ENV,END") {
        if (m_pushedOptions.getUpDown() == QLatin1String("UP"))
            m_handler.onUp(m_pushedOptions);
        if (m_pushedOptions.getUpDown() == QLatin1String("DOWN"))
            m_handler.onDown(m_pushedOptions);
    } else {
        m_pushedOptions.addOption(text(line).remove(QStringLiteral(">UPDOWN:ENV,")));
    }
}

void ManagementSocket::sendCommand(const QString &command)
{
    if (!m_socket) {
        qCDebug(lcEngine) << "Warning: OpenVPN management socket is null";
        return;
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        qCDebug(lcEngine) << "Warning: OpenVPN management connection is closed; command dropped";
        return;
    }
    m_socket->write(command.toUtf8() + '\n');
}

QString ManagementSocket::escape(const QString &value, const QString &label)
{
    const UsernamePasswordSanitizer sanitizer(value);
    if (sanitizer.containsIllegalChars())
        qCDebug(lcEngine).noquote() << "Silently removing illegal characters from" << label;
    return sanitizer.sanitiseEscape();
}

void ManagementSocket::sendUsernamePassword(const QString &username, const QString &password)
{
    // Kept for HalvorixAPIClient, which reads them once the tunnel is up.
    CredentialsStore::setUsernamePassword(username, password);
    sendCommand(QStringLiteral("username \"Auth\" \"%1\"").arg(escape(username, QStringLiteral("Username"))));
    sendCommand(QStringLiteral("password \"Auth\" \"%1\"").arg(escape(password, QStringLiteral("Password"))));
}

void ManagementSocket::sendSigTerm()
{
    qCDebug(lcEngine) << "Send SigTerm to OpenVPN";
    if (m_connected)
        sendCommand(QStringLiteral("signal SIGTERM"));
    else
        m_process.kill();
}

void ManagementSocket::dropHold()
{
    if (!m_currentHold)
        return;
    m_currentHold->disconnect(this);
    m_currentHold->deleteLater();
    m_currentHold = nullptr;
}

void ManagementSocket::dropRemote()
{
    if (!m_currentRemote)
        return;
    m_currentRemote->disconnect(this);
    m_currentRemote->deleteLater();
    m_currentRemote = nullptr;
}

void ManagementSocket::holdRelease()
{
    dropHold();
    sendCommand(QStringLiteral("hold release"));
}

void ManagementSocket::holdAbort()
{
    dropHold();
    sendSigTerm();
}

void ManagementSocket::remoteLockRelease()
{
    if (!m_currentRemote)
        return;
    m_where = OpenVpnFailureLog::where(m_currentRemote->getProtocol(), m_currentRemote->getPort());
    if (m_currentRemote->isModified()) {
        const QString command = QStringLiteral("remote MOD %1 %2 %3")
                                    .arg(m_currentRemote->getHost())
                                    .arg(m_currentRemote->getPort())
                                    .arg(m_currentRemote->getProtocol());
        qCDebug(lcEngine).noquote() << command;
        sendCommand(command);
    } else {
        sendCommand(QStringLiteral("remote ACCEPT"));
    }
    dropRemote();
}

void ManagementSocket::remoteLockAbort()
{
    dropRemote();
    sendSigTerm();
}

void ManagementSocket::processError(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart) {
        qCDebug(lcEngine) << "processError: failed to start" << enumName(error);
        m_gate->close();
        // No termination follows an engine that never ran.
        m_terminationPending = false;
        m_handler.onOpenVpnFailedToStart();
        return;
    }
    qCDebug(lcEngine).noquote() << "processError:" << enumName(error) << ", ignored";
}

void ManagementSocket::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    qCDebug(lcEngine) << "processFinished" << exitCode << "," << enumName(exitStatus);
    m_gate->close();
    notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed();
}

void ManagementSocket::readStdOut()
{
    if (m_process.openMode() == QIODevice::NotOpen)
        return;
    logLines("OPENVPN STDOUT:", m_process.readAllStandardOutput());
}

void ManagementSocket::readStdErr()
{
    if (m_process.openMode() == QIODevice::NotOpen)
        return;
    logLines("OPENVPN STDERR:", m_process.readAllStandardError());
}

void ManagementSocket::notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed()
{
    readStdOut();
    readStdErr();
    if (!m_terminationPending || m_connected || m_process.state() != QProcess::NotRunning)
        return;
    m_terminationPending = false;
    const QScopedValueRollback<bool> reporting(m_reportingTermination, true);
    qCDebug(lcEngine) << "Vpn Terminated: exit code:" << m_process.exitCode()
                      << "- exit status:" << enumName(m_process.exitStatus());
    m_handler.onOpenVpnTerminated();
    emit onOpenVpnTerminated();
}
