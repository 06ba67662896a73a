#include "app/ServerAbstractSocket.h"

#include "app/AbstractProtocolMessageHandler.h"
#include "app/AppLogging.h"

#include <QDebug>

ServerAbstractSocket::ServerAbstractSocket(QObject *parent)
    : QObject(parent)
{
}

void ServerAbstractSocket::setHandler(const QSharedPointer<AbstractProtocolMessageHandler> &handler)
{
    m_handler = handler;
}

void ServerAbstractSocket::onMessageFromSocketReceived(const QString &message)
{
    if (m_handler)
        m_handler->messageHandler(message);
    else
        qCDebug(lcApp) << "Error: Message Handler is Null";
}

void ServerAbstractSocket::onSocketDisconnected()
{
    qCDebug(lcApp) << "ServerAbstractSocket Socket is disconnected.";
    emit connectionClosed(this);
    deleteLater();
}
