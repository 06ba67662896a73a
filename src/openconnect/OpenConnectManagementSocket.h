#pragma once
#include "catalogue/HalvorixServerSite.h"
#include "core/ConnectionFailure.h"
#include "openconnect/OpenConnectLineBuffer.h"
#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/PushedOptions.h"

#include <QPointer>
#include <QProcess>
#include <QSharedPointer>
#include <QTimer>

#include <functional>

class ConnectionParameters;
class EngineGate;
class OpenVpnLifeCycleHandler;
class OsAbstraction;
class QTcpServer;
class QTcpSocket;
class Remote;
class VpnFrontend;

// The client's end of the OpenConnect engine. The helper starts the engine
// with the ports of two loopback servers and the run's secret; the engine
// connects back, shows the secret first on each channel, writes its
// notifications and questions on cmd_fd and takes the commands "s" (status)
// and "x" (terminate) on cmd_fd_write. Engine events reach the one lifecycle
// handler in the OpenVPN state model, so the backend drives both engines alike.
class OpenConnectManagementSocket : public AbstractManagementSocket
{
    Q_OBJECT

public:
    static const QString LOGIN_FAILED_MESSAGE;
    static constexpr int STATUS_INTERVAL_MS = 3000;
    static constexpr int CONNECTED_STATE_DELAY_MS = 10000;
    // How long an engine told to stop may take before it is killed.
    static constexpr int STOP_GRACE_MS = 10000;

    OpenConnectManagementSocket(OsAbstraction &os, VpnFrontend &frontend, OpenVpnLifeCycleHandler &handler);
    ~OpenConnectManagementSocket() override;

    bool isProcessRunning() override;
    bool isTerminationPending() const override { return m_runActive || m_startRefused || m_reportingTermination; }
    void handleMessageFromOpenConnectCmdFdSocket(const QByteArray &line);
    void sendCommandToCmdFdSocket(const QString &command);
    void sendCommandToCmdFdWriteSocket(const QString &command);

    quint16 cmdFdPort() const;
    quint16 cmdFdWritePort() const;
    // Shorter delays for tests; the defaults are the product's.
    void setDelays(int connectedStateDelayMs, int stopGraceMs);
    // The line with which the engine opens each channel.
    static QByteArray secretLine(const QByteArray &secret);

    // Tells the user that the server refused the credentials. The user
    // interface installs one for the whole process; without it the notice
    // only reaches the log.
    using LoginFailedNotifier = std::function<void(const QString &message)>;
    static void setLoginFailedNotifier(LoginFailedNotifier notifier);

signals:
    void onOpenConnectTerminated();
    // The server refused the credentials; emitted after the engine was told
    // to stop, outside the channel's read, for the user interface to show.
    void loginFailed(const QString &message);

public slots:
    void connectionAccepted_cmd_fd(QTcpSocket *socket);
    void connectionAccepted_cmd_fd_write(QTcpSocket *socket);
    void connectionClosed();
    void readSocket_cmd_fd_write();
    void readSocket_cmd_fd();
    void processError(QProcess::ProcessError error);
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void readStdErr();
    void readStdOut();
    void statusRequest();
    void startVPN(QSharedPointer<ConnectionParameters> parameters) override;
    void sendSigTerm() override;
    void sendUsernamePassword(const QString &username, const QString &password) override;
    void sendUsernameOrPasswordToManagementSocket();
    void remoteLockRelease();
    void remoteLockAbort();
    void sendConnectedState();

private:
    void listen(QTcpServer *server);
    void sendLine(QTcpSocket *socket, const QString &command, const char *channelName);
    void handleProgress(const QString &text);
    void handleCredentialsRequest(const QByteArray &line);
    void runVpncScript();
    void reportFailure(const ConnectionFailure &failure);
    void tunnelEstablished(const QString &text);
    void loginFailure();
    void logProcessOutput(QProcess::ProcessChannel channel, const char *label);
    void notifyOpenConnectTerminatedWhenProcessTerminatedAndSocketClosed();
    void clearCredentials();
    QString escape(const QString &value, const QString &label) const;
    void refuseStart(const QString &reason);

    OsAbstraction &m_os;
    QSharedPointer<ConnectionParameters> m_parameters;
    VpnFrontend &m_frontend;
    // Children: they go, with the engine's connections (their own children),
    // only after this object's signal connections are cut.
    QTcpServer *m_cmdFdServer;
    EngineGate *m_cmdFdGate;
    QPointer<QTcpSocket> m_cmdFdSocket;
    QTcpServer *m_cmdFdWriteServer;
    EngineGate *m_cmdFdWriteGate;
    QPointer<QTcpSocket> m_cmdFdWriteSocket;
    QProcess m_process;
    OpenConnectLineBuffer m_cmdFdBuffer;
    OpenConnectLineBuffer m_cmdFdWriteBuffer;
    OpenVpnLifeCycleHandler &m_handler;
    qint32 m_passwordRequestCount = 0;
    bool m_cmdFdConnected = false;
    PushedOptions m_pushedOptions;
    QString m_username;
    QString m_password;
    bool m_usernameRequested = false;
    bool m_passwordRequested = false;
    QString m_serverCertificate;
    QString m_remoteIp = QStringLiteral("n/a");
    QString m_localIp = QStringLiteral("n/a");
    QTimer m_statusTimer;
    QPointer<Remote> m_remote;
    QString m_lastError;
    // The cause the engine named last; it heads the notice at termination.
    ConnectionFailure m_failure;
    QTimer m_connectedStateTimer;
    QTimer m_killTimer;
    // One engine run: from its start until its termination was reported.
    bool m_runActive = false;
    bool m_loginFailed = false;
    bool m_reportingTermination = false;
    // A refused start whose failure is not yet reported.
    bool m_startRefused = false;
};
