#pragma once

#include "app/VpnBackendAbstractServer.h"

#include <QList>
#include <QLocalServer>
#include <QLockFile>

class QLocalSocket;

// Listens only while it holds the lock beside the socket ("<socket>.lock"):
// the lock proves whether the name's holder is alive, so a name is removed
// only once its holder is gone, and by no one while it runs.
class VpnBackendLocalSocketServer : public VpnBackendAbstractServer
{
    Q_OBJECT

public:
    explicit VpnBackendLocalSocketServer(AbstractFactoryProtocolMessageHandler &factory, QObject *parent = nullptr);
    ~VpnBackendLocalSocketServer() override;

    bool checkPreviousInstance() override;
    bool cleanUpPreviousInstance() override;
    bool startingServer() override;
    bool isStarted() override;
    void sendToConnectedSockets(const QString &message) override;
    void disconnectOneSocket(ServerAbstractSocket *socket) override;
    void disconnectAllSockets() override;

    static const int probeAttempts = 4;
    static const int probeTimeoutMs = 3000;

public slots:
    void onNewConnectionReceived() override;
    void onConnectionClosed(ServerAbstractSocket *abstractSocket) override;
    void onConnectionAccepted(QLocalSocket *newLocalSocket);

private:
    bool takeLock();

    QLocalServer *m_server;
    QLockFile m_lock;
    QList<ServerAbstractSocket *> m_connectedSockets;
};
