#pragma once

#include "app/VpnBackendAbstractServer.h"

#include <QList>
#include <QLocalServer>

class QLocalSocket;

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
    QLocalServer *m_server;
    QList<ServerAbstractSocket *> m_connectedSockets;
};
