#include "app/VpnBackendLocalSocketServer.h"

#include "app/AbstractFactoryProtocolMessageHandler.h"
#include "app/AbstractProtocolMessageHandler.h"
#include "app/AppLogging.h"
#include "app/ServerLocalSocket.h"
#include "prefs/LockFileLeftover.h"

#include <QDebug>
#include <QLocalSocket>
#include <QScopedPointer>

namespace {
const QString lockSuffix = QStringLiteral(".lock");
}

VpnBackendLocalSocketServer::VpnBackendLocalSocketServer(AbstractFactoryProtocolMessageHandler &factory,
                                                         QObject *parent)
    : VpnBackendAbstractServer(factory, parent)
    , m_server(new QLocalServer(this))
    , m_lock(m_serverName + lockSuffix)
{
}

VpnBackendLocalSocketServer::~VpnBackendLocalSocketServer()
{
    // Closing removes the socket file; the lock goes only after it.
    m_server->close();
    // Closing the sockets of a server being destroyed must not call back into it.
    for (ServerAbstractSocket *socket : qAsConst(m_connectedSockets))
        socket->disconnect(this);
    sendToConnectedSockets(AbstractProtocolMessageHandler::bye);
    disconnectAllSockets();
}

bool VpnBackendLocalSocketServer::checkPreviousInstance()
{
    qCDebug(lcApp) << "Checking if Server instance was running";
    if (m_serverName.isEmpty())
        return false;
    for (int attempt = 1; attempt <= probeAttempts; ++attempt) {
        QScopedPointer<QLocalSocket> probe(new QLocalSocket);
        probe->setServerName(m_serverName);
        probe->connectToServer(QIODevice::ReadWrite);
        if (probe->waitForConnected(probeTimeoutMs))
            return true;
        qCDebug(lcApp) << "No Server Found - Test Result:" << probe->error()
                       << "- Test Result String:" << probe->errorString();
        switch (probe->error()) {
        case QLocalSocket::SocketTimeoutError: qCDebug(lcApp) << "Timeout - Repeating check"; continue;
        case QLocalSocket::ConnectionRefusedError:
            qCDebug(lcApp) << "Clean up previous server is needed";
            cleanUpPreviousInstance();
            return false;
        case QLocalSocket::ServerNotFoundError: qCDebug(lcApp) << "The server can be started safely..."; return false;
        default:
            qCDebug(lcApp) << "Unexpected situation occurred. Try to cleanup...";
            cleanUpPreviousInstance();
            return false;
        }
    }
    return false;
}

bool VpnBackendLocalSocketServer::cleanUpPreviousInstance()
{
    if (m_server->isListening() || !takeLock())
        return false;
    const bool removed = QLocalServer::removeServer(m_serverName);
    m_lock.unlock();
    return removed;
}

bool VpnBackendLocalSocketServer::startingServer()
{
    qCDebug(lcApp) << "Starting the local server...";
    if (m_serverName.isEmpty()) {
        qCDebug(lcApp) << "Error: Unable to start the local server: no private folder for its name";
        return false;
    }
    if (!takeLock()) {
        qCDebug(lcApp) << "Error: Unable to start the local server: its name is held by a running instance";
        return false;
    }
    if (!m_server->listen(m_serverName)) {
        qCDebug(lcApp) << "Error: Unable to start the local server:" << m_server->errorString();
        m_lock.unlock();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &VpnBackendLocalSocketServer::onNewConnectionReceived,
            Qt::UniqueConnection);
    return true;
}

// True when this server holds the lock: it was free, or its holder is gone.
bool VpnBackendLocalSocketServer::takeLock()
{
    if (m_lock.isLocked())
        return true;
    if (m_serverName.isEmpty())
        return false;
    LockFileLeftover::removeIfLeftByThisProcess(m_serverName + lockSuffix);
    if (m_lock.tryLock(0))
        return true;
    qint64 holder = 0;
    m_lock.getLockInfo(&holder, nullptr, nullptr);
    qCDebug(lcApp) << "The server name's lock is held by process" << holder << "- error:" << m_lock.error();
    return false;
}

bool VpnBackendLocalSocketServer::isStarted()
{
    return m_server->isListening();
}

void VpnBackendLocalSocketServer::sendToConnectedSockets(const QString &message)
{
    for (ServerAbstractSocket *socket : qAsConst(m_connectedSockets))
        socket->sendMessage(message);
}

void VpnBackendLocalSocketServer::disconnectOneSocket(ServerAbstractSocket *socket)
{
    socket->closeSocket();
}

void VpnBackendLocalSocketServer::disconnectAllSockets()
{
    // Closing may remove a socket from the list; work on a copy.
    const QList<ServerAbstractSocket *> sockets = m_connectedSockets;
    for (ServerAbstractSocket *socket : sockets)
        socket->closeSocket();
}

void VpnBackendLocalSocketServer::onNewConnectionReceived()
{
    qCDebug(lcApp) << "New connection detected";
    while (QLocalSocket *socket = m_server->nextPendingConnection())
        onConnectionAccepted(socket);
}

void VpnBackendLocalSocketServer::onConnectionAccepted(QLocalSocket *newLocalSocket)
{
    const quint32 count = m_connectionCount++;
    auto *connection = new ServerLocalSocket(newLocalSocket, this);
    if (count == 0) {
        qCDebug(lcApp) << "ConnectionAccepted: first instance";
        m_connectedSockets.append(connection);
        connect(connection, &ServerAbstractSocket::connectionClosed, this,
                &VpnBackendLocalSocketServer::onConnectionClosed);
        m_factory.createServerProtocolMessageHandler(*this, *connection)->makeHandShake();
        return;
    }
    qCDebug(lcApp) << "ConnectionAccepted: multiple instances detected";
    m_factory.createServerProtocolMessageHandler(*this, *connection)->connectionRefused();
    sendToConnectedSockets(AbstractProtocolMessageHandler::getVisibility);
    connection->closeSocket();
    // A peer that has already gone emits no further disconnection.
    if (newLocalSocket->state() == QLocalSocket::UnconnectedState)
        connection->deleteLater();
}

void VpnBackendLocalSocketServer::onConnectionClosed(ServerAbstractSocket *abstractSocket)
{
    qCDebug(lcApp) << "Connection closed";
    m_connectedSockets.removeAll(abstractSocket);
    m_connectionCount = static_cast<quint32>(m_connectedSockets.size());
    if (m_connectedSockets.isEmpty()) {
        qCDebug(lcApp) << "Last connection lost: shutDown the local server";
        emit lastConnectionLost();
    }
}
