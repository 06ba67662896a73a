#include "openconnect/OpenConnectManagementSocket.h"

#include "catalogue/ConnectionParameters.h"
#include "catalogue/NullConnectionParameters.h"
#include "core/ByteCount.h"
#include "core/ErrorMessage.h"
#include "core/OpenVpnGenericState.h"
#include "core/OpenVpnLifeCycleHandler.h"
#include "core/VpnFrontend.h"
#include "openconnect/OpenConnectCommand.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "openconnect/OpenConnectJson.h"
#include "openconnect/OpenConnectProgress.h"
#include "openconnect/OpenConnectUsernamePasswordSanitizer.h"
#include "openconnect/VpncScript.h"
#include "openvpn/EngineGate.h"
#include "openvpn/EngineLogging.h"
#include "openvpn/LowLatencySocket.h"
#include "openvpn/Remote.h"
#include "openvpn/RemoteLock.h"
#include "prefs/Settings.h"
#include "websvc/CredentialsStore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMetaEnum>
#include <QRandomGenerator>
#include <QScopedValueRollback>
#include <QTcpServer>
#include <QTcpSocket>

const QString OpenConnectManagementSocket::LOGIN_FAILED_MESSAGE =
    QStringLiteral("Login Failed. Please try to connect again.");

namespace {

const QByteArray PROGRESS = QByteArrayLiteral(">VPNINFO_PROGRESS");

template<typename Enum>
QString enumName(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(value));
}

OpenVpnGenericState genericState(OpenVpnState state)
{
    return OpenVpnGenericState(OpenVpnGenericState::nameOf(state), state);
}

OpenConnectManagementSocket::LoginFailedNotifier &loginFailedNotifier()
{
    static OpenConnectManagementSocket::LoginFailedNotifier notifier;
    return notifier;
}

void notifyLoginFailed(const QString &message)
{
    if (loginFailedNotifier())
        loginFailedNotifier()(message);
    else
        qCWarning(lcEngine).noquote() << "OpenConnect login failed, nobody to tell the user:" << message;
}

} // namespace

OpenConnectManagementSocket::OpenConnectManagementSocket(OsAbstraction &os, VpnFrontend &frontend,
                                                         OpenVpnLifeCycleHandler &handler)
    : m_os(os)
    , m_parameters(new NullConnectionParameters)
    , m_frontend(frontend)
    , m_cmdFdServer(new QTcpServer(this))
    , m_cmdFdGate(new EngineGate(*m_cmdFdServer, "cmd_fd", this))
    , m_cmdFdWriteServer(new QTcpServer(this))
    , m_cmdFdWriteGate(new EngineGate(*m_cmdFdWriteServer, "cmd_fd_write", this))
    , m_handler(handler)
{
    listen(m_cmdFdServer);
    listen(m_cmdFdWriteServer);
    connect(m_cmdFdGate, &EngineGate::engineConnected, this, &OpenConnectManagementSocket::connectionAccepted_cmd_fd);
    connect(m_cmdFdWriteGate, &EngineGate::engineConnected, this,
            &OpenConnectManagementSocket::connectionAccepted_cmd_fd_write);
    connect(&m_process, &QProcess::errorOccurred, this, &OpenConnectManagementSocket::processError);
    connect(&m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &OpenConnectManagementSocket::processFinished);
    connect(&m_process, &QProcess::readyReadStandardError, this, &OpenConnectManagementSocket::readStdErr);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &OpenConnectManagementSocket::readStdOut);
    connect(&m_statusTimer, &QTimer::timeout, this, &OpenConnectManagementSocket::statusRequest);
    m_connectedStateTimer.setSingleShot(true);
    m_connectedStateTimer.setInterval(CONNECTED_STATE_DELAY_MS);
    connect(&m_connectedStateTimer, &QTimer::timeout, this, &OpenConnectManagementSocket::sendConnectedState);
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(STOP_GRACE_MS);
    connect(&m_killTimer, &QTimer::timeout, this, [this] {
        if (m_process.state() == QProcess::NotRunning)
            return;
        qCDebug(lcEngine) << "OpenConnect did not stop in time: kill openconnect";
        m_process.kill();
    });
}

