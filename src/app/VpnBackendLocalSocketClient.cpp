#include "app/VpnBackendLocalSocketClient.h"

#include "app/AbstractProtocolMessageHandler.h"
#include "app/AppLogging.h"

#include <QDebug>

VpnBackendLocalSocketClient::VpnBackendLocalSocketClient(QObject *parent)
    : VpnBackendAbstractClient(parent)
{
}

VpnBackendLocalSocketClient::~VpnBackendLocalSocketClient()
{
    if (!m_socket)
        return;
    // Going away is no lost connection: nobody is told to quit.
    m_socket->disconnect(this);
    if (m_socket->state() == QLocalSocket::ConnectedState)
        m_socket->disconnectFromServer();
    m_socket->deleteLater();
}

bool VpnBackendLocalSocketClient::startingClient()
{
    qCDebug(lcApp) << "Starting Client...";
    for (int attempt = 1; attempt <= connectAttempts; ++attempt) {
        auto *socket = new QLocalSocket;
        socket->setServerName(m_serverName);
        socket->connectToServer(QIODevice::ReadWrite);
        if (socket->waitForConnected(connectTimeoutMs)) {
            qCDebug(lcApp) << "Connection with server established";
            m_socket = socket;
            connect(socket, &QLocalSocket::readyRead, this, &VpnBackendLocalSocketClient::readDataFromLocalSocket);
            connect(socket, &QLocalSocket::errorOccurred, this, &VpnBackendLocalSocketClient::manageError);
            connect(socket, &QLocalSocket::disconnected, this, &VpnBackendLocalSocketClient::onSocketDisconnected);
            if (m_handler)
                m_handler->makeHandShake();
            else
                qCDebug(lcApp) << "Error: Message Handler is Null";
            return true;
        }
        const QLocalSocket::LocalSocketError error = socket->error();
        qCDebug(lcApp) << "Connection with server failed - Error:" << error
                       << "- ErrorString:" << socket->errorString();
        socket->deleteLater();
        switch (error) {
        case QLocalSocket::ConnectionRefusedError:
        case QLocalSocket::SocketTimeoutError: qCDebug(lcApp) << "Timeout - Try again..."; break;
        case QLocalSocket::ServerNotFoundError: qCDebug(lcApp) << "Server not found."; return false;
        case QLocalSocket::SocketAccessError: qCDebug(lcApp) << "Lack of permissions."; return false;
        default: qCDebug(lcApp) << "Unexpected situation occurred. Try again..."; break;
        }
    }
    return false;
}

void VpnBackendLocalSocketClient::sendToServer(const QString &message)
{
    if (!m_socket)
        return;
    m_socket->write(message.toUtf8());
    m_socket->write("\n");
    m_socket->flush();
}

void VpnBackendLocalSocketClient::disconnectSocket()
{
    if (m_socket)
        m_socket->disconnectFromServer();
}

void VpnBackendLocalSocketClient::readDataFromLocalSocket()
{
    if (!m_socket)
        return;
    for (QByteArray bytes = m_socket->readAll(); !bytes.isEmpty(); bytes = m_socket->readAll()) {
        for (const QString &message : m_buffer.append(bytes))
            handleServerMessage(message);
    }
}

void VpnBackendLocalSocketClient::manageError(QLocalSocket::LocalSocketError error)
{
    if (m_socket)
        qCDebug(lcApp) << "LocalSocker ErrorString:" << m_socket->errorString();
    qCDebug(lcApp) << "LocalSocket Error:" << error;
}

void VpnBackendLocalSocketClient::onSocketDisconnected()
{
    qCDebug(lcApp) << "Socket disconnected";
    readDataFromLocalSocket();
    if (m_handler)
        m_handler->connectionRefused();
    emitQuitApplication();
}
