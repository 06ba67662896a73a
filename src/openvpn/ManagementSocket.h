#pragma once
#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/PushedOptions.h"
#include "system/LoopbackPeer.h"

#include <QByteArray>
#include <QPointer>
#include <QProcess>

class Hold;
class OpenVpnLifeCycleHandler;
class OsAbstraction;
class QTcpServer;
class QTcpSocket;
class Remote;

// The client's end of the OpenVPN engine's management interface, and the
// owner of the engine process. The engine, started through the helper,
// connects to this loopback server; each line it sends becomes one call on
// the lifecycle handler.
class ManagementSocket : public AbstractManagementSocket
{
    Q_OBJECT

public:
    // Bytes kept while waiting for a line feed; the engine's lines are far shorter.
    static constexpr int MAX_LINE_LENGTH = 64 * 1024;

    ManagementSocket(OsAbstraction &os, OpenVpnLifeCycleHandler &handler, QObject *parent = nullptr);
    ~ManagementSocket() override;

    void startVPN(QSharedPointer<ConnectionParameters> parameters) override;
    bool isProcessRunning() override;
    bool isTerminationPending() const override { return m_terminationPending || m_reportingTermination; }
    // The port the engine is told to connect to; 0 when listening failed.
    quint16 serverPort() const;
    // How the engine's connection is told from any other (by default: its
    // socket belongs to the engine process started for the run).
    void setEngineCheck(LoopbackPeer::EngineCheck check) { m_isEngine = std::move(check); }

signals:
    void onOpenVpnTerminated();

public slots:
    void sendSigTerm() override;
    void sendUsernamePassword(const QString &username, const QString &password) override;

private slots:
    void connectionAccepted();
    void connectionClosed();
    void readSocket();
    void processError(QProcess::ProcessError error);
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void readStdErr();
    void readStdOut();
    void holdRelease();
    void holdAbort();
    void remoteLockRelease();
    void remoteLockAbort();

private:
    void sendCommand(const QString &command);
    static QString escape(const QString &value, const QString &label);
    void handleMessageFromOpenVpn(const QByteArray &line);
    void handleHold();
    void handleLog(const QByteArray &rest);
    void handleVerificationFailed(const QByteArray &line);
    void handleRemote(const QByteArray &rest);
    void handleState(const QByteArray &rest);
    void handleByteCount(const QByteArray &rest);
    void handleUpDown(const QByteArray &line);
    qint64 startedEnginePid() const;
    void dropSocket();
    void dropHold();
    void dropRemote();
    void notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed();

    OsAbstraction &m_os;
    // A child: it goes, with the engine's connection (its own child), only
    // after this object's signal connections are cut.
    QTcpServer *m_server;
    QPointer<QTcpSocket> m_socket;
    QProcess m_process;
    QByteArray m_lineBuffer;
    OpenVpnLifeCycleHandler &m_handler;
    int m_holdCount = 0;
    QPointer<Hold> m_currentHold;
    QPointer<Remote> m_currentRemote;
    int m_passwordFailures = 0;
    bool m_connected = false;
    // Only the engine of the run being started may connect, and only once.
    bool m_awaitingEngine = false;
    // The process the engine's connection must come from; 0 until it is known.
    qint64 m_enginePid = 0;
    LoopbackPeer::EngineCheck m_isEngine = LoopbackPeer::isEngine;
    // The end of the current run is still to be reported (exactly once).
    bool m_terminationPending = false;
    bool m_reportingTermination = false;
    // A line longer than the cap is discarded up to its line feed.
    bool m_discardingLine = false;
    PushedOptions m_pushedOptions;
    // Protocol and port of the remote the engine was last answered with.
    QString m_where;
};
