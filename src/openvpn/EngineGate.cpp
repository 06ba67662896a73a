#include "openvpn/EngineGate.h"

#include "openvpn/EngineLogging.h"
#include "openvpn/LowLatencySocket.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

EngineGate::EngineGate(QTcpServer &server, const char *channel, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_channel(channel)
{
    connect(&m_server, &QTcpServer::newConnection, this, &EngineGate::acceptPending);
    // The server goes first when both belong to one owner; its connections
    // go with it, and closing must not come back here.
    connect(&m_server, &QObject::destroyed, this, [this] {
        m_proof = nullptr;
        for (const Waiting &each : m_waiting) {
            if (each.socket)
                each.socket->disconnect(this);
        }
        m_waiting.clear();
    });
}

QByteArray EngineGate::newSecret()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char *>(words), int(sizeof words)).toHex();
}

void EngineGate::open(const QByteArray &query, Proof proof)
{
    close();
    m_query = query;
    m_proof = std::move(proof);
    // Those that came while no engine was expected are judged as newcomers.
    QTimer::singleShot(0, this, &EngineGate::acceptPending);
}

void EngineGate::close(const char *why)
{
    m_proof = nullptr;
    std::vector<Waiting> waiting;
    waiting.swap(m_waiting);
    for (const Waiting &each : waiting)
        turnAway(each.socket, why);
}

void EngineGate::acceptPending()
{
    while (m_server.hasPendingConnections()) {
        QTcpSocket *socket = m_server.nextPendingConnection();
        if (!isOpen())
            turnAway(socket, "no engine is expected");
        else
            admit(socket);
    }
}

void EngineGate::admit(QTcpSocket *socket)
{
    if (int(m_waiting.size()) >= MAX_WAITING) {
        const QPointer<QTcpSocket> oldest = m_waiting.front().socket;
        m_waiting.erase(m_waiting.begin());
        turnAway(oldest, "too many connections wait to show the engine's secret");
    }
    // The question and the engine's answer go at once, as every exchange with the engine.
    LowLatencySocket::tune(*socket);
    m_waiting.push_back(Waiting {socket, {}, 0});
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { refuse(socket, "it closed"); });
    // Bound to the socket: it ends with it, and does nothing once the socket is the engine's.
    QTimer::singleShot(SECRET_TIMEOUT_MS, socket, [this, socket] { refuse(socket, "it did not show the secret"); });
    if (!m_query.isEmpty())
        socket->write(m_query);
    read(socket);
}

std::vector<EngineGate::Waiting>::iterator EngineGate::find(const QTcpSocket *socket)
{
    return std::find_if(m_waiting.begin(), m_waiting.end(),
                        [socket](const Waiting &waiting) { return waiting.socket == socket; });
}

void EngineGate::read(QTcpSocket *socket)
{
    const auto waiting = find(socket);
    if (waiting == m_waiting.end())
        return;
    LowLatencySocket::acknowledgeAtOnce(*socket);
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine().trimmed();
        if (m_proof(line)) {
            const QList<QByteArray> before = waiting->lines;
            m_waiting.erase(waiting);
            socket->disconnect(this);
            close("the engine has connected");
            qCDebug(lcEngine) << "EngineGate:" << m_channel << "connection from port" << socket->peerPort()
                              << "showed the engine's secret";
            emit engineConnected(socket, before);
            return;
        }
        waiting->bytes += line.size() + 1;
        waiting->lines.append(line);
        if (waiting->bytes > MAX_BYTES_BEFORE_SECRET)
            break;
    }
    if (waiting->bytes + socket->bytesAvailable() > MAX_BYTES_BEFORE_SECRET)
        refuse(socket, "it sent too much without the secret");
}

void EngineGate::refuse(QTcpSocket *socket, const char *why)
{
    const auto waiting = find(socket);
    if (waiting == m_waiting.end())
        return;
    m_waiting.erase(waiting);
    turnAway(socket, why);
}

void EngineGate::turnAway(QTcpSocket *socket, const char *why)
{
    if (!socket)
        return;
    qCWarning(lcEngine).nospace() << "EngineGate: refused a " << m_channel << " connection from port "
                                  << socket->peerPort() << " (not the engine: " << why << ")";
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
