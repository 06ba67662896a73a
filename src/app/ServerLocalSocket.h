#pragma once

#include "app/ProtocolLineBuffer.h"
#include "app/ServerAbstractSocket.h"

#include <QLocalSocket>

// An accepted local-socket connection; owns the socket it wraps.
class ServerLocalSocket : public ServerAbstractSocket
{
    Q_OBJECT

public:
    ServerLocalSocket(QLocalSocket *socket, QObject *parent = nullptr);
    ~ServerLocalSocket() override;

    void sendMessage(const QString &message) const override;
    bool waitForReadyRead(int timeoutMs) override;
    void closeSocket() override;

    bool operator==(const ServerLocalSocket &other) const;

public slots:
    void manageError() override;
    virtual void onReadyReadReceived();

private:
    QLocalSocket *m_socket;
    ProtocolLineBuffer m_buffer;
};