OpenConnectManagementSocket::~OpenConnectManagementSocket()
{
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    if (m_remote)
        m_remote->deleteLater();
}

void OpenConnectManagementSocket::listen(QTcpServer *server)
{
    if (server->listen(QHostAddress::LocalHost, 0))
        qCDebug(lcEngine).noquote() << QStringLiteral("Server listening on %1:%2")
                                           .arg(server->serverAddress().toString())
                                           .arg(server->serverPort());
    else
        qCWarning(lcEngine).noquote() << QStringLiteral("Could not bind to ephemeral port on listen address %1: %2")
                                             .arg(QHostAddress(QHostAddress::LocalHost).toString(),
                                                  server->errorString());
}

quint16 OpenConnectManagementSocket::cmdFdPort() const
{
    return m_cmdFdServer->serverPort();
}

quint16 OpenConnectManagementSocket::cmdFdWritePort() const
{
    return m_cmdFdWriteServer->serverPort();
}

void OpenConnectManagementSocket::setLoginFailedNotifier(LoginFailedNotifier notifier)
{
    loginFailedNotifier() = std::move(notifier);
}

void OpenConnectManagementSocket::setDelays(int connectedStateDelayMs, int stopGraceMs)
{
    m_connectedStateTimer.setInterval(connectedStateDelayMs);
    m_killTimer.setInterval(stopGraceMs);
}

bool OpenConnectManagementSocket::isProcessRunning()
{
    return m_process.state() != QProcess::NotRunning;
}

void OpenConnectManagementSocket::startVPN(QSharedPointer<ConnectionParameters> parameters)
{
    m_parameters = parameters;
    m_pushedOptions = PushedOptions();
    m_remoteIp = QStringLiteral("n/a");
    m_localIp = QStringLiteral("n/a");
    m_lastError.clear();
    m_failure = ConnectionFailure();
    m_serverCertificate.clear();
    // Credentials of an earlier run must never reach this run's engine.
    clearCredentials();

    if (m_remote)
        m_remote->deleteLater();
    if (!parameters) {
        qCWarning(lcEngine) << "OpenConnect: start without connection parameters ignored";
        return;
    }
    m_remote = parameters->getServerSite().getOpenConnectServer(parameters->getProtocol());
    connect(m_remote, &Remote::release, this, &OpenConnectManagementSocket::remoteLockRelease);
    connect(m_remote, &Remote::abort, this, &OpenConnectManagementSocket::remoteLockAbort);
    RemoteLock *ownLock = m_remote->getRemoteLock();
    m_handler.onRemote(*m_remote);
    ownLock->release();
}

void OpenConnectManagementSocket::remoteLockRelease()
{
    if (!m_remote)
        return;
    OpenConnectCommand command(m_os, m_remote->getHost(), m_remote->getPort(),
                               HalvorixServerSite::fromString(m_remote->getProtocol()), cmdFdPort(), cmdFdWritePort(),
                               OpenConnectCommand::RECONNECT_TIMEOUT_SECONDS);
    m_remote->deleteLater();
    m_remote = nullptr;
    m_handler.onOpenVpnPrepareArguments(command);
    const auto *openConnect = dynamic_cast<const OpenConnectConnectionParameters *>(m_parameters.data());
    if (command.isProxyRequested() || (openConnect && openConnect->usesProxy())) {
        // Reported from the event loop, as a failed engine start would be;
        // until then the run counts as ending, so no new start overtakes it.
        m_startRefused = true;
        QTimer::singleShot(0, this,
                           [this] { refuseStart(QStringLiteral("The OpenConnect connection can not use a proxy.")); });
        return;
    }
    m_runActive = true;
    m_loginFailed = false;
    m_cmdFdBuffer.clear();
    m_cmdFdWriteBuffer.clear();
    const QByteArray secret = EngineGate::newSecret();
    command.setEngineSecret(secret);
    const auto showsSecret = [line = secretLine(secret)](const QByteArray &received) { return received == line; };
    m_cmdFdGate->open(QByteArray(), showsSecret);
    m_cmdFdWriteGate->open(QByteArray(), showsSecret);
    command.start(m_process);
    m_handler.onOpenVpnStarted(m_process);
}

