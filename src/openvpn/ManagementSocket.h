#pragma once
#include "openvpn/AbstractManagementSocket.h"
#include "openvpn/PushedOptions.h"

#include <QByteArray>
#include <QPointer>
#include <QProcess>

class EngineGate;
class Hold;
class OpenVpnLifeCycleHandler;
class OsAbstraction;
class QTcpServer;
class QTcpSocket;
class Remote;

// The client's end of the OpenVPN engine's management interface, and the
// owner of the engine process. The engine, started through the helper,
// connects to this loopback server and shows the run's secret (the helper
// adds it to the engine's configuration as an "echo", which the engine lists
// when asked); from then on each line it sends becomes one call on the
// lifecycle handler.
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
    // Whether a line of a new connection shows `secret` as the engine lists
    // its echo history ("TIME,TEXT", or ">ECHO:TIME,TEXT" in real time).
    static bool showsSecret(const QByteArray &line, const QByteArray &secret);

signals:
    void onOpenVpnTerminated();

public slots:
    void sendSigTerm() override;
    void sendUsernamePassword(const QString &username, const QString &password) override;

private slots:
    void engineConnected(QTcpSocket *socket, const QList<QByteArray> &before);
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
    void dropSocket();
    void dropHold();
    void dropRemote();
    void notifyOpenVpnTerminatedWhenProcessTerminatedAndSocketClosed();

    OsAbstraction &m_os;
    // A child: it goes, with the engine's connection (its own child), only
    // after this object's signal connections are cut.
    QTcpServer *m_server;
    EngineGate *m_gate;
    QPointer<QTcpSocket> m_socket;
    QProcess m_process;
    QByteArray m_lineBuffer;
    OpenVpnLifeCycleHandler &m_handler;
    int m_holdCount = 0;
    QPointer<Hold> m_currentHold;
    QPointer<Remote> m_currentRemote;
    int m_passwordFailures = 0;
    bool m_connected = false;
    // The end of the current run is still to be reported (exactly once).
    bool m_terminationPending = false;
    bool m_reportingTermination = false;
    // A line longer than the cap is discarded up to its line feed.
    bool m_discardingLine = false;
    PushedOptions m_pushedOptions;
    // Protocol and port of the remote the engine was last answered with.
    QString m_where;
};
