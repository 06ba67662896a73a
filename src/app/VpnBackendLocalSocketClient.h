#pragma once

#include "app/ProtocolLineBuffer.h"
#include "app/VpnBackendAbstractClient.h"

#include <QLocalSocket>
#include <QPointer>

class VpnBackendLocalSocketClient : public VpnBackendAbstractClient
{
    Q_OBJECT

public:
    explicit VpnBackendLocalSocketClient(QObject *parent = nullptr);
    ~VpnBackendLocalSocketClient() override;

    bool startingClient() override;
    void sendToServer(const QString &message) override;
    void disconnectSocket() override;

    static const int connectAttempts = 4;
    static const int connectTimeoutMs = 3000;

public slots:
    void readDataFromLocalSocket();
    void manageError(QLocalSocket::LocalSocketError error);
    void onSocketDisconnected();

private:
    QPointer<QLocalSocket> m_socket;
    ProtocolLineBuffer m_buffer;
};
