#pragma once

#include <QObject>
#include <QSharedPointer>

class AbstractProtocolMessageHandler;

// One connection accepted by the single-instance server.
class ServerAbstractSocket : public QObject
{
    Q_OBJECT

public:
    explicit ServerAbstractSocket(QObject *parent = nullptr);

    void setHandler(const QSharedPointer<AbstractProtocolMessageHandler> &handler);

    virtual void sendMessage(const QString &message) const = 0;
    virtual bool waitForReadyRead(int timeoutMs) = 0;
    virtual void closeSocket() = 0;

signals:
    void connectionClosed(ServerAbstractSocket *abstractSocket);

public slots:
    void onMessageFromSocketReceived(const QString &message);
    virtual void onSocketDisconnected();
    virtual void manageError() = 0;

private:
    QSharedPointer<AbstractProtocolMessageHandler> m_handler;
};
