#include "openvpn/ManagementSocket.h"

#include "backend/ByteCount.h"
#include "backend/ConnectionParameters.h"
#include "backend/OpenVpnLifeCycleHandler.h"
#include "openvpn/Hold.h"
#include "openvpn/HoldLock.h"
#include "openvpn/LowLatencySocket.h"
#include "openvpn/OpenVpnCommand.h"
#include "openvpn/OpenVpnGenericState.h"
#include "openvpn/Remote.h"
#include "openvpn/RemoteLock.h"
#include "openvpn/UsernamePasswordSanitizer.h"
#include "websvc/CredentialsStore.h"

#include <QDebug>
#include <QScopedValueRollback>
#include <QMetaEnum>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
// Text as the engine sends it: Latin-1 up to the first zero byte.
QString text(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.constData(), static_cast<int>(qstrnlen(bytes.constData(), bytes.size())));
}

// The part after the first colon.
QByteArray restOf(const QByteArray& line)
{
    const int colon = line.indexOf(':');
    return colon < 0 ? QByteArray() : line.mid(colon + 1);
}

template <typename Enum>
QString enumName(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(value));
}

void logLines(const char* prefix, const QByteArray& output)
{
    const QList<QByteArray> lines = output.split('\n');
    for (int i = 0; i < lines.size() - 1; ++i)
        qDebug().noquote() << prefix << text(lines.at(i).trimmed());
    qDebug().noquote() << prefix << text(lines.last());
}
} // namespace

ManagementSocket::ManagementSocket(OsAbstraction& os, OpenVpnLifeCycleHandler& handler, QObject* parent)
    : AbstractManagementSocket(parent)
    , os(os)
    , server(new QTcpServer(this))
    , handler(handler)
{
    connect(server, &QTcpServer::newConnection, this, &ManagementSocket::connectionAccepted);
    if (server->listen(QHostAddress::LocalHost, 0))
        qDebug() << "Server listening on" << server->serverAddress().toString() << ":" << server->serverPort();
    else
        qDebug() << "Could not bind to ephemeral port on listen address" << QHostAddress(QHostAddress::LocalHost).toString()
                 << ":" << server->errorString();
    connect(&process, &QProcess::errorOccurred, this, &ManagementSocket::processError);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ManagementSocket::processFinished);
    connect(&process, &QProcess::readyReadStandardError, this, &ManagementSocket::readStdErr);
    connect(&process, &QProcess::readyReadStandardOutput, this, &ManagementSocket::readStdOut);
}

ManagementSocket::~ManagementSocket()
{
    process.disconnect(this);
    if (socket)
        socket->disconnect(this);
}

quint16 ManagementSocket::serverPort() const
{
    return server->serverPort();
}

void ManagementSocket::startVPN(QSharedPointer<ConnectionParameters> parameters)
{
    pushedOptions = PushedOptions();
    OpenVpnCommand command(os, parameters->getConfigFile(), server->serverPort());
    command.setOpenVpn243Version();
    handler.onOpenVpnPrepareArguments(command);
    awaitingEngine = true;
    terminationPending = true;
    command.start(process);
    handler.onOpenVpnStarted(process);
}

bool ManagementSocket::isProcessRunning()
{
    return process.state() != QProcess::NotRunning;
}

void ManagementSocket::connectionAccepted()
{
    while (server->hasPendingConnections()) {
        QTcpSocket* incoming = server->nextPendingConnection();
        // Anything else on this machine could connect to the port; only the
        // engine of the run being started may drive the client (and be told
        // the credentials). Others are turned away; the engine may still come.
        const bool engine = awaitingEngine && isEngine(*incoming);
        if (!engine) {
            qWarning() << "ManagementSocket: refused a management connection from port" << incoming->peerPort()
                       << (awaitingEngine ? "(not the engine: its socket is not root's)"
                                          : "(no engine is being started, or it is already connected)");
            incoming->abort();
            incoming->deleteLater();
            continue;
        }
        awaitingEngine = false;
        qDebug() << "connectionAccepted";
        connected = true;
        holdCount = 0;
        passwordFailures = 0;
        lineBuffer.clear();
        discardingLine = false;
        handler.onConnectionAccepted();
        dropSocket();
        socket = incoming;
        LowLatencySocket::tune(*socket);
        connect(socket, &QTcpSocket::readyRead, this, &ManagementSocket::readSocket);
        connect(socket, &QTcpSocket::disconnected, this, &ManagementSocket::connectionClosed);
    }
}

void ManagementSocket::dropSocket()
{
    if (!socket)
        return;
    socket->disconnect(this);
    socket->deleteLater();
    socket = nullptr;
}

