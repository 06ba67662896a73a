#pragma once

#include "core/NullHandler.h"
#include "openvpn/LineSplitter.h"

#include <QFile>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSharedPointer>

class ConnectionParameters;
class IpPoolList;
class OsAbstraction;
class RemoteLock;
class VpnFrontend;
class VpnStateTracker;

// Runs stunnel in front of the engine: the engine connects over TCP to a
// loopback port, stunnel carries it in TLS to the server's stunnel port.
// The engine's remote query stays locked until stunnel reports it is ready.
class STunnelHandler : public QObject, public NullHandler
{
    Q_OBJECT

public:
    STunnelHandler(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters, IpPoolList &ipPoolList,
                   int stunnelPort, VpnFrontend &frontend, VpnStateTracker &stateTracker);
    ~STunnelHandler() override;

    void onOpenVpnTerminated() override;
    void onState(const OpenVpnGenericState &state) override;
    void onRemote(Remote &remote) override;

    int getLocalPort() const;
    // The bundled program by default; tests point it elsewhere.
    void setProgram(const QString &program);

    static QString configText(int localPort, const QHostAddress &server, int stunnelPort);
    static QStringList arguments(const QString &configPath);

private slots:
    void processStandardOutput();
    void processStandardError();
    void processBuffer(const QByteArray &line);
    void onSTunnelProgramFinished();

private:
    void startSTunnel();
    void answerWithLocalEndpoint(Remote &remote) const;
    void failStart(const QString &informativeText);
    void abortRemoteLock();
    void reportError(const QString &message, const QString &informativeText);

    OsAbstraction &m_os;
    QSharedPointer<ConnectionParameters> m_parameters;
    IpPoolList &m_ipPoolList;
    QProcess m_process;
    QHostAddress m_serverAddress;
    int m_stunnelPort;
    int m_localPort;
    QRegularExpression m_successPattern;
    QRegularExpression m_errorPattern;
    QPointer<RemoteLock> m_remoteLock;
    QFile m_configFile;
    VpnFrontend &m_frontend;
    VpnStateTracker &m_stateTracker;
    QString m_program;
    LineSplitter m_stdoutLines;
    LineSplitter m_stderrLines;
};