void OpenConnectManagementSocket::refuseStart(const QString &reason)
{
    // The engine has no proxy support: connecting without the chosen proxy
    // would expose the user's address where they asked it to be hidden.
    qCWarning(lcEngine).noquote() << "Refusing to start OpenConnect:" << reason;
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
        m_parameters, reason, QStringLiteral("Choose a connection without a proxy and connect again.")));
    clearCredentials();
    // The engine never ran: its end is the failed start alone, so that the
    // frontend hears of exactly one termination.
    m_handler.onOpenVpnFailedToStart();
    emit onOpenConnectTerminated();
    m_startRefused = false;
}

void OpenConnectManagementSocket::remoteLockAbort()
{
    if (m_remote) {
        m_remote->deleteLater();
        m_remote = nullptr;
    }
    sendSigTerm();
}

QByteArray OpenConnectManagementSocket::secretLine(const QByteArray &secret)
{
    return QByteArrayLiteral(">CHANNEL_SECRET:") + secret;
}

void OpenConnectManagementSocket::connectionAccepted_cmd_fd(QTcpSocket *socket)
{
    qCDebug(lcEngine) << "connectionAccepted";
    m_cmdFdConnected = true;
    m_passwordRequestCount = 0;
    m_handler.onConnectionAccepted();
    if (m_cmdFdSocket)
        m_cmdFdSocket->deleteLater();
    m_cmdFdSocket = socket;
    connect(socket, &QTcpSocket::readyRead, this, &OpenConnectManagementSocket::readSocket_cmd_fd);
    connect(socket, &QTcpSocket::disconnected, this, &OpenConnectManagementSocket::connectionClosed);
    // What came after the secret is already read from the system.
    readSocket_cmd_fd();
}

void OpenConnectManagementSocket::connectionAccepted_cmd_fd_write(QTcpSocket *socket)
{
    qCDebug(lcEngine) << "connectionAccepted";
    m_passwordRequestCount = 0;
    if (m_cmdFdWriteSocket)
        m_cmdFdWriteSocket->deleteLater();
    m_cmdFdWriteSocket = socket;
    connect(socket, &QTcpSocket::readyRead, this, &OpenConnectManagementSocket::readSocket_cmd_fd_write);
    readSocket_cmd_fd_write();
}

void OpenConnectManagementSocket::readSocket_cmd_fd()
{
    while (m_cmdFdSocket && m_cmdFdSocket->bytesAvailable() > 0) {
        const QList<QByteArray> lines = m_cmdFdBuffer.append(m_cmdFdSocket->readAll());
        LowLatencySocket::acknowledgeAtOnce(*m_cmdFdSocket);
        for (const QByteArray &line : lines)
            handleMessageFromOpenConnectCmdFdSocket(line);
    }
}

void OpenConnectManagementSocket::readSocket_cmd_fd_write()
{
    if (!m_cmdFdWriteSocket)
        return;
    m_cmdFdWriteBuffer.append(m_cmdFdWriteSocket->readAll());
    LowLatencySocket::acknowledgeAtOnce(*m_cmdFdWriteSocket);
}

void OpenConnectManagementSocket::sendLine(QTcpSocket *socket, const QString &command, const char *channelName)
{
    if (!socket) {
        qCWarning(lcEngine) << "Warning: OpenConnect" << channelName << "socket is null";
        return;
    }
    const int nul = command.indexOf(QChar(0));
    const QByteArray bytes = (nul < 0 ? command : command.left(nul)).toUtf8();
    if (socket->write(bytes) < 0 || socket->write("\n", 1) < 0)
        qCWarning(lcEngine) << "Error in sending command to socket";
    socket->flush();
}

void OpenConnectManagementSocket::sendCommandToCmdFdSocket(const QString &command)
{
    sendLine(m_cmdFdSocket, command, "cmd_fd");
}

void OpenConnectManagementSocket::sendCommandToCmdFdWriteSocket(const QString &command)
{
    sendLine(m_cmdFdWriteSocket, command, "cmd_fd_write");
}

void OpenConnectManagementSocket::statusRequest()
{
    sendCommandToCmdFdWriteSocket(QStringLiteral("s"));
}

void OpenConnectManagementSocket::sendConnectedState()
{
    m_handler.onState(OpenVpnStateConnected(QString(), m_localIp, m_remoteIp));
}