void ManagementSocket::connectionClosed()
{
    handler.onConnectionClosed();
    dropHold();
    connected = false;
    notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed();
}

void ManagementSocket::readSocket()
{
    if (!socket)
        return;
    lineBuffer.append(socket->readAll());
    LowLatencySocket::acknowledgeAtOnce(*socket);
    int lineFeed;
    while ((lineFeed = lineBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = lineBuffer.left(lineFeed).trimmed();
        lineBuffer.remove(0, lineFeed + 1);
        if (discardingLine) {
            discardingLine = false;
            continue;
        }
        handleMessageFromOpenVpn(line);
    }
    if (lineBuffer.size() > MAX_LINE_LENGTH) {
        qWarning() << "ManagementSocket: discarding a management line longer than" << MAX_LINE_LENGTH << "bytes";
        lineBuffer.clear();
        discardingLine = true;
    }
}

void ManagementSocket::handleMessageFromOpenVpn(const QByteArray& line)
{
    qDebug().noquote() << "OpenVPN mgmt message:" << text(line);
    if (line.startsWith(">HOLD:"))
        handleHold();
    else if (line.startsWith(">LOG:"))
        handleLog(restOf(line));
    else if (line.startsWith(">REMOTE:"))
        handleRemote(restOf(line));
    else if (line.startsWith(">STATE:"))
        handleState(restOf(line));
    else if (line.startsWith(">PASSWORD:Need"))
        handler.onPassword(passwordFailures);
    else if (line.startsWith(">PASSWORD:Verification Failed"))
        ++passwordFailures;
    else if (line.startsWith(">BYTECOUNT:"))
        handleByteCount(restOf(line));
    else if (line.startsWith(">UPDOWN:"))
        handleUpDown(line);
    else if (line.startsWith(">FATAL:"))
        handler.onFatal(text(restOf(line)));
    else
        qDebug().noquote() << "unhandled message:" << text(line);
}

void ManagementSocket::handleHold()
{
    if (holdCount == 0) {
        for (const char* command : {"echo on all", "state on all", "bytecount 1", "log on all", "verb 2"})
            sendCommand(QString::fromLatin1(command));
    }
    if (currentHold) {
        // Handlers may still hold its locks, so it stays alive, but it can no
        // longer answer for the new hold.
        qDebug() << "ManagementSocket: a new hold replaces one still unanswered";
        currentHold->disconnect(this);
    }
    Hold* hold = new Hold(holdCount, this);
    ++holdCount;
    currentHold = hold;
    connect(hold, &Hold::release, this, &ManagementSocket::holdRelease);
    connect(hold, &Hold::abort, this, &ManagementSocket::holdAbort);
    HoldLock* ownLock = (*hold)();
    handler.onHold(*hold);
    ownLock->release();
}

void ManagementSocket::handleLog(const QByteArray& rest)
{
    const QList<QByteArray> fields = rest.split(',');
    if (fields.size() < 3)
        return;
    const QString message = text(fields.mid(2).join(','));
    if (!message.startsWith(QLatin1String("Control Channel:")))
        return;
    qDebug().noquote() << message;
    const QStringList parts = message.mid(message.indexOf(':') + 1).split(',');
    if (parts.size() < 2)
        return;
    const QString tlsVersion = parts.at(0).trimmed();
    const QString cipher = parts.at(1).split(' ').last();
    handler.onControlChannel(tlsVersion, cipher);
}

void ManagementSocket::handleRemote(const QByteArray& rest)
{
    const QStringList fields = text(rest).split(',');
    if (fields.size() < 3) {
        qDebug() << "ManagementSocket: remote query without host, port and protocol";
        return;
    }
    if (currentRemote) {
        qDebug() << "ManagementSocket: a new remote query replaces one still unanswered";
        currentRemote->disconnect(this);
    }
    Remote* remote = new Remote(fields.at(0), fields.at(1).toInt(), fields.at(2));
    remote->setParent(this);
    currentRemote = remote;
    connect(remote, &Remote::release, this, &ManagementSocket::remoteLockRelease);
    connect(remote, &Remote::abort, this, &ManagementSocket::remoteLockAbort);
    RemoteLock* ownLock = remote->getRemoteLock();
    handler.onRemote(*remote);
    ownLock->release();
}

void ManagementSocket::handleState(const QByteArray& rest)
{
    const QStringList fields = text(rest).split(',');
    if (fields.size() < 5) {
        qDebug() << "ManagementSocket: state line with fewer than five fields";
        return;
    }
    handler.onState(OpenVpnGenericState::fromStateLine(fields.at(1), fields.at(2), fields.at(3), fields.at(4)));
}

void ManagementSocket::handleByteCount(const QByteArray& rest)
{
    const QStringList fields = text(rest).split(',');
    if (fields.size() < 2) {
        qDebug() << "ManagementSocket: byte count without two fields";
        return;
    }
    handler.onByteCount(ByteCount(fields.at(0).toULongLong(), fields.at(1).toULongLong()));
}

void ManagementSocket::handleUpDown(const QByteArray& line)
{
    if (line.startsWith(">UPDOWN:UP")) {
        pushedOptions.setUpDown(QStringLiteral("UP"));
    } else if (line.startsWith(">UPDOWN:DOWN")) {
        pushedOptions.setUpDown(QStringLiteral("DOWN"));
    } else if (line == ">UPDOWN:ENV,END") {
        if (pushedOptions.getUpDown() == QLatin1String("UP"))
            handler.onUp(pushedOptions);
        if (pushedOptions.getUpDown() == QLatin1String("DOWN"))
            handler.onDown(pushedOptions);
    } else {
        pushedOptions.addOption(text(line).remove(QStringLiteral(">UPDOWN:ENV,")));
    }
}

void ManagementSocket::sendCommand(const QString& command)
{
    if (!socket) {
        qDebug() << "Warning: OpenVPN management socket is null";
        return;
    }
    if (socket->state() != QAbstractSocket::ConnectedState) {
        qDebug() << "Warning: OpenVPN management connection is closed; command dropped";
        return;
    }
    socket->write(command.toUtf8() + '\n');
}

QString ManagementSocket::escape(const QString& value, const QString& label)
{
    const UsernamePasswordSanitizer sanitizer(value);
    if (sanitizer.containsIllegalChars())
        qDebug().noquote() << "Silently removing illegal characters from" << label;
    return sanitizer.sanitiseEscape();
}

void ManagementSocket::sendUsernamePassword(const QString& username, const QString& password)
{
    // Kept for HalvorixAPIClient, which reads them once the tunnel is up.
    CredentialsStore::setUsernamePassword(username, password);
    sendCommand(QStringLiteral("username \"Auth\" \"%1\"").arg(escape(username, QStringLiteral("Username"))));
    sendCommand(QStringLiteral("password \"Auth\" \"%1\"").arg(escape(password, QStringLiteral("Password"))));
}

void ManagementSocket::sendSigTerm()
{
    qDebug() << "Send SigTerm to OpenVPN";
    if (connected)
        sendCommand(QStringLiteral("signal SIGTERM"));
    else
        process.kill();
}

void ManagementSocket::dropHold()
{
    if (!currentHold)
        return;
    currentHold->disconnect(this);
    currentHold->deleteLater();
    currentHold = nullptr;
}

void ManagementSocket::dropRemote()
{
    if (!currentRemote)
        return;
    currentRemote->disconnect(this);
    currentRemote->deleteLater();
    currentRemote = nullptr;
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
    if (!currentRemote)
        return;
    if (currentRemote->isModified()) {
        const QString command = QStringLiteral("remote MOD %1 %2 %3")
                                    .arg(currentRemote->getHost())
                                    .arg(currentRemote->getPort())
                                    .arg(currentRemote->getProtocol());
        qDebug().noquote() << command;
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
        qDebug() << "processError: failed to start" << enumName(error);
        awaitingEngine = false;
        // No termination follows an engine that never ran.
        terminationPending = false;
        handler.onOpenVpnFailedToStart();
        return;
    }
    qDebug().noquote() << "processError:" << enumName(error) << ", ignored";
}

void ManagementSocket::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    qDebug() << "processFinished" << exitCode << "," << enumName(exitStatus);
    awaitingEngine = false;
    notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed();
}

void ManagementSocket::readStdOut()
{
    if (process.openMode() == QIODevice::NotOpen)
        return;
    logLines("OPENVPN STDOUT:", process.readAllStandardOutput());
}

void ManagementSocket::readStdErr()
{
    if (process.openMode() == QIODevice::NotOpen)
        return;
    logLines("OPENVPN STDERR:", process.readAllStandardError());
}

void ManagementSocket::notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed()
{
    readStdOut();
    readStdErr();
    if (!terminationPending || connected || process.state() != QProcess::NotRunning)
        return;
    terminationPending = false;
    const QScopedValueRollback<bool> reporting(reportingTermination, true);
    qDebug() << "Vpn Terminated: exit code:" << process.exitCode() << "- exit status:" << enumName(process.exitStatus());
    handler.onOpenVpnTerminated();
    emit onOpenVpnTerminated();
}
