#pragma once

#include "catalogue/StealthProxy.h"
#include "core/NullHandler.h"
#include "openvpn/LineSplitter.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QJsonDocument>
#include <QList>
#include <QListIterator>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSharedPointer>
#include <QTemporaryFile>
#include <QTimer>
#include <functional>

class ConnectionParameters;
class HoldLock;
class OsAbstraction;
class VpnFrontend;

// Carries the engine's TCP connection through a stealth proxy: runs ss-local
// towards one proxy of the service and makes it the engine's SOCKS5 proxy.
// The engine's first hold stays locked until ss-local owns its loopback port.
class ShadowSocksLauncher : public QObject, public NullHandler
{
    Q_OBJECT

public:
    static constexpr int START_TIMEOUT_MS = 30000;
    // ss-local announces its port just before binding it; a bind failure
    // follows within moments, so the announcement must survive this long.
    static constexpr int SETTLE_MS = 300;

    ShadowSocksLauncher(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters, VpnFrontend &frontend);
    ~ShadowSocksLauncher() override;

    void onOpenVpnPrepareArguments(AbstractVpnCommand &command) override;
    void onOpenVpnFailedToStart() override;
    void onOpenVpnTerminated() override;
    void onHold(Hold &hold) override;

    static QListIterator<StealthProxy> getCurrentStealthProxy();
    // The proxy to use: the one with the preferred identifier, else the first.
    static QList<StealthProxy> chooseStealthProxy(const QList<StealthProxy> &proxies, const QString &preferredId);
    static QJsonDocument configDocument(const QHostAddress &server, quint16 serverPort, int localPort,
                                        const QString &password, const QString &method);
    static QStringList arguments(const QString &configPath);

    int getLocalPort() const;
    // Seams for tests: the program run, the proxy list and the start time-out.
    void setProgram(const QString &program);
    void setProxySource(std::function<QList<StealthProxy>()> source);
    void setStartTimeout(int milliseconds);

signals:
    void releaseLock();

private slots:
    void processStandardOutput();
    void processStandardError();
    void processBuffer(const QByteArray &line);
    void hostnameLookedUp(const QHostInfo &info);

private:
    void startShadowSocks();
    void onListening();
    void onProcessFinished();
    void fail(const QString &informativeText);
    void abortHoldLock();
    void endWait();
    void stopProcess();

    OsAbstraction &m_os;
    QSharedPointer<ConnectionParameters> m_parameters;
    QString m_password;
    QString m_method;
    QHostAddress m_serverAddress;
    quint16 m_serverPort = 0;
    QProcess m_process;
    int m_localPort;
    QRegularExpression m_listeningPattern;
    QPointer<HoldLock> m_holdLock;
    VpnFrontend &m_frontend;
    QString m_program;
    std::function<QList<StealthProxy>()> m_proxySource;
    QTimer m_startTimer;
    QTimer m_settleTimer;
    QSharedPointer<QTemporaryFile> m_configFile;
    LineSplitter m_stdoutLines;
    LineSplitter m_stderrLines;
};