void OpenConnectManagementSocket::sendSigTerm()
{
    qCDebug(lcEngine) << "Send SigTerm to OpenConnect";
    if (m_cmdFdConnected) {
        sendCommandToCmdFdWriteSocket(QStringLiteral("x"));
        sendCommandToCmdFdSocket(QStringLiteral("\n"));
        // An engine that is blocked or wedged must not keep the tunnel alive.
        if (!m_killTimer.isActive())
            m_killTimer.start();
    } else {
        qCDebug(lcEngine) << "kill openconnect";
        m_process.kill();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void OpenConnectManagementSocket::handleMessageFromOpenConnectCmdFdSocket(const QByteArray &line)
{
    if (line.startsWith(">REQUEST_USERNAME") || line.startsWith(">REQUEST_PASSWORD"))
        handleCredentialsRequest(line);
    else if (line.startsWith(">REQUEST_TO_TRUST_CERTIFICATE"))
        sendCommandToCmdFdSocket(QStringLiteral("yes\n"));
    else if (line.startsWith(">VPNC_SCRIPT_START"))
        runVpncScript();
    else if (line.startsWith(PROGRESS))
        handleProgress(OpenConnectProgress::progressText(line));
    else
        qCDebug(lcEngine) << "unhandled message: " << line;
}

void OpenConnectManagementSocket::runVpncScript()
{
    if (VpncScript::createAndExecuteVpncScript(m_os, m_parameters, m_frontend, m_pushedOptions)) {
        qCDebug(lcEngine) << "VpncScript executed correctly.";
        sendCommandToCmdFdSocket(QStringLiteral(">VPNC_SCRIPT_OK\n"));
    } else {
        qCDebug(lcEngine) << "VpncScript failed.";
        sendCommandToCmdFdSocket(QStringLiteral(">VPNC_SCRIPT_FAILED\n"));
        sendSigTerm();
    }
}

void OpenConnectManagementSocket::handleProgress(const QString &text)
{
    using P = OpenConnectProgress;
    static const QString DNS_KEYWORDS[] = {QStringLiteral(">DNS_0_UP"), QStringLiteral(">DNS_1_UP"),
                                           QStringLiteral(">DNS_2_UP")};
    if (text.startsWith(QLatin1String("--servercert"))) {
        m_serverCertificate = P::rest(text, QStringLiteral("--servercert"));
        qCDebug(lcEngine) << "Server certificate: " << m_serverCertificate;
    } else if (text.startsWith(QLatin1String("Connected to HTTPS on"))) {
        m_handler.onState(genericState(OpenVpnState::CONNECTING));
        qCDebug(lcEngine) << text;
    } else if (text.startsWith(QLatin1String(">DNS_UP INIT"))) {
        m_pushedOptions.setUpDown(QStringLiteral("UP"));
    } else if (text.startsWith(QLatin1String(">DNS_UP END"))) {
        if (m_pushedOptions.getUpDown() == QLatin1String("UP")) {
            qCDebug(lcEngine) << "Push DNS from VPN";
            m_handler.onUp(m_pushedOptions);
        }
    } else if (text.startsWith(QLatin1String(">DNS_"))
               && std::any_of(std::begin(DNS_KEYWORDS), std::end(DNS_KEYWORDS),
                              [&](const QString &k) { return text.startsWith(k); })) {
        const int index = text.at(5).digitValue();
        const QString address = P::rest(text, DNS_KEYWORDS[index]).trimmed();
        if (address != QLatin1String("n/a"))
            m_pushedOptions.addOption(QStringLiteral("foreign_option_%1=DNS %2").arg(index + 1).arg(address));
    } else if (text.startsWith(QLatin1String(">VPNC_SCRIPT_ENV"))) {
        m_pushedOptions.addOption(P::rest(text, QStringLiteral(">VPNC_SCRIPT_ENV")).trimmed());
    } else if (text.startsWith(QLatin1String(">REMOTEIP"))) {
        m_remoteIp = P::rest(text, QStringLiteral(">REMOTEIP"));
        qCDebug(lcEngine) << "openconnectManagementsocket serveraddress" << m_remoteIp;
    } else if (text.startsWith(QLatin1String("CSTP connected"))) {
        tunnelEstablished(text);
    } else if (text.startsWith(QLatin1String("CSTP Ciphersuite:"))) {
        qCDebug(lcEngine) << text;
        const P::Cipher cipher = P::parseCipherSuite(text);
        if (cipher.valid)
            m_handler.onControlChannel(cipher.tlsVersion, cipher.cipher);
        else
            qCDebug(lcEngine) << "Unrecognised cipher suite description";
    } else if (text.startsWith(QLatin1String("Connected as"))) {
        qCDebug(lcEngine) << text;
        m_localIp = P::parseLocalAddress(P::rest(text, QStringLiteral("Connected as")));
        m_connectedStateTimer.start();
    } else if (text.startsWith(QLatin1String("Established DTLS connection"))) {
        qCDebug(lcEngine) << text;
    } else if (text.startsWith(QLatin1String(">RECONNECTING"))) {
        qCDebug(lcEngine) << text;
        m_handler.onState(OpenVpnStateReconnecting(QString()));
    } else if (text.startsWith(QLatin1String(">VYXSTATS"))) {
        const P::Counters counters = P::parseByteCounts(P::rest(text, QStringLiteral(">VYXSTATS")));
        if (counters.valid)
            m_handler.onByteCount(ByteCount(counters.received, counters.sent));
    } else if (text.startsWith(QLatin1String(">VYXERR"))) {
        const QString message = P::rest(text, QStringLiteral(">VYXERR"));
        m_handler.onFatal(message);
        qCDebug(lcEngine) << message;
    } else if (P::isErrorText(text)) {
        m_lastError = text;
        qCDebug(lcEngine) << "Error: " << text;
        reportFailure(P::failureOf(text));
    } else {
        qCDebug(lcEngine) << "unhandled info progress: " << text;
    }
}

void OpenConnectManagementSocket::reportFailure(const ConnectionFailure &failure)
{
    if (failure.isNull())
        return;
    m_failure = failure;
    m_handler.onFailure(failure);
}

void OpenConnectManagementSocket::tunnelEstablished(const QString &text)
{
    qCDebug(lcEngine) << text;
    m_failure = ConnectionFailure();
    m_handler.onState(genericState(OpenVpnState::CONNECTING));
    m_handler.onState(genericState(OpenVpnState::WAIT));
    m_handler.onState(genericState(OpenVpnState::AUTH));
    m_handler.onState(genericState(OpenVpnState::GET_CONFIG));
    m_handler.onState(OpenVpnStateAssignIp(m_localIp));
    m_handler.onState(genericState(OpenVpnState::ADD_ROUTES));
    if (m_localIp != QLatin1String("n/a"))
        m_connectedStateTimer.start();
    m_statusTimer.start(STATUS_INTERVAL_MS);
}

void OpenConnectManagementSocket::handleCredentialsRequest(const QByteArray &line)
{
    if (m_passwordRequestCount != 0) {
        loginFailure();
        return;
    }
    if (line.startsWith(">REQUEST_USERNAME")) {
        m_usernameRequested = true;
    } else {
        m_passwordRequested = true;
        ++m_passwordRequestCount;
    }
    if ((m_username.isEmpty() && m_usernameRequested) || (m_password.isEmpty() && m_passwordRequested))
        m_handler.onPassword(m_passwordRequestCount);
    else
        sendUsernameOrPasswordToManagementSocket();
}

void OpenConnectManagementSocket::loginFailure()
{
    if (m_loginFailed)
        return;
    m_loginFailed = true;
    // Stop first: the engine must not wait for an answer while the user reads
    // the notice, and the notice must not run a nested loop inside this read.
    clearCredentials();
    sendSigTerm();
    QTimer::singleShot(0, this, [this] {
        emit loginFailed(LOGIN_FAILED_MESSAGE);
        // The notice may be modal: nothing of this object is touched after it.
        notifyLoginFailed(LOGIN_FAILED_MESSAGE);
    });
}

void OpenConnectManagementSocket::sendUsernamePassword(const QString &username, const QString &password)
{
    // Kept for HalvorixAPIClient, which reads them once the tunnel is up.
    CredentialsStore::setUsernamePassword(username, password);
    m_username = username;
    m_password = password;
    if (m_usernameRequested || m_passwordRequested)
        sendUsernameOrPasswordToManagementSocket();
}

void OpenConnectManagementSocket::sendUsernameOrPasswordToManagementSocket()
{
    if (m_usernameRequested) {
        sendCommandToCmdFdSocket(escape(m_username, QStringLiteral("Username")) + QLatin1Char('\n'));
        m_username.clear();
        m_usernameRequested = false;
    } else if (m_passwordRequested) {
        sendCommandToCmdFdSocket(escape(m_password, QStringLiteral("Password")) + QLatin1Char('\n'));
        m_password.clear();
        m_passwordRequested = false;
    }
}

QString OpenConnectManagementSocket::escape(const QString &value, const QString &label) const
{
    if (OpenConnectUsernamePasswordSanitizer(value).containsIllegalChars())
        qCDebug(lcEngine).noquote() << "Silently removing illegal characters from " + label;
    return OpenConnectUsernamePasswordSanitizer::sanitiseEscape(value);
}

void OpenConnectManagementSocket::clearCredentials()
{
    m_username.clear();
    m_password.clear();
    m_usernameRequested = false;
    m_passwordRequested = false;
    m_passwordRequestCount = 0;
}

void OpenConnectManagementSocket::logProcessOutput(QProcess::ProcessChannel channel, const char *label)
{
    m_process.setReadChannel(channel);
    const QByteArray output = m_process.readAll();
    const QList<QByteArray> lines = output.split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i)
        qCDebug(lcEngine).noquote() << label + QString::fromLocal8Bit(lines.at(i).trimmed());
}

void OpenConnectManagementSocket::readStdOut()
{
    logProcessOutput(QProcess::StandardOutput, "OPENCONNECT STDOUT: ");
}

void OpenConnectManagementSocket::readStdErr()
{
    logProcessOutput(QProcess::StandardError, "OPENCONNECT STDERR: ");
}

void OpenConnectManagementSocket::processError(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart) {
        qCDebug(lcEngine) << "processError: failed to start" << enumName(error);
        m_runActive = false;
        m_cmdFdGate->close();
        m_cmdFdWriteGate->close();
        m_killTimer.stop();
        clearCredentials();
        m_handler.onOpenVpnFailedToStart();
        return;
    }
    qCDebug(lcEngine).noquote() << "processError: " + enumName(error) + ", ignored";
}

