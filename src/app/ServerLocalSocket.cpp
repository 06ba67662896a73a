#include "app/ServerLocalSocket.h"

#include "app/AppLogging.h"

#include <QDebug>

ServerLocalSocket::ServerLocalSocket(QLocalSocket *socket, QObject *parent)
    : ServerAbstractSocket(parent)
    , m_socket(socket)
{
    // The connection owns its socket, so the socket outlives neither it nor the server.
    m_socket->setParent(this);
    connect(m_socket, &QLocalSocket::readyRead, this, &ServerLocalSocket::onReadyReadReceived);
    connect(m_socket, &QLocalSocket::disconnected, this, &ServerLocalSocket::onSocketDisconnected);
    connect(m_socket, &QLocalSocket::errorOccurred, this, &ServerLocalSocket::manageError);
}

ServerLocalSocket::~ServerLocalSocket()
{
    qCDebug(lcApp) << "Deleting ServerLocalSocket";
    m_socket->disconnect(this);
    if (m_socket->state() == QLocalSocket::ConnectedState)
        m_socket->disconnectFromServer();
}

void ServerLocalSocket::sendMessage(const QString &message) const
{
    m_socket->write(message.toUtf8());
    m_socket->write("\n");
    m_socket->flush();
}

bool ServerLocalSocket::waitForReadyRead(int timeoutMs)
{
    return m_socket->waitForReadyRead(timeoutMs);
}

void ServerLocalSocket::closeSocket()
{
    m_socket->disconnectFromServer();
}

bool ServerLocalSocket::operator==(const ServerLocalSocket &other) const
{
    return m_socket == other.m_socket;
}

void ServerLocalSocket::manageError()
{
    qCDebug(lcApp) << "LocalSocker ErrorString:" << m_socket->errorString();
    qCDebug(lcApp) << "LocalSocket Error:" << m_socket->error();
}

void ServerLocalSocket::onReadyReadReceived()
{
    for (QByteArray bytes = m_socket->readAll(); !bytes.isEmpty(); bytes = m_socket->readAll()) {
        for (const QString &message : m_buffer.append(bytes))
            onMessageFromSocketReceived(message);
    }
}