void OpenConnectManagementSocket::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    qCDebug(lcEngine).noquote() << QStringLiteral("processFinished %1, %2").arg(exitCode).arg(enumName(exitStatus));
    // No connection comes from an engine that ended.
    m_cmdFdGate->close();
    m_cmdFdWriteGate->close();
    notifyOpenConnectTerminatedWhenProcessTerminatedAndSocketClosed();
}

void OpenConnectManagementSocket::connectionClosed()
{
    if (sender() && sender() != m_cmdFdSocket)
        return; // a replaced socket closing late says nothing about the engine
    m_handler.onConnectionClosed();
    m_cmdFdConnected = false;
    notifyOpenConnectTerminatedWhenProcessTerminatedAndSocketClosed();
}

void OpenConnectManagementSocket::notifyOpenConnectTerminatedWhenProcessTerminatedAndSocketClosed()
{
    readStdOut();
    readStdErr();
    if (m_cmdFdConnected || m_process.state() != QProcess::NotRunning || !m_runActive)
        return;
    m_runActive = false;
    const QScopedValueRollback<bool> reporting(m_reportingTermination, true);
    m_statusTimer.stop();
    m_connectedStateTimer.stop();
    m_killTimer.stop();
    if (!m_lastError.isEmpty())
        m_handler.onFatal(m_failure.isNull() ? m_lastError : m_failure.stopMessage());
    qCDebug(lcEngine).noquote() << QStringLiteral("Vpn Terminated: exit code: %1 - exit status: %2")
                                       .arg(m_process.exitCode())
                                       .arg(enumName(m_process.exitStatus()));
    clearCredentials();
    if (m_cmdFdWriteSocket)
        m_cmdFdWriteSocket->deleteLater();
    m_handler.onOpenVpnTerminated();
    emit onOpenConnectTerminated();
}
